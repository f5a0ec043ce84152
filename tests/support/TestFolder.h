#pragma once

#include "EMTaskData.h"
#include "ProgramFolder.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

// A fresh program folder under /tmp, removed afterwards, with the store reset.
struct TestFolder {
    std::string path;
    TestFolder()
    {
        char tmpl[] = "/tmp/zolt7-test-XXXXXX";
        path = mkdtemp(tmpl);
        emtask::SetProgramFolder(path);
        emtask::GetManager()->Reset();
    }
    ~TestFolder() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string& rel) const { return path + "/" + rel; }
};

inline std::vector<char> ReadBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(f), {});
}

inline void WriteBytes(const std::string& path, const void* data, size_t size)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The settings block as stored in conf/config.conf (zero when the file is not whole).
inline emtask::BusInfo StoredBus()
{
    emtask::BusInfo b{};
    std::vector<char> bytes = ReadBytes(emtask::ConfigPath());
    if (bytes.size() == sizeof b) std::memcpy(&b, bytes.data(), sizeof b);
    return b;
}

// While it lives, no file of this process grows past `bytes`: a write beyond
// fails as on a full disk (EFBIG, the signal ignored).
struct FileSizeLimit {
    struct rlimit old { };
    void (*oldHandler)(int);
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
};

// Makes the baseline frame header (FF C0) of encoded JPEG bytes claim w x h
// pixels: a few hundred bytes that would have a decoder allocate gigabytes.
inline void ClaimJpegSize(std::vector<unsigned char>& jpeg, int w, int h)
{
    for (size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            const unsigned char size[4] = {uint8_t(h >> 8), uint8_t(h), uint8_t(w >> 8), uint8_t(w)};
            std::memcpy(&jpeg[i + 5], size, 4);
            return;
        }
}

inline uintmax_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }
