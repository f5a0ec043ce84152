#include "BuildPaths.h"
#include "SealAudit.h"
#include "SealCheckpoint.h"
#include "FileImage.h"
#include "SealFixture.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
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

emtask::AuditResult Audit(unsigned threads = 0)
{
    emtask::AuditOptions o;
    o.threads = threads;
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
        // The photograph's name follows the date: the record finding alone.
        {"date", 0, [] { EditRecord(3, [](auto& r) { r.m_Tdd[1]++; }); }, {{changed, 4}}},
        {"unsampled pixel", 0, [] { RepaintPixel(2, 20, 20); }, {{hash, 2}}},
        {"sampled pixel", 0, [] { RepaintPixel(6, 50, 50); }, {{hash, 6}, {crc, 6}}},
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
        // Before sealing only the check value counts: a changed result goes unseen.
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
        const emtask::AuditResult r = Audit();
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
    for (const emtask::AuditFinding& f : r.findings)
        if (!emtask::IsAuditNote(f.kind)) order.push_back(f.testno);
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

namespace {
// Rewrites a keyed ledger as someone without the key would: entries edited or
// dropped, test numbers shifted and every chain value recomputed.
void RechainLedger(const std::function<void(std::vector<emtask::SealEntry>&)>& edit)
{
    const std::vector<char> bytes = ReadBytes(emtask::SealLedgerPath());
    std::vector<emtask::SealEntry> entries(bytes.size() / emtask::kKeyedEntrySize);
    for (size_t i = 0; i < entries.size(); ++i)
        ASSERT_TRUE(emtask::DecodeSealEntry(
            reinterpret_cast<const unsigned char*>(bytes.data()) + i * emtask::kKeyedEntrySize, entries[i], true));
    edit(entries);
    std::vector<unsigned char> out(entries.size() * emtask::kKeyedEntrySize);
    emtask::Digest prev{};
    for (size_t i = 0; i < entries.size(); ++i) {
        unsigned char* p = out.data() + i * emtask::kKeyedEntrySize;
        entries[i].chain = {};
        emtask::EncodeSealEntry(entries[i], p);
        entries[i].chain = prev = emtask::ChainAfter(prev, p);
        emtask::EncodeSealEntry(entries[i], p);
    }
    WriteBytes(emtask::SealLedgerPath(), out.data(), out.size());
}

// The program's output and exit status for `args` on the current folder.
std::pair<int, std::string> RunSeal(const std::string& args)
{
    const std::string out = emtask::ProgramFolder() + "/out.txt";
    const std::string cmd = "cd " + emtask::ProgramFolder() + " && " + BuildBin("VelmoraView") + " --home . " + args + " >" + out + " 2>&1";
    const int status = std::system(cmd.c_str());
    const std::vector<char> text = ReadBytes(out);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(text.begin(), text.end())};
}

struct KeyedCase {
    const char* what;
    std::function<void(const std::string& folder)> attack;
    const char* args;
    int status;
    const char* expect;  // a line of the output
};
}  // namespace

// A ledger begun with a key sheet, eight tests stored through the store, a
// checkpoint exported after the sixth; each attack on a fresh copy.
TEST(SealAudit, KeySheetAndCheckpointsCatchWhatTheChainAlonePasses)
{
    auto readRecord = [](int32_t slot) {
        emtask::TestRecord r;
        std::ifstream f(emtask::MeasureLogPath(), std::ios::binary);
        f.seekg(std::streamoff(emtask::kDeviceDataHeaderSize + size_t(slot) * sizeof r));
        f.read(reinterpret_cast<char*>(&r), sizeof r);
        return r;
    };
    auto setCount = [](int32_t cnt) {
        std::fstream f(emtask::MeasureLogPath(), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(offsetof(emtask::DeviceData, datacnt));
        f.write(reinterpret_cast<const char*>(&cnt), sizeof cnt);
    };
    auto edit = [&](int32_t slot, const std::function<void(emtask::TestRecord&)>& change) {
        EditRecord(slot, change);
        RechainLedger([&](auto& e) { e[size_t(slot) + 1].record = emtask::RecordDigest(readRecord(slot)); });
    };
    // Test 4 taken out of the log and the ledger, the later ones renumbered.
    auto dropFourth = [&] {
        for (int32_t slot = 3; slot < 7; ++slot) {
            emtask::TestRecord next = readRecord(slot + 1);
            next.testno = slot + 1;
            EditRecord(slot, [&](auto& r) { r = next; });
        }
        EditRecord(7, [](auto& r) { r = {}; });
        setCount(7);
        RechainLedger([&](auto& e) {
            e.erase(e.begin() + 4);
            for (size_t i = 4; i < e.size(); ++i) {
                --e[i].testno;
                e[i].record = emtask::RecordDigest(readRecord(int32_t(i) - 1));
            }
        });
    };
    const std::vector<KeyedCase> cases = {
        {"untouched", [](auto&) {}, "--audit --key-sheet sheet.txt --checkpoint cp.txt", 0, "everything verifies"},
        {"recomputed chain, with the sheet",
         [&](auto&) { edit(2, [](auto& r) { r.result[4]++; }); },
         "--audit --key-sheet sheet.txt",
         1,
         "       3  MAC wrong"},
        {"recomputed chain, without it",
         [&](auto&) { edit(2, [](auto& r) { r.result[4]++; }); },
         "--audit",
         0,
         "MACs not checked: no key sheet"},
        {"middle test removed, with the sheet", [&](auto&) { dropFourth(); }, "--audit --key-sheet sheet.txt", 1,
         "       4  MAC wrong"},
        {"middle test removed, the instrument's count", [&](auto&) { dropFourth(); }, "--audit", 0,
         "       4  instrument count gap"},
        {"newest test cut",
         [&](auto&) {
             EditRecord(7, [](auto& r) { r = {}; });
             setCount(7);
             RechainLedger([](auto& e) { e.pop_back(); });
         },
         "--audit --key-sheet sheet.txt", 1, "entries were cut from its end"},
        {"ledger without MACs in its place",
         [](auto&) {
             std::filesystem::remove(emtask::SealLedgerPath());
             for (int32_t slot = 0; slot < 8; ++slot) SealSlot(slot);
         },
         "--audit --key-sheet sheet.txt", 1, "this ledger's entries carry none"},
        {"folder rolled back",
         [](const std::string& folder) {
             std::filesystem::remove_all(folder + "/data");
             std::filesystem::rename(folder + "/older", folder + "/data");
         },
         "--audit --key-sheet sheet.txt --checkpoint cp.txt", 1, "checkpoint not extended"},
        {"code right", [](auto&) {}, "--verify-code 6 CODE6", 0, "matches"},
        {"code wrong", [](auto&) {}, "--verify-code 5 CODE6", 1, "does NOT match"},
        {"code of no entry", [](auto&) {}, "--verify-code 9 CODE6", 1, "no entry"},
        {"code, ledger unreadable",
         [](auto&) {
             std::filesystem::remove(emtask::SealLedgerPath());
             std::filesystem::create_directory(emtask::SealLedgerPath());
         },
         "--verify-code 6 CODE6", 2, "Cannot read"},
        {"sheet exists", [](auto&) {}, "--begin-seal --key-sheet sheet.txt", 2, "never written over"},
    };
    for (const KeyedCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordsHome home;
        const std::string folder = emtask::ProgramFolder();
        emtask::SealKeySheet sheet;
        std::string aside, why;
        emtask::MakeDirectory(emtask::DataDir());
        ASSERT_TRUE(emtask::BeginKeyedLedger(emtask::SealLedgerPath(), 0, folder + "/sheet.txt", folder, sheet,
                                             aside, why))
            << why;
        MakeSealedLog(6, 0, false);
        std::filesystem::copy(folder + "/data", folder + "/older", std::filesystem::copy_options::recursive);
        MakeSealedLog(2, 0, false);
        emtask::SealCheckpoint cp;
        ASSERT_TRUE(emtask::ExportCheckpoint(emtask::SealLedgerPath(), folder + "/cp.txt", cp, why)) << why;
        emtask::SealEntry sixth;
        ASSERT_TRUE(emtask::FindSealEntry(emtask::SealLedgerPath(), 6, sixth));
        const std::vector<char> before = ReadBytes(emtask::SealLedgerPath());
        c.attack(folder);
        std::string args = c.args;
        if (const size_t at = args.find("CODE6"); at != std::string::npos)
            args.replace(at, 5, "'" + emtask::SealCode(sixth).insert(4, "- ") + "'");
        const auto [status, out] = RunSeal(args);
        EXPECT_EQ(status, c.status) << out;
        EXPECT_NE(out.find(c.expect), std::string::npos) << out;
        if (std::string(c.args).find("--begin-seal") != std::string::npos) {
            EXPECT_EQ(ReadBytes(emtask::SealLedgerPath()), before);
        }
    }
}
