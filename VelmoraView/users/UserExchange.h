// The register's exchange with .xlsx workbooks: the export, and the check
// and application of an import. No window here; the page runs these on its
// worker threads.
#pragma once

#include "EMTaskStruct.h"
#include "StoreParts.h"
#include "users/XlsxReader.h"

#include <ctime>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace users {

// Writes the users in use: A1 title, A3/B3 headers, the user of slot s on row
// s + 4, columns A and B 16 wide. `progress` (may be empty) gets the number
// of users written so far. False when the workbook cannot be written; `why`
// then says what failed.
bool ExportUsers(const std::string& path, const emtask::BusUserInfo* table,
                 const std::function<void(int)>& progress = {}, std::string* why = nullptr);

// More users than the register holds are refused.
constexpr size_t kMaxImportUsers = static_cast<size_t>(emtask::kMaxUsers - 1);

struct ImportCheck {
    enum Kind {
        Ok,
        NoHeader,      // no "User ID" text in the sheet
        NoUsers,       // a header but no texts after it
        TooLong,       // `text` is over its characters (15 for an ID, 30 for a name) or 63 bytes
        TooMany,       // more than kMaxImportUsers users
        Duplicate,     // `text` equals an earlier text other than its own ID
        HeaderText,    // a user's ID or name on `row` is the header text itself
        BadCharacter,  // the text on `row` holds a control character or is not UTF-8
        NoId,          // a name on `row` without an ID beside it
    } kind = Ok;
    std::string text;
    uint32_t row = 0;
    std::vector<std::pair<std::string, std::string>> users;  // ID, name in file order
};

// Reads the users from a sheet's texts. The first "User ID" text is the
// header; texts before it, on its row, and left of its column are not users.
// Below it each row holds pairs of cells, ID in the header's column (or two,
// four, ... to the right) and the name just right of it; pairs never run
// from one row into the next, so an empty name cell leaves that user's name
// empty and every later pair in place.
ImportCheck CollectUsers(const std::vector<xlsx::Cell>& cells);

// Replaces the whole register with `list` from slot 1, every user stamped with `when`.
void ApplyImport(emtask::UserRegister& users, const std::vector<std::pair<std::string, std::string>>& list,
                 const struct tm& when);

}  // namespace users
