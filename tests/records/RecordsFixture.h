// Test logs and archives for the record tests: records with dated fields,
// photographs stored as a test stores them, archive files written by hand.
#pragma once

#include "EMTaskData.h"
#include "ProgramFolder.h"
#include "TestFolder.h"
#include "measurement/TestStore.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <string>

// A fresh program folder with default settings and an initialised, empty log.
struct RecordsHome : TestFolder {
    RecordsHome()
    {
        emtask::InitBusInfo(emtask::GetManager()->m_BusInfo, 0);
        emtask::GetManager()->m_DeviceData.initflag = emtask::kInitFlag;
    }
};

inline emtask::TestRecord MakeRecord(int32_t testno, int second = 0, const char* result = "0.000", char mode = '0')
{
    emtask::TestRecord r{};
    r.testno = testno;
    std::snprintf(r.m_Tyy, sizeof r.m_Tyy, "2024");
    std::snprintf(r.m_Tmm, sizeof r.m_Tmm, "03");
    std::snprintf(r.m_Tdd, sizeof r.m_Tdd, "07");
    std::snprintf(r.m_Thh, sizeof r.m_Thh, "14");
    auto two = [](char* f, int v) {
        f[0] = char('0' + v / 10);
        f[1] = char('0' + v % 10);
    };
    two(r.m_Tmi, (testno / 60) % 60);
    two(r.m_Tss, second % 60);
    std::snprintf(r.id, sizeof r.id, "id%d", testno);
    std::snprintf(r.name, sizeof r.name, "Name %d", testno);
    std::snprintf(r.result, sizeof r.result, "%s", result);
    r.mode = mode;
    r.unit[0] = mode == 'F' ? 'F' : 'B';
    return r;
}

// A photograph that differs by test number (640 x 480).
inline cv::Mat MakePhoto(int seed)
{
    cv::Mat m(480, 640, CV_8UC3, cv::Scalar(30 + seed * 7 % 200, 120, 200 - seed * 3 % 150));
    cv::circle(m, cv::Point(320, 220), 90 + seed % 40, cv::Scalar(240, 220, 200), cv::FILLED);
    return m;
}

// Appends `n` records to the log in the store; every `photoEvery`-th one
// (0: none) gets a photograph in data/jpeg and its check value.
inline void FillLog(int n, int photoEvery = 0)
{
    emtask::EMTaskData* m = emtask::GetManager();
    for (int i = 0; i < n; ++i) {
        emtask::TestRecord r = MakeRecord(m->NextTestNo(), i);
        if (photoEvery && (r.testno % photoEvery) == 0) r.crc16 = measurement::SaveTestPhoto(MakePhoto(r.testno), r);
        m->AppendRecord(r);
    }
}

// An archive file: header (kind, seven zeros) and `size` bytes of `image`.
inline void WriteArchiveFile(const std::string& path, const emtask::DeviceData& image, unsigned char kind = 0,
                             size_t size = sizeof(emtask::DeviceData))
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    FILE* f = std::fopen(path.c_str(), "wb");
    unsigned char header[8] = {kind};
    std::fwrite(header, 1, 8, f);
    std::fwrite(&image, 1, size, f);
    std::fclose(f);
}
