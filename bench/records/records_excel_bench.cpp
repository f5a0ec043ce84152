// Workbook export of the records: 100,000 records (one workbook) and 999,999
// (ten workbooks), time and peak resident memory above the idle program, and
// in the same run the same workbook written by openpyxl's write-only mode
// (/usr/bin/python3) as the anchor.
//
//   records_excel_bench [--anchor-rows N] [--one-only]
//     --anchor-rows N  rows openpyxl writes (default 100000; 999999 takes
//                      minutes; 0 leaves the anchor out)
//     --one-only       only the export of one workbook
#include "../ProcStatus.h"
#include "StoreImage.h"
#include "EMTaskData.h"
#include "TextUtil.h"
#include "records/RecordWorkbook.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

using bench::ResetPeak;
using bench::StatusKb;

// A log of `count` records: Latin and Hangul names, every 37th a flow error.
void FillLog(emtask::DeviceData& d, int count)
{
    static const char* const names[] = {"Kim Minjun", "\xEC\x9D\xB4\xEC\x88\x9C\xEC\x8B\xA0", "Park Jiwoo",
                                        "\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99 \xEB\x8C\x80\xEB\xA6\xAC"};
    d.initflag = emtask::kInitFlag;
    d.datacnt = count;
    for (int s = 0; s < count; ++s) {
        emtask::TestRecord& r = d.m_TestData[s];
        r.testno = s + 1;
        std::snprintf(r.id, sizeof r.id, "EMP-%07d", s % 9999);
        std::snprintf(r.name, sizeof r.name, "%s", names[s % 4]);
        std::snprintf(r.m_Tyy, sizeof r.m_Tyy, "%04d", 2020 + s % 7);
        std::snprintf(r.m_Tmm, sizeof r.m_Tmm, "%02d", 1 + s % 12);
        std::snprintf(r.m_Tdd, sizeof r.m_Tdd, "%02d", 1 + s % 28);
        std::snprintf(r.m_Thh, sizeof r.m_Thh, "%02d", s % 24);
        std::snprintf(r.m_Tmi, sizeof r.m_Tmi, "%02d", s % 60);
        std::snprintf(r.m_Tss, sizeof r.m_Tss, "%02d", (s / 60) % 60);
        const bool flow = s % 37 == 0;
        r.mode = flow ? 'F' : (s % 5 == 0 ? '1' : '0');
        std::snprintf(r.result, sizeof r.result, "%s", flow ? "FLOW" : "0.000");
        if (!flow) std::snprintf(r.result, sizeof r.result, "0.%03d", s % 200);
        r.unit[0] = flow ? 'F' : "BGM"[s % 3];
    }
}

// Processor time of this process: on a shared machine the wall time grows
// with the load, this does not.
double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

struct Run {
    double seconds = 0;
    double cpu = 0;
    long peakKb = 0;  // above idle
    int saved = 0;
};

Run Export(const emtask::DeviceData& d, const std::string& path)
{
    ResetPeak();
    const long idle = StatusKb("VmRSS:");
    const double c0 = CpuSeconds();
    const auto t0 = Clock::now();
    records::WorkbookExportResult r = records::ExportWorkbooks(d, 2, path);
    const auto t1 = Clock::now();
    const double c1 = CpuSeconds();
    if (r.failed) std::fprintf(stderr, "export failed at workbook %d: %s\n", r.failed, r.detail.c_str());
    return {Seconds(t0, t1), c1 - c0, StatusKb("VmHWM:") - idle, r.saved};
}

// The newest `rows` records as the texts of their cells (tab-separated, with
// a last column "R" when the result is in bold red), for the anchor.
void WriteTexts(const emtask::DeviceData& d, int rows, const std::string& path)
{
    std::ofstream f(path);
    const char* modes[] = {"Normal", "Fast"};
    for (int s = d.datacnt - 1; s >= d.datacnt - rows; --s) {
        const emtask::TestRecord& r = d.m_TestData[s];
        const bool flow = r.mode == 'F';
        char num[16];
        std::snprintf(num, sizeof num, "%06d", r.testno);
        f << num << '\t' << emtask::RecordDateText(r, 2, emtask::DateStyle::Workbook) << '\t'
          << emtask::RecordTimeText(r) << '\t' << (flow ? "Flow" : r.result) << '\t'
          << (flow ? "-" : emtask::UnitText(r.unit)) << '\t' << r.id << '\t' << r.name << '\t'
          << (flow ? "-" : modes[r.mode == '1']) << '\t' << (flow ? "" : "R") << '\n';
    }
}

const char* kAnchor = R"(
import sys, time
from openpyxl import Workbook
from openpyxl.cell import WriteOnlyCell
from openpyxl.styles import Font, Alignment, Border, Side
from openpyxl.worksheet.cell_range import CellRange
t0 = time.monotonic()
wb = Workbook(write_only=True)
ws = wb.create_sheet()
for col, w in zip("ABCDEFGH", (10, 13, 13, 13, 10, 16, 16, 10)):
    ws.column_dimensions[col].width = w
ws.merged_cells.add(CellRange("A1:H2"))
centre = Alignment(horizontal="center", vertical="center")
title = WriteOnlyCell(ws, value="ZOLT7 Test Report"); title.font = Font(bold=True, size=16, color="000000"); title.alignment = centre
ws.append([title]); ws.append([])
head = []
for t in ("Test No.", "Date", "Time", "Test Result", "Unit", "ID", "Name", "Mode"):
    c = WriteOnlyCell(ws, value=t); c.font = Font(bold=True, color="000000"); c.alignment = centre; head.append(c)
ws.append(head)
thin = Side(style="thin", color="000000")
border = Border(left=thin, right=thin, top=thin, bottom=thin)
right = Alignment(horizontal="right", vertical="center")
red = Font(bold=True, color="FF0000")
for line in open(sys.argv[1], encoding="utf-8"):
    f = line.rstrip("\n").split("\t")
    row = []
    for i in range(8):
        c = WriteOnlyCell(ws, value=f[i] if f[i] else None)
        c.border = border; c.alignment = right
        if i == 3 and f[8] == "R": c.font = red
        row.append(c)
    ws.append(row)
wb.save(sys.argv[2])
print("%.3f" % (time.monotonic() - t0))
)";

// Seconds openpyxl takes (negative when it cannot run).
double Anchor(const emtask::DeviceData& d, int rows, const std::string& dir)
{
    const std::string texts = dir + "/anchor.tsv", script = dir + "/anchor.py";
    WriteTexts(d, rows, texts);
    std::ofstream(script) << kAnchor;
    const std::string cmd = "/usr/bin/python3 '" + script + "' '" + texts + "' '" + dir + "/anchor.xlsx'";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[64] = {};
    const bool got = std::fgets(buf, sizeof buf, p) != nullptr;
    const int rc = pclose(p);
    if (!got || !WIFEXITED(rc) || WEXITSTATUS(rc) != 0) return -1;
    return std::atof(buf);
}

}  // namespace

int main(int argc, char** argv)
{
    int anchorRows = records::kWorkbookRows;
    bool oneOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--anchor-rows") == 0 && i + 1 < argc) anchorRows = std::atoi(argv[++i]);
        if (std::strcmp(argv[i], "--one-only") == 0) oneOnly = true;
    }

    char tmpl[] = "/tmp/zolt7-records-bench-XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    emtask::DeviceData& d = emtask::StoreImage::Log(*emtask::GetManager());
    const int full = emtask::kMaxStoredCounter;  // 999,999: the most the log ever holds
    FillLog(d, full);
    anchorRows = std::clamp(anchorRows, 0, full);

    d.datacnt = records::kWorkbookRows;
    const Run one = Export(d, dir + "/one.xlsx");
    d.datacnt = full;
    const Run ten = oneOnly ? Run{} : Export(d, dir + "/ten.xlsx");
    const double anchor = anchorRows > 0 ? Anchor(d, anchorRows, dir) : -1;

    std::printf("%-32s %9s %10s %10s %14s\n", "operation", "records", "wall (s)", "cpu (s)", "peak RSS (MB)");
    const auto row = [](const char* what, int records, const Run& r) {
        std::printf("%-32s %9d %10.2f %10.2f %14.1f\n", what, records, r.seconds, r.cpu, r.peakKb / 1024.0);
    };
    row("export, one workbook", records::kWorkbookRows, one);
    if (!oneOnly) row("export, ten workbooks", full, ten);
    if (anchorRows > 0 && anchor < 0)
        std::printf("%-32s %9d %10s\n", "openpyxl write-only (anchor)", anchorRows, "failed");
    if (anchor >= 0) {
        std::printf("%-32s %9d %10.2f\n", "openpyxl write-only (anchor)", anchorRows, anchor);
        // Our time for as many records, from the run of the nearest size.
        const double ours = anchorRows <= records::kWorkbookRows || oneOnly
                                ? one.seconds * anchorRows / records::kWorkbookRows
                                : ten.seconds * anchorRows / full;
        std::printf("anchor / export, wall time for %d records: %.1fx\n", anchorRows, anchor / ours);
    }
    std::filesystem::remove_all(dir);
    return one.saved == 1 && (oneOnly || ten.saved == records::kMaxWorkbooks) ? 0 : 1;
}
