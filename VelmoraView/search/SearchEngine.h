// The search over the records of a DeviceData: which records pass the ticked
// criteria of a SearchInfo, copied in log order into the search container.
// Window-free; the results window runs it on its own thread.
#pragma once

#include "EMTaskStruct.h"

#include <cstddef>
#include <cstdint>

namespace emtask {
class EMTaskData;
class SearchResults;
}  // namespace emtask

namespace search {

// Criteria bits the search knows; any other bit is ignored.
constexpr uint32_t kKnownFlags = emtask::SEARCH_TESTNO | emtask::SEARCH_DATE | emtask::SEARCH_IDNAME |
                                 emtask::SEARCH_NORMAL | emtask::SEARCH_ERROR;

// Decimal value of a text field of at most `width` bytes (NUL or not):
// leading blanks, a sign and digits, as a C program reads a number; 0 when it
// does not begin with one; clamped to the 32-bit range.
int32_t DecimalValue(const char* text, size_t width);
template <size_t N>
int32_t DecimalValue(const char (&field)[N])
{
    return DecimalValue(field, N);
}

// Value of a result text as a 32-bit float, read the same way for records and
// for the criteria: leading blanks, a sign, digits with an optional point and
// exponent. Anything that is not such a number (empty, "FLOW", "nan", "inf")
// is 0, never NaN; a value beyond the float range is clamped to it.
float ResultValue(const char* text, size_t width);
template <size_t N>
float ResultValue(const char (&field)[N])
{
    return ResultValue(field, N);
}

// Day number (days since 1970-01-01) of a year, month and day. Months and days
// outside their range roll over into the next or previous ones, as the C
// library's local-time conversion does.
int64_t DayNumber(int64_t year, int64_t month, int64_t day);

// Day of a criteria date text "yyyymmdd...": digits 1-4, 5-6 and 7-8.
int64_t CriteriaDay(const char* text, size_t width);

// Day of a record's date, or false when it never matches a date range: month
// above 12, day above 31, not a calendar date, year outside 2000..2099.
bool RecordDay(const emtask::TestRecord& rec, int64_t& day);

// Runs the ticked criteria over the records of `src` (slots 0 .. datacnt-1,
// datacnt clamped to the slots) in one pass, copying the records that pass
// all of them into `out` from slot 0 in log order. Afterwards `out` is the
// same image the staged description gives: header zero except datakind 'A',
// datacnt the number found and (when a criterion was ticked) bytes 12..87 of
// the source header; every slot after the last found record zero. Only slots
// `out` held before are cleared, so `out` must come from an earlier search or
// be zero. Cleared slots are written, never handed back to the system, so
// the pages a search committed serve the next one. Returns the number found.
int32_t SearchRecords(const emtask::DeviceData& src, const emtask::SearchInfo& info, emtask::DeviceData& out);

// The staged way the search used to run, kept as the reference for tests and
// the benchmark: one copy of the whole record area per stage through `work`.
int32_t SearchRecordsStaged(const emtask::DeviceData& src, const emtask::SearchInfo& info,
                            emtask::DeviceData& out, emtask::DeviceData& work);

// Makes the pages of a range resident and writable, their contents as they
// were (pages no one has written read zero either way).
void CommitPages(void* data, size_t size);

// Commits the record area of m_SearchData on a thread of its own while the
// criteria are being chosen, so the first search of a run does not fault in
// 276 MB page by page; SearchProcess waits for it. Nothing else may touch
// m_SearchData until then (the results window is not open meanwhile).
void CommitResultAreaAhead(emtask::SearchResults& results);

// SearchProcess: m_DeviceData with m_SearchInfo into m_SearchData, and the
// count into m_DeviceSearchTotalCnt. Logs the criteria.
int32_t SearchProcess(emtask::EMTaskData& store);

}  // namespace search
