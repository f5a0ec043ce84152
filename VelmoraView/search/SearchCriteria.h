// What the criteria window does with its values, without the window: the
// repairs on opening, the checks on OK in their order, and the storing.
#pragma once

#include "EMTaskStruct.h"

#include <QtGlobal>
#include <cstdint>
#include <string>

namespace search {

// A picker's local date and time.
struct PickerTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    // "%04d%02d%02d%02d%02d%02d".
    std::string Text() const;
    bool operator<(const PickerTime& o) const;
};

// The window's values as entered (texts in UTF-8, as stored).
struct CriteriaInput {
    uint32_t flags = 0;
    std::string startNo, endNo;
    PickerTime dateStart, dateEnd;
    std::string idName;
    std::string normalStart, normalEnd;
};

// Texts of the failed checks.
inline constexpr const char* kInputNoError = QT_TRANSLATE_NOOP("search", "Search Input No Error.");
inline constexpr const char* kStartNoError = QT_TRANSLATE_NOOP("search", "Search Start No Error.");
inline constexpr const char* kDateError = QT_TRANSLATE_NOOP("search", "Search date Error.");
inline constexpr const char* kIdNameError = QT_TRANSLATE_NOOP("search", "Search ID or Name Error");
inline constexpr const char* kNormalError = QT_TRANSLATE_NOOP("search", "Search Normal Result Error");

// Repairs made to the stored criteria when the window opens: a start number
// of value 0 becomes "1", an end number of value 0 "999999", a normal end of
// 0 becomes 0.5, an empty error text "Flow".
void RepairOnOpen(emtask::SearchInfo& info);

// The values the window shows after the repairs: the two numbers as "%d",
// the dates (when stored) as year, month and day, the normal values as
// "%.3f". `dateStart`/`dateEnd` keep their time of day (the caller's
// current time) and only take the stored date, when there is one.
CriteriaInput ShownValues(const emtask::SearchInfo& info, const PickerTime& now);

// The first failed check of the ticked criteria, in the window's order, or
// nullptr when every ticked criterion is acceptable (also with none ticked).
const char* CheckCriteria(const CriteriaInput& in);

// Stores the checked values (only when a box is ticked; the flags are those
// of the input). The texts are cut to fit their fields.
void StoreCriteria(emtask::SearchInfo& info, const CriteriaInput& in);

}  // namespace search
