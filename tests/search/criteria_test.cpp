#include "EMTaskData.h"
#include "TextUtil.h"
#include "search/SearchCriteria.h"

#include <gtest/gtest.h>

using namespace emtask;
using namespace search;

namespace {
CriteriaInput Valid(uint32_t flags)
{
    return {flags, "1", "999999", {2024, 3, 7, 12, 0, 0}, {2024, 3, 7, 12, 0, 0}, "Kim", "0.000", "0.500"};
}
}  // namespace

TEST(Criteria, ChecksInTheirOrder)
{
    const uint32_t all = SEARCH_TESTNO | SEARCH_DATE | SEARCH_IDNAME | SEARCH_NORMAL | SEARCH_ERROR;
    const struct {
        uint32_t flags;
        void (*edit)(CriteriaInput&);
        std::string want;
    } cases[] = {
        {all, [](CriteriaInput&) {}, ""},
        {all, [](CriteriaInput& in) { in.startNo = "500", in.endNo = "100"; }, kStartNoError},
        {all, [](CriteriaInput& in) { in.startNo = "0"; }, kInputNoError},
        // A later failure does not hide the first.
        {all, [](CriteriaInput& in) { in.startNo = "abc", in.idName.clear(); }, kInputNoError},
        // An unticked box: its values are not looked at.
        {all & ~SEARCH_TESTNO, [](CriteriaInput& in) { in.startNo = "abc", in.idName.clear(); },
         kIdNameError},
        {all, [](CriteriaInput& in) { in.dateEnd.hour = 11; }, kDateError},  // same day, earlier time
        {SEARCH_NORMAL, [](CriteriaInput& in) { in.normalStart = in.normalEnd = "0.500"; }, ""},
        {SEARCH_NORMAL, [](CriteriaInput& in) { in.normalStart = ""; }, kNormalError},
        {SEARCH_NORMAL, [](CriteriaInput& in) { in.normalStart = "abc"; }, ""},  // not a number: 0
        // 0.1 > 0, never a NaN that compares false.
        {SEARCH_NORMAL, [](CriteriaInput& in) { in.normalStart = "0.1", in.normalEnd = "nan"; },
         kNormalError},
    };
    for (const auto& c : cases) {
        CriteriaInput in = Valid(c.flags);
        c.edit(in);
        const char* got = CheckCriteria(in);
        EXPECT_EQ(got ? got : "", c.want) << in.startNo << " " << in.normalStart << " " << in.normalEnd;
    }
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
    EXPECT_EQ(FieldText(info.startno) + "-" + FieldText(info.endno), "10-20");
    EXPECT_EQ(FieldText(info.dateEnd).substr(0, 8), "20240309");
    EXPECT_EQ(info.normalend, 0.030f);
    EXPECT_EQ(FieldText(info.errortext), "Flow");
}
