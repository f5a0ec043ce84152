#include "SearchTestUtil.h"
#include "StoreImage.h"
#include "TextUtil.h"
#include "search/SearchEngine.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using namespace emtask;
using searchtest::Record;

namespace {

struct Store {
    EMTaskData* m = GetManager();
    Store() { m->Reset(); }
    ~Store() { m->Reset(); }
    void Add(const TestRecord& r)
    {
        int slot = emtask::StoreImage::Log(*m).datacnt++;
        emtask::StoreImage::Log(*m).m_TestData[slot] = r;
    }
    SearchInfo& Info() { return emtask::StoreImage::Criteria(*m); }
    std::vector<int> Run()
    {
        int found = search::SearchProcess(*m);
        std::vector<int> nos;
        for (int i = 0; i < found; ++i) nos.push_back(emtask::StoreImage::Found(*m).m_TestData[i].testno);
        return nos;
    }
};

std::vector<int> Range(int a, int b)
{
    std::vector<int> v;
    for (int i = a; i <= b; ++i) v.push_back(i);
    return v;
}

// Pages of the whole pages inside [p, p + size) that are not resident.
size_t NonResident(const void* p, size_t size)
{
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    const uintptr_t a = (uintptr_t(p) + page - 1) & ~(page - 1), b = (uintptr_t(p) + size) & ~(page - 1);
    std::vector<unsigned char> in((b - a) / page);
    EXPECT_EQ(mincore(reinterpret_cast<void*>(a), b - a, in.data()), 0);
    return size_t(std::count_if(in.begin(), in.end(), [](unsigned char c) { return !(c & 1); }));
}

}  // namespace

TEST(Search, CasesOfOneLog)
{
    Store s;
    // 1..10 on 7 March 2024, 11..13 around it, 12 fast, 14 and 15 flow errors.
    const char* names[] = {"Kim", "Kim Lee", "kim", "Lee", "Park"};
    for (int i = 1; i <= 15; ++i) {
        char date[16];
        std::snprintf(date, sizeof date, "202403%02d%02d%02d%02d", i <= 10 ? 7 : (i == 11 ? 6 : 8),
                      i == 1 ? 0 : (i == 10 ? 23 : 12), i == 10 ? 59 : 0, i == 10 ? 59 : 0);
        const char* result = i == 3 ? "0.030" : (i == 4 ? "0.031" : (i == 5 || i == 12 ? "0.000" : "0.045"));
        bool flow = i >= 14;
        s.Add(Record(i, date, i == 6 ? "Kim" : "ID-x", names[i % 5], flow ? "FLOW" : result,
                     flow ? 'F' : (i == 12 ? '1' : '0'), flow ? "F" : "B"));
    }
    std::memcpy(emtask::StoreImage::Log(*s.m).reserved, "instrument", 10);
    SearchInfo& in = s.Info();

    in.flags = SEARCH_TESTNO;
    CopyField(in.startno, "10");
    CopyField(in.endno, "20");
    EXPECT_EQ(s.Run(), Range(10, 15));
    EXPECT_EQ(emtask::StoreImage::Total(*s.m), 6);
    EXPECT_EQ(emtask::StoreImage::Found(*s.m).datakind, 'A');
    EXPECT_EQ(std::string(emtask::StoreImage::Found(*s.m).reserved, 10), "instrument");

    // One calendar day whatever the time of day (00:00:00 and 23:59:59 too).
    in.flags = SEARCH_DATE;
    CopyField(in.dateStart, "20240307235959");
    CopyField(in.dateEnd, "20240307000000");
    EXPECT_EQ(s.Run(), Range(1, 10));
    // A following smaller search leaves no record of the larger one behind.
    EXPECT_EQ(emtask::StoreImage::Found(*s.m).m_TestData[10].testno, 0);

    // Exact ID or name: not "Kim Lee" nor "kim".
    in.flags = SEARCH_IDNAME;
    CopyField(in.idname, "Kim");
    EXPECT_EQ(s.Run(), (std::vector<int>{5, 6, 10, 15}));

    // Both ends included, as 32-bit floats; never a flow error or a fast test.
    in.flags = SEARCH_NORMAL;
    in.normalstart = 0.0f;
    in.normalend = 0.030f;
    EXPECT_EQ(s.Run(), (std::vector<int>{3, 5}));

    in.flags = SEARCH_ERROR;
    EXPECT_EQ(s.Run(), (std::vector<int>{14, 15}));
    in.flags = SEARCH_ERROR | SEARCH_NORMAL;
    EXPECT_TRUE(s.Run().empty());
    // Stages combine as AND.
    in.flags = SEARCH_TESTNO | SEARCH_IDNAME | SEARCH_DATE;
    EXPECT_EQ(s.Run(), (std::vector<int>{10}));

    for (uint32_t none : {0u, 1u << 4}) {  // the unused bit alone is no criterion
        in.flags = none;
        EXPECT_TRUE(s.Run().empty());
        EXPECT_EQ(emtask::StoreImage::Found(*s.m).m_TestData[0].testno, 0);
    }
}

TEST(Search, ImpossibleDatesNeverMatch)
{
    Store s;
    const char* dates[] = {"20240230120000", "20241307120000", "20240732120000", "20240007120000",
                           "21000307120000", "19990307120000", "2x240307120000", "20240229120000",
                           "20000229120000", "20990101000000", "20230229120000"};
    int no = 0;
    for (const char* d : dates) s.Add(Record(++no, d, "a", "b", "0.000"));
    s.Info().flags = SEARCH_DATE;
    CopyField(s.Info().dateStart, "19700101000000");
    CopyField(s.Info().dateEnd, "21001231000000");
    EXPECT_EQ(s.Run(), (std::vector<int>{8, 9, 10}));
}

TEST(Search, HostileCriteriaAndCounts)
{
    Store s;
    for (int i = 1; i <= 5; ++i) s.Add(Record(i, "20240307120000", "a", "b", "0.010"));
    SearchInfo& in = s.Info();
    // Texts that fill their field without a terminator.
    std::memset(in.startno, '9', sizeof in.startno);
    std::memset(in.endno, '9', sizeof in.endno);
    std::memset(in.idname, 'a', sizeof in.idname);
    std::memset(in.dateStart, 'x', sizeof in.dateStart);
    std::memset(in.dateEnd, '9', sizeof in.dateEnd);
    in.flags = SEARCH_TESTNO | SEARCH_IDNAME | SEARCH_DATE | SEARCH_NORMAL;
    EXPECT_TRUE(s.Run().empty());
    in.flags = SEARCH_DATE;
    EXPECT_EQ(s.Run(), Range(1, 5));  // "xxxx..." is day 0 of year 0: before every record

    // A count beyond the slots reads the slots (empty ones: number 0, mode 0).
    emtask::StoreImage::Log(*s.m).datacnt = kMaxRecords + 1;
    in.flags = SEARCH_TESTNO | SEARCH_ERROR;
    CopyField(in.startno, "0");
    CopyField(in.endno, "0");
    EXPECT_EQ(search::SearchProcess(*s.m), kMaxRecords - 5);
    emtask::StoreImage::Log(*s.m).datacnt = -7;
    EXPECT_TRUE(s.Run().empty());
    EXPECT_EQ(emtask::StoreImage::Found(*s.m).m_TestData[0].testno, 0);
    // Cleared by stores: the next large search finds its pages committed.
    EXPECT_EQ(NonResident(emtask::StoreImage::Found(*s.m).m_TestData, sizeof(TestRecord) * (kMaxRecords - 5)),
              0u);
}

TEST(Search, NumbersAreReadOnceAndNeverNaN)
{
    const char* zero[] = {"", "FLOW", "nan", "NAN", "inf", "-inf", "x1", ".", "+", "0x1p3"};
    for (const char* t : zero) EXPECT_EQ(search::ResultValue(t, std::strlen(t) + 1), 0.0f) << t;
    EXPECT_EQ(search::ResultValue(" -0.5e1", 8), -5.0f);
    EXPECT_EQ(search::ResultValue("0.045abc", 9), 0.045f);
    EXPECT_EQ(search::ResultValue("1e999", 6), std::numeric_limits<float>::max());
    EXPECT_EQ(search::ResultValue("1e-999", 7), 0.0f);

    EXPECT_EQ(search::DecimalValue(" +42x", 5), 42);
    EXPECT_EQ(search::DecimalValue("99999999999", 11), INT32_MAX);
    EXPECT_EQ(search::DecimalValue("12", 1), 1);  // never past the width
}

namespace {
const char* Pick(std::mt19937& g, std::initializer_list<const char*> v)
{
    return v.begin()[std::uniform_int_distribution<size_t>(0, v.size() - 1)(g)];
}

TestRecord RandomRecord(std::mt19937& g, int slot)
{
    auto num = [&g](int a, int b) { return std::uniform_int_distribution<int>(a, b)(g); };
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d%02d%02d%02d", num(0, 9) == 0 ? 2100 : num(2023, 2025),
                  num(0, 20) == 0 ? 13 : num(1, 12), num(0, 20) == 0 ? 30 : num(1, 31), num(0, 23),
                  num(0, 59), num(0, 59));
    if (num(0, 50) == 0) date[num(0, 7)] = 'x';
    TestRecord r = Record(num(0, 30) == 0 ? num(-5, 5000) : slot + 1, date,
                          Pick(g, {"Kim", "kim", "Kim Lee", "A-1", ""}),
                          Pick(g, {"Lee", "Kim", "Park", "", "이"}),
                          Pick(g, {"0.000", "0.030", "0.031", "0.045", "0.499", "0.500", "FLOW", "nan", "inf",
                                   " 0.02", "-0.010", "1e999"}),
                          *Pick(g, {"0", "0", "0", "F", "1", "x"}), Pick(g, {"B", "G", "M", "F"}));
    if (num(0, 100) == 0) std::memset(r.id, 'K', sizeof r.id);
    if (num(0, 100) == 0) std::memset(r.result, '1', sizeof r.result);
    return r;
}
}  // namespace

TEST(Search, OnePassEqualsTheStagedWay)
{
    Store s;
    static DeviceData ref;  // the reference result; untouched pages take no memory
    std::mt19937 g(20240307);
    auto num = [&g](int a, int b) { return std::uniform_int_distribution<int>(a, b)(g); };
    for (int log = 0; log < 2; ++log) {
        s.m->Reset();
        const int n = num(500, 4000);
        for (int i = 0; i < n; ++i) s.Add(RandomRecord(g, i));
        // Slots beyond the count of an archive may hold anything.
        emtask::StoreImage::Log(*s.m).m_TestData[n] = RandomRecord(g, n);
        for (int k = 0; k < 6; ++k) {
            SearchInfo& in = s.Info();
            in.flags = static_cast<uint32_t>(num(1, 63));
            CopyField(in.startno, std::to_string(num(-10, 2000)));
            CopyField(in.endno, std::to_string(num(1000, 5000)));
            if (num(0, 5) == 0) std::memset(in.endno, '9', sizeof in.endno);
            char d[16];
            std::snprintf(d, sizeof d, "%04d%02d%02d%02d%02d%02d", num(2023, 2024), num(1, 12), num(1, 28),
                          num(0, 23), 0, 0);
            CopyField(in.dateStart, d);
            std::snprintf(d, sizeof d, "%04d%02d%02d000000", num(2024, 2025), num(1, 12), num(1, 28));
            CopyField(in.dateEnd, d);
            CopyField(in.idname, Pick(g, {"Kim", "Lee", "kim", "이"}));
            in.normalstart = search::ResultValue(Pick(g, {"0.000", "0.030", "-1"}), 6);
            in.normalend = search::ResultValue(Pick(g, {"0.030", "0.045", "0.500"}), 6);

            int32_t one = search::SearchRecords(emtask::StoreImage::Log(*s.m), in,
                                                emtask::StoreImage::Found(*s.m));
            int32_t staged = search::SearchRecordsStaged(emtask::StoreImage::Log(*s.m), in, ref,
                                                         emtask::StoreImage::Work(*s.m));
            ASSERT_EQ(one, staged) << "flags " << in.flags;
            ASSERT_EQ(std::memcmp(&emtask::StoreImage::Found(*s.m), &ref, sizeof(DeviceData)), 0)
                << "flags " << in.flags;
        }
    }
}
