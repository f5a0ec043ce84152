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
ws = openpyxl.load_workbook(sys.argv[1]).active
for row in ws.iter_rows():
    for c in row:
        if c.value is not None:
            print("%s=%s" % (c.coordinate, c.value))
for col in (1, 2):
    print(" ".join(str(d.width) for d in ws.column_dimensions.values() if d.min and d.min <= col <= d.max))
)";

using Pairs = std::vector<std::pair<std::string, std::string>>;

// The cells of a sheet whose header "User ID" is A1; rows as {row, col, text}.
ImportCheck Collect(std::initializer_list<std::tuple<int, int, std::string>> list)
{
    std::vector<xlsx::Cell> cells{{1, 1, "User ID"}};
    for (auto& [r, c, t] : list) cells.push_back({uint32_t(r), uint32_t(c), t});
    return users::CollectUsers(cells);
}

ImportCheck ReadAndCollect(const std::string& path)
{
    xlsx::ReadResult r = xlsx::ReadActiveSheet(path);
    EXPECT_EQ(r.error, xlsx::ReadError::None) << r.detail;
    return users::CollectUsers(r.cells);
}

const std::string kHong = "\xED\x99\x8D\xEA\xB8\xB8\xEB\x8F\x99";  // three Hangul syllables

}  // namespace

TEST(UserExport, SlotsGiveRowsAndAnIndependentReaderAgrees)
{
    TestFolder home;
    PutUser(1, "A100", "Kim");
    PutUser(2, "B200", kHong);
    PutUser(5, "C300", "Lee");
    const std::string path = home / "users.xlsx";
    int last = 0;
    ASSERT_TRUE(users::ExportUsers(path, Table(), [&](int n) { last = n; }));
    EXPECT_EQ(last, 3);
    std::string out;
    ASSERT_EQ(RunPython(kDump, {path}, &out), 0) << out;
    EXPECT_EQ(out, "A1=ZOLT7 User list\nA3=User ID\nB3=User Name\nA5=A100\nB5=Kim\nA6=B200\nB6=" + kHong +
                       "\nA9=C300\nB9=Lee\n16.7109375\n16.7109375\n");
}

TEST(UserExport, ThenImportGivesTheSameRegisterForEveryAwkwardText)
{
    TestFolder home;
    // Slot order with gaps; texts XML, the writer and the reader each treat specially.
    const std::vector<std::pair<int, std::pair<std::string, std::string>>> reg = {
        {1, {"A100", "Kim"}},
        {2, {Repeat("\xED\x99\x8D", 15), Repeat("\xEA\xB8\xB8", 21)}},  // 15 characters; 63 bytes
        {4, {Repeat("\xF0\x9F\x98\x80", 15), "\"quoted\" 'single' <b>&amp;"}},
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
    ImportCheck c = ReadAndCollect(path);
    ASSERT_EQ(c.kind, ImportCheck::Ok) << c.text;
    Pairs expected;
    for (const auto& entry : reg) expected.push_back(entry.second);
    EXPECT_EQ(c.users, expected);

    struct tm when {
        .tm_sec = 0, .tm_min = 0, .tm_hour = 23, .tm_mday = 31, .tm_mon = 11, .tm_year = 125
    };
    users::ApplyImport(emtask::GetManager()->Users(), c.users, when);
    EXPECT_EQ(users::CountUsers(Table()), int(reg.size()));
    for (int s = 1; s <= int(reg.size()); ++s) {
        EXPECT_EQ(Table()[s].uid, s);
        EXPECT_EQ(std::string(Table()[s].year, 14), "20251231230000");
        EXPECT_EQ(Pairs::value_type(Table()[s].cusid, Table()[s].uname), expected[s - 1]);
    }
}

TEST(UserImport, WorkbookOfAnIndependentWriter)
{
    TempDir dir;
    const std::string path = dir / "other.xlsx";
    // The second sheet active, the header in C4, numbers and a boolean as texts.
    const char* script = R"(
import sys, openpyxl
wb = openpyxl.Workbook()
wb.active["A1"] = "User ID"
ws = wb.create_sheet("Staff")
ws["A1"] = "Staff of the night shift"
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
    ImportCheck c = ReadAndCollect(path);
    ASSERT_EQ(c.kind, ImportCheck::Ok) << c.text;
    EXPECT_EQ(c.users, (Pairs{{"1001", "Kim"}, {"Park", ""}, {"X7", "TRUE"}, {"2.5", kHong}}));
}

TEST(UserImport, InlineAndRichStringsAndCellsOutOfOrder)
{
    TempDir dir;
    const std::string path = dir / "inline.xlsx";
    const std::string shared = "<si><t>User ID</t></si><si><r><t>Ki</t></r><r><t>m</t></r>"
                               "<rPh><t>reading</t></rPh></si><si><t xml:space=\"preserve\"> </t></si>";
    // Row 3 is written before row 2, and a cell without a reference follows B2.
    const std::string sheet = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                              "<row r=\"3\">" +
                              InlineCell("A3", "B&amp;2") +
                              "<c r=\"B3\"><v>7</v></c></row>"
                              "<row r=\"2\">" +
                              InlineCell("A2", "A1") +
                              "<c r=\"B2\" t=\"s\"><v>1</v></c>"
                              "<c t=\"s\"><v>2</v></c></row>";
    ASSERT_TRUE(WriteWorkbook(path, sheet, &shared));
    // C2 starts a second pair of row 2, which has no name.
    EXPECT_EQ(ReadAndCollect(path).users, (Pairs{{"A1", "Kim"}, {" ", ""}, {"B&2", "7"}}));
}

TEST(UserImport, PairsStayInTheirRowAndColumns)
{
    // Only texts below the header and from its column on; several pairs a row.
    auto c = users::CollectUsers({{1, 1, "Title"},
                                  {2, 2, "User ID"},
                                  {2, 3, "User Name"},
                                  {3, 1, "No. 1"},
                                  {3, 2, "A"},
                                  {3, 3, "B"},
                                  {3, 4, "C"},
                                  {3, 5, "D"},
                                  {4, 2, "E"},
                                  {5, 2, "F"},
                                  {5, 3, "G"},
                                  {6, 4, "H"}});
    ASSERT_EQ(c.kind, ImportCheck::Ok);
    EXPECT_EQ(c.users, (Pairs{{"A", "B"}, {"C", "D"}, {"E", ""}, {"F", "G"}, {"H", ""}}));
    EXPECT_EQ(users::CollectUsers({{1, 1, "user id"}, {2, 1, "A"}}).kind, ImportCheck::NoHeader);
    EXPECT_EQ(users::CollectUsers({{1, 2, "User ID"}, {2, 1, "Left only"}}).kind, ImportCheck::NoUsers);
}

TEST(UserImport, RefusalsNameTheirTextAndRow)
{
    const std::string hangul15 = Repeat("\xED\x99\x8D", 15);
    const struct {
        ImportCheck c;
        ImportCheck::Kind kind;
        std::string text;  // what the refusal names ("" not looked at)
        uint32_t row;
    } cases[] = {
        {Collect({{2, 1, hangul15}, {2, 2, std::string(30, 'n')}}), ImportCheck::Ok, "", 0},
        {Collect({{2, 1, std::string(16, 'i')}, {2, 2, "n"}}), ImportCheck::TooLong, std::string(16, 'i'), 2},
        {Collect({{2, 1, "i"}, {2, 2, std::string(31, 'n')}}), ImportCheck::TooLong, "", 2},
        // 22 Hangul syllables are within 30 characters but not within 63 bytes.
        {Collect({{2, 1, "i"}, {2, 2, Repeat("\xED\x99\x8D", 22)}}), ImportCheck::TooLong, "", 2},
        // A name without its ID is not paired with a neighbour.
        {Collect({{2, 1, "A"}, {2, 2, "B"}, {3, 2, "Orphan"}}), ImportCheck::NoId, "", 3},
        // The header text as a user's text would be read back as a header.
        {Collect({{2, 1, "A"}, {4, 1, "C"}, {4, 2, "User ID"}}), ImportCheck::HeaderText, "", 4},
        {Collect({{2, 1, "\xC3\x28"}}), ImportCheck::BadCharacter, "", 2},
        // A name may equal its own ID, and two users may both lack a name;
        {Collect({{2, 1, "S"}, {2, 2, "S"}, {3, 1, "T"}, {4, 1, "U"}}), ImportCheck::Ok, "", 0},
        // but no text repeats another: ID after ID, ID after name, name after ID.
        {Collect({{2, 1, "S"}, {2, 2, "S"}, {3, 1, "S"}}), ImportCheck::Duplicate, "S", 3},
        {Collect({{2, 1, "A"}, {2, 2, "N"}, {3, 1, "N"}}), ImportCheck::Duplicate, "N", 3},
        {Collect({{2, 1, "A1"}, {2, 2, "Kim"}, {3, 1, "K2"}, {4, 1, "B2"}, {4, 2, "A1"}}),
         ImportCheck::Duplicate, "A1", 4},
    };
    for (const auto& t : cases) {
        EXPECT_EQ(t.c.kind, t.kind) << t.c.text;
        EXPECT_TRUE(t.text.empty() || t.c.text == t.text) << t.c.text;
        EXPECT_EQ(t.c.row, t.row) << t.c.text;
        EXPECT_TRUE(t.kind == ImportCheck::Ok || t.c.users.empty());
    }

    // A full register (9,999 users) is accepted, one user more is refused.
    std::vector<xlsx::Cell> many{{1, 1, "User ID"}};
    for (int i = 0; i < 2 * 9999; ++i)
        many.push_back({uint32_t(2 + i / 2), uint32_t(1 + i % 2), "t" + std::to_string(i)});
    EXPECT_EQ(users::CollectUsers(many).users.size(), 9999u);
    many.push_back({20000, 1, "one more"});
    EXPECT_EQ(users::CollectUsers(many).kind, ImportCheck::TooMany);
}

TEST(UserImport, EscapedControlCharactersRefuseTheWorkbook)
{
    TempDir dir;
    const std::string path = dir / "ctl.xlsx";
    // "AB_x0000_CD" and "AB_x0000_EF" differ, but both would be stored as "AB".
    // C1 next line, right-to-left override, zero-width space: hidden too.
    for (const std::string& bad :
         {std::string("AB_x0000_CD"), std::string("del\x7F"), std::string("n\xC2\x85l"),
          std::string("\xE2\x80\xAE"
                      "evil"),
          std::string("K\xE2\x80\x8Bim")}) {
        ASSERT_TRUE(
            WriteWorkbook(path, InlineRows({{"A1", "User ID"}, {"A2", "ok"}, {"A3", "X"}, {"B3", bad}})));
        ImportCheck c = ReadAndCollect(path);
        EXPECT_EQ(c.kind, ImportCheck::BadCharacter) << bad;
        EXPECT_EQ(c.row, 3u);
    }
    // Typed or pasted, the same characters are left out.
    EXPECT_EQ(users::FitEntry(QString::fromUtf8("K\u202Ei\u200Bm\u0085\t"), 15), QStringLiteral("Kim"));
}

TEST(XlsxReader, EscapesAndCellReferences)
{
    EXPECT_EQ(xlsx::DecodeEscapes("a_x000D__x000a_b"), "a\r\nb");
    EXPECT_EQ(xlsx::DecodeEscapes("_xD83D__xDE00_"), "\xF0\x9F\x98\x80");  // a surrogate pair
    EXPECT_EQ(xlsx::DecodeEscapes("_xDE00_ _x12_ _x005F_x0041_"), "\xEF\xBF\xBD _x12_ _x0041_");

    uint32_t r = 0, c = 0;
    for (const char* bad : {"", "A", "1", "A0", "XFE1", "A1048577", "A1B", "AAAAAAAAAAAAAAAAAAAA1"})
        EXPECT_FALSE(xlsx::ParseCellRef(bad, r, c)) << bad;
}
