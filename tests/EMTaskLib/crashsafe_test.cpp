// Saves interrupted at any moment leave the old or the new image, never a
// torn one, and never lose a record that a finished save stored.
#include "KillLoop.h"
#include "StoreUtil.h"

#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace emtask;

namespace {
// Checks that the files in `dir` are a consistent image; returns the count.
int CheckImage(const std::string& dir)
{
    EMTaskData* m = GetManager();
    m->Reset();
    SetProgramFolder(dir);
    m->StartUp();  // completes or discards what an interruption left
    EXPECT_EQ(FileSize(dir + "/data/measurelog.dat"), sizeof(DeviceData));
    int n = m->m_DeviceData.datacnt;
    EXPECT_EQ(m->m_DeviceData.initflag, kInitFlag);
    for (int i = 0; i < n; ++i) {
        if (!RecordIs(i, i)) {
            ADD_FAILURE() << "record " << i << " of " << n << " is damaged";
            return -1;
        }
    }
    EXPECT_TRUE(IsZero(&m->m_DeviceData.m_TestData[n], sizeof(TestRecord) * 16)) << n;
    // Settings are saved after the log: the counter lags by at most one.
    int cnt = m->m_BusInfo.recordcnt;
    EXPECT_TRUE(cnt == n || cnt == n - 1) << "counter " << cnt << " log " << n;
    EXPECT_EQ(FileSize(dir + "/conf/config.conf"), 4348u);
    return n;
}

// Child: store records one after another; report each finished save.
[[noreturn]] void SaveLoop(const std::string& dir, int reportFd)
{
    EMTaskData* m = GetManager();
    m->Reset();
    SetProgramFolder(dir);
    m->StartUp();  // repairs a counter left behind the log
    for (;;) {
        int i = m->m_DeviceData.datacnt;
        if (m->AppendRecord(Rec(i)) < 0) _exit(3);
        if (m->SaveResultData() != 1 || m->SaveSetting() != 1) _exit(2);
        int done = i + 1;
        if (write(reportFd, &done, sizeof done) != sizeof done) _exit(4);
    }
}
}  // namespace

TEST(CrashSafety, KilledAtRandomMomentsKeepsEveryFinishedRecord)
{
    TestFolder tf;
    GetManager()->StartUp();
    KillAtRandomMoments(
        30, 20261206, 80000, [&](int reportFd) { SaveLoop(tf.path, reportFd); },
        [&](int) { return CheckImage(tf.path); });
}

TEST(CrashSafety, EachStageOfAnInterruptedSave)
{
    // Old image after a stop at stages 1 and 4, new after 2 and 3 (a patch).
    for (int stage : {1, 2, 3, 4}) {
        TestFolder tf;
        EMTaskData* m = GetManager();
        m->StartUp();
        m->AppendRecord(Rec(0));
        ASSERT_EQ(m->SaveResultData(), 1);
        ASSERT_EQ(m->SaveSetting(), 1);

        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            static int stopAt;
            stopAt = stage;
            g_FileImageStageHook = [](int s) {
                if (s == stopAt) _exit(42);
            };
            m->AppendRecord(Rec(1));
            if (stage == 4) m->ForgetLogFileState();  // take the whole-file path
            m->SaveResultData();
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 42) << "stage " << stage << " not reached";

        int n = CheckImage(tf.path);
        if (stage == 1 || stage == 4)
            EXPECT_EQ(n, 1) << "stage " << stage;
        else
            EXPECT_EQ(n, 2) << "stage " << stage;
        EXPECT_FALSE(std::filesystem::exists(tf / "data/measurelog.dat.jnl"));
        EXPECT_FALSE(std::filesystem::exists(tf / "data/measurelog.dat.tmp"));
    }
}
