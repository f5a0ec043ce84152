// The record grid: nine columns over the records of a DeviceData, one sheet
// at a time. The model keeps only the slot of each row (and whether its
// photograph exists); texts are made when the view asks for them, so a sheet
// of 10,000 rows costs 10,000 shownSlots, not 90,000 cells.
#pragma once

#include "EMTaskStruct.h"
#include "StoreParts.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <cstdint>
#include <vector>

class QTableView;
struct PrintTable;

namespace records {

enum Column {
    ColTestNo,
    ColDate,
    ColTime,
    ColResult,
    ColUnit,
    ColId,
    ColName,
    ColMode,
    ColPhoto,
    ColumnCount
};
extern const char* const kColumnTitles[ColumnCount];
extern const int kColumnWidths[ColumnCount];
constexpr int kHeaderHeight = 20;
constexpr int kRowHeight = 20;

// Text of a column of a record (not the photo column), and its colour.
QString CellText(const emtask::TestRecord& rec, int column, int dateOrder);
// The result is drawn in red when its decimal value is above 0.
bool ResultIsRed(const emtask::TestRecord& rec);

// Slots of sheet `sheet` (0-based) of `total` records, newest first: first
// slot >= last slot; empty when the sheet holds no record.
struct SheetRange {
    int32_t first = -1;
    int32_t last = 0;
    int32_t count() const { return first < last ? 0 : first - last + 1; }
};
SheetRange SheetSlots(int32_t total, int rowsPerSheet, int sheet);

class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordGridModel(QObject* parent = nullptr);

    // The records the rows index into (the model never owns them).
    // The records shown, and the settings whose date order their dates follow.
    void SetRecords(const emtask::DeviceData* data, const emtask::SettingsBlock* settings)
    {
        m_Data = data;
        m_Settings = settings;
    }
    const emtask::DeviceData* Records() const { return m_Data; }
    // Replaces all rows: the slot of each row and whether its photograph exists.
    void SetRows(std::vector<int32_t> shownSlots, std::vector<char> photo);
    void Clear();

    int32_t SlotAt(int row) const;      // -1 outside the rows
    QString TestNoText(int row) const;  // the row's "Test No." cell

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // The sheet's texts and colours, for printing on another thread.
    PrintTable Snapshot() const;

private:
    const emtask::DeviceData* m_Data = nullptr;
    const emtask::SettingsBlock* m_Settings = nullptr;
    std::vector<int32_t> m_Slots;
    std::vector<char> m_Photo;
};

// Column widths, the 20-pixel header, fixed row heights, whole-row selection.
void SetupGridView(QTableView* view, RecordGridModel* model);

}  // namespace records
