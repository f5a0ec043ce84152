#include "records/RecordListParts.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "TextUtil.h"
#include "controls/CLoadDataDlg.h"
#include "controls/CProgressBar.h"
#include "controls/Dialogs.h"
#include "controls/GridPrint.h"
#include "controls/Skin.h"
#include "controls/SkinButton.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <algorithm>
#include <sys/stat.h>

namespace records {

namespace {
// How long a display pass works between two rounds of painting.
constexpr int kPaintEveryMs = 25;

QImage NoPhotoThumb()
{
    return NoPhotoPicture().scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
}  // namespace

QString ShortArchiveName(const QString& name)
{
    if (name.size() < 15) return name;
    return name.left(15) + QStringLiteral("...");
}

void PaintWhileBusy() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

QLabel* AddTitleBar(QWidget* window, const QString& title, std::function<void()> onClose)
{
    auto* label = new QLabel(title, window);
    label->setGeometry(12, 2, 400, 26);
    skin::StyleTitle(label);
    auto* closeX = new QPushButton(window);
    closeX->setGeometry(window->width() - 46, 0, 46, kListTitleHeight);
    skin::StyleTitleClose(closeX);
    closeX->setAccessibleName(QCoreApplication::translate("records", "Close"));
    QObject::connect(closeX, &QPushButton::clicked, window, std::move(onClose));
    return label;
}

QLabel* AddStatusLine(QWidget* window)
{
    auto* status = new QLabel(window);
    status->setGeometry(16, 36, 840, 26);
    status->setFont(skin::Arial(18, true));
    status->setTextFormat(Qt::PlainText);
    return status;
}

void ShowStatusLine(QLabel* label, const StatusLine& s, const QString& extraStyle)
{
    label->setText(s.text);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(s.color.name()) + extraStyle);
}

QComboBox* AddSheetList(QWidget* window)
{
    auto* list = new QComboBox(window);
    list->setGeometry(window->width() - 16 - 150, 64, 150, 26);
    list->setFont(skin::Arial(15));
    list->setAccessibleName(QCoreApplication::translate("records", "Sheet"));
    return list;
}

void FillSheetList(QComboBox* list, Paging& paging, int32_t records, const emtask::SettingsBlock& settings)
{
    paging.rowsPerSheet = emtask::RowsPerSheet(settings.Get().rowsindex);
    paging.sheetCount = emtask::SheetCount(records, paging.rowsPerSheet);
    QSignalBlocker block(list);
    list->clear();
    for (int i = 1; i <= paging.sheetCount; ++i)
        list->addItem(QCoreApplication::translate("records", "Sheet %1").arg(i));
    if (paging.sheetCount > 0) list->setCurrentIndex(0);
    paging.prevSheet = 0;
}

GridClicks::GridClicks(QTableView* grid) : QObject(grid), m_Grid(grid)
{
    grid->viewport()->installEventFilter(this);
    connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        m_ChangedSincePress = true;
        const QModelIndexList rows = m_Grid->selectionModel()->selectedRows();
        emit rowClicked(rows.isEmpty() ? -1 : rows.first().row());
    });
    connect(grid, &QTableView::clicked, this, [this](const QModelIndex& i) {
        if (!m_ChangedSincePress) emit rowClicked(i.row());
    });
    connect(grid, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { emit rowDoubleClicked(i.row()); });
}

bool GridClicks::eventFilter(QObject*, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonPress) m_ChangedSincePress = false;
    return false;
}

QTableView* AddRecordGrid(QWidget* window, RecordGridModel* model, const QRect& geometry, const QString& name)
{
    auto* grid = new QTableView(window);
    grid->setAccessibleName(name);
    // Tab leaves the table; the arrow keys move between its rows.
    grid->setTabKeyNavigation(false);
    grid->setGeometry(geometry);
    SetupGridView(grid, model);
    grid->setFont(skin::Arial(13));
    grid->horizontalHeader()->setFont(skin::Arial(13, true));
    return grid;
}

void PhotoArea::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!image.isNull()) p.drawImage(QPoint(1, 1), image);
}

PhotoVerdict ShowRecordPhoto(PhotoArea* area, const PhotoSource& src, const emtask::DeviceData& d,
                             int32_t slot)
{
    PhotoVerdict verdict = PhotoVerdict::NoPhoto;
    if (slot < 0) {
        area->image = NoPhotoThumb();
        area->setAccessibleName(QCoreApplication::translate("records", "Photograph: no test selected"));
    } else {
        PhotoResult r = CheckRecordPhoto(src, d, slot);
        verdict = r.verdict;
        area->image = std::move(r.picture);
        // What the picture says, for a reader who cannot see it.
        const char* said = verdict == PhotoVerdict::Intact    ? QT_TRANSLATE_NOOP("records", "check passed")
                           : verdict == PhotoVerdict::Altered ? QT_TRANSLATE_NOOP("records", "altered")
                                                              : QT_TRANSLATE_NOOP("records", "none");
        area->setAccessibleName(QCoreApplication::translate("records", "Photograph of test %1: %2")
                                    .arg(d.m_TestData[slot].testno)
                                    .arg(QCoreApplication::translate("records", said)));
    }
    area->update();
    return verdict;
}

void RowSelection::Take(const RecordGridModel& model, int row)
{
    slot = model.SlotAt(row);
    testNo = model.TestNoText(row);
}

void RowSelection::Clear()
{
    testNo.clear();
    slot = -1;
}

std::vector<CSkinButton*> AddButtonGrid(QWidget* window, std::span<const ButtonSpec> specs, int top,
                                        int columns, int width, int step)
{
    std::vector<CSkinButton*> buttons;
    for (int i = 0; i < int(specs.size()); ++i) {
        auto* b = new CSkinButton(specs[i].id, CSkinButton::Look::Bar,
                                  QCoreApplication::translate("records", specs[i].text), window);
        const int left = 380 + (i % columns) * step, y = top + (i / columns) * 70;
        b->place(left, y, left + width, y + 47);
        buttons.push_back(b);
    }
    return buttons;
}

CSkinButton* FindButton(const std::vector<CSkinButton*>& buttons, int id)
{
    for (CSkinButton* b : buttons)
        if (b->id() == id) return b;
    return nullptr;
}

void StartSheetProgress(CLoadDataDlg* progress, const SheetRange& range, int rowsPerSheet,
                        const ProgressTextInfo& info, QWidget* over)
{
    // The last sheet is cut short: the bar counts only its own rows.
    const bool cut = int64_t(range.first) - rowsPerSheet + 1 < 1;
    progress->Bar()->SetTextInfo(info);
    progress->Start(cut ? std::max(0, range.first) : rowsPerSheet, over);
}

SheetScan ScanSheet(const emtask::DeviceData& d, const PhotoSource& photos, const SheetRange& range,
                    CProgressBar* bar, const std::function<bool()>& stop,
                    const std::function<void(const std::string& path)>& seen)
{
    SheetScan scan;
    scan.shownSlots.reserve(size_t(range.count()));
    scan.present.reserve(size_t(range.count()));
    QElapsedTimer sincePaint;
    sincePaint.start();
    for (int32_t slot = range.first; slot >= range.last; --slot) {
        // Paint now and then, not for every row: a round of the event loop
        // costs more than a row.
        if (sincePaint.elapsed() >= kPaintEveryMs) {
            PaintWhileBusy();
            sincePaint.restart();
        }
        if (stop && stop()) {
            scan.stopped = true;
            break;
        }
        bar->StepIt();
        const std::string path = PhotoPath(photos, d.m_TestData[slot], slot);
        struct stat st;
        const bool exists = !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
        scan.found += exists;
        if (seen) seen(path);
        scan.shownSlots.push_back(slot);
        scan.present.push_back(exists);
    }
    return scan;
}

void StartPhotoCopyProgress(CLoadDataDlg* progress, int context, int count, QWidget* over)
{
    ProgressTextInfo info;
    info.phase = ProgressPhase::PhotoCopy;
    info.context = context;
    info.total = count;
    progress->Bar()->SetTextInfo(info);
    progress->Start(count, over);
}

void EndSaveProgress(CLoadDataDlg* progress)
{
    progress->hide();
    progress->Bar()->SetTextInfo(ProgressTextInfo{});
}

bool SaveArchiveWork(const std::function<void(int done)>& progress, const ArchiveTarget& target, uint8_t kind,
                     const emtask::DeviceData& data, emtask::EMTaskData& store, const PhotoSource& from,
                     bool photos, PhotoCopy* copy, std::string* why)
{
    const int32_t count = emtask::RecordCount(data);
    const int step = std::max(1, count / 200);
    return SaveArchive(
        target, kind, data, store, from, photos,
        [&progress, step, count](int done) {
            if (done % step == 0 || done == count) progress(done);
        },
        copy, why);
}

GridPrintJob::GridPrintJob() = default;

GridPrintJob::~GridPrintJob() { Join(); }

void GridPrintJob::Join()
{
    if (m_Thread.joinable()) m_Thread.join();
}

bool GridPrintJob::Start(QWidget* window, const RecordGridModel& model)
{
    if (Running()) return false;
    m_Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_Printer->setDocName(QStringLiteral("ZOLT7"));
    if (!Dialogs().printDialog(window, m_Printer.get())) {
        m_Printer.reset();
        return false;
    }
    m_Window = window;
    m_Why.clear();
    // Texts taken now: the worker never looks at the model or the store.
    m_Thread = std::thread([this, table = model.Snapshot(), printer = m_Printer.get()] {
        emit finished(PrintGridTable(*printer, table, &m_Why));
    });
    return true;
}

void GridPrintJob::Finish(bool ok)
{
    Join();
    if (!ok && m_Printer) {
        const QString target = PrinterTarget(*m_Printer);
        DebugLine(" print failed: %s", qPrintable(m_Why));
        ShowMessage(m_Window, tr("The records could not be printed on %1: %2.").arg(target, m_Why),
                    tr("Print"), QMessageBox::Warning);
    }
    m_Printer.reset();
}

}  // namespace records
