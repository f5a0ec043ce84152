// Record window benchmark on a log of 999,999 records with a photograph file
// for every 10th record: the Records button to the completion text for a
// sheet of 1,000 and of 10,000 rows, the photograph check of a click, archive
// save and open of the full log, and resident memory with an archive of one
// record open, and a whole archive save with 10,000 photographs beside
// `cp -r` of the same photographs and one `sync`; each beside the naive way it
// replaces, measured in the same run.
//   records_bench [--dir DIR] [--photos]   (a temporary folder by default;
//                                          --photos: only the photograph save)
#include "DebugLog.h"
#include "StoreImage.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "PhotoCheck.h"
#include "ProgramFolder.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "measurement/TestStore.h"
#include "records/CReadDeviceDlg.h"
#include "records/RecordArchive.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTableWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <unistd.h>

using namespace emtask;
using Clock = std::chrono::steady_clock;

namespace {
double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

void Row(const char* op, double ours, double naive, const char* unit, const char* naiveWhat,
         const char* limit)
{
    std::printf("| %-46s | %9.1f %-3s | %9.1f %-3s | %6.1fx | %-40s | %-9s |\n", op, ours, unit, naive, unit,
                ours > 0 ? naive / ours : 0.0, naiveWhat, limit);
    std::fflush(stdout);
}

double ResidentMb()
{
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * double(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

TestRecord Record(int32_t no)
{
    TestRecord r{};
    r.testno = no;
    const unsigned u = static_cast<unsigned>(no);  // unsigned, so the compiler sees each field fits
    std::memcpy(r.m_Tyy, "2024", 4);
    std::memcpy(r.m_Tmm, "03", 2);
    std::memcpy(r.m_Tdd, "07", 2);
    std::snprintf(r.m_Thh, sizeof r.m_Thh, "%02u", (u / 3600) % 24);
    std::snprintf(r.m_Tmi, sizeof r.m_Tmi, "%02u", (u / 60) % 60);
    std::snprintf(r.m_Tss, sizeof r.m_Tss, "%02u", u % 60);
    std::snprintf(r.id, sizeof r.id, "user%d", no % 9999);
    std::snprintf(r.name, sizeof r.name, "Subject %d", no % 9999);
    std::memcpy(r.result, no % 7 ? "0.000" : "0.045", 5);
    r.mode = no % 50 ? '0' : 'F';
    r.unit[0] = r.mode == 'F' ? 'F' : 'B';
    return r;
}

// Records button to the completion text of the first sheet, in ms.
double ShowSheet(CReadDeviceDlg& w, int rowsIndex)
{
    emtask::StoreImage::Settings(*GetManager()).rowsindex = rowsIndex;
    const auto t0 = Clock::now();
    w.OpenFromMain();
    const int rows = RowsPerSheet(rowsIndex);
    while (w.Busy() || w.Model()->rowCount() != rows || !w.StatusText().endsWith(QStringLiteral("Complete")))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double ms = Ms(t0, Clock::now());
    w.OnClose();
    return ms;
}

// The naive display: a widget item per cell, a round of the event loop per row.
double NaiveSheet(int rows)
{
    const DeviceData& d = emtask::StoreImage::Log(*GetManager());
    QTableWidget table(0, 9);
    table.show();
    const auto t0 = Clock::now();
    const int32_t first = RecordCount(d) - 1;
    for (int i = 0; i < rows; ++i) {
        QCoreApplication::processEvents();
        const TestRecord& r = d.m_TestData[first - i];
        table.insertRow(i);
        const std::string path = JpegDir() + "/" + PhotoFileName(r);
        const QString cells[9] = {QString::number(r.testno),
                                  QString::fromStdString(RecordDateText(r, 2, DateStyle::Row)),
                                  QString::fromStdString(RecordTimeText(r)),
                                  QString::fromStdString(FieldText(r.result)),
                                  QString::fromLatin1(UnitText(r.unit)),
                                  QString::fromStdString(FieldText(r.id)),
                                  QString::fromStdString(FieldText(r.name)),
                                  r.mode == '0' ? QStringLiteral("Normal") : QStringLiteral("-"),
                                  access(path.c_str(), F_OK) == 0 ? QStringLiteral("O")
                                                                  : QStringLiteral("X")};
        for (int c = 0; c < 9; ++c) table.setItem(i, c, new QTableWidgetItem(cells[c]));
    }
    QCoreApplication::processEvents();
    return Ms(t0, Clock::now());
}

void Header()
{
    std::printf("| %-46s | %13s | %13s | %7s | %-40s | %-9s |\n", "operation", "ours", "naive", "ratio",
                "naive way", "limit");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(48, '-').c_str(), std::string(15, '-').c_str(),
                std::string(15, '-').c_str(), std::string(9, '-').c_str(), std::string(42, '-').c_str(),
                std::string(11, '-').c_str());
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The whole Save of the record window (folder, photographs, archive) for an
// archive of 10,000 records with a small photograph each, beside copying the
// same photographs with cp -r and one sync; alternated, medians of three.
void PhotoSaveRow(const std::string& dir)
{
    constexpr int32_t kPhotos = 10000;
    EMTaskData* m = GetManager();
    ZeroRange(&emtask::StoreImage::Log(*m), sizeof emtask::StoreImage::Log(*m));
    emtask::StoreImage::Log(*m).initflag = kInitFlag;
    const std::string src = dir + "/photos/jpeg";
    MakeDirectory(src);
    std::vector<uchar> jpeg;
    cv::Mat small(120, 160, CV_8UC3, cv::Scalar(60, 120, 180));
    cv::circle(small, {80, 60}, 40, cv::Scalar(230, 210, 190), cv::FILLED);
    cv::imencode(".jpg", small, jpeg);
    for (int32_t no = 1; no <= kPhotos; ++no) {
        TestRecord r = Record(no);
        emtask::StoreImage::Log(*m).m_TestData[no - 1] = r;
        FILE* f = std::fopen((src + "/" + PhotoFileName(r)).c_str(), "wb");
        if (!f || std::fwrite(jpeg.data(), 1, jpeg.size(), f) != jpeg.size())
            std::printf("cannot write a photo\n");
        if (f) std::fclose(f);
    }
    emtask::StoreImage::Log(*m).datacnt = kPhotos;
    const records::PhotoSource from = records::ArchivePhotoSource(src);
    const records::ArchiveTarget target = records::ArchiveTargetFor(dir + "/saved/k.dat");
    const std::string copy = dir + "/copied";
    const std::string cp = "cp -r '" + src + "' '" + copy + "' && sync";
    std::vector<double> ours, naive;
    bool ok = true;
    for (int i = 0; i < 3; ++i) {
        std::filesystem::remove_all(target.folder);
        std::filesystem::remove_all(copy);
        sync();  // both start with nothing of the other's left to write
        auto t0 = Clock::now();
        records::PhotoCopy c;
        ok = records::SaveArchive(target, 0, emtask::StoreImage::Log(*m), *m, from, true, {}, &c) &&
             c.copied == kPhotos && ok;
        ours.push_back(Ms(t0, Clock::now()));
        sync();
        t0 = Clock::now();
        ok = std::system(cp.c_str()) == 0 && ok;
        naive.push_back(Ms(t0, Clock::now()));
    }
    Row(ok ? "Save archive with 10,000 photographs (median)" : "Save archive with photographs: FAILED",
        Median(ours), Median(naive), "ms", "cp -r of the photographs + sync", "3x naive");
    std::filesystem::remove_all(target.folder);
    std::filesystem::remove_all(copy);
    std::filesystem::remove_all(dir + "/photos");
}
}  // namespace

int main(int argc, char** argv)
{
    std::string dir;
    bool photosOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) dir = argv[i + 1];
        if (std::strcmp(argv[i], "--photos") == 0) photosOnly = true;
    }
    bool temporary = dir.empty();
    if (temporary) {
        char tmpl[] = "/tmp/records-bench-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    SetProgramFolder(dir);
    QApplication app(argc, argv);
    // The diagnostic log on, as in the program, but out of the table's way.
    g_DebugLevel = 1;
    if (!std::freopen("/dev/null", "w", stderr)) return 1;

    EMTaskData* m = GetManager();
    InitBusInfo(emtask::StoreImage::Settings(*m), 0);
    emtask::StoreImage::Log(*m).initflag = kInitFlag;
    if (photosOnly) {
        Header();
        PhotoSaveRow(dir);
        if (temporary) std::filesystem::remove_all(dir);
        return 0;
    }
    const int32_t kRecords = 999999;
    MakeDirectory(JpegDir());
    // One real 640 x 480 photograph (test 999,990, checked below); the other
    // photographs of every 10th record are links to one small file, so the
    // files exist at almost no cost in disk space.
    cv::Mat photo(480, 640, CV_8UC3, cv::Scalar(60, 120, 180));
    cv::circle(photo, {320, 220}, 110, cv::Scalar(230, 210, 190), cv::FILLED);
    // A file takes at most 65,000 links: a new one every 50,000.
    std::string small;
    for (int32_t no = 1; no <= kRecords; ++no) {
        TestRecord r = Record(no);
        if (no % 500000 == 10) {
            small = dir + "/small" + std::to_string(no) + ".jpg";
            cv::imwrite(small, cv::Mat(48, 64, CV_8UC3, cv::Scalar(90, 90, 90)));
        }
        if (no == 999990) {
            r.crc16 = measurement::SaveTestPhoto(photo, r);
        } else if (no % 10 == 0) {
            const std::string link = JpegDir() + "/" + PhotoFileName(r);
            if (::link(small.c_str(), link.c_str()) != 0) {
                std::printf("records_bench: cannot link %s\n", link.c_str());
                return 1;
            }
        }
        m->AppendRecord(r);
    }

    std::printf("records_bench: %d records, photographs for every 10th, in %s\n\n",
                RecordCount(emtask::StoreImage::Log(*m)), dir.c_str());
    Header();

    {
        ScriptedDialogs dialogs;
        CReadDeviceDlg w(*emtask::GetManager());
        ShowSheet(w, 9);  // warm-up: fonts, first show
        Row("Records to \"Complete\", Sheet 1 (1,000 rows)", ShowSheet(w, 9), NaiveSheet(1000), "ms",
            "item per cell, event loop per row", "300 ms");
        Row("Records to \"Complete\", Sheet 1 (10,000 rows)", ShowSheet(w, 18), NaiveSheet(10000), "ms",
            "item per cell, event loop per row", "2000 ms");
    }

    {
        const records::PhotoSource src = records::LogPhotoSource();
        const int32_t slot = 999989;
        const std::string path = records::PhotoPath(src, emtask::StoreImage::Log(*m).m_TestData[slot], slot);
        std::vector<double> ours, naive;
        bool intact = true;
        for (int i = 0; i < 21; ++i) {  // alternated, so both see the same machine
            auto t0 = Clock::now();
            records::PhotoResult r = records::CheckRecordPhoto(src, emtask::StoreImage::Log(*m), slot);
            ours.push_back(Ms(t0, Clock::now()));
            intact = intact && r.verdict == records::PhotoVerdict::Intact;
            t0 = Clock::now();
            PhotoSamples s;
            SamplePhotoFile(path, s);                            // decoded to check,
            cv::Mat again = cv::imread(path, cv::IMREAD_COLOR);  // and again to draw
            QImage img(again.data, again.cols, again.rows, int(again.step), QImage::Format_BGR888);
            img = img.scaled(img.width() / 2, img.height() / 2, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
            naive.push_back(Ms(t0, Clock::now()));
        }
        if (!intact) std::printf("photograph check: unexpected verdict\n");
        std::sort(ours.begin(), ours.end());
        std::sort(naive.begin(), naive.end());
        Row("Click: photograph check, 640 x 480 (median)", ours[10], naive[10], "ms",
            "decoded twice (check, then draw)", "30 ms");
    }

    const std::string archive = dir + "/full/full.dat";
    MakeDirectory(dir + "/full");
    {
        auto t0 = Clock::now();
        const bool ok = records::WriteArchive(archive, 0, emtask::StoreImage::Log(*m), *m);
        const double ours = Ms(t0, Clock::now());
        const std::string naivePath = dir + "/full/naive.dat";
        t0 = Clock::now();
        FILE* f = std::fopen(naivePath.c_str(), "wb");
        unsigned char header[8] = {};
        std::fwrite(header, 1, 8, f);
        std::fwrite(&emtask::StoreImage::Log(*m), 1, sizeof emtask::StoreImage::Log(*m), f);
        fflush(f);
        fsync(fileno(f));
        std::fclose(f);
        const double naive = Ms(t0, Clock::now());
        std::filesystem::remove(naivePath);
        Row(ok ? "Save archive of the full log (no photographs)" : "Save archive: FAILED", ours, naive, "ms",
            "\"wb\" in place, 276 MB write + fsync", "3000 ms");
    }
    {
        // Both start from memory that holds nothing yet, as after start-up
        // with an empty log.
        ZeroRange(&emtask::StoreImage::Log(*m), sizeof emtask::StoreImage::Log(*m));
        auto t0 = Clock::now();
        std::memset(&emtask::StoreImage::Log(*m), 0, sizeof emtask::StoreImage::Log(*m));
        FILE* f = std::fopen(archive.c_str(), "rb");
        unsigned char header[8];
        size_t got = std::fread(header, 1, 8, f);
        got += std::fread(&emtask::StoreImage::Log(*m), 1, sizeof emtask::StoreImage::Log(*m), f);
        std::fclose(f);
        const double naive = Ms(t0, Clock::now());
        ZeroRange(&emtask::StoreImage::Log(*m), sizeof emtask::StoreImage::Log(*m));
        t0 = Clock::now();
        const bool ok = records::LoadArchive(archive, *m) == records::ArchiveLoad::Ok &&
                        RecordCount(emtask::StoreImage::Log(*m)) == kRecords;
        const double ours = Ms(t0, Clock::now());
        Row(ok && got == sizeof emtask::StoreImage::Log(*m) + 8 ? "Open archive of the full log"
                                                                : "Open archive: FAILED",
            ours, naive, "ms", "zero all, \"rb\" whole 276 MB", "1000 ms");
        m->EndArchiveView(MeasureLogPath().c_str());  // no log file here: an empty log
    }
    {
        // The program idle with an empty log, then an archive of one record
        // opened and shown in the record window.
        ZeroRange(&emtask::StoreImage::Log(*m), sizeof emtask::StoreImage::Log(*m));
        emtask::StoreImage::Log(*m).initflag = kInitFlag;
        emtask::StoreImage::Settings(*m).recordcnt = 0;
        emtask::StoreImage::Log(*m).m_TestData[0] = Record(1);
        emtask::StoreImage::Log(*m).datacnt = 1;
        const std::string one = dir + "/one/one.dat";
        MakeDirectory(dir + "/one");
        records::WriteArchive(one, 0, emtask::StoreImage::Log(*m), *m);
        ZeroRange(&emtask::StoreImage::Log(*m), sizeof emtask::StoreImage::Log(*m));
        emtask::StoreImage::Log(*m).initflag = kInitFlag;
        ScriptedDialogs dialogs;
        CReadDeviceDlg w(*emtask::GetManager());
        w.OpenFromMain();
        while (!w.StatusText().contains(QStringLiteral("Not exist")) || w.Busy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const double idle = ResidentMb();
        dialogs.fileAnswers.push_back(QString::fromStdString(one));
        w.OnOpen();
        while (!w.StatusText().contains(QStringLiteral("Complete")))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const double ours = ResidentMb() - idle;
        w.OnClose();
        ZeroRange(&emtask::StoreImage::Log(*m), sizeof emtask::StoreImage::Log(*m));
        const double idle2 = ResidentMb();
        std::memset(&emtask::StoreImage::Log(*m), 0, sizeof emtask::StoreImage::Log(*m));
        FILE* f = std::fopen(one.c_str(), "rb");
        unsigned char header[8];
        size_t got = std::fread(header, 1, 8, f);
        got += std::fread(&emtask::StoreImage::Log(*m), 1, sizeof emtask::StoreImage::Log(*m), f);
        std::fclose(f);
        (void)got;
        const double naive = ResidentMb() - idle2;
        Row("Resident memory above idle, 1-record archive", ours, naive, "MB",
            "zero all, \"rb\" whole 276 MB", "50 MB");
    }
    PhotoSaveRow(dir);

    if (temporary) std::filesystem::remove_all(dir);
    return 0;
}
