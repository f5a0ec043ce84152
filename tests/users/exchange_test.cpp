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

TEST(UserExport, ThenImportGivesTheSameRegisterForEveryAwkwardText)
{
    TestFolder home;
    const std::string hangul15 = [] { std::string s; for (int i = 0; i < 15; ++i) s += "\xED\x99\x8D"; return s; }();
    const std::string hangul21 = [] { std::string s; for (int i = 0; i < 21; ++i) s += "\xEA\xB8\xB8"; return s; }();  // 63 bytes
    const std::string emoji15 = [] { std::string s; for (int i = 0; i < 15; ++i) s += "\xF0\x9F\x98\x80"; return s; }();
    // Slot order with gaps; texts XML, the writer and the reader each treat specially.
    const std::vector<std::pair<int, std::pair<std::string, std::string>>> reg = {
        {1, {"A100", "Kim"}},
        {2, {hangul15, hangul21}},
        {4, {emoji15, "\"quoted\" 'single' <b>&amp;"}},
        {5, {"_x0041_", "_x005F_x0041_"}},
        {7, {"B200", ""}},  // an empty name (an import may leave one) must not shift the rest
        {8, {"C300", "C300"}},
        {9, {" lead", "trail "}},
        {10, {"=1+2", "007"}},
        {9999, {"Z9", "Last"}},
    };
    for (const auto& [slot, texts] : reg) PutUser(slot, texts.first, texts.second);
    const std::string path = home / "round.xlsx";
    ASSERT_TRUE(users::ExportUsers(path, Table()));
    xlsx::ReadResult r = xlsx::ReadActiveSheet(path);
    ASSERT_EQ(r.error, xlsx::ReadError::None) << r.detail;
    ImportCheck c = users::CollectUsers(r.cells);
    ASSERT_EQ(c.kind, ImportCheck::Ok) << c.text;
    Pairs expected;
    for (const auto& entry : reg) expected.push_back(entry.second);
    EXPECT_EQ(c.users, expected);

    struct tm when{};
    when.tm_year = 125;
    when.tm_mon = 11;
    when.tm_mday = 31;
    when.tm_hour = 23;
    users::ApplyImport(Table(), c.users, when);
    EXPECT_EQ(users::CountUsers(Table()), int(reg.size()));
    for (int s = 1; s <= int(reg.size()); ++s) {
        EXPECT_EQ(Table()[s].uid, s);
        EXPECT_EQ(std::string(Table()[s].year, 14), "20251231230000");
        EXPECT_EQ(std::string(Table()[s].cusid), expected[s - 1].first);
        EXPECT_EQ(std::string(Table()[s].uname), expected[s - 1].second);
    }
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
    // Park's name cell is empty: Park keeps an empty name, the next row its pair.
    EXPECT_EQ(c.users, (Pairs{{"1001", "Kim"}, {"Park", ""}, {"X7", "TRUE"},
                              {"2.5", "\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99"}}));
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
    // C2 starts a second pair of row 2, which has no name.
    EXPECT_EQ(c.users, (Pairs{{"A1", "Kim"}, {" ", ""}, {"B&2", "7"}}));
}

TEST(UserImport, PairsStayInTheirRowAndColumns)
{
    // Texts before the header, on its row and left of its column are not users;
    // a row may hold more than one pair; a missing name leaves it empty.
    auto c = users::CollectUsers(Cells({{1, 1, "Title"}, {2, 2, "User ID"}, {2, 3, "User Name"},
                                        {3, 1, "No. 1"}, {3, 2, "A"}, {3, 3, "B"}, {3, 4, "C"}, {3, 5, "D"},
                                        {4, 2, "E"}, {5, 2, "F"}, {5, 3, "G"}, {6, 4, "H"}}));
    ASSERT_EQ(c.kind, ImportCheck::Ok);
    EXPECT_EQ(c.users, (Pairs{{"A", "B"}, {"C", "D"}, {"E", ""}, {"F", "G"}, {"H", ""}}));

    // A name without its ID is refused with its row, not paired with a neighbour.
    auto noId = users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "A"}, {2, 2, "B"}, {3, 2, "Orphan"}}));
    EXPECT_EQ(noId.kind, ImportCheck::NoId);
    EXPECT_EQ(noId.row, 3u);

    // The header text as a user's ID or name would be read back as a header.
    auto again = users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "A"}, {2, 2, "B"}, {4, 1, "C"},
                                            {4, 2, "User ID"}, {5, 1, "D"}}));
    EXPECT_EQ(again.kind, ImportCheck::HeaderText);
    EXPECT_EQ(again.row, 4u);

    EXPECT_EQ(users::CollectUsers(Cells({{1, 1, "user id"}, {2, 1, "A"}})).kind, ImportCheck::NoHeader);
    EXPECT_EQ(users::CollectUsers(Cells({{1, 2, "User ID"}, {1, 3, "User Name"}, {2, 1, "Left only"}})).kind,
              ImportCheck::NoUsers);
}

TEST(UserImport, TextsMustFitWhatRegistrationAndIdentificationAccept)
{
    auto one = [](const std::string& id, const std::string& name) {
        return users::CollectUsers({{1, 1, "User ID"}, {2, 1, id}, {2, 2, name}});
    };
    std::string hangul;
    for (int i = 0; i < 15; ++i) hangul += "\xED\x99\x8D";
    EXPECT_EQ(one(hangul, std::string(30, 'n')).kind, ImportCheck::Ok);  // 15 and 30 characters
    auto longId = one(std::string(16, 'i'), "n");
    EXPECT_EQ(longId.kind, ImportCheck::TooLong);
    EXPECT_EQ(longId.text, std::string(16, 'i'));
    EXPECT_EQ(longId.row, 2u);
    EXPECT_EQ(one("i", std::string(31, 'n')).kind, ImportCheck::TooLong);
    // 22 Hangul syllables are within 30 characters but not within 63 bytes.
    EXPECT_EQ(one("i", hangul + hangul.substr(0, 21)).kind, ImportCheck::TooLong);

    // A full register (9,999 users) is accepted, one user more is refused.
    std::vector<xlsx::Cell> many{{1, 1, "User ID"}};
    for (int i = 0; i < 2 * 9999; ++i) many.push_back({uint32_t(2 + i / 2), uint32_t(1 + i % 2), "t" + std::to_string(i)});
    auto full = users::CollectUsers(many);
    ASSERT_EQ(full.kind, ImportCheck::Ok);
    EXPECT_EQ(full.users.size(), 9999u);
    many.push_back({20000, 1, "one more"});
    EXPECT_EQ(users::CollectUsers(many).kind, ImportCheck::TooMany);

    // A name equal to its own ID is accepted; a third copy is not, nor an ID
    // equal to the previous user's name.
    EXPECT_EQ(users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "S"}, {2, 2, "S"}})).kind, ImportCheck::Ok);
    auto own = users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "S"}, {2, 2, "S"}, {3, 1, "S"}}));
    EXPECT_EQ(own.kind, ImportCheck::Duplicate);
    auto prev = users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "A"}, {2, 2, "N"}, {3, 1, "N"}}));
    EXPECT_EQ(prev.kind, ImportCheck::Duplicate);
    // Nor a name equal to an earlier user's ID; the refusal names the text.
    auto across = users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "A1"}, {2, 2, "Kim"}, {3, 1, "K2"},
                                             {3, 2, "Lee"}, {4, 1, "B2"}, {4, 2, "A1"}}));
    EXPECT_EQ(across.kind, ImportCheck::Duplicate);
    EXPECT_EQ(across.text, "A1");
    EXPECT_TRUE(across.users.empty());
    // Two users without a name are not duplicates of each other.
    EXPECT_EQ(users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "A"}, {3, 1, "B"}})).kind, ImportCheck::Ok);
}

TEST(UserImport, ControlCharactersRefuseTheWorkbookNamingTheRow)
{
    TempDir dir;
    const std::string path = dir / "ctl.xlsx";
    const std::string header = "<row r=\"1\">" + InlineCell("A1", "User ID") + "</row>";
    // "AB_x0000_CD" and "AB_x0000_EF" differ, but both would be stored as "AB".
    for (const std::string& bad : {std::string("AB_x0000_CD"), std::string("tab_x0009_"), std::string("del\x7F"),
                                   std::string("line_x000A_feed")}) {
        ASSERT_TRUE(WriteWorkbook(path, header + "<row r=\"2\">" + InlineCell("A2", "ok") + InlineCell("B2", "fine") +
                                            "</row><row r=\"3\">" + InlineCell("A3", "X") +
                                            InlineCell("B3", bad) + "</row>"));
        xlsx::ReadResult r = xlsx::ReadActiveSheet(path);
        ASSERT_EQ(r.error, xlsx::ReadError::None) << r.detail;
        ImportCheck c = users::CollectUsers(r.cells);
        EXPECT_EQ(c.kind, ImportCheck::BadCharacter) << bad;
        EXPECT_EQ(c.row, 3u);
        EXPECT_TRUE(c.users.empty());
    }
    EXPECT_EQ(users::CollectUsers(Cells({{1, 1, "User ID"}, {2, 1, "\xC3\x28"}})).kind, ImportCheck::BadCharacter);
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
