#include "StoreUtil.h"

#include <gtest/gtest.h>

using namespace emtask;

TEST(Texts, DatesUnitsAndRows)
{
    const TestRecord r = Rec(5);  // 2024-03-07
    EXPECT_EQ(RecordDateText(r, 1, DateStyle::Report), "Mar-07-2024");
    EXPECT_EQ(RecordDateText(r, 9, DateStyle::Row), "07-Mar-2024");
    EXPECT_EQ(RecordDateText(r, 9, DateStyle::Workbook), "");
    EXPECT_EQ(ClockText(2026, 12, 5, 18, 30, 0, 2), "05-Dec-2026 18:30:00");
    EXPECT_STREQ(UnitText("BB"), "-");
    // Settings from a file: out-of-range values fall back.
    for (int bad : {-1, 19, -2147483647 - 1}) EXPECT_EQ(RowsPerSheet(bad), 1000) << bad;
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
}

// Anything not valid UTF-8 or not allowed in XML becomes U+FFFD; valid text passes whole.
TEST(Texts, WorkbookTextRepairsUtf8AndKeepsLiteralEscapes)
{
    const std::string bad = "\xEF\xBF\xBD";
    struct Case {
        std::string in, out;
    } cases[] = {
        {"Kim \xED\x99\x8D \xF0\x9F\x98\x80", "Kim \xED\x99\x8D \xF0\x9F\x98\x80"},  // 3- and 4-byte
        {"a\xFF"
         "b",
         "a" + bad + "b"},
        {"\xC0\xAF", bad + bad},                      // overlong "/"
        {"\xED\xA0\x80", bad + bad + bad},            // surrogate
        {"\xF4\x90\x80\x80", bad + bad + bad + bad},  // above U+10FFFF
        {"\xEF\xBF\xBF", bad + bad + bad},            // U+FFFF
        {"ab\xED\x99", "ab" + bad + bad},             // cut short at the end
        {"\xED\x99"
         "A",
         bad + bad + "A"},  // cut short before ASCII
        {"_x0041_ _xZZ41_ _x41_", "_x005F_x0041_ _xZZ41_ _x41_"},
    };
    for (const Case& c : cases) EXPECT_EQ(WorkbookText(c.in), c.out) << c.in;
    char field[4] = {'a', 'b', 'c', 'd'};  // no NUL: stops at the width
    EXPECT_EQ(WorkbookText(field), "abcd");
}
