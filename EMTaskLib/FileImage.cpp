#include "FileImage.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace emtask {

void (*g_FileImageStageHook)(int stage) = nullptr;

// ---------------------------------------------------------------------------
// The journal "<file>.jnl". Little-endian, built whole in memory, written to
// "<file>.jnl.tmp", synced, and renamed into place: the rename is the commit.
//
//   offset       size    field
//   0            8       magic "ZOLTJNL1"
//   8            8       image size: the exact size of the file it patches;
//                        a patch never changes a file's size
//   16           8       patch count, 1 .. kMaxPatches
//   24           ...     per patch, in order:
//                          8   offset in the file
//                          4   length, > 0; offset + length <= image size
//                          length bytes of new content
//   end - 8      8       FNV-1a 64 of every byte before it
//
// so a journal is exactly 24 + sum(12 + length) + 8 bytes long, and never
// longer than kMaxJournalBytes. ParseJournal checks every one of these
// before a single byte is applied; a journal that fails is set aside.
namespace {
constexpr char kJournalMagic[8] = {'Z', 'O', 'L', 'T', 'J', 'N', 'L', '1'};
constexpr size_t kJournalHeader = 24;
constexpr size_t kPatchHeader = 12;
constexpr size_t kJournalTrailer = 8;
constexpr uint64_t kMaxPatches = 64;
constexpr size_t kMaxJournalBytes = 16u << 20;  // a save patches at most 10,000 records
static_assert(sizeof kJournalMagic + 8 + 8 == kJournalHeader);
static_assert(sizeof(uint64_t) + sizeof(uint32_t) == kPatchHeader);
static_assert(sizeof(Patch::offset) == 8 && sizeof(Patch::length) == 4);

constexpr size_t kChunk = 1 << 20;

thread_local std::string t_error;
std::atomic<uintptr_t> g_zeroBase{0}, g_zeroEnd{0};  // SetZeroFilledMapping

// Records why a call failed; errno is left as `err`.
void SetError(int err, std::string text)
{
    t_error = std::move(text);
    errno = err;
}

std::string Describe(const std::string& what, const std::string& path, int err)
{
    return what + " " + path + ": " + ErrorText(err);
}

void Stage(int stage)
{
    if (g_FileImageStageHook) g_FileImageStageHook(stage);
}

std::string DirOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string LeafOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// --- the fault-injection seam ----------------------------------------------
struct FaultPlan {
    int n = 0;
    int err = 0;
    unsigned ops = 0;
    bool sticky = false;
    std::string only;
    int calls = 0;
    bool fired = false;
    std::vector<std::string> trace;
};
std::atomic<bool> g_faultArmed{false};
std::mutex g_faultLock;
FaultPlan g_fault;

// 0 to go on, or the errno the call must fail with.
int Injected(iofault::Op op, const char* name, const std::string& path)
{
    if (!g_faultArmed.load(std::memory_order_relaxed)) return 0;
    std::lock_guard<std::mutex> lock(g_faultLock);
    if (!(g_fault.ops & op)) return 0;
    const std::string leaf = LeafOf(path);
    if (!g_fault.only.empty() && leaf != g_fault.only) return 0;
    ++g_fault.calls;
    g_fault.trace.push_back(std::string(name) + " " + leaf);
    if (g_fault.calls == g_fault.n || (g_fault.sticky && g_fault.calls > g_fault.n)) {
        g_fault.fired = true;
        return g_fault.err;
    }
    return 0;
}

// --- system calls, each through the seam --------------------------------------
int OpenWrite(const std::string& path, int flags, mode_t mode = 0644)
{
    if (int e = Injected(iofault::kOpenWrite, "open", path)) {
        errno = e;
        return -1;
    }
    return open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, mode);
}

int OpenRead(const std::string& path) { return OpenRegularFile(path); }

bool WriteAll(int fd, const std::string& path, const void* data, size_t size, uint64_t offset)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        if (int e = Injected(iofault::kWrite, "write", path)) {
            // A disk that fills up takes part of a write before refusing.
            if (size > 1 && pwrite(fd, p, size / 2, static_cast<off_t>(offset)) < 0) { }
            errno = e;
            return false;
        }
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

ssize_t ReadAll(int fd, const std::string& path, void* data, size_t size, uint64_t offset)
{
    char* p = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        if (int e = Injected(iofault::kRead, "read", path)) {
            errno = e;
            return -1;
        }
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

bool SyncFile(int fd, const std::string& path)
{
    if (int e = Injected(iofault::kSync, "sync", path)) {
        errno = e;
        return false;
    }
    return fdatasync(fd) == 0;
}

// Writes out everything of the file system `fd` is on.
bool SyncFileSystem(int fd, const std::string& path)
{
    if (int e = Injected(iofault::kSync, "sync", path)) {
        errno = e;
        return false;
    }
    return syncfs(fd) == 0;
}

bool TruncateFile(int fd, const std::string& path, uint64_t size)
{
    if (int e = Injected(iofault::kTruncate, "truncate", path)) {
        errno = e;
        return false;
    }
    return ftruncate(fd, static_cast<off_t>(size)) == 0;
}

bool RenameFile(const std::string& from, const std::string& to)
{
    if (int e = Injected(iofault::kRename, "rename", from)) {
        errno = e;
        return false;
    }
    return rename(from.c_str(), to.c_str()) == 0;
}

bool UnlinkFile(const std::string& path)
{
    if (int e = Injected(iofault::kUnlink, "unlink", path)) {
        errno = e;
        return false;
    }
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}

// Makes renames and removals in the file's folder durable.
bool SyncDir(const std::string& path)
{
    const std::string dir = DirOf(path);
    if (int e = Injected(iofault::kSync, "sync folder", dir)) {
        errno = e;
        return false;
    }
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fsync(fd) == 0;
    int e = errno;
    close(fd);
    errno = e;
    return ok;
}

// Removes what an interrupted save left under a temporary name.
void RemoveLeftover(const std::string& path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) == 0) UnlinkFile(path);
}

// --- journals ----------------------------------------------------------------
struct PatchView {
    uint64_t offset;
    const unsigned char* data;
    uint32_t length;
};

uint64_t Get64(const unsigned char* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// Checks a journal against an image of `imageSize` bytes; fills `out` only
// when every field holds. `why` says what failed.
bool ParseJournal(const std::vector<unsigned char>& j, uint64_t imageSize, std::vector<PatchView>& out,
                  std::string& why)
{
    out.clear();
    const size_t n = j.size();
    if (n < kJournalHeader + kPatchHeader + 1 + kJournalTrailer || n > kMaxJournalBytes) {
        why = "its length (" + std::to_string(n) + " bytes) is not that of a journal";
        return false;
    }
    if (std::memcmp(j.data(), kJournalMagic, sizeof kJournalMagic) != 0) {
        why = "it does not begin with the journal mark";
        return false;
    }
    if (Fnv1a(j.data(), n - kJournalTrailer) != Get64(j.data() + n - kJournalTrailer)) {
        why = "its check sum does not match (damaged or incomplete)";
        return false;
    }
    const uint64_t size = Get64(j.data() + 8);
    const uint64_t count = Get64(j.data() + 16);
    if (size != imageSize) {
        why = "it was written for an image of " + std::to_string(size) + " bytes, not " +
              std::to_string(imageSize);
        return false;
    }
    if (count == 0 || count > kMaxPatches) {
        why = "its patch count " + std::to_string(count) + " is out of range";
        return false;
    }
    size_t pos = kJournalHeader;
    const size_t end = n - kJournalTrailer;
    for (uint64_t i = 0; i < count; ++i) {
        if (end - pos < kPatchHeader) {
            why = "patch " + std::to_string(i) + " runs past its end";
            return false;
        }
        const uint64_t off = Get64(j.data() + pos);
        uint32_t len;
        std::memcpy(&len, j.data() + pos + 8, 4);
        pos += kPatchHeader;
        if (len == 0 || len > end - pos) {
            why = "patch " + std::to_string(i) + " has a length that runs past its end";
            return false;
        }
        if (off > size || len > size - off) {
            why = "patch " + std::to_string(i) + " lies outside the image";
            return false;
        }
        out.push_back({off, j.data() + pos, len});
        pos += len;
    }
    if (pos != end) {
        why = "it holds " + std::to_string(end - pos) + " bytes after its last patch";
        out.clear();
        return false;
    }
    return true;
}

// Reads a journal whole. 1 read, 0 no journal, -1 unreadable (errno).
int ReadJournal(const std::string& jnl, std::vector<unsigned char>& j)
{
    int fd = OpenRead(jnl);
    if (fd < 0) return errno == ENOENT ? 0 : -1;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        int e = errno;
        close(fd);
        errno = e;
        return -1;
    }
    // One byte more than the limit is enough to tell an oversized journal.
    size_t want = static_cast<uint64_t>(st.st_size) > kMaxJournalBytes ? kMaxJournalBytes + 1
                                                                       : static_cast<size_t>(st.st_size);
    j.resize(want);
    ssize_t got = ReadAll(fd, jnl, j.data(), want, 0);
    int e = errno;
    close(fd);
    if (got < 0) {
        errno = e;
        return -1;
    }
    j.resize(static_cast<size_t>(got));
    return 1;
}

// Writes the patches into the file and syncs it; errno on failure.
bool ApplyJournal(const std::string& path, const std::vector<PatchView>& patches)
{
    int fd = OpenWrite(path, O_WRONLY);
    if (fd < 0) return false;
    bool ok = true;
    for (size_t i = 0; ok && i < patches.size(); ++i) {
        ok = WriteAll(fd, path, patches[i].data, patches[i].length, patches[i].offset);
        if (i == 0) Stage(3);
    }
    ok = ok && SyncFile(fd, path);
    int e = errno;
    close(fd);
    errno = e;
    return ok;
}
}  // namespace

// ---------------------------------------------------------------------------

std::string ErrorText(int err)
{
    if (err == kNotRegularFile) return "not a regular file";
    // The common case at every first start, without waking the locale.
    if (err == ENOENT) return "No such file or directory";
    return std::strerror(err);
}

const std::string& LastFileError() { return t_error; }

void SetLastFileError(int err, std::string text) { SetError(err, std::move(text)); }

int OpenRegularFile(const std::string& path, uint64_t* size)
{
    if (int e = Injected(iofault::kRead, "open", path)) {
        errno = e;
        return -1;
    }
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st;
    int e = 0;
    if (fstat(fd, &st) != 0)
        e = errno;
    else if (!S_ISREG(st.st_mode))
        e = kNotRegularFile;
    if (e) {
        close(fd);
        errno = e;
        return -1;
    }
    if (size) *size = static_cast<uint64_t>(st.st_size);
    return fd;
}

namespace iofault {
void Arm(int n, int err, unsigned ops, bool sticky, const std::string& onlyFile)
{
    std::lock_guard<std::mutex> lock(g_faultLock);
    g_fault = FaultPlan{};
    g_fault.n = n;
    g_fault.err = err;
    g_fault.ops = ops;
    g_fault.sticky = sticky;
    g_fault.only = onlyFile;
    g_faultArmed = true;
}

void Disarm()
{
    std::lock_guard<std::mutex> lock(g_faultLock);
    g_faultArmed = false;
    g_fault.ops = 0;
}

const std::vector<std::string>& Trace() { return g_fault.trace; }
bool Fired() { return g_fault.fired; }
}  // namespace iofault

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

void SetZeroFilledMapping(const void* base, size_t size)
{
    g_zeroBase = reinterpret_cast<uintptr_t>(base);
    g_zeroEnd = reinterpret_cast<uintptr_t>(base) + size;
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

namespace {
// Not ours to apply; kept for a look, never applied.
Recovery SetAside(const std::string& path, const std::string& why)
{
    const std::string jnl = path + ".jnl";
    Recovery r;
    r.state = Recovery::SetAside;
    r.why = jnl + " was set aside as " + LeafOf(jnl) + ".bad without being applied: " + why;
    if (!RenameFile(jnl, jnl + ".bad")) r.why += " (and could not be renamed: " + ErrorText(errno) + ")";
    SyncDir(path);
    return r;
}
}  // namespace

Recovery SetAsideJournal(const std::string& path, const std::string& why)
{
    RemoveLeftover(path + ".jnl.tmp");
    RemoveLeftover(path + ".tmp");
    struct stat st;
    if (lstat((path + ".jnl").c_str(), &st) != 0) return {};
    return SetAside(path, why);
}

Recovery RecoverFile(const std::string& path, uint64_t imageSize)
{
    Recovery r;
    const std::string jnl = path + ".jnl";
    // Never renamed into place: those saves did not happen.
    RemoveLeftover(jnl + ".tmp");
    RemoveLeftover(path + ".tmp");

    std::vector<unsigned char> j;
    int got = ReadJournal(jnl, j);
    if (got == 0) return r;
    if (got < 0) {
        r.state = Recovery::Unreadable;
        r.err = errno;
        r.why = Describe("cannot read the journal", jnl, r.err);
        SetError(r.err, r.why);
        return r;
    }
    std::vector<PatchView> patches;
    std::string why;
    bool fits = ParseJournal(j, imageSize, patches, why);
    if (fits) {
        struct stat st;
        if (stat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                r.state = Recovery::Unreadable;
                r.err = errno;
                r.why = Describe("cannot look at", path, r.err);
                SetError(r.err, r.why);
                return r;
            }
            fits = false;
            why = "the file it belongs to does not exist";
        } else if (!S_ISREG(st.st_mode)) {
            r.state = Recovery::Unreadable;
            r.err = kNotRegularFile;
            r.why = Describe("cannot apply the journal to", path, r.err);
            SetError(r.err, r.why);
            return r;
        } else if (static_cast<uint64_t>(st.st_size) != imageSize) {
            fits = false;
            why = "the file is " + std::to_string(st.st_size) + " bytes, not " + std::to_string(imageSize);
        }
    }
    if (!fits) return SetAside(path, why);
    if (!ApplyJournal(path, patches) || !UnlinkFile(jnl)) {
        r.state = Recovery::Pending;
        r.err = errno;
        r.why = Describe("cannot complete the journal", jnl, r.err);
        SetError(r.err, r.why);
        return r;
    }
    SyncDir(path);  // a removal that is lost only re-applies the same bytes
    r.state = Recovery::Applied;
    return r;
}

bool OverlayJournal(const std::string& path, void* image, uint64_t imageSize)
{
    std::vector<unsigned char> j;
    std::vector<PatchView> patches;
    std::string why;
    if (ReadJournal(path + ".jnl", j) != 1 || !ParseJournal(j, imageSize, patches, why)) return false;
    for (const PatchView& p : patches) std::memcpy(static_cast<char*>(image) + p.offset, p.data, p.length);
    return true;
}

namespace {
// Pages of the store's private anonymous mapping that were never touched have
// no page table entry and are zero without being looked at; comparing them
// byte by byte would map every one of them (and, where reads of untouched
// memory commit it, hold the whole image). /proc/self/pagemap tells them:
// bit 63 present, bit 62 swapped. False outside that mapping (a page of a
// file mapping not yet read is not zero) and when it cannot say; the bytes
// are then compared. Opened per call: a descriptor inherited over a fork
// would read the parent's pages.
bool NeverTouched(const void* data, size_t size)
{
    const uintptr_t at = reinterpret_cast<uintptr_t>(data);
    if (size == 0 || at < g_zeroBase.load() || at + size > g_zeroEnd.load()) return false;
    const int fd = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t first = reinterpret_cast<uintptr_t>(data) / page;
    const uintptr_t last = (reinterpret_cast<uintptr_t>(data) + size - 1) / page;
    uint64_t entries[512];
    bool untouched = true;
    for (uintptr_t p = first; untouched && p <= last;) {
        const size_t n = last - p + 1 < 512 ? static_cast<size_t>(last - p + 1) : 512;
        if (pread(fd, entries, n * sizeof entries[0], static_cast<off_t>(p * sizeof entries[0])) !=
            static_cast<ssize_t>(n * sizeof entries[0]))
            untouched = false;
        for (size_t i = 0; untouched && i < n; ++i) untouched = (entries[i] >> 62) == 0;
        p += n;
    }
    close(fd);
    return untouched;
}
}  // namespace

bool AtomicWriteFile(const std::string& path, const void* data, size_t size)
{
    return AtomicWriteFile(path, std::vector<Piece>{{data, size}});
}

bool AtomicWriteFile(const std::string& path, const std::vector<Piece>& pieces)
{
    uint64_t size = 0;
    for (const Piece& piece : pieces) size += piece.size;
    // A journal left behind belongs to the image being replaced: it is settled
    // first, or the save does not happen (it would be applied over the new
    // image at the next start).
    Recovery r = RecoverFile(path, size);
    if (r.state == Recovery::Pending || r.state == Recovery::Unreadable) {
        SetError(r.err, r.why);
        return false;
    }
    const std::string tmp = path + ".tmp";
    int fd = OpenWrite(tmp, O_WRONLY | O_CREAT | O_EXCL);
    if (fd < 0) {
        SetError(errno, Describe("cannot create", tmp, errno));
        return false;
    }
    bool ok = TruncateFile(fd, tmp, size);
    uint64_t at = 0;
    for (const Piece& piece : pieces) {
        const char* p = static_cast<const char*>(piece.data);
        for (size_t off = 0; ok && off < piece.size; off += kChunk) {
            size_t n = piece.size - off < kChunk ? piece.size - off : kChunk;
            if (!NeverTouched(p + off, n) && !IsZero(p + off, n))
                ok = WriteAll(fd, tmp, p + off, n, at + off);
        }
        at += piece.size;
    }
    ok = ok && SyncFile(fd, tmp);
    int e = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        e = errno;
    }
    if (ok) {
        Stage(4);
        ok = RenameFile(tmp, path);
        e = errno;
    }
    if (!ok) {
        unlink(tmp.c_str());
        SetError(e, Describe("cannot write", tmp, e));
        return false;
    }
    if (!SyncDir(path)) {
        // The new image is in place, but the disk did not confirm it.
        SetError(errno, Describe("cannot confirm the new image of", path, errno));
        return false;
    }
    return true;
}

bool CommitTempFile(const std::string& tmp, const std::string& path)
{
    int fd = open(tmp.c_str(), O_RDONLY | O_CLOEXEC);
    bool ok = fd >= 0 && SyncFile(fd, tmp);
    if (fd >= 0) ok = (close(fd) == 0) && ok;
    if (!ok) SetError(errno, Describe("cannot sync", tmp, errno));
    if (ok) {
        Stage(4);
        ok = RenameFile(tmp, path);
        if (!ok) SetError(errno, Describe("cannot put in place", path, errno));
    }
    if (!ok) {
        unlink(tmp.c_str());
        return false;
    }
    SyncDir(path);
    return true;
}

bool AppendEntries(const std::string& path, const void* data, size_t size, size_t unit)
{
    if (unit == 0 || size % unit != 0) {
        SetError(EINVAL, "entries of " + path + " that are not whole");
        return false;
    }
    struct stat before;
    const bool existed = lstat(path.c_str(), &before) == 0;
    int fd = OpenWrite(path, O_RDWR | O_CREAT, 0644);
    struct stat st { };
    int e = 0;
    if (fd < 0) {
        SetError(errno, Describe("cannot open", path, errno));
        return false;
    }
    if (fstat(fd, &st) != 0)
        e = errno;
    else if (!S_ISREG(st.st_mode))
        e = kNotRegularFile;
    uint64_t whole = e ? 0 : static_cast<uint64_t>(st.st_size) / unit * unit;
    // A torn entry left by an interrupted append is never followed by a new one.
    if (!e && whole != static_cast<uint64_t>(st.st_size) && !TruncateFile(fd, path, whole)) e = errno;
    if (!e && !WriteAll(fd, path, data, size, whole)) e = errno;
    if (!e && !SyncFile(fd, path)) e = errno;
    if (e) {
        // Whatever part of the new entries reached the file is cut off again.
        if (S_ISREG(st.st_mode) && ftruncate(fd, static_cast<off_t>(whole)) == 0) { }
        close(fd);
        SetError(e, Describe("cannot append to", path, e));
        return false;
    }
    close(fd);
    if (!existed) SyncDir(path);
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
    if (!m_Ok) SetError(errno, Describe("cannot create a file beside", path, errno));
    m_Offset = 0;
    m_Buf.clear();
    m_Buf.reserve(kChunk);
    return m_Ok;
}

bool AtomicFileWriter::Flush()
{
    if (m_Ok && !m_Buf.empty()) {
        m_Ok = WriteAll(m_Fd, m_Tmp, m_Buf.data(), m_Buf.size(), m_Offset);
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
        m_Ok = WriteAll(m_Fd, m_Tmp, data, size, m_Offset);
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
    bool ok = Flush() && SyncFile(m_Fd, m_Tmp);
    ok = (close(m_Fd) == 0) && ok;
    m_Fd = -1;
    ok = ok && RenameFile(m_Tmp, m_Path);
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

bool AtomicFileWriter::Close(std::string& tmp)
{
    if (m_Fd < 0) return false;
    bool ok = Flush();
    int e = errno;
    if (close(m_Fd) != 0 && ok) {
        ok = false;
        e = errno;
    }
    m_Fd = -1;
    m_Ok = false;
    if (!ok) {
        unlink(m_Tmp.c_str());
        SetError(e, Describe("cannot write", m_Tmp, e));
        return false;
    }
    tmp = m_Tmp;
    return true;
}

bool AtomicFileBatch::Add(const std::string& path, const void* data, size_t size)
{
    AtomicFileWriter w;
    if (!w.Open(path)) return false;
    std::string tmp;
    if (!w.Write(data, size) || !w.Close(tmp)) {
        if (tmp.empty()) SetError(errno, Describe("cannot write", path, errno));
        return false;
    }
    m_Files.push_back({tmp, path});
    return true;
}

bool AtomicFileBatch::Commit()
{
    // One sync for each file system the files are on: their data is on the
    // disk before any of them is renamed into place.
    std::vector<std::string> folders;
    std::vector<dev_t> synced;
    bool ok = true;
    for (const Entry& f : m_Files) {
        const std::string dir = DirOf(f.path);
        if (std::find(folders.begin(), folders.end(), dir) != folders.end()) continue;
        folders.push_back(dir);
        int fd = open(f.tmp.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st { };
        ok = fd >= 0 && fstat(fd, &st) == 0;
        const bool seen = std::find(synced.begin(), synced.end(), st.st_dev) != synced.end();
        if (ok && !seen) ok = SyncFileSystem(fd, f.tmp);
        const int e = errno;
        if (fd >= 0) close(fd);
        if (!ok) {
            SetError(e, Describe("cannot sync", f.tmp, e));
            break;
        }
        synced.push_back(st.st_dev);
    }
    size_t done = 0;
    for (; ok && done < m_Files.size(); ++done) {
        if (!RenameFile(m_Files[done].tmp, m_Files[done].path)) {
            SetError(errno, Describe("cannot put in place", m_Files[done].path, errno));
            ok = false;
            break;
        }
    }
    m_Files.erase(m_Files.begin(), m_Files.begin() + static_cast<std::ptrdiff_t>(done));
    for (const std::string& dir : folders) {
        if (ok && !SyncDir(dir + "/.")) {
            SetError(errno, Describe("cannot confirm the files in", dir, errno));
            ok = false;
        }
    }
    Abort();
    return ok;
}

void AtomicFileBatch::Abort()
{
    for (const Entry& f : m_Files) unlink(f.tmp.c_str());
    m_Files.clear();
}

PatchResult PatchFile(const std::string& path, const std::vector<Patch>& patches, uint64_t imageSize)
{
    Recovery r = RecoverFile(path, imageSize);
    if (r.state == Recovery::Pending || r.state == Recovery::Unreadable) {
        SetError(r.err, r.why);
        return PatchResult::Failed;
    }
    if (patches.empty() || patches.size() > kMaxPatches) {
        SetError(EINVAL, "a patch of " + path + " with " + std::to_string(patches.size()) + " stretches");
        return PatchResult::Failed;
    }
    std::vector<unsigned char> j;
    size_t total = kJournalHeader + kJournalTrailer;
    for (const Patch& p : patches) {
        if (p.length == 0 || p.offset > imageSize || p.length > imageSize - p.offset) {
            SetError(EINVAL, "a patch outside the image of " + path);
            return PatchResult::Failed;
        }
        total += kPatchHeader + p.length;
    }
    if (total > kMaxJournalBytes) {
        SetError(EFBIG, "a patch of " + path + " larger than a journal may be");
        return PatchResult::Failed;
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<uint64_t>(st.st_size) != imageSize) {
        SetError(ESTALE, path + " is not a whole image to patch");
        return PatchResult::Failed;
    }
    j.reserve(total);
    auto put = [&j](const void* d, size_t n) {
        const auto* b = static_cast<const unsigned char*>(d);
        j.insert(j.end(), b, b + n);
    };
    const uint64_t count = patches.size();
    put(kJournalMagic, sizeof kJournalMagic);
    put(&imageSize, 8);
    put(&count, 8);
    for (const Patch& p : patches) {
        put(&p.offset, 8);
        put(&p.length, 4);
        put(p.data, p.length);
    }
    const uint64_t sum = Fnv1a(j.data(), j.size());
    put(&sum, 8);

    const std::string jnl = path + ".jnl";
    const std::string tmp = jnl + ".tmp";
    int jfd = OpenWrite(tmp, O_WRONLY | O_CREAT | O_EXCL);
    if (jfd < 0) {
        SetError(errno, Describe("cannot create", tmp, errno));
        return PatchResult::Failed;
    }
    bool ok = WriteAll(jfd, tmp, j.data(), j.size(), 0) && SyncFile(jfd, tmp);
    int e = ok ? 0 : errno;
    if (close(jfd) != 0 && ok) {
        ok = false;
        e = errno;
    }
    if (ok) {
        Stage(1);
        ok = RenameFile(tmp, jnl);
        e = errno;
    }
    if (!ok) {
        unlink(tmp.c_str());
        SetError(e, Describe("cannot write", tmp, e));
        return PatchResult::Failed;
    }
    if (!SyncDir(path)) {
        // The commit is not confirmed: take it back while the file is
        // untouched. A journal that cannot be taken back is applied below.
        e = errno;
        if (UnlinkFile(jnl)) {
            SetError(e, Describe("cannot commit the journal", jnl, e));
            return PatchResult::Failed;
        }
    }
    Stage(2);
    // From here the save is committed: RecoverFile finishes it if we stop.
    std::vector<PatchView> views;
    for (const Patch& p : patches)
        views.push_back({p.offset, static_cast<const unsigned char*>(p.data), p.length});
    if (!ApplyJournal(path, views)) {
        e = errno;
        SetError(e, Describe("cannot complete the journal", jnl, e));
        return PatchResult::Pending;
    }
    if (!UnlinkFile(jnl)) {
        // The file is whole; the journal only re-applies the same bytes.
        SetError(errno, Describe("cannot remove the journal", jnl, errno));
        return PatchResult::Done;
    }
    SyncDir(path);
    return PatchResult::Done;
}

int64_t ReadFileImage(const std::string& path, void* dest, size_t size)
{
    return ReadFileImageAt(path, 0, dest, size);
}

int64_t ReadFileImageAt(const std::string& path, uint64_t offset, void* dest, size_t size)
{
    int fd = OpenRead(path);
    if (fd < 0) {
        SetError(errno, Describe("cannot open", path, errno));
        return -1;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        int e = errno;
        close(fd);
        SetError(e, Describe("cannot open", path, e));
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
            next = static_cast<uint64_t>(data) > offset + fileBytes
                       ? fileBytes
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
        ssize_t got = ReadAll(fd, path, buf.data(), n, offset + off);
        if (got < 0) {
            int e = errno;
            close(fd);
            SetError(e, Describe("cannot read", path, e));
            return -1;
        }
        if (got == 0) break;  // the file shrank meanwhile
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
