// The photograph check value: CRC parameters, the check block, the sampling.
#include "EMTaskStruct.h"
#include "PhotoCheck.h"

#include <cstring>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

using namespace emtask;

namespace {
// Bit-serial CRC-16/0x8005, written independently of the table form.
uint16_t SlowCrc(const unsigned char* p, size_t n)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        for (int b = 7; b >= 0; --b) {
            bool in = (p[i] >> b) & 1;
            bool top = crc & 0x8000;
            crc = static_cast<uint16_t>(crc << 1);
            if (in != top) crc ^= 0x8005;
        }
    }
    return crc;
}

TestRecord Record(int testno, const char* date, const char* time)
{
    TestRecord r{};
    r.testno = testno;
    std::memcpy(r.m_Tyy, date, 4);
    std::memcpy(r.m_Tmm, date + 4, 2);
    std::memcpy(r.m_Tdd, date + 6, 2);
    std::memcpy(r.m_Thh, time, 2);
    std::memcpy(r.m_Tmi, time + 2, 2);
    std::memcpy(r.m_Tss, time + 4, 2);
    return r;
}

// Every pixel distinct: B = x, G = y, R = (x + y) & 255.
cv::Mat Pattern(int w, int h)
{
    cv::Mat m(h, w, CV_8UC3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            m.at<cv::Vec3b>(y, x) = cv::Vec3b(x & 255, y & 255, (x + y) & 255);
    return m;
}
uint32_t Px(int x, int y) { return (x & 255) | ((y & 255) << 8) | (((x + y) & 255) << 16); }
}  // namespace

TEST(PhotoCheck, CrcPublishedCheckValue)
{
    EXPECT_EQ(crc16("123456789", 9), 0xFEE8);
    const unsigned char data[] = "\x01\xFF\x80ZOLT7";
    // Fed in two parts, the running value continues.
    EXPECT_EQ(crc16(data + 3, 5, crc16(data, 3)), SlowCrc(data, 8));
}

TEST(PhotoCheck, CheckBlockBuiltByHand)
{
    PhotoSamples s{};
    for (int k = 0; k < kPhotoSamples; ++k) s[k] = 0x00A0B0C0u + static_cast<uint32_t>(k);
    TestRecord r = Record(1, "20240307", "134559");

    unsigned char expect[152] = {};
    for (int k = 0; k < 35; ++k) {
        expect[4 * k + 0] = static_cast<unsigned char>(0xC0 + k);
        expect[4 * k + 1] = 0xB0;
        expect[4 * k + 2] = 0xA0;
    }
    expect[140] = 1;
    // date: (24 << 16) | (3 << 8) | 7, time: (13 << 16) | (45 << 8) | 59
    expect[144] = 7; expect[145] = 3; expect[146] = 24;
    expect[148] = 59; expect[149] = 45; expect[150] = 13;

    CheckBlock b = BuildCheckBlock(s, r);
    EXPECT_EQ(0, std::memcmp(b.data(), expect, sizeof expect));
    EXPECT_EQ(PhotoCheckValue(s, r), SlowCrc(expect, sizeof expect));

    // No photograph: all samples zero, the record's numbers still count.
    PhotoSamples none{};
    std::memset(expect, 0, 140);
    EXPECT_EQ(PhotoCheckValue(none, r), SlowCrc(expect, sizeof expect));
    EXPECT_NE(PhotoCheckValue(none, r), PhotoCheckValue(none, Record(2, "20240307", "134559")));

    // A year before 2000 wraps modulo 256.
    b = BuildCheckBlock(none, Record(5, "19991231", "000000"));
    EXPECT_EQ(b[146], 0xFF);
    EXPECT_EQ(b[145], 12);
    EXPECT_EQ(b[144], 31);
}

TEST(PhotoCheck, SamplesAtAFiftyPixelGridZeroOutsideTheImage)
{
    PhotoSamples full = SamplePhoto(Pattern(320, 240));
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 7; ++c) EXPECT_EQ(full[7 * r + c], Px(50 * c, 50 * r)) << r << "," << c;
    // 150 rows: rows 0, 50, 100 only. 300 columns: column 300 is outside.
    PhotoSamples s = SamplePhoto(Pattern(300, 150));
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(s[21 + c], 0u);
        EXPECT_EQ(s[28 + c], 0u);
    }
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(s[7 * r + 6], 0u);
        EXPECT_EQ(s[7 * r + 5], Px(250, 50 * r));
    }
    // One more row and column: row 150 and column 300 are taken, row 200 not.
    PhotoSamples t = SamplePhoto(Pattern(301, 151));
    EXPECT_EQ(t[21 + 6], Px(300, 150));
    EXPECT_EQ(t[28], 0u);
    // No photograph, or none that can be read.
    for (uint32_t v : SamplePhoto(cv::Mat())) EXPECT_EQ(v, 0u);
    PhotoSamples missing;
    missing.fill(1);
    EXPECT_FALSE(SamplePhotoFile("/nonexistent/none.jpg", missing));
    for (uint32_t v : missing) EXPECT_EQ(v, 0u);
}
