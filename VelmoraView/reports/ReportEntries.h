// The four entry rows of the report texts (title, operator, subject, note)
// that the Print Setting page and Print View both edit.
#pragma once

#include <QRect>
#include <QString>

class CLimitedEdit;
class QLabel;
class QPushButton;
class QWidget;
namespace emtask {
struct BusInfo;
}

namespace reports {

constexpr int kEntryCount = 4;

// The label and the edit of entry `i` (0..3), limited to its number of
// characters (15, 30, 30, 60); the caller places and styles them.
struct EntryRow {
    QLabel* label;
    CLimitedEdit* edit;
};
EntryRow AddEntryRow(int i, QWidget* parent);

// Shows the stored texts, each cut to the characters its entry allows (a
// settings file from elsewhere may hold longer ones).
void FillEntries(CLimitedEdit* const (&entries)[kEntryCount], const emtask::BusInfo& b);

QPushButton* FlatButton(const QString& text, const QRect& r, QWidget* parent);

}  // namespace reports
