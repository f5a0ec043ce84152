// Record test logs: dated records, photographs stored as a test stores them, hand-written archives.
#pragma once

#include "PhotoCheck.h"
#include "StoreImage.h"
#include "TestFolder.h"
#include "measurement/TestStore.h"
#include "../search/SearchTestUtil.h"

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
        emtask::InitBusInfo(emtask::StoreImage::Settings(*emtask::GetManager()), 0);
        emtask::StoreImage::Log(*emtask::GetManager()).initflag = emtask::kInitFlag;
    }
};

// A record of 7 March 2024, 14:mm:ss (mm from the test number).
inline emtask::TestRecord MakeRecord(int32_t testno, int second = 0, const char* result = "0.000",
                                     char mode = '0')
{
    char date[24], id[16], name[24];
    std::snprintf(date, sizeof date, "2024030714%02d%02d", (testno / 60) % 60, second % 60);
    std::snprintf(id, sizeof id, "id%d", testno);
    std::snprintf(name, sizeof name, "Name %d", testno);
    return searchtest::Record(testno, date, id, name, result, mode, mode == 'F' ? "F" : "B");
}

// A camera-sized photograph (640 x 480) that differs by test number.
inline cv::Mat MakePhoto(int seed)
{
    cv::Mat m(480, 640, CV_8UC3, cv::Scalar(30 + seed * 7 % 200, 120, 200 - seed * 3 % 150));
    cv::circle(m, cv::Point(320, 220), 90 + seed % 40, cv::Scalar(240, 220, 200), cv::FILLED);
    return m;
}

// Appends `n` records to the log in the store; every `photoEvery`-th one
// (0: none) gets a photograph in data/jpeg; each its check value.
inline void FillLog(int n, int photoEvery = 0)
{
    emtask::EMTaskData* m = emtask::GetManager();
    for (int i = 0; i < n; ++i) {
        emtask::TestRecord r = MakeRecord(m->NextTestNo(), i);
        if (photoEvery && (r.testno % photoEvery) == 0)
            r.crc16 = measurement::SaveTestPhoto(MakePhoto(r.testno), r);
        else
            r.crc16 = emtask::PhotoCheckValue(emtask::PhotoSamples{}, r);  // as a test without a photograph
        m->AppendRecord(r);
    }
}

// An archive file: header (kind, seven zeros), the first `used` bytes of
// `image`, then zeros (a hole) up to `fileSize` bytes in all.
inline void WriteArchiveFile(const std::string& path, const emtask::DeviceData& image, unsigned char kind = 0,
                             size_t used = sizeof(emtask::DeviceData),
                             uint64_t fileSize = 8 + sizeof(emtask::DeviceData))
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    FILE* f = std::fopen(path.c_str(), "wb");
    unsigned char header[8] = {kind};
    std::fwrite(header, 1, 8, f);
    std::fwrite(&image, 1, used, f);
    std::fclose(f);
    std::filesystem::resize_file(path, fileSize);
}
