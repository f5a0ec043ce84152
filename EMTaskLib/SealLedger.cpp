#include "SealLedger.h"

#include "FileImage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <sys/stat.h>
#include <unistd.h>

namespace emtask {

namespace {

constexpr char kMagic[4] = {'S', 'E', 'A', 'L'};
// Most entries a ledger can need: a start entry and one per slot of the log.
constexpr uint64_t kMaxSealEntries = uint64_t(kMaxRecords) + 1;

void Put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

uint32_t Get32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Reads `size` bytes at `offset`; false on a short read or an error.
bool ReadAt(int fd, void* data, size_t size, uint64_t offset)
{
    auto* p = static_cast<unsigned char*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t n = pread(fd, p + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

namespace {
// The one-shot SHA256() looks the algorithm up on every call, which costs as
// much as hashing a record: an audit hashes two million small blocks. So the
// algorithm is fetched once and each thread keeps a context.
struct ThreadDigestContext {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~ThreadDigestContext() { EVP_MD_CTX_free(ctx); }
};
const EVP_MD* Sha256Algorithm()
{
    // Fetched, not the built-in handle, which is looked up again at every init.
    static const EVP_MD* md = [] {
        const EVP_MD* fetched = EVP_MD_fetch(nullptr, "SHA256", nullptr);
        return fetched ? fetched : EVP_sha256();
    }();
    return md;
}
}  // namespace

Digest Sha256(const void* data, size_t size)
{
    Digest d;
    thread_local ThreadDigestContext t;
    unsigned int len = 0;
    if (!t.ctx || EVP_DigestInit_ex(t.ctx, Sha256Algorithm(), nullptr) != 1 ||
        EVP_DigestUpdate(t.ctx, data, size) != 1 || EVP_DigestFinal_ex(t.ctx, d.data(), &len) != 1)
        SHA256(static_cast<const unsigned char*>(data), size, d.data());
    return d;
}

bool Sha256File(const std::string& path, Digest& out)
{
    uint64_t size = 0;
    int fd = OpenRegularFile(path, &size);
    if (fd < 0) return false;
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    bool ok = ctx && EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr) == 1;
    unsigned char buf[65536];
    while (ok) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        ok = EVP_DigestUpdate(ctx, buf, static_cast<size_t>(n)) == 1;
    }
    unsigned int len = 0;
    ok = ok && EVP_DigestFinal_ex(ctx, out.data(), &len) == 1 && len == out.size();
    int e = errno;
    EVP_MD_CTX_free(ctx);
    close(fd);
    errno = ok ? 0 : (e ? e : EIO);
    return ok;
}

std::string HexDigest(const Digest& d, size_t digits)
{
    static const char kHex[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < d.size() && s.size() < digits; ++i) {
        s += kHex[d[i] >> 4];
        s += kHex[d[i] & 15];
    }
    s.resize(std::min(digits, s.size()));
    return s;
}

void EncodeSealEntry(const SealEntry& e, unsigned char* out)
{
    std::memcpy(out, kMagic, 4);
    Put32(out + 4, e.flags);
    Put32(out + 8, static_cast<uint32_t>(e.testno));
    Put32(out + 12, 0);
    std::memcpy(out + 16, e.record.data(), 32);
    std::memcpy(out + 48, e.photo.data(), 32);
    std::memcpy(out + 80, e.chain.data(), 32);
    static_assert(80 + 32 == kSealEntrySize && 48 + 32 == kSealChainedBytes);
}

bool DecodeSealEntry(const unsigned char* in, SealEntry& e)
{
    if (std::memcmp(in, kMagic, 4) != 0 || Get32(in + 12) != 0) return false;
    e.flags = Get32(in + 4);
    e.testno = static_cast<int32_t>(Get32(in + 8));
    std::memcpy(e.record.data(), in + 16, 32);
    std::memcpy(e.photo.data(), in + 48, 32);
    std::memcpy(e.chain.data(), in + 80, 32);
    return true;
}

Digest ChainAfter(const Digest& prev, const unsigned char* entry)
{
    unsigned char buf[32 + kSealChainedBytes];
    std::memcpy(buf, prev.data(), 32);
    std::memcpy(buf + 32, entry, kSealChainedBytes);
    return Sha256(buf, sizeof buf);
}

Digest RecordDigest(const TestRecord& rec) { return Sha256(&rec, sizeof rec); }

std::string SealCode(const SealEntry& e) { return HexDigest(e.chain, 12); }

bool AppendSeal(const std::string& path, SealEntry& e)
{
    // The chain needs the last entry, which only the append itself reads
    // reliably (after cutting a torn tail); so it is read first, and the
    // append repeated in the rare case that the file changed in between.
    Digest prev{};
    SealEntry last;
    if (LastSealEntry(path, last)) prev = last.chain;
    unsigned char buf[kSealEntrySize];
    e.chain = Digest{};
    EncodeSealEntry(e, buf);
    e.chain = ChainAfter(prev, buf);
    EncodeSealEntry(e, buf);
    return AppendEntries(path, buf, sizeof buf, kSealEntrySize);
}

bool ReadSealLedger(const std::string& path, SealLedger& out, std::string* why)
{
    out = SealLedger{};
    uint64_t size = 0;
    int fd = OpenRegularFile(path, &size);
    if (fd < 0) {
        if (errno == ENOENT) return true;
        if (why) *why = ErrorText(errno);
        return false;
    }
    out.exists = true;
    const uint64_t count = size / kSealEntrySize;
    // Told by the size alone: a sparse file of any length costs nothing to
    // make and must not cost its length in memory to refuse.
    if (count > kMaxSealEntries) {
        close(fd);
        if (why)
            *why = "too large: " + std::to_string(count) + " entries, at most " +
                   std::to_string(kMaxSealEntries);
        errno = EFBIG;
        return false;
    }
    out.tornBytes = static_cast<size_t>(size - count * kSealEntrySize);
    out.entries.reserve(static_cast<size_t>(count));
    out.position.reserve(static_cast<size_t>(count));
    constexpr size_t kChunkEntries = 4096;
    std::vector<unsigned char> bytes(std::min<size_t>(kChunkEntries, size_t(count)) * kSealEntrySize);
    Digest prev{};
    for (size_t first = 0; first < count; first += kChunkEntries) {
        const size_t n = std::min<size_t>(kChunkEntries, size_t(count) - first);
        if (!ReadAt(fd, bytes.data(), n * kSealEntrySize, uint64_t(first) * kSealEntrySize)) {
            int e = errno;
            close(fd);
            if (why) *why = ErrorText(e);
            errno = e;
            return false;
        }
        for (size_t k = 0; k < n; ++k) {
            const size_t i = first + k;
            const unsigned char* p = bytes.data() + k * kSealEntrySize;
            SealEntry e;
            if (!DecodeSealEntry(p, e)) {
                out.malformed.push_back(i);
                // What follows is checked against the stored chain bytes.
                std::memcpy(prev.data(), p + kSealChainedBytes, 32);
                continue;
            }
            if (ChainAfter(prev, p) != e.chain) out.breaks.push_back(i);
            prev = e.chain;
            out.entries.push_back(e);
            out.position.push_back(i);
        }
    }
    close(fd);
    return true;
}

bool LastSealEntry(const std::string& path, SealEntry& out)
{
    uint64_t size = 0;
    int fd = OpenRegularFile(path, &size);
    if (fd < 0) return false;
    unsigned char buf[kSealEntrySize];
    const uint64_t count = size / kSealEntrySize;
    bool ok = count > 0 && ReadAt(fd, buf, sizeof buf, (count - 1) * kSealEntrySize) &&
              DecodeSealEntry(buf, out);
    close(fd);
    return ok;
}

bool FindSealEntry(const std::string& path, int32_t testno, SealEntry& out)
{
    uint64_t size = 0;
    int fd = OpenRegularFile(path, &size);
    if (fd < 0) return false;
    uint64_t lo = 0, hi = size / kSealEntrySize;
    bool found = false;
    unsigned char buf[kSealEntrySize];
    while (lo < hi && !found) {
        const uint64_t mid = lo + (hi - lo) / 2;
        SealEntry e;
        if (!ReadAt(fd, buf, sizeof buf, mid * kSealEntrySize) || !DecodeSealEntry(buf, e)) break;
        // A start entry carries the number before the first sealed test.
        if (e.testno < testno || (e.testno == testno && (e.flags & kSealStart)))
            lo = mid + 1;
        else if (e.testno > testno)
            hi = mid;
        else {
            out = e;
            found = true;
        }
    }
    close(fd);
    return found;
}

}  // namespace emtask
