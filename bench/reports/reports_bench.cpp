// One report rendering (record lookup, photograph lookup and check, page
// drawing, JPEG save) with a photograph folder of 100,000 files and a log of
// 100,000 records, beside the depth-first walk of the whole folder tree for
// the photograph that it replaces, measured in the same run.
#include "EMTaskData.h"
#include "StoreImage.h"
#include "PhotoCheck.h"
#include "ProgramFolder.h"
#include "measurement/TestStore.h"
#include "reports/ReportPage.h"

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <opencv2/core.hpp>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kFiles = 100000;
constexpr int kRuns = 9;

// Median time of kRuns calls, in milliseconds.
double Median(const std::function<void()>& f)
{
    std::vector<double> t;
    for (int i = 0; i < kRuns; ++i) {
        auto a = Clock::now();
        f();
        t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}
}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    char tmpl[] = "/tmp/zolt7-reports-bench-XXXXXX";
    const std::string home = mkdtemp(tmpl);
    emtask::SetProgramFolder(home);
    emtask::EMTaskData* m = emtask::GetManager();
    m->StartUp();

    // 100,000 records; the photograph of the last one is a real 320 x 240
    // JPEG, the other 99,999 files stand for the other tests' photographs.
    std::filesystem::create_directories(emtask::JpegDir());
    emtask::TestRecord r{};
    struct tm when { };
    when.tm_year = 124;
    when.tm_mon = 2;
    when.tm_mday = 7;
    when.tm_hour = 14;
    when.tm_min = 25;
    when.tm_sec = 1;
    emtask::StampRecordTime(r, when);
    std::memcpy(r.result, "0.045", 5);
    r.unit[0] = 'B';
    r.mode = '0';
    for (int i = 0; i < kFiles; ++i) {
        r.testno = m->NextTestNo();
        if (i + 1 < kFiles) {
            std::ofstream(emtask::JpegDir() + "/" + emtask::PhotoFileName(r));
        } else {
            cv::Mat photo(240, 320, CV_8UC3, cv::Scalar(40, 90, 160));
            r.crc16 = measurement::SaveTestPhoto(photo, r);
        }
        m->AppendRecord(r);
    }
    const int testNo = kFiles;
    const emtask::TestRecord& rec = emtask::StoreImage::Log(*m).m_TestData[testNo - 1];
    const std::string name = emtask::PhotoFileName(rec);
    const std::string folder = emtask::JpegDir();
    const emtask::BusInfo& bus = emtask::StoreImage::Settings(*m);

    reports::ReportRequest req;
    req.data = &emtask::StoreImage::Log(*m);
    req.testNo = testNo;
    req.photoFolder = folder;
    req.texts = reports::FormTexts(bus);
    req.texts.operatorText = "Dr. Example";
    const std::string out = emtask::PrintFormationPath();

    bool passes = false;
    const double lookup = Median(
        [&] { (void)reports::FindReportRecord(emtask::StoreImage::Log(*m), testNo); });
    const double exact = Median([&] { (void)reports::FindPhotograph(folder, name); });
    const double check = Median([&] { passes = reports::CheckReportPhoto(rec, folder).passes; });
    QImage page;
    const double draw = Median([&] { page = reports::RenderReport(req, bus).page; });
    const double save = Median([&] { reports::SaveReportJpeg(page, out); });
    const double total = Median([&] { reports::SaveReportJpeg(reports::RenderReport(req, bus).page, out); });
    // The walk the exact look replaces: depth-first over the whole tree.
    const double walkFound = Median([&] { (void)reports::WalkForPhotograph(folder, name); });
    const double walkWhole = Median([&] { (void)reports::WalkForPhotograph(folder, "absent.jpg"); });
    const double naive = Median([&] {
        (void)reports::WalkForPhotograph(folder, "absent.jpg");
        reports::SaveReportJpeg(reports::RenderReport(req, bus).page, out);
    });

    std::printf("Report rendering, %d photographs in one folder, %d records (median of %d)\n", kFiles, kFiles,
                kRuns);
    std::printf("%-52s %10s\n", "operation", "ms");
    std::printf("%-52s %10.2f\n", "record lookup (last of 100,000)", lookup);
    std::printf("%-52s %10.3f\n", "photograph lookup at its exact path", exact);
    std::printf("%-52s %10.2f\n", "photograph check (decode, 35 samples, CRC)", check);
    std::printf("%-52s %10.2f\n", "rendering without save (lookups, check, drawing)", draw);
    std::printf("%-52s %10.2f\n", "JPEG save (temporary file, sync, rename)", save);
    std::printf("%-52s %10.2f\n", "whole rendering with save", total);
    std::printf("%-52s %10.2f\n", "tree walk until the photograph is met", walkFound);
    std::printf("%-52s %10.2f\n", "tree walk of the whole tree", walkWhole);
    std::printf("%-52s %10.2f\n", "whole rendering with the whole-tree walk first", naive);
    std::printf("%-52s %10.2f\n", "ratio walk-first / exact-first", total > 0 ? naive / total : 0.0);
    std::printf("photograph check passes: %s\n", passes ? "yes" : "NO");
    std::filesystem::remove_all(home);
    return passes ? 0 : 1;
}
