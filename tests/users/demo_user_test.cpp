// The demo's first user: written into an empty program folder only, never
// over a register that holds users.
#include "BuildPaths.h"
#include "StoreImage.h"
#include "UserTestUtil.h"

#include <gtest/gtest.h>

using namespace usertest;

namespace {

int RunTool(const std::string& home, const std::string& id, const std::string& name)
{
    const std::string cmd = "'" + BuildBin("zolt7-demo-user") + "' --home '" + home + "' '" + id + "' '" +
                            name + "' >/dev/null 2>&1";
    const int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

}  // namespace

TEST(DemoUser, EmptyFolderGetsOneUserAndAFilledRegisterIsLeftAlone)
{
    TestFolder home;
    ASSERT_EQ(RunTool(home.path, "demo", "Demo User"), 0);
    const std::string file = ReadAll(emtask::UserInfoPath());
    ASSERT_EQ(file.size(), 1480000u);
    ASSERT_EQ(emtask::GetManager()->LoadUserInfo(emtask::UserInfoPath().c_str()), 1);
    EXPECT_EQ(emtask::StoreImage::Settings(*emtask::GetManager()).totaluser, 1);
    EXPECT_EQ(std::string(Table()[1].cusid) + "/" + Table()[1].uname, "demo/Demo User");

    // Run again, and over a real register: nothing changes.
    ASSERT_EQ(RunTool(home.path, "other", "Other"), 0);
    EXPECT_EQ(ReadAll(emtask::UserInfoPath()), file);
    std::memset(Table(), 0, sizeof(emtask::BusUserInfo) * emtask::kMaxUsers);
    PutUser(5, "real", "Person");
    emtask::GetManager()->SaveUserInfo();
    const std::string real = ReadAll(emtask::UserInfoPath());
    ASSERT_EQ(RunTool(home.path, "demo", "Demo User"), 0);
    EXPECT_EQ(ReadAll(emtask::UserInfoPath()), real);
}
