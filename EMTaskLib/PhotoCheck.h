// The photograph check value stored in TestRecord::crc16.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cv {
class Mat;
}

namespace emtask {

struct TestRecord;

// CRC-16, polynomial 0x8005, initial 0, no reflection, no final xor.
uint16_t crc16(const void* data, size_t length, uint16_t crc = 0);

constexpr int kPhotoSamples = 35;  // 5 row groups x 7 columns
using PhotoSamples = std::array<uint32_t, kPhotoSamples>;

// Samples at (50 c, 50 r) of a decoded BGR image (8-bit, 3 channels); rows 150
// and 200 only when the image is taller than them, columns outside give 0.
// An empty matrix (no photograph) gives all zero.
PhotoSamples SamplePhoto(const cv::Mat& bgr);

// Largest photograph decoded, each side: far above any camera frame (the
// camera is asked for 320 x 240), far below what a header may claim.
constexpr int kMaxPhotoSide = 4096;
// Largest photograph file read.
constexpr uint64_t kMaxPhotoBytes = 64 << 20;

// Width and height from the header of JPEG bytes (their frame marker) or PNG
// bytes (IHDR), without decoding. False when the bytes are neither, or the
// header is cut short or malformed.
bool PhotoDimensions(const unsigned char* data, size_t size, int& width, int& height);

enum class PhotoStatus {
    Decoded,
    Missing,      // no file at the path
    Undecodable,  // read, but no JPEG or PNG the decoder takes
    Refused,      // not read (not a regular file, over kMaxPhotoBytes, a read
                  // error) or not decoded (over kMaxPhotoSide a side): it
                  // fails its check whatever the stored value
};

// Decodes photograph bytes to 8-bit BGR, the one decoder every photograph goes
// through. Only bytes whose header PhotoDimensions reads, at most kMaxPhotoSide
// a side, reach the decoder: a few hundred bytes may claim 30,000 x 30,000
// pixels. `why` says why when not Decoded.
PhotoStatus DecodePhoto(const std::vector<unsigned char>& bytes, cv::Mat& bgr, std::string* why = nullptr);
// ReadPhotoFile, then DecodePhoto; the bytes stay in `bytes` when given.
PhotoStatus LoadPhoto(const std::string& path, cv::Mat& bgr, std::string* why = nullptr,
                      std::vector<unsigned char>* bytes = nullptr);

// The samples of a photograph file; false (samples all zero) when it is not
// Decoded.
bool SamplePhotoFile(const std::string& path, PhotoSamples& out);

// The bytes of a photograph file, opened without blocking (a FIFO or device
// at its path must not stall a check) and at most kMaxPhotoBytes long. False
// (errno set: ENOENT, kNotRegularFile, EFBIG, ...) when there is none or it
// cannot be read.
bool ReadPhotoFile(const std::string& path, std::vector<unsigned char>& bytes);
// The samples of a photograph's file bytes; false (samples all zero) when
// they are not Decoded.
bool SamplePhotoBytes(const std::vector<unsigned char>& bytes, PhotoSamples& out);

// The 152-byte block fed to the CRC: samples, testno, packed date, packed time.
using CheckBlock = std::array<unsigned char, 152>;
CheckBlock BuildCheckBlock(const PhotoSamples& samples, const TestRecord& rec);

uint16_t PhotoCheckValue(const PhotoSamples& samples, const TestRecord& rec);

// "%08d-%.4s%.2s%.2s%.2s%.2s%.2s.jpg" of the record.
std::string PhotoFileName(const TestRecord& rec);

// The same name under `number`; "" when that does not give eight digits, a
// hyphen and fourteen digits (a record may hold anything in its fields, and
// the name must never become a path).
std::string SafePhotoFileName(const TestRecord& rec, int32_t number);

}  // namespace emtask
