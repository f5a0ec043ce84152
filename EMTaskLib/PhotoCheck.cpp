#include "PhotoCheck.h"

#include "EMTaskStruct.h"
#include "FileImage.h"
#include "TextUtil.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <sys/stat.h>
#include <vector>

namespace emtask {

namespace {
constexpr off_t kMaxPhotoBytes = 64 << 20;  // far above any camera frame as JPEG
struct Crc16Table {
    uint16_t v[256];
    constexpr Crc16Table() : v{}
    {
        for (int i = 0; i < 256; ++i) {
            uint16_t c = static_cast<uint16_t>(i << 8);
            for (int b = 0; b < 8; ++b)
                c = static_cast<uint16_t>((c & 0x8000) ? (c << 1) ^ 0x8005 : (c << 1));
            v[i] = c;
        }
    }
};
constexpr Crc16Table kTable;

void PutLe32(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}
}  // namespace

uint16_t crc16(const void* data, size_t length, uint16_t crc)
{
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < length; ++i)
        crc = static_cast<uint16_t>((crc << 8) ^ kTable.v[((crc >> 8) ^ p[i]) & 0xFF]);
    return crc;
}

PhotoSamples SamplePhoto(const cv::Mat& img)
{
    PhotoSamples s{};
    if (img.empty() || img.type() != CV_8UC3) return s;
    for (int r = 0; r < 5; ++r) {
        int y = 50 * r;
        if (y >= img.rows) continue;  // rows 150 and 200 need a taller image
        for (int c = 0; c < 7; ++c) {
            int x = 50 * c;
            if (x >= img.cols) continue;
            const cv::Vec3b& px = img.at<cv::Vec3b>(y, x);
            s[7 * r + c] = uint32_t(px[0]) | (uint32_t(px[1]) << 8) | (uint32_t(px[2]) << 16);
        }
    }
    return s;
}

bool ReadPhotoFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxPhotoBytes) {
        errno = S_ISREG(st.st_mode) ? EFBIG : kNotRegularFile;
        return false;
    }
    if (st.st_size <= 0) return true;
    bytes.resize(static_cast<size_t>(st.st_size));
    const int64_t got = ReadFileImage(path, bytes.data(), bytes.size());
    if (got < 0) {
        bytes.clear();
        return false;
    }
    bytes.resize(static_cast<size_t>(got));
    return true;
}

bool SamplePhotoBytes(const std::vector<unsigned char>& bytes, PhotoSamples& out)
{
    out = PhotoSamples{};
    if (bytes.empty()) return false;
    cv::Mat img;
    try {
        img = cv::imdecode(bytes, cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        return false;
    }
    if (img.empty()) return false;
    out = SamplePhoto(img);
    return true;
}

bool SamplePhotoFile(const std::string& path, PhotoSamples& out)
{
    out = PhotoSamples{};
    std::vector<unsigned char> bytes;
    return ReadPhotoFile(path, bytes) && SamplePhotoBytes(bytes, out);
}

CheckBlock BuildCheckBlock(const PhotoSamples& samples, const TestRecord& rec)
{
    CheckBlock b{};
    for (int k = 0; k < kPhotoSamples; ++k) PutLe32(&b[4 * k], samples[k]);
    PutLe32(&b[140], static_cast<uint32_t>(rec.testno));
    int year = DigitsValue(rec.m_Tyy, 4);
    int month = DigitsValue(rec.m_Tmm, 2);
    int day = DigitsValue(rec.m_Tdd, 2);
    int hour = DigitsValue(rec.m_Thh, 2);
    int minute = DigitsValue(rec.m_Tmi, 2);
    int second = DigitsValue(rec.m_Tss, 2);
    uint32_t date = (static_cast<uint32_t>(year - 2000) & 0xFF) * 65536u +
                    static_cast<uint32_t>(month) * 256u + static_cast<uint32_t>(day);
    uint32_t time = static_cast<uint32_t>(hour) * 65536u + static_cast<uint32_t>(minute) * 256u +
                    static_cast<uint32_t>(second);
    PutLe32(&b[144], date);
    PutLe32(&b[148], time);
    return b;
}

uint16_t PhotoCheckValue(const PhotoSamples& samples, const TestRecord& rec)
{
    CheckBlock b = BuildCheckBlock(samples, rec);
    return crc16(b.data(), b.size());
}

std::string PhotoFileName(const TestRecord& rec)
{
    char name[96];
    std::snprintf(name, sizeof name, "%08d-%.4s%.2s%.2s%.2s%.2s%.2s.jpg", rec.testno, rec.m_Tyy,
                  rec.m_Tmm, rec.m_Tdd, rec.m_Thh, rec.m_Tmi, rec.m_Tss);
    return name;
}

std::string SafePhotoFileName(const TestRecord& rec, int32_t number)
{
    if (number < 0 || number > 99999999) return {};
    TestRecord named = rec;
    named.testno = number;
    std::string name = PhotoFileName(named);
    // 8 digits, '-', 14 digits, ".jpg": 27 characters.
    if (name.size() != 27 || name[8] != '-' || name.compare(23, 4, ".jpg") != 0) return {};
    for (size_t i = 0; i < 23; ++i)
        if (i != 8 && (name[i] < '0' || name[i] > '9')) return {};
    return name;
}

}  // namespace emtask
