#include "users/UserExchange.h"

#include "DebugLog.h"
#include "TextUtil.h"
#include "users/UserRegister.h"

#include <cstring>
#include <unordered_map>
#include <xlsxwriter.h>

using emtask::BusUserInfo;

namespace users {

bool ExportUsers(const std::string& path, const BusUserInfo* table,
                 const std::function<void(int)>& progress)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go out in order; memory stays flat
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
    if (!wb) return false;
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
        ok = false;
    }
    return ok;
}

ImportCheck CollectUsers(const std::vector<xlsx::Cell>& cells)
{
    ImportCheck out;
    std::vector<std::string> texts;
    std::unordered_map<std::string, size_t> firstIndex;  // text -> its first position
    bool header = false;
    uint32_t skipRow = 0;  // row of the last header: the rest of it is skipped
    for (size_t i = 0; i < cells.size(); ++i) {
        const xlsx::Cell& c = cells[i];
        if (c.text == "User ID") {
            header = true;
            skipRow = c.row;
            continue;
        }
        if (!header || c.row == skipRow) continue;
        DebugLine("nameid : %s", c.text.c_str());
        if (c.text.size() > kFieldMaxBytes) {
            out.kind = ImportCheck::TooLong;
            out.text = c.text;
            return out;
        }
        if (texts.size() >= kMaxImportTexts) {
            out.kind = ImportCheck::TooMany;
            return out;
        }
        const size_t index = texts.size();
        auto it = firstIndex.find(c.text);
        if (it != firstIndex.end()) {
            // A name may repeat only its own ID, which is then the one earlier copy.
            const bool ownId = index % 2 == 1 && it->second == index - 1;
            if (!ownId) {
                out.kind = ImportCheck::Duplicate;
                out.text = c.text;
                return out;
            }
            // Any later copy still matches the earlier one (kept in the map).
        } else {
            firstIndex.emplace(c.text, index);
        }
        texts.push_back(c.text);
    }
    if (!header) {
        out.kind = ImportCheck::NoHeader;
        return out;
    }
    if (texts.empty()) {
        out.kind = ImportCheck::NoUsers;
        return out;
    }
    out.users.reserve((texts.size() + 1) / 2);
    for (size_t i = 0; i < texts.size(); i += 2)
        out.users.emplace_back(texts[i], i + 1 < texts.size() ? texts[i + 1] : std::string());
    return out;
}

void ApplyImport(BusUserInfo* table, const std::vector<std::pair<std::string, std::string>>& list,
                 const struct tm& when)
{
    std::memset(table, 0, sizeof(BusUserInfo) * emtask::kMaxUsers);
    int slot = 1;
    for (const auto& [id, name] : list) {
        if (slot > kMaxUserSlot) break;
        BusUserInfo& u = table[slot];
        u.uid = slot;
        StoreTexts(u, id, name);
        StampUser(u, when);
        DebugLine("w_ii : %d", slot);
        ++slot;
    }
}

}  // namespace users
