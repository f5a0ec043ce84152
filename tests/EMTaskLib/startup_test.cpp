// Start-up load and repairs, saves, and the record counter rules.
#include "StoreUtil.h"
#include "StoreImage.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

using namespace emtask;

// The counter at start-up from the settings and the log as they lie on disk.
TEST(StartUp, TheCounterNeverFallsBehindTheLogAndStaysWithinTheSlots)
{
    enum Settings { None, Zero, Short, Counter };
    struct Case {
        const char* what;
        Settings settings;
        int32_t counter, datacnt;
        int records, wantCounter, wantCount;
    } cases[] = {
        {"zero settings: counter from the log", Zero, 0, 5, 5, 5, 5},
        {"settings cut after their mark", Short, 2, 2, 2, 2, 2},
        {"counter ahead of the log kept", Counter, 7, 5, 5, 7, 5},
        {"a stop between the two saves", Counter, 4, 5, 5, 5, 5},
        {"log count beyond the slots", None, 0, 2000000000, 1, kMaxRecords, kMaxRecords},
        {"negative counts", Counter, -5, -3, 1, 0, 0},
    };
    for (const Case& c : cases) {
        TestFolder tf;
        BusInfo b;
        InitBusInfo(b, c.counter);
        if (c.settings == Zero) std::memset(&b, 0, sizeof b);
        if (c.settings != None)
            WriteBytes(tf / "conf/config.conf", &b,
                       c.settings == Short ? offsetof(BusInfo, reporttitle) : sizeof b);
        WriteLog(tf / "data/measurelog.dat", c.datacnt, c.records);
        const std::vector<char> log = ReadBytes(tf / "data/measurelog.dat");
        EMTaskData* m = GetManager();
        m->StartUp();
        EXPECT_EQ(emtask::StoreImage::Settings(*m).initflag, kInitFlag) << c.what;
        EXPECT_EQ(emtask::StoreImage::Settings(*m).recordcnt, c.wantCounter) << c.what;
        EXPECT_EQ(RecordCount(emtask::StoreImage::Log(*m)), c.wantCount) << c.what;
        if (c.settings == Short) {
            EXPECT_STREQ(emtask::StoreImage::Settings(*m).reporttitle, "") << "beyond a short file: zero";
        }
        EXPECT_EQ(ReadBytes(tf / "data/measurelog.dat"), log) << c.what;  // the log is left in place
        EXPECT_TRUE(c.records < 2 || RecordIs(c.records - 1, c.records - 1)) << c.what;
        // The next record goes after every stored one, or nowhere.
        const int32_t slot = m->AppendRecord(Rec(9));
        EXPECT_EQ(slot, c.wantCount < kMaxRecords ? std::max(c.wantCounter, c.wantCount) : -1) << c.what;
    }
    TestFolder tf;
    GetManager()->StartUp();
    emtask::StoreImage::Settings(*GetManager()).recordcnt =
        999998;  // the last number a counter may reach is 999999
    EXPECT_EQ(GetManager()->AppendRecord(Rec(1)), 999998);
    EXPECT_EQ(emtask::StoreImage::Log(*GetManager()).m_TestData[999998].testno, 999999);
    EXPECT_EQ(GetManager()->AppendRecord(Rec(2)), -1);
    EXPECT_EQ(emtask::StoreImage::Settings(*GetManager()).recordcnt, 999999);
}

TEST(StartUp, BothValidKeepTheCounterAndEveryByteButTheEightAt2884)
{
    TestFolder tf;
    BusInfo b;
    InitBusInfo(b, 7);
    b.reserved0[3] = 0x11;
    b.reserved308[100] = 0x22;
    b.reserved2884[0] = 0x33;
    b.dateorder = 7;  // loaded and saved unchanged
    WriteBytes(tf / "conf/config.conf", &b, sizeof b);
    WriteLog(tf / "data/measurelog.dat", 5, 5);
    GetManager()->StartUp();
    ASSERT_EQ(GetManager()->SaveSetting(), 1);
    BusInfo expect = b;
    std::memset(expect.reserved2884, 0, 8);
    std::vector<char> conf = ReadBytes(tf / "conf/config.conf");
    ASSERT_EQ(conf.size(), sizeof expect);
    EXPECT_EQ(0, std::memcmp(conf.data(), &expect, sizeof expect));
}

TEST(StartUp, UserFilesShortOrWithoutTerminatorsLoadWhatTheyHold)
{
    TestFolder tf;
    std::vector<char> users(148 * 3, 'x');  // three slots, not a terminator in them
    int32_t uid = 2;
    std::memcpy(users.data() + 148 * 2 + 16, &uid, 4);
    WriteBytes(tf / "conf/userinfo.conf", users.data(), users.size());
    GetManager()->StartUp();
    EXPECT_EQ(emtask::StoreImage::Users(*GetManager())[2].uid, 2);
    EXPECT_EQ(FieldText(emtask::StoreImage::Users(*GetManager())[2].uname).size(), 64u);
}

TEST(Records, AppendedRecordsSaveAsTheExactImage)
{
    TestFolder tf;
    EMTaskData* m = GetManager();
    m->StartUp();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(m->NextTestNo(), i + 1);
        ASSERT_EQ(m->AppendRecord(Rec(i)), i);
        ASSERT_EQ(m->SaveResultData(), 1);
        ASSERT_EQ(m->SaveSetting(), 1);
    }
    EXPECT_TRUE(RecordIs(2, 2));
    std::vector<char> log = ReadBytes(tf / "data/measurelog.dat");
    ASSERT_EQ(log.size(), sizeof(DeviceData));
    EXPECT_EQ(0, std::memcmp(log.data(), &emtask::StoreImage::Log(*m),
                             kDeviceDataHeaderSize + 4 * sizeof(TestRecord)));
    EXPECT_FALSE(std::filesystem::exists(tf / "data/measurelog.dat.jnl"));

    // The file changed behind our back: the next save writes it whole.
    std::vector<char> other(sizeof(DeviceData), 0);
    WriteBytes(tf / "data/measurelog.dat", other.data(), 1000);
    ASSERT_EQ(m->AppendRecord(Rec(3)), 3);
    ASSERT_EQ(m->SaveResultData(), 1);
    log = ReadBytes(tf / "data/measurelog.dat");
    ASSERT_EQ(log.size(), sizeof(DeviceData));
    EXPECT_EQ(0, std::memcmp(log.data(), &emtask::StoreImage::Log(*m),
                             kDeviceDataHeaderSize + 5 * sizeof(TestRecord)));

    Restart();
    EXPECT_EQ(emtask::StoreImage::Settings(*m).recordcnt,
              4);  // the settings lag the log: counter from the log
    EXPECT_EQ(emtask::StoreImage::Log(*m).datacnt, 4);
    EXPECT_TRUE(RecordIs(3, 3));
    // A counter changed after start-up never overwrites a record.
    emtask::StoreImage::Settings(*m).recordcnt = 2;
    EXPECT_EQ(m->NextTestNo(), 5);
    EXPECT_EQ(m->AppendRecord(Rec(9)), 4);
    EXPECT_TRUE(RecordIs(3, 3));
}

TEST(Records, LoadOverRecordsInMemoryClearsWhatTheFileLacks)
{
    TestFolder tf;
    EMTaskData* m = GetManager();
    for (int i = 0; i < 5000; ++i) emtask::StoreImage::Log(*m).m_TestData[i].testno = i + 1;
    WriteLog(tf / "a.dat", 1, 1);
    ASSERT_EQ(truncate((tf / "a.dat").c_str(), sizeof(DeviceData)), 0);  // zero past the first record
    ASSERT_EQ(m->Load((tf / "a.dat").c_str()), 1);
    EXPECT_EQ(emtask::StoreImage::Log(*m).m_TestData[0].testno, 1);
    EXPECT_EQ(emtask::StoreImage::Log(*m).m_TestData[4999].testno, 0);
}

// The first start writes the whole empty log: the image's untouched pages are
// neither read nor committed on the way.
TEST(StartUp, AFreshFolderLeavesTheEmptyLogUncommitted)
{
    TestFolder tf;
    GetManager()->StartUp();
    ASSERT_EQ(FileSize(MeasureLogPath()), sizeof(DeviceData));
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    auto* base = reinterpret_cast<unsigned char*>(&emtask::StoreImage::Log(*GetManager()));  // page aligned
    std::vector<unsigned char> resident((sizeof(DeviceData) + page - 1) / page);
    ASSERT_EQ(mincore(base, sizeof(DeviceData), resident.data()), 0);
    size_t mapped = 0;
    for (unsigned char r : resident) mapped += r & 1;
    EXPECT_LT(mapped * page, 4u << 20) << mapped << " pages of the log's image mapped";
}

// A damaged header is repaired in place: the records and the seal ledger that
// vouches for them stay, and the operator is told. Photograph saves cut short
// leave temporary files that start-up removes.
TEST(StartUp, DamagedHeaderKeepsRecordsAndLedgerAndLeftoversGo)
{
    TestFolder tf;
    WriteLog(tf / "data/measurelog.dat", 3, 3);
    GetManager()->StartUp();  // begins the ledger after the three records
    const std::string ledger = Digest(SealLedgerPath());
    std::filesystem::create_directories(tf / "data/jpeg");
    WriteBytes(tf / "data/jpeg/a.jpg.tmp", "x", 1);
    WriteBytes(tf / "data/jpeg/a.jpg", "x", 1);
    const int32_t zero = 0;
    int fd = open((tf / "data/measurelog.dat").c_str(), O_WRONLY);
    ASSERT_EQ(pwrite(fd, &zero, 4, 0), 4);
    close(fd);

    Restart();
    EXPECT_EQ(emtask::StoreImage::Log(*GetManager()).initflag, kInitFlag);
    EXPECT_TRUE(RecordIs(2, 2));
    EXPECT_EQ(Digest(SealLedgerPath()), ledger);
    for (const auto& e : std::filesystem::directory_iterator(tf / "data"))  // none retired
        EXPECT_FALSE(e.path().filename().string().starts_with("seal.log.")) << e.path();
    ASSERT_EQ(GetManager()->StartupProblems().size(), 1u);
    EXPECT_NE(GetManager()->StartupProblems()[0].find("repaired"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(tf / "data/jpeg/a.jpg.tmp"));
    EXPECT_TRUE(std::filesystem::exists(tf / "data/jpeg/a.jpg"));
}
