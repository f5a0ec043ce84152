// Records whose content is a function of their number, log files built by
// hand, and a cheap digest of the sparse 276 MB log.
#pragma once

#include "EMTaskData.h"
#include "StoreImage.h"
#include "FileImage.h"
#include "TestFolder.h"
#include "TextUtil.h"

#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

inline emtask::TestRecord Rec(int i)
{
    emtask::TestRecord r{};
    std::snprintf(r.id, sizeof r.id, "id-%d", i);
    std::snprintf(r.name, sizeof r.name, "name %d", i * 7);
    struct tm lt { };
    lt.tm_year = 124;
    lt.tm_mon = 2;
    lt.tm_mday = 7;
    lt.tm_hour = 9;
    lt.tm_min = i % 60;
    lt.tm_sec = 1;
    emtask::StampRecordTime(r, lt);
    std::snprintf(r.result, sizeof r.result, "0.%03d", i % 1000);
    r.crc16 = static_cast<uint16_t>(i * 31);
    return r;
}

// Record i as the store keeps it in slot i.
inline bool RecordIs(int slot, int i)
{
    emtask::TestRecord want = Rec(i);
    want.testno = slot + 1;
    return std::memcmp(&emtask::StoreImage::Log(*emtask::GetManager()).m_TestData[slot], &want,
                       sizeof want) == 0;
}

// A log of `records` records with the header count `datacnt`, written by hand.
inline void WriteLog(const std::string& path, int32_t datacnt, int records)
{
    std::vector<char> img(emtask::kDeviceDataHeaderSize + size_t(records) * sizeof(emtask::TestRecord));
    int32_t flag = emtask::kInitFlag;
    std::memcpy(img.data(), &flag, 4);
    std::memcpy(img.data() + 8, &datacnt, 4);
    for (int i = 0; i < records; ++i) {
        emtask::TestRecord r = Rec(i);
        r.testno = i + 1;
        std::memcpy(img.data() + emtask::kDeviceDataHeaderSize + i * sizeof r, &r, sizeof r);
    }
    WriteBytes(path, img.data(), img.size());
}

// Size and content of a file, reading only the stretches that hold data.
inline std::string Digest(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return "missing";
    struct stat st;
    fstat(fd, &st);
    uint64_t h = emtask::Fnv1a(&st.st_size, sizeof st.st_size);
    std::vector<char> buf(1 << 20);
    off_t pos = 0;
    while ((pos = lseek(fd, pos, SEEK_DATA)) >= 0 && pos < st.st_size) {
        off_t end = lseek(fd, pos, SEEK_HOLE);
        while (pos < end) {
            ssize_t n = pread(fd, buf.data(), std::min<off_t>(end - pos, buf.size()), pos);
            if (n <= 0) break;
            if (!emtask::IsZero(buf.data(), n)) {
                h = emtask::Fnv1a(&pos, sizeof pos, h);
                h = emtask::Fnv1a(buf.data(), n, h);
            }
            pos += n;
        }
    }
    close(fd);
    return std::to_string(h);
}

inline void Restart()
{
    emtask::GetManager()->Reset();
    emtask::GetManager()->StartUp();
}
