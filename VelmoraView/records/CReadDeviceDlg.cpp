#include "records/CReadDeviceDlg.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"
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

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <map>
#include <sys/stat.h>

using records::PhotoVerdict;
using records::StatusMoment;

namespace records {

QString ShortArchiveName(const QString& name)
{
    if (name.size() < 15) return name;
    return name.left(15) + QStringLiteral("...");
}

StatusLine RecordStatus(bool archive, StatusMoment moment, bool records, const QString& name)
{
    const QColor black(0, 0, 0), blue(0, 0, 255), red(255, 0, 0);
    const QString n = ShortArchiveName(name);
    if (!records) {
        if (!archive) return {QStringLiteral("Reading datas : Not exist"), red};
        if (moment == StatusMoment::Opening)
            return {QStringLiteral("Reading datas from Local : Not exist (%1)").arg(n), red};
        return {QStringLiteral("Reading data from Local : Not exist (%1)").arg(n), red};
    }
    if (moment == StatusMoment::Opening) {
        if (!archive) return {QStringLiteral("Reading datas"), black};
        return {QStringLiteral("Reading datas from Local : Loading... (%1)").arg(n), blue};
    }
    if (!archive) return {QStringLiteral("Reading datas : Complete"), black};
    return {QStringLiteral("Reading datas from Local : Complete (%1)").arg(n), blue};
}

}  // namespace records

namespace {
constexpr int kTitleHeight = 30;
// How long a display pass works between two rounds of painting.
constexpr int kPaintEveryMs = 25;

std::map<int, CReadDeviceDlg::Hook>& Hooks()
{
    static std::map<int, CReadDeviceDlg::Hook> hooks;
    return hooks;
}

// The picture area: the photograph (or a built-in picture) at (1, 1).
class PhotoArea : public QWidget {
public:
    using QWidget::QWidget;
    QImage image;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setPen(QColor(160, 160, 160));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        if (!image.isNull()) p.drawImage(QPoint(1, 1), image);
    }
};

void PaintWhileBusy()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
}  // namespace

void CReadDeviceDlg::SetHook(int command, Hook hook)
{
    Hooks()[command] = std::move(hook);
    if (auto* w = qobject_cast<CReadDeviceDlg*>(WindowPointer(Wnd::ReadDevice))) w->UpdateHookButtons();
}

CReadDeviceDlg::CReadDeviceDlg(QWidget* owner)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("Records"));
    setWindowIcon(skin::AppIcon());
    DragWithMouse(this);

    m_Title = new QLabel(QStringLiteral("Records"), this);
    m_Title->setGeometry(12, 2, 400, 26);
    skin::StyleTitle(m_Title);
    auto* closeX = new QPushButton(this);
    closeX->setGeometry(kWidth - 46, 0, 46, kTitleHeight);
    skin::StyleTitleClose(closeX);
    closeX->setAccessibleName(QStringLiteral("Close"));
    connect(closeX, &QPushButton::clicked, this, [this] { OnCommand(msg::RD_CLOSE_BTN); });

    m_Status = new QLabel(this);
    m_Status->setGeometry(16, 36, 840, 26);
    m_Status->setFont(skin::Arial(18, true));
    m_Status->setTextFormat(Qt::PlainText);

    m_DataLabel = new QLabel(QStringLiteral("Data"), this);
    m_DataLabel->setGeometry(16, 64, 100, 26);
    m_DataLabel->setFont(skin::Arial(21));
    m_DataLabel->setStyleSheet("color: #303030;");

    m_SheetList = new QComboBox(this);
    m_SheetList->setGeometry(kWidth - 16 - 150, 64, 150, 26);
    m_SheetList->setFont(skin::Arial(15));
    m_SheetList->setAccessibleName(QStringLiteral("Sheet"));
    connect(m_SheetList, &QComboBox::currentIndexChanged, this, &CReadDeviceDlg::OnSheetChanged);

    m_Model = new records::RecordGridModel(this);
    m_Model->SetRecords(&emtask::GetManager()->m_DeviceData);
    m_Grid = new QTableView(this);
    // The nine columns take 1,010 pixels: no frame and a slim scroll bar let
    // them fit the window without a horizontal bar.
    m_Grid->setFrameShape(QFrame::NoFrame);
    m_Grid->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { width: 10px; background: #e8e8e8; margin: 0; }"
        "QScrollBar::handle:vertical { background: #a8a8a8; min-height: 24px; border-radius: 4px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"));
    m_Grid->setGeometry(2, 94, kWidth - 4, records::kHeaderHeight + 15 * records::kRowHeight);
    records::SetupGridView(m_Grid, m_Model);
    m_Grid->setFont(skin::Arial(13));
    m_Grid->horizontalHeader()->setFont(skin::Arial(13, true));
    connect(m_Grid, &QTableView::clicked, this,
            [this](const QModelIndex& i) { PostMessage(this, msg::WM_ONE_CLK, i.row()); });
    connect(m_Grid, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { PostMessage(this, msg::WM_DBL_CLK, i.row()); });

    auto* picture = new PhotoArea(this);
    picture->setGeometry(16, 94 + m_Grid->height() + 8, 322, 242);
    m_Picture = picture;
    picture->image = records::NoPhotoPicture().scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    struct B { int id; const char* text; };
    const B buttons[] = {{msg::RD_SAVE_BTN, "Save"},     {msg::RD_EXCEL_BTN, "Excel"}, {msg::RD_PRINT_BTN, "Print"},
                         {msg::RD_SEARCH_BTN, "Search"}, {msg::RD_OPEN_BTN, "Open"},   {msg::RD_CLOSE_BTN, "Close"}};
    const int top = picture->y() + 40;
    for (int i = 0; i < 6; ++i) {
        auto* b = new CSkinButton(buttons[i].id, CSkinButton::Look::Bar, QString::fromLatin1(buttons[i].text), this);
        const int left = 380 + (i % 3) * 210, y = top + (i / 3) * 70;
        b->place(left, y, left + 189, y + 47);
        connect(b, &CSkinButton::command, this, &CReadDeviceDlg::OnCommand);
        m_Buttons.push_back(b);
    }

    // Instrument information of the layout: no frame of the protocol fills
    // it, so it stays hidden.
    for (const char* text : {"Device information", "Device status", "Calibration Requirements", "Test count", "Limit level"}) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->hide();
        m_DeviceInfo.push_back(l);
    }

    m_Progress = new CLoadDataDlg(this);
    m_FillTimer.setSingleShot(true);
    connect(&m_FillTimer, &QTimer::timeout, this, [this] {
        setEnabled(true);
        PostMessage(this, msg::MSG_FILL_ROWS);
    });

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
    if (m_PrintThread.joinable()) m_PrintThread.join();
    // The end of the program with an archive shown: the log comes back, so
    // nothing after this sees the archive as the log.
    RestoreLog();
}

records::PhotoSource CReadDeviceDlg::PhotoSourceNow() const
{
    return m_DataOutClicked ? records::ArchivePhotoSource(m_ArchivePhotoDir) : records::LogPhotoSource();
}

QString CReadDeviceDlg::StatusText() const { return m_Status->text(); }

QImage CReadDeviceDlg::ShownPicture() const { return static_cast<PhotoArea*>(m_Picture)->image; }

CSkinButton* CReadDeviceDlg::Button(int command) const
{
    for (CSkinButton* b : m_Buttons)
        if (b->id() == command) return b;
    return nullptr;
}

void CReadDeviceDlg::UpdateHookButtons()
{
    for (int id : {msg::RD_EXCEL_BTN, msg::RD_SEARCH_BTN})
        if (CSkinButton* b = Button(id)) b->setEnabled(Hooks().count(id) && Hooks()[id]);
}

void CReadDeviceDlg::showEvent(QShowEvent* e)
{
    UpdateHookButtons();
    QWidget::showEvent(e);
}

void CReadDeviceDlg::OpenFromMain()
{
    DebugLine(" WM_FILE_READ");
    PostMessage(this, msg::WM_FILE_READ);
    CenterWindow(this);
    show();
    m_SelectedTestNo.clear();
    m_SelectedSlot = -1;
    FillSheetList();
}

void CReadDeviceDlg::FillSheetList()
{
    const emtask::EMTaskData* store = emtask::GetManager();
    m_RowsPerSheet = emtask::RowsPerSheet(store->m_BusInfo.rowsindex);
    m_SheetCount = emtask::SheetCount(emtask::RecordCount(store->m_DeviceData), m_RowsPerSheet);
    QSignalBlocker block(m_SheetList);
    m_SheetList->clear();
    for (int i = 1; i <= m_SheetCount; ++i) m_SheetList->addItem(QStringLiteral("Sheet %1").arg(i));
    if (m_SheetCount > 0) m_SheetList->setCurrentIndex(0);
    m_PrevSheet = 0;
}

void CReadDeviceDlg::OnSheetChanged(int index)
{
    m_SelectedTestNo.clear();
    m_SelectedSlot = -1;
    ShowPhoto(-1);
    if (index != m_PrevSheet) PostMessage(this, msg::WM_FILE_READ);
    m_PrevSheet = index;
}

void CReadDeviceDlg::ShowStatus(const records::StatusLine& s)
{
    m_Status->setText(s.text);
    m_StatusColor = s.color;
    m_Status->setStyleSheet(QStringLiteral("color: %1;").arg(s.color.name()));
}

void CReadDeviceDlg::DisplayFileReadData()
{
    m_InPass = true;
    DebugLine(" DisplayFileReadData");
    m_Grid->hide();
    emtask::EMTaskData* store = emtask::GetManager();
    const emtask::DeviceData& d = store->m_DeviceData;
    const int32_t total = emtask::RecordCount(d);
    const bool archive = m_DataOutClicked != 0;

    records::SheetRange range;
    if (total > 0) {
        range = records::SheetSlots(total, m_RowsPerSheet, std::max(0, m_SheetList->currentIndex()));
        m_FirstSlot = range.first;
        m_LastSlot = range.last;
        m_CurSlot = m_FirstSlot;
        const bool cut = int64_t(range.first) - m_RowsPerSheet + 1 < 1;
        ProgressTextInfo info;
        info.total = total;
        info.firstSlot = m_FirstSlot;
        info.lastSlot = m_LastSlot;
        m_Progress->Bar()->SetTextInfo(info);
        m_Progress->Start(cut ? std::max(0, range.first) : m_RowsPerSheet, this);
    }
    m_Model->Clear();
    ShowStatus(records::RecordStatus(archive, StatusMoment::Opening, total > 0, m_ArchiveName));
    PaintWhileBusy();
    DebugLine(" DisplayFileReadData");

    if (m_FillFlag && total > 0 && range.count() > 0) {
        setEnabled(false);
        const records::PhotoSource photos = PhotoSourceNow();
        const bool logEach = range.count() <= records::kPerRecordLogRows;
        std::vector<int32_t> shownSlots;
        std::vector<char> present;
        shownSlots.reserve(size_t(range.count()));
        present.reserve(size_t(range.count()));
        QElapsedTimer sincePaint;
        sincePaint.start();
        int found = 0;
        bool stopped = false;
        CProgressBar* bar = m_Progress->Bar();
        for (; m_CurSlot >= m_LastSlot; --m_CurSlot) {
            // Paint now and then, not for every row: a round of the event
            // loop costs more than a row.
            if (sincePaint.elapsed() >= kPaintEveryMs) {
                PaintWhileBusy();
                sincePaint.restart();
            }
            if (store->m_BusInfo.recordcnt == 0) {
                stopped = true;
                break;
            }
            bar->StepIt();
            const std::string path = records::PhotoPath(photos, d.m_TestData[m_CurSlot], m_CurSlot);
            struct stat st;
            const bool exists = !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
            found += exists;
            if (logEach) {
                const char* name = path.empty() ? "" : path.c_str() + path.rfind('/') + 1;
                if (archive)
                    DebugLine(" searchName : %s,szNewjpegPath : %s ", name, path.c_str());
                else
                    DebugLine(" searchName : %s,szPrevPath : %s ", name, path.c_str());
            }
            shownSlots.push_back(m_CurSlot);
            present.push_back(exists);
        }
        if (!logEach)
            DebugLine(" shownSlots %d..%d shown, %d photographs in %s", m_FirstSlot, m_LastSlot, found,
                      photos.folder.c_str());
        m_Model->SetRows(std::move(shownSlots), std::move(present));
        if (!stopped) {
            store->m_DisplayCnt = total;
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

    // What came during the pass runs now, in its order.
    for (const auto& [message, w] : std::exchange(m_Deferred, {})) PostMessage(this, message, w);
}

void CReadDeviceDlg::OnRowClicked(int row)
{
    m_SelectedSlot = m_Model->SlotAt(row);
    m_SelectedTestNo = m_Model->TestNoText(row);
    DebugLine(" WM_ONE_CLK gridSelected : %s", m_SelectedTestNo.toUtf8().constData());
    ShowPhoto(m_SelectedSlot);
}

void CReadDeviceDlg::OnRowDoubleClicked(int row)
{
    m_SelectedSlot = m_Model->SlotAt(row);
    m_SelectedTestNo = m_Model->TestNoText(row);
    auto it = Hooks().find(int(msg::WM_DBL_CLK));
    if (m_SelectedSlot >= 0 && it != Hooks().end() && it->second) it->second(*this);
}

void CReadDeviceDlg::ShowPhoto(int32_t slot)
{
    auto* area = static_cast<PhotoArea*>(m_Picture);
    if (slot < 0) {
        m_ShownVerdict = PhotoVerdict::NoPhoto;
        area->image = records::NoPhotoPicture().scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    } else {
        if (!m_DataOutClicked)
            DebugLine(" m_DataOutClicked = 0 ,szPrevPath : %s",
                      records::PhotoPath(PhotoSourceNow(), emtask::GetManager()->m_DeviceData.m_TestData[slot], slot).c_str());
        records::PhotoResult r = records::CheckRecordPhoto(PhotoSourceNow(), emtask::GetManager()->m_DeviceData, slot);
        m_ShownVerdict = r.verdict;
        area->image = r.picture;
    }
    area->update();
}

void CReadDeviceDlg::OnCommand(int id)
{
    switch (id) {
    case msg::RD_SAVE_BTN: OnSave(); break;
    case msg::RD_PRINT_BTN: OnPrint(); break;
    case msg::RD_OPEN_BTN: OnOpen(); break;
    case msg::RD_CLOSE_BTN: OnClose(); break;
    case msg::RD_EXCEL_BTN:
    case msg::RD_SEARCH_BTN: {
        auto it = Hooks().find(id);
        if (it != Hooks().end() && it->second) it->second(*this);
        break;
    }
    default: break;
    }
}

void CReadDeviceDlg::OnSave()
{
    if (m_SaveThread.joinable()) return;
    const QString chosen = Dialogs().saveFileName(this, QStringLiteral("Save"), QString(),
                                                  QStringLiteral("dat File(*.dat);;All Files (*.*)"));
    if (chosen.isEmpty()) return;
    emtask::EMTaskData* store = emtask::GetManager();
    const records::ArchiveTarget target = records::ArchiveTargetFor(chosen.toStdString());
    if (!target.ok) {
        OnSaved(false);
        return;
    }
    setEnabled(false);
    const bool photos = store->m_BusInfo.photosave == 0;
    const int32_t count = emtask::RecordCount(store->m_DeviceData);
    if (photos) {
        ProgressTextInfo info;
        info.phase = ProgressPhase::PhotoCopy;
        info.total = count;
        m_Progress->Bar()->SetTextInfo(info);
        m_Progress->Start(count, this);
    }
    const uint8_t kind = static_cast<uint8_t>(store->m_DeviceKind & 0xFF);
    const records::PhotoSource from = PhotoSourceNow();
    // The worker reads m_DeviceData while this window is disabled (nothing
    // can change it) and reports only by posted messages.
    m_SaveThread = std::thread([this, target, kind, from, photos, count, store] {
        bool ok = emtask::MakeDirectory(target.folder);
        if (ok && photos) {
            const int step = std::max(1, count / 200);
            records::CopyPhotographs(store->m_DeviceData, from, target.folder + "/jpeg", [this, step, count](int done) {
                if (done % step == 0 || done == count) PostMessage(this, msg::MSG_RECORDS_PROGRESS, done);
            });
        }
        ok = ok && records::WriteArchive(target.file, kind, store->m_DeviceData, *store);
        PostMessage(this, msg::MSG_RECORDS_SAVED, ok ? 1 : 0);
    });
}

void CReadDeviceDlg::OnSaved(bool ok)
{
    if (m_SaveThread.joinable()) m_SaveThread.join();
    m_Progress->hide();
    m_Progress->Bar()->SetTextInfo(ProgressTextInfo{});
    setEnabled(true);
    if (!ok)
        ShowMessage(this, QStringLiteral("해당 파일을 저장할 수 없습니다. "), QStringLiteral("처리오류"),
                    QMessageBox::Warning);
}

void CReadDeviceDlg::OnOpen()
{
    if (m_SaveThread.joinable()) return;
    const QString chosen = Dialogs().openFileName(this, QStringLiteral("Open"), QString(),
                                                  QStringLiteral("data File (*.dat)"));
    if (chosen.isEmpty()) return;
    emtask::EMTaskData* store = emtask::GetManager();
    if (records::LoadArchive(chosen.toStdString(), *store) != records::ArchiveLoad::Ok) {
        ShowMessage(this, QStringLiteral("Data File Mismatch"), QStringLiteral("Error"), QMessageBox::Warning);
        return;
    }
    const QFileInfo fi(chosen);
    m_ArchivePhotoDir = fi.absolutePath().toStdString() + "/jpeg";
    m_ArchiveName = fi.fileName();
    m_DataOutClicked = 1;
    m_SelectedTestNo.clear();
    m_SelectedSlot = -1;
    ShowPhoto(-1);
    PostMessage(this, msg::WM_FILE_READ);
    CenterWindow(this);
    show();
    // Shown while the archive is: the log's own counter is set aside in the
    // store and is what the settings file keeps.
    store->m_BusInfo.recordcnt = emtask::RecordCount(store->m_DeviceData);
    FillSheetList();
}

void CReadDeviceDlg::OnPrint()
{
    if (m_PrintThread.joinable()) return;
    m_Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_Printer->setDocName(QStringLiteral("ZOLT7"));
    if (!Dialogs().printDialog(this, m_Printer.get())) {
        m_Printer.reset();
        return;
    }
    if (CSkinButton* b = Button(msg::RD_PRINT_BTN)) b->setEnabled(false);
    // Texts taken now: the worker never looks at the model or the store.
    m_PrintThread = std::thread([this, table = m_Model->Snapshot(), printer = m_Printer.get()] {
        const bool ok = PrintGridTable(*printer, table);
        PostMessage(this, msg::MSG_RECORDS_PRINTED, ok ? 1 : 0);
    });
}

void CReadDeviceDlg::OnPrinted(bool ok)
{
    if (m_PrintThread.joinable()) m_PrintThread.join();
    m_Printer.reset();
    if (!ok) DebugLine(" print failed");
    if (CSkinButton* b = Button(msg::RD_PRINT_BTN)) b->setEnabled(true);
}

void CReadDeviceDlg::RestoreLog()
{
    emtask::EMTaskData* store = emtask::GetManager();
    if (!store->ArchiveShown()) return;
    // Zeroed first: a log shorter than the archive must not keep its tail.
    emtask::ZeroRange(&store->m_DeviceData, sizeof store->m_DeviceData);
    if (store->Load(emtask::MeasureLogPath().c_str()) < 0) {
        emtask::ZeroRange(&store->m_DeviceData, sizeof store->m_DeviceData);
        store->m_DeviceData.initflag = emtask::kInitFlag;
    }
    store->EndArchiveView(emtask::RecordCount(store->m_DeviceData));
    store->ForgetLogFileState();
}

void CReadDeviceDlg::OnClose()
{
    if (m_SaveThread.joinable()) return;  // the save reads m_DeviceData until it ends
    m_FillTimer.stop();
    m_FillFlag = false;
    RestoreLog();
    m_DataOutClicked = 0;
    m_ArchivePhotoDir.clear();
    m_ArchiveName.clear();
    m_SelectedTestNo.clear();
    m_SelectedSlot = -1;
    m_FirstSlot = m_LastSlot = m_CurSlot = 0;
    m_Model->Clear();
    ShowStatus({});
    ShowPhoto(-1);
    m_Progress->hide();
    EnableWnd(Wnd::Main, true);
    hide();
}

void CReadDeviceDlg::Deliver(unsigned message, intptr_t w)
{
    switch (message) {
    case msg::WM_FILE_READ:
        DebugLine(" WM_FILE_READ");
        m_FillFlag = false;
        m_FillTimer.stop();
        DisplayFileReadData();
        m_FillFlag = true;
        m_FillTimer.start(100);
        break;
    case msg::MSG_FILL_ROWS:
        if (!m_FillFlag) break;  // the window was closed meanwhile
        DisplayFileReadData();
        m_FillFlag = false;
        break;
    case msg::WM_ONE_CLK: OnRowClicked(int(w)); break;
    case msg::WM_DBL_CLK: OnRowDoubleClicked(int(w)); break;
    case msg::MSG_PREVIEW_CLOSED:
        m_Progress->hide();
        setEnabled(true);
        break;
    case msg::WM_COMMAND: OnCommand(int(w)); break;
    default: break;
    }
}

bool CReadDeviceDlg::event(QEvent* e)
{
    const ZMessageEvent* m;
    if (!AsMessage(e, m)) return QWidget::event(e);
    switch (m->message) {
    case msg::MSG_RECORDS_PROGRESS: m_Progress->Bar()->SetPos(int(m->wParam)); return true;
    case msg::MSG_RECORDS_SAVED: OnSaved(m->wParam != 0); return true;
    case msg::MSG_RECORDS_PRINTED: OnPrinted(m->wParam != 0); return true;
    default: break;
    }
    // A display pass lets the window paint between rows; what would change
    // the rows it is filling waits until it ends.
    if (m_InPass)
        m_Deferred.emplace_back(m->message, m->wParam);
    else
        Deliver(m->message, m->wParam);
    return true;
}

void CReadDeviceDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), kTitleHeight);
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
    if (m_InPass) {  // closed when the pass ends
        m_Deferred.emplace_back(msg::WM_COMMAND, msg::RD_CLOSE_BTN);
        e->ignore();
        return;
    }
    OnClose();
    e->accept();
}
