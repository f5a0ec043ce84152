// Rules of the register: where a new user goes, which entries are refused
// and in which order, the time stamp, the entry limits, the user file.
#include "users/UserRegister.h"

#include "UserTestUtil.h"

#include <gtest/gtest.h>

using namespace usertest;
using users::CheckResult;
using users::CheckUser;

TEST(UserRegister, NewUserTakesLowestFreeSlotNeverSlotZero)
{
    TestFolder home;
    EXPECT_EQ(users::FirstFreeSlot(Table()), 1);
    for (int s = 1; s <= 5; ++s) PutUser(s, "id" + std::to_string(s), "n" + std::to_string(s));
    std::memset(&Table()[3], 0, sizeof(emtask::BusUserInfo));
    EXPECT_EQ(users::FirstFreeSlot(Table()), 3);
    for (int s = 1; s < emtask::kMaxUsers; ++s) Table()[s].uid = s;
    EXPECT_EQ(users::FirstFreeSlot(Table()), -1);  // slot 0 is free but never given
    EXPECT_EQ(users::CountUsers(Table()), 9999);
}

TEST(UserRegister, IdsAndNamesShareOneNameSpace)
{
    TestFolder home;
    PutUser(1, "A100", "Kim");
    PutUser(4, "B200", "Lee");
    // An ID equal to another user's name, a name equal to another user's ID.
    EXPECT_EQ(CheckUser(Table(), 2, "Kim", "Park"), CheckResult::DuplicateId);
    EXPECT_EQ(CheckUser(Table(), 2, "C300", "B200"), CheckResult::DuplicateName);
    EXPECT_EQ(CheckUser(Table(), 2, "A100", "x"), CheckResult::DuplicateId);
    // Comparison is exact: case matters, and a prefix is not equal.
    EXPECT_EQ(CheckUser(Table(), 2, "a100", "kim"), CheckResult::Ok);
    EXPECT_EQ(CheckUser(Table(), 2, "A10", "Ki"), CheckResult::Ok);
    // The user's own slot is skipped, and its own ID may equal its own name.
    EXPECT_EQ(CheckUser(Table(), 1, "A100", "Kim"), CheckResult::Ok);
    EXPECT_EQ(CheckUser(Table(), 2, "Choi", "Choi"), CheckResult::Ok);
    // The first slot that matches decides: slot 1 matches the name before
    // slot 4 matches the ID.
    EXPECT_EQ(CheckUser(Table(), 2, "B200", "Kim"), CheckResult::DuplicateName);
    // The workbook header is taken, so that an exported register reads back.
    EXPECT_EQ(CheckUser(Table(), 2, "User ID", "Park"), CheckResult::DuplicateId);
    EXPECT_EQ(CheckUser(Table(), 2, "C300", "User ID"), CheckResult::DuplicateName);
}

TEST(UserRegister, DuplicateFoundEvenWhenTheCountIsWrong)
{
    TestFolder home;
    PutUser(9000, "Late", "User");
    emtask::GetManager()->m_BusInfo.totaluser = 0;  // stale count
    // A stale text in a free slot is not a user.
    std::snprintf(Table()[7].cusid, 64, "Ghost");
    EXPECT_EQ(CheckUser(Table(), 1, "Late", "x"), CheckResult::DuplicateId);
    EXPECT_EQ(CheckUser(Table(), 1, "Ghost", "x"), CheckResult::Ok);
}

TEST(UserRegister, StampWritesZeroPaddedDigits)
{
    emtask::BusUserInfo u{};
    struct tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;  // March
    t.tm_mday = 7;
    t.tm_hour = 4;
    t.tm_min = 5;
    t.tm_sec = 9;
    users::StampUser(u, t);
    EXPECT_EQ(std::string(u.year, 14), "20240307040509");
    EXPECT_EQ(u.reserved[0], 0);
    EXPECT_EQ(u.uid, 0);
}

TEST(UserRegister, EntryFitsCharactersAndFieldBytes)
{
    EXPECT_EQ(users::FitEntry(QString(20, 'x'), users::kIdMaxChars).size(), 15);
    // A pasted tab or line break never reaches the register.
    EXPECT_EQ(users::FitEntry(QStringLiteral("a\tb\nc\x7F"), users::kIdMaxChars), QStringLiteral("abc"));
    // 30 Hangul syllables are 90 bytes in UTF-8: only 21 fit with the NUL.
    const QString hangul(30, QChar(0xD64D));
    const QString fit = users::FitEntry(hangul, users::kNameMaxChars);
    EXPECT_EQ(fit.size(), 21);
    EXPECT_LE(fit.toUtf8().size(), 63);
    // A character outside the basic plane is never split.
    QString emoji;
    for (int i = 0; i < 20; ++i) emoji += QString::fromUcs4(U"\U0001F600");
    const QString e = users::FitEntry(emoji, users::kNameMaxChars);
    EXPECT_EQ(e.size(), 30);  // 15 characters of 4 bytes = 60 bytes
    EXPECT_TRUE(e.at(e.size() - 1).isLowSurrogate());
    // Stored and read back unchanged.
    emtask::BusUserInfo u{};
    users::StoreTexts(u, e.toStdString(), fit.toStdString());
    EXPECT_EQ(users::FieldQString(u.cusid), e);
    EXPECT_EQ(users::FieldQString(u.uname), fit);
}

TEST(UserRegister, ShortUserFileLoadsTheSlotsItCovers)
{
    TestFolder home;
    emtask::BusUserInfo img[3]{};
    img[1].uid = 1;
    std::snprintf(img[1].cusid, 64, "A1");
    img[2].uid = 2;
    std::snprintf(img[2].cusid, 64, "A2");
    std::filesystem::create_directories(emtask::ConfDir());
    WriteAll(emtask::UserInfoPath(), std::string(reinterpret_cast<const char*>(img), sizeof img - 100));
    std::memset(Table(), 0, sizeof(emtask::BusUserInfo) * emtask::kMaxUsers);
    ASSERT_EQ(emtask::GetManager()->LoadUserInfo(emtask::UserInfoPath().c_str()), 1);
    EXPECT_EQ(emtask::GetManager()->m_BusInfo.totaluser, 2);
    EXPECT_STREQ(Table()[2].cusid, "A2");
    EXPECT_EQ(Table()[3].uid, 0);
}
