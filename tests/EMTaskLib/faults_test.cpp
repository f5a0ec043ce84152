// Failed writes, full disks, unreadable and crafted files: the files load as
// the old or the new image, never as anything between.
#include "PhotoCheck.h"
#include "StoreImage.h"
#include "StoreUtil.h"

#include <cerrno>
#include <functional>
#include <optional>
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/file.h>

using namespace emtask;

namespace {
EMTaskData* M() { return GetManager(); }

void SaveOld()
{
    M()->StartUp();
    emtask::StoreImage::Settings(*M()).dateorder = 1;
    CopyField(emtask::StoreImage::Settings(*M()).reporttitle, "OLD");
    ASSERT_EQ(M()->AppendRecord(Rec(0)), 0);
    ASSERT_EQ(M()->SaveResultData(), 1);
    ASSERT_EQ(M()->SealRecord(0, nullptr), 1);  // as a store does: start-up has none to seal late
    ASSERT_EQ(M()->SaveSetting(), 1);
}

enum class Seen { Old, New, Between };

Seen LogSeen()
{
    const DeviceData& d = emtask::StoreImage::Log(*M());
    if (d.initflag != kInitFlag || !RecordIs(0, 0)) return Seen::Between;
    if (d.datacnt == 1 && IsZero(&d.m_TestData[1], sizeof(TestRecord))) return Seen::Old;
    if (d.datacnt == 2 && RecordIs(1, 1)) return Seen::New;
    return Seen::Between;
}

Seen SettingsSeen()
{
    const BusInfo& b = emtask::StoreImage::Settings(*M());
    if (b.dateorder == 1 && FieldText(b.reporttitle) == "OLD") return Seen::Old;
    if (b.dateorder == 0 && FieldText(b.reporttitle) == "NEW") return Seen::New;
    return Seen::Between;  // defaults: the file was lost
}

struct Save {
    const char* name;
    std::function<void()> prepare;  // old image on disk, new one in memory
    std::function<int()> run;
    std::function<Seen()> seen;
};

// Leaves a committed journal that could not be applied: its first write into
// the log tore the header.
void LeavePendingJournal()
{
    SaveOld();
    M()->AppendRecord(Rec(1));
    iofault::Arm(1, ENOSPC, iofault::kWrite, false, "measurelog.dat");
    ASSERT_EQ(M()->SaveResultData(), 1);  // stored for good in the journal
    iofault::Disarm();
    ASSERT_TRUE(std::filesystem::exists(MeasureLogPath() + ".jnl"));
}

const Save kSaves[] = {
    {"log, patched through the journal",
     [] {
         SaveOld();
         M()->AppendRecord(Rec(1));
     },
     [] { return M()->SaveResultData(); }, LogSeen},
    {"log, written whole",
     [] {
         SaveOld();
         M()->AppendRecord(Rec(1));
         emtask::StoreImage::ForgetFile(*M());
     },
     [] { return M()->SaveResultData(); }, LogSeen},
    {"settings, written whole",
     [] {
         SaveOld();
         emtask::StoreImage::Settings(*M()).dateorder = 0;
         CopyField(emtask::StoreImage::Settings(*M()).reporttitle, "NEW");
     },
     [] { return M()->SaveSetting(); }, SettingsSeen},
    {"journal completed at start-up", LeavePendingJournal,
     [] {
         Restart();
         return 1;
     },
     LogSeen},
};
}  // namespace

TEST(Faults, EveryStepOfEverySaveFailingLeavesOldOrNew)
{
    for (const Save& save : kSaves) {
        // The store treats every errno alike: one fault that passes, one that stays.
        for (const bool sticky : {false, true}) {
            const int err = sticky ? ENOSPC : EIO;
            for (int n = 1;; ++n) {
                ASSERT_LT(n, 60) << save.name << ": the fault never stops firing";
                TestFolder tf;
                save.prepare();
                iofault::Arm(n, err, iofault::kWriteSide, sticky);
                const int rc = save.run();
                const bool fired = iofault::Fired();
                const std::string step = size_t(n) <= iofault::Trace().size() ? iofault::Trace()[n - 1] : "";
                iofault::Disarm();
                if (!fired) break;  // past the last step of this save
                const std::string where = std::string(save.name) +
                                          (sticky ? ", ENOSPC stays" : ", EIO once") + ", step " +
                                          std::to_string(n) + " (" + step + ")";
                Seen underFault = Seen::Old;
                if (sticky) {
                    // Started again while the disk is still failing.
                    M()->Reset();
                    iofault::Arm(1, err, iofault::kWriteSide, true);
                    M()->StartUp();
                    iofault::Disarm();
                    underFault = save.seen();
                    EXPECT_NE(underFault, Seen::Between) << where << ", restarted under the fault";
                }
                Restart();
                const Seen after = save.seen();
                EXPECT_NE(after, Seen::Between) << where;
                if (rc == 1) {
                    EXPECT_EQ(after, Seen::New) << where << ": reported saved";
                }
                if (sticky) {
                    EXPECT_EQ(underFault, after) << where << ": two different last states";
                }
                EXPECT_FALSE(std::filesystem::exists(MeasureLogPath() + ".jnl")) << where;
            }
        }
    }
}

TEST(Faults, EveryFileIsSyncedBeforeItIsRenamedIntoPlace)
{
    for (const Save& save : kSaves) {
        TestFolder tf;
        save.prepare();
        iofault::Arm(100000, EIO);  // never fires: only the trace is wanted
        save.run();
        const std::vector<std::string> trace = iofault::Trace();
        iofault::Disarm();
        for (size_t i = 0; i < trace.size(); ++i) {
            if (trace[i].rfind("rename ", 0) != 0) continue;
            const std::string synced = "sync " + trace[i].substr(7);
            EXPECT_NE(std::find(trace.begin(), trace.begin() + long(i), synced), trace.begin() + long(i))
                << save.name << ": " << trace[i] << " without a sync before it";
        }
    }
}

TEST(Faults, AJournalThatCannotBeCompletedStopsEveryLaterSave)
{
    // The file stays torn until its journal is written in: a whole new image
    // saved meanwhile would have the old journal applied over it later.
    TestFolder tf;
    LeavePendingJournal();
    iofault::Arm(1, EIO, iofault::kWrite, true, "measurelog.dat");
    M()->AppendRecord(Rec(2));
    emtask::StoreImage::ForgetFile(*M());
    EXPECT_EQ(M()->SaveResultData(), -1);
    EXPECT_NE(LastStoreError().find("measurelog.dat.jnl"), std::string::npos) << LastStoreError();
    iofault::Disarm();

    // Once the disk writes again, the next save completes both.
    ASSERT_EQ(M()->SaveResultData(), 1);
    EXPECT_FALSE(std::filesystem::exists(tf / "data/measurelog.dat.jnl"));
    Restart();
    EXPECT_EQ(emtask::StoreImage::Log(*M()).datacnt, 3);
    EXPECT_TRUE(RecordIs(1, 1));
    EXPECT_TRUE(RecordIs(2, 2));
}

TEST(Faults, AnIncompleteLogLoadsAsItsLastSaveAndIsNotWrittenOver)
{
    TestFolder tf;
    LeavePendingJournal();
    const std::string torn = Digest(tf / "data/measurelog.dat");
    M()->Reset();
    iofault::Arm(1, ENOSPC, iofault::kWriteSide, true);
    M()->StartUp();
    iofault::Disarm();
    EXPECT_EQ(LogSeen(), Seen::New);
    ASSERT_EQ(M()->StartupProblems().size(), 1u);
    EXPECT_NE(M()->StartupProblems()[0].find("could not be completed"), std::string::npos);
    EXPECT_NE(M()->StartupProblems()[0].find("No space left on device"), std::string::npos);

    // Read-only for the run, even once the disk would take the save.
    M()->AppendRecord(Rec(2));
    EXPECT_EQ(M()->SaveResultData(), -1);
    EXPECT_EQ(Digest(tf / "data/measurelog.dat"), torn);
    EXPECT_TRUE(std::filesystem::exists(tf / "data/measurelog.dat.jnl"));
}

namespace {
struct JPatch {
    uint64_t offset;
    uint32_t length;
    std::string bytes;
};

// A journal as the documented layout describes it, with a valid check sum
// whatever its fields say.
std::vector<char> Journal(uint64_t size, uint64_t count, const std::vector<JPatch>& patches,
                          const std::string& tail = "")
{
    std::vector<char> j(8);
    std::memcpy(j.data(), "ZOLTJNL1", 8);
    auto put = [&j](const void* p, size_t n) { j.insert(j.end(), (const char*)p, (const char*)p + n); };
    put(&size, 8);
    put(&count, 8);
    for (const JPatch& p : patches) {
        put(&p.offset, 8);
        put(&p.length, 4);
        put(p.bytes.data(), p.bytes.size());
    }
    put(tail.data(), tail.size());
    uint64_t sum = Fnv1a(j.data(), j.size());
    put(&sum, 8);
    return j;
}
}  // namespace

TEST(Faults, EveryFieldOfAJournalIsCheckedBeforeAnythingIsApplied)
{
    const uint64_t size = sizeof(DeviceData);
    const std::string rec(276, 'Z');
    const uint64_t slot5 = kDeviceDataHeaderSize + 5 * 276;
    const char* const outside = "lies outside the image";
    const char* const overlong = "has a length that runs past its end";
    struct Case {
        const char* what;
        std::vector<char> jnl;
        const char* why;  // the reason the start-up problem gives
    } cases[] = {
        {"check sum", Journal(size, 1, {{slot5, 276, rec}}), "check sum does not match"},
        {"size 0 (truncates the log)", Journal(0, 1, {{slot5, 276, rec}}), "an image of 0 bytes"},
        {"size of a larger image", Journal(size + 276, 1, {{slot5, 276, rec}}), "written for an image of"},
        {"count 2^64-1", Journal(size, UINT64_MAX, {{slot5, 276, rec}}), "patch count"},
        {"offset past the image", Journal(size, 1, {{size + 10, 276, rec}}), outside},
        {"patch over the end", Journal(size, 1, {{size - 100, 276, rec}}), outside},
        {"offset + length wraps", Journal(size, 1, {{UINT64_MAX - 10, 276, rec}}), outside},
        {"length 0", Journal(size, 2, {{slot5, 0, ""}, {slot5, 276, rec}}), overlong},
        {"length past the journal", Journal(size, 1, {{slot5, 300, rec}}), overlong},
        {"bytes after the last patch", Journal(size, 1, {{slot5, 276, rec}}, "x"), "after its last patch"},
    };
    cases[0].jnl.back() ^= 1;  // and a check sum that does not match
    for (const Case& c : cases) {
        TestFolder tf;
        SaveOld();
        const std::string before = Digest(tf / "data/measurelog.dat");
        WriteBytes(tf / "data/measurelog.dat.jnl", c.jnl.data(), c.jnl.size());
        Restart();
        EXPECT_EQ(Digest(tf / "data/measurelog.dat"), before) << c.what;
        EXPECT_FALSE(std::filesystem::exists(tf / "data/measurelog.dat.jnl")) << c.what;
        EXPECT_TRUE(std::filesystem::exists(tf / "data/measurelog.dat.jnl.bad")) << c.what;
        ASSERT_EQ(M()->StartupProblems().size(), 1u) << c.what;
        EXPECT_NE(M()->StartupProblems()[0].find("set aside"), std::string::npos) << c.what;
        EXPECT_NE(M()->StartupProblems()[0].find(c.why), std::string::npos) << M()->StartupProblems()[0];
        EXPECT_EQ(LogSeen(), Seen::Old) << c.what;
        Restart();  // and it is not tried again
        EXPECT_EQ(Digest(tf / "data/measurelog.dat"), before) << c.what;
    }
    // A well-formed journal from the same builder is applied.
    TestFolder tf;
    SaveOld();
    TestRecord r = Rec(1);
    r.testno = 2;
    int32_t two = 2;
    std::vector<char> ok = Journal(size, 2,
                                   {{8, 4, std::string((char*)&two, 4)},
                                    {kDeviceDataHeaderSize + 276, 276, std::string((char*)&r, 276)}});
    WriteBytes(tf / "data/measurelog.dat.jnl", ok.data(), ok.size());
    Restart();
    EXPECT_EQ(LogSeen(), Seen::New);
    // The store it belonged to stopped before the ledger: the record is sealed now, and that is said.
    ASSERT_EQ(M()->StartupProblems().size(), 1u);
    EXPECT_NE(
        M()->StartupProblems()[0].find("Test 2 was stored by a run that stopped before sealing it. It has "
                                       "been sealed now"),
        std::string::npos)
        << M()->StartupProblems()[0];
}

TEST(Faults, AFileThatCannotBeReadIsNeverReplaced)
{
    struct Target {
        const char* leaf;
        std::function<std::string()> path;
        std::function<int()> save;
    } targets[] = {
        {"config.conf", ConfigPath, [] { return M()->SaveSetting(); }},
        {"measurelog.dat", MeasureLogPath, [] { return M()->SaveResultData(); }},
        {"userinfo.conf", UserInfoPath, [] { return M()->SaveUserInfo(); }},
    };
    for (const Target& t : targets) {
        TestFolder tf;
        SaveOld();
        emtask::StoreImage::Users(*M())[1].uid = 1;
        ASSERT_EQ(M()->SaveUserInfo(), 1);
        const std::string before = Digest(t.path());

        M()->Reset();
        iofault::Arm(1, EIO, iofault::kRead, true, t.leaf);
        M()->StartUp();
        iofault::Disarm();
        ASSERT_EQ(M()->StartupProblems().size(), 1u) << t.leaf;
        const std::string& said = M()->StartupProblems()[0];
        EXPECT_NE(said.find(t.path()), std::string::npos) << said;
        EXPECT_NE(said.find("Input/output error"), std::string::npos) << said;
        // The program goes on, but nothing of it reaches the file.
        EXPECT_GE(M()->AppendRecord(Rec(1)), 0) << t.leaf;
        EXPECT_EQ(t.save(), -1) << t.leaf;
        EXPECT_NE(LastStoreError().find("not written over"), std::string::npos) << LastStoreError();
        EXPECT_EQ(Digest(t.path()), before) << t.leaf;
    }
}

// Only the test log is saved by journal: a well-formed journal beside
// another file was written by someone else (a changed password, say).
TEST(Faults, JournalsBesideFilesNeverSavedByJournalAreSetAside)
{
    for (auto path : {ConfigPath, UserInfoPath}) {
        TestFolder tf;
        SaveOld();
        ASSERT_EQ(M()->SaveUserInfo(), 1);
        const std::string file = path(), before = Digest(file);
        const std::vector<char> j = Journal(std::filesystem::file_size(file), 1, {{8, 4, "9999"}});
        WriteBytes(file + ".jnl", j.data(), j.size());
        Restart();
        EXPECT_EQ(Digest(file), before) << file;
        EXPECT_TRUE(std::filesystem::exists(file + ".jnl.bad")) << file;
        ASSERT_EQ(M()->StartupProblems().size(), 1u) << file;
        EXPECT_NE(M()->StartupProblems()[0].find("never saved by journal"), std::string::npos);
    }
}

// Creating the file anew would write through the link, or replace it and
// (for the log) retire its seal ledger.
TEST(Faults, ALinkWhoseTargetIsGoneIsUnreadableNotMissing)
{
    for (auto path : {ConfigPath, MeasureLogPath}) {
        TestFolder tf;
        SaveOld();
        const std::string file = path();
        std::filesystem::remove(file);
        std::filesystem::create_symlink(tf / "gone", file);
        Restart();
        EXPECT_TRUE(std::filesystem::is_symlink(file)) << file;
        EXPECT_FALSE(std::filesystem::exists(tf / "gone")) << file;
        ASSERT_EQ(M()->StartupProblems().size(), 1u) << file;
        EXPECT_NE(M()->StartupProblems()[0].find("symbolic link"), std::string::npos)
            << M()->StartupProblems()[0];
    }
}

TEST(Faults, SpecialFilesAtStorePathsNeitherStallNorGetReplaced)
{
    TestFolder tf;
    std::filesystem::create_directories(tf / "data");
    std::filesystem::create_directories(tf / "conf/userinfo.conf");
    ASSERT_EQ(mkfifo((tf / "data/measurelog.dat").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo((tf / "photo.jpg").c_str(), 0644), 0);
    alarm(20);  // a FIFO opened for reading without O_NONBLOCK would hang here: fail instead
    M()->StartUp();
    alarm(0);
    const auto& p = M()->StartupProblems();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_NE(p[0].find("not a regular file"), std::string::npos) << p[0];
    EXPECT_NE(p[1].find("userinfo.conf"), std::string::npos) << p[1];
    EXPECT_EQ(M()->SaveResultData(), -1);
    EXPECT_EQ(M()->SaveUserInfo(), -1);
    PhotoSamples s;
    EXPECT_FALSE(SamplePhotoFile(tf / "photo.jpg", s));
    struct stat st;
    ASSERT_EQ(stat((tf / "data/measurelog.dat").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(std::filesystem::is_directory(tf / "conf/userinfo.conf"));
    EXPECT_EQ(FileSize(tf / "conf/config.conf"), 4348u);  // missing, so created
}

TEST(Faults, OneProgramPerFolder)
{
    TestFolder tf;
    // Another program holds the folder's lock file.
    const int other = open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    bool inUse = false;
    std::string why;
    EXPECT_FALSE(LockProgramFolder(&inUse, &why));
    EXPECT_TRUE(inUse);
    EXPECT_NE(why.find("in use"), std::string::npos) << why;
    close(other);  // that program ended
    EXPECT_TRUE(LockProgramFolder(&inUse, &why)) << why;
    UnlockProgramFolder();
}

TEST(Faults, ProgramFolderOrder)
{
    TestFolder tf;
    const std::string exe = tf / "bin", portableExe = tf / "stick";
    std::filesystem::create_directories(exe + "/portable");  // a folder is no marker
    WriteBytes(portableExe + "/portable", "", 0);
    struct Case {
        const char *zoltHome, *xdg, *home, *exeFolder, *want;
    };
    const Case cases[] = {
        {"/z", "/x", "/h", "stick", "/z"},
        {nullptr, "/x", "/h", "stick", "<stick>"},
        {nullptr, "/x", "/h", "bin", "/x/zolt7"},
        {"", "rel/x", "/h", "bin", "/h/.local/share/zolt7"},  // a relative XDG path is invalid
        {nullptr, nullptr, "/h", "bin", "/h/.local/share/zolt7"},
    };
    const char* names[] = {"ZOLT7_HOME", "XDG_DATA_HOME", "HOME"};
    std::vector<std::optional<std::string>> saved;
    for (const char* n : names)
        saved.push_back(getenv(n) ? std::optional<std::string>(getenv(n)) : std::nullopt);
    auto put = [](const char* n, const char* v) { v ? setenv(n, v, 1) : unsetenv(n); };
    for (const Case& c : cases) {
        put("ZOLT7_HOME", c.zoltHome);
        put("XDG_DATA_HOME", c.xdg);
        put("HOME", c.home);
        const std::string folder = tf / c.exeFolder;
        const std::string want = std::string(c.want) == "<stick>" ? portableExe : c.want;
        EXPECT_EQ(DefaultProgramFolder(folder), want) << c.exeFolder << " " << (c.xdg ? c.xdg : "-");
    }
    // --home comes before everything and leaves the other arguments.
    put("ZOLT7_HOME", "/z");
    char a0[] = "prog", a1[] = "--home", a2[] = "/given/", a3[] = "--audit";
    char* argv[] = {a0, a1, a2, a3, nullptr};
    int argc = 4;
    InitProgramFolder(argc, argv);
    EXPECT_EQ(ProgramFolder(), "/given");
    EXPECT_EQ(argc, 2);
    EXPECT_STREQ(argv[1], "--audit");
    for (size_t i = 0; i < saved.size(); ++i) put(names[i], saved[i] ? saved[i]->c_str() : nullptr);
}
