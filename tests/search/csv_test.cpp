#include "SearchTestUtil.h"
#include "StoreImage.h"
#include "TextUtil.h"
#include "search/CsvExport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace emtask;
using searchtest::FileText;
using searchtest::Record;

namespace {
// What the reference script makes of the first `count` records of m_SearchData.
std::string Reference(const TestFolder& tf, int count, int order)
{
    const DeviceData& d = emtask::StoreImage::Found(*GetManager());
    WriteBytes(tf / "image.bin", &d, kDeviceDataHeaderSize + sizeof(TestRecord) * size_t(count));
    std::string cmd = "/usr/bin/python3 " SEARCH_TEST_DIR "/csv_reference.py '" + tf / "image.bin" + "' " +
                      std::to_string(order) + " '" + tf / "expected.csv" + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return FileText(tf / "expected.csv");
}

search::CsvExportHooks NoPause()
{
    search::CsvExportHooks h;
    h.pause = [](int) {};
    return h;
}

size_t TempFiles(const std::string& dir)
{
    size_t n = 0;
    for (auto& e : std::filesystem::directory_iterator(dir))
        n += e.path().filename().string().find(".tmp") != std::string::npos;
    return n;
}
}  // namespace

TEST(CsvExport, LinesMatchAnIndependentReader)
{
    TestFolder tf;
    DeviceData& d = emtask::StoreImage::Found(*GetManager());
    const TestRecord recs[] = {
        Record(3, "20240307081509", "A-1", "Kim", "0.045"),
        Record(17, "20241307235959", "B-2", "Kim, Lee", "FLOW", 'F', "F"),
        Record(18, "20240101000000", "line\r\nbreak", "김 \"the\" one", "0.000", '1', "G"),
        Record(19, "20991231120000", "x", "quote\"and,comma", "0.5", '0', "M"),
        Record(20, "20,40307a00000", "", "", "", 'x', "BB"),
        Record(22, "2\"2403\"7\"8\"509", "q", "q", "1", '0', "B"),  // quotes in date and time
    };
    int n = 0;
    for (const TestRecord& r : recs) d.m_TestData[n++] = r;
    std::memset(d.m_TestData[n].id, 'I', sizeof d.m_TestData[n].id);  // no terminator
    std::memcpy(d.m_TestData[n].m_Tyy, "20240", 5);
    d.m_TestData[n++].testno = 21;
    d.datacnt = n;

    for (int order : {0, 1, 2, 5}) {
        ASSERT_EQ(search::ExportCsv(tf / "out.csv", d, order, NoPause()), search::CsvResult::Saved);
        EXPECT_EQ(FileText(tf / "out.csv"), Reference(tf, n, order)) << "date order " << order;
    }
    // Nothing found: the header alone.
    d.datacnt = 0;
    ASSERT_EQ(search::ExportCsv(tf / "out.csv", d, 2, NoPause()), search::CsvResult::Saved);
    EXPECT_EQ(FileText(tf / "out.csv"), kCsvHeader);
    EXPECT_EQ(TempFiles(tf.path), 0u);
}

TEST(CsvExport, FailureOrStopKeepsTheOlderFile)
{
    TestFolder tf;
    DeviceData& d = emtask::StoreImage::Found(*GetManager());
    for (int i = 0; i < 5000; ++i) d.m_TestData[i] = Record(i + 1, "20240307081509", "A-1", "Kim", "0.045");
    d.datacnt = 5000;
    const std::string path = tf / "out.csv";
    WriteBytes(path, "older", 5);
    WriteBytes(path + ".tmp", "mine", 4);  // a file of the user's beside it

    search::CsvResult r;
    {
        FileSizeLimit full(4096);  // the disk refuses the file beyond 4 kB
        r = search::ExportCsv(path, d, 2, NoPause());
    }
    EXPECT_EQ(r, search::CsvResult::Failed);
    EXPECT_EQ(FileText(path), "older");
    EXPECT_EQ(FileText(path + ".tmp"), "mine");

    // Stopped half-way (the window closing).
    std::atomic<bool> running{true};
    search::CsvExportHooks h = NoPause();
    h.running = &running;
    h.progress = [&](int lines) {
        if (lines == 100) running = false;
    };
    EXPECT_EQ(search::ExportCsv(path, d, 2, h), search::CsvResult::Stopped);
    EXPECT_EQ(FileText(path), "older");
    EXPECT_EQ(TempFiles(tf.path), 1u);  // only the user's own
}
