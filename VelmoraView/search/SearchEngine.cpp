#include "search/SearchEngine.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "TextUtil.h"

#include <cfloat>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <future>
#include <system_error>
#include <sys/mman.h>
#include <unistd.h>

using emtask::DeviceData;
using emtask::SearchInfo;
using emtask::TestRecord;

namespace search {

namespace {
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// yyyymmdd as a number: ordered as the days are.
int64_t DateKey(int64_t y, int64_t m, int64_t d) { return y * 10000 + m * 100 + d; }

// Key of a day number (the inverse of DayNumber, proleptic Gregorian).
int64_t KeyOfDay(int64_t z)
{
    z += 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    return DateKey(yoe + era * 400 + (m <= 2), m, d);
}

constexpr int kHeaderCopyFrom = 12;  // bytes 12..87 of the header: instrument information
constexpr int kHeaderCopyLen = 76;
constexpr int kKindA = 'A';

}  // namespace

// Key of a record's date, or false when it never matches (as RecordDay).
bool RecordDateKey(const TestRecord& r, int64_t& key);

namespace {
// The ticked criteria, read once from SearchInfo.
struct Criteria {
    uint32_t flags = 0;
    int32_t firstNo = 0, lastNo = 0;
    int64_t firstKey = 0, lastKey = 0;  // of the first and last day
    char key[64];
    size_t keyLen = 0;
    float low = 0, high = 0;

    explicit Criteria(const SearchInfo& info)
    {
        flags = info.flags & kKnownFlags;
        firstNo = DecimalValue(info.startno);
        lastNo = DecimalValue(info.endno);
        firstKey = KeyOfDay(CriteriaDay(info.dateStart, sizeof info.dateStart));
        lastKey = KeyOfDay(CriteriaDay(info.dateEnd, sizeof info.dateEnd));
        keyLen = strnlen(info.idname, sizeof info.idname);
        std::memcpy(key, info.idname, sizeof key);
        low = info.normalstart;
        high = info.normalend;
    }

    // Exact bytes of a 64-byte field, whole text.
    bool SameText(const char* field) const
    {
        return (keyLen == sizeof key || field[keyLen] == 0) && std::memcmp(field, key, keyLen) == 0;
    }
    bool Number(const TestRecord& r) const { return r.testno >= firstNo && r.testno <= lastNo; }
    // Valid record dates compare by their keys as by their days.
    bool Date(const TestRecord& r) const
    {
        int64_t k;
        return RecordDateKey(r, k) && k >= firstKey && k <= lastKey;
    }
    bool IdName(const TestRecord& r) const { return SameText(r.id) || SameText(r.name); }
    bool Normal(const TestRecord& r) const
    {
        if (r.mode != '0') return false;
        float v = ResultValue(r.result);
        return v >= low && v <= high;
    }
    static bool Error(const TestRecord& r) { return r.mode != '0' && r.mode != '1'; }

    bool Passes(const TestRecord& r) const
    {
        if ((flags & emtask::SEARCH_TESTNO) && !Number(r)) return false;
        if ((flags & emtask::SEARCH_ERROR) && !Error(r)) return false;
        if ((flags & emtask::SEARCH_IDNAME) && !IdName(r)) return false;
        if ((flags & emtask::SEARCH_DATE) && !Date(r)) return false;
        if ((flags & emtask::SEARCH_NORMAL) && !Normal(r)) return false;
        return true;
    }
};

void ClearHeader(DeviceData& out) { std::memset(&out, 0, emtask::kDeviceDataHeaderSize); }

void FinishHeader(const DeviceData& src, DeviceData& out, int32_t found, bool copyInfo)
{
    if (copyInfo)
        std::memcpy(reinterpret_cast<char*>(&out) + kHeaderCopyFrom,
                    reinterpret_cast<const char*>(&src) + kHeaderCopyFrom, kHeaderCopyLen);
    out.initflag = emtask::kInitFlag;  // a finished result: saved as an archive, it opens again
    out.datakind = kKindA;
    out.datacnt = found;
}
}  // namespace

int32_t DecimalValue(const char* text, size_t width)
{
    size_t i = 0;
    while (i < width && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < width && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t v = 0;
    for (; i < width && IsDigit(text[i]); ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > INT32_MAX) {
            v = INT32_MAX + int64_t(1);
            break;
        }
    }
    if (negative) v = -v;
    if (v > INT32_MAX) v = INT32_MAX;
    return static_cast<int32_t>(v);
}

float ResultValue(const char* text, size_t width)
{
    size_t len = strnlen(text, width);
    // The usual form, "d.ddd": the quotient of two exact integers is rounded
    // once, exactly as a full decimal conversion rounds it.
    {
        int64_t n = 0;
        int digits = 0, frac = -1;
        size_t i = 0;
        for (; i < len && digits < 15; ++i) {
            char c = text[i];
            if (IsDigit(c)) {
                n = n * 10 + (c - '0');
                ++digits;
                if (frac >= 0) ++frac;
            } else if (c == '.' && frac < 0) {
                frac = 0;
            } else {
                break;
            }
        }
        bool plain = digits > 0 && (i == len || (text[i] != 'e' && text[i] != 'E' && !IsDigit(text[i])));
        if (plain) {
            static const double kPow10[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
            double d = frac > 0 ? static_cast<double>(n) / kPow10[frac] : static_cast<double>(n);
            return static_cast<float>(d);
        }
    }
    size_t i = 0;
    while (i < len && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < len && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Only a digit or a point may start the number: no "inf", "nan" or hex.
    if (i >= len || !(IsDigit(text[i]) || (text[i] == '.' && i + 1 < len && IsDigit(text[i + 1]))))
        return 0.0f;
    double d = 0;
    auto [end, ec] = std::from_chars(text + i, text + len, d, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Beyond the double range: huge unless the exponent is negative.
        const char* e = static_cast<const char*>(std::memchr(text + i, 'e', len - i));
        if (!e) e = static_cast<const char*>(std::memchr(text + i, 'E', len - i));
        d = (e && e + 1 < text + len && e[1] == '-') ? 0.0 : DBL_MAX;
    } else if (ec != std::errc()) {
        return 0.0f;
    }
    (void)end;
    if (!std::isfinite(d)) return 0.0f;
    if (d > FLT_MAX) d = FLT_MAX;
    if (negative) d = -d;
    return static_cast<float>(d);
}

int64_t DayNumber(int64_t year, int64_t month, int64_t day)
{
    int64_t m0 = month - 1;
    year += FloorDiv(m0, 12);
    int64_t m = m0 - FloorDiv(m0, 12) * 12 + 1;
    // Days from 1970-01-01 to the first of the month (proleptic Gregorian).
    int64_t y = year - (m <= 2);
    int64_t era = FloorDiv(y, 400);
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + (day - 1);
}

int64_t CriteriaDay(const char* text, size_t width)
{
    char digits[8];
    size_t len = strnlen(text, width);
    for (size_t i = 0; i < 8; ++i) digits[i] = i < len ? text[i] : 0;
    return DayNumber(emtask::DigitsValue(digits, 4), emtask::DigitsValue(digits + 4, 2),
                     emtask::DigitsValue(digits + 6, 2));
}

bool RecordDateKey(const TestRecord& r, int64_t& key)
{
    int32_t y, m, d;
    auto digit = [](char c) { return static_cast<unsigned>(c - '0'); };
    const unsigned y0 = digit(r.m_Tyy[0]), y1 = digit(r.m_Tyy[1]), y2 = digit(r.m_Tyy[2]),
                   y3 = digit(r.m_Tyy[3]), m0 = digit(r.m_Tmm[0]), m1 = digit(r.m_Tmm[1]),
                   d0 = digit(r.m_Tdd[0]), d1 = digit(r.m_Tdd[1]);
    if ((y0 | y1 | y2 | y3 | m0 | m1 | d0 | d1) < 10 && r.m_Tyy[4] == 0 && r.m_Tmm[2] == 0 &&
        r.m_Tdd[2] == 0) {
        // The stored form: four, two and two digits.
        y = int32_t(y0 * 1000 + y1 * 100 + y2 * 10 + y3);
        m = int32_t(m0 * 10 + m1);
        d = int32_t(d0 * 10 + d1);
    } else {
        y = DecimalValue(r.m_Tyy);
        m = DecimalValue(r.m_Tmm);
        d = DecimalValue(r.m_Tdd);
    }
    if (m < 1 || m > 12 || d < 1 || d > 31) return false;
    if (y < 2000 || y > 2099) return false;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (d > kDays[m - 1] + (m == 2 && leap)) return false;
    key = DateKey(y, m, d);
    return true;
}

bool RecordDay(const TestRecord& r, int64_t& day)
{
    int64_t key;
    if (!RecordDateKey(r, key)) return false;
    day = DayNumber(key / 10000, key / 100 % 100, key % 100);
    return true;
}

int32_t SearchRecords(const DeviceData& src, const SearchInfo& info, DeviceData& out)
{
    const int32_t before = emtask::RecordCount(out);
    ClearHeader(out);
    const Criteria c(info);
    int32_t found = 0;
    if (c.flags != 0) {
        const int32_t n = emtask::RecordCount(src);
        const TestRecord* rec = src.m_TestData;
        TestRecord* dst = out.m_TestData;
        // Runs of passing records are copied in one piece.
        int32_t runStart = -1;
        for (int32_t i = 0; i < n; ++i) {
            if (c.Passes(rec[i])) {
                if (runStart < 0) runStart = i;
                continue;
            }
            if (runStart >= 0) {
                std::memcpy(dst + found, rec + runStart, sizeof(TestRecord) * size_t(i - runStart));
                found += i - runStart;
                runStart = -1;
            }
        }
        if (runStart >= 0) {
            std::memcpy(dst + found, rec + runStart, sizeof(TestRecord) * size_t(n - runStart));
            found += n - runStart;
        }
    }
    // Stores, not pages handed back: the pages stay committed for the next
    // search, which would fault them all in again.
    if (before > found) std::memset(&out.m_TestData[found], 0, sizeof(TestRecord) * size_t(before - found));
    FinishHeader(src, out, found, c.flags != 0);
    return found;
}

namespace {
// The staged reference reads dates through the C library's local time, as
// the search first did, so that the one-pass day arithmetic is checked
// against an independent computation.
bool StagedDate(const TestRecord& r, time_t first, time_t last)
{
    int32_t y = DecimalValue(r.m_Tyy), m = DecimalValue(r.m_Tmm), d = DecimalValue(r.m_Tdd);
    if (m > 12 || d > 31) return false;
    // The year is taken as "20%02d" of its value minus 2000: only 2000..2099
    // come back as themselves.
    if (y < 2000 || y > 2099) return false;
    struct tm t { };
    t.tm_year = y - 1900;
    t.tm_mon = m - 1;
    t.tm_mday = d;
    t.tm_isdst = -1;
    time_t when = mktime(&t);
    if (when == time_t(-1) || t.tm_mday != d || t.tm_mon != m - 1 || t.tm_year + 1900 < 1970) return false;
    return when >= first && when <= last;
}

time_t StagedCriteriaTime(const char* text, size_t width)
{
    char digits[8];
    size_t len = strnlen(text, width);
    for (size_t i = 0; i < 8; ++i) digits[i] = i < len ? text[i] : 0;
    struct tm t { };
    t.tm_year = emtask::DigitsValue(digits, 4) - 1900;
    t.tm_mon = emtask::DigitsValue(digits + 4, 2) - 1;
    t.tm_mday = emtask::DigitsValue(digits + 6, 2);
    t.tm_isdst = -1;
    return mktime(&t);
}

// One stage: the records of `out` (count `n`) that pass go through `work`
// and back into `out`.
template <class Test>
int32_t Stage(DeviceData& out, DeviceData& work, int32_t n, Test test)
{
    std::memset(work.m_TestData, 0, sizeof work.m_TestData);
    int32_t kept = 0;
    for (int32_t i = 0; i < n; ++i)
        if (test(out.m_TestData[i])) work.m_TestData[kept++] = out.m_TestData[i];
    std::memcpy(out.m_TestData, work.m_TestData, sizeof out.m_TestData);
    return kept;
}
}  // namespace

int32_t SearchRecordsStaged(const DeviceData& src, const SearchInfo& info, DeviceData& out, DeviceData& work)
{
    std::memset(&out, 0, sizeof out);
    const Criteria c(info);
    if (c.flags == 0) {
        FinishHeader(src, out, 0, false);
        return 0;
    }
    const int32_t total = emtask::RecordCount(src);
    int32_t n;
    if (c.flags & emtask::SEARCH_TESTNO) {
        std::memset(work.m_TestData, 0, sizeof work.m_TestData);
        n = 0;
        for (int32_t i = 0; i < total; ++i)
            if (c.Number(src.m_TestData[i])) work.m_TestData[n++] = src.m_TestData[i];
        std::memcpy(out.m_TestData, work.m_TestData, sizeof out.m_TestData);
    } else {
        std::memcpy(out.m_TestData, src.m_TestData, sizeof out.m_TestData);
        n = total;
    }
    if (c.flags & emtask::SEARCH_DATE) {
        const time_t first = StagedCriteriaTime(info.dateStart, sizeof info.dateStart);
        const time_t last = StagedCriteriaTime(info.dateEnd, sizeof info.dateEnd);
        n = Stage(out, work, n, [&](const TestRecord& r) { return StagedDate(r, first, last); });
    }
    if (c.flags & emtask::SEARCH_IDNAME)
        n = Stage(out, work, n, [&](const TestRecord& r) {
            return emtask::FieldText(r.id) == emtask::FieldText(info.idname) ||
                   emtask::FieldText(r.name) == emtask::FieldText(info.idname);
        });
    if (c.flags & emtask::SEARCH_NORMAL)
        n = Stage(out, work, n, [&](const TestRecord& r) {
            if (r.mode != '0') return false;
            float v = ResultValue(r.result);
            return info.normalstart <= v && v <= info.normalend;
        });
    if (c.flags & emtask::SEARCH_ERROR)
        n = Stage(out, work, n, [](const TestRecord& r) { return r.mode != '0' && r.mode != '1'; });
    FinishHeader(src, out, n, true);
    return n;
}

namespace {
std::future<void>& Ahead()
{
    static std::future<void> ahead;  // its destructor waits for a commit still running at exit
    return ahead;
}

void WaitForResultArea()
{
    if (Ahead().valid()) Ahead().get();
}
}  // namespace

void CommitPages(void* data, size_t size)
{
    auto* p = static_cast<char*>(data);
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t start = (reinterpret_cast<uintptr_t>(p) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + size) & ~(page - 1);
    if (end <= start) return;
    // Large pages where the system offers them on request: far fewer faults.
    madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    if (madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE) == 0) return;
#endif
    // Older kernels: a store into each page, of the byte it holds.
    for (uintptr_t a = start; a < end; a += page) {
        volatile char* c = reinterpret_cast<volatile char*>(a);
        *c = *c;
    }
}

void CommitResultAreaAhead(emtask::SearchResults& results)
{
    std::future<void>& ahead = Ahead();
    if (ahead.valid() && ahead.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    void* records = results.ResultPages();
    try {
        ahead = std::async(std::launch::async,
                           [records] { CommitPages(records, sizeof(DeviceData::m_TestData)); });
    } catch (const std::system_error&) {
        // No thread to spare: the search faults the pages in as it writes.
    }
}

int32_t SearchProcess(emtask::EMTaskData& store)
{
    WaitForResultArea();
    const SearchInfo& info = store.Search().Criteria();
    DebugLine("SearchProcess");
    DebugLine("dateStart : %.64s, dateEnd : %.64s", info.dateStart, info.dateEnd);
    const DeviceData& log = store.Log().Records();
    const int32_t found = store.Search().Fill([&](DeviceData& out) { return SearchRecords(log, info, out); });
    DebugLine("SearchProcess found %d", found);
    return found;
}

}  // namespace search
