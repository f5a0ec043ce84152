// Every stored test is sealed in the same save, and the ledger survives a
// failed or interrupted store: it always verifies up to the last stored test.
#include "FileImage.h"
#include "StoreImage.h"
#include "SealLedger.h"
#include "KillLoop.h"
#include "MeasureFixture.h"
#include "measurement/TestStore.h"
#include "reports/ReportPage.h"

#include <cstddef>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace emtask;

namespace {

struct tm Noon(int second) { return MakeTm(2025, 6, 14, 12, second / 60 % 60, second % 60); }

cv::Mat Photo(int i) { return cv::Mat(240, 320, CV_8UC3, cv::Scalar(i * 7 % 255, 90, 200)); }

// The ledger of the program folder checked against the log in memory: a
// clean chain, a start entry for the records before it, then one entry per
// later record, matching it and its photograph file. Returns the entries.
size_t ExpectSealedLog(int sealedFrom)
{
    SealLedger l;
    EXPECT_TRUE(ReadSealLedger(SealLedgerPath(), l));
    EXPECT_TRUE(l.breaks.empty() && l.malformed.empty());
    EXPECT_EQ(l.tornBytes, 0u) << "a torn entry is cut off at start-up";
    const DeviceData& d = emtask::StoreImage::Log(*GetManager());
    const int n = RecordCount(d);
    EXPECT_EQ(l.entries.size(), size_t(n - sealedFrom + 1));
    if (l.entries.empty()) return 0;
    EXPECT_EQ(l.entries[0].flags, kSealStart);
    EXPECT_EQ(l.entries[0].testno, sealedFrom);
    for (size_t k = 1; k < l.entries.size(); ++k) {
        const SealEntry& e = l.entries[k];
        const TestRecord& rec = d.m_TestData[sealedFrom + k - 1];
        EXPECT_EQ(e.testno, rec.testno);
        EXPECT_EQ(e.record, RecordDigest(rec)) << "test " << e.testno;
        Digest photo{};
        const bool hasPhoto = Sha256File(measurement::TestPhotoPath(rec), photo);
        EXPECT_EQ(hasPhoto, (e.flags & kSealPhoto) != 0) << "test " << e.testno;
        if (hasPhoto) {
            EXPECT_EQ(e.photo, photo) << "test " << e.testno;
        }
    }
    return l.entries.size();
}

void Restart(const std::string& dir)
{
    GetManager()->Reset();
    SetProgramFolder(dir);
    GetManager()->StartUp();
}

}  // namespace

TEST(Seal, StoresAreSealedAndALedgerBeginsBesideAnOlderLog)
{
    TestFolder tf;
    // A log written before sealing existed: two records, no ledger.
    GetManager()->StartUp();
    ASSERT_EQ(std::remove(SealLedgerPath().c_str()), 0);
    for (int i = 0; i < 2; ++i)
        measurement::FlowDataSave(*emtask::GetManager(), false, "0.010", Photo(i), Noon(i));
    ASSERT_EQ(std::remove(SealLedgerPath().c_str()), 0);
    Restart(tf.path);
    EXPECT_EQ(ExpectSealedLog(2), 1u);
    ASSERT_EQ(GetManager()->StartupProblems().size(), 1u) << "the operator is told where sealing began";
    EXPECT_NE(GetManager()->StartupProblems()[0].find("sealing begins with test 3"), std::string::npos);

    auto a = measurement::FlowDataSave(*emtask::GetManager(), false, "0.045", Photo(5), Noon(5));
    auto b = measurement::FlowDataSave(*emtask::GetManager(), true, "", cv::Mat(), Noon(6));
    EXPECT_EQ(a.sealSaved, 1);
    EXPECT_EQ(b.sealSaved, 1);
    EXPECT_EQ(ExpectSealedLog(2), 3u);
    EXPECT_EQ(measurement::StoreProblemText(a, "0.045", true), "");

    // The report's code is the one of the record's entry, and only while the
    // record is as it was sealed.
    SealEntry e;
    TestRecord& rec = emtask::StoreImage::Log(*GetManager()).m_TestData[2];
    ASSERT_TRUE(FindSealEntry(SealLedgerPath(), 3, e));
    SealEntry head;
    ASSERT_TRUE(LastSealEntry(SealLedgerPath(), head));
    EXPECT_EQ(reports::CheckReportSeal(rec, measurement::TestPhotoPath(rec)).Text(),
              "Seal 3:" + SealCode(e) + "\nLog " + std::to_string(head.testno) + ":" + SealCode(head));
    // Any byte of the record counts, reserved ones included.
    for (size_t at : {size_t(0), offsetof(TestRecord, result), sizeof(TestRecord) - 1}) {
        reinterpret_cast<unsigned char*>(&rec)[at] ^= 1;
        EXPECT_EQ(reports::CheckReportSeal(rec, measurement::TestPhotoPath(rec)).Text(), "")
            << "a changed record prints no seal: byte " << at;
        reinterpret_cast<unsigned char*>(&rec)[at] ^= 1;
    }
    EXPECT_FALSE(FindSealEntry(SealLedgerPath(), 2, e)) << "test 2 came before the ledger";
    EXPECT_FALSE(FindSealEntry(SealLedgerPath(), 5, e));

    // A log made anew (its file gone) does not inherit the old entries.
    ASSERT_EQ(std::remove(MeasureLogPath().c_str()), 0);
    Restart(tf.path);
    EXPECT_EQ(ExpectSealedLog(0), 1u);
    bool asideKept = false;
    for (const auto& f : std::filesystem::directory_iterator(DataDir()))
        asideKept |= f.path().filename().string().rfind("seal.log.", 0) == 0;
    EXPECT_TRUE(asideKept);
}

TEST(Seal, ALedgerThatCannotBeWrittenIsSaidAndLosesNoEntry)
{
    TestFolder tf;
    GetManager()->StartUp();
    measurement::FlowDataSave(*emtask::GetManager(), false, "0.020", Photo(1), Noon(1));
    for (unsigned op : {iofault::kOpenWrite, iofault::kWrite, iofault::kSync}) {
        iofault::Arm(1, ENOSPC, op, false, "seal.log");
        auto s = measurement::FlowDataSave(*emtask::GetManager(), false, "0.031", Photo(2), Noon(2));
        iofault::Disarm();
        EXPECT_EQ(s.logSaved, 1);
        EXPECT_EQ(s.sealSaved, -1) << op;
        const std::string text = measurement::StoreProblemText(s, "0.031", true);
        EXPECT_NE(text.find("The result was saved, but not sealed: "), std::string::npos) << text;
        EXPECT_NE(text.find("No space left on device"), std::string::npos) << text;
        SealLedger l;
        ASSERT_TRUE(ReadSealLedger(SealLedgerPath(), l));
        EXPECT_TRUE(l.breaks.empty());
        EXPECT_EQ(l.tornBytes, 0u) << "a failed append leaves no part of its entry";
        EXPECT_EQ(l.entries.size(), 2u);
    }
    // A torn entry (an append cut short) is cut off, and the next store
    // chains on from the last whole entry.
    {
        std::ofstream torn(SealLedgerPath(), std::ios::binary | std::ios::app);
        torn << std::string(50, 'x');
    }
    EXPECT_EQ(measurement::FlowDataSave(*emtask::GetManager(), false, "0.040", Photo(3), Noon(3)).sealSaved,
              1);
    SealLedger l;
    ASSERT_TRUE(ReadSealLedger(SealLedgerPath(), l));
    EXPECT_TRUE(l.breaks.empty() && l.malformed.empty());
    EXPECT_EQ(l.tornBytes, 0u);
    EXPECT_EQ(l.entries.back().testno, 5);
}

TEST(Seal, KilledAtRandomMomentsTheLedgerVerifiesUpToTheLastStoredTest)
{
    TestFolder tf;
    GetManager()->StartUp();
    KillAtRandomMoments(
        25, 20261207, 120000,
        [&](int reportFd) {
            Restart(tf.path);  // seals a record whose store was cut short
            for (int i = 0;; ++i) {
                auto s = measurement::FlowDataSave(*emtask::GetManager(), false, "0.050",
                                                   i % 3 ? Photo(i) : cv::Mat(), Noon(i));
                if (s.logSaved != 1 || s.sealSaved != 1 || s.settingSaved != 1) _exit(2);
                const int stored = s.slot + 1;
                if (write(reportFd, &stored, sizeof stored) != sizeof stored) _exit(4);
            }
        },
        [&](int) {
            Restart(tf.path);
            const int n = RecordCount(emtask::StoreImage::Log(*GetManager()));
            EXPECT_EQ(ExpectSealedLog(0), size_t(n + 1)) << n << " records";
            return n;
        });
}
