// The photograph check value: CRC parameters, the check block, the sampling.
#include "PhotoCheck.h"
#include "StoreUtil.h"

#include <cstring>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

using namespace emtask;

namespace {
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

TEST(PhotoCheck, CheckBlockBuiltByHandAndItsCrc)
{
    EXPECT_EQ(crc16("123456789", 9), 0xFEE8);  // the published check value
    // Fed in two parts, the running value continues.
    EXPECT_EQ(crc16("6789", 4, crc16("12345", 5)), 0xFEE8);

    PhotoSamples s{};
    for (int k = 0; k < kPhotoSamples; ++k) s[k] = 0x00A0B0C0u + static_cast<uint32_t>(k);
    TestRecord r = Rec(45);  // 2024-03-07 09:45:01
    r.testno = 1;

    unsigned char expect[152] = {};
    for (int k = 0; k < 35; ++k) {
        expect[4 * k + 0] = static_cast<unsigned char>(0xC0 + k);
        expect[4 * k + 1] = 0xB0;
        expect[4 * k + 2] = 0xA0;
    }
    expect[140] = 1;
    // date: (24 << 16) | (3 << 8) | 7, time: (9 << 16) | (45 << 8) | 1
    expect[144] = 7; expect[145] = 3; expect[146] = 24;
    expect[148] = 1; expect[149] = 45; expect[150] = 9;

    CheckBlock b = BuildCheckBlock(s, r);
    EXPECT_EQ(0, std::memcmp(b.data(), expect, sizeof expect));
    EXPECT_EQ(PhotoCheckValue(s, r), crc16(expect, sizeof expect));
}

TEST(PhotoCheck, SamplesAtAFiftyPixelGridZeroOutsideTheImage)
{
    PhotoSamples full = SamplePhoto(Pattern(320, 240));
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 7; ++c) EXPECT_EQ(full[7 * r + c], Px(50 * c, 50 * r)) << r << "," << c;
    // 150 rows: rows 0, 50, 100 only. 300 columns: column 300 is outside.
    PhotoSamples s = SamplePhoto(Pattern(300, 150));
    EXPECT_EQ(s[14 + 5], Px(250, 100));
    EXPECT_EQ(s[14 + 6], 0u);
    EXPECT_EQ(s[21], 0u);
    // One more row and column: row 150 and column 300 are taken.
    EXPECT_EQ(SamplePhoto(Pattern(301, 151))[21 + 6], Px(300, 150));
    // No photograph, or none that can be read.
    for (uint32_t v : SamplePhoto(cv::Mat())) EXPECT_EQ(v, 0u);
    PhotoSamples missing;
    missing.fill(1);
    EXPECT_FALSE(SamplePhotoFile("/nonexistent/none.jpg", missing));
    for (uint32_t v : missing) EXPECT_EQ(v, 0u);
}
