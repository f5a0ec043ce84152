// The register's exchange with .xlsx workbooks: the export, and the check
// and application of an import. No window here; the page runs these on its
// worker threads.
#pragma once

#include "EMTaskStruct.h"
#include "users/XlsxReader.h"

#include <ctime>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace users {

// Writes the users in use: A1 title, A3/B3 headers, the user of slot s on row
// s + 4, columns A and B 16 wide. `progress` (may be empty) gets the number
// of users written so far. False when the workbook cannot be written.
bool ExportUsers(const std::string& path, const emtask::BusUserInfo* table,
                 const std::function<void(int)>& progress = {});

// More texts than the register can hold as pairs are refused.
constexpr size_t kMaxImportTexts = 2 * static_cast<size_t>(emtask::kMaxUsers - 1);

struct ImportCheck {
    enum Kind {
        Ok,
        NoHeader,   // no "User ID" text in the sheet
        NoUsers,    // a header but no texts after it
        TooLong,    // `text` does not fit a 64-byte field
        TooMany,    // more than kMaxImportTexts texts
        Duplicate,  // `text` equals an earlier text other than its own ID
    } kind = Ok;
    std::string text;
    std::vector<std::pair<std::string, std::string>> users;  // ID, name in file order
};

// Reads the users from a sheet's texts: after a "User ID" header (which skips
// the rest of its row) the texts pair up in reading order as ID, name, ID, ...
ImportCheck CollectUsers(const std::vector<xlsx::Cell>& cells);

// Replaces the whole table with `list` from slot 1, every user stamped with `when`.
void ApplyImport(emtask::BusUserInfo* table, const std::vector<std::pair<std::string, std::string>>& list,
                 const struct tm& when);

}  // namespace users
