// Export and import of a full register (9,999 users): time of each, the
// import's peak memory above the program's, and the naive ways they replace
// (a workbook held whole in memory; every text compared with every earlier
// one), measured in the same run.
#include "../ProcStatus.h"
#include "StoreImage.h"
#include "EMTaskData.h"
#include "ProgramFolder.h"
#include "users/COptionIDMngDlg.h"
#include "users/UserExchange.h"
#include "users/UserRegister.h"
#include "users/XlsxReader.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <xlsxwriter.h>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

using bench::ResetPeak;
using bench::StatusKb;

bool NaiveExport(const std::string& path, const emtask::BusUserInfo* table)
{
    lxw_workbook* wb = workbook_new(path.c_str());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    worksheet_set_column(ws, 0, 1, 16.0, nullptr);
    worksheet_write_string(ws, 0, 0, "ZOLT7 User list", nullptr);
    worksheet_write_string(ws, 2, 0, "User ID", nullptr);
    worksheet_write_string(ws, 2, 1, "User Name", nullptr);
    for (int s = 1; s < emtask::kMaxUsers; ++s) {
        if (table[s].uid <= 0) continue;
        worksheet_write_string(ws, s + 3, 0, table[s].cusid, nullptr);
        worksheet_write_string(ws, s + 3, 1, table[s].uname, nullptr);
    }
    return workbook_close(wb) == LXW_NO_ERROR;
}

// Every text compared with every text before it, as the list was once checked.
bool NaiveDuplicateScan(const std::vector<xlsx::Cell>& cells)
{
    std::vector<const std::string*> list;
    bool header = false;
    uint32_t skipRow = 0;
    for (const xlsx::Cell& c : cells) {
        if (c.text == "User ID") {
            header = true;
            skipRow = c.row;
            continue;
        }
        if (!header || c.row == skipRow) continue;
        const size_t i = list.size();
        for (size_t j = 0; j < i; ++j) {
            if (i % 2 == 1 && j == i - 1) continue;
            if (list[j]->size() == c.text.size() &&
                std::memcmp(list[j]->data(), c.text.data(), c.text.size()) == 0)
                return false;
        }
        list.push_back(&c.text);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    char tmpl[] = "/tmp/zolt7-bench-users-XXXXXX";
    const std::string home = mkdtemp(tmpl);
    emtask::SetProgramFolder(home);
    emtask::EMTaskData* m = emtask::GetManager();
    emtask::BusUserInfo* table = emtask::StoreImage::Users(*m);
    for (int s = 1; s < emtask::kMaxUsers; ++s) {
        char id[32], name[64];
        std::snprintf(id, sizeof id, "ID%08d", s);
        std::snprintf(name, sizeof name, "\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99 user %d",
                      s);  // Hangul + ASCII
        users::StoreTexts(table[s], id, name);
        table[s].uid = s;
    }
    emtask::StoreImage::Settings(*m).totaluser = emtask::kMaxUsers - 1;
    const std::string path = home + "/users.xlsx", naivePath = home + "/naive.xlsx";

    auto t0 = Clock::now();
    const bool exported = users::ExportUsers(path, table);
    auto t1 = Clock::now();
    const bool naiveExported = NaiveExport(naivePath, table);
    auto t2 = Clock::now();

    const bool peakReset = ResetPeak();
    const long rssBefore = StatusKb("VmRSS:");
    auto t3 = Clock::now();
    xlsx::ReadResult read = xlsx::ReadActiveSheet(path);
    users::ImportCheck check = users::CollectUsers(read.cells);
    struct tm when { };
    users::ApplyImport(m->Users(), check.users, when);
    m->SaveUserInfo();
    auto t4 = Clock::now();
    const long peak = StatusKb("VmHWM:");
    const bool naiveOk = NaiveDuplicateScan(read.cells);
    auto t5 = Clock::now();
    const double checkMs = [&] {
        auto a = Clock::now();
        users::CollectUsers(read.cells);
        return Ms(a, Clock::now());
    }();

    std::printf("%-52s %10s %12s %8s\n", "operation (9,999 users)", "time ms", "naive ms", "ratio");
    COptionIDMngDlg page(emtask::GetManager()->Users(), emtask::GetManager()->Settings());
    auto t6 = Clock::now();
    page.RefreshUserList();
    auto t7 = Clock::now();

    std::printf("%-52s %10.1f %12.1f %7.1fx\n", "export .xlsx (constant memory; naive: whole in memory)",
                Ms(t0, t1), Ms(t1, t2), Ms(t1, t2) / Ms(t0, t1));
    std::printf("%-52s %10.1f %12s %8s\n", "import: read + check + replace + save file", Ms(t3, t4), "", "");
    std::printf("%-52s %10.1f %12.1f %7.1fx\n", "  duplicate check (hashed; naive: each vs each)", checkMs,
                Ms(t4, t5), Ms(t4, t5) / checkMs);
    std::printf("%-52s %10.1f MB%s\n", "import peak memory above the program's",
                peakReset ? (peak - rssBefore) / 1024.0 : -1.0, peakReset ? "" : " (peak reset unavailable)");
    std::printf("%-52s %10.1f\n", "user list rebuild (window thread)", Ms(t6, t7));
    std::printf("workbook %.0f kB; exported %s, naive %s; imported %zu users (%s), naive check %s\n",
                std::filesystem::file_size(path) / 1024.0, exported ? "ok" : "FAILED",
                naiveExported ? "ok" : "FAILED", check.users.size(),
                check.kind == users::ImportCheck::Ok ? "ok" : "REFUSED", naiveOk ? "agrees" : "DIFFERS");
    std::filesystem::remove_all(home);
    return exported && check.kind == users::ImportCheck::Ok && check.users.size() == 9999 ? 0 : 1;
}
