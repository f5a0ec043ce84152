#include "users/COptionIDMngDlg.h"

#include "DebugLog.h"
#include "StoreParts.h"
#include "TextUtil.h"
#include "controls/CLoadDataDlg.h"
#include "controls/CProgressBar.h"
#include "controls/Dialogs.h"
#include "controls/Skin.h"
#include "messaging/Notices.h"
#include "messaging/StoreNotices.h"
#include "users/CRegUserDlg.h"
#include "users/UserRegister.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>

using emtask::BusUserInfo;

namespace {

// An error notice that names a text (its %s), shown as a message box.
void ShowNamingNotice(QWidget* parent, ErrorNotice notice, const QString& named)
{
    if (const NoticeEntry* n = CMsgError::Find(notice))
        ShowMessage(parent,
                    QCoreApplication::translate("CNotice", n->text).replace(QStringLiteral("%s"), named),
                    QCoreApplication::translate("CNotice", n->title), QMessageBox::Warning);
}

// An imported text named in a message, with its row; a text of a hostile
// workbook may be thousands of characters long.
QString NamedText(const users::ImportCheck& check)
{
    QString text = QString::fromStdString(check.text);
    if (text.size() > 64) text = text.left(64) + QChar(0x2026);
    return QCoreApplication::translate("COptionIDMngDlg", "%1 (row %2)").arg(text).arg(check.row);
}

}  // namespace

COptionIDMngDlg::COptionIDMngDlg(emtask::UserRegister& users, emtask::SettingsBlock& settings,
                                 QWidget* parent)
    : QWidget(parent),
      m_Users(users),
      m_Settings(settings)
{
    setFixedSize(760, 540);

    auto* title = new QLabel(tr("Register or Delete"), this);
    title->setGeometry(10, 4, 400, 26);
    title->setFont(skin::Arial(21));

    auto* totalCaption = new QLabel(tr("Total User"), this);
    totalCaption->setGeometry(10, 40, 90, 24);
    m_totalLabel = new QLabel(QStringLiteral("00000000"), this);
    m_totalLabel->setGeometry(100, 40, 120, 24);

    m_list = new QTableWidget(0, ColCount, this);
    m_list->setAccessibleName(tr("Registered users"));
    m_list->setTabKeyNavigation(false);  // Tab leaves the table, arrows move in it
    m_list->setGeometry(10, 70, 740, 410);
    m_list->setHorizontalHeaderLabels(
        {tr("Seq No."), tr("Modify"), tr("Creation Date"), tr("User ID"), tr("User Name")});
    const int widths[ColCount] = {70, 65, 130, 170, 170};
    for (int c = 0; c < ColCount; ++c) m_list->setColumnWidth(c, widths[c]);
    m_list->setFont(skin::Arial(11));  // the date and time fit the 130-pixel column
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(25);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->horizontalHeader()->setSectionsClickable(true);
    m_list->horizontalHeader()->setHighlightSections(false);
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &COptionIDMngDlg::OnHeaderClicked);
    connect(m_list, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column != ColModify || row < 0 || row >= static_cast<int>(m_rows.size())) return;
        OnModify(m_rows[row].slot);
    });

    m_btnReg = new QPushButton(tr("Register ID"), this);
    m_btnLoad = new QPushButton(tr("Load file"), this);
    m_btnSave = new QPushButton(tr("Save as"), this);
    m_btnDeleteAll = new QPushButton(tr("Delete All"), this);
    m_btnDelete = new QPushButton(tr("Delete"), this);
    QPushButton* buttons[] = {m_btnReg, m_btnLoad, m_btnSave, m_btnDeleteAll, m_btnDelete};
    for (int i = 0; i < 5; ++i) buttons[i]->setGeometry(10 + i * 150, 495, 140, 34);
    connect(m_btnReg, &QPushButton::clicked, this, &COptionIDMngDlg::OnBnClickedBtnRegUser);
    connect(m_btnLoad, &QPushButton::clicked, this, &COptionIDMngDlg::OnBnClickedBtnLoadFile);
    connect(m_btnSave, &QPushButton::clicked, this, &COptionIDMngDlg::OnBnClickedBtnSaveAs);
    connect(m_btnDeleteAll, &QPushButton::clicked, this, &COptionIDMngDlg::OnBnClickedBtnDeleteAll);
    connect(m_btnDelete, &QPushButton::clicked, this, &COptionIDMngDlg::OnBnClickedBtnDelete);

    m_progress = new CLoadDataDlg(this);

    // The deletion notice's OK starts an import.
    if (CMsg* notice = MsgWindow())
        connect(notice, &CNotice::accepted, this, [this](FollowUp followUp) {
            if (followUp == FollowUp::UserListDelete) QueueImport();
        });
    RefreshUserList();
}

COptionIDMngDlg::~COptionIDMngDlg() { JoinWorkers(); }

void COptionIDMngDlg::JoinWorkers()
{
    if (m_exportThread.joinable()) m_exportThread.join();
    if (m_importThread.joinable()) m_importThread.join();
}

QString COptionIDMngDlg::TotalText() const { return m_totalLabel->text(); }

void COptionIDMngDlg::RefreshUserList()
{
    DebugLine("wp_BusInfo->totaluser : %d", m_Settings.Get().totaluser);
    m_rows.clear();
    const int order = m_Settings.Get().dateorder;
    for (int s = 0; s < emtask::kMaxUsers; ++s) {
        const BusUserInfo& u = m_Users.At(s);
        if (u.uid <= 0) continue;
        Row r;
        r.slot = s;
        r.uid = u.uid;
        r.text[ColSeq] = QString::number(u.uid);
        r.text[ColModify] = tr("Modify");
        r.text[ColDate] = QString::fromStdString(emtask::UserDateText(u, order));
        r.text[ColId] = users::FieldQString(u.cusid);
        r.text[ColName] = users::FieldQString(u.uname);
        for (int c = 0; c < ColCount; ++c) r.key[c] = r.text[c].toStdString();
        m_rows.push_back(std::move(r));
    }
    m_totalLabel->setText(QString::asprintf("%d", static_cast<int>(m_rows.size())));
    SortRows();
    FillList();
}

void COptionIDMngDlg::SortRows()
{
    const emtask::BusInfo& b = m_Settings.Get();
    const int col = (b.sortcolumn >= 0 && b.sortcolumn < ColCount) ? b.sortcolumn : ColSeq;
    const bool ascending = b.sortdirection != 0;
    // std::string compares through char_traits<char>, which orders as unsigned bytes.
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row& x, const Row& y) {
        return ascending ? x.key[col] < y.key[col] : y.key[col] < x.key[col];
    });
}

void COptionIDMngDlg::FillList()
{
    m_list->setUpdatesEnabled(false);
    m_list->clearContents();
    m_list->setRowCount(static_cast<int>(m_rows.size()));
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        const Row& r = m_rows[i];
        for (int c = 0; c < ColCount; ++c) {
            auto* item = new QTableWidgetItem(r.text[c]);
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (c == ColSeq) {
                flags |= Qt::ItemIsUserCheckable;
                item->setCheckState(r.checked ? Qt::Checked : Qt::Unchecked);
            }
            item->setFlags(flags);
            item->setTextAlignment((c == ColId || c == ColName) ? Qt::AlignCenter
                                                                : (Qt::AlignLeft | Qt::AlignVCenter));
            m_list->setItem(i, c, item);
        }
    }
    m_list->setUpdatesEnabled(true);
}

void COptionIDMngDlg::SyncChecks()
{
    for (int i = 0; i < m_list->rowCount() && i < static_cast<int>(m_rows.size()); ++i) {
        QTableWidgetItem* item = m_list->item(i, ColSeq);
        m_rows[i].checked = item && item->checkState() == Qt::Checked;
    }
}

void COptionIDMngDlg::OnHeaderClicked(int column)
{
    if (column < 0 || column >= ColCount) return;
    SyncChecks();
    // One direction flag for every column: each click flips it.
    m_Settings.Change([column](emtask::BusInfo& b) {
        b.sortcolumn = column;
        b.sortdirection = b.sortdirection != 0 ? 0 : 1;
    });
    SortRows();
    FillList();
}

void COptionIDMngDlg::OnBnClickedBtnRegUser()
{
    const int slot = users::FirstFreeSlot(m_Users.Slots());
    if (slot < 0) {
        ShowMessage(this,
                    tr("The register is full: %1 users are registered.\n"
                       "Please delete a user before registering a new one.")
                        .arg(users::kMaxUserSlot),
                    tr("Register ID"), QMessageBox::Warning);
        return;
    }
    RunRegistration(0, slot);
}

void COptionIDMngDlg::OnModify(int uid)
{
    if (uid <= 0 || uid >= emtask::kMaxUsers) return;
    RunRegistration(1, uid);
}

void COptionIDMngDlg::RunRegistration(int regType, int slot)
{
    CRegUserDlg dlg(m_Users, this);
    connect(&dlg, &CRegUserDlg::userStored, this, &COptionIDMngDlg::RefreshUserList, Qt::QueuedConnection);
    dlg.m_RegType = regType;
    dlg.nUID = slot;
    if (dlg.DoModal() == QDialog::Accepted) {
        DebugPrint("[%s:%d]SaveUserInfo\n", EMT_SRC, __LINE__);
        ReportNotSaved(this, m_Users.Save(), tr("The user list"));
    }
}

void COptionIDMngDlg::OnBnClickedBtnDelete()
{
    SyncChecks();
    const bool anyChecked = std::any_of(m_rows.begin(), m_rows.end(), [](const Row& r) { return r.checked; });
    if (m_rows.empty() || !anyChecked) {
        ShowMessage(this, tr("Please check the checkbox you want to delete ID "), tr("ID Delete"),
                    QMessageBox::Information);
        return;
    }
    const bool confirmed = ShowMessage(this, tr("Are you sure you want to delete the checked ID?"),
                                       tr("ID Delete"), QMessageBox::Question,
                                       QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    for (size_t i = 0; confirmed && i < m_rows.size(); ++i) {
        if (!m_rows[i].checked) continue;
        DebugLine("index : %d", static_cast<int>(i));
        // The row's own slot: a damaged file whose uid names another slot
        // must not take that other user with it.
        const int slot = m_rows[i].slot;
        if (slot > 0) m_Users.Erase(slot);
    }
    // Written and counted again even when cancelled.
    ReportNotSaved(this, m_Users.Save(), tr("The user list"));
    RefreshUserList();
}

void COptionIDMngDlg::OnBnClickedBtnDeleteAll()
{
    if (ShowMessage(this, tr("Are you sure you want to delete all user?"), tr("All Delete"),
                    QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    m_Users.Clear();
    ReportNotSaved(this, m_Users.Save(), tr("The user list"));
    RefreshUserList();
}

void COptionIDMngDlg::OnBnClickedBtnSaveAs()
{
    if (Busy()) return;
    const QString path = Dialogs().saveFileName(this, tr("Save as"), QString(), kExcelFileFilter);
    if (path.isEmpty()) return;
    SaveXlsx(WithDefaultSuffix(path, QStringLiteral("xlsx")));
}

void COptionIDMngDlg::SaveXlsx(const QString& path)
{
    if (Busy()) return;
    if (m_exportThread.joinable()) m_exportThread.join();
    m_savePath = path;
    setEnabled(false);
    const int total = users::CountUsers(m_Users.Slots());
    ProgressTextInfo info;
    info.context = 1;
    info.total = total;
    m_progress->Bar()->SetTextInfo(info);
    m_progress->Start(total, m_list);
    m_exportRunning = true;
    const std::string target = QFile::encodeName(path).toStdString();
    m_exportThread = std::thread([this, target] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        std::string why;
        const bool ok = users::ExportUsers(
            target, m_Users.Slots(),
            [this](int n) {
                if (n % 64 == 0)
                    QMetaObject::invokeMethod(
                        this, [this, n] { m_progress->Bar()->SetPos(n); }, Qt::QueuedConnection);
            },
            &why);
        QMetaObject::invokeMethod(
            this, [this, ok, why = QString::fromStdString(why)] { ExportFinished(ok, why); },
            Qt::QueuedConnection);
    });
}

void COptionIDMngDlg::ExportFinished(bool ok, const QString& why)
{
    if (m_exportThread.joinable()) m_exportThread.join();
    m_progress->Bar()->SetPos(m_progress->Bar()->GetUpper());
    m_progress->hide();
    setEnabled(true);
    m_exportRunning = false;
    if (!ok) {
        DebugLine("SaveXlsx failed : %s", m_savePath.toLocal8Bit().constData());
        ReportFileNotSaved(this, tr("It failed to save "), tr("Error"), m_savePath, why);
    }
}

void COptionIDMngDlg::OnBnClickedBtnLoadFile()
{
    if (Busy()) return;
    if (m_Settings.Get().totaluser != 0) {
        if (ShowMessage(this, tr("Existing user data will be deleted.\nDo you still want to proceed?"),
                        tr("Warning"), QMessageBox::Warning,
                        QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
            DebugLine("no");
            return;
        }
        DebugLine("ok");
    }
    QueueImport();
}

void COptionIDMngDlg::QueueImport()
{
    QMetaObject::invokeMethod(this, &COptionIDMngDlg::OnImportMessage, Qt::QueuedConnection);
}

void COptionIDMngDlg::OnImportMessage()
{
    if (Busy()) return;
    const QString path = Dialogs().openFileName(this, tr("Load file"), QString(), kExcelFileFilter);
    if (path.isEmpty()) return;
    LoadXlsx(path);
}

void COptionIDMngDlg::LoadXlsx(const QString& path)
{
    if (Busy()) return;
    if (m_importThread.joinable()) m_importThread.join();
    m_loadPath = path;
    m_importRunning = true;
    const std::string source = QFile::encodeName(path).toStdString();
    // The worker only reads and checks; the register is replaced on this
    // thread once the whole workbook has been accepted.
    m_importThread = std::thread([this, source] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        std::time_t now = std::time(nullptr);
        struct tm when;
        localtime_r(&now, &when);
        xlsx::ReadResult read = xlsx::ReadActiveSheet(source);
        users::ImportCheck check;
        if (read.error == xlsx::ReadError::None) check = users::CollectUsers(read.cells);
        read.cells.clear();
        read.cells.shrink_to_fit();
        QMetaObject::invokeMethod(
            this,
            [this, read = std::move(read), check = std::move(check), when] {
                ImportFinished(read, check, when);
            },
            Qt::QueuedConnection);
    });
}

QString COptionIDMngDlg::ImportErrorText(xlsx::ReadError e)
{
    switch (e) {
    case xlsx::ReadError::CannotOpen: return tr("The file could not be opened.\nThe user list is unchanged.");
    case xlsx::ReadError::TooLarge:
        return tr("The file is too large to be a user list.\nThe user list is unchanged.");
    default: return tr("The file is not a readable .xlsx workbook.\nThe user list is unchanged.");
    }
}

void COptionIDMngDlg::ImportFinished(const xlsx::ReadResult& read, const users::ImportCheck& check,
                                     const struct tm& when)
{
    if (m_importThread.joinable()) m_importThread.join();
    m_importRunning = false;
    const QString title = tr("Error");
    if (read.error != xlsx::ReadError::None) {
        DebugLine("LoadXlsx(%s) : %s", m_loadPath.toLocal8Bit().constData(), read.detail.c_str());
        ShowMessage(this, ImportErrorText(read.error), title, QMessageBox::Critical);
        return;
    }
    switch (check.kind) {
    case users::ImportCheck::Ok: break;
    case users::ImportCheck::Duplicate:
        ShowMessage(this, tr("There are same Name or ID \n => %1").arg(QString::fromStdString(check.text)),
                    title, QMessageBox::Critical);
        return;
    case users::ImportCheck::TooLong: ShowNamingNotice(this, ErrorNotice::TooLong, NamedText(check)); return;
    case users::ImportCheck::HeaderText:
        ShowNamingNotice(this, ErrorNotice::Duplicate, NamedText(check));
        return;
    case users::ImportCheck::BadCharacter:
        ShowMessage(this,
                    tr("The ID or name on row %1 holds a control character or bytes that are "
                       "not text.\nThe user list is unchanged.")
                        .arg(check.row),
                    title, QMessageBox::Critical);
        return;
    case users::ImportCheck::NoId:
        ShowMessage(this,
                    tr("The name %1 has no ID beside it.\nThe user list is unchanged.").arg(NamedText(check)),
                    title, QMessageBox::Critical);
        return;
    case users::ImportCheck::TooMany:
        ShowMessage(this,
                    tr("The file holds more users than can be registered (at most %1).\n"
                       "The user list is unchanged.")
                        .arg(users::kMaxUserSlot),
                    title, QMessageBox::Critical);
        return;
    case users::ImportCheck::NoHeader:
        ShowMessage(this,
                    tr("No \"User ID\" header was found in the file.\n"
                       "The user list is unchanged."),
                    title, QMessageBox::Critical);
        return;
    case users::ImportCheck::NoUsers:
        ShowMessage(this, tr("The file holds no users.\nThe user list is unchanged."), title,
                    QMessageBox::Information);
        return;
    }
    users::ApplyImport(m_Users, check.users, when);
    ReportNotSaved(this, m_Users.Save(), tr("The user list"));
    QMetaObject::invokeMethod(this, &COptionIDMngDlg::RefreshUserList, Qt::QueuedConnection);
}
