// Texts shared by every window and export: fixed-width fields, month names,
// unit texts, the date texts in the three date orders, rows per sheet.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace emtask {

struct TestRecord;
struct BusUserInfo;

// Text of a fixed-width field that may lack its NUL: never reads past width.
std::string FieldText(const char* field, size_t width);
template <size_t N>
std::string FieldText(const char (&field)[N])
{
    return FieldText(field, N);
}

// Copies text into a field of `width` bytes, cut at a UTF-8 character
// boundary so that the text and its NUL always fit. Returns the bytes kept.
size_t CopyField(char* field, size_t width, const std::string& text);
template <size_t N>
size_t CopyField(char (&field)[N], const std::string& text)
{
    return CopyField(field, N, text);
}

// Longest prefix of `text` of at most maxBytes bytes that ends on a UTF-8
// character boundary.
size_t Utf8Fit(const std::string& text, size_t maxBytes);

// `text` as valid UTF-8: every byte that does not begin or continue a valid
// sequence (overlong, surrogate, above U+10FFFF, cut short) becomes U+FFFD,
// and so do U+FFFE and U+FFFF, which XML cannot hold.
std::string ValidUtf8(const std::string& text);

// A stored text as the value of a workbook cell: the field's text as valid
// UTF-8, with a literal "_xHHHH_" kept literal by escaping its underscore
// (workbooks use that form for characters XML cannot hold).
std::string WorkbookText(const std::string& text);
std::string WorkbookText(const char* field, size_t width);
template <size_t N>
std::string WorkbookText(const char (&field)[N])
{
    return WorkbookText(field, N);
}

// Decimal value of the leading ASCII digits of a field (at most width bytes);
// 0 when it does not begin with a digit.
int DigitsValue(const char* field, size_t width);

// "Jan".."Dec" for 1..12, "" otherwise.
const char* MonthName(int month);

// "%BAC", "g/L", "mg/L" for "B", "G", "M"; "-" for anything else.
const char* UnitText(const char* unitField, size_t width = 17);

// Where a record's date is shown; each has its own format and its own
// handling of a date order outside 0..2.
enum class DateStyle {
    Row,       // record and search grids: text fields, other orders as 2
    Workbook,  // same texts as Row, other orders give an empty cell
    Report,    // decimal values "%04d" / "%02d", other orders as 2
};
std::string RecordDateText(const TestRecord& rec, int dateOrder, DateStyle style);
// "%.2s:%.2s:%.2s" of hour, minute, second.
std::string RecordTimeText(const TestRecord& rec);

// Main window clock.
std::string ClockText(int year, int month, int day, int hour, int minute, int second, int dateOrder);

// "Creation Date" of the user list.
std::string UserDateText(const BusUserInfo& user, int dateOrder);

// Rows per sheet for the stored index: (i+1)*100 up to 9, (i-8)*1000 from 10
// to 18. Any other index (a hostile settings file) gives the default 1,000,
// so no reader ever divides by zero.
int RowsPerSheet(int index);
constexpr int kRowsIndexCount = 19;
constexpr int kDefaultRowsIndex = 9;

// Number of sheets for `total` records (at least 1 when total > 0).
int SheetCount(int total, int rowsPerSheet);

// One comma-separated line of a record (quotes inside date, ID, name and
// result doubled so they cannot leave their ="..." field; a field holding a
// comma, CR or LF, or a time holding a quote, written whole in CSV quotes,
// e.g. "=""Kim, Lee""").
std::string CsvLine(const TestRecord& rec, int dateOrder);
constexpr const char* kCsvHeader = "Test No., Date, Time, Test Result, Unit, ID, Name, Mode\n";

}  // namespace emtask
