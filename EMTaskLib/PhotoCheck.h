// The photograph check value stored in TestRecord::crc16.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cv { class Mat; }

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

// Decodes a JPEG file with the same decoder used to store and to check;
// returns false (samples all zero) when the file is missing or undecodable.
bool SamplePhotoFile(const std::string& path, PhotoSamples& out);

// The bytes of a photograph file: only a regular file of a sane size is read
// (a FIFO or device at its path must not stall a check). False (errno set)
// when there is none or it cannot be read.
bool ReadPhotoFile(const std::string& path, std::vector<unsigned char>& bytes);
// The samples of a photograph's file bytes; false (samples all zero) when
// they do not decode.
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
