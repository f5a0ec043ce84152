#include "search/CDataSearchDlg.h"

#include "StoreParts.h"
#include "controls/Dialogs.h"
#include "controls/LimitedEdit.h"
#include "controls/Skin.h"
#include "TextUtil.h"
#include "messaging/WindowOps.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QPushButton>
#include <cstring>

namespace {
constexpr uint32_t kBoxFlag[] = {emtask::SEARCH_TESTNO, emtask::SEARCH_DATE, emtask::SEARCH_IDNAME,
                                 emtask::SEARCH_NORMAL, emtask::SEARCH_ERROR};
const char* const kBoxText[] = {QT_TRANSLATE_NOOP("CDataSearchDlg", "Test No"),
                                QT_TRANSLATE_NOOP("CDataSearchDlg", "Date"),
                                QT_TRANSLATE_NOOP("CDataSearchDlg", "ID / Name"),
                                QT_TRANSLATE_NOOP("CDataSearchDlg", "Test Result - Normal"),
                                QT_TRANSLATE_NOOP("CDataSearchDlg", "Test Result - Error")};
constexpr int kFieldBytes = 63;  // a SearchInfo text and its NUL

search::PickerTime Picker(const QDateTime& t)
{
    const QDate d = t.date();
    const QTime h = t.time();
    return {d.year(), d.month(), d.day(), h.hour(), h.minute(), h.second()};
}

void SetPickerDate(QDateTimeEdit* edit, const search::PickerTime& p)
{
    const QDate d(p.year, p.month, p.day);
    if (d.isValid()) edit->setDate(d);  // a stored date that is no date keeps today
}
}  // namespace

CDataSearchDlg::CDataSearchDlg(emtask::SearchResults& search, int dateOrder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_Search(search)
{
    setWindowTitle(tr("Data Search"));
    setFixedSize(470, 300);
    setModal(true);
    setStyleSheet(
        QStringLiteral("CDataSearchDlg { background: white; border: 1px solid rgb(120,120,120); }"));
    DragWithMouse(this);

    auto* title = new QLabel(tr("Data Search"), this);
    title->setGeometry(14, 6, 300, 28);
    title->setFont(skin::Arial(21));

    for (int i = 0; i < BoxCount; ++i) {
        m_Box[i] = new QCheckBox(tr(kBoxText[i]), this);
        m_Box[i]->setGeometry(20, 50 + 38 * i, 170, 26);
        const uint32_t bit = kBoxFlag[i];
        // The flag follows the box's state at once, however it was ticked
        // (mouse, key, screen reader), whether the window ends with OK or not.
        connect(m_Box[i], &QCheckBox::toggled, this, [this, bit](bool on) {
            emtask::SearchInfo info = m_Search.Criteria();
            if (on)
                info.flags |= bit;
            else
                info.flags &= ~bit;
            m_Search.SetCriteria(info);
        });
    }
    auto pair = [this](int row, QWidget* a, QWidget* b) {
        a->setGeometry(195, 50 + 38 * row, 115, 26);
        auto* tilde = new QLabel(QStringLiteral("~"), this);
        tilde->setGeometry(315, 50 + 38 * row, 16, 26);
        tilde->setAlignment(Qt::AlignCenter);
        b->setGeometry(335, 50 + 38 * row, 115, 26);
    };
    m_StartNo = new CLimitedEdit(kFieldBytes, kFieldBytes, this);
    m_EndNo = new CLimitedEdit(kFieldBytes, kFieldBytes, this);
    pair(0, m_StartNo, m_EndNo);
    m_StartDate = new QDateTimeEdit(this);
    m_EndDate = new QDateTimeEdit(this);
    for (QDateTimeEdit* e : {m_StartDate, m_EndDate}) {
        // The month's short English name, in the order the tables use.
        e->setLocale(QLocale::c());
        e->setDisplayFormat(dateOrder == 0   ? QStringLiteral("yyyy-MMM-dd")
                            : dateOrder == 1 ? QStringLiteral("MMM-dd-yyyy")
                                             : QStringLiteral("dd-MMM-yyyy"));
        e->setCalendarPopup(true);
    }
    pair(1, m_StartDate, m_EndDate);
    m_IdName = new CLimitedEdit(kFieldBytes, kFieldBytes, this);
    m_IdName->setGeometry(195, 50 + 38 * 2, 255, 26);
    m_NormalStart = new CLimitedEdit(kFieldBytes, kFieldBytes, this);
    m_NormalEnd = new CLimitedEdit(kFieldBytes, kFieldBytes, this);
    pair(3, m_NormalStart, m_NormalEnd);
    // The boxes' texts name the rows; each field says which end it is.
    const struct {
        QWidget* w;
        const char* name;
    } names[] = {{m_StartNo, QT_TRANSLATE_NOOP("CDataSearchDlg", "Test number from")},
                 {m_EndNo, QT_TRANSLATE_NOOP("CDataSearchDlg", "Test number to")},
                 {m_StartDate, QT_TRANSLATE_NOOP("CDataSearchDlg", "Date from")},
                 {m_EndDate, QT_TRANSLATE_NOOP("CDataSearchDlg", "Date to")},
                 {m_IdName, QT_TRANSLATE_NOOP("CDataSearchDlg", "ID or name")},
                 {m_NormalStart, QT_TRANSLATE_NOOP("CDataSearchDlg", "Result from")},
                 {m_NormalEnd, QT_TRANSLATE_NOOP("CDataSearchDlg", "Result to")}};
    for (const auto& n : names) n.w->setAccessibleName(tr(n.name));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setGeometry(240, 250, 100, 32);
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setGeometry(350, 250, 100, 32);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CDataSearchDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CDataSearchDlg::InitDialog()
{
    CenterWindow(this);
    m_StartNo->setText(QStringLiteral("1"));
    m_EndNo->setText(QStringLiteral("999999"));
    m_IdName->clear();
    m_NormalStart->setText(QStringLiteral("0.000"));
    m_NormalEnd->setText(QStringLiteral("0.500"));

    emtask::SearchInfo info = m_Search.Criteria();
    search::RepairOnOpen(info);
    std::memset(info.errortext, 0, sizeof info.errortext);
    if (info.flags & emtask::SEARCH_ERROR) emtask::CopyField(info.errortext, "Flow");
    m_Search.SetCriteria(info);
    const QDateTime now = QDateTime::currentDateTime();
    m_StartDate->setDateTime(now);
    m_EndDate->setDateTime(now);
    // The boxes show the flags; their toggles write back the same bits.
    for (int i = 0; i < BoxCount; ++i) m_Box[i]->setChecked((info.flags & kBoxFlag[i]) != 0);

    const search::CriteriaInput shown = search::ShownValues(info, Picker(now));
    m_StartNo->setText(QString::fromStdString(shown.startNo));
    m_EndNo->setText(QString::fromStdString(shown.endNo));
    SetPickerDate(m_StartDate, shown.dateStart);
    SetPickerDate(m_EndDate, shown.dateEnd);
    m_IdName->setText(QString::fromUtf8(shown.idName.data(), int(shown.idName.size())));
    m_NormalStart->setText(QString::fromStdString(shown.normalStart));
    m_NormalEnd->setText(QString::fromStdString(shown.normalEnd));
}

int CDataSearchDlg::DoModal()
{
    InitDialog();
    return Dialogs().execDialog(this);
}

search::CriteriaInput CDataSearchDlg::Input() const
{
    search::CriteriaInput in;
    in.flags = m_Search.Criteria().flags;
    in.startNo = m_StartNo->text().toStdString();
    in.endNo = m_EndNo->text().toStdString();
    in.dateStart = Picker(m_StartDate->dateTime());
    in.dateEnd = Picker(m_EndDate->dateTime());
    in.idName = m_IdName->text().toStdString();
    in.normalStart = m_NormalStart->text().toStdString();
    in.normalEnd = m_NormalEnd->text().toStdString();
    return in;
}

void CDataSearchDlg::OnOK()
{
    emtask::SearchInfo info = m_Search.Criteria();
    if (info.flags == 0) {
        accept();
        return;
    }
    const search::CriteriaInput in = Input();
    if (const char* error = search::CheckCriteria(in)) {
        const QString text = QCoreApplication::translate("search", error);
        ShowMessage(this, text, tr("Error"), QMessageBox::Warning);
        return;
    }
    search::StoreCriteria(info, in);
    m_Search.SetCriteria(info);
    accept();
}
