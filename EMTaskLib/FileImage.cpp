#include "FileImage.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace emtask {

void (*g_FileImageStageHook)(int stage) = nullptr;

namespace {
void Stage(int stage)
{
    if (g_FileImageStageHook) g_FileImageStageHook(stage);
}

constexpr size_t kChunk = 1 << 20;
constexpr char kJournalMagic[8] = {'Z', 'O', 'L', 'T', 'J', 'N', 'L', '1'};

std::string DirOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

void SyncDir(const std::string& path)
{
    int fd = open(DirOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool WriteAll(int fd, const void* data, size_t size, uint64_t offset)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = pwrite(fd, p, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

ssize_t ReadAll(int fd, void* data, size_t size, uint64_t offset)
{
    char* p = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t n = pread(fd, p + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

}  // namespace

uint64_t Fnv1a(const void* data, size_t size, uint64_t h)
{
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        h ^= p[i];
        h *= 0x100000001b3ULL;
    }
    return h;
}

bool IsZero(const void* data, size_t size)
{
    const auto* p = static_cast<const unsigned char*>(data);
    size_t i = 0;
    for (; i < size && (reinterpret_cast<uintptr_t>(p + i) & 7); ++i)
        if (p[i]) return false;
    for (; i + 64 <= size; i += 64) {
        const auto* w = reinterpret_cast<const uint64_t*>(p + i);
        if (w[0] | w[1] | w[2] | w[3] | w[4] | w[5] | w[6] | w[7]) return false;
    }
    for (; i < size; ++i)
        if (p[i]) return false;
    return true;
}

void ZeroRange(void* data, size_t size)
{
    auto* p = static_cast<char*>(data);
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    uintptr_t start = (reinterpret_cast<uintptr_t>(p) + page - 1) & ~(page - 1);
    uintptr_t end = (reinterpret_cast<uintptr_t>(p) + size) & ~(page - 1);
    if (size < 4 * page || end <= start) {
        std::memset(p, 0, size);
        return;
    }
    std::memset(p, 0, start - reinterpret_cast<uintptr_t>(p));
    // Private anonymous pages read back as zero after MADV_DONTNEED.
    if (madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED) != 0)
        std::memset(reinterpret_cast<void*>(start), 0, end - start);
    std::memset(reinterpret_cast<void*>(end), 0, reinterpret_cast<uintptr_t>(p) + size - end);
}

bool AtomicWriteFile(const std::string& path, const void* data, size_t size)
{
    return AtomicWriteFile(path, std::vector<Piece>{{data, size}});
}

bool AtomicWriteFile(const std::string& path, const std::vector<Piece>& pieces)
{
    // A journal left behind belongs to the image being replaced: settle it
    // now, so it is never applied over the new one.
    RecoverFile(path);
    std::string tmp = path + ".tmp";
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    uint64_t total = 0;
    for (const Piece& piece : pieces) total += piece.size;
    bool ok = ftruncate(fd, static_cast<off_t>(total)) == 0;
    uint64_t at = 0;
    for (const Piece& piece : pieces) {
        const char* p = static_cast<const char*>(piece.data);
        for (size_t off = 0; ok && off < piece.size; off += kChunk) {
            size_t n = piece.size - off < kChunk ? piece.size - off : kChunk;
            if (!IsZero(p + off, n)) ok = WriteAll(fd, p + off, n, at + off);
        }
        at += piece.size;
    }
    ok = ok && fdatasync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (!ok) {
        unlink(tmp.c_str());
        return false;
    }
    Stage(4);
    if (rename(tmp.c_str(), path.c_str()) != 0) {
        unlink(tmp.c_str());
        return false;
    }
    SyncDir(path);
    return true;
}

bool AtomicFileWriter::Open(const std::string& path, unsigned mode)
{
    Abort();
    m_Path = path;
    // A name of its own: a file the user keeps beside the target is never
    // taken over.
    for (int k = 0; k < 100 && m_Fd < 0; ++k) {
        m_Tmp = path + ".tmp" + (k ? std::to_string(k) : std::string());
        m_Fd = open(m_Tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_Fd < 0 && errno != EEXIST) break;
    }
    m_Ok = m_Fd >= 0;
    m_Offset = 0;
    m_Buf.clear();
    m_Buf.reserve(kChunk);
    return m_Ok;
}

bool AtomicFileWriter::Flush()
{
    if (m_Ok && !m_Buf.empty()) {
        m_Ok = WriteAll(m_Fd, m_Buf.data(), m_Buf.size(), m_Offset);
        m_Offset += m_Buf.size();
    }
    m_Buf.clear();
    return m_Ok;
}

bool AtomicFileWriter::Write(const void* data, size_t size)
{
    if (!m_Ok) return false;
    if (m_Buf.size() + size > kChunk && !Flush()) return false;
    if (size >= kChunk) {
        m_Ok = WriteAll(m_Fd, data, size, m_Offset);
        m_Offset += size;
        return m_Ok;
    }
    const char* p = static_cast<const char*>(data);
    m_Buf.insert(m_Buf.end(), p, p + size);
    return true;
}

bool AtomicFileWriter::Commit()
{
    if (m_Fd < 0) return false;
    bool ok = Flush() && fdatasync(m_Fd) == 0;
    ok = (close(m_Fd) == 0) && ok;
    m_Fd = -1;
    ok = ok && rename(m_Tmp.c_str(), m_Path.c_str()) == 0;
    if (!ok) {
        unlink(m_Tmp.c_str());
    } else {
        SyncDir(m_Path);
    }
    m_Ok = false;
    return ok;
}

void AtomicFileWriter::Abort()
{
    if (m_Fd < 0) return;
    close(m_Fd);
    m_Fd = -1;
    unlink(m_Tmp.c_str());
    m_Ok = false;
}

// Journal layout: magic, target size, count; per patch offset and length and
// bytes; then an FNV-1a of everything before it.
bool PatchFile(const std::string& path, const std::vector<Patch>& patches)
{
    RecoverFile(path);
    std::vector<unsigned char> j;
    size_t total = 24;
    for (const Patch& p : patches) total += 12 + p.length;
    j.reserve(total + 8);
    auto put = [&j](const void* d, size_t n) {
        const auto* b = static_cast<const unsigned char*>(d);
        j.insert(j.end(), b, b + n);
    };
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    uint64_t size = static_cast<uint64_t>(st.st_size);
    for (const Patch& p : patches)
        if (p.offset + p.length > size) size = p.offset + p.length;
    uint64_t count = patches.size();
    put(kJournalMagic, 8);
    put(&size, 8);
    put(&count, 8);
    for (const Patch& p : patches) {
        put(&p.offset, 8);
        put(&p.length, 4);
        put(p.data, p.length);
    }
    uint64_t sum = Fnv1a(j.data(), j.size());
    put(&sum, 8);

    std::string jnl = path + ".jnl";
    std::string tmp = jnl + ".tmp";
    int jfd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (jfd < 0) return false;
    bool ok = WriteAll(jfd, j.data(), j.size(), 0) && fdatasync(jfd) == 0;
    ok = (close(jfd) == 0) && ok;
    if (ok) Stage(1);
    if (!ok || rename(tmp.c_str(), jnl.c_str()) != 0) {
        unlink(tmp.c_str());
        return false;
    }
    SyncDir(path);
    Stage(2);
    // From here the save is committed: RecoverFile finishes it if we stop.
    RecoverFile(path);
    return access(jnl.c_str(), F_OK) != 0;
}

void RecoverFile(const std::string& path)
{
    std::string jnl = path + ".jnl";
    // Never renamed into place: those saves did not happen.
    unlink((jnl + ".tmp").c_str());
    unlink((path + ".tmp").c_str());
    int jfd = open(jnl.c_str(), O_RDONLY | O_CLOEXEC);
    if (jfd < 0) return;
    struct stat st;
    std::vector<unsigned char> j;
    bool valid = fstat(jfd, &st) == 0 && st.st_size >= 32 && st.st_size < (1LL << 31);
    if (valid) {
        j.resize(static_cast<size_t>(st.st_size));
        valid = ReadAll(jfd, j.data(), j.size(), 0) == static_cast<ssize_t>(j.size());
    }
    close(jfd);
    uint64_t sum = 0;
    if (valid) {
        std::memcpy(&sum, j.data() + j.size() - 8, 8);
        valid = std::memcmp(j.data(), kJournalMagic, 8) == 0 && Fnv1a(j.data(), j.size() - 8) == sum;
    }
    if (valid) {
        int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return;  // keep the journal for a later try
        uint64_t size, count;
        std::memcpy(&size, j.data() + 8, 8);
        std::memcpy(&count, j.data() + 16, 8);
        size_t pos = 24;
        const size_t end = j.size() - 8;
        bool ok = true;
        for (uint64_t i = 0; ok && i < count; ++i) {
            if (pos + 12 > end) { ok = false; break; }
            uint64_t off;
            uint32_t len;
            std::memcpy(&off, j.data() + pos, 8);
            std::memcpy(&len, j.data() + pos + 8, 4);
            pos += 12;
            if (len > end - pos) { ok = false; break; }
            ok = WriteAll(fd, j.data() + pos, len, off);
            pos += len;
            if (i == 0) Stage(3);
        }
        ok = ok && ftruncate(fd, static_cast<off_t>(size)) == 0 && fdatasync(fd) == 0;
        close(fd);
        if (!ok) return;  // keep the journal; the next load or save retries
    }
    unlink(jnl.c_str());
    SyncDir(path);
}

int64_t ReadFileImage(const std::string& path, void* dest, size_t size)
{
    return ReadFileImageAt(path, 0, dest, size);
}

int64_t ReadFileImageAt(const std::string& path, uint64_t offset, void* dest, size_t size)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return -1;
    }
    const uint64_t fileSize = static_cast<uint64_t>(st.st_size);
    const uint64_t avail = fileSize > offset ? fileSize - offset : 0;
    size_t fileBytes = avail < size ? static_cast<size_t>(avail) : size;
    char* out = static_cast<char*>(dest);
    std::vector<char> buf(fileBytes < kChunk ? fileBytes : kChunk);
    size_t off = 0;
    while (off < fileBytes) {
        // Skip holes of a sparse file without reading them.
        off_t data = lseek(fd, static_cast<off_t>(offset + off), SEEK_DATA);
        size_t next = off;
        if (data >= 0)
            next = static_cast<uint64_t>(data) > offset + fileBytes ? fileBytes
                   : static_cast<size_t>(static_cast<uint64_t>(data) - offset);
        else if (errno == ENXIO)
            next = fileBytes;  // only a hole remains
        if (next > fileBytes) next = fileBytes;
        if (next > off) {
            ZeroRange(out + off, next - off);  // cheap where nothing was committed
            off = next;
            continue;
        }
        size_t n = fileBytes - off < kChunk ? fileBytes - off : kChunk;
        ssize_t got = ReadAll(fd, buf.data(), n, offset + off);
        if (got <= 0) break;
        n = static_cast<size_t>(got);
        if (IsZero(buf.data(), n)) {
            ZeroRange(out + off, n);
        } else {
            std::memcpy(out + off, buf.data(), n);
        }
        off += n;
    }
    close(fd);
    return static_cast<int64_t>(off);
}

}  // namespace emtask
