#include "options/COptionPsetDlg.h"

#include "DebugLog.h"
#include "ProgramFolder.h"
#include "StoreParts.h"
#include "TextUtil.h"
#include "controls/Skin.h"
#include "messaging/StoreNotices.h"
#include "options/Language.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {
const char* const kDateTexts[] = {"YYYY-MM-DD", "MM-DD-YYYY", "DD-MM-YYYY"};

QLabel* Heading(const QString& text, int x, int y, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setFont(skin::ArialPt(11, true));
    l->setStyleSheet("color: #303030;");
    l->setGeometry(x, y, 300, 24);
    return l;
}

QRadioButton* Choice(const QString& text, int x, int y, int w, QWidget* parent)
{
    auto* r = new QRadioButton(text, parent);
    r->setFont(skin::Arial(15));
    r->setGeometry(x, y, w, 34);
    r->setAutoFillBackground(true);
    r->setStyleSheet("QRadioButton { background: #E6E6E6; padding-left: 8px; color: #303030; }");
    return r;
}
}  // namespace

COptionPsetDlg::COptionPsetDlg(emtask::SettingsBlock& settings, QWidget* parent)
    : QWidget(parent),
      m_Settings(settings)
{
    resize(760, 540);
    Heading(tr("Date Format"), 40, 30, this);
    m_Date = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) m_Date->addButton(Choice(QString(), 60 + i * 210, 66, 190, this), i);

    Heading(tr("Display"), 40, 140, this);
    auto* cap = new QLabel(tr("Data Display"), this);
    cap->setFont(skin::Arial(15));
    cap->setGeometry(60, 176, 160, 34);
    m_Rows = new QComboBox(this);
    m_Rows->setAccessibleName(tr("Rows per sheet"));  // its label, not its value
    m_Rows->setFont(skin::Arial(15));
    m_Rows->setGeometry(230, 176, 190, 34);
    for (int i = 0; i < emtask::kRowsIndexCount; ++i)
        m_Rows->addItem(QString::number(emtask::RowsPerSheet(i)));

    Heading(tr("Data Save"), 40, 250, this);
    auto* cap2 = new QLabel(tr("Photo Save"), this);
    cap2->setFont(skin::Arial(15));
    cap2->setGeometry(60, 286, 160, 34);
    m_Photo = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) m_Photo->addButton(Choice(QString(), 230 + i * 150, 286, 130, this), i);
    // Captions come with the first showing; a screen reader has the names from the start.
    for (int i = 0; i < 3; ++i) dateChoice(i)->setAccessibleName(QString::fromLatin1(kDateTexts[i]));
    photoChoice(0)->setAccessibleName(tr("Photo Save Yes"));
    photoChoice(1)->setAccessibleName(tr("Photo Save No"));

    // Read at start only: the windows are built in one language.
    Heading(tr("Language"), 40, 360, this);
    m_Language = new QComboBox(this);
    m_Language->setAccessibleName(tr("Language"));
    m_Language->setFont(skin::Arial(15));
    m_Language->setGeometry(60, 396, 230, 34);
    m_Language->addItems({tr("As the system"), tr("English"), tr("Korean")});
    auto* when = new QLabel(tr("Applies when the program starts again."), this);
    when->setFont(skin::Arial(14));
    when->setGeometry(310, 396, 420, 34);

    // Captions and marks are set on the first showing, from the stored values.
    // The choice that became checked, however it was chosen (mouse, key,
    // screen reader); showing the stored values is no choice.
    connect(m_Date, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) OnDateOrder(id);
    });
    connect(m_Photo, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) OnPhotoSave(id);
    });
    connect(m_Rows, &QComboBox::activated, this, &COptionPsetDlg::OnRows);
    connect(m_Language, &QComboBox::activated, this, &COptionPsetDlg::OnLanguage);
}

COptionPsetDlg::~COptionPsetDlg() = default;

QRadioButton* COptionPsetDlg::dateChoice(int order) const
{
    return qobject_cast<QRadioButton*>(m_Date->button(order));
}

QRadioButton* COptionPsetDlg::photoChoice(int value) const
{
    return qobject_cast<QRadioButton*>(m_Photo->button(value));
}

int COptionPsetDlg::checkedDateOrder() const { return m_Date->checkedId(); }
int COptionPsetDlg::checkedPhotoSave() const { return m_Photo->checkedId(); }

void COptionPsetDlg::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!m_Initialised) {
        m_Initialised = true;
        LoadControls();
    }
}

void COptionPsetDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintPanel(p, QRect(20, 20, 720, 100));
    skin::PaintPanel(p, QRect(20, 130, 720, 100));
    skin::PaintPanel(p, QRect(20, 240, 720, 100));
    skin::PaintPanel(p, QRect(20, 350, 720, 100));
}

void COptionPsetDlg::LoadControls()
{
    for (int i = 0; i < 3; ++i) dateChoice(i)->setText(QString::fromLatin1(kDateTexts[i]));
    photoChoice(0)->setText(tr("Yes"));
    photoChoice(1)->setText(tr("No"));

    const emtask::BusInfo& b = m_Settings.Get();
    const QSignalBlocker quietDate(m_Date), quietPhoto(m_Photo);
    // A stored order other than 0..2 is shown as day-month-year elsewhere but
    // marks no choice here.
    m_Date->setExclusive(false);
    for (int i = 0; i < 3; ++i) dateChoice(i)->setChecked(b.dateorder == i);
    m_Date->setExclusive(true);
    m_Photo->setExclusive(false);
    for (int i = 0; i < 2; ++i) photoChoice(i)->setChecked(b.photosave == i);
    m_Photo->setExclusive(true);
    // An index outside the list selects nothing rather than a wrong count.
    m_Rows->setCurrentIndex(b.rowsindex >= 0 && b.rowsindex < emtask::kRowsIndexCount ? b.rowsindex : -1);
    m_Language->setCurrentIndex(int(options::ReadLanguageSetting(emtask::ProgramFolder())));
}

void COptionPsetDlg::OnDateOrder(int order)
{
    m_Settings.Change([order](emtask::BusInfo& b) { b.dateorder = order; });
    emit dateOrderChanged();
    ReportNotSaved(this, m_Settings.Save(), tr("The settings"));
}

void COptionPsetDlg::OnPhotoSave(int value)
{
    m_Settings.Change([value](emtask::BusInfo& b) { b.photosave = value; });
    ReportNotSaved(this, m_Settings.Save(), tr("The settings"));
}

void COptionPsetDlg::OnRows(int index)
{
    DebugLine(" OnCbnSelchangeComboDisp ");
    if (index < 0 || index >= emtask::kRowsIndexCount) return;
    m_Settings.Change([index](emtask::BusInfo& b) { b.rowsindex = index; });
    ReportNotSaved(this, m_Settings.Save(), tr("The settings"));
}

void COptionPsetDlg::OnLanguage(int index)
{
    const std::string folder = emtask::ProgramFolder();
    std::string why;
    if (index < 0 || index > 2 || options::WriteLanguageSetting(folder, options::UiLanguage(index), why))
        return;
    ReportFileNotSaved(this, tr("It can't save file "), tr("Error"),
                       QString::fromStdString(options::LanguageSettingPath(folder)),
                       QString::fromStdString(why));
}
