// Search over a log of 999,999 records: each criterion alone, all five
// together and a search keeping every record, in one pass and the staged way
// (a copy of the whole record area per stage) measured in the same run; the
// results window from its opening to its first sheet for a search keeping
// every record, as the first search of the run and after a smaller one; then
// the CSV export of 999,999 found records beside a plain stdio write of the
// same lines.
#include "EMTaskData.h"
#include "StoreImage.h"
#include "TextUtil.h"
#include "search/CDataSearchDlg.h"
#include "search/CSearchDataDlg.h"
#include "search/CsvExport.h"
#include "controls/Skin.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include "search/SearchEngine.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using namespace emtask;

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ThreadCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Median wall-clock time, and the median processor time of this thread
// (which other processes sharing the machine do not inflate).
struct Timing {
    double wall, cpu;
};

Timing MedianMs(int runs, const std::function<void()>& f)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        double c = ThreadCpuMs();
        auto a = Clock::now();
        f();
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
        cpu.push_back(ThreadCpuMs() - c);
    }
    return {Median(wall), Median(cpu)};
}

void FillLog(DeviceData& d, int n)
{
    std::mt19937 g(7);
    auto num = [&g](int a, int b) { return std::uniform_int_distribution<int>(a, b)(g); };
    static const char* const results[] = {"0.000", "0.000", "0.000", "0.012", "0.030", "0.045", "0.080"};
    d.initflag = kInitFlag;
    for (int i = 0; i < n; ++i) {
        TestRecord& r = d.m_TestData[i];
        r.testno = i + 1;
        int user = num(1, 1000);
        std::snprintf(r.id, sizeof r.id, "ID%04d", user);
        std::snprintf(r.name, sizeof r.name, "Name %d", user);
        // About 1,400 records a day from 2023 on.
        int day = i / 1400;
        int y = 2023 + day / 360, m = 1 + (day % 360) / 30, dd = 1 + day % 30 % 28;
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04d", y);
        std::memcpy(r.m_Tyy, buf, 5);
        std::snprintf(r.m_Tmm, sizeof r.m_Tmm, "%02d", m);
        std::snprintf(r.m_Tdd, sizeof r.m_Tdd, "%02d", dd);
        std::snprintf(r.m_Thh, sizeof r.m_Thh, "%02d", num(0, 23));
        std::snprintf(r.m_Tmi, sizeof r.m_Tmi, "%02d", num(0, 59));
        std::snprintf(r.m_Tss, sizeof r.m_Tss, "%02d", num(0, 59));
        bool flow = num(0, 32) == 0;
        std::snprintf(r.result, sizeof r.result, "%s", flow ? "FLOW" : results[num(0, 6)]);
        r.mode = flow ? 'F' : '0';
        std::snprintf(r.unit, sizeof r.unit, "%s", flow ? "F" : "B");
    }
    d.datacnt = n;
}

void Set(char (&field)[64], const char* text)
{
    std::memset(field, 0, sizeof field);
    std::snprintf(field, sizeof field, "%s", text);
}

// The results window from its opening to its first sheet of 1,000 rows shown.
Timing FirstSheetMs(const char* shot)
{
    EMTaskData* m = GetManager();
    emtask::StoreImage::Settings(*m).rowsindex = 9;
    double c = ThreadCpuMs();
    auto a = Clock::now();
    CSearchDataDlg w(*emtask::GetManager(), 0, "", "");
    w.show();
    while (w.StatusText() != QStringLiteral("Reading search datas : Complete"))
        QCoreApplication::processEvents();
    Timing ms{std::chrono::duration<double, std::milli>(Clock::now() - a).count(), ThreadCpuMs() - c};
    if (shot) {
        QCoreApplication::processEvents();
        w.grab().save(QString::fromLocal8Bit(shot));
    }
    return ms;
}

void KeepEveryRecord(SearchInfo& in)
{
    in.flags = SEARCH_TESTNO;
    Set(in.startno, "1");
    Set(in.endno, "999999");
}

double Ms(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// The first search of a run keeping every record, in a fresh process each
// (ZOLT7_BENCH_FIRST names the way): "fault" lets the search fault the
// results area in as it copies (the old way); "ahead" commits it first, as
// the criteria window's thread does while the user chooses; "at-once" starts
// that commit and opens the results window at once, as an OK pressed at once.
int FirstSearchChild(const QByteArray& way)
{
    EMTaskData* m = GetManager();
    FillLog(emtask::StoreImage::Log(*m), kMaxStoredCounter);
    KeepEveryRecord(emtask::StoreImage::Criteria(*m));
    double commit = 0;
    if (way == "ahead") {
        auto a = Clock::now();
        search::CommitPages(emtask::StoreImage::Found(*m).m_TestData,
                            sizeof emtask::StoreImage::Found(*m).m_TestData);
        commit = Ms(a);
    } else if (way == "at-once") {
        search::CommitResultAreaAhead(m->Search());
    }
    const Timing t = FirstSheetMs(nullptr);
    std::printf("%.1f %.1f %.1f\n", t.wall, t.cpu, commit);
    return 0;
}

void FirstSearchOfTheRun()
{
    std::printf("%-46s %17s %10s\n", "results window, first search of a run", "wall / cpu ms", "commit ms");
    const struct {
        const char* way;
        const char* label;
    } ways[] = {{"fault", "  nothing committed ahead (the old way)"},
                {"ahead", "  committed while the criteria are chosen"},
                {"at-once", "  OK pressed at once (waits for the commit)"}};
    for (const auto& w : ways) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZOLT7_BENCH_FIRST"), QString::fromLatin1(w.way));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        double wall = 0, cpu = 0, commit = 0;
        if (!child.waitForFinished(600000) || std::sscanf(child.readAllStandardOutput().constData(),
                                                          "%lf %lf %lf", &wall, &cpu, &commit) != 3) {
            std::printf("%-46s failed\n", w.label);
            continue;
        }
        std::printf("%-46s %8.1f / %6.1f", w.label, wall, cpu);
        if (commit > 0) std::printf(" %10.1f", commit);
        std::printf("\n");
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    // Optional: bench_search RESULTS.png CRITERIA.png renders the two windows.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("ZOLT7_BENCH_FIRST")) return FirstSearchChild(qgetenv("ZOLT7_BENCH_FIRST"));
    QApplication::setFont(skin::Arial(14));
    EMTaskData* m = GetManager();
    const int n = kMaxStoredCounter;
    std::printf("Search over %d records (one pass vs the staged copies; medians)\n\n", n);
    FillLog(emtask::StoreImage::Log(*m), n);
    FirstSearchOfTheRun();
    // The reference writes a second result image.
    static DeviceData* ref = new DeviceData;

    struct Case {
        const char* name;
        uint32_t flags;
    };
    const Case cases[] = {
        {"test number 400000..600000", SEARCH_TESTNO},
        {"date one month (2024-03)", SEARCH_DATE},
        {"ID of one user", SEARCH_IDNAME},
        {"normal 0.000..0.030", SEARCH_NORMAL},
        {"error results", SEARCH_ERROR},
        {"all five together", SEARCH_TESTNO | SEARCH_DATE | SEARCH_IDNAME | SEARCH_NORMAL | SEARCH_ERROR},
        {"number + date + ID + normal", SEARCH_TESTNO | SEARCH_DATE | SEARCH_IDNAME | SEARCH_NORMAL},
        {"keeping every record (1..999999)", SEARCH_TESTNO},
    };
    std::printf("%-34s %7s %17s %17s %6s\n", "search", "found", "one pass ms", "staged ms", "ratio");
    std::printf("%-34s %7s %17s %17s %6s\n", "", "", "wall / cpu", "wall / cpu", "(cpu)");
    for (const Case& c : cases) {
        SearchInfo& in = emtask::StoreImage::Criteria(*m);
        std::memset(&in, 0, sizeof in);
        in.flags = c.flags;
        bool all = std::strncmp(c.name, "keeping", 7) == 0;
        Set(in.startno, all ? "1" : "400000");
        Set(in.endno, all ? "999999" : "600000");
        Set(in.dateStart, "20240301000000");
        Set(in.dateEnd, "20240331235959");
        Set(in.idname, "ID0042");
        in.normalstart = 0.0f;
        in.normalend = 0.030f;
        int32_t found = 0;
        search::SearchProcess(*m);  // pages of the result committed before timing
        Timing one = MedianMs(7, [&] { found = search::SearchProcess(*m); });
        int32_t staged = 0;
        Timing st = MedianMs(3, [&] {
            staged = search::SearchRecordsStaged(emtask::StoreImage::Log(*m), in, *ref,
                                                 emtask::StoreImage::Work(*m));
        });
        bool same = staged == found &&
                    std::memcmp(ref, &emtask::StoreImage::Found(*m),
                                kDeviceDataHeaderSize + sizeof(TestRecord) * size_t(found)) == 0;
        std::printf("%-34s %7d %8.1f / %6.1f %8.1f / %6.1f %5.1fx%s\n", c.name, found, one.wall, one.cpu,
                    st.wall, st.cpu, st.cpu / one.cpu, same ? "" : "  RESULTS DIFFER");
    }

    // The results window after a smaller search, and the CSV export of every
    // record found.
    std::vector<double> sheetWall, sheetCpu;
    for (int i = 0; i < 5; ++i) {
        emtask::StoreImage::Criteria(*m).flags = SEARCH_ERROR;
        search::SearchProcess(*m);
        KeepEveryRecord(emtask::StoreImage::Criteria(*m));
        Timing t = FirstSheetMs(i == 0 && argc > 1 ? argv[1] : nullptr);
        sheetWall.push_back(t.wall);
        sheetCpu.push_back(t.cpu);
    }
    std::printf("\n%-34s %7s %17s\n", "results window", "rows", "wall / cpu ms");
    std::printf("%-34s %7d %8.1f / %6.1f\n", "keep all after a smaller search", 1000, Median(sheetWall),
                Median(sheetCpu));
    if (argc > 2) {
        CDataSearchDlg criteria(emtask::GetManager()->Search(), 2);
        criteria.InitDialog();
        criteria.show();
        QCoreApplication::processEvents();
        criteria.grab().save(QString::fromLocal8Bit(argv[2]));
    }
    search::SearchProcess(*m);
    char dir[] = "/tmp/zolt7-search-bench-XXXXXX";
    if (!mkdtemp(dir)) return 1;
    const std::string path = std::string(dir) + "/results.csv";
    search::CsvExportHooks hooks;
    Timing csv = MedianMs(3, [&] {
        search::ExportCsv(path, emtask::StoreImage::Found(*m), emtask::StoreImage::Settings(*m).dateorder,
                          hooks);
    });
    Timing plain = MedianMs(3, [&] {
        FILE* f = std::fopen((path + ".plain").c_str(), "w+");
        std::fputs(kCsvHeader, f);
        for (int i = emtask::StoreImage::Found(*m).datacnt - 1; i >= 0; --i) WriteCsvLine(f, i);
        std::fclose(f);
    });
    std::printf("\n%-34s %7s %17s %17s\n", "CSV export", "lines", "export ms", "plain stdio ms");
    std::printf("%-34s %7d %8.1f / %6.1f %8.1f / %6.1f\n", "999,999 found records",
                emtask::StoreImage::Found(*m).datacnt, csv.wall, csv.cpu, plain.wall, plain.cpu);
    double load[1] = {0};
    if (getloadavg(load, 1) == 1) std::printf("\nload average during the run: %.1f\n", load[0]);
    unlink(path.c_str());
    unlink((path + ".plain").c_str());
    rmdir(dir);
    return 0;
}
