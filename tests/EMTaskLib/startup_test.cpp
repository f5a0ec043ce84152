// Start-up load and repairs, saves, and the record counter rules.
#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "TestFolder.h"
#include "TextUtil.h"

#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace emtask;

namespace {
TestRecord Sample(int i)
{
    TestRecord r{};
    std::snprintf(r.id, sizeof r.id, "id-%d", i);
    std::snprintf(r.name, sizeof r.name, "name %d", i);
    struct tm lt{};
    lt.tm_year = 124; lt.tm_mon = 2; lt.tm_mday = 7; lt.tm_hour = 9; lt.tm_min = i % 60; lt.tm_sec = 1;
    StampRecordTime(r, lt);
    std::snprintf(r.result, sizeof r.result, "0.%03d", i % 1000);
    r.mode = '0';
    r.unit[0] = 'B';
    return r;
}

// A log image of `count` records, written as a file by hand.
void WriteLog(const std::string& path, int32_t datacnt, int records)
{
    std::vector<char> img(kDeviceDataHeaderSize + size_t(records) * sizeof(TestRecord));
    int32_t flag = kInitFlag;
    std::memcpy(img.data(), &flag, 4);
    std::memcpy(img.data() + 8, &datacnt, 4);
    for (int i = 0; i < records; ++i) {
        TestRecord r = Sample(i);
        r.testno = i + 1;
        std::memcpy(img.data() + kDeviceDataHeaderSize + i * sizeof(TestRecord), &r, sizeof r);
    }
    WriteBytes(path, img.data(), img.size());
}

long ResidentKiB()
{
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
}  // namespace

TEST(StartUp, NoFoldersCreatesBothFilesWithDefaults)
{
    TestFolder tf;
    EMTaskData* m = GetManager();
    m->StartUp();
    EXPECT_EQ(FileSize(tf / "conf/config.conf"), 4348u);
    EXPECT_EQ(FileSize(tf / "data/measurelog.dat"), 276000196u);
    const BusInfo& b = m->m_BusInfo;
    EXPECT_EQ(b.initflag, kInitFlag);
    EXPECT_EQ(b.recordcnt, 0);
    EXPECT_STREQ(b.reporttitle, "TEST REPORT");
    EXPECT_STREQ(b.password, "7294");
    EXPECT_EQ(b.dateorder, 2);
    EXPECT_EQ(b.rowsindex, 9);
    EXPECT_EQ(b.camerause, 1);
    EXPECT_EQ(b.idmode, 1);
    EXPECT_EQ(m->m_DeviceData.initflag, kInitFlag);

    // The files are the images.
    std::vector<char> conf = ReadBytes(tf / "conf/config.conf");
    EXPECT_EQ(0, std::memcmp(conf.data(), &b, sizeof b));
    std::vector<char> log = ReadBytes(tf / "data/measurelog.dat");
    EXPECT_EQ(0, std::memcmp(log.data(), &m->m_DeviceData, kDeviceDataHeaderSize));
    EXPECT_TRUE(IsZero(log.data() + kDeviceDataHeaderSize, log.size() - kDeviceDataHeaderSize));
}

TEST(StartUp, ZeroSettingsWithValidLogTakeTheCounterFromTheLog)
{
    TestFolder tf;
    std::vector<char> zero(4348, 0);
    WriteBytes(tf / "conf/config.conf", zero.data(), zero.size());
    WriteLog(tf / "data/measurelog.dat", 5, 5);
    std::vector<char> before = ReadBytes(tf / "data/measurelog.dat");

    GetManager()->StartUp();
    EXPECT_EQ(GetManager()->m_BusInfo.initflag, kInitFlag);
    EXPECT_EQ(GetManager()->m_BusInfo.recordcnt, 5);
    EXPECT_EQ(ReadBytes(tf / "data/measurelog.dat"), before);  // the log is left in place
    EXPECT_STREQ(GetManager()->m_DeviceData.m_TestData[4].id, "id-4");
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

    EMTaskData* m = GetManager();
    m->StartUp();
    EXPECT_EQ(m->m_BusInfo.recordcnt, 7);
    EXPECT_EQ(m->m_BusInfo.dateorder, 7);
    ASSERT_EQ(m->SaveSetting(), 1);
    std::vector<char> conf = ReadBytes(tf / "conf/config.conf");
    BusInfo expect = b;
    std::memset(expect.reserved2884, 0, 8);
    ASSERT_EQ(conf.size(), sizeof expect);
    EXPECT_EQ(0, std::memcmp(conf.data(), &expect, sizeof expect));
}

TEST(StartUp, ShortFilesLoadWhatTheyHold)
{
    TestFolder tf;
    BusInfo b;
    InitBusInfo(b, 2);
    WriteBytes(tf / "conf/config.conf", &b, offsetof(BusInfo, reporttitle));  // ends after initflag
    WriteLog(tf / "data/measurelog.dat", 2, 2);                             // header + 2 slots
    char shortUsers[148 * 2] = {};
    BusUserInfo u{};
    u.uid = 1;
    std::strcpy(u.cusid, "A1");
    std::memcpy(shortUsers + 148, &u, sizeof u);
    WriteBytes(tf / "conf/userinfo.conf", shortUsers, sizeof shortUsers);

    EMTaskData* m = GetManager();
    m->StartUp();
    EXPECT_EQ(m->m_BusInfo.initflag, kInitFlag);
    EXPECT_EQ(m->m_BusInfo.recordcnt, 2);
    EXPECT_STREQ(m->m_BusInfo.reporttitle, "");  // beyond the short file: still zero
    EXPECT_EQ(m->m_DeviceData.datacnt, 2);
    EXPECT_STREQ(m->m_DeviceData.m_TestData[1].id, "id-1");
    EXPECT_EQ(m->m_BusInfo.totaluser, 1);
    EXPECT_STREQ(m->wp_BusUserInfo[1].cusid, "A1");
}

TEST(StartUp, HostileCountsStayWithinTheSlots)
{
    {
        // datacnt far beyond the slots, settings from scratch: counter clamped,
        // and a full log refuses new records.
        TestFolder tf;
        WriteLog(tf / "data/measurelog.dat", 2000000000, 1);
        GetManager()->StartUp();
        EXPECT_EQ(RecordCount(GetManager()->m_DeviceData), kMaxRecords);
        EXPECT_EQ(GetManager()->m_BusInfo.recordcnt, kMaxRecords);
        EXPECT_EQ(GetManager()->NextTestNo(), -1);
        EXPECT_EQ(GetManager()->AppendRecord(Sample(1)), -1);
    }
    {
        // Negative counts.
        TestFolder tf;
        BusInfo b;
        InitBusInfo(b, -5);
        WriteBytes(tf / "conf/config.conf", &b, sizeof b);
        WriteLog(tf / "data/measurelog.dat", -3, 1);
        GetManager()->StartUp();
        EXPECT_EQ(RecordCount(GetManager()->m_DeviceData), 0);
        EXPECT_EQ(GetManager()->m_BusInfo.recordcnt, 0);
        EXPECT_EQ(GetManager()->AppendRecord(Sample(1)), 0);
    }
    {
        // A user file whose texts have no terminator.
        TestFolder tf;
        std::vector<char> users(148 * 3, 'x');
        int32_t uid = 2;
        std::memcpy(users.data() + 148 * 2 + 16, &uid, 4);
        WriteBytes(tf / "conf/userinfo.conf", users.data(), users.size());
        GetManager()->StartUp();
        EXPECT_EQ(FieldText(GetManager()->wp_BusUserInfo[2].uname).size(), 64u);
    }
}

TEST(Records, AppendedRecordsSaveAsTheExactImage)
{
    TestFolder tf;
    EMTaskData* m = GetManager();
    m->StartUp();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(m->NextTestNo(), i + 1);
        ASSERT_EQ(m->AppendRecord(Sample(i)), i);
        ASSERT_EQ(m->SaveResultData(), 1);
        ASSERT_EQ(m->SaveSetting(), 1);
    }
    EXPECT_EQ(m->m_DeviceData.datacnt, 3);
    EXPECT_EQ(m->m_DeviceData.m_TestData[2].testno, 3);
    std::vector<char> log = ReadBytes(tf / "data/measurelog.dat");
    ASSERT_EQ(log.size(), sizeof(DeviceData));
    EXPECT_EQ(0, std::memcmp(log.data(), &m->m_DeviceData, kDeviceDataHeaderSize + 4 * sizeof(TestRecord)));
    EXPECT_FALSE(std::filesystem::exists(tf / "data/measurelog.dat.jnl"));

    // The file changed behind our back: the next save writes it whole.
    std::vector<char> other(sizeof(DeviceData), 0);
    WriteBytes(tf / "data/measurelog.dat", other.data(), 1000);
    ASSERT_EQ(m->AppendRecord(Sample(3)), 3);
    ASSERT_EQ(m->SaveResultData(), 1);
    log = ReadBytes(tf / "data/measurelog.dat");
    ASSERT_EQ(log.size(), sizeof(DeviceData));
    EXPECT_EQ(0, std::memcmp(log.data(), &m->m_DeviceData, kDeviceDataHeaderSize + 5 * sizeof(TestRecord)));

    // Reload gives the same records.
    m->Reset();
    m->StartUp();
    EXPECT_EQ(m->m_BusInfo.recordcnt, 4);  // the settings lag the log: counter from the log
    EXPECT_EQ(m->m_DeviceData.datacnt, 4);
    EXPECT_STREQ(m->m_DeviceData.m_TestData[3].name, "name 3");
}

TEST(Records, ACounterBehindTheLogNeverOverwritesARecord)
{
    // A stop between the log's save and the settings' save leaves the
    // counter one behind the log.
    TestFolder tf;
    BusInfo b;
    InitBusInfo(b, 4);
    WriteBytes(tf / "conf/config.conf", &b, sizeof b);
    WriteLog(tf / "data/measurelog.dat", 5, 5);
    EMTaskData* m = GetManager();
    m->StartUp();
    EXPECT_EQ(m->m_BusInfo.recordcnt, 5);
    EXPECT_EQ(m->AppendRecord(Sample(9)), 5);
    EXPECT_STREQ(m->m_DeviceData.m_TestData[4].id, "id-4");

    // The same in memory, for a counter changed after start-up.
    m->m_BusInfo.recordcnt = 2;
    EXPECT_EQ(m->NextTestNo(), 7);
    EXPECT_EQ(m->AppendRecord(Sample(10)), 6);
    EXPECT_STREQ(m->m_DeviceData.m_TestData[5].id, "id-9");
}

TEST(Records, NoRecordAtOrAboveCounter999999)
{
    TestFolder tf;
    EMTaskData* m = GetManager();
    m->StartUp();
    m->m_BusInfo.recordcnt = 999998;
    EXPECT_EQ(m->AppendRecord(Sample(1)), 999998);
    EXPECT_EQ(m->m_DeviceData.m_TestData[999998].testno, 999999);
    EXPECT_EQ(m->m_BusInfo.recordcnt, 999999);
    EXPECT_EQ(m->AppendRecord(Sample(2)), -1);
    EXPECT_EQ(m->m_BusInfo.recordcnt, 999999);
}

TEST(Records, LoadOverRecordsInMemoryClearsWhatTheFileLacks)
{
    TestFolder tf;
    EMTaskData* m = GetManager();
    for (int i = 0; i < 5000; ++i) m->m_DeviceData.m_TestData[i].testno = i + 1;
    WriteLog(tf / "a.dat", 1, 1);
    // A full-size file whose records past the first are zero.
    std::vector<char> full(sizeof(DeviceData), 0);
    std::vector<char> small = ReadBytes(tf / "a.dat");
    std::memcpy(full.data(), small.data(), small.size());
    WriteBytes(tf / "a.dat", full.data(), full.size());
    ASSERT_EQ(m->Load((tf / "a.dat").c_str()), 1);
    EXPECT_EQ(m->m_DeviceData.m_TestData[0].testno, 1);
    EXPECT_EQ(m->m_DeviceData.m_TestData[1].testno, 0);
    EXPECT_EQ(m->m_DeviceData.m_TestData[4999].testno, 0);
    EXPECT_EQ(m->Load((tf / "missing.dat").c_str()), -1);
}

TEST(StartUp, EmptyLogCostsLittleMemory)
{
    TestFolder tf;
    GetManager()->StartUp();  // creates the 276 MB log
    GetManager()->Reset();
    long before = ResidentKiB();
    GetManager()->StartUp();  // loads it
    long grown = ResidentKiB() - before;
    EXPECT_LT(grown, 50 * 1024) << "start-up with an empty log committed " << grown << " KiB";
}
