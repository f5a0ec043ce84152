// Rules of the register: where a new user goes, which entries are refused
// and in which order, the entry limits.
#include "users/UserRegister.h"

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
    emtask::GetManager()->m_BusInfo.totaluser = 0;  // a stale count hides no one
    std::snprintf(Table()[7].cusid, 64, "Ghost");   // a text in a free slot is no user
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
        {2, "B200", "Kim", CheckResult::DuplicateName},  // the first matching slot decides
        {2, "User ID", "Park", CheckResult::DuplicateId},  // the workbook header is taken
        {2, "C300", "User ID", CheckResult::DuplicateName},
        {1, "Late", "x", CheckResult::DuplicateId},
        {1, "Ghost", "x", CheckResult::Ok},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckUser(Table(), c.slot, c.id, c.name), c.want) << c.id << "/" << c.name;
}

TEST(UserRegister, EntryFitsCharactersAndFieldBytes)
{
    EXPECT_EQ(users::FitEntry(QString(20, 'x'), users::kIdMaxChars).size(), 15);
    // A pasted tab or line break never reaches the register.
    EXPECT_EQ(users::FitEntry(QStringLiteral("a\tb\nc\x7F"), users::kIdMaxChars), QStringLiteral("abc"));
    // 30 Hangul syllables are 90 bytes in UTF-8: only 21 fit with the NUL.
    const QString fit = users::FitEntry(QString(30, QChar(0xD64D)), users::kNameMaxChars);
    EXPECT_EQ(fit.size(), 21);
    // A character outside the basic plane is never split.
    QString emoji;
    for (int i = 0; i < 20; ++i) emoji += QString::fromUcs4(U"\U0001F600");
    const QString e = users::FitEntry(emoji, users::kNameMaxChars);
    EXPECT_EQ(e.size(), 30);  // 15 characters of 4 bytes = 60 bytes
    emtask::BusUserInfo u{};
    users::StoreTexts(u, e.toStdString(), fit.toStdString());
    EXPECT_EQ(users::FieldQString(u.cusid), e);
    EXPECT_EQ(users::FieldQString(u.uname), fit);
}
