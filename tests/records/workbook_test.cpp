#include "records/RecordWorkbook.h"
#include "StoreImage.h"

#include "../search/SearchTestUtil.h"
#include "RunPython.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using emtask::DeviceData;
using emtask::TestRecord;
namespace fs = std::filesystem;

namespace {

DeviceData& Log() { return emtask::StoreImage::Log(*emtask::GetManager()); }

TestRecord& Put(int slot, const char* id, const char* name, const char* result, char mode, const char* unit)
{
    char date[16];
    std::snprintf(date, sizeof date,
                  "2024030714"
                  "25%02d",
                  slot % 60);
    return Log().m_TestData[slot] = searchtest::Record(slot + 1, date, id, name, result, mode, unit);
}

// "ref|value|type|font|alignment|border" per cell, then merges, widths, sheets.
const char* kDump = R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
def colour(c):
    if c is None: return "-"
    return c.rgb if c.type == "rgb" else c.type
for row in ws.iter_rows():
    for c in row:
        f, a, b = c.font, c.alignment, c.border
        sides = [(s.style or "-") + ":" + colour(s.color) for s in (b.left, b.right, b.top, b.bottom)]
        print("%s|%s|%s|%s%s/%s|%s/%s|%s" % (c.coordinate, c.value, c.data_type, "bold " if f.b else "",
              colour(f.color), f.sz, a.horizontal, a.vertical, ",".join(sides)))
print("merged=" + " ".join(sorted(str(r) for r in ws.merged_cells.ranges)))
widths = []
for col in range(1, 9):
    for d in ws.column_dimensions.values():
        if d.min is not None and d.min <= col <= d.max: widths.append(str(d.width))
print("widths=" + " ".join(widths))
print("sheets=%d" % len(wb.worksheets))
)";

std::map<std::string, std::string> Dump(const std::string& path)
{
    std::string out;
    EXPECT_EQ(RunPython(kDump, {path}, &out), 0) << out;
    std::map<std::string, std::string> cells;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        const size_t cut = line.find_first_of("|=");
        if (cut != std::string::npos) cells[line.substr(0, cut)] = line.substr(cut + 1);
    }
    return cells;
}

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::string kBox = "thin:FF000000,thin:FF000000,thin:FF000000,thin:FF000000";
const std::string kRecordStyle = "right/center|" + kBox;
const std::string kPlain = "|s|theme/11.0|" + kRecordStyle;

// The values of row `row`, columns A to H, comma-separated.
std::string Values(std::map<std::string, std::string>& cells, int row)
{
    std::string out;
    for (char col = 'A'; col <= 'H'; ++col) {
        const std::string& cell = cells[col + std::to_string(row)];
        out += (col == 'A' ? "" : ",") + cell.substr(0, cell.find('|'));
    }
    return out;
}

}  // namespace

TEST(RecordWorkbook, LayoutStylesAndTextsAsAnIndependentReaderSeesThem)
{
    TestFolder home;
    const std::string kHong = "\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99";  // a Hangul name
    Put(0, "A-100", kHong.c_str(), "0.000", '0', "B");
    Put(1, "F-7", "Lee", "FLOW", 'F', "F");
    TestRecord& odd = Put(2, "=1+1",
                          "bad\xFF"
                          "name _x0041_",
                          "0.045", '1', "Q");
    odd.testno = 123;
    std::memcpy(odd.m_Tmm, "13", 3);  // no month name
    Log().datacnt = 3;

    const std::string chosen = home / "out/march.report.xlsx";
    records::WorkbookExportResult r = records::ExportWorkbooks(Log(), 0, chosen);
    EXPECT_EQ(r.failed, 0) << r.detail;
    EXPECT_EQ(r.saved, 1);
    // Folder D/N, N up to the first "."; nothing else, no temporary file left.
    EXPECT_EQ(FilesIn(home / "out"), std::vector<std::string>{"march"});
    ASSERT_EQ(FilesIn(home / "out/march"), std::vector<std::string>{"march_1.xlsx"});

    auto c = Dump(home / "out/march/march_1.xlsx");
    EXPECT_EQ(c["merged"], "A1:H2");
    EXPECT_EQ(c["widths"],
              "10.7109375 13.7109375 13.7109375 13.7109375 10.7109375 16.7109375 16.7109375 10.7109375");
    EXPECT_EQ(c["sheets"], "1");
    EXPECT_EQ(c["A1"], "ZOLT7 Test Report|s|bold FF000000/16.0|center/center|-:-,-:-,-:-,-:-");
    EXPECT_EQ(c["A3"], "Test No.|s|bold FF000000/11.0|center/center|-:-,-:-,-:-,-:-");
    EXPECT_EQ(c["H3"], "Mode|s|bold FF000000/11.0|center/center|-:-,-:-,-:-,-:-");

    // Newest first; formula-like, bad-byte and escape-like texts stay text.
    EXPECT_EQ(Values(c, 4), "000123,2024--07,14:25:02,0.045,-,=1+1,bad\xEF\xBF\xBDname _x005F_x0041_,Fast");
    EXPECT_EQ(Values(c, 5), "000002,2024-Mar-07,14:25:01,Flow,-,F-7,Lee,-");
    EXPECT_EQ(Values(c, 6), "000001,2024-Mar-07,14:25:00,0.000,%BAC,A-100," + kHong + ",Normal");
    for (const char* ref : {"A4", "B4", "H4", "D5", "G6"})
        EXPECT_EQ(c[ref].substr(c[ref].find('|')), kPlain) << ref;
    EXPECT_EQ(c["D4"], "0.045|s|bold FFFF0000/11.0|" + kRecordStyle);
    EXPECT_EQ(c["D6"], "0.000|s|bold FFFF0000/11.0|" + kRecordStyle);
    EXPECT_EQ(c.count("A7"), 0u);
}

// A failed save keeps the earlier workbooks and leaves no temporary file.
TEST(RecordWorkbook, FailedSaveKeepsEarlierWorkbooks)
{
    TestFolder home;
    for (int s = 0; s < 6; ++s) Put(s, "old", "Kim", "0.010", '0', "B");
    Log().datacnt = 6;
    const std::string chosen = home / "log.xlsx", dir = home / "log";
    ASSERT_EQ(records::ExportWorkbooks(Log(), 2, chosen, {}, 2).saved, 3);
    const auto before2 = ReadBytes(dir + "/log_2.xlsx");
    const auto before3 = ReadBytes(dir + "/log_3.xlsx");

    for (int s = 0; s < 6; ++s) Put(s, "new", "Kim", "0.010", '0', "B");
    fs::create_directory(dir + "/log_2.xlsx.tmp");  // the second workbook cannot be written
    records::WorkbookExportResult r = records::ExportWorkbooks(Log(), 2, chosen, {}, 2);
    EXPECT_EQ(r.failed, 2);
    EXPECT_EQ(r.saved, 1);
    EXPECT_FALSE(r.detail.empty());
    EXPECT_EQ(ReadBytes(dir + "/log_2.xlsx"), before2);
    EXPECT_EQ(ReadBytes(dir + "/log_3.xlsx"), before3);
    fs::remove(dir + "/log_2.xlsx.tmp");
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"log_1.xlsx", "log_2.xlsx", "log_3.xlsx"}));
    EXPECT_EQ(Dump(dir + "/log_1.xlsx")["F4"], "new" + kPlain);

    // Fewer workbooks than the earlier export: its surplus goes once the new
    // set is in place (above, the failed export left it).
    Log().datacnt = 3;
    EXPECT_EQ(records::ExportWorkbooks(Log(), 2, chosen, {}, 2).saved, 2);
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"log_1.xlsx", "log_2.xlsx"}));
    auto last = Dump(dir + "/log_2.xlsx");
    EXPECT_EQ(Values(last, 4), "000001,07-Mar-2024,14:25:00,0.010,%BAC,new,Kim,Normal");

    // A folder that cannot be made fails the first workbook.
    WriteBytes(home / "blocked", "x", 1);
    r = records::ExportWorkbooks(Log(), 2, home / "blocked.xlsx");
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(r.saved, 0);
}

// A negative count: the folder only. Never more than ten workbooks.
TEST(RecordWorkbook, NoRecordMakesOnlyTheFolderAndTenWorkbooksHoldAll)
{
    TestFolder home;
    Log().datacnt = -5;
    records::WorkbookExportResult r = records::ExportWorkbooks(Log(), 2, home / "empty.xlsx");
    EXPECT_EQ(r.failed + r.saved, 0);
    ASSERT_TRUE(fs::is_directory(home / "empty"));
    EXPECT_TRUE(FilesIn(home / "empty").empty());
    for (int s = 0; s < 11; ++s) Put(s, "x", "y", "0.010", '0', "B");
    Log().datacnt = 11;
    EXPECT_EQ(records::ExportWorkbooks(Log(), 2, home / "ten.xlsx", {}, 1).saved, 6);
}

// A disk that fills while a workbook is written: the library loses the rows
// its temporary file cannot take and still closes without an error. The
// export fails and the earlier workbook stays.
TEST(RecordWorkbook, DiskFullDuringAWorkbookKeepsTheEarlierOne)
{
    TestFolder home;
    for (int s = 0; s < 3000; ++s) Put(s, "old", "Kim", "0.010", '0', "B");
    Log().datacnt = 2;
    const std::string chosen = home / "log.xlsx", dir = home / "log";
    ASSERT_EQ(records::ExportWorkbooks(Log(), 2, chosen).saved, 1);
    const auto before = ReadBytes(dir + "/log_1.xlsx");

    Log().datacnt = 3000;
    for (const rlim_t limit : {rlim_t(64) << 10, rlim_t(600) << 10}) {
        records::WorkbookExportResult r;
        {
            FileSizeLimit full(limit);
            r = records::ExportWorkbooks(Log(), 2, chosen);
        }
        EXPECT_EQ(r.failed, 1) << limit;
        EXPECT_FALSE(r.detail.empty());
        EXPECT_EQ(ReadBytes(dir + "/log_1.xlsx"), before) << limit;
        EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"log_1.xlsx"}) << limit;
    }

    // The read-back refuses a whole workbook of another row count, and an archive cut short.
    std::string why;
    EXPECT_TRUE(records::VerifyWorkbook(dir + "/log_1.xlsx", 2, why)) << why;
    EXPECT_FALSE(records::VerifyWorkbook(dir + "/log_1.xlsx", 1, why));
    EXPECT_FALSE(records::VerifyWorkbook(dir + "/log_1.xlsx", 3, why));
    WriteBytes(home / "cut.xlsx", before.data(), before.size() / 2);
    EXPECT_FALSE(records::VerifyWorkbook(home / "cut.xlsx", 2, why));
}
