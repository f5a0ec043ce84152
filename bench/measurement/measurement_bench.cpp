// Measurement benchmark: the CPU the capture thread costs at 320 x 240, and
// the time to store a result with its photograph on a nearly full log, each
// beside the naive way it replaces.
//   measurement_bench [--dir DIR] [--source PATTERN] [--seconds N]
// PATTERN: the camera stand-in (default: the sample camera of the build).
#include "EMTaskData.h"
#include "StoreImage.h"
#include "ProgramFolder.h"
#include "measurement/CameraCapture.h"
#include "measurement/TestStore.h"

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <opencv2/imgproc.hpp>
#include <string>
#include <thread>
#include <time.h>
#include <vector>

using namespace emtask;
using Clock = std::chrono::steady_clock;

namespace {
double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double ProcessCpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

void Row(const char* op, double ours, double naive, const char* unit, const char* naiveWhat,
         const char* limit)
{
    std::printf("| %-52s | %9.2f %-4s | %9.2f %-4s | %6.1fx | %-34s | %-10s |\n", op, ours, unit, naive, unit,
                ours > 0 ? naive / ours : 0.0, naiveWhat, limit);
}

// CPU of the whole process, as % of one core, while `run` works for `seconds`.
double CpuPercent(double seconds, const std::function<void(const std::atomic<bool>&)>& run)
{
    std::atomic<bool> go{true};
    double c0 = ProcessCpuMs();
    auto t0 = Clock::now();
    std::thread t([&] { run(go); });
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    go = false;
    t.join();
    double c1 = ProcessCpuMs();
    return 100.0 * (c1 - c0) / Ms(t0, Clock::now());
}
}  // namespace

int main(int argc, char** argv)
{
    std::string dir = "/tmp";
    std::string source = SAMPLECAM_SOURCE;
    double seconds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--dir")) dir = argv[i + 1];
        if (!std::strcmp(argv[i], "--source")) source = argv[i + 1];
        if (!std::strcmp(argv[i], "--seconds")) seconds = std::atof(argv[i + 1]);
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::string home = dir + "/zolt7-measbench-" + std::to_string(getpid());
    std::filesystem::create_directories(home);
    SetProgramFolder(home);
    EMTaskData* m = GetManager();
    m->Reset();
    InitBusInfo(emtask::StoreImage::Settings(*m), 0);
    emtask::StoreImage::Log(*m).initflag = kInitFlag;
    setenv("ZOLT7_CAMERA_SOURCE", source.c_str(), 1);

    std::printf("measurement benchmark in %s, camera %s\n\n", home.c_str(), source.c_str());
    std::printf("| %-52s | %14s | %14s | %7s | %-34s | %-10s |\n", "operation", "ours", "naive", "ratio",
                "naive way", "limit");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(54, '-').c_str(), std::string(16, '-').c_str(),
                std::string(16, '-').c_str(), std::string(9, '-').c_str(), std::string(36, '-').c_str(),
                std::string(12, '-').c_str());

    // Capture thread: frames read, converted and scaled for the picture.
    std::atomic<long> pictures{0};
    auto sink = [&](const QImage& p, measurement::Banner) {
        if (!p.isNull()) ++pictures;
    };
    double ours = CpuPercent(seconds, [&](const std::atomic<bool>& go) {
        measurement::CameraCapture cap(sink);
        cap.OpenCamera(0);
        while (go) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        cap.StopCapture();
    });
    long oursPictures = pictures.exchange(0);
    double naive = CpuPercent(seconds, [&](const std::atomic<bool>& go) {
        measurement::CameraCapture cap(sink);
        cap.OpenCamera(0);
        cap.StopCapture();
        cap.SetCameraOpen(true);
        while (go) cap.HandleFrame();  // no pause between frames
    });
    Row("capture thread CPU, 320 x 240 (% of one core)", ours, naive, "%", "no pause between frames",
        "<= 15 %");
    std::fprintf(stderr, "pictures: %ld in %.0f s (naive %ld)\n", oursPictures, seconds, pictures.load());

    // Storing with the photograph on a log of 999,990 .. 999,998 records.
    const int32_t start = 999990;
    for (int32_t i = 0; i < start; ++i) {
        TestRecord& r = emtask::StoreImage::Log(*m).m_TestData[i];
        r.testno = i + 1;
        std::snprintf(r.id, sizeof r.id, "ID%07d", i);
        std::memcpy(r.result, "0.045", 5);
        r.mode = '0';
    }
    emtask::StoreImage::Log(*m).datacnt = start;
    emtask::StoreImage::Settings(*m).recordcnt = start;
    if (m->SaveResultData() != 1) {
        std::fprintf(stderr, "cannot write the log\n");
        return 1;
    }
    cv::Mat photo(240, 320, CV_8UC3);
    cv::randu(photo, cv::Scalar::all(0), cv::Scalar::all(255));
    cv::GaussianBlur(photo, photo, cv::Size(7, 7), 2);
    std::strcpy(emtask::StoreImage::Settings(*m).subjectid, "bench");
    std::strcpy(emtask::StoreImage::Settings(*m).subjectname, "Bench Subject");
    std::vector<double> times;
    time_t now = time(nullptr);
    struct tm lt;
    localtime_r(&now, &lt);
    for (int k = 0; k < 8; ++k) {
        std::strcpy(emtask::StoreImage::Settings(*m).lastresult, "0.045");
        std::strcpy(emtask::StoreImage::Settings(*m).unitcode, "B");
        lt.tm_sec = k;
        auto t0 = Clock::now();
        measurement::StoredTest st = measurement::FlowDataSave(*emtask::GetManager(), false, "0.045", photo,
                                                               lt);
        times.push_back(Ms(t0, Clock::now()));
        if (st.slot < 0 || st.logSaved != 1 || st.settingSaved != 1 || !st.photoWritten) {
            std::fprintf(stderr, "store failed at %d\n", k);
            return 1;
        }
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    // The naive way: the whole log rewritten with "wb", then the settings.
    auto n0 = Clock::now();
    {
        std::string p = home + "/data/naive.dat";
        FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(&emtask::StoreImage::Log(*m), sizeof emtask::StoreImage::Log(*m), 1, f);
        std::fclose(f);
        FILE* g = std::fopen((home + "/conf/naive.conf").c_str(), "wb");
        std::fwrite(&emtask::StoreImage::Settings(*m), sizeof emtask::StoreImage::Settings(*m), 1, g);
        std::fclose(g);
    }
    double naiveStore = Ms(n0, Clock::now());
    Row("store with photograph, log of 999,998 (median ms)", sorted[sorted.size() / 2], naiveStore, "ms",
        "whole 276 MB log rewritten (wb)", "<= 100 ms");
    Row("store with photograph, log of 999,998 (worst ms)", sorted.back(), naiveStore, "ms",
        "whole 276 MB log rewritten (wb)", "<= 100 ms");
    std::printf("\nrecords after the run: %d\n", RecordCount(emtask::StoreImage::Log(*m)));
    std::filesystem::remove_all(home);
    return 0;
}
