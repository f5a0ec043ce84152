// The parts the record window and the search results window share: title
// bar, status line, sheet list, record grid, photograph area, button grid,
// the display pass over one sheet and the print worker.
#pragma once

#include "records/PhotoLookup.h"
#include "records/RecordArchive.h"
#include "records/RecordGrid.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

class CLoadDataDlg;
class CProgressBar;
class CSkinButton;
class QComboBox;
class QLabel;
class QPrinter;
class QTableView;
struct ProgressTextInfo;

namespace records {

enum class StatusMoment { Opening, Closing };
struct StatusLine {
    QString text;
    QColor color;
};

// An archive's file name in the status line: 15 characters and "..." when it
// has 15 or more.
QString ShortArchiveName(const QString& name);

constexpr int kListTitleHeight = 30;

// Lets the window paint while a long pass runs, without taking user input.
void PaintWhileBusy();

// The title text at the top left and the close cross at the top right.
QLabel* AddTitleBar(QWidget* window, const QString& title, std::function<void()> onClose);

QLabel* AddStatusLine(QWidget* window);
// `extraStyle` is appended to the colour rule of the label's style sheet.
void ShowStatusLine(QLabel* label, const StatusLine& s, const QString& extraStyle = QString());

// The sheet combo box at the right above the grid.
QComboBox* AddSheetList(QWidget* window);

struct Paging {
    int rowsPerSheet = 1000;
    int sheetCount = 0;
    int prevSheet = 0;
};
// Refills "Sheet 1".."Sheet n" for `records` records at the stored rows per
// sheet, first sheet chosen, without signalling a sheet change.
void FillSheetList(QComboBox* list, Paging& paging, int32_t records, const emtask::SettingsBlock& settings);

// The grid on `model`; its clicks come from a GridClicks on it.
// `name` is what a screen reader calls the table ("Test records").
QTableView* AddRecordGrid(QWidget* window, RecordGridModel* model, const QRect& geometry,
                          const QString& name);

// What is done with the rows of a record grid. Every change of the selection
// (mouse, keys, the program, a screen reader) gives rowClicked with the
// selected row, -1 for none; a click that leaves the selection as it was gives
// it too, so clicking the shown row checks its photograph again. A window
// connects these queued: it handles them after the event that caused them.
class GridClicks : public QObject {
    Q_OBJECT
public:
    explicit GridClicks(QTableView* grid);

signals:
    void rowClicked(int row);
    void rowDoubleClicked(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QTableView* m_Grid;
    bool m_ChangedSincePress = false;
};

// The picture area: the photograph (or a built-in picture) at (1, 1).
class PhotoArea : public QWidget {
public:
    using QWidget::QWidget;
    QImage image;

protected:
    void paintEvent(QPaintEvent*) override;
};

// Shows the photograph of `slot` of `d` (a slot below 0: the no-photo
// picture) and says what the check found.
PhotoVerdict ShowRecordPhoto(PhotoArea* area, const PhotoSource& src, const emtask::DeviceData& d,
                             int32_t slot);

// The row a click took: its slot and test number, or none.
struct RowSelection {
    QString testNo;
    int32_t slot = -1;
    void Take(const RecordGridModel& model, int row);
    void Clear();
};

struct ButtonSpec {
    int id;
    const char* text;
};
// Bar buttons `width` wide, `columns` to a row from x 380 on, rows 70 apart;
// the window connects each to its command.
std::vector<CSkinButton*> AddButtonGrid(QWidget* window, std::span<const ButtonSpec> specs, int top,
                                        int columns, int width, int step);
CSkinButton* FindButton(const std::vector<CSkinButton*>& buttons, int id);

// Shows the progress window for a display pass over `range`.
void StartSheetProgress(CLoadDataDlg* progress, const SheetRange& range, int rowsPerSheet,
                        const ProgressTextInfo& info, QWidget* over);

struct SheetScan {
    std::vector<int32_t> shownSlots;
    std::vector<char> present;  // the photograph file is there
    int found = 0;
    bool stopped = false;
};
// Walks `range` newest first, stepping `bar` and looking for each record's
// photograph; the window paints now and then. `stop` ends the walk early,
// `seen` gets each photograph path looked for.
SheetScan ScanSheet(const emtask::DeviceData& d, const PhotoSource& photos, const SheetRange& range,
                    CProgressBar* bar, const std::function<bool()>& stop = {},
                    const std::function<void(const std::string& path)>& seen = {});

// Shows the progress window for copying `count` photographs.
void StartPhotoCopyProgress(CLoadDataDlg* progress, int context, int count, QWidget* over);
// Hides it and clears its texts when a save ends.
void EndSaveProgress(CLoadDataDlg* progress);

// The body of a save worker: SaveArchive, giving `progress` the count done
// about 200 times (on the worker's thread). True when all went; else `why`
// says what failed.
bool SaveArchiveWork(const std::function<void(int done)>& progress, const ArchiveTarget& target, uint8_t kind,
                     const emtask::DeviceData& data, emtask::EMTaskData& store, const PhotoSource& from,
                     bool photos, PhotoCopy* copy, std::string* why);

// Prints a snapshot of the grid on a worker thread, which reports only by
// `finished`, emitted on that thread: the window connects it queued.
class GridPrintJob : public QObject {
    Q_OBJECT
public:
    GridPrintJob();
    ~GridPrintJob() override;
    bool Running() const { return m_Thread.joinable(); }
    // Asks for the printer; false when the user cancels or a print runs.
    bool Start(QWidget* window, const RecordGridModel& model);
    // When finished has arrived: the worker is joined, a failure said over
    // the window, and the printer let go.
    void Finish(bool ok);
    void Join();

signals:
    void finished(bool printed);

private:
    std::thread m_Thread;
    std::unique_ptr<QPrinter> m_Printer;
    QWidget* m_Window = nullptr;
    QString m_Why;  // written by the worker, read after it is joined
};

}  // namespace records
