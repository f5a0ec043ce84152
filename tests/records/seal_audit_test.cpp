#include "BuildPaths.h"
#include "SealAudit.h"
#include "FileImage.h"
#include "SealFixture.h"

#include <cstdlib>
#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <functional>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>

using emtask::AuditKind;
using emtask::GetManager;

namespace {

using Faults = std::set<std::pair<AuditKind, int32_t>>;

Faults FaultsOf(const emtask::AuditResult& r)
{
    Faults f;
    for (const emtask::AuditFinding& x : r.findings)
        if (!emtask::IsAuditNote(x.kind)) f.insert({x.kind, x.testno});
    return f;
}

emtask::AuditResult Audit(unsigned threads = 0, int32_t acceptUnsealedBefore = 0)
{
    emtask::AuditOptions o;
    o.threads = threads;
    o.acceptUnsealedBefore = acceptUnsealedBefore;
    return emtask::AuditLog(emtask::AuditPathsOf(emtask::ProgramFolder()), o);
}

std::string PhotoOf(int32_t testno)
{
    return measurement::TestPhotoPath(GetManager()->m_DeviceData.m_TestData[testno - 1]);
}

// Writes the photograph of `testno` again with one pixel changed.
void RepaintPixel(int32_t testno, int x, int y)
{
    cv::Mat m = MakePhoto(testno);
    m.at<cv::Vec3b>(y, x) = cv::Vec3b(0, 0, 255);
    measurement::SaveTestPhoto(m, GetManager()->m_DeviceData.m_TestData[testno - 1]);
}

void RemoveLedgerEntry(size_t position)
{
    std::vector<char> bytes = ReadBytes(emtask::SealLedgerPath());
    const auto at = bytes.begin() + std::ptrdiff_t(position * emtask::kSealEntrySize);
    bytes.erase(at, at + emtask::kSealEntrySize);
    WriteBytes(emtask::SealLedgerPath(), bytes.data(), bytes.size());
}

struct Case {
    const char* what;
    int legacy;  // as MakeSealedLog takes it
    std::function<void()> alter;
    Faults expect;
};

}  // namespace

// Twelve tests, photographs on the even ones; each case alters a fresh copy.
TEST(SealAudit, EachAlterationIsReportedAsWhatItIs)
{
    const AuditKind changed = AuditKind::RecordChanged, missing = AuditKind::RecordMissing;
    const AuditKind hash = AuditKind::PhotoAlteredHash, crc = AuditKind::PhotoAlteredCrc;
    const std::vector<Case> cases = {
        // A torn last entry is a note, not a finding.
        {"torn tail", 0, [] { std::ofstream(emtask::SealLedgerPath(), std::ios::app) << "torn"; }, {}},
        {"result", 0, [] { EditRecord(2, [](auto& r) { r.result[4]++; }); }, {{changed, 3}}},
        // The photograph's name follows the date: the record finding alone,
        // and the next test is now dated a day before it.
        {"date",
         0,
         [] { EditRecord(3, [](auto& r) { r.m_Tdd[1]++; }); },
         {{changed, 4}, {AuditKind::DateBackwards, 5}}},
        {"unsampled pixel", 0, [] { RepaintPixel(2, 20, 20); }, {{hash, 2}}},
        // Once its hash failed, a photograph is not decoded for its check value.
        {"sampled pixel", 0, [] { RepaintPixel(6, 50, 50); }, {{hash, 6}}},
        {"swapped",
         0,
         [] {
             std::filesystem::rename(PhotoOf(8), PhotoOf(8) + ".x");
             std::filesystem::rename(PhotoOf(10), PhotoOf(8));
             std::filesystem::rename(PhotoOf(8) + ".x", PhotoOf(10));
         },
         {{AuditKind::PhotoSwapped, 8}, {AuditKind::PhotoSwapped, 10}}},
        {"photo deleted", 0, [] { std::filesystem::remove(PhotoOf(12)); }, {{AuditKind::PhotoMissing, 12}}},
        {"slot zeroed", 0, [] { EditRecord(6, [](auto& r) { r = {}; }); }, {{missing, 7}}},
        {"count lowered",
         0,
         [] {
             std::fstream f(emtask::MeasureLogPath(), std::ios::in | std::ios::out | std::ios::binary);
             const int32_t cnt = 10;
             f.seekp(offsetof(emtask::DeviceData, datacnt));
             f.write(reinterpret_cast<const char*>(&cnt), sizeof cnt);
         },
         {{missing, 11}, {missing, 12}}},
        {"entry removed",
         0,
         [] { RemoveLedgerEntry(7); },
         {{AuditKind::ChainBreak, 9}, {AuditKind::EntryMissing, 8}}},
        {"entry twice", 0, [] { SealSlot(4); }, {{AuditKind::DuplicateEntry, 5}}},
        // Accepted unsealed, only the check value counts: a changed result goes unseen.
        {"no ledger",
         -1,
         [] {
             RepaintPixel(4, 50, 50);
             EditRecord(2, [](auto& r) { r.result[4]++; });
         },
         {{crc, 4}}},
        {"legacy part",
         6,
         [] {
             RepaintPixel(4, 50, 50);
             std::filesystem::remove(PhotoOf(2));
         },
         {{crc, 4}, {AuditKind::PhotoMissing, 2}}},
        // Where no photograph was stored: one too large to decode, and a FIFO.
        {"unreadable",
         6,
         [] {
             std::vector<uchar> huge;
             cv::imencode(".jpg", MakePhoto(3), huge);
             ClaimJpegSize(huge, 30000, 30000);
             WriteBytes(PhotoOf(3), huge.data(), huge.size());
             mkfifo(PhotoOf(9).c_str(), 0644);
         },
         {{crc, 3}, {AuditKind::PhotoMissing, 9}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordsHome home;
        MakeSealedLog(12, c.legacy);
        c.alter();
        const emtask::AuditResult r = Audit(0, c.legacy < 0 ? 13 : c.legacy + 1);
        ASSERT_EQ(r.status, emtask::AuditResult::Done) << r.error;
        EXPECT_EQ(FaultsOf(r), c.expect);
        EXPECT_EQ(r.Clean(), c.expect.empty());
        EXPECT_EQ(r.records, std::string(c.what) == "count lowered" ? 10 : 12);
        EXPECT_EQ(r.notSealed, c.legacy < 0 ? 12 : c.legacy);
        if (c.expect.empty()) {
            EXPECT_EQ(r.verified, 12);
        }
    }
}

// Enough records for several workers: their shares are all merged, in order.
TEST(SealAudit, WorkersShareTheLogAndCancelStops)
{
    RecordsHome home;
    MakeSealedLog(1500, 0, false);
    for (int32_t slot : {1499, 0, 700}) EditRecord(slot, [](auto& r) { r.name[1] ^= 1; });
    const emtask::AuditResult r = Audit(4);
    std::vector<int32_t> order;
    for (const emtask::AuditFinding& f : r.findings) order.push_back(f.testno);
    EXPECT_EQ(order, (std::vector<int32_t>{1, 701, 1500}));
    EXPECT_EQ(r.verified, 1497);

    std::atomic<bool> cancel{true};
    emtask::AuditOptions o;
    o.cancel = &cancel;
    const emtask::AuditResult c = emtask::AuditLog(emtask::AuditPathsOf(emtask::ProgramFolder()), o);
    EXPECT_EQ(c.status, emtask::AuditResult::Cancelled);
    EXPECT_TRUE(c.findings.empty());
}

// A save cut short with its journal in place: the audit sees the log as the
// next start-up will, and leaves the journal alone.
TEST(SealAudit, PendingJournalIsLaidOverAndKept)
{
    RecordsHome home;
    MakeSealedLog(4);
    static emtask::TestRecord changed;
    changed = GetManager()->m_DeviceData.m_TestData[1];
    changed.result[0] = '8';
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        emtask::g_FileImageStageHook = [](int s) {
            if (s == 2) _exit(42);
        };
        const emtask::Patch patch{emtask::kDeviceDataHeaderSize + sizeof changed, &changed, sizeof changed};
        emtask::PatchFile(emtask::MeasureLogPath(), {patch}, sizeof(emtask::DeviceData));
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 42);
    const std::string journal = emtask::MeasureLogPath() + ".jnl";
    ASSERT_TRUE(std::filesystem::exists(journal));
    EXPECT_EQ(FaultsOf(Audit()), (Faults{{AuditKind::RecordChanged, 2}}));
    EXPECT_TRUE(std::filesystem::exists(journal));
}

// What the next start-up could not read, the audit cannot vouch for either.
TEST(SealAudit, UnreadableJournalOrLinkToNothingIsNotAnEmptyLog)
{
    const std::vector<std::function<void(const std::string&)>> hide = {
        [](const std::string& log) { std::filesystem::create_directory(log + ".jnl"); },
        [](const std::string& log) {
            std::filesystem::remove(log);
            std::filesystem::create_symlink(log + ".gone", log);
        },
    };
    for (size_t i = 0; i < hide.size(); ++i) {
        RecordsHome home;
        MakeSealedLog(2);
        hide[i](emtask::MeasureLogPath());
        EXPECT_EQ(Audit().status, emtask::AuditResult::LogUnreadable) << i;
    }
}

namespace {
// The exit status of the program's audit of the current folder.
int RunAudit()
{
    const std::string cmd = BuildBin("VelmoraView") + " --audit --home " + emtask::ProgramFolder() +
                            " >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

TEST(SealAudit, CommandExitStatusAndTable)
{
    RecordsHome home;
    MakeSealedLog(6);
    EXPECT_EQ(RunAudit(), 0);
    EXPECT_TRUE(std::regex_search(emtask::AuditTable(Audit()), std::regex("\nverified +6\n")));

    EditRecord(1, [](auto& r) { r.result[0] = '9'; });
    EXPECT_EQ(RunAudit(), 1);
    const std::string table = emtask::AuditTable(Audit());
    EXPECT_TRUE(std::regex_search(table, std::regex("\n +2  record changed"))) << table;

    std::filesystem::remove(emtask::SealLedgerPath());
    std::filesystem::create_directory(emtask::SealLedgerPath());
    EXPECT_EQ(RunAudit(), 2);
}
