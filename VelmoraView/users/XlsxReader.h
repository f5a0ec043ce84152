// A small reader of .xlsx workbooks: the active sheet's cells as text.
// Workbooks come from anywhere, so every size, count and nesting depth is
// bounded and any fault ends in an error, never in a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xlsx {

struct Cell {
    uint32_t row;  // 1-based
    uint32_t col;  // 1-based
    std::string text;
};

struct ReadLimits {
    size_t maxPartBytes = 32u << 20;         // one unpacked XML part
    size_t maxSheetBytes = size_t(1) << 30;  // the sheet where it is streamed (CheckWorkbook)
    size_t maxSharedStrings = 500000;        // entries of the shared-string table
    size_t maxCells = 2000000;               // non-empty cells of the sheet
    size_t maxTextBytes = 128u << 20;        // all cell texts together
    int maxDepth = 64;                       // XML element nesting
};

enum class ReadError {
    None,
    CannotOpen,   // missing or unreadable file
    NotZip,       // not a zip archive (an .xls, a text file, a truncated archive)
    Corrupt,      // an entry cannot be unpacked (bad data, checksum)
    NotWorkbook,  // no workbook part or no sheet in it
    BadXml,
    TooLarge,  // a limit above was exceeded
};

struct ReadResult {
    ReadError error = ReadError::None;
    std::string detail;       // what failed, for the log
    std::vector<Cell> cells;  // non-empty texts, row by row, left to right
};

// Reads the active sheet (the workbook's activeTab, else the first sheet).
// Shared strings, inline strings, formula strings, numbers (as written),
// booleans ("TRUE"/"FALSE") and error values are all taken as text.
ReadResult ReadActiveSheet(const std::string& path, const ReadLimits& limits = {});

// A whole workbook checked without holding its sheet: the archive is complete,
// every part unpacks with its checksum, and the active sheet is well-formed
// XML (streamed, so memory stays small whatever its size). For a workbook just
// written, before it is put in place.
struct SheetCheck {
    ReadError error = ReadError::None;
    std::string detail;
    uint32_t rows = 0;     // row elements of the sheet
    uint32_t lastRow = 0;  // number of the last one
};
SheetCheck CheckWorkbook(const std::string& path, const ReadLimits& limits = {});

// Cell texts escape characters that XML cannot hold as "_xHHHH_" (UTF-16
// units); a literal "_xHHHH_" is written with its underscore escaped (the
// writing side is emtask::WorkbookText).
std::string DecodeEscapes(const std::string& text);

// "A1" style reference to row and column; false when it is not one.
bool ParseCellRef(const char* ref, uint32_t& row, uint32_t& col);

// Largest element nesting of an XML text (comments, CDATA, declarations and
// quoted attribute values are skipped); stops counting once above `limit`.
int XmlDepth(const char* data, size_t size, int limit);

}  // namespace xlsx
