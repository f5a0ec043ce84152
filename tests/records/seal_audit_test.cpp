#include "BuildPaths.h"
#include "StoreImage.h"
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
#include <optional>
#include <stdexcept>
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
    return measurement::TestPhotoPath(emtask::StoreImage::Log(*GetManager()).m_TestData[testno - 1]);
}

// Writes the photograph of `testno` again with one pixel changed.
void RepaintPixel(int32_t testno, int x, int y)
{
    cv::Mat m = MakePhoto(testno);
    m.at<cv::Vec3b>(y, x) = cv::Vec3b(0, 0, 255);
    measurement::SaveTestPhoto(m, emtask::StoreImage::Log(*GetManager()).m_TestData[testno - 1]);
}

void RemoveLedgerEntry(size_t position)
{
    std::vector<char> bytes = ReadBytes(emtask::SealLedgerPath());
    const auto at = bytes.begin() + std::ptrdiff_t(position * emtask::kSealEntrySize);
    bytes.erase(at, at + emtask::kSealEntrySize);
    WriteBytes(emtask::SealLedgerPath(), bytes.data(), bytes.size());
}

void SetLogCount(int32_t count)
{
    std::fstream f(emtask::MeasureLogPath(), std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(offsetof(emtask::DeviceData, datacnt));
    f.write(reinterpret_cast<const char*>(&count), sizeof count);
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
        {"count lowered", 0, [] { SetLogCount(10); }, {{missing, 11}, {missing, 12}}},
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
    changed = emtask::StoreImage::Log(*GetManager()).m_TestData[1];
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
int RunAudit(const std::string& args = "")
{
    const std::string cmd = BuildBin("VelmoraView") + " --audit " + args + " --home " +
                            emtask::ProgramFolder() + " >/dev/null 2>&1";
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

    // What the files hold reaches neither the terminal nor the CSV raw.
    EditRecord(3, [](auto& r) { std::strcpy(r.name, "A\x1b[2J\xc2\x9b\\x1b\n"); });
    const emtask::AuditResult r = Audit();
    for (const std::string& out : {emtask::AuditTable(r), emtask::AuditCsv(r)}) {
        EXPECT_EQ(out.find_first_of("\x1b\x7f"), std::string::npos) << out;
        EXPECT_EQ(out.find("\xc2\x9b"), std::string::npos) << out;
        EXPECT_NE(out.find("A\\x1b[2J\\u009b\\\\x1b\\x0a"), std::string::npos) << out;
    }

    std::filesystem::remove(emtask::SealLedgerPath());
    EXPECT_EQ(RunAudit(), 1) << "six tests without a ledger";
    EXPECT_EQ(RunAudit("--accept-unsealed-before 7"), 0);
    EXPECT_EQ(RunAudit("--accept-unsealed-before 6"), 1);
    EXPECT_EQ(RunAudit("--accept-unsealed-before -1"), 2);
    std::filesystem::create_directory(emtask::SealLedgerPath());
    EXPECT_EQ(RunAudit(), 2);
}

namespace {
// The attacker's 25 lines: the ledger (either form) rewritten with every
// chain value recomputed, after `edit` changed or dropped its entries. No
// secret is needed.
void Rechain(const std::function<void(std::vector<emtask::SealEntry>&)>& edit)
{
    emtask::SealLedger l;
    ASSERT_TRUE(emtask::ReadSealLedger(emtask::SealLedgerPath(), l));
    edit(l.entries);
    const size_t size = emtask::SealEntrySize(l.keyed);
    std::vector<unsigned char> bytes(l.entries.size() * size);
    emtask::Digest prev{};
    for (size_t i = 0; i < l.entries.size(); ++i) {
        unsigned char* at = bytes.data() + i * size;
        l.entries[i].chain = {};
        emtask::EncodeSealEntry(l.entries[i], at);
        prev = l.entries[i].chain = emtask::ChainAfter(prev, at);
        emtask::EncodeSealEntry(l.entries[i], at);
    }
    WriteBytes(emtask::SealLedgerPath(), bytes.data(), bytes.size());
}

// The program's output and exit status for `args` on the current folder.
std::pair<int, std::string> RunSeal(const std::string& args)
{
    const std::string out = emtask::ProgramFolder() + "/out.txt";
    const std::string cmd = "cd " + emtask::ProgramFolder() + " && " + BuildBin("VelmoraView") +
                            " --home . " + args + " >" + out + " 2>&1";
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
        Rechain([&](auto& e) { e[size_t(slot) + 1].record = emtask::RecordDigest(readRecord(slot)); });
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
        Rechain([&](auto& e) {
            e.erase(e.begin() + 4);
            for (size_t i = 4; i < e.size(); ++i) {
                --e[i].testno;
                e[i].record = emtask::RecordDigest(readRecord(int32_t(i) - 1));
            }
        });
    };
    const std::vector<KeyedCase> cases = {
        {"untouched", [](auto&) {}, "--audit --key-sheet sheet.txt --checkpoint cp.txt", 0,
         "everything verifies"},
        {"recomputed chain, with the sheet", [&](auto&) { edit(2, [](auto& r) { r.result[4]++; }); },
         "--audit --key-sheet sheet.txt", 1, "       3  MAC wrong"},
        {"recomputed chain, without it", [&](auto&) { edit(2, [](auto& r) { r.result[4]++; }); }, "--audit",
         0, "MACs not checked: no key sheet"},
        {"middle test removed, with the sheet", [&](auto&) { dropFourth(); }, "--audit --key-sheet sheet.txt",
         1, "       4  MAC wrong"},
        {"middle test removed, the instrument's count", [&](auto&) { dropFourth(); }, "--audit", 0,
         "       4  instrument count gap"},
        {"newest test cut",
         [&](auto&) {
             EditRecord(7, [](auto& r) { r = {}; });
             setCount(7);
             Rechain([](auto& e) { e.pop_back(); });
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
        ASSERT_TRUE(emtask::BeginKeyedLedger(emtask::SealLedgerPath(), 0, folder + "/sheet.txt", folder,
                                             sheet, aside, why))
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

namespace {

// `n` tests stored as the program stores them, a minute apart, photographs on the even ones.
void StoreTests(int n)
{
    for (int i = 0; i < n; ++i) {
        struct tm t { };
        t.tm_year = 125, t.tm_mon = 5, t.tm_mday = 14, t.tm_hour = 12, t.tm_min = i;
        const int32_t testno = GetManager()->NextTestNo();
        const auto s = measurement::FlowDataSave(*emtask::GetManager(), false, "0.031",
                                                 testno % 2 ? cv::Mat() : MakePhoto(testno), t);
        ASSERT_EQ(s.sealSaved, 1) << s.sealError;
    }
}

// A record of the log file moved to another slot under that slot's test
// number, its photograph renamed to match: the renumbering of a deleted test.
void MoveRecord(int32_t from, int32_t to)
{
    emtask::TestRecord r = emtask::StoreImage::Log(*GetManager()).m_TestData[from];
    const std::string photo = measurement::TestPhotoPath(r);
    r.testno = to + 1;
    EditRecord(to, [&](emtask::TestRecord& x) { x = r; });
    if (std::filesystem::exists(photo)) std::filesystem::rename(photo, measurement::TestPhotoPath(r));
}

struct Attack {
    const char* what;
    std::function<void()> attack;
    int exitCode;                      // through the command's own exit rule
    std::optional<AuditKind> finding;  // one finding it must hold
    int32_t testno = 0;
    int32_t acceptBefore = 0;
    std::function<void(emtask::AuditOptions&)> seam = nullptr;
};

}  // namespace

// Each attack on a program folder of eight tests stored through the store:
// what the audit concludes and one finding it names.
TEST(SealAudit, AttacksOnAStoredFolder)
{
    const AuditKind changed = AuditKind::RecordChanged, unsealed = AuditKind::Unsealed;
    auto removeLedgerAndChange = [] {
        std::filesystem::remove(emtask::SealLedgerPath());
        EditRecord(2, [](auto& r) { r.result[4]++; });
    };
    const std::vector<Attack> attacks = {
        {"nothing", [] {}, 0, std::nullopt},
        {"ledger deleted, a result changed", removeLedgerAndChange, 1, unsealed, 1},
        // Accepted by the auditor, the records count by their check values only.
        {"ledger deleted, every test accepted unsealed", removeLedgerAndChange, 0, AuditKind::NoLedger, 0, 9},
        {"start entry rewritten above 0, chain recomputed",
         [] { Rechain([](auto& es) { es[0].testno = 4; }); }, 1, unsealed, 1},
        {"newest test deleted, its entry kept",
         [] {
             std::filesystem::remove(PhotoOf(8));
             EditRecord(7, [](auto& r) { r = {}; });
             SetLogCount(7);
         },
         1, AuditKind::RecordMissing, 8},
        {"middle test deleted, the rest renumbered",
         [] {
             std::filesystem::remove(PhotoOf(4));
             for (int32_t slot = 4; slot < 8; ++slot) MoveRecord(slot, slot - 1);
             EditRecord(7, [](auto& r) { r = {}; });
             SetLogCount(7);
         },
         1, changed, 4},
        // Named for a stored test (without a photograph), but not as its record names it.
        {"photograph of no record",
         [] { std::filesystem::copy_file(PhotoOf(2), emtask::JpegDir() + "/00000003-20250614120000.jpg"); },
         1, AuditKind::PhotoOrphan, 3},
        // On tests accepted unsealed, only their order can tell a changed date.
        {"a date set back",
         [] {
             std::filesystem::remove(emtask::SealLedgerPath());
             EditRecord(4, [](auto& r) { r.m_Tdd[1]--; });
         },
         1, AuditKind::DateBackwards, 5, 9},
        // Between the log's save and the ledger's append, or cut short there:
        // the next start-up seals it late and says so.
        {"newest entry cut", [] { RemoveLedgerEntry(8); }, 0, AuditKind::StoreInProgress, 8},
        {"a ledger too large to read",
         [] {
             std::filesystem::resize_file(emtask::SealLedgerPath(),
                                          (emtask::kMaxRecords + 2) * emtask::kSealEntrySize);
         },
         2, std::nullopt},
        {"an exception in a worker", [] {}, 2, AuditKind::AuditFailed, 0, 0,
         [](emtask::AuditOptions& o) {
             o.beforeSlot = [](int32_t slot) {
                 if (slot == 3) throw std::runtime_error("injected");
             };
         }},
        // Still unseen without a key the writer does not hold: the key sheet closes this.
        {"a result changed, its entry and the chain recomputed",
         [] {
             EditRecord(2, [](auto& r) { r.result[4]++; });
             const std::vector<char> log = ReadBytes(emtask::MeasureLogPath());
             Rechain([&](auto& es) {
                 es[3].record = emtask::Sha256(log.data() + emtask::kDeviceDataHeaderSize + 2 * 276, 276);
             });
         },
         0, std::nullopt},
        // Still unseen without an exported checkpoint: checkpoints close this.
        {"the whole folder rolled back",
         [] {
             const std::string data = emtask::DataDir(), copy = emtask::ProgramFolder() + "/older";
             std::filesystem::copy(data, copy, std::filesystem::copy_options::recursive);
             StoreTests(2);
             std::filesystem::remove_all(data);
             std::filesystem::rename(copy, data);
         },
         0, std::nullopt},
    };
    for (const Attack& a : attacks) {
        SCOPED_TRACE(a.what);
        RecordsHome home;
        GetManager()->StartUp();
        StoreTests(8);
        a.attack();
        emtask::AuditOptions o;
        o.acceptUnsealedBefore = a.acceptBefore;
        if (a.seam) a.seam(o);
        const emtask::AuditResult r = emtask::AuditLog(emtask::AuditPathsOf(emtask::ProgramFolder()), o);
        EXPECT_EQ(emtask::AuditExitCode(r), a.exitCode) << r.error << "\n" << emtask::AuditTable(r);
        if (r.status == emtask::AuditResult::LedgerUnreadable) {
            EXPECT_NE(r.error.find("too large: 1000002 entries"), std::string::npos) << r.error;
        }
        if (a.finding) {
            EXPECT_TRUE(std::any_of(r.findings.begin(), r.findings.end(), [&](const emtask::AuditFinding& f) {
                return f.kind == *a.finding && f.testno == a.testno;
            })) << emtask::AuditTable(r);
        }
    }
    // The largest ledger a log can need is still read, every chunk of it.
    RecordsHome home;
    std::filesystem::create_directories(emtask::DataDir());
    std::ofstream(emtask::SealLedgerPath()).close();
    std::filesystem::resize_file(emtask::SealLedgerPath(),
                                 (emtask::kMaxRecords + 1) * emtask::kSealEntrySize);
    emtask::SealLedger l;
    EXPECT_TRUE(emtask::ReadSealLedger(emtask::SealLedgerPath(), l));
    EXPECT_EQ(l.malformed.size(), size_t(emtask::kMaxRecords) + 1);
}
