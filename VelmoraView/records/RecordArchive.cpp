#include "records/RecordArchive.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "PhotoCheck.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace records {

ArchiveTarget ArchiveTargetFor(const std::string& chosen)
{
    ArchiveTarget t;
    const size_t slash = chosen.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : chosen.substr(0, slash);
    std::string name = slash == std::string::npos ? chosen : chosen.substr(slash + 1);
    for (size_t at; (at = name.find(".dat")) != std::string::npos;) name.erase(at, 4);
    if (name.empty() || name == "." || name == "..") return t;
    t.name = name;
    t.folder = (dir.empty() ? std::string() : dir) + "/" + name;
    t.file = t.folder + "/" + name + ".dat";
    t.ok = true;
    return t;
}

bool WriteArchive(const std::string& path, uint8_t kind, const emtask::DeviceData& image,
                  emtask::EMTaskData& store)
{
    unsigned char header[kArchiveHeaderSize] = {kind, 0, 0, 0, 0, 0, 0, 0};
    std::lock_guard<std::mutex> lock(store.m_Lock);
    if (!emtask::AtomicWriteFile(path, {{header, sizeof header}, {&image, sizeof image}})) {
        DebugPrint("Load(%s) open error\n", path.c_str());
        return false;
    }
    return true;
}

ArchiveLoad LoadArchive(const std::string& path, emtask::EMTaskData& store)
{
    std::lock_guard<std::mutex> lock(store.m_Lock);
    // Without blocking: a FIFO or a device chosen as an archive is refused.
    uint64_t size = 0;
    int fd = emtask::OpenRegularFile(path, &size);
    if (fd < 0) {
        DebugPrint("Load(%s) open error\n", path.c_str());
        return ArchiveLoad::CannotOpen;
    }
    unsigned char header[kArchiveHeaderSize + sizeof(int32_t)];
    const ssize_t got = pread(fd, header, sizeof header, 0);
    close(fd);
    if (got < ssize_t(kArchiveHeaderSize)) {
        DebugPrint("Load(%s) FHEAD_H read error\n", path.c_str());
        return ArchiveLoad::NoHeader;
    }
    if (store.DeviceKind() > 0 && (store.DeviceKind() & 0xFF) != header[0]) {
        DebugPrint("%s: FHEAD_H check error\n", path.c_str());
        return ArchiveLoad::KindMismatch;
    }
    // Every archive is a whole initialised image: anything else (a renamed
    // picture, a cut-off copy) is not shown as a million empty rows.
    int32_t flag = 0;
    if (got == ssize_t(sizeof header)) std::memcpy(&flag, header + kArchiveHeaderSize, sizeof flag);
    if (size != kArchiveFileSize || flag != emtask::kInitFlag) {
        DebugPrint("%s: not an archive (%llu bytes, initflag 0x%X)\n", path.c_str(),
                   static_cast<unsigned long long>(size), static_cast<unsigned>(flag));
        return ArchiveLoad::NotAnArchive;
    }
    const bool read = store.ShowArchive([&path](emtask::DeviceData& image) {
        // The read copies or zeroes every byte the file covers.
        return emtask::ReadFileImageAt(path, kArchiveHeaderSize, &image, sizeof image) ==
               int64_t(sizeof image);
    });
    if (!read) {
        DebugPrint("Load(%s) read error: %s\n", path.c_str(), emtask::LastFileError().c_str());
        return ArchiveLoad::ReadFailed;
    }
    return ArchiveLoad::Ok;
}

namespace {
bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// 0 when `folder` is a folder now, else why not.
int FolderError(const std::string& folder)
{
    struct stat st;
    if (stat(folder.c_str(), &st) != 0) return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

// The record's check value says a photograph was stored with it.
bool HadPhotograph(const emtask::TestRecord& rec)
{
    return rec.crc16 != emtask::PhotoCheckValue(emtask::PhotoSamples{}, rec);
}

void Lose(PhotoCopy& c, const std::string& path, const std::string& why)
{
    if (c.lost++ == 0) {
        c.firstLost = path;
        c.why = why;
    }
}
}  // namespace

PhotoCopy CopyPhotographs(const emtask::DeviceData& image, const PhotoSource& from,
                          const std::string& toFolder, const std::function<void(int)>& progress)
{
    PhotoCopy result;
    emtask::MakeDirectory(toFolder);
    const int32_t count = emtask::RecordCount(image);
    int folderErr = FolderError(from.folder);
    // A folder that never was holds no photographs; one that went away or
    // cannot be read held those its records say were stored.
    const bool none = (folderErr == ENOENT || folderErr == ENOTDIR) && !from.folderSeen;
    emtask::AtomicFileBatch batch;
    std::vector<unsigned char> bytes;
    for (int32_t slot = 0; slot < count; ++slot) {
        const emtask::TestRecord& rec = image.m_TestData[slot];
        const std::string src = PhotoPath(from, rec, slot);
        const std::string name = SafePhotoName(rec, rec.testno);
        if (!src.empty() && !name.empty() && !none) {
            const std::string dst = toFolder + "/" + name;
            if (folderErr != 0) {
                if (HadPhotograph(rec)) Lose(result, src, emtask::ErrorText(folderErr));
            } else if (!emtask::ReadPhotoFile(src, bytes)) {
                const int e = errno;
                if (e != ENOENT) {
                    Lose(result, src, emtask::ErrorText(e));
                } else if ((folderErr = FolderError(from.folder)) != 0 && HadPhotograph(rec)) {
                    Lose(result, src, emtask::ErrorText(folderErr));  // the folder went during the save
                }  // else absent from a folder that is there: never taken
            } else if (!SameFile(src, dst)) {
                if (batch.Add(dst, bytes.data(), bytes.size()))
                    ++result.copied;
                else
                    Lose(result, src, emtask::LastFileError());
            }
        }
        if (progress) progress(slot + 1);
    }
    if (result.lost == 0 && batch.Size() > 0 && !batch.Commit()) {
        result.lost = result.copied;
        result.firstLost = toFolder;
        result.why = emtask::LastFileError();
    }
    if (result.lost > 0) result.copied = 0;
    return result;
}

bool SaveArchive(const ArchiveTarget& target, uint8_t kind, const emtask::DeviceData& data,
                 emtask::EMTaskData& store, const PhotoSource& from, bool photos,
                 const std::function<void(int)>& progress, PhotoCopy* copy, std::string* why)
{
    if (!emtask::MakeDirectory(target.folder)) {
        if (why) *why = "cannot create " + target.folder + ": " + emtask::ErrorText(errno);
        return false;
    }
    if (photos) {
        PhotoCopy c = CopyPhotographs(data, from, target.folder + "/jpeg", progress);
        if (copy) *copy = c;
        if (c.lost > 0) {
            DebugLine("archive %s not saved: %d photographs lost, the first %s: %s", target.file.c_str(),
                      c.lost, c.firstLost.c_str(), c.why.c_str());
            return false;
        }
    }
    if (WriteArchive(target.file, kind, data, store)) return true;
    if (why) *why = emtask::LastFileError();
    return false;
}

}  // namespace records
