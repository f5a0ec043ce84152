#include "EMTaskData.h"
#include "SearchTestUtil.h"
#include "TextUtil.h"
#include "search/SearchCriteria.h"

#include <gtest/gtest.h>

using namespace emtask;
using namespace search;

namespace {
CriteriaInput Valid(uint32_t flags)
{
    CriteriaInput in;
    in.flags = flags;
    in.startNo = "1";
    in.endNo = "999999";
    in.dateStart = {2024, 3, 7, 12, 0, 0};
    in.dateEnd = {2024, 3, 7, 12, 0, 0};
    in.idName = "Kim";
    in.normalStart = "0.000";
    in.normalEnd = "0.500";
    return in;
}

std::string Check(const CriteriaInput& in)
{
    const char* t = CheckCriteria(in);
    return t ? t : "";
}
}  // namespace

TEST(Criteria, ChecksInTheirOrder)
{
    const uint32_t all = SEARCH_TESTNO | SEARCH_DATE | SEARCH_IDNAME | SEARCH_NORMAL | SEARCH_ERROR;
    EXPECT_EQ(Check(Valid(all)), "");

    CriteriaInput in = Valid(all);
    in.startNo = "500";
    in.endNo = "100";
    EXPECT_EQ(Check(in), kStartNoError);
    in.startNo = "0";
    EXPECT_EQ(Check(in), kInputNoError);
    in.startNo = "abc";
    EXPECT_EQ(Check(in), kInputNoError);
    in.idName.clear();  // a later failure does not hide the first
    EXPECT_EQ(Check(in), kInputNoError);
    in.flags &= ~SEARCH_TESTNO;  // unticked: its edits are not looked at
    EXPECT_EQ(Check(in), kIdNameError);

    in = Valid(all);
    in.dateEnd.hour = 11;  // same day, earlier time
    EXPECT_EQ(Check(in), kDateError);
    in.flags &= ~SEARCH_DATE;
    EXPECT_EQ(Check(in), "");

    in = Valid(SEARCH_NORMAL);
    in.normalStart = in.normalEnd = "0.500";
    EXPECT_EQ(Check(in), "");
    in.normalStart = "0.6";
    in.normalEnd = "0.5";
    EXPECT_EQ(Check(in), kNormalError);
    in.normalStart = "";
    EXPECT_EQ(Check(in), kNormalError);
    in.normalStart = "abc";  // not a number: 0
    EXPECT_EQ(Check(in), "");
    in.normalEnd = "nan";
    in.normalStart = "0.1";
    EXPECT_EQ(Check(in), kNormalError);  // 0.1 > 0, never a NaN that compares false
}

TEST(Criteria, StoringAndReopening)
{
    SearchInfo info{};
    CriteriaInput in = Valid(SEARCH_TESTNO | SEARCH_DATE | SEARCH_NORMAL);
    in.startNo = "10";
    in.endNo = "20";
    in.dateEnd = {2024, 3, 9, 8, 30, 0};
    in.normalStart = "abc";
    in.normalEnd = "0.030";
    StoreCriteria(info, in);
    EXPECT_EQ(FieldText(info.startno), "10");
    EXPECT_EQ(FieldText(info.dateStart), "20240307120000");
    EXPECT_EQ(FieldText(info.dateEnd), "20240309083000");
    EXPECT_EQ(info.normalstart, 0.0f);
    EXPECT_EQ(info.normalend, 0.030f);
    EXPECT_EQ(FieldText(info.errortext), "");

    // Reopened later: the stored dates with the time of the moment, numbers
    // and values as stored; only the error box ticked keeps them all.
    const PickerTime now{2026, 12, 7, 1, 2, 3};
    CriteriaInput shown = ShownValues(info, now);
    EXPECT_EQ(shown.dateEnd.Text(), "20240309010203");
    shown.flags = SEARCH_ERROR;
    StoreCriteria(info, shown);
    EXPECT_EQ(FieldText(info.startno), "10");
    EXPECT_EQ(FieldText(info.endno), "20");
    EXPECT_EQ(FieldText(info.dateStart).substr(0, 8), "20240307");
    EXPECT_EQ(FieldText(info.dateEnd).substr(0, 8), "20240309");
    EXPECT_EQ(info.normalend, 0.030f);
    EXPECT_EQ(FieldText(info.errortext), "Flow");

    // An ID or name longer than its field is cut at a character boundary.
    in = Valid(SEARCH_IDNAME);
    in.idName = std::string(62, 'a') + "가";
    StoreCriteria(info, in);
    EXPECT_EQ(FieldText(info.idname), std::string(62, 'a'));
}
