// Saves interrupted at any moment leave the old or the new image, never a
// torn one, and never lose a record that a finished save stored.
#include "KillLoop.h"
#include "StoreImage.h"
#include "StoreUtil.h"

#include <gtest/gtest.h>
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
    int n = emtask::StoreImage::Log(*m).datacnt;
    EXPECT_EQ(emtask::StoreImage::Log(*m).initflag, kInitFlag);
    for (int i = 0; i < n; ++i) {
        if (!RecordIs(i, i)) {
            ADD_FAILURE() << "record " << i << " of " << n << " is damaged";
            return -1;
        }
    }
    EXPECT_TRUE(IsZero(&emtask::StoreImage::Log(*m).m_TestData[n], sizeof(TestRecord) * 16)) << n;
    // Settings are saved after the log: the counter lags by at most one.
    int cnt = emtask::StoreImage::Settings(*m).recordcnt;
    EXPECT_TRUE(cnt == n || cnt == n - 1) << "counter " << cnt << " log " << n;
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
        int i = emtask::StoreImage::Log(*m).datacnt;
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
