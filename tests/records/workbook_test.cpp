#include "EMTaskData.h"
#include "records/RecordWorkbook.h"
#include "users/XlsxReader.h"

#include "RunPython.h"
#include "TestFolder.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using emtask::DeviceData;
using emtask::TestRecord;
namespace fs = std::filesystem;

namespace {

DeviceData& Log() { return emtask::GetManager()->m_DeviceData; }

TestRecord& Put(int slot, const char* id, const char* name, const char* result, char mode,
                const char* unit)
{
    TestRecord& r = Log().m_TestData[slot];
    r = TestRecord{};
    r.testno = slot + 1;
    std::snprintf(r.id, sizeof r.id, "%s", id);
    std::snprintf(r.name, sizeof r.name, "%s", name);
    std::memcpy(r.m_Tyy, "2024", 5);
    std::memcpy(r.m_Tmm, "03", 3);
    std::memcpy(r.m_Tdd, "07", 3);
    std::memcpy(r.m_Thh, "14", 3);
    std::memcpy(r.m_Tmi, "25", 3);
    std::snprintf(r.m_Tss, sizeof r.m_Tss, "%02d", slot % 60);
    std::snprintf(r.result, sizeof r.result, "%s", result);
    r.mode = mode;
    std::snprintf(r.unit, sizeof r.unit, "%s", unit);
    return r;
}

// One line per cell of the active sheet that has a value or a style:
// "ref|value|type|font|alignment|border", then the merged ranges, the widths
// and the number of sheets.
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

}  // namespace

TEST(RecordWorkbook, LayoutStylesAndTextsAsAnIndependentReaderSeesThem)
{
    TestFolder home;
    Put(0, "A-100", "\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99", "0.000", '0', "B");  // Hangul name
    Put(1, "F-7", "Lee", "FLOW", 'F', "F");
    TestRecord& odd = Put(2, "=1+1", "bad\xFF" "name _x0041_", "0.045", '1', "Q");
    odd.testno = 123;
    std::memcpy(odd.m_Tmm, "13", 3);  // no month name
    Log().datacnt = 3;

    const std::string chosen = home / "out/march.report.xlsx";
    std::vector<int> reports;
    records::WorkbookExportResult r =
        records::ExportWorkbooks(Log(), 0, chosen, [&](int n) { reports.push_back(n); });
    EXPECT_EQ(r.failed, 0) << r.detail;
    EXPECT_EQ(r.saved, 1);
    EXPECT_EQ(reports, std::vector<int>{3});
    // Folder D/N, N up to the first "."; nothing else, no temporary file left.
    EXPECT_EQ(FilesIn(home / "out"), std::vector<std::string>{"march"});
    ASSERT_EQ(FilesIn(home / "out/march"), std::vector<std::string>{"march_1.xlsx"});

    auto c = Dump(home / "out/march/march_1.xlsx");
    EXPECT_EQ(c["merged"], "A1:H2");
    EXPECT_EQ(c["widths"], "10.7109375 13.7109375 13.7109375 13.7109375 10.7109375 16.7109375 16.7109375 10.7109375");
    EXPECT_EQ(c["sheets"], "1");
    EXPECT_EQ(c["A1"], "ZOLT7 Test Report|s|bold FF000000/16.0|center/center|-:-,-:-,-:-,-:-");
    EXPECT_EQ(c["A3"], "Test No.|s|bold FF000000/11.0|center/center|-:-,-:-,-:-,-:-");
    EXPECT_EQ(c["H3"], "Mode|s|bold FF000000/11.0|center/center|-:-,-:-,-:-,-:-");

    // Row 4: the newest record (slot 2): formula-looking ID stays text, bad
    // bytes replaced, a literal escape kept, unknown month and unit.
    const std::string plain = "|s|theme/11.0|" + kRecordStyle;
    EXPECT_EQ(c["A4"], "000123" + plain);
    EXPECT_EQ(c["B4"], "2024--07" + plain);
    EXPECT_EQ(c["C4"], "14:25:02" + plain);
    EXPECT_EQ(c["D4"], "0.045|s|bold FFFF0000/11.0|" + kRecordStyle);
    EXPECT_EQ(c["E4"], "-" + plain);
    EXPECT_EQ(c["F4"], "=1+1" + plain);
    // openpyxl shows the stored form of the literal escape; a reader that
    // decodes escapes (ours) gets the name back.
    EXPECT_EQ(c["G4"], "bad\xEF\xBF\xBDname _x005F_x0041_" + plain);
    xlsx::ReadResult back = xlsx::ReadActiveSheet(home / "out/march/march_1.xlsx");
    ASSERT_EQ(back.error, xlsx::ReadError::None);
    ASSERT_GT(back.cells.size(), 15u);
    EXPECT_EQ(back.cells[15].text, "bad\xEF\xBF\xBDname _x0041_");  // title, 8 headers, A4..G4
    EXPECT_EQ(c["H4"], "Fast" + plain);
    // Row 5: the flow error, in the normal font.
    EXPECT_EQ(c["A5"], "000002" + plain);
    EXPECT_EQ(c["D5"], "Flow" + plain);
    EXPECT_EQ(c["E5"], "-" + plain);
    EXPECT_EQ(c["H5"], "-" + plain);
    // Row 6: the oldest record; 0.000 is still in bold red.
    EXPECT_EQ(c["A6"], "000001" + plain);
    EXPECT_EQ(c["B6"], "2024-Mar-07" + plain);
    EXPECT_EQ(c["D6"], "0.000|s|bold FFFF0000/11.0|" + kRecordStyle);
    EXPECT_EQ(c["E6"], "%BAC" + plain);
    EXPECT_EQ(c["F6"], "A-100" + plain);
    EXPECT_EQ(c["G6"], "\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99" + plain);
    EXPECT_EQ(c["H6"], "Normal" + plain);
    EXPECT_EQ(c.count("A7"), 0u);

    // An unknown date order leaves the date cell empty but bordered; an
    // unknown mode leaves the mode cell empty.
    Log().m_TestData[2].mode = 'x';
    ASSERT_EQ(records::ExportWorkbooks(Log(), 7, chosen).failed, 0);
    c = Dump(home / "out/march/march_1.xlsx");
    EXPECT_EQ(c["B4"], "None|n|theme/11.0|" + kRecordStyle);
    EXPECT_EQ(c["H4"], "None|n|theme/11.0|" + kRecordStyle);
    EXPECT_EQ(c["B6"], "None|n|theme/11.0|" + kRecordStyle);
}

// The real size: 100,001 records give a full first workbook (newest first)
// and a second with slot 0 alone; progress reaches each multiple of 100,000
// before the workbook that ends there is saved.
TEST(RecordWorkbook, HundredThousandAndOneRecordsSplitIntoTwoWorkbooks)
{
    TestFolder home;
    const int count = records::kWorkbookRows + 1;
    for (int s = 0; s < count; ++s) {
        TestRecord& r = Log().m_TestData[s];
        r.testno = s + 1;
        std::snprintf(r.id, sizeof r.id, "ID%d", s);
        r.mode = '0';
    }
    Log().datacnt = count;
    const std::string base = home / "split";
    std::vector<int> reports;
    bool firstSavedEarly = false;
    records::WorkbookExportResult r = records::ExportWorkbooks(Log(), 2, home / "split.xlsx", [&](int n) {
        reports.push_back(n);
        if (n == records::kWorkbookRows) firstSavedEarly = fs::exists(base + "/split_1.xlsx");
    });
    ASSERT_EQ(r.failed, 0) << r.detail;
    EXPECT_EQ(r.saved, 2);
    EXPECT_FALSE(firstSavedEarly);
    ASSERT_EQ(reports.size(), 101u);
    EXPECT_EQ(reports[0], 1000);
    EXPECT_EQ(reports[99], 100000);
    EXPECT_EQ(reports[100], 100001);
    EXPECT_EQ(FilesIn(base), (std::vector<std::string>{"split_1.xlsx", "split_2.xlsx"}));

    // openpyxl (read-only) for the first rows and the sheet's extent; the last
    // row straight from the sheet's XML, as openpyxl would parse every row
    // before it (seconds of work for nothing).
    const char* script = R"py(
import re, sys, zipfile, openpyxl
for path in sys.argv[1:]:
    ws = openpyxl.load_workbook(path, read_only=True).active
    for r in ws.iter_rows(min_row=4, max_row=5):
        print("%d:%s,%s" % (r[0].row, r[0].value, r[5].value))
    print("max=%d" % ws.max_row)
    xml = zipfile.ZipFile(path).read("xl/worksheets/sheet1.xml").decode()
    rows = re.findall(r'<row r="(\d+)"', xml)
    last = rows[-1]
    cells = re.findall(r'<c r="([A-H])' + last + r'"[^>]*><is><t>([^<]*)</t>', xml)
    print("last %s %d:%s" % (last, len(rows), ",".join(a + "=" + t for a, t in cells)))
)py";
    std::string out;
    ASSERT_EQ(RunPython(script, {base + "/split_1.xlsx", base + "/split_2.xlsx"}, &out), 0) << out;
    EXPECT_EQ(out, "4:100001,ID100000\n5:100000,ID99999\nmax=100003\n"
                   "last 100003 100003:A=000002,B=--,C=::,E=-,F=ID1,H=Normal\n"
                   "4:000001,ID0\nmax=4\n"
                   "last 4 4:A=000001,B=--,C=::,E=-,F=ID0,H=Normal\n");
}

// Fault: an export that cannot save a workbook leaves the workbooks an
// earlier export put there intact, keeps the ones it saved before, and
// leaves no temporary file.
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
    EXPECT_EQ(Dump(dir + "/log_1.xlsx")["F4"], "new" + std::string("|s|theme/11.0|") + kRecordStyle);
    EXPECT_EQ(Dump(dir + "/log_2.xlsx")["F4"], "old" + std::string("|s|theme/11.0|") + kRecordStyle);

    // A folder that cannot be made fails the first workbook.
    WriteBytes(home / "blocked", "x", 1);
    r = records::ExportWorkbooks(Log(), 2, home / "blocked.xlsx");
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(r.saved, 0);
}

// No record (also a negative count from a damaged file): the folder only,
// and no failure.
TEST(RecordWorkbook, NoRecordMakesOnlyTheFolder)
{
    TestFolder home;
    for (int count : {0, -5}) {
        Log().datacnt = count;
        const std::string name = "empty" + std::to_string(-count);
        records::WorkbookExportResult r = records::ExportWorkbooks(Log(), 2, home / (name + ".xlsx"));
        EXPECT_EQ(r.failed, 0);
        EXPECT_EQ(r.saved, 0);
        ASSERT_TRUE(fs::is_directory(home / name));
        EXPECT_TRUE(FilesIn(home / name).empty());
    }
}
