#include "users/UserExchange.h"

#include "DebugLog.h"
#include "FileImage.h"
#include "TextUtil.h"
#include "users/UserRegister.h"

#include <cstring>
#include <unistd.h>
#include <unordered_set>
#include <xlsxwriter.h>

using emtask::BusUserInfo;

namespace users {

bool ExportUsers(const std::string& path, const BusUserInfo* table, const std::function<void(int)>& progress,
                 std::string* why)
{
    // Written beside the target and put in place whole: a failed export
    // leaves an earlier workbook of that name as it was.
    const std::string tmp = path + ".tmp";
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go out in order; memory stays flat
    lxw_workbook* wb = workbook_new_opt(tmp.c_str(), &options);
    if (!wb) {
        if (why) *why = "cannot create " + tmp + ": " + emtask::ErrorText(errno);
        return false;
    }
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    bool ok = ws != nullptr;
    if (ok) {
        worksheet_set_column(ws, 0, 1, 16.0, nullptr);
        worksheet_write_string(ws, 0, 0, "ZOLT7 User list", nullptr);
        worksheet_write_string(ws, 2, 0, "User ID", nullptr);
        worksheet_write_string(ws, 2, 1, "User Name", nullptr);
        int written = 0;
        for (int s = 1; s < emtask::kMaxUsers && ok; ++s) {
            const BusUserInfo& u = table[s];
            if (u.uid <= 0) continue;
            const lxw_row_t row = static_cast<lxw_row_t>(s + 3);  // slot 1 on row 5
            const std::string id = emtask::WorkbookText(u.cusid);
            const std::string name = emtask::WorkbookText(u.uname);
            // An empty text stays an empty cell, as it was before the export.
            if (!id.empty()) ok = worksheet_write_string(ws, row, 0, id.c_str(), nullptr) == LXW_NO_ERROR;
            if (ok && !name.empty())
                ok = worksheet_write_string(ws, row, 1, name.c_str(), nullptr) == LXW_NO_ERROR;
            ++written;
            if (progress) progress(written);
        }
    }
    lxw_error closed = workbook_close(wb);
    if (closed != LXW_NO_ERROR) {
        DebugLine("workbook_close : %s", lxw_strerror(closed));
        if (why) *why = "cannot write " + tmp + ": " + lxw_strerror(closed);
        ok = false;
    }
    if (!ok) {
        if (why && why->empty()) *why = "cannot write " + tmp;
        unlink(tmp.c_str());
        return false;
    }
    if (emtask::CommitTempFile(tmp, path)) return true;
    if (why) *why = emtask::LastFileError();
    return false;
}

namespace {

// The first fault of one imported text, or Ok.
ImportCheck::Kind TextFault(const std::string& text, size_t maxChars)
{
    if (text == kHeaderText) return ImportCheck::HeaderText;
    if (HasBadCharacter(text)) return ImportCheck::BadCharacter;
    if (CharCount(text) > maxChars || text.size() > kFieldMaxBytes) return ImportCheck::TooLong;
    return ImportCheck::Ok;
}

}  // namespace

ImportCheck CollectUsers(const std::vector<xlsx::Cell>& cells)
{
    ImportCheck out;
    size_t i = 0;
    while (i < cells.size() && cells[i].text != kHeaderText) ++i;
    if (i == cells.size()) {
        out.kind = ImportCheck::NoHeader;
        return out;
    }
    const uint32_t headerRow = cells[i].row, headerCol = cells[i].col;

    // A user is made of the cells of one row at headerCol + 2k (ID) and
    // headerCol + 2k + 1 (name); either may be missing.
    struct Pair {
        const xlsx::Cell* id = nullptr;
        const xlsx::Cell* name = nullptr;
    };
    std::vector<Pair> pairs;
    uint32_t lastRow = 0, lastPair = 0;
    for (++i; i < cells.size(); ++i) {
        const xlsx::Cell& c = cells[i];
        if (c.row == headerRow || c.col < headerCol) continue;
        DebugLine("nameid : %s", c.text.c_str());
        const uint32_t k = (c.col - headerCol) / 2;
        if (pairs.empty() || c.row != lastRow || k != lastPair) {
            if (pairs.size() >= kMaxImportUsers) {
                out.kind = ImportCheck::TooMany;
                return out;
            }
            pairs.emplace_back();
            lastRow = c.row;
            lastPair = k;
        }
        ((c.col - headerCol) % 2 == 0 ? pairs.back().id : pairs.back().name) = &c;
    }
    if (pairs.empty()) {
        out.kind = ImportCheck::NoUsers;
        return out;
    }

    std::unordered_set<std::string> seen;  // every ID and name so far
    auto refuse = [&out](ImportCheck::Kind kind, const xlsx::Cell& c) {
        out.kind = kind;
        out.text = c.text;
        out.row = c.row;
        out.users.clear();
        return out;
    };
    out.users.reserve(pairs.size());
    for (const Pair& pair : pairs) {
        if (!pair.id) return refuse(ImportCheck::NoId, *pair.name);
        if (auto k = TextFault(pair.id->text, kIdMaxChars); k != ImportCheck::Ok) return refuse(k, *pair.id);
        if (pair.name)
            if (auto k = TextFault(pair.name->text, kNameMaxChars); k != ImportCheck::Ok)
                return refuse(k, *pair.name);
        if (seen.count(pair.id->text)) return refuse(ImportCheck::Duplicate, *pair.id);
        if (pair.name) {
            // A name may repeat only its own ID.
            if (seen.count(pair.name->text)) return refuse(ImportCheck::Duplicate, *pair.name);
            seen.insert(pair.name->text);
        }
        seen.insert(pair.id->text);
        out.users.emplace_back(pair.id->text, pair.name ? pair.name->text : std::string());
    }
    return out;
}

void ApplyImport(emtask::UserRegister& users, const std::vector<std::pair<std::string, std::string>>& list,
                 const struct tm& when)
{
    users.Clear();
    int slot = 1;
    for (const auto& [id, name] : list) {
        if (slot > kMaxUserSlot) break;
        BusUserInfo u{};
        StoreTexts(u, id, name);
        StampUser(u, when);
        users.Put(slot, u);
        DebugLine("w_ii : %d", slot);
        ++slot;
    }
}

}  // namespace users
