#include "SealLedger.h"

#include "FileImage.h"
#include "SealKey.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <sys/stat.h>
#include <ctime>
#include <unistd.h>

namespace emtask {

namespace {

constexpr char kMagic[4] = {'S', 'E', 'A', 'L'};
constexpr char kKeyedMagic[4] = {'S', 'E', 'A', '2'};
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

// The entry size of an open ledger of `size` bytes: its first entry's magic
// tells the form.
size_t UnitOf(int fd, uint64_t size)
{
    char magic[4];
    return size >= sizeof magic && ReadAt(fd, magic, sizeof magic, 0) &&
                   std::memcmp(magic, kKeyedMagic, sizeof magic) == 0
               ? kKeyedEntrySize
               : kSealEntrySize;
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

Digest Sha256(const void* a, size_t na, const void* b, size_t nb)
{
    Digest d;
    thread_local ThreadDigestContext t;
    unsigned int len = 0;
    if (t.ctx && EVP_DigestInit_ex(t.ctx, Sha256Algorithm(), nullptr) == 1 &&
        EVP_DigestUpdate(t.ctx, a, na) == 1 && EVP_DigestUpdate(t.ctx, b, nb) == 1 &&
        EVP_DigestFinal_ex(t.ctx, d.data(), &len) == 1)
        return d;
    std::vector<unsigned char> both(static_cast<const unsigned char*>(a),
                                    static_cast<const unsigned char*>(a) + na);
    both.insert(both.end(), static_cast<const unsigned char*>(b), static_cast<const unsigned char*>(b) + nb);
    return Sha256(both.data(), both.size());
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
    std::memcpy(out, e.keyed ? kKeyedMagic : kMagic, 4);
    Put32(out + 4, e.flags);
    Put32(out + 8, static_cast<uint32_t>(e.testno));
    Put32(out + 12, e.keyed ? e.count : 0);
    std::memcpy(out + 16, e.record.data(), 32);
    std::memcpy(out + 48, e.photo.data(), 32);
    std::memcpy(out + 80, e.chain.data(), 32);
    if (e.keyed) std::memcpy(out + 112, e.mac.data(), 32);
    static_assert(80 + 32 == kSealEntrySize && 48 + 32 == kSealChainedBytes);
    static_assert(kKeyedMacBytes + 32 == kKeyedEntrySize && kKeyedMacBytes == kSealEntrySize);
}

bool DecodeSealEntry(const unsigned char* in, SealEntry& e, bool keyed)
{
    if (std::memcmp(in, keyed ? kKeyedMagic : kMagic, 4) != 0) return false;
    e.keyed = keyed;
    e.flags = Get32(in + 4);
    e.count = Get32(in + 12);
    if (e.count != 0 && (!keyed || !(e.flags & kSealCount))) return false;
    e.testno = static_cast<int32_t>(Get32(in + 8));
    std::memcpy(e.record.data(), in + 16, 32);
    std::memcpy(e.photo.data(), in + 48, 32);
    std::memcpy(e.chain.data(), in + 80, 32);
    if (keyed) std::memcpy(e.mac.data(), in + 112, 32);
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

std::string SealCode(const SealEntry& e) { return Base32(e.chain.data(), 100); }

namespace {
bool Refuse(const std::string& why)
{
    SetLastFileError(EINVAL, why);
    return false;
}
}  // namespace

bool AppendSeal(const std::string& path, SealEntry& e)
{
    // The chain needs the last entry, read before the append cuts a torn tail.
    Digest prev{};
    SealEntry first, last;
    uint64_t count = 0;
    const bool any = SealEntryAt(path, 0, first, &count);
    if (count > 0 && SealEntryAt(path, count - 1, last)) prev = last.chain;
    e.keyed = any && first.keyed;
    if (!e.keyed) {
        e.flags &= ~uint32_t(kSealCount);
        e.count = 0;
    }
    unsigned char buf[kKeyedEntrySize];
    e.chain = Digest{};
    e.mac = Digest{};
    EncodeSealEntry(e, buf);
    e.chain = ChainAfter(prev, buf);
    EncodeSealEntry(e, buf);
    const size_t unit = SealEntrySize(e.keyed);
    if (!e.keyed) return AppendEntries(path, buf, unit, unit);

    const std::string keyPath = SealKeyPath(path);
    SealKeyFile key;
    std::string why;
    if (!ReadSealKey(keyPath, key, why)) return Refuse("the seal key " + keyPath + " cannot be read: " + why);
    if (key.ledger != SealIdentityOf(first))
        return Refuse("the seal key " + keyPath + " belongs to another ledger");
    // One behind: the last append stopped before the key was renewed.
    if (key.position > count || count - key.position > 1)
        return Refuse("the seal key " + keyPath + " is for entry " + std::to_string(key.position) +
                      ", the ledger holds " + std::to_string(count));
    for (; key.position < count; ++key.position) key.key = EvolveSealKey(key.key);
    e.mac = SealMac(key.key, buf, kKeyedMacBytes);
    EncodeSealEntry(e, buf);
    if (!AppendEntries(path, buf, unit, unit)) return false;
    key.key = EvolveSealKey(key.key);
    ++key.position;
    if (!WriteSealKey(keyPath, key))
        return Refuse("the entry was written, but the seal key could not be renewed (" + LastFileError() +
                      "): it still holds the key of that entry");
    return true;
}

bool SetSealLedgerAside(const std::string& path, std::string& aside)
{
    char stamp[32];
    time_t now = time(nullptr);
    struct tm lt;
    localtime_r(&now, &lt);
    strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &lt);
    aside = path + "." + stamp;
    return rename(path.c_str(), aside.c_str()) == 0;
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
    const size_t unit = UnitOf(fd, size);
    out.keyed = unit == kKeyedEntrySize;
    const uint64_t count = size / unit;
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
    out.tornBytes = static_cast<size_t>(size - count * unit);
    out.entries.reserve(static_cast<size_t>(count));
    out.position.reserve(static_cast<size_t>(count));
    constexpr size_t kChunkEntries = 4096;
    std::vector<unsigned char> bytes(std::min<size_t>(kChunkEntries, size_t(count)) * unit);
    Digest prev{};
    for (size_t first = 0; first < count; first += kChunkEntries) {
        const size_t n = std::min<size_t>(kChunkEntries, size_t(count) - first);
        if (!ReadAt(fd, bytes.data(), n * unit, uint64_t(first) * unit)) {
            int e = errno;
            close(fd);
            if (why) *why = ErrorText(e);
            errno = e;
            return false;
        }
        for (size_t k = 0; k < n; ++k) {
            const size_t i = first + k;
            const unsigned char* p = bytes.data() + k * unit;
            SealEntry e;
            if (!DecodeSealEntry(p, e, out.keyed)) {
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

bool SealEntryAt(const std::string& path, uint64_t position, SealEntry& out, uint64_t* count)
{
    if (count) *count = 0;
    uint64_t size = 0;
    int fd = OpenRegularFile(path, &size);
    if (fd < 0) return false;
    unsigned char buf[kKeyedEntrySize];
    const size_t unit = UnitOf(fd, size);
    if (count) *count = size / unit;
    bool ok = position < size / unit && ReadAt(fd, buf, unit, position * unit) &&
              DecodeSealEntry(buf, out, unit == kKeyedEntrySize);
    close(fd);
    return ok;
}

bool LastSealEntry(const std::string& path, SealEntry& out)
{
    uint64_t count = 0;
    SealEntry first;
    SealEntryAt(path, 0, first, &count);
    return count > 0 && SealEntryAt(path, count - 1, out);
}

bool FindSealEntry(const std::string& path, int32_t testno, SealEntry& out)
{
    uint64_t size = 0;
    int fd = OpenRegularFile(path, &size);
    if (fd < 0) return false;
    const size_t unit = UnitOf(fd, size);
    uint64_t lo = 0, hi = size / unit;
    bool found = false;
    unsigned char buf[kKeyedEntrySize];
    while (lo < hi && !found) {
        const uint64_t mid = lo + (hi - lo) / 2;
        SealEntry e;
        if (!ReadAt(fd, buf, unit, mid * unit) || !DecodeSealEntry(buf, e, unit == kKeyedEntrySize)) break;
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
