#include "records/CReadDeviceDlg.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "ProgramFolder.h"
#include "TextUtil.h"
#include "controls/CLoadDataDlg.h"
#include "controls/CProgressBar.h"
#include "controls/Dialogs.h"
#include "controls/Skin.h"
#include "controls/SkinButton.h"
#include "messaging/StoreNotices.h"
#include "messaging/WindowOps.h"
#include "records/RecordArchive.h"
#include "records/SealAuditDlg.h"

#include <QCoreApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMetaMethod>
#include <QPainter>
#include <QTableView>

using records::PhotoVerdict;
using records::RecordButton;
using records::StatusMoment;

namespace records {

StatusLine RecordStatus(bool archive, StatusMoment moment, bool records, const QString& name)
{
    const QColor black(0, 0, 0), blue(0, 0, 255), red(255, 0, 0);
    const QString n = ShortArchiveName(name);
    if (!records) {
        if (!archive) return {QCoreApplication::translate("records", "Reading datas : Not exist"), red};
        if (moment == StatusMoment::Opening)
            return {
                QCoreApplication::translate("records", "Reading datas from Local : Not exist (%1)").arg(n),
                red};
        return {QCoreApplication::translate("records", "Reading data from Local : Not exist (%1)").arg(n),
                red};
    }
    if (moment == StatusMoment::Opening) {
        if (!archive) return {QCoreApplication::translate("records", "Reading datas"), black};
        return {QCoreApplication::translate("records", "Reading datas from Local : Loading... (%1)").arg(n),
                blue};
    }
    if (!archive) return {QCoreApplication::translate("records", "Reading datas : Complete"), black};
    return {QCoreApplication::translate("records", "Reading datas from Local : Complete (%1)").arg(n), blue};
}

}  // namespace records

CReadDeviceDlg::CReadDeviceDlg(emtask::EMTaskData& store, QWidget* owner)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      m_Store(store)
{
    setFixedSize(kWidth, kHeight);
    setWindowTitle(tr("Records"));
    setWindowIcon(skin::AppIcon());
    DragWithMouse(this);

    m_Title = records::AddTitleBar(this, tr("Records"), [this] { OnClose(); });
    m_Status = records::AddStatusLine(this);

    m_DataLabel = new QLabel(tr("Data"), this);
    m_DataLabel->setGeometry(16, 64, 100, 26);
    m_DataLabel->setFont(skin::Arial(21));
    m_DataLabel->setStyleSheet("color: #303030;");

    m_SheetList = records::AddSheetList(this);
    connect(m_SheetList, &QComboBox::currentIndexChanged, this, &CReadDeviceDlg::OnSheetChanged);

    m_Model = new records::RecordGridModel(this);
    m_Model->SetRecords(&m_Store.Log().Records(), &m_Store.Settings());
    m_Grid = records::AddRecordGrid(
        this, m_Model, QRect(2, 94, kWidth - 4, records::kHeaderHeight + 15 * records::kRowHeight),
        tr("Test records"));
    // Queued, as the grid's clicks are handled after the event that caused them.
    auto* clicks = new records::GridClicks(m_Grid);
    connect(clicks, &records::GridClicks::rowClicked, this, &CReadDeviceDlg::OnRowClicked,
            Qt::QueuedConnection);
    connect(clicks, &records::GridClicks::rowDoubleClicked, this, &CReadDeviceDlg::OnRowDoubleClicked,
            Qt::QueuedConnection);
    // The nine columns take 1,010 pixels: no frame and a slim scroll bar let
    // them fit the window without a horizontal bar.
    m_Grid->setFrameShape(QFrame::NoFrame);
    m_Grid->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { width: 10px; background: #e8e8e8; margin: 0; }"
        "QScrollBar::handle:vertical { background: #a8a8a8; min-height: 24px; border-radius: 4px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"));

    m_Picture = new records::PhotoArea(this);
    m_Picture->setGeometry(16, 94 + m_Grid->height() + 8, 322, 242);
    ShowPhoto(-1);

    static constexpr records::ButtonSpec buttons[] = {
        {int(RecordButton::Save), QT_TRANSLATE_NOOP("records", "Save")},
        {int(RecordButton::Excel), QT_TRANSLATE_NOOP("records", "Excel")},
        {int(RecordButton::Print), QT_TRANSLATE_NOOP("records", "Print")},
        {int(RecordButton::Search), QT_TRANSLATE_NOOP("records", "Search")},
        {int(RecordButton::Open), QT_TRANSLATE_NOOP("records", "Open")},
        {int(RecordButton::Close), QT_TRANSLATE_NOOP("records", "Close")}};
    m_Buttons = records::AddButtonGrid(this, buttons, m_Picture->y() + 40, 3, 189, 210);
    // Check all takes the free place under Close, leaving the laid-out
    // buttons where they are.
    auto* checkAll = new CSkinButton(int(RecordButton::CheckAll), CSkinButton::Look::Bar, tr("Check all"),
                                     this);
    const QRect close = Button(RecordButton::Close)->geometry();
    checkAll->place(close.left(), close.top() + 70, close.right(), close.bottom() + 70);
    m_Buttons.push_back(checkAll);
    using Command = void (CReadDeviceDlg::*)();
    static constexpr std::pair<RecordButton, Command> commands[] = {
        {RecordButton::Save, &CReadDeviceDlg::OnSave},
        {RecordButton::Excel, &CReadDeviceDlg::OnExcel},
        {RecordButton::Print, &CReadDeviceDlg::OnPrint},
        {RecordButton::Search, &CReadDeviceDlg::OnSearch},
        {RecordButton::Open, &CReadDeviceDlg::OnOpen},
        {RecordButton::Close, &CReadDeviceDlg::OnClose},
        {RecordButton::CheckAll, &CReadDeviceDlg::OnCheckAll},
    };
    for (const auto& [button, command] : commands)
        connect(Button(button), &QAbstractButton::clicked, this, command);
    // The keys a desktop user expects, through the buttons: a disabled one
    // does nothing.
    Button(RecordButton::Search)->setShortcut(QKeySequence::Find);
    Button(RecordButton::Print)->setShortcut(QKeySequence::Print);
    Button(RecordButton::Excel)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    Button(RecordButton::Open)->setShortcut(QKeySequence::Open);
    Button(RecordButton::Save)->setShortcut(QKeySequence::Save);

    // Instrument information of the layout: no frame of the protocol fills
    // it, so it stays hidden.
    for (const char* text : {QT_TRANSLATE_NOOP("CReadDeviceDlg", "Device information"),
                             QT_TRANSLATE_NOOP("CReadDeviceDlg", "Device status"),
                             QT_TRANSLATE_NOOP("CReadDeviceDlg", "Calibration Requirements"),
                             QT_TRANSLATE_NOOP("CReadDeviceDlg", "Test count"),
                             QT_TRANSLATE_NOOP("CReadDeviceDlg", "Limit level")}) {
        auto* l = new QLabel(tr(text), this);
        l->hide();
        m_DeviceInfo.push_back(l);
    }

    m_Progress = new CLoadDataDlg(this);
    m_FillTimer.setSingleShot(true);
    connect(&m_FillTimer, &QTimer::timeout, this, [this] {
        setEnabled(true);
        FillRows();
    });
    // The workers' reports arrive as posted events: a worker never waits for the window.
    connect(
        this, &CReadDeviceDlg::saveProgressed, this, [this](int done) { m_Progress->Bar()->SetPos(done); },
        Qt::QueuedConnection);
    connect(this, &CReadDeviceDlg::saveFinished, this, &CReadDeviceDlg::OnSaved, Qt::QueuedConnection);
    connect(&m_Print, &records::GridPrintJob::finished, this, &CReadDeviceDlg::OnPrinted,
            Qt::QueuedConnection);

    RegisterWindow(Wnd::ReadDevice, this);
    UpdateHookButtons();
    if (owner) KeepAbove(this, owner);
    hide();
}

CReadDeviceDlg::~CReadDeviceDlg()
{
    UnregisterWindow(Wnd::ReadDevice, this);
    m_FillTimer.stop();
    if (m_SaveThread.joinable()) m_SaveThread.join();
    m_Print.Join();
    // The end of the program with an archive shown: the log comes back, so
    // nothing after this sees the archive as the log.
    RestoreLog();
}

records::PhotoSource CReadDeviceDlg::PhotoSourceNow() const
{
    if (!m_DataOutClicked) return records::LogPhotoSource();
    records::PhotoSource s = records::ArchivePhotoSource(m_ArchivePhotoDir);
    s.folderSeen = m_ArchivePhotosSeen;
    return s;
}

QString CReadDeviceDlg::StatusText() const { return m_Status->text(); }

QImage CReadDeviceDlg::ShownPicture() const { return m_Picture->image; }

CSkinButton* CReadDeviceDlg::Button(RecordButton b) const { return records::FindButton(m_Buttons, int(b)); }

void CReadDeviceDlg::UpdateHookButtons()
{
    if (CSkinButton* b = Button(RecordButton::Excel))
        b->setEnabled(isSignalConnected(QMetaMethod::fromSignal(&CReadDeviceDlg::excelRequested)));
    if (CSkinButton* b = Button(RecordButton::Search))
        b->setEnabled(isSignalConnected(QMetaMethod::fromSignal(&CReadDeviceDlg::searchRequested)));
}

void CReadDeviceDlg::connectNotify(const QMetaMethod& signal)
{
    QWidget::connectNotify(signal);
    UpdateHookButtons();
}

void CReadDeviceDlg::showEvent(QShowEvent* e)
{
    UpdateHookButtons();
    QWidget::showEvent(e);
}

void CReadDeviceDlg::OpenFromMain()
{
    DebugLine(" WM_FILE_READ");
    ReadFileLater();
    CenterWindow(this);
    show();
    m_Selection.Clear();
    FillSheetList();
}

void CReadDeviceDlg::FillSheetList()
{
    records::FillSheetList(m_SheetList, m_Paging, m_Store.Log().Count(), m_Store.Settings());
}

void CReadDeviceDlg::OnSheetChanged(int index)
{
    m_Selection.Clear();
    ShowPhoto(-1);
    if (index != m_Paging.prevSheet) ReadFileLater();
    m_Paging.prevSheet = index;
}

void CReadDeviceDlg::ShowStatus(const records::StatusLine& s)
{
    records::ShowStatusLine(m_Status, s);
    m_StatusColor = s.color;
}

void CReadDeviceDlg::DisplayFileReadData()
{
    m_InPass = true;
    DebugLine(" DisplayFileReadData");
    m_Grid->hide();
    emtask::EMTaskData* store = &m_Store;
    const emtask::DeviceData& d = store->Log().Records();
    const int32_t total = emtask::RecordCount(d);
    const bool archive = m_DataOutClicked != 0;

    records::SheetRange range;
    if (total > 0) {
        range = records::SheetSlots(total, m_Paging.rowsPerSheet, std::max(0, m_SheetList->currentIndex()));
        ProgressTextInfo info;
        info.total = total;
        info.firstSlot = range.first;
        info.lastSlot = range.last;
        records::StartSheetProgress(m_Progress, range, m_Paging.rowsPerSheet, info, this);
    }
    m_Model->Clear();
    ShowStatus(records::RecordStatus(archive, StatusMoment::Opening, total > 0, m_ArchiveName));
    records::PaintWhileBusy();
    DebugLine(" DisplayFileReadData");

    if (m_FillFlag && total > 0 && range.count() > 0) {
        setEnabled(false);
        const records::PhotoSource photos = PhotoSourceNow();
        const bool logEach = range.count() <= records::kPerRecordLogRows;
        records::SheetScan scan = records::ScanSheet(
            d, photos, range, m_Progress->Bar(), [store] { return store->Settings().Get().recordcnt == 0; },
            [logEach, archive](const std::string& path) {
                if (!logEach) return;
                const char* name = path.empty() ? "" : path.c_str() + path.rfind('/') + 1;
                if (archive)
                    DebugLine(" searchName : %s,szNewjpegPath : %s ", name, path.c_str());
                else
                    DebugLine(" searchName : %s,szPrevPath : %s ", name, path.c_str());
            });
        if (!logEach)
            DebugLine(" shownSlots %d..%d shown, %d photographs in %s", range.first, range.last, scan.found,
                      photos.folder.c_str());
        m_Model->SetRows(std::move(scan.shownSlots), std::move(scan.present));
        if (!scan.stopped) {
            store->SetDisplayCount(total);
            m_Complete = true;
        }
    }

    if (total > 0 && m_Complete) {
        ShowStatus(records::RecordStatus(archive, StatusMoment::Closing, true, m_ArchiveName));
        m_Complete = false;
    } else if (total == 0) {
        ShowStatus(records::RecordStatus(archive, StatusMoment::Closing, false, m_ArchiveName));
    }
    m_Grid->viewport()->update();
    setEnabled(true);
    m_Progress->hide();
    m_Grid->show();
    m_InPass = false;

    // What came during the pass runs next, in its order.
    for (auto& later : std::exchange(m_Deferred, {}))
        QMetaObject::invokeMethod(this, later, Qt::QueuedConnection);
}

bool CReadDeviceDlg::DeferredByPass(std::function<void()> later)
{
    // A display pass lets the window paint between rows; what would change
    // the rows it is filling waits until it ends.
    if (!m_InPass) return false;
    m_Deferred.push_back(std::move(later));
    return true;
}

void CReadDeviceDlg::ReadFileLater()
{
    QMetaObject::invokeMethod(this, &CReadDeviceDlg::ReadFile, Qt::QueuedConnection);
}

void CReadDeviceDlg::ReadFile()
{
    if (DeferredByPass([this] { ReadFile(); })) return;
    DebugLine(" WM_FILE_READ");
    m_FillFlag = false;
    m_FillTimer.stop();
    DisplayFileReadData();
    m_FillFlag = true;
    m_FillTimer.start(kFillDelayMs);
}

void CReadDeviceDlg::FillRows()
{
    if (DeferredByPass([this] { FillRows(); })) return;
    if (!m_FillFlag) return;  // the window was closed meanwhile
    DisplayFileReadData();
    m_FillFlag = false;
}

void CReadDeviceDlg::OnRowClicked(int row)
{
    if (DeferredByPass([this, row] { OnRowClicked(row); })) return;
    m_Selection.Take(*m_Model, row);
    DebugLine(" WM_ONE_CLK gridSelected : %s", m_Selection.testNo.toUtf8().constData());
    ShowPhoto(m_Selection.slot);
}

void CReadDeviceDlg::OnRowDoubleClicked(int row)
{
    if (DeferredByPass([this, row] { OnRowDoubleClicked(row); })) return;
    m_Selection.Take(*m_Model, row);
    if (m_Selection.slot >= 0) emit rowOpened();
}

void CReadDeviceDlg::OnPreviewClosed()
{
    if (DeferredByPass([this] { OnPreviewClosed(); })) return;
    m_Progress->hide();
    setEnabled(true);
}

void CReadDeviceDlg::ShowPhoto(int32_t slot)
{
    const emtask::DeviceData& d = m_Store.Log().Records();
    if (slot >= 0 && !m_DataOutClicked)
        DebugLine(" m_DataOutClicked = 0 ,szPrevPath : %s",
                  records::PhotoPath(PhotoSourceNow(), d.m_TestData[slot], slot).c_str());
    m_ShownVerdict = records::ShowRecordPhoto(m_Picture, PhotoSourceNow(), d, slot);
}

void CReadDeviceDlg::OnCheckAll()
{
    if (!m_Audit) {
        m_Audit = new SealAuditDlg(this);
        m_Audit->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (!m_Audit->Running()) m_Audit->Start();
    m_Audit->show();
    m_Audit->raise();
}

void CReadDeviceDlg::OnSave()
{
    if (m_SaveThread.joinable()) return;
    const QString chosen = Dialogs().saveFileName(this, tr("Save"), QString(),
                                                  tr("dat File(*.dat);;All Files (*.*)"));
    if (chosen.isEmpty()) return;
    emtask::EMTaskData* store = &m_Store;
    const records::ArchiveTarget target = records::ArchiveTargetFor(chosen.toStdString());
    m_SaveFile = target.ok ? QString::fromStdString(target.file) : chosen;
    m_SaveWhy = target.ok ? std::string() : "no archive name in it";
    if (!target.ok) {
        OnSaved(false);
        return;
    }
    setEnabled(false);
    const bool photos = store->Settings().Get().photosave == 0;
    const int32_t count = store->Log().Count();
    if (photos) records::StartPhotoCopyProgress(m_Progress, 0, count, this);
    const uint8_t kind = static_cast<uint8_t>(store->DeviceKind() & 0xFF);
    const records::PhotoSource from = PhotoSourceNow();
    // The worker reads m_DeviceData while this window is disabled (nothing
    // can change it) and reports only by its signals.
    m_SaveCopy = {};
    m_SaveThread = std::thread([this, target, kind, from, photos, store] {
        const bool ok = records::SaveArchiveWork([this](int done) { emit saveProgressed(done); }, target,
                                                 kind, store->Log().Records(), *store, from, photos,
                                                 &m_SaveCopy, &m_SaveWhy);
        emit saveFinished(ok);
    });
}

void CReadDeviceDlg::OnSaved(bool ok)
{
    if (m_SaveThread.joinable()) m_SaveThread.join();
    records::EndSaveProgress(m_Progress);
    setEnabled(true);
    if (ok) return;
    // Read after the join: the worker has finished with them.
    if (m_SaveCopy.lost > 0)
        ShowMessage(
            this,
            tr("%1 photograph(s) could not be copied, the first %2 (%3). The archive was not saved.")
                .arg(m_SaveCopy.lost)
                .arg(QString::fromStdString(m_SaveCopy.firstLost), QString::fromStdString(m_SaveCopy.why)),
            tr("처리오류"), QMessageBox::Warning);
    else
        ReportFileNotSaved(this, tr("해당 파일을 저장할 수 없습니다. "), tr("처리오류"), m_SaveFile,
                           QString::fromStdString(m_SaveWhy));
}

void CReadDeviceDlg::OnOpen()
{
    if (m_SaveThread.joinable()) return;
    const QString chosen = Dialogs().openFileName(this, tr("Open"), QString(), tr("data File (*.dat)"));
    if (chosen.isEmpty()) return;
    const records::ArchiveLoad loaded = records::LoadArchive(chosen.toStdString(), m_Store);
    if (loaded != records::ArchiveLoad::Ok) {
        ShowMessage(this, tr("Data File Mismatch"), tr("Error"), QMessageBox::Warning);
        if (loaded == records::ArchiveLoad::ReadFailed) {
            // Read midway: part of the file lies over the records; the log comes back.
            if (!RestoreLog()) SayLogNotReadBack();
            m_DataOutClicked = 0;
            m_ArchivePhotoDir.clear();
            m_ArchiveName.clear();
            m_Selection.Clear();
            ReadFileLater();
            FillSheetList();
        }
        return;
    }
    const QFileInfo fi(chosen);
    m_ArchivePhotoDir = fi.absolutePath().toStdString() + "/jpeg";
    m_ArchivePhotosSeen = QFileInfo(QString::fromStdString(m_ArchivePhotoDir)).isDir();
    m_ArchiveName = fi.fileName();
    m_DataOutClicked = 1;
    m_Selection.Clear();
    ShowPhoto(-1);
    ReadFileLater();
    CenterWindow(this);
    show();
    FillSheetList();
}

void CReadDeviceDlg::OnPrint()
{
    if (!m_Print.Start(this, *m_Model)) return;
    if (CSkinButton* b = Button(RecordButton::Print)) b->setEnabled(false);
}

void CReadDeviceDlg::OnPrinted(bool ok)
{
    m_Print.Finish(ok);
    if (CSkinButton* b = Button(RecordButton::Print)) b->setEnabled(true);
}

bool CReadDeviceDlg::RestoreLog() { return m_Store.EndArchiveView(emtask::MeasureLogPath().c_str()) == 1; }

void CReadDeviceDlg::SayLogNotReadBack()
{
    const QString path = QString::fromStdString(emtask::MeasureLogPath());
    ShowMessage(this,
                tr("The test log %1 could not be read back (%2). It is shown empty and read-only: no "
                   "test is stored in it until the program is started again.")
                    .arg(path, QString::fromStdString(emtask::LastStoreError())),
                tr("Data files"), QMessageBox::Warning);
}

void CReadDeviceDlg::OnClose()
{
    if (m_SaveThread.joinable()) return;  // the save reads m_DeviceData until it ends
    m_FillTimer.stop();
    m_FillFlag = false;
    if (!RestoreLog()) SayLogNotReadBack();
    m_DataOutClicked = 0;
    m_ArchivePhotoDir.clear();
    m_ArchiveName.clear();
    m_Selection.Clear();
    m_Model->Clear();
    ShowStatus({});
    ShowPhoto(-1);
    m_Progress->hide();
    EnableWnd(Wnd::Main, true);
    hide();
}

void CReadDeviceDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), records::kListTitleHeight);
}

void CReadDeviceDlg::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        OnClose();
        return;
    }
    QWidget::keyPressEvent(e);
}

void CReadDeviceDlg::closeEvent(QCloseEvent* e)
{
    // Closed by the system: the same as Close, so the log comes back.
    if (m_SaveThread.joinable()) {
        e->ignore();
        return;
    }
    if (DeferredByPass([this] { OnClose(); })) {  // closed when the pass ends
        e->ignore();
        return;
    }
    OnClose();
    e->accept();
}
