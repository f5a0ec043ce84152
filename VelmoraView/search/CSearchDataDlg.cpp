#include "search/CSearchDataDlg.h"

#include "DebugLog.h"
#include "EMTaskData.h"
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
#include "search/SearchEngine.h"

#include <QCoreApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstring>

using records::StatusMoment;
using search::SearchButton;

namespace search {

records::StatusLine SearchStatus(bool archive, StatusMoment moment, bool found, const QString& name)
{
    const QColor black(0, 0, 0), blue(0, 0, 255), red(255, 0, 0);
    const QString n = records::ShortArchiveName(name);
    if (!found) {
        if (archive)
            return {QCoreApplication::translate("search", "Reading search datas : Not exist (%1)").arg(n),
                    red};
        if (moment == StatusMoment::Opening)
            return {QCoreApplication::translate("search", "Reading search datas0 : Not exist"), red};
        return {QCoreApplication::translate("search", "Reading search datas : Not exist"), red};
    }
    if (moment == StatusMoment::Opening) {
        if (archive)
            return {QCoreApplication::translate("search", "Reading search datas : Loading... (%1)").arg(n),
                    blue};
        return {QCoreApplication::translate("search", "Reading search datas : Loading..."), black};
    }
    if (archive)
        return {QCoreApplication::translate("search", "Reading search datas : Complete (%1)").arg(n), blue};
    return {QCoreApplication::translate("search", "Reading search datas : Complete"), black};
}

}  // namespace search

CSearchDataDlg::CSearchDataDlg(emtask::EMTaskData& store, int sourceFlag,
                               const std::string& archivePhotoFolder, const QString& archiveName,
                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_Store(store),
      m_SourceFlag(sourceFlag),
      m_ArchivePhotoDir(archivePhotoFolder),
      m_ArchiveName(archiveName)
{
    setFixedSize(kWidth, kHeight);
    setModal(true);
    setWindowTitle(tr("Searching Data"));
    setWindowIcon(skin::AppIcon());
    DragWithMouse(this);

    QLabel* title = records::AddTitleBar(this, tr("Searching Data"), [this] { OnClose(); });
    title->setFont(skin::Arial(21));

    m_Status = records::AddStatusLine(this);
    m_Status->setAutoFillBackground(true);

    m_SheetList = records::AddSheetList(this);
    connect(m_SheetList, &QComboBox::currentIndexChanged, this, &CSearchDataDlg::OnSheetChanged);

    m_Model = new records::RecordGridModel(this);
    m_Model->SetRecords(&m_Store.Search().Found(), &m_Store.Settings());
    m_Grid = records::AddRecordGrid(
        this, m_Model, QRect(4, 94, kWidth - 8, records::kHeaderHeight + 15 * records::kRowHeight + 20),
        tr("Search results"));
    // Queued, as the grid's clicks are handled after the event that caused them.
    auto* clicks = new records::GridClicks(m_Grid);
    connect(clicks, &records::GridClicks::rowClicked, this, &CSearchDataDlg::OnRowClicked,
            Qt::QueuedConnection);
    connect(clicks, &records::GridClicks::rowDoubleClicked, this, &CSearchDataDlg::OnRowDoubleClicked,
            Qt::QueuedConnection);

    m_Picture = new records::PhotoArea(this);
    const int pictureTop = 94 + m_Grid->height() + 8;
    m_Picture->setGeometry(16, pictureTop, 322, kHeight - pictureTop - 8);
    ShowPhoto(-1);

    static constexpr records::ButtonSpec buttons[] = {
        {int(SearchButton::Save), QT_TRANSLATE_NOOP("records", "Save")},
        {int(SearchButton::Csv), QT_TRANSLATE_NOOP("records", "CSV")},
        {int(SearchButton::Print), QT_TRANSLATE_NOOP("records", "Print")},
        {int(SearchButton::Close), QT_TRANSLATE_NOOP("records", "Close")}};
    m_Buttons = records::AddButtonGrid(this, buttons, m_Picture->y() + 40, 2, 289, 310);
    using Command = void (CSearchDataDlg::*)();
    static constexpr std::pair<SearchButton, Command> commands[] = {
        {SearchButton::Save, &CSearchDataDlg::OnSave},
        {SearchButton::Csv, &CSearchDataDlg::OnCsv},
        {SearchButton::Print, &CSearchDataDlg::OnPrint},
        {SearchButton::Close, &CSearchDataDlg::OnClose},
    };
    for (const auto& [button, command] : commands)
        connect(Button(button), &QAbstractButton::clicked, this, command);
    // As in the record window: Ctrl+S saves, Ctrl+E exports, Ctrl+P prints.
    Button(SearchButton::Save)->setShortcut(QKeySequence::Save);
    Button(SearchButton::Csv)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    Button(SearchButton::Print)->setShortcut(QKeySequence::Print);

    m_Progress = new CLoadDataDlg(this);
    // The workers' reports arrive as posted events: a worker never waits for the window.
    connect(
        this, &CSearchDataDlg::workProgressed, this, [this](int done) { m_Progress->Bar()->SetPos(done); },
        Qt::QueuedConnection);
    connect(this, &CSearchDataDlg::saveFinished, this, &CSearchDataDlg::OnSaved, Qt::QueuedConnection);
    connect(this, &CSearchDataDlg::csvFinished, this, &CSearchDataDlg::OnCsvDone, Qt::QueuedConnection);
    connect(&m_Print, &records::GridPrintJob::finished, this, &CSearchDataDlg::OnPrinted,
            Qt::QueuedConnection);

    // Opening: the count and the header of the last result are cleared, and
    // the search runs once the window is up.
    m_Store.Search().Clear();
    RegisterWindow(Wnd::SearchData, this);
    QMetaObject::invokeMethod(this, &CSearchDataDlg::SearchProcess, Qt::QueuedConnection);
}

CSearchDataDlg::~CSearchDataDlg()
{
    UnregisterWindow(Wnd::SearchData, this);
    StopWorkers();
}

void CSearchDataDlg::StopWorkers()
{
    // The CSV export stops at its next line and leaves any older file as it
    // was; a save and a print run to their end.
    m_CsvRunning = false;
    if (m_CsvThread.joinable()) m_CsvThread.join();
    if (m_SaveThread.joinable()) m_SaveThread.join();
    m_Print.Join();
}

int CSearchDataDlg::DoModal()
{
    CenterWindow(this);
    return Dialogs().execDialog(this);
}

records::PhotoSource CSearchDataDlg::PhotoSourceNow() const
{
    records::PhotoSource src = m_SourceFlag ? records::ArchivePhotoSource(m_ArchivePhotoDir)
                                            : records::LogPhotoSource();
    // A found record sits in a slot of its own in the results: its
    // photograph is named by its test number, whatever the source.
    src.numberBySlot = false;
    return src;
}

QString CSearchDataDlg::StatusText() const { return m_Status->text(); }

CSkinButton* CSearchDataDlg::Button(SearchButton b) const { return records::FindButton(m_Buttons, int(b)); }

void CSearchDataDlg::ShowStatus(const records::StatusLine& s)
{
    records::ShowStatusLine(m_Status, s, QStringLiteral(" background: rgb(218,218,218);"));
    m_StatusColor = s.color;
}

void CSearchDataDlg::SearchProcess()
{
    search::SearchProcess(m_Store);
    FillSheetList();
    QMetaObject::invokeMethod(this, &CSearchDataDlg::DisplaySearchData, Qt::QueuedConnection);
}

void CSearchDataDlg::FillSheetList()
{
    records::FillSheetList(m_SheetList, m_Paging, m_Store.Search().Total(), m_Store.Settings());
}

void CSearchDataDlg::OnSheetChanged(int index)
{
    m_Selection.Clear();
    ShowPhoto(-1);
    if (index != m_Paging.prevSheet) {
        m_Paging.prevSheet = index;
        DisplaySearchData();
    }
}

void CSearchDataDlg::DisplaySearchData()
{
    DebugLine(" DisplaySearchData");
    m_Store.Search().MarkShown();
    const emtask::DeviceData& d = m_Store.Search().Found();
    const int32_t total = d.datacnt;
    const bool archive = m_SourceFlag != 0;
    m_Grid->hide();

    records::SheetRange range;
    if (total > 0) {
        range = records::SheetSlots(total, m_Paging.rowsPerSheet, std::max(0, m_SheetList->currentIndex()));
        ProgressTextInfo info;
        info.context = 1;
        info.total = total;
        records::StartSheetProgress(m_Progress, range, m_Paging.rowsPerSheet, info, this);
    }
    m_Model->Clear();
    ShowStatus(search::SearchStatus(archive, StatusMoment::Opening, total > 0, m_ArchiveName));
    records::PaintWhileBusy();

    if (total > 0 && range.count() > 0) {
        setEnabled(false);
        records::SheetScan scan = records::ScanSheet(d, PhotoSourceNow(), range, m_Progress->Bar());
        m_Model->SetRows(std::move(scan.shownSlots), std::move(scan.present));
    }
    ShowStatus(search::SearchStatus(archive, StatusMoment::Closing, total > 0, m_ArchiveName));
    m_Grid->viewport()->update();
    setEnabled(true);
    m_Progress->hide();
    m_Grid->show();
}

void CSearchDataDlg::OnRowClicked(int row)
{
    m_Selection.Take(*m_Model, row);
    DebugLine(" WM_ONE_CLK gridSelected : %s", m_Selection.testNo.toUtf8().constData());
    ShowPhoto(m_Selection.slot);
}

void CSearchDataDlg::OnRowDoubleClicked(int row)
{
    m_Selection.Take(*m_Model, row);
    if (m_Selection.slot >= 0) emit rowOpened();
}

void CSearchDataDlg::ShowPhoto(int32_t slot)
{
    m_ShownVerdict = records::ShowRecordPhoto(m_Picture, PhotoSourceNow(), m_Store.Search().Found(), slot);
}

void CSearchDataDlg::OnPreviewClosed()
{
    m_Progress->hide();
    setEnabled(true);
}

void CSearchDataDlg::OnSave()
{
    if (Busy()) return;
    const QString chosen = Dialogs().saveFileName(this, tr("Save"), QString(),
                                                  tr("dat File(*.dat);;All Files (*.*)"));
    if (chosen.isEmpty()) return;
    emtask::EMTaskData* store = &m_Store;
    const records::ArchiveTarget target = records::ArchiveTargetFor(QFile::encodeName(chosen).toStdString());
    m_SaveFile = target.ok ? QFile::decodeName(target.file.c_str()) : chosen;
    m_SaveWhy = target.ok ? std::string() : "no archive name in it";
    if (!target.ok) {
        OnSaved(false);
        return;
    }
    setEnabled(false);
    const bool photos = store->Settings().Get().photosave == 0;
    const int32_t count = emtask::RecordCount(store->Search().Found());
    if (photos) records::StartPhotoCopyProgress(m_Progress, 1, count, this);
    const uint8_t kind = static_cast<uint8_t>(store->Search().Found().datakind & 0xFF);
    const records::PhotoSource from = PhotoSourceNow();
    // The worker reads m_SearchData while this window is disabled (nothing
    // changes it) and reports only by its signals.
    m_SaveThread = std::thread([this, target, kind, from, photos, store] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const bool ok = records::SaveArchiveWork([this](int done) { emit workProgressed(done); }, target,
                                                 kind, store->Search().Found(), *store, from, photos, nullptr,
                                                 &m_SaveWhy);
        emit saveFinished(ok);
    });
}

void CSearchDataDlg::OnSaved(bool ok)
{
    if (m_SaveThread.joinable()) m_SaveThread.join();
    records::EndSaveProgress(m_Progress);
    setEnabled(true);
    if (!ok)
        ReportFileNotSaved(this, tr("It can't save file "), tr("Error"), m_SaveFile,
                           QString::fromStdString(m_SaveWhy));
}

void CSearchDataDlg::OnCsv()
{
    if (Busy()) return;
    QString chosen = Dialogs().saveFileName(this, tr("Save"), QString(), tr("Excel Files(*.csv)"));
    if (chosen.isEmpty()) return;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".csv");
    emtask::EMTaskData* store = &m_Store;
    const int n = emtask::RecordCount(store->Search().Found());
    setEnabled(false);
    ProgressTextInfo info;
    info.context = 1;
    info.total = store->Search().Total();
    m_Progress->Bar()->SetTextInfo(info);
    m_Progress->Start(n, this);
    m_CsvRunning = true;
    m_CsvFile = chosen;
    m_CsvWhy.clear();
    const std::string path = QFile::encodeName(chosen).toStdString();
    const int order = store->Settings().Get().dateorder;
    auto pause = m_CsvPause;
    m_CsvThread = std::thread([this, path, order, n, store, pause] {
        search::CsvExportHooks hooks;
        hooks.running = &m_CsvRunning;
        hooks.why = &m_CsvWhy;
        hooks.pause = pause ? pause : [this](int ms) {
            // In short steps, so that a closing window never waits long.
            for (int waited = 0; waited < ms && m_CsvRunning; waited += 10)
                std::this_thread::sleep_for(std::chrono::milliseconds(std::min(10, ms - waited)));
        };
        const int step = std::max(1, n / 200);
        hooks.progress = [this, step, n](int lines) {
            if (lines % step == 0 || lines == n) emit workProgressed(lines);
        };
        emit csvFinished(search::ExportCsv(path, store->Search().Found(), order, hooks));
    });
}

void CSearchDataDlg::OnCsvDone(search::CsvResult result)
{
    if (m_CsvThread.joinable()) m_CsvThread.join();
    m_CsvRunning = false;
    setEnabled(true);
    // The full bar stays in sight a moment, as the export ends.
    QPointer<CLoadDataDlg> progress = m_Progress;
    QTimer::singleShot(2000, this, [progress] {
        if (progress) progress->hide();
    });
    if (result == search::CsvResult::Failed)
        ReportFileNotSaved(this, tr("Fail to save") + QLatin1Char(' '), QString(), m_CsvFile,
                           QString::fromStdString(m_CsvWhy));
}

void CSearchDataDlg::OnPrint()
{
    if (Busy() || !m_Print.Start(this, *m_Model)) return;
    if (CSkinButton* b = Button(SearchButton::Print)) b->setEnabled(false);
}

void CSearchDataDlg::OnPrinted(bool ok)
{
    m_Print.Finish(ok);
    if (CSkinButton* b = Button(SearchButton::Print)) b->setEnabled(true);
}

void CSearchDataDlg::OnClose()
{
    if (Busy()) return;  // a worker still reads the results
    EnableWnd(Wnd::ReadDevice, true);
    m_Model->Clear();
    m_Progress->hide();
    done(QDialog::Accepted);
}

void CSearchDataDlg::reject() { OnClose(); }

void CSearchDataDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), records::kListTitleHeight);
}
