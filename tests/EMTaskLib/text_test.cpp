#include "DebugLog.h"
#include "EMTaskData.h"
#include "TestFolder.h"
#include "TextUtil.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace emtask;

namespace {
TestRecord Dated(const char* y, const char* mo, const char* d)
{
    TestRecord r{};
    r.testno = 12;
    std::strcpy(r.m_Tyy, y);
    std::strcpy(r.m_Tmm, mo);
    std::strcpy(r.m_Tdd, d);
    std::strcpy(r.m_Thh, "08");
    std::strcpy(r.m_Tmi, "05");
    std::strcpy(r.m_Tss, "09");
    std::strcpy(r.result, "0.045");
    std::strcpy(r.id, "A-1");
    std::strcpy(r.name, "Kim");
    r.mode = '0';
    r.unit[0] = 'B';
    return r;
}

std::string Hexa(const void* data, int len)
{
    testing::internal::CaptureStderr();
    DebugHexa(data, len);
    return testing::internal::GetCapturedStderr();
}

struct Level {
    int old;
    explicit Level(int l) : old(g_DebugLevel) { g_DebugLevel = l; }
    ~Level() { g_DebugLevel = old; }
};
}  // namespace

TEST(Csv, WriteCsvLineWritesTheSearchRecord)
{
    TestFolder tf;
    GetManager()->m_SearchData.m_TestData[4] = Dated("2024", "03", "07");
    GetManager()->m_BusInfo.dateorder = 1;
    FILE* f = std::fopen((tf / "out.csv").c_str(), "w");
    ASSERT_TRUE(f);
    WriteCsvLine(f, 4);
    std::fclose(f);
    std::vector<char> got = ReadBytes(tf / "out.csv");
    EXPECT_EQ(std::string(got.begin(), got.end()), CsvLine(Dated("2024", "03", "07"), 1));
}

TEST(Texts, DatesUnitsAndRows)
{
    TestRecord r = Dated("2024", "03", "07");
    EXPECT_EQ(RecordDateText(r, 0, DateStyle::Row), "2024-Mar-07");
    EXPECT_EQ(RecordDateText(r, 9, DateStyle::Row), "07-Mar-2024");
    EXPECT_EQ(RecordDateText(r, 9, DateStyle::Workbook), "");
    EXPECT_EQ(RecordDateText(r, 1, DateStyle::Report), "Mar-07-2024");
    EXPECT_EQ(RecordTimeText(r), "08:05:09");
    EXPECT_EQ(ClockText(2026, 12, 5, 18, 30, 0, 2), "05-Dec-2026 18:30:00");
    EXPECT_EQ(ClockText(2026, 12, 5, 18, 30, 0, 0), "2026-Dec-05 18:30:00");
    EXPECT_EQ(ClockText(2026, 12, 5, 18, 30, 0, 1), "Dec-05-2026 18:30:00");
    EXPECT_STREQ(UnitText("G"), "g/L");
    EXPECT_STREQ(UnitText("M"), "mg/L");
    EXPECT_STREQ(UnitText("BB"), "-");
    EXPECT_STREQ(MonthName(0), "");
    EXPECT_STREQ(MonthName(12), "Dec");

    EXPECT_EQ(RowsPerSheet(0), 100);
    EXPECT_EQ(RowsPerSheet(9), 1000);
    EXPECT_EQ(RowsPerSheet(10), 2000);
    EXPECT_EQ(RowsPerSheet(18), 10000);
    for (int bad : {-1, 19, 99, -2147483647 - 1}) EXPECT_EQ(RowsPerSheet(bad), 1000) << bad;
    EXPECT_EQ(SheetCount(0, 100), 0);
    EXPECT_EQ(SheetCount(1001, 1000), 2);
    EXPECT_EQ(SheetCount(5, 0), 1);
}

TEST(Texts, FieldsCutAtCharacterBoundaries)
{
    char field[8];
    // "가" is three bytes: two fit in the seven bytes before the NUL.
    EXPECT_EQ(CopyField(field, "가나다"), 6u);
    EXPECT_STREQ(field, "가나");
    EXPECT_EQ(CopyField(field, "abcdefghij"), 7u);
    EXPECT_STREQ(field, "abcdefg");
    EXPECT_EQ(DigitsValue("2024", 4), 2024);
    EXPECT_EQ(DigitsValue("x1", 2), 0);
}

TEST(Folders, MakeDirectoryCreatesNestedFolders)
{
    TestFolder tf;
    EXPECT_TRUE(MakeDirectory(tf.path));
    EXPECT_TRUE(MakeDirectory(tf / "a/b/c"));
    struct stat st;
    EXPECT_EQ(stat((tf / "a/b/c").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    WriteBytes(tf / "file", "x", 1);
    EXPECT_FALSE(MakeDirectory(tf / "file/sub"));
}

TEST(DebugLog, HexaRows)
{
    Level level(1);
    const unsigned char three[] = {0x24, 0x45, 0x4E};
    std::string filler;
    for (int p = 3; p < 16; ++p) filler += (p % 2 == 0) ? "   " : "  ";
    EXPECT_EQ(Hexa(three, 3), "000000   2445 4e" + filler + "\t$EN\n");

    unsigned char row[18];
    for (int i = 0; i < 18; ++i) row[i] = static_cast<unsigned char>(i == 3 ? '\\' : 'a' + i);
    row[4] = 0x01;
    std::string out = Hexa(row, 18);
    std::string first = out.substr(0, out.find('\t'));
    EXPECT_EQ(first, "000000   6162 635c 0166 6768 696a 6b6c 6d6e 6f70 ");
    size_t spaces = 0;
    for (char c : first.substr(9)) spaces += c == ' ';
    EXPECT_EQ(spaces, 8u);
    EXPECT_EQ(out.substr(out.find('\t'), 19), "\tabc\\\\.fghijklmnop\n");
    EXPECT_EQ(out.substr(out.find('\n') + 1, 9), "000010   ");

    EXPECT_EQ(Hexa(nullptr, 4), "DEBUG_HEXA : NULL\n");
    EXPECT_EQ(Hexa(three, 0), "");
    g_DebugLevel = 0;
    EXPECT_EQ(Hexa(three, 3), "");
}

TEST(DebugLog, LongTextIsCutAndLevelThreeWritesTheDailyFile)
{
    Level level(1);
    std::string big(30000, 'x');
    testing::internal::CaptureStderr();
    DebugPrint("%s", big.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr().size(), 20999u);

    TestFolder tf;
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(tf.path.c_str()), 0);
    g_DebugLevel = 3;
    testing::internal::CaptureStderr();
    DebugPrint("hello %d", 5);
    DebugPrint("\n");
    testing::internal::GetCapturedStderr();
    time_t now = time(nullptr);
    struct tm lt;
    localtime_r(&now, &lt);
    char name[64];
    std::snprintf(name, sizeof name, "LOG/log%d%d%d.txt", lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday);
    std::vector<char> file = ReadBytes(tf / name);
    std::string text(file.begin(), file.end());
    ASSERT_EQ(chdir(old), 0);
    EXPECT_NE(text.find("] hello 5["), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.front(), '[');
}

TEST(Folders, ProgramFolderFromArgumentsOrEnvironment)
{
    char a0[] = "VelmoraView", a1[] = "--home", a2[] = "/srv/zolt7/", a3[] = "-x";
    char* argv[] = {a0, a1, a2, a3, nullptr};
    int argc = 4;
    setenv("ZOLT7_HOME", "/from/env", 1);
    InitProgramFolder(argc, argv);
    EXPECT_EQ(ProgramFolder(), "/srv/zolt7");  // the argument wins, trailing slash dropped
    EXPECT_EQ(argc, 2);                        // and is taken out of the arguments
    EXPECT_STREQ(argv[1], "-x");
    EXPECT_EQ(argv[2], nullptr);
    EXPECT_EQ(ConfigPath(), "/srv/zolt7/conf/config.conf");
    EXPECT_EQ(MeasureLogPath(), "/srv/zolt7/data/measurelog.dat");

    char* argv2[] = {a0, nullptr};
    int argc2 = 1;
    InitProgramFolder(argc2, argv2);
    EXPECT_EQ(ProgramFolder(), "/from/env");
    unsetenv("ZOLT7_HOME");
    InitProgramFolder(argc2, argv2);
    EXPECT_EQ(JpegDir().substr(JpegDir().size() - 10), "/data/jpeg");
    EXPECT_NE(ProgramFolder(), "/from/env");
}

// Texts from files reach workbooks: anything that is not valid UTF-8 (or is a
// character XML cannot hold) must become U+FFFD, valid text must pass whole.
TEST(Texts, WorkbookTextRepairsUtf8AndKeepsLiteralEscapes)
{
    const std::string bad = "\xEF\xBF\xBD";
    struct Case {
        std::string in, out;
    } cases[] = {
        {"Kim \xED\x99\x8D \xF0\x9F\x98\x80", "Kim \xED\x99\x8D \xF0\x9F\x98\x80"},  // 3- and 4-byte
        {"a\xFF" "b", "a" + bad + "b"},
        {"\xC0\xAF", bad + bad},                  // overlong "/"
        {"\xED\xA0\x80", bad + bad + bad},        // surrogate
        {"\xF4\x90\x80\x80", bad + bad + bad + bad},  // above U+10FFFF
        {"\xEF\xBF\xBF", bad + bad + bad},        // U+FFFF
        {"ab\xED\x99", "ab" + bad + bad},         // cut short at the end
        {"\xED\x99" "A", bad + bad + "A"},        // cut short before ASCII
        {"_x0041_ _xZZ41_ _x41_", "_x005F_x0041_ _xZZ41_ _x41_"},
    };
    for (const Case& c : cases) EXPECT_EQ(WorkbookText(c.in), c.out) << c.in;
    char field[4] = {'a', 'b', 'c', 'd'};  // no NUL: stops at the width
    EXPECT_EQ(WorkbookText(field), "abcd");
}
