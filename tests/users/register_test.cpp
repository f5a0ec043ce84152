// Rules of the register: where a new user goes, which entries are refused
// and in which order.
#include "users/UserRegister.h"
#include "StoreImage.h"

#include "UserTestUtil.h"

#include <gtest/gtest.h>

using namespace usertest;
using users::CheckResult;
using users::CheckUser;

TEST(UserRegister, NewUserTakesLowestFreeSlotUpToTheLastNeverSlotZero)
{
    TestFolder home;
    EXPECT_EQ(users::FirstFreeSlot(Table()), 1);
    for (int s = 1; s < emtask::kMaxUsers - 1; ++s) Table()[s].uid = s;
    Table()[3].uid = 0;
    EXPECT_EQ(users::FirstFreeSlot(Table()), 3);
    Table()[3].uid = 3;
    EXPECT_EQ(users::FirstFreeSlot(Table()), 9999);
    Table()[9999].uid = 9999;
    EXPECT_EQ(users::FirstFreeSlot(Table()), -1);
    EXPECT_EQ(users::CountUsers(Table()), 9999);
}

TEST(UserRegister, IdsAndNamesShareOneNameSpace)
{
    TestFolder home;
    PutUser(1, "A100", "Kim");
    PutUser(4, "B200", "Lee");
    PutUser(9000, "Late", "User");
    emtask::StoreImage::Settings(*emtask::GetManager()).totaluser = 0;  // a stale count hides no one
    std::snprintf(Table()[7].cusid, 64, "Ghost");                       // a text in a free slot is no user
    const struct {
        int slot;
        const char *id, *name;
        CheckResult want;
    } cases[] = {
        {2, "Kim", "Park", CheckResult::DuplicateId},  // an ID equal to another's name
        {2, "C300", "B200", CheckResult::DuplicateName},
        {2, "A100", "x", CheckResult::DuplicateId},
        {2, "a100", "kim", CheckResult::Ok},  // exact: case matters, a prefix is not equal
        {2, "A10", "Ki", CheckResult::Ok},
        {1, "A100", "Kim", CheckResult::Ok},  // its own slot is skipped
        {2, "Choi", "Choi", CheckResult::Ok},
        {2, "B200", "Kim", CheckResult::DuplicateName},    // the first matching slot decides
        {2, "User ID", "Park", CheckResult::DuplicateId},  // the workbook header is taken
        {2, "C300", "User ID", CheckResult::DuplicateName},
        {1, "Late", "x", CheckResult::DuplicateId},
        {1, "Ghost", "x", CheckResult::Ok},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckUser(Table(), c.slot, c.id, c.name), c.want) << c.id << "/" << c.name;
}

TEST(UserRegister, TotalCountsTheSlotsInUseThroughEveryChange)
{
    TestFolder home;
    emtask::UserRegister& reg = emtask::GetManager()->Users();
    const int32_t& total = emtask::GetManager()->Settings().Get().totaluser;
    emtask::BusUserInfo u{};
    u.uid = 77;  // whatever the caller left in it, a user's uid is its slot
    ASSERT_TRUE(reg.Put(2, u));
    EXPECT_EQ(reg.At(2).uid, 2);
    ASSERT_TRUE(reg.Put(2, u));  // a change of a user is not a new one
    EXPECT_FALSE(reg.Put(0, u));
    EXPECT_FALSE(reg.Put(emtask::kMaxUsers, u));
    EXPECT_EQ(reg.At(-1).uid, 0);
    EXPECT_EQ(reg.At(emtask::kMaxUsers).uid, 0);
    reg.Erase(5);  // a free slot
    EXPECT_EQ(total, 1);
    reg.Put(9999, u);
    reg.Erase(2);
    EXPECT_EQ(total, 1);
    EXPECT_EQ(reg.At(2).uid, 0);
    reg.Put(3, u);
    reg.Clear();
    EXPECT_EQ(total, 0);
    EXPECT_EQ(users::CountUsers(reg.Slots()), 0);
}
