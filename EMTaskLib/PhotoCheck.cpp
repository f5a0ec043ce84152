#include "PhotoCheck.h"

#include "EMTaskStruct.h"
#include "FileImage.h"
#include "TextUtil.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <unistd.h>
#include <vector>

namespace emtask {

namespace {
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

namespace {
unsigned Be16(const unsigned char* p) { return unsigned(p[0]) << 8 | p[1]; }
uint32_t Be32(const unsigned char* p) { return uint32_t(Be16(p)) << 16 | Be16(p + 2); }

// The first frame header of a JPEG: the one the decoder sizes its image by
// (a second one, or a second start of image, is an error to it).
bool JpegDimensions(const unsigned char* p, size_t n, int& width, int& height)
{
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) return false;
    size_t i = 2;
    while (i + 2 <= n) {
        if (p[i] != 0xFF) return false;  // up to the frame header, segments follow one another
        const unsigned m = p[i + 1];
        if (m == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        i += 2;
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) continue;                 // no length field
        if (m == 0xD8 || m == 0xD9 || m == 0xDA || m == 0x00) return false;  // no frame before this
        if (i + 2 > n) return false;
        const size_t len = Be16(p + i);
        if (len < 2 || len > n - i) return false;
        // SOF0-15 but DHT (C4), JPG (C8) and DAC (CC).
        if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
            if (len < 8) return false;
            height = static_cast<int>(Be16(p + i + 3));
            width = static_cast<int>(Be16(p + i + 5));
            return true;
        }
        i += len;
    }
    return false;
}

bool PngDimensions(const unsigned char* p, size_t n, int& width, int& height)
{
    static const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (n < 24 || std::memcmp(p, kSignature, 8) != 0 || std::memcmp(p + 12, "IHDR", 4) != 0) return false;
    const uint32_t w = Be32(p + 16), h = Be32(p + 20);
    // Kept within int; anything that large is refused anyway.
    width = static_cast<int>(w > 0x7FFFFFFF ? 0x7FFFFFFF : w);
    height = static_cast<int>(h > 0x7FFFFFFF ? 0x7FFFFFFF : h);
    return true;
}
}  // namespace

bool PhotoDimensions(const unsigned char* data, size_t size, int& width, int& height)
{
    width = height = 0;
    return JpegDimensions(data, size, width, height) || PngDimensions(data, size, width, height);
}

bool ReadPhotoFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    uint64_t size = 0;
    const int fd = OpenRegularFile(path, &size);
    if (fd < 0) return false;
    if (size > kMaxPhotoBytes) {
        close(fd);
        errno = EFBIG;
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int e = errno;
            close(fd);
            bytes.clear();
            errno = e;
            return false;
        }
        if (n == 0) break;  // shrank meanwhile
        got += static_cast<size_t>(n);
    }
    close(fd);
    bytes.resize(got);
    return true;
}

PhotoStatus DecodePhoto(const std::vector<unsigned char>& bytes, cv::Mat& bgr, std::string* why)
{
    bgr.release();
    int w = 0, h = 0;
    if (!PhotoDimensions(bytes.data(), bytes.size(), w, h) || w <= 0 || h <= 0) {
        if (why) *why = "not a JPEG or PNG image";
        return PhotoStatus::Undecodable;
    }
    if (w > kMaxPhotoSide || h > kMaxPhotoSide) {
        if (why)
            *why = std::to_string(w) + " x " + std::to_string(h) + " pixels, over " +
                   std::to_string(kMaxPhotoSide) + " a side";
        return PhotoStatus::Refused;
    }
    try {
        bgr = cv::imdecode(bytes, cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        bgr.release();
    }
    if (bgr.empty()) {
        if (why) *why = "cannot be decoded";
        return PhotoStatus::Undecodable;
    }
    return PhotoStatus::Decoded;
}

PhotoStatus LoadPhoto(const std::string& path, cv::Mat& bgr, std::string* why,
                      std::vector<unsigned char>* bytes)
{
    bgr.release();
    std::vector<unsigned char> own;
    std::vector<unsigned char>& b = bytes ? *bytes : own;
    if (!ReadPhotoFile(path, b)) {
        const int e = errno;
        if (why) *why = ErrorText(e);
        return e == ENOENT ? PhotoStatus::Missing : PhotoStatus::Refused;
    }
    return DecodePhoto(b, bgr, why);
}

bool SamplePhotoBytes(const std::vector<unsigned char>& bytes, PhotoSamples& out)
{
    cv::Mat img;
    const bool ok = DecodePhoto(bytes, img) == PhotoStatus::Decoded;
    out = SamplePhoto(img);
    return ok;
}

bool SamplePhotoFile(const std::string& path, PhotoSamples& out)
{
    cv::Mat img;
    const bool ok = LoadPhoto(path, img) == PhotoStatus::Decoded;
    out = SamplePhoto(img);
    return ok;
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
    std::snprintf(name, sizeof name, "%08d-%.4s%.2s%.2s%.2s%.2s%.2s.jpg", rec.testno, rec.m_Tyy, rec.m_Tmm,
                  rec.m_Tdd, rec.m_Thh, rec.m_Tmi, rec.m_Tss);
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
