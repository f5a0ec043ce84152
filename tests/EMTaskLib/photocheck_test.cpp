// The photograph check value: CRC parameters, the check block, the sampling.
#include "PhotoCheck.h"
#include "StoreUtil.h"

#include <cstring>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

using namespace emtask;

namespace {
// Every pixel distinct: B = x, G = y, R = (x + y) & 255.
cv::Mat Pattern(int w, int h)
{
    cv::Mat m(h, w, CV_8UC3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.at<cv::Vec3b>(y, x) = cv::Vec3b(x & 255, y & 255, (x + y) & 255);
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
    expect[144] = 7;
    expect[145] = 3;
    expect[146] = 24;
    expect[148] = 1;
    expect[149] = 45;
    expect[150] = 9;

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

// Only what the header says fits reaches the decoder; a file is read only
// when it is a regular file of a photograph's size.
TEST(PhotoCheck, OversizedOrUnreadablePhotographsAreRefusedUndecoded)
{
    auto jpeg = [](int w, int h) {
        std::vector<unsigned char> b;
        cv::imencode(".jpg", Pattern(w, h), b);
        return b;
    };
    std::vector<unsigned char> huge = jpeg(16, 16), png;
    ClaimJpegSize(huge, 30000, 30000);
    cv::imencode(".png", Pattern(4097, 2), png);
    std::vector<unsigned char> cut = jpeg(16, 16);
    cut.resize(20);  // before the frame header
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        PhotoStatus status;
        int width;
    } cases[] = {
        {"camera frame", jpeg(640, 480), PhotoStatus::Decoded, 640},
        {"widest decoded", jpeg(kMaxPhotoSide, 2), PhotoStatus::Decoded, kMaxPhotoSide},
        {"one column more", jpeg(kMaxPhotoSide + 1, 2), PhotoStatus::Refused, kMaxPhotoSide + 1},
        {"header claiming 30000 x 30000", huge, PhotoStatus::Refused, 30000},
        {"PNG one column more", png, PhotoStatus::Refused, kMaxPhotoSide + 1},
        {"cut before its size", cut, PhotoStatus::Undecodable, 0},
        {"no image", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, PhotoStatus::Undecodable, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int w = -1, h = -1;
        PhotoDimensions(c.bytes.data(), c.bytes.size(), w, h);
        EXPECT_EQ(w, c.width);
        cv::Mat img;
        EXPECT_EQ(DecodePhoto(c.bytes, img), c.status);
        EXPECT_EQ(img.empty(), c.status != PhotoStatus::Decoded);
    }

    TestFolder tf;
    WriteBytes(tf / "huge.jpg", huge.data(), huge.size());
    const int fd = open((tf / "long.jpg").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_EQ(ftruncate(fd, kMaxPhotoBytes + 1), 0);  // a hole: nothing to read but its size
    close(fd);
    cv::Mat img;
    std::string why;
    EXPECT_EQ(LoadPhoto(tf / "huge.jpg", img, &why), PhotoStatus::Refused);
    EXPECT_NE(why.find("30000 x 30000"), std::string::npos) << why;
    EXPECT_EQ(LoadPhoto(tf / "long.jpg", img), PhotoStatus::Refused);
    EXPECT_EQ(LoadPhoto(tf / "none.jpg", img), PhotoStatus::Missing);
}
