#include "records/RecordGrid.h"

#include "EMTaskData.h"
#include "TextUtil.h"
#include "controls/GridPrint.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTableView>
#include <cstdlib>

namespace records {

const char* const kColumnTitles[ColumnCount] = {
    QT_TRANSLATE_NOOP("records", "Test No."), QT_TRANSLATE_NOOP("records", "Date"),
    QT_TRANSLATE_NOOP("records", "Time"),     QT_TRANSLATE_NOOP("records", "Test Result"),
    QT_TRANSLATE_NOOP("records", "Unit"),     QT_TRANSLATE_NOOP("records", "ID"),
    QT_TRANSLATE_NOOP("records", "Name"),     QT_TRANSLATE_NOOP("records", "Mode"),
    QT_TRANSLATE_NOOP("records", "Photo")};
const int kColumnWidths[ColumnCount] = {65, 100, 80, 90, 90, 185, 260, 80, 60};

QString CellText(const emtask::TestRecord& r, int column, int dateOrder)
{
    switch (column) {
    case ColTestNo: return QString::number(r.testno);
    case ColDate: return QString::fromUtf8(emtask::RecordDateText(r, dateOrder, emtask::DateStyle::Row));
    case ColTime: return QString::fromUtf8(emtask::RecordTimeText(r));
    case ColResult:
        if (r.mode == 'F') return QCoreApplication::translate("records", "Flow");
        return QString::fromUtf8(emtask::FieldText(r.result));
    case ColUnit: return QString::fromLatin1(emtask::UnitText(r.unit));
    case ColId: return QString::fromUtf8(emtask::FieldText(r.id));
    case ColName: return QString::fromUtf8(emtask::FieldText(r.name));
    case ColMode:
        if (r.mode == '0') return QCoreApplication::translate("records", "Normal");
        if (r.mode == '1') return QCoreApplication::translate("records", "Fast");
        return QStringLiteral("-");
    default: return {};
    }
}

bool ResultIsRed(const emtask::TestRecord& r)
{
    const std::string text = emtask::FieldText(r.result);
    return std::strtod(text.c_str(), nullptr) > 0;
}

SheetRange SheetSlots(int32_t total, int rows, int sheet)
{
    SheetRange s;
    if (total <= 0 || rows <= 0 || sheet < 0) return s;
    const int64_t first = int64_t(total) - int64_t(rows) * sheet - 1;
    if (first < 0) return s;
    const int64_t last = first - rows + 1;
    s.first = static_cast<int32_t>(first);
    s.last = last < 1 ? 0 : static_cast<int32_t>(last);
    return s;
}

RecordGridModel::RecordGridModel(QObject* parent) : QAbstractTableModel(parent) { }

void RecordGridModel::SetRows(std::vector<int32_t> shownSlots, std::vector<char> photo)
{
    beginResetModel();
    m_Slots = std::move(shownSlots);
    m_Photo = std::move(photo);
    m_Photo.resize(m_Slots.size(), 0);
    endResetModel();
}

void RecordGridModel::Clear() { SetRows({}, {}); }

int32_t RecordGridModel::SlotAt(int row) const
{
    if (row < 0 || row >= int(m_Slots.size())) return -1;
    return m_Slots[size_t(row)];
}

QString RecordGridModel::TestNoText(int row) const
{
    const int32_t slot = SlotAt(row);
    if (slot < 0 || !m_Data) return {};
    return QString::number(m_Data->m_TestData[slot].testno);
}

int RecordGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_Slots.size());
}

int RecordGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const
{
    const int32_t slot = SlotAt(index.row());
    if (slot < 0 || !m_Data) return {};
    const emtask::TestRecord& r = m_Data->m_TestData[slot];
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (col == ColPhoto) return m_Photo[size_t(index.row())] ? QStringLiteral("O") : QStringLiteral("X");
        return CellText(r, col, m_Settings ? m_Settings->Get().dateorder : 0);
    case Qt::AccessibleTextRole:
        // O and X read out as letters: a reader hears whether there is one.
        if (col == ColPhoto) return m_Photo[size_t(index.row())] ? tr("yes") : tr("no");
        return CellText(r, col, m_Settings ? m_Settings->Get().dateorder : 0);
    case Qt::ForegroundRole:
        if (col == ColResult && ResultIsRed(r)) return QColor(255, 0, 0);
        return {};
    case Qt::TextAlignmentRole:
        if (col == ColId || col == ColName) return int(Qt::AlignLeft | Qt::AlignVCenter);
        return int(Qt::AlignCenter);
    default: return {};
    }
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    if (role == Qt::DisplayRole) return QCoreApplication::translate("records", kColumnTitles[section]);
    return {};
}

PrintTable RecordGridModel::Snapshot() const
{
    PrintTable t;
    for (int c = 0; c < ColumnCount; ++c) {
        t.titles << QCoreApplication::translate("records", kColumnTitles[c]);
        t.widths.push_back(kColumnWidths[c]);
    }
    t.rows.reserve(m_Slots.size());
    for (int row = 0; row < rowCount(); ++row) {
        std::vector<PrintTable::Cell> cells(ColumnCount);
        for (int c = 0; c < ColumnCount; ++c) {
            const QModelIndex i = index(row, c);
            cells[size_t(c)].text = data(i, Qt::DisplayRole).toString();
            const QVariant fg = data(i, Qt::ForegroundRole);
            if (fg.isValid()) cells[size_t(c)].color = fg.value<QColor>();
        }
        t.rows.push_back(std::move(cells));
    }
    return t;
}

void SetupGridView(QTableView* view, RecordGridModel* model)
{
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    // Fixed heights: the view never measures rows, whatever their number.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    QHeaderView* h = view->horizontalHeader();
    h->setFixedHeight(kHeaderHeight);
    h->setSectionResizeMode(QHeaderView::Fixed);
    h->setHighlightSections(false);
    for (int c = 0; c < ColumnCount; ++c) view->setColumnWidth(c, kColumnWidths[c]);
}

}  // namespace records
