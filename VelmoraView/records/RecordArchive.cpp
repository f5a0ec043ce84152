#include "records/RecordArchive.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"

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
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        DebugPrint("Load(%s) open error\n", path.c_str());
        return ArchiveLoad::CannotOpen;
    }
    unsigned char header[kArchiveHeaderSize];
    struct stat st;
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const ssize_t got = regular ? pread(fd, header, sizeof header, 0) : -1;
    close(fd);
    if (got != ssize_t(sizeof header)) {
        DebugPrint("Load(%s) FHEAD_H read error\n", path.c_str());
        return ArchiveLoad::NoHeader;
    }
    if (store.m_DeviceKind > 0 && (store.m_DeviceKind & 0xFF) != header[0]) {
        DebugPrint("%s: FHEAD_H check error\n", path.c_str());
        return ArchiveLoad::KindMismatch;
    }
    store.BeginArchiveView();
    // The read copies or zeroes every byte the file covers; what lies beyond
    // (a shorter file, a read that stopped) is zeroed after it, so no page is
    // freed only to be filled again.
    auto* image = reinterpret_cast<char*>(&store.m_DeviceData);
    int64_t read = emtask::ReadFileImageAt(path, kArchiveHeaderSize, image, sizeof store.m_DeviceData);
    if (read < 0) read = 0;
    emtask::ZeroRange(image + read, sizeof store.m_DeviceData - size_t(read));
    store.ForgetLogFileState();
    return ArchiveLoad::Ok;
}

namespace {
// Reads a whole (small) file; false when it cannot be read.
bool ReadWhole(const std::string& path, std::vector<char>& out)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size < (1LL << 30);
    if (ok) {
        out.resize(size_t(st.st_size));
        size_t done = 0;
        while (ok && done < out.size()) {
            ssize_t n = read(fd, out.data() + done, out.size() - done);
            if (n <= 0) ok = false;
            else done += size_t(n);
        }
    }
    close(fd);
    return ok;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}
}  // namespace

int CopyPhotographs(const emtask::DeviceData& image, const PhotoSource& from, const std::string& toFolder,
                    const std::function<void(int)>& progress)
{
    emtask::MakeDirectory(toFolder);
    const int32_t count = emtask::RecordCount(image);
    int copies = 0;
    std::vector<char> bytes;
    for (int32_t slot = 0; slot < count; ++slot) {
        const emtask::TestRecord& rec = image.m_TestData[slot];
        const std::string src = PhotoPath(from, rec, slot);
        const std::string name = SafePhotoName(rec, rec.testno);
        if (!src.empty() && !name.empty()) {
            const std::string dst = toFolder + "/" + name;
            if (!SameFile(src, dst) && ReadWhole(src, bytes) &&
                emtask::AtomicWriteFile(dst, bytes.data(), bytes.size()))
                ++copies;
        }
        if (progress) progress(slot + 1);
    }
    return copies;
}

}  // namespace records
