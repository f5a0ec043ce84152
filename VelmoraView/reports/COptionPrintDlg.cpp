#include "reports/COptionPrintDlg.h"

#include "DebugLog.h"
#include "StoreParts.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/LimitedEdit.h"
#include "controls/Skin.h"
#include "reports/ReportEntries.h"
#include "messaging/WindowRegistry.h"
#include "messaging/StoreNotices.h"

#include <QButtonGroup>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStringList>
#include <cstring>

namespace {
constexpr const char* kWrongForm = QT_TRANSLATE_NOOP(
    "COptionPrintDlg", "Wrong print form setting.\nPlease check the print setting.");

QLabel* Heading(const QString& text, int x, int y, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setFont(skin::ArialPt(11, true));
    l->setStyleSheet("color: #303030;");
    l->setGeometry(x, y, 300, 24);
    return l;
}

// A custom path the settings can hold and that names an image that is there.
bool UsablePath(const std::string& path)
{
    return !path.empty() && path != "-" && path.size() < sizeof(emtask::BusInfo::bgpath) &&
           reports::CustomBackgroundPresent(path);
}
}  // namespace

COptionPrintDlg::COptionPrintDlg(emtask::SettingsBlock& settings, QWidget* parent)
    : QWidget(parent),
      m_Settings(settings)
{
    resize(760, 540);
    auto* title = new QLabel(tr("Print Setting"), this);
    title->setFont(skin::ArialPt(14, true));
    title->setStyleSheet("color: #303030;");
    title->setGeometry(40, 0, 300, 30);

    Heading(tr("Print Background"), 40, 50, this);
    m_Choices = new QButtonGroup(this);
    const char* names[] = {QT_TRANSLATE_NOOP("COptionPrintDlg", "Default"),
                           QT_TRANSLATE_NOOP("COptionPrintDlg", "Blank"),
                           QT_TRANSLATE_NOOP("COptionPrintDlg", "Custom")};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(tr(names[i]), this);
        r->setFont(skin::Arial(15));
        r->setGeometry(60 + 140 * i, 80, 128, 32);
        r->setStyleSheet("QRadioButton { background: #E6E6E6; padding-left: 8px; color: #303030; }");
        m_Choices->addButton(r, i);
    }

    Heading(tr("Print Background Path"), 40, 126, this);
    m_Path = new QLineEdit(this);
    m_Path->setReadOnly(true);
    m_Path->setAccessibleName(tr("Print Background Path"));
    m_Path->setFont(skin::Arial(14));
    m_Path->setGeometry(60, 156, 280, 32);
    m_Browse = reports::FlatButton(QStringLiteral("..."), QRect(346, 156, 44, 32), this);
    m_ApplyBg = reports::FlatButton(tr("Apply"), QRect(396, 156, 84, 32), this);

    Heading(tr("Print Entry Information"), 40, 214, this);
    for (int i = 0; i < EntryCount; ++i) {
        const int y = 246 + 40 * i;
        const reports::EntryRow row = reports::AddEntryRow(i, this);
        row.label->setFont(skin::Arial(15));
        row.label->setGeometry(60, y, 140, 32);
        m_Entries[i] = row.edit;
        m_Entries[i]->setFont(skin::Arial(14));
        m_Entries[i]->setGeometry(200, y, 280, 32);
        connect(m_Entries[i], &QLineEdit::textEdited, this, &COptionPrintDlg::RefreshPreview);
    }
    m_ApplyEntries = reports::FlatButton(tr("Apply"), QRect(396, 410, 84, 34), this);

    connect(m_Choices, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) OnChoice(id);  // mouse, key or screen reader alike
    });
    connect(m_Browse, &QPushButton::clicked, this, &COptionPrintDlg::OnBrowse);
    connect(m_ApplyBg, &QPushButton::clicked, this, &COptionPrintDlg::OnApplyBackground);
    connect(m_ApplyEntries, &QPushButton::clicked, this, &COptionPrintDlg::OnApplyEntries);
    RegisterWindow(Wnd::PrintPage, this);
}

COptionPrintDlg::~COptionPrintDlg() { UnregisterWindow(Wnd::PrintPage, this); }

QRadioButton* COptionPrintDlg::choice(int background) const
{
    return qobject_cast<QRadioButton*>(m_Choices->button(background));
}

int COptionPrintDlg::checkedChoice() const { return m_Choices->checkedId(); }

void COptionPrintDlg::SelectChoice(int background)
{
    const QSignalBlocker quiet(m_Choices);  // the callers refresh the preview themselves
    if (QRadioButton* r = choice(background)) r->setChecked(true);
    m_Path->setEnabled(background == reports::kBgCustom);
}

void COptionPrintDlg::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!e->spontaneous()) Fill();
}

void COptionPrintDlg::Fill()
{
    const emtask::BusInfo& b = m_Settings.Get();
    if (b.reportbg == reports::kBgCustom && !reports::CustomBackgroundPresent(emtask::FieldText(b.bgpath))) {
        DebugLine(" custom background gone, back to default");
        m_Settings.Change([](emtask::BusInfo& s) {
            s.reportbg = reports::kBgDefault;
            std::memset(s.bgpath, 0, sizeof s.bgpath);
        });
        ReportNotSaved(this, m_Settings.Save(), tr("The settings"));
    }
    reports::FillEntries(m_Entries, b);
    m_Path->setText(QString::fromUtf8(emtask::FieldText(b.bgpath).c_str()));
    // A stored choice outside 0..2 renders as Default, so it is shown as Default.
    const int bg = b.reportbg >= 0 && b.reportbg <= 2 ? b.reportbg : int(reports::kBgDefault);
    SelectChoice(bg);
    m_Bg = QImage();  // the image may have changed since it was last read
    RefreshPreview();
}

void COptionPrintDlg::OnChoice(int background)
{
    m_Path->setEnabled(background == reports::kBgCustom);
    RefreshPreview();
}

void COptionPrintDlg::OnBrowse()
{
    const QString path = Dialogs().openFileName(this, tr("Print Background"), QDir::homePath(),
                                                tr("Image File (*.jpg)"));
    if (path.isEmpty()) return;
    m_Path->setText(path);
    RefreshPreview();
}

bool COptionPrintDlg::StoreCustomPath(emtask::BusInfo& b)
{
    const std::string path = m_Path->text().toStdString();
    if (UsablePath(path)) {
        std::memset(b.bgpath, 0, sizeof b.bgpath);
        std::memcpy(b.bgpath, path.data(), path.size());
        return true;
    }
    SelectChoice(reports::kBgDefault);
    RefreshPreview();
    b.reportbg = reports::kBgDefault;
    ShowMessage(this, tr(kWrongForm), tr("Error"), QMessageBox::Critical);
    return false;
}

void COptionPrintDlg::OnApplyBackground()
{
    const int chosen = checkedChoice() < 0 ? int(reports::kBgDefault) : checkedChoice();
    bool wrong = false;
    m_Settings.Change([&](emtask::BusInfo& b) {
        b.reportbg = chosen;
        if (chosen == reports::kBgCustom) {
            wrong = !StoreCustomPath(b);
        } else {
            std::memset(b.bgpath, 0, sizeof b.bgpath);
            m_Path->clear();
            RefreshPreview();
        }
    });
    if (!ReportNotSaved(this, m_Settings.Save(), tr("The settings")) && !wrong)
        ShowMessage(this, tr("Complete."), tr("Success"));
}

void COptionPrintDlg::OnApplyEntries()
{
    bool wrong = false;
    QStringList shortened;
    m_Settings.Change([&](emtask::BusInfo& b) { wrong = !StoreEntries(b, shortened); });
    if (!shortened.isEmpty()) reports::FillEntries(m_Entries, m_Settings.Get());  // show what is stored
    if (!ReportNotSaved(this, m_Settings.Save(), tr("The settings")) && !wrong) {
        const QString text = shortened.isEmpty() ? tr("Complete.")
                                                 : tr("Complete.\nShortened to fit the settings: %1.")
                                                       .arg(shortened.join(QStringLiteral(", ")));
        ShowMessage(this, text, tr("Success"));
    }
    RefreshPreview();
}

bool COptionPrintDlg::StoreEntries(emtask::BusInfo& b, QStringList& shortened)
{
    bool wrong = false;
    if (checkedChoice() >= 0) {
        b.reportbg = checkedChoice();
        if (b.reportbg == reports::kBgCustom) wrong = !StoreCustomPath(b);
    }
    // The fields hold fewer bytes than 15, 30 and 60 wide characters take:
    // what does not fit is cut off whole and the user told.
    struct Field {
        char* field;
        size_t width;
    };
    const Field fields[EntryCount] = {{b.reporttitle, sizeof b.reporttitle},
                                      {b.operatortext, sizeof b.operatortext},
                                      {b.subjecttext, sizeof b.subjecttext},
                                      {b.notetext, sizeof b.notetext}};
    for (int i = 0; i < EntryCount; ++i) {
        const std::string text = m_Entries[i]->utf8();
        if (emtask::CopyField(fields[i].field, fields[i].width, text) < text.size())
            shortened << m_Entries[i]->accessibleName();
    }
    return !wrong;
}

QImage COptionPrintDlg::PreviewBackground()
{
    int bg = checkedChoice() < 0 ? int(reports::kBgDefault) : checkedChoice();
    const QString path = bg == reports::kBgCustom ? m_Path->text() : QString();
    if (bg != m_BgChoice || path != m_BgPath || m_Bg.isNull()) {
        m_BgChoice = bg;
        m_BgPath = path;
        // Custom without a path (or "-") previews the Blank page.
        m_Bg = reports::LoadBackground(bg, path.toStdString());
    }
    return m_Bg;
}

void COptionPrintDlg::RefreshPreview()
{
    reports::PageContent c;
    c.background = PreviewBackground();
    c.texts = {m_Entries[Title]->utf8(), m_Entries[Operator]->utf8(), m_Entries[Subject]->utf8(),
               m_Entries[Note]->utf8()};
    m_PreviewPage = reports::DrawReportPage(c);
    m_Preview = m_PreviewPage.scaled(kPreviewArea.size() - QSize(4, 4), Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
    update();
}

void COptionPrintDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintPanel(p, QRect(20, 40, 480, 160));
    skin::PaintPanel(p, QRect(20, 206, 480, 250));
    p.fillRect(kPreviewArea, Qt::white);
    p.setPen(QColor(0xa0, 0xa8, 0xb0));
    p.drawRect(kPreviewArea.adjusted(0, 0, -1, -1));
    if (!m_Preview.isNull()) p.drawImage(kPreviewArea.topLeft() + QPoint(2, 2), m_Preview);
}
