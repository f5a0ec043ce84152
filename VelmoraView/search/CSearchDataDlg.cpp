#include "search/CSearchDataDlg.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "ProgramFolder.h"
#include "TextUtil.h"
#include "controls/CLoadDataDlg.h"
#include "controls/CProgressBar.h"
#include "controls/Dialogs.h"
#include "controls/GridPrint.h"
#include "controls/Skin.h"
#include "controls/SkinButton.h"
#include "messaging/Messages.h"
#include "messaging/PostMessage.h"
#include "messaging/WindowOps.h"
#include "records/RecordArchive.h"
#include "search/SearchEngine.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <sys/stat.h>

using records::StatusMoment;

namespace search {

records::StatusLine SearchStatus(bool archive, StatusMoment moment, bool found, const QString& name)
{
    const QColor black(0, 0, 0), blue(0, 0, 255), red(255, 0, 0);
    const QString n = records::ShortArchiveName(name);
    if (!found) {
        if (archive) return {QStringLiteral("Reading search datas : Not exist (%1)").arg(n), red};
        if (moment == StatusMoment::Opening) return {QStringLiteral("Reading search datas0 : Not exist"), red};
        return {QStringLiteral("Reading search datas : Not exist"), red};
    }
    if (moment == StatusMoment::Opening) {
        if (archive) return {QStringLiteral("Reading search datas : Loading... (%1)").arg(n), blue};
        return {QStringLiteral("Reading search datas : Loading..."), black};
    }
    if (archive) return {QStringLiteral("Reading search datas : Complete (%1)").arg(n), blue};
    return {QStringLiteral("Reading search datas : Complete"), black};
}

}  // namespace search

namespace {
constexpr int kTitleHeight = 30;
constexpr int kPaintEveryMs = 25;

CSearchDataDlg::PreviewHook& Preview()
{
    static CSearchDataDlg::PreviewHook hook;
    return hook;
}

void PaintWhileBusy()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QImage HalfSize(const QImage& image)
{
    return image.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
}  // namespace

void CSearchDataDlg::SetPreviewHook(PreviewHook hook) { Preview() = std::move(hook); }

CSearchDataDlg::CSearchDataDlg(int sourceFlag, const std::string& archivePhotoFolder,
                               const QString& archiveName, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_SourceFlag(sourceFlag),
      m_ArchivePhotoDir(archivePhotoFolder),
      m_ArchiveName(archiveName)
{
    setFixedSize(kWidth, kHeight);
    setModal(true);
    setWindowTitle(QStringLiteral("Searching Data"));
    setWindowIcon(skin::AppIcon());
    DragWithMouse(this);

    auto* title = new QLabel(QStringLiteral("Searching Data"), this);
    title->setGeometry(12, 2, 400, 26);
    skin::StyleTitle(title);
    title->setFont(skin::Arial(21));
    auto* closeX = new QPushButton(this);
    closeX->setGeometry(kWidth - 46, 0, 46, kTitleHeight);
    skin::StyleTitleClose(closeX);
    closeX->setAccessibleName(QStringLiteral("Close"));
    connect(closeX, &QPushButton::clicked, this, [this] { OnCommand(msg::SD_CLOSE_BTN); });

    m_Status = new QLabel(this);
    m_Status->setGeometry(16, 36, 840, 26);
    m_Status->setFont(skin::Arial(18, true));
    m_Status->setTextFormat(Qt::PlainText);
    m_Status->setAutoFillBackground(true);

    m_SheetList = new QComboBox(this);
    m_SheetList->setGeometry(kWidth - 16 - 150, 64, 150, 26);
    m_SheetList->setFont(skin::Arial(15));
    m_SheetList->setAccessibleName(QStringLiteral("Sheet"));
    connect(m_SheetList, &QComboBox::currentIndexChanged, this, &CSearchDataDlg::OnSheetChanged);

    m_Model = new records::RecordGridModel(this);
    m_Model->SetRecords(&emtask::GetManager()->m_SearchData);
    m_Grid = new QTableView(this);
    m_Grid->setGeometry(4, 94, kWidth - 8, records::kHeaderHeight + 15 * records::kRowHeight + 20);
    records::SetupGridView(m_Grid, m_Model);
    m_Grid->setFont(skin::Arial(13));
    m_Grid->horizontalHeader()->setFont(skin::Arial(13, true));
    connect(m_Grid, &QTableView::clicked, this,
            [this](const QModelIndex& i) { PostMessage(this, msg::WM_ONE_CLK, i.row()); });
    connect(m_Grid, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { PostMessage(this, msg::WM_DBL_CLK, i.row()); });

    auto* picture = new QLabel(this);
    const int pictureTop = 94 + m_Grid->height() + 8;
    picture->setGeometry(16, pictureTop, 322, kHeight - pictureTop - 8);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setStyleSheet(QStringLiteral("background: white; border: 1px solid rgb(160,160,160);"));
    m_Picture = picture;
    ShowPhoto(-1);

    struct B {
        int id;
        const char* text;
    };
    const B buttons[] = {{msg::SD_SAVE_BTN, "Save"},
                         {msg::SD_CSV_BTN, "CSV"},
                         {msg::SD_PRINT_BTN, "Print"},
                         {msg::SD_CLOSE_BTN, "Close"}};
    const int top = picture->y() + 40;
    for (int i = 0; i < 4; ++i) {
        auto* b = new CSkinButton(buttons[i].id, CSkinButton::Look::Bar, QString::fromLatin1(buttons[i].text), this);
        const int left = 380 + (i % 2) * 310, y = top + (i / 2) * 70;
        b->place(left, y, left + 289, y + 47);
        connect(b, &CSkinButton::command, this, &CSearchDataDlg::OnCommand);
        m_Buttons.push_back(b);
    }

    m_Progress = new CLoadDataDlg(this);

    // Opening: the count and the header of the last result are cleared, and
    // the search runs once the window is up.
    emtask::EMTaskData* store = emtask::GetManager();
    store->m_DeviceSearchTotalCnt = 0;
    std::memset(&store->m_SearchData, 0, 8);
    RegisterWindow(Wnd::SearchData, this);
    PostMessage(this, msg::MSG_SEARCH_RUN);
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
    if (m_PrintThread.joinable()) m_PrintThread.join();
}

int CSearchDataDlg::DoModal()
{
    CenterWindow(this);
    return Dialogs().execDialog(this);
}

records::PhotoSource CSearchDataDlg::PhotoSourceNow() const
{
    records::PhotoSource src =
        m_SourceFlag ? records::ArchivePhotoSource(m_ArchivePhotoDir) : records::LogPhotoSource();
    // A found record sits in a slot of its own in the results: its
    // photograph is named by its test number, whatever the source.
    src.numberBySlot = false;
    return src;
}

QString CSearchDataDlg::StatusText() const { return m_Status->text(); }

void CSearchDataDlg::ShowStatus(const records::StatusLine& s)
{
    m_Status->setText(s.text);
    m_StatusColor = s.color;
    m_Status->setStyleSheet(
        QStringLiteral("color: %1; background: rgb(218,218,218);").arg(s.color.name()));
}

void CSearchDataDlg::SearchProcess()
{
    search::SearchProcess(*emtask::GetManager());
    FillSheetList();
    PostMessage(this, msg::MSG_SEARCH_DISPLAY);
}

void CSearchDataDlg::FillSheetList()
{
    const emtask::EMTaskData* store = emtask::GetManager();
    m_RowsPerSheet = emtask::RowsPerSheet(store->m_BusInfo.rowsindex);
    m_SheetCount = emtask::SheetCount(store->m_DeviceSearchTotalCnt, m_RowsPerSheet);
    QSignalBlocker block(m_SheetList);
    m_SheetList->clear();
    for (int i = 1; i <= m_SheetCount; ++i) m_SheetList->addItem(QStringLiteral("Sheet %1").arg(i));
    if (m_SheetCount > 0) m_SheetList->setCurrentIndex(0);
    m_PrevSheet = 0;
}

void CSearchDataDlg::OnSheetChanged(int index)
{
    m_SelectedTestNo.clear();
    m_SelectedSlot = -1;
    ShowPhoto(-1);
    if (index != m_PrevSheet) {
        m_PrevSheet = index;
        DisplaySearchData();
    }
}

void CSearchDataDlg::DisplaySearchData()
{
    DebugLine(" DisplaySearchData");
    emtask::EMTaskData* store = emtask::GetManager();
    emtask::DeviceData& d = store->m_SearchData;
    const int32_t total = std::clamp(store->m_DeviceSearchTotalCnt, 0, emtask::kMaxRecords);
    d.datakind = 'A';
    d.datacnt = total;
    const bool archive = m_SourceFlag != 0;
    m_Grid->hide();

    records::SheetRange range;
    if (total > 0) {
        range = records::SheetSlots(total, m_RowsPerSheet, std::max(0, m_SheetList->currentIndex()));
        m_FirstSlot = range.first;
        m_LastSlot = range.last;
        const bool cut = int64_t(range.first) - m_RowsPerSheet + 1 < 1;
        ProgressTextInfo info;
        info.context = 1;
        info.total = total;
        m_Progress->Bar()->SetTextInfo(info);
        m_Progress->Start(cut ? std::max(0, range.first) : m_RowsPerSheet, this);
    }
    m_Model->Clear();
    ShowStatus(search::SearchStatus(archive, StatusMoment::Opening, total > 0, m_ArchiveName));
    PaintWhileBusy();

    if (total > 0 && range.count() > 0) {
        setEnabled(false);
        const records::PhotoSource photos = PhotoSourceNow();
        std::vector<int32_t> shownSlots;
        std::vector<char> present;
        shownSlots.reserve(size_t(range.count()));
        present.reserve(size_t(range.count()));
        QElapsedTimer sincePaint;
        sincePaint.start();
        CProgressBar* bar = m_Progress->Bar();
        for (int32_t slot = m_FirstSlot; slot >= m_LastSlot; --slot) {
            if (sincePaint.elapsed() >= kPaintEveryMs) {
                PaintWhileBusy();
                sincePaint.restart();
            }
            bar->StepIt();
            const std::string path = records::PhotoPath(photos, d.m_TestData[slot], slot);
            struct stat st;
            shownSlots.push_back(slot);
            present.push_back(!path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode));
        }
        m_Model->SetRows(std::move(shownSlots), std::move(present));
    }
    ShowStatus(search::SearchStatus(archive, StatusMoment::Closing, total > 0, m_ArchiveName));
    m_Grid->viewport()->update();
    setEnabled(true);
    m_Progress->hide();
    m_Grid->show();
}

void CSearchDataDlg::OnRowClicked(int row)
{
    m_SelectedSlot = m_Model->SlotAt(row);
    m_SelectedTestNo = m_Model->TestNoText(row);
    DebugLine(" WM_ONE_CLK gridSelected : %s", m_SelectedTestNo.toUtf8().constData());
    ShowPhoto(m_SelectedSlot);
}

void CSearchDataDlg::OnRowDoubleClicked(int row)
{
    m_SelectedSlot = m_Model->SlotAt(row);
    m_SelectedTestNo = m_Model->TestNoText(row);
    if (m_SelectedSlot >= 0 && Preview()) Preview()(*this);
}

void CSearchDataDlg::ShowPhoto(int32_t slot)
{
    auto* area = static_cast<QLabel*>(m_Picture);
    QImage image;
    if (slot < 0) {
        m_ShownVerdict = records::PhotoVerdict::NoPhoto;
        image = HalfSize(records::NoPhotoPicture());
    } else {
        records::PhotoResult r = records::CheckRecordPhoto(PhotoSourceNow(), emtask::GetManager()->m_SearchData, slot);
        m_ShownVerdict = r.verdict;
        image = r.picture;
    }
    area->setPixmap(QPixmap::fromImage(image));
}

void CSearchDataDlg::OnCommand(int id)
{
    switch (id) {
    case msg::SD_SAVE_BTN: OnSave(); break;
    case msg::SD_CSV_BTN: OnCsv(); break;
    case msg::SD_PRINT_BTN: OnPrint(); break;
    case msg::SD_CLOSE_BTN: OnClose(); break;
    default: break;
    }
}

void CSearchDataDlg::OnSave()
{
    if (Busy()) return;
    const QString chosen = Dialogs().saveFileName(this, QStringLiteral("Save"), QString(),
                                                  QStringLiteral("dat File(*.dat);;All Files (*.*)"));
    if (chosen.isEmpty()) return;
    emtask::EMTaskData* store = emtask::GetManager();
    const records::ArchiveTarget target = records::ArchiveTargetFor(QFile::encodeName(chosen).toStdString());
    if (!target.ok) {
        OnSaved(false);
        return;
    }
    setEnabled(false);
    const bool photos = store->m_BusInfo.photosave == 0;
    const int32_t count = emtask::RecordCount(store->m_SearchData);
    if (photos) {
        ProgressTextInfo info;
        info.phase = ProgressPhase::PhotoCopy;
        info.context = 1;
        info.total = count;
        m_Progress->Bar()->SetTextInfo(info);
        m_Progress->Start(count, this);
    }
    const uint8_t kind = static_cast<uint8_t>(store->m_SearchData.datakind & 0xFF);
    const records::PhotoSource from = PhotoSourceNow();
    // The worker reads m_SearchData while this window is disabled (nothing
    // changes it) and reports only by posted messages.
    m_SaveThread = std::thread([this, target, kind, from, photos, count, store] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        bool ok = emtask::MakeDirectory(target.folder);
        if (ok && photos) {
            const int step = std::max(1, count / 200);
            records::CopyPhotographs(store->m_SearchData, from, target.folder + "/jpeg", [this, step, count](int done) {
                if (done % step == 0 || done == count) PostMessage(this, msg::MSG_SEARCH_PROGRESS, done);
            });
        }
        if (ok && !records::WriteArchive(target.file, kind, store->m_SearchData, *store)) {
            DebugPrint("Load(%s) open error\n", target.file.c_str());
            ok = false;
        }
        PostMessage(this, msg::MSG_SEARCH_SAVED, ok ? 1 : 0);
    });
}

void CSearchDataDlg::OnSaved(bool ok)
{
    if (m_SaveThread.joinable()) m_SaveThread.join();
    m_Progress->hide();
    m_Progress->Bar()->SetTextInfo(ProgressTextInfo{});
    setEnabled(true);
    if (!ok) ShowMessage(this, QStringLiteral("It can't save file "), QStringLiteral("Error"), QMessageBox::Warning);
}

void CSearchDataDlg::OnCsv()
{
    if (Busy()) return;
    QString chosen = Dialogs().saveFileName(this, QStringLiteral("Save"), QString(),
                                            QStringLiteral("Excel Files(*.csv)"));
    if (chosen.isEmpty()) return;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += QStringLiteral(".csv");
    emtask::EMTaskData* store = emtask::GetManager();
    const int n = emtask::RecordCount(store->m_SearchData);
    setEnabled(false);
    ProgressTextInfo info;
    info.context = 1;
    info.total = store->m_DeviceSearchTotalCnt;
    m_Progress->Bar()->SetTextInfo(info);
    m_Progress->Start(n, this);
    m_CsvRunning = true;
    const std::string path = QFile::encodeName(chosen).toStdString();
    const int order = store->m_BusInfo.dateorder;
    auto pause = m_CsvPause;
    m_CsvThread = std::thread([this, path, order, n, store, pause] {
        search::CsvExportHooks hooks;
        hooks.running = &m_CsvRunning;
        hooks.pause = pause ? pause : [this](int ms) {
            // In short steps, so that a closing window never waits long.
            for (int waited = 0; waited < ms && m_CsvRunning; waited += 10)
                std::this_thread::sleep_for(std::chrono::milliseconds(std::min(10, ms - waited)));
        };
        const int step = std::max(1, n / 200);
        hooks.progress = [this, step, n](int lines) {
            if (lines % step == 0 || lines == n) PostMessage(this, msg::MSG_SEARCH_PROGRESS, lines);
        };
        const search::CsvResult r = search::ExportCsv(path, store->m_SearchData, order, hooks);
        PostMessage(this, msg::MSG_SEARCH_CSV_DONE, static_cast<intptr_t>(r));
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
    if (result == search::CsvResult::Failed) ShowMessage(this, QStringLiteral("Fail to save"), QString(), QMessageBox::NoIcon);
}

void CSearchDataDlg::OnPrint()
{
    if (Busy()) return;
    m_Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_Printer->setDocName(QStringLiteral("ZOLT7"));
    if (!Dialogs().printDialog(this, m_Printer.get())) {
        m_Printer.reset();
        return;
    }
    for (CSkinButton* b : m_Buttons)
        if (b->id() == msg::SD_PRINT_BTN) b->setEnabled(false);
    m_PrintThread = std::thread([this, table = m_Model->Snapshot(), printer = m_Printer.get()] {
        const bool ok = PrintGridTable(*printer, table);
        PostMessage(this, msg::MSG_SEARCH_PRINTED, ok ? 1 : 0);
    });
}

void CSearchDataDlg::OnPrinted(bool ok)
{
    if (m_PrintThread.joinable()) m_PrintThread.join();
    m_Printer.reset();
    if (!ok) DebugLine(" print failed");
    for (CSkinButton* b : m_Buttons)
        if (b->id() == msg::SD_PRINT_BTN) b->setEnabled(true);
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

bool CSearchDataDlg::event(QEvent* e)
{
    const ZMessageEvent* m;
    if (!AsMessage(e, m)) return QDialog::event(e);
    switch (m->message) {
    case msg::MSG_SEARCH_RUN: SearchProcess(); break;
    case msg::MSG_SEARCH_DISPLAY: DisplaySearchData(); break;
    case msg::MSG_PREVIEW_CLOSED:
        m_Progress->hide();
        setEnabled(true);
        break;
    case msg::WM_ONE_CLK: OnRowClicked(int(m->wParam)); break;
    case msg::WM_DBL_CLK: OnRowDoubleClicked(int(m->wParam)); break;
    case msg::WM_COMMAND: OnCommand(int(m->wParam)); break;
    case msg::MSG_SEARCH_PROGRESS: m_Progress->Bar()->SetPos(int(m->wParam)); break;
    case msg::MSG_SEARCH_SAVED: OnSaved(m->wParam != 0); break;
    case msg::MSG_SEARCH_CSV_DONE: OnCsvDone(static_cast<search::CsvResult>(m->wParam)); break;
    case msg::MSG_SEARCH_PRINTED: OnPrinted(m->wParam != 0); break;
    default: break;
    }
    return true;
}

void CSearchDataDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), kTitleHeight);
}
