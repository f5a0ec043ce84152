// The register's .xlsx exchange against an independent reader and writer
// (Python's openpyxl) and hand-made workbooks.
#include "users/UserExchange.h"
#include "users/UserRegister.h"
#include "users/XlsxReader.h"

#include "UserTestUtil.h"

#include <gtest/gtest.h>

using namespace usertest;
using users::ImportCheck;

namespace {

// Prints every non-empty cell as "ref=value", then the widths of A and B.
const char* kDump = R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
for row in ws.iter_rows():
    for c in row:
        if c.value is not None:
            print("%s=%s" % (c.coordinate, c.value))
def width(col):
    for d in ws.column_dimensions.values():
        if d.min is not None and d.min <= col <= d.max:
            return d.width
print("widthA=%s" % width(1))
print("widthB=%s" % width(2))
)";

std::vector<xlsx::Cell> Cells(std::initializer_list<std::tuple<int, int, const char*>> list)
{
    std::vector<xlsx::Cell> out;
    for (auto& [r, c, t] : list) out.push_back({uint32_t(r), uint32_t(c), t});
    return out;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

}  // namespace

TEST(UserExport, SlotsGiveRowsAndAnIndependentReaderAgrees)
{
    TestFolder home;
    PutUser(1, "A100", "Kim");
    PutUser(2, "B200", "\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99");  // Hangul name
    PutUser(5, "C300", "Lee");
    const std::string path = home / "users.xlsx";
    int last = 0;
    ASSERT_TRUE(users::ExportUsers(path, Table(), [&](int n) { last = n; }));
    EXPECT_EQ(last, 3);
    std::string out;
    ASSERT_EQ(RunPython(kDump, {path}, &out), 0) << out;
    EXPECT_EQ(out,
              "A1=ZOLT7 User list\nA3=User ID\nB3=User Name\n"
              "A5=A100\nB5=Kim\nA6=B200\nB6=\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99\nA9=C300\nB9=Lee\n"
              "widthA=16.7109375\nwidthB=16.7109375\n");
}

TEST(UserExport, ThenImportGivesTheSameUsersRenumbered)
{
    TestFolder home;
    PutUser(3, "A100", "Kim");
    PutUser(7, "B200", "B200");  // ID equal to its own name
    PutUser(8, "tab\there\x01", "_x0041_");  // characters XML escapes, and a literal escape
    PutUser(9999, "C300", "Lee");
    const std::string path = home / "round.xlsx";
    ASSERT_TRUE(users::ExportUsers(path, Table()));
    xlsx::ReadResult r = xlsx::ReadActiveSheet(path);
    ASSERT_EQ(r.error, xlsx::ReadError::None) << r.detail;
    ImportCheck c = users::CollectUsers(r.cells);
    ASSERT_EQ(c.kind, ImportCheck::Ok);
    EXPECT_EQ(c.users, (Pairs{{"A100", "Kim"}, {"B200", "B200"}, {"tab\there\x01", "_x0041_"}, {"C300", "Lee"}}));
    struct tm when{};
    when.tm_year = 125;
    when.tm_mon = 11;
    when.tm_mday = 31;
    when.tm_hour = 23;
    users::ApplyImport(Table(), c.users, when);
    EXPECT_EQ(users::CountUsers(Table()), 4);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(Table()[s].uid, s);
        EXPECT_EQ(std::string(Table()[s].year, 14), "20251231230000");
    }
    EXPECT_STREQ(Table()[4].cusid, "C300");
    EXPECT_EQ(Table()[7].uid, 0);
    EXPECT_EQ(Table()[9999].uid, 0);
}

TEST(UserImport, WorkbookOfAnIndependentWriter)
{
    TempDir dir;
    const std::string path = dir / "other.xlsx";
    // Two sheets, the second active; a title above the header, the header in
    // columns C and D, numbers and a boolean as texts, an empty name cell.
    const char* script = R"(
import sys, openpyxl
wb = openpyxl.Workbook()
wb.active["A1"] = "User ID"
ws = wb.create_sheet("Staff")
ws["A1"] = "Staff of the night shift"
ws["B2"] = "ignored"
ws["C4"] = "User ID"; ws["D4"] = "User Name"; ws["E4"] = "skipped on the header row"
ws["C5"] = 1001; ws["D5"] = "Kim"
ws["C6"] = "Park"
ws["C7"] = "X7"; ws["D7"] = True
ws["C8"] = 2.5; ws["D8"] = "\ud64d\uae38\ub3d9"
wb.active = 1
wb.save(sys.argv[1])
)";
    std::string out;
    ASSERT_EQ(RunPython(script, {path}, &out), 0) << out;
    xlsx::ReadResult r = xlsx::ReadActiveSheet(path);
    ASSERT_EQ(r.error, xlsx::ReadError::None) << r.detail;
    ImportCheck c = users::CollectUsers(r.cells);
    ASSERT_EQ(c.kind, ImportCheck::Ok) << c.text;
    // Park's name cell is empty: the pairing shifts, X7 becomes Park's name.
    EXPECT_EQ(c.users, (Pairs{{"1001", "Kim"}, {"Park", "X7"}, {"TRUE", "2.5"},
                              {"\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99", ""}}));
}

TEST(UserImport, DuplicateAcrossUsersIsRefusedWithTheText)
{
    TempDir dir;
    const std::string path = dir / "dup.xlsx";
    const char* script = R"(
import sys, openpyxl
wb = openpyxl.Workbook(); ws = wb.active
ws.append(["User ID", "User Name"])
ws.append(["A1", "Kim"]); ws.append(["Kim2", "Lee"]); ws.append(["B2", "A1"])
wb.save(sys.argv[1])
)";
    ASSERT_EQ(RunPython(script, {path}), 0);
    xlsx::ReadResult r = xlsx::ReadActiveSheet(path);
    ASSERT_EQ(r.error, xlsx::ReadError::None);
    ImportCheck c = users::CollectUsers(r.cells);
    EXPECT_EQ(c.kind, ImportCheck::Duplicate);
    EXPECT_EQ(c.text, "A1");
    EXPECT_TRUE(c.users.empty());
}

TEST(UserImport, InlineAndRichStringsAndCellsOutOfOrder)
{
    TempDir dir;
    const std::string path = dir / "inline.xlsx";
    const std::string shared = "<si><t>User ID</t></si><si><r><t>Ki</t></r><r><t>m</t></r>"
                               "<rPh><t>reading</t></rPh></si><si><t xml:space=\"preserve\"> </t></si>";
    // Row 3 is written before row 2, and a cell without a reference follows B2.
    const std::string sheet = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                              "<row r=\"3\">" + InlineCell("A3", "B&amp;2") + "<c r=\"B3\"><v>7</v></c></row>"
                              "<row r=\"2\">" + InlineCell("A2", "A1") + "<c r=\"B2\" t=\"s\"><v>1</v></c>"
                              "<c t=\"s\"><v>2</v></c></row>";
    ASSERT_TRUE(WriteWorkbook(path, sheet, &shared));
    xlsx::ReadResult r = xlsx::ReadActiveSheet(path);
    ASSERT_EQ(r.error, xlsx::ReadError::None) << r.detail;
    ASSERT_EQ(r.cells.size(), 6u);
    EXPECT_EQ(r.cells[3].col, 3u);  // the cell without a reference follows B2
    ImportCheck c = users::CollectUsers(r.cells);
    ASSERT_EQ(c.kind, ImportCheck::Ok);
    EXPECT_EQ(c.users, (Pairs{{"A1", "Kim"}, {" ", "B&2"}, {"7", ""}}));
}

TEST(UserImport, LimitsAndGapsOfTheTextList)
{
    // Texts before the header are ignored; a later header skips its row.
    auto c = users::CollectUsers(Cells({{1, 1, "Title"}, {2, 2, "User ID"}, {2, 3, "User Name"},
                                        {3, 1, "A"}, {3, 2, "B"}, {4, 1, "User ID"}, {4, 2, "X"},
                                        {5, 1, "C"}, {5, 2, "D"}}));
    ASSERT_EQ(c.kind, ImportCheck::Ok);
    EXPECT_EQ(c.users, (Pairs{{"A", "B"}, {"C", "D"}}));

    EXPECT_EQ(users::CollectUsers(Cells({{1, 1, "user id"}, {2, 1, "A"}})).kind, ImportCheck::NoHeader);
    EXPECT_EQ(users::CollectUsers(Cells({{1, 1, "User ID"}, {1, 2, "User Name"}})).kind,
              ImportCheck::NoUsers);

    // 63 bytes fit the field, 64 do not.
    const std::string fits(63, 'x'), over(64, 'y');
    EXPECT_EQ(users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, fits.c_str()}})).kind, ImportCheck::Ok);
    auto longText = users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "A"}, {2, 2, over.c_str()}}));
    EXPECT_EQ(longText.kind, ImportCheck::TooLong);
    EXPECT_EQ(longText.text, over);

    // A full register (9,999 users) is accepted, one text more is refused.
    std::vector<xlsx::Cell> many{{1, 1, "User ID"}};
    for (int i = 0; i < 2 * 9999; ++i) many.push_back({uint32_t(2 + i / 2), uint32_t(1 + i % 2), "t" + std::to_string(i)});
    auto full = users::CollectUsers(many);
    ASSERT_EQ(full.kind, ImportCheck::Ok);
    EXPECT_EQ(full.users.size(), 9999u);
    many.push_back({20000, 1, "one more"});
    EXPECT_EQ(users::CollectUsers(many).kind, ImportCheck::TooMany);

    // A name equal to its own ID is accepted; a third copy is not.
    auto own = users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "S"}, {2, 2, "S"}, {3, 1, "S"}}));
    EXPECT_EQ(own.kind, ImportCheck::Duplicate);
    // An ID equal to the previous user's name is not its own pair.
    auto prev = users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "A"}, {2, 2, "N"}, {3, 1, "N"}}));
    EXPECT_EQ(prev.kind, ImportCheck::Duplicate);
}

TEST(XlsxReader, EscapedCharacters)
{
    EXPECT_EQ(xlsx::DecodeEscapes("a_x000D__x000a_b"), "a\r\nb");
    EXPECT_EQ(xlsx::DecodeEscapes("_xD83D__xDE00_"), "\xF0\x9F\x98\x80");  // a surrogate pair
    EXPECT_EQ(xlsx::DecodeEscapes("_xDE00_ _x12_ _x005F_x0041_"), "\xEF\xBF\xBD _x12_ _x0041_");
}

TEST(XlsxReader, CellReferencesAtTheSheetBounds)
{
    uint32_t r = 0, c = 0;
    ASSERT_TRUE(xlsx::ParseCellRef("$XFD$1048576", r, c));
    EXPECT_EQ(c, 16384u);
    EXPECT_EQ(r, 1048576u);
    ASSERT_TRUE(xlsx::ParseCellRef("AA10", r, c));
    EXPECT_EQ(c, 27u);
    for (const char* bad : {"", "A", "1", "A0", "XFE1", "A1048577", "A1B", "AAAAAAAAAAAAAAAAAAAA1"})
        EXPECT_FALSE(xlsx::ParseCellRef(bad, r, c)) << bad;
}
