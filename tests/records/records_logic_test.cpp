#include "RecordsFixture.h"
#include "StoreImage.h"
#include "FileImage.h"
#include "PhotoCheck.h"
#include "records/PhotoLookup.h"
#include "records/RecordArchive.h"
#include "records/RecordGrid.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <sys/stat.h>
#include <unistd.h>

using namespace records;
using emtask::GetManager;

namespace {
// Inode and change time: a rename or a write changes them.
std::pair<ino_t, int64_t> Identity(const std::string& path)
{
    struct stat st { };
    stat(path.c_str(), &st);
    return {st.st_ino, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::pair<int, int> Range(int total, int rows, int sheet)
{
    SheetRange r = SheetSlots(total, rows, sheet);
    return {r.first, r.count() ? r.last : -1};
}
}  // namespace

TEST(RecordSheets, NewestFirstAndTheLastSheetEndsAtSlotZero)
{
    EXPECT_EQ(Range(250, 100, 0), std::make_pair(249, 150));
    EXPECT_EQ(Range(250, 100, 2), std::make_pair(49, 0));
    EXPECT_EQ(Range(101, 100, 1), std::make_pair(0, 0));
    EXPECT_EQ(SheetSlots(101, 100, 2).count(), 0);
    EXPECT_EQ(SheetSlots(0, 100, 0).count(), 0);
    // The largest log and page: no overflow.
    EXPECT_EQ(Range(1000000, 10000, 99), std::make_pair(9999, 0));
}

TEST(RecordCells, FlowRowsRedResultsAndFieldsWithoutTerminators)
{
    emtask::TestRecord flow = MakeRecord(3, 0, "FLOW", 'F');
    EXPECT_EQ(CellText(flow, ColResult, 2) + CellText(flow, ColUnit, 2), "Flow-");
    EXPECT_FALSE(ResultIsRed(MakeRecord(1, 0, "0.000")));
    EXPECT_TRUE(ResultIsRed(MakeRecord(1, 0, "0.045")));
    emtask::TestRecord full = MakeRecord(2, 0, "0.010", '1');
    EXPECT_EQ(CellText(full, ColMode, 2), "Fast");
    std::memset(full.id, 'I', sizeof full.id);
    std::memset(full.result, '9', sizeof full.result);
    EXPECT_EQ(CellText(full, ColId, 2).size(), 64);
    EXPECT_EQ(CellText(full, ColResult, 2).size(), 12);
}

TEST(PhotoNames, OnlyDigitsMakeAName)
{
    emtask::TestRecord r = MakeRecord(123456, 1);
    EXPECT_EQ(SafePhotoName(r, 123456), "00123456-20240307141701.jpg");
    emtask::TestRecord path = r, empty{};
    std::memcpy(path.m_Tyy, "../x", 4);
    for (const auto& bad : {path, empty}) EXPECT_EQ(PhotoPath(ArchivePhotoSource("/a/jpeg"), bad, 0), "");
    EXPECT_EQ(SafePhotoName(r, -5), "");
    EXPECT_EQ(SafePhotoName(r, 123456789), "");
}

// Photographs are checked by their sampled pixels and their name's number.
TEST(PhotoCheck, OnlyAChangedSampleOrAnotherTestsPhotographFails)
{
    RecordsHome home;
    emtask::DeviceData& log = emtask::StoreImage::Log(*GetManager());
    FillLog(13, 1);
    auto check = [&](int32_t slot) { return CheckRecordPhoto(LogPhotoSource(), log, slot); };
    auto path = [&](int32_t slot) { return PhotoPath(LogPhotoSource(), log.m_TestData[slot], slot); };
    // Rewrites the photograph losslessly (PNG bytes) with one pixel changed.
    auto rewrite = [&](int32_t slot, int x, int y) {
        cv::Mat img = cv::imread(path(slot), cv::IMREAD_COLOR);
        img.at<cv::Vec3b>(y, x)[1] ^= 0x40;
        std::vector<uchar> png;
        cv::imencode(".png", img, png);
        WriteBytes(path(slot), png.data(), png.size());
    };
    PhotoResult r = check(4);
    EXPECT_EQ(r.verdict, PhotoVerdict::Intact);
    EXPECT_EQ(r.computed, log.m_TestData[4].crc16);
    rewrite(4, 100, 50);
    EXPECT_EQ(check(4).verdict, PhotoVerdict::Altered);

    // Tests 12 and 13 in the same second: only the number tells them apart.
    std::memcpy(log.m_TestData[12].m_Tss, log.m_TestData[11].m_Tss, 3);
    std::memcpy(log.m_TestData[12].m_Tmi, log.m_TestData[11].m_Tmi, 3);
    log.m_TestData[12].crc16 = measurement::SaveTestPhoto(MakePhoto(13), log.m_TestData[12]);
    ASSERT_EQ(check(12).verdict, PhotoVerdict::Intact);
    std::filesystem::copy_file(path(11), path(12), std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(check(12).verdict, PhotoVerdict::Altered);
    std::filesystem::remove(path(12));
    EXPECT_EQ(check(12).verdict, PhotoVerdict::NoPhoto);

    // Stored without a photograph: a file there that is not read (a FIFO) or
    // not decoded (its header claims 30,000 x 30,000) fails all the same.
    log.m_TestData[12].crc16 = emtask::PhotoCheckValue({}, log.m_TestData[12]);
    std::vector<uchar> huge;
    cv::imencode(".jpg", MakePhoto(13), huge);
    ClaimJpegSize(huge, 30000, 30000);
    WriteBytes(path(12), huge.data(), huge.size());
    EXPECT_EQ(check(12).verdict, PhotoVerdict::Altered);
    std::filesystem::remove(path(12));
    ASSERT_EQ(mkfifo(path(12).c_str(), 0644), 0);
    EXPECT_EQ(check(12).verdict, PhotoVerdict::Altered);
}

// Nothing before the first ".": no name for the folder and the file.
TEST(ArchiveTargets, NoNameNoArchive)
{
    EXPECT_FALSE(ArchiveTargetFor("/exports/.dat").ok);
    EXPECT_FALSE(ArchiveTargetFor("/exports/...dat").ok);
}

class ArchiveFiles : public ::testing::Test {
protected:
    RecordsHome home;
    emtask::EMTaskData* store = GetManager();
};

TEST_F(ArchiveFiles, WrittenExactlyAndSparseReadBackWhole)
{
    FillLog(300);
    emtask::StoreImage::Log(*store).reserved[5] = 9;
    const std::string path = home / "out/a.dat";
    std::filesystem::create_directories(home / "out");
    ASSERT_TRUE(WriteArchive(path, 'A', emtask::StoreImage::Log(*store), *store));
    EXPECT_EQ(FileSize(path), 276000204u);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_LT(st.st_blocks * 512, 4 << 20);  // the unused slots are a hole
    // Header, then the image at offset 8, byte for byte.
    int fd = open(path.c_str(), O_RDONLY);
    std::vector<unsigned char> head(8 + 196 + 300 * 276 + 276);
    ASSERT_EQ(pread(fd, head.data(), head.size(), 0), ssize_t(head.size()));
    close(fd);
    EXPECT_EQ(std::memcmp(head.data(), "A\0\0\0\0\0\0\0", 8), 0);
    EXPECT_EQ(std::memcmp(head.data() + 8, &emtask::StoreImage::Log(*store), head.size() - 8), 0);

    const emtask::TestRecord last = emtask::StoreImage::Log(*store).m_TestData[299];
    emtask::ZeroRange(&emtask::StoreImage::Log(*store), sizeof emtask::StoreImage::Log(*store));
    ASSERT_EQ(LoadArchive(path, *store), ArchiveLoad::Ok);
    EXPECT_EQ(emtask::StoreImage::Log(*store).datacnt, 300);
    EXPECT_EQ(emtask::StoreImage::Log(*store).reserved[5], 9);
    EXPECT_EQ(std::memcmp(&emtask::StoreImage::Log(*store).m_TestData[299], &last, sizeof last), 0);
}

TEST_F(ArchiveFiles, AFailedSaveLeavesTheOlderArchive)
{
    FillLog(2);
    const std::string path = home / "out/a.dat";
    std::filesystem::create_directories(home / "out");
    ASSERT_TRUE(WriteArchive(path, 0, emtask::StoreImage::Log(*store), *store));
    const auto before = Identity(path);
    FillLog(5);
    // The temporary file cannot be made: the save fails as a whole.
    std::filesystem::create_directories(path + ".tmp/x");
    EXPECT_FALSE(WriteArchive(path, 0, emtask::StoreImage::Log(*store), *store));
    EXPECT_EQ(Identity(path), before);
    EXPECT_EQ(FileSize(path), 276000204u);
}

TEST_F(ArchiveFiles, OnlyWholeInitialisedArchivesOpenAndNothingElseChangesTheLog)
{
    FillLog(20);
    emtask::DeviceData& a = emtask::StoreImage::Found(*store);
    a.initflag = emtask::kInitFlag;
    const uint64_t whole = 8 + sizeof a;
    const std::string fifo = home / "fifo.dat";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    struct Case {
        const char* what;
        unsigned char kind;
        size_t used;
        uint64_t size;
        ArchiveLoad expect;
    };
    const Case cases[] = {
        {"five bytes", 'B', 0, 5, ArchiveLoad::NoHeader},
        {"a header alone", 'B', 0, 8, ArchiveLoad::NotAnArchive},
        {"an image never initialised", 'B', 0, whole, ArchiveLoad::NotAnArchive},
        {"one byte short", 'B', 196, whole - 1, ArchiveLoad::NotAnArchive},
        {"one byte over", 'B', 196, whole + 1, ArchiveLoad::NotAnArchive},
        {"another instrument's kind", 'A', 196, whole, ArchiveLoad::KindMismatch},
    };
    emtask::StoreImage::Kind(*store) = 'B';
    for (const Case& c : cases) {
        WriteArchiveFile(home / "x.dat", a, c.kind, c.used, c.size);
        EXPECT_EQ(LoadArchive(home / "x.dat", *store), c.expect) << c.what;
    }
    EXPECT_EQ(LoadArchive(home / "missing.dat", *store), ArchiveLoad::CannotOpen);
    EXPECT_EQ(LoadArchive(home.path, *store), ArchiveLoad::CannotOpen);  // a folder
    alarm(20);  // a FIFO opened without O_NONBLOCK would hang here: fail instead
    EXPECT_EQ(LoadArchive(fifo, *store), ArchiveLoad::CannotOpen);
    alarm(0);
    EXPECT_EQ(emtask::StoreImage::Log(*store).datacnt, 20);
    EXPECT_FALSE(store->ArchiveShown());
    // Any kind opens while the instrument's kind is 0; the hole reads as zeros.
    emtask::StoreImage::Kind(*store) = 0;
    a.datacnt = 1;
    WriteArchiveFile(home / "x.dat", a, 'A', 196);
    EXPECT_EQ(LoadArchive(home / "x.dat", *store), ArchiveLoad::Ok);
    EXPECT_EQ(emtask::StoreImage::Log(*store).datacnt, 1);
    EXPECT_EQ(emtask::StoreImage::Log(*store).m_TestData[3].testno, 0);
}

TEST_F(ArchiveFiles, TheStoreKeepsTheLogWhileAnArchiveIsShown)
{
    FillLog(4);
    ASSERT_EQ(store->SaveResultData(), 1);
    ASSERT_EQ(store->SaveSetting(), 1);
    const auto logBefore = Identity(emtask::MeasureLogPath());
    store->ShowArchive([](emtask::DeviceData& image) {
        image.datacnt = 900;
        return true;
    });
    EXPECT_EQ(store->Settings().Get().recordcnt, 900);
    EXPECT_EQ(store->AppendRecord(MakeRecord(1)), -1);
    EXPECT_EQ(store->SaveResultData(), -1);
    EXPECT_EQ(Identity(emtask::MeasureLogPath()), logBefore);
    ASSERT_EQ(store->SaveSetting(), 1);
    emtask::BusInfo onDisk;
    std::vector<char> conf = ReadBytes(emtask::ConfigPath());
    std::memcpy(&onDisk, conf.data(), sizeof onDisk);
    EXPECT_EQ(onDisk.recordcnt, 4);
    EXPECT_EQ(store->EndArchiveView(emtask::MeasureLogPath().c_str()), 1);
    EXPECT_EQ(emtask::StoreImage::Settings(*store).recordcnt, 4);
    EXPECT_EQ(emtask::StoreImage::Log(*store).datacnt, 4);
}

TEST_F(ArchiveFiles, PhotographsCopiedByNumberAndNeverOntoThemselves)
{
    FillLog(6, 2);  // photographs of tests 2, 4, 6
    const std::string to = home / "out/jpeg";
    emtask::iofault::Arm(1000, EIO, emtask::iofault::kSync);  // counts the syncs, fails none
    EXPECT_EQ(CopyPhotographs(emtask::StoreImage::Log(*store), LogPhotoSource(), to).copied, 3);
    EXPECT_EQ(emtask::iofault::Trace().size(), 2u);  // the copies once, the folder once
    emtask::iofault::Disarm();
    const std::string p4 = to + "/" + SafePhotoName(emtask::StoreImage::Log(*store).m_TestData[3], 4);
    const uintmax_t size = FileSize(p4);
    // Copying a folder onto itself keeps every file whole.
    EXPECT_EQ(CopyPhotographs(emtask::StoreImage::Log(*store), ArchivePhotoSource(to), to).copied, 0);
    EXPECT_EQ(FileSize(p4), size);
}

// A photograph that was there and is not copied is lost, and then none is put
// in place; one the source never held (tests 1, 3, 5) is not.
TEST_F(ArchiveFiles, PhotographsThatCannotBeCopiedAreCountedAndNoneIsKept)
{
    FillLog(6, 2);
    const emtask::DeviceData& d = emtask::StoreImage::Log(*store);
    PhotoSource src = ArchivePhotoSource(home / "arch/jpeg");
    src.folderSeen = true;
    std::filesystem::create_directories(home / "arch");
    std::filesystem::rename(emtask::JpegDir(), src.folder);
    const std::string to = home / "out/jpeg", p2 = PhotoPath(src, d.m_TestData[1], 1),
                      p4 = PhotoPath(src, d.m_TestData[3], 3);
    auto lost = [&](const char* what, int n, const std::string& first, const char* why) {
        const PhotoCopy c = CopyPhotographs(d, src, to);
        EXPECT_EQ(c.lost, n) << what;
        EXPECT_EQ(c.copied, 0) << what;
        EXPECT_EQ(c.firstLost, first) << what;
        EXPECT_NE(c.why.find(why), std::string::npos) << what << ": " << c.why;
        EXPECT_TRUE(!std::filesystem::exists(to) || std::filesystem::is_empty(to)) << what;
    };
    std::filesystem::rename(p4, p4 + ".x");
    ASSERT_EQ(mkfifo(p4.c_str(), 0644), 0);
    alarm(20);  // a FIFO read without O_NONBLOCK would hang the save: fail instead
    lost("a FIFO in its place", 1, p4, "not a regular file");
    alarm(0);
    std::filesystem::remove(p4);
    std::filesystem::rename(p4 + ".x", p4);
    emtask::iofault::Arm(2, ENOSPC, emtask::iofault::kWrite);
    lost("a write that fails", 1, p4, "No space left");
    emtask::iofault::Arm(1, EIO, emtask::iofault::kSync);
    lost("a sync that fails", 3, to, "Input/output error");
    emtask::iofault::Disarm();
    std::filesystem::remove_all(home / "arch");
    lost("the folder gone since it was opened", 3, p2, "No such file");
    src.folderSeen = false;  // never there: nothing to copy, nothing lost
    const PhotoCopy none = CopyPhotographs(d, src, to);
    EXPECT_EQ(none.lost + none.copied, 0);
}
