// Hostile workbooks: whatever the file holds, the reader ends with an error
// or with texts, never with a crash, a leak of bounds or unbounded memory.
// Built with AddressSanitizer and UndefinedBehaviorSanitizer.
#include "users/UserExchange.h"
#include "users/XlsxReader.h"

#include "UserTestUtil.h"

#include <gtest/gtest.h>

using namespace usertest;
using xlsx::ReadError;

namespace {

const std::string kHeader = "<row r=\"1\">" + InlineCell("A1", "User ID") + "</row>";

}  // namespace

TEST(HostileWorkbook, NoArchiveTruncatedOrDamaged)
{
    TempDir dir;
    const std::string good = dir / "good.xlsx", bad = dir / "bad.xlsx";
    std::string rows = kHeader;
    for (int i = 2; i < 400; ++i)
        rows += "<row r=\"" + std::to_string(i) + "\">" +
                InlineCell("A" + std::to_string(i), "id" + std::to_string(i)) + "</row>";
    ASSERT_TRUE(WriteWorkbook(good, rows));
    const std::string whole = ReadAll(good);
    ASSERT_EQ(xlsx::ReadActiveSheet(good).error, ReadError::None);
    // Not a file, not there, not a zip, or cut anywhere: an error.
    EXPECT_EQ(xlsx::ReadActiveSheet(dir / "absent.xlsx").error, ReadError::CannotOpen);
    EXPECT_NE(xlsx::ReadActiveSheet(dir.path).error, ReadError::None);
    WriteAll(bad, "User ID,User Name\n");
    EXPECT_EQ(xlsx::ReadActiveSheet(bad).error, ReadError::NotZip);
    for (size_t cut = 0; cut < whole.size(); cut += whole.size() / 23 + 1) {
        WriteAll(bad, whole.substr(0, cut));
        EXPECT_NE(xlsx::ReadActiveSheet(bad).error, ReadError::None) << cut;
    }
    // Damaged bytes inside the entries: an error or texts, never a crash.
    for (size_t at = 40; at + 8 < whole.size(); at += 97) {
        std::string damaged = whole;
        for (size_t k = 0; k < 8; ++k) damaged[at + k] = static_cast<char>(damaged[at + k] ^ 0x5A);
        WriteAll(bad, damaged);
        xlsx::ReadResult r = xlsx::ReadActiveSheet(bad);
        if (r.error != ReadError::None) {
            EXPECT_TRUE(r.cells.empty());
        }
    }
}

TEST(HostileWorkbook, ZipWithoutUsableSheet)
{
    TempDir dir;
    const std::string path = dir / "x.xlsx";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    ASSERT_TRUE(WriteZip(path, {{"hello.txt", "hi"}}));
    EXPECT_EQ(xlsx::ReadActiveSheet(path).error, ReadError::NotWorkbook);
    ASSERT_TRUE(WriteZip(path, {{"xl/workbook.xml", "<workbook><sheets/></workbook>"}}));
    EXPECT_EQ(xlsx::ReadActiveSheet(path).error, ReadError::NotWorkbook);
    // A relationship that climbs out of the archive finds nothing.
    ASSERT_TRUE(
        WriteZip(path, {{"xl/workbook.xml", "<workbook xmlns:r=\"" + rel +
                                                "\"><bookViews><workbookView activeTab=\"-7\"/></bookViews>"
                                                "<sheets><sheet r:id=\"rId1\"/></sheets></workbook>"},
                        {"xl/_rels/workbook.xml.rels",
                         "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
                             "/worksheet\" Target=\"../../../../etc/passwd\"/></Relationships>"}}));
    EXPECT_EQ(xlsx::ReadActiveSheet(path).error, ReadError::NotWorkbook);
    ASSERT_TRUE(WriteZip(path, {{"xl/workbook.xml", "<workbook><sheets><sheet"}}));
    EXPECT_EQ(xlsx::ReadActiveSheet(path).error, ReadError::BadXml);
}

TEST(HostileWorkbook, HugeSharedStringTableAndHugeParts)
{
    TempDir dir;
    const std::string path = dir / "x.xlsx";
    // More entries than any user list needs, each tiny.
    const std::string many = Repeat("<si><t>a</t></si>", 500001);
    ASSERT_TRUE(WriteWorkbook(path, kHeader, &many));
    xlsx::ReadResult r = xlsx::ReadActiveSheet(path);
    EXPECT_EQ(r.error, ReadError::TooLarge);
    EXPECT_TRUE(r.cells.empty());
    // A part that unpacks to more than the limit (a few hundred kB packed).
    const std::string bomb = kHeader + std::string(40u << 20, ' ');
    ASSERT_TRUE(WriteWorkbook(path, bomb));
    EXPECT_EQ(xlsx::ReadActiveSheet(path).error, ReadError::TooLarge);
    // More cells than the limit in force.
    std::string rows = kHeader;
    for (int i = 2; i < 30; ++i) rows += "<row>" + InlineCell("A" + std::to_string(i), "x") + "</row>";
    ASSERT_TRUE(WriteWorkbook(path, rows));
    xlsx::ReadLimits few;
    few.maxCells = 10;
    EXPECT_EQ(xlsx::ReadActiveSheet(path, few).error, ReadError::TooLarge);
}

TEST(HostileWorkbook, DeeplyNestedXml)
{
    TempDir dir;
    const std::string path = dir / "x.xlsx";
    const size_t depth = 200000;
    std::string deep = Repeat("<is>", depth) + Repeat("</is>", depth);
    ASSERT_TRUE(WriteWorkbook(path, "<row><c t=\"inlineStr\">" + deep + "</c></row>"));
    EXPECT_EQ(xlsx::ReadActiveSheet(path).error, ReadError::TooLarge);
    const std::string sst = "<si>" + Repeat("<r>", depth) + "</si>";  // unclosed as well
    ASSERT_TRUE(WriteWorkbook(path, kHeader, &sst));
    EXPECT_EQ(xlsx::ReadActiveSheet(path).error, ReadError::TooLarge);
    // Depth counting is not fooled by markup inside comments, CDATA and attributes.
    const std::string tricky = "<a x='<b><b>'><!-- <c><c><c> --><![CDATA[<d><d>]]><e/></a>";
    EXPECT_EQ(xlsx::XmlDepth(tricky.data(), tricky.size(), 64), 1);
}

TEST(HostileWorkbook, BadReferencesAndIndexes)
{
    TempDir dir;
    const std::string path = dir / "x.xlsx";
    const std::string sst = "<si><t>User ID</t></si>";
    for (const std::string& row :
         {std::string("<row><c t=\"s\"><v>1</v></c></row>"),
          std::string("<row><c t=\"s\"><v>-1</v></c></row>"),
          std::string("<row><c t=\"s\"><v>99999999999999999999999</v></c></row>"),
          std::string("<row><c t=\"s\"><v>0x</v></c></row>"), std::string("<row r=\"0\"/>"),
          std::string("<row r=\"99999999999\"/>"), std::string("<row><c r=\"ZZZZ1\"><v>1</v></c></row>"),
          std::string("<row><c r=\"A99999999999\"><v>1</v></c></row>")}) {
        ASSERT_TRUE(WriteWorkbook(path, row, &sst));
        xlsx::ReadResult r = xlsx::ReadActiveSheet(path);
        EXPECT_EQ(r.error, ReadError::BadXml) << row;
        EXPECT_TRUE(r.cells.empty());
    }
    // Cells beyond the last column by position alone.
    std::string wide = "<row>";
    for (int i = 0; i < 16385; ++i) wide += "<c><v>1</v></c>";
    ASSERT_TRUE(WriteWorkbook(path, wide + "</row>"));
    EXPECT_EQ(xlsx::ReadActiveSheet(path).error, ReadError::BadXml);
}

TEST(HostileWorkbook, OverLongTextsNeverPassTheirField)
{
    emtask::EMTaskData& store = *emtask::GetManager();
    store.Reset();
    struct tm when { };
    const std::string hangul = "a" + Repeat("\xED\x99\x8D", 30);
    users::ApplyImport(store.Users(), {{std::string(200, 'q'), hangul}}, when);
    EXPECT_EQ(std::strlen(store.Users().At(1).cusid), 63u);
    EXPECT_EQ(std::string(store.Users().At(1).uname), hangul.substr(0, 61));  // never a character cut in two
}

// The streamed check of a whole workbook counts the rows of a sheet that spans
// many pieces, and refuses one that is not well-formed wherever the fault is.
TEST(HostileWorkbook, StreamedCheckCountsRowsAndRefusesBrokenSheets)
{
    TempDir dir;
    const std::string path = dir / "x.xlsx";
    std::string rows;
    for (int i = 1; i <= 3000; ++i)
        rows += "<row r=\"" + std::to_string(i) + "\"><!-- </row> -->" +
                InlineCell("A" + std::to_string(i), "a>b<![CDATA[</c>]]>") + "</row>";
    ASSERT_TRUE(WriteWorkbook(path, rows));
    const xlsx::SheetCheck good = xlsx::CheckWorkbook(path);
    EXPECT_EQ(good.error, ReadError::None) << good.detail;
    EXPECT_EQ(good.rows, 3000u);
    EXPECT_EQ(good.lastRow, 3000u);

    const size_t mid = rows.find("<row r=\"2000\"");
    std::string swapped = rows, mismatched = rows;
    swapped.replace(mid + 8, 4, "1999");
    mismatched.replace(rows.find("</is>", mid), 5, "</it>");
    for (const std::string& bad : {swapped, mismatched, rows + "</sheetData></worksheet><!-- ends inside",
                                   rows + "</sheetData></worksheet><worksheet><sheetData>", rows + "<row>"}) {
        ASSERT_TRUE(WriteWorkbook(path, bad));
        EXPECT_EQ(xlsx::CheckWorkbook(path).error, ReadError::BadXml) << bad.substr(bad.size() - 60);
    }
}
