// The seal ledger: data/seal.log beside the test log. One entry per stored
// test, appended in the same save as the record, each chained to the one
// before by SHA-256, so that a changed record, a changed or swapped
// photograph, and a removed or changed entry can all be told afterwards.
//
// The file is a run of 112-byte entries (integers little-endian):
//    0   4  magic "SEAL"
//    4   4  flags (SealFlag)
//    8   4  test number (int32). In a start entry: the last test number the
//           log held when sealing began; records up to it are not sealed.
//   12   4  zero
//   16  32  SHA-256 of the 276-byte record as stored (zero in a start entry)
//   48  32  SHA-256 of the photograph file (zero when the test has none)
//   80  32  chain: SHA-256 of the previous entry's chain (32 zero bytes for
//           the first entry) followed by bytes 0..79 of this entry
//
// A ledger begun with a key sheet is of the second form: all of its entries
// are 144 bytes, told by their magic:
//    0   4  magic "SEA2"
//    4   4  flags (SealFlag)
//    8   4  test number (int32), as above
//   12   4  the instrument's own test count from its unit frame (uint32;
//           zero unless kSealCount is set)
//   16  32  SHA-256 of the record as above. In a start entry: 16 random bytes
//           that make the ledger's identity unique, then 16 zero bytes
//   48  32  SHA-256 of the photograph file, as above
//   80  32  chain, as above: over bytes 0..79 of this entry
//  112  32  HMAC-SHA256 of bytes 0..111 under the key K(p) of the entry's
//           position p (from 0): K(0) is on the key sheet only, and
//           K(p+1) = SHA-256("zolt7-seal-evolve" K(p)); data/seal.key holds
//           the key of the next entry alone (see SealKey.h)
// A ledger keeps the form it was begun in.
// Entries only ever follow each other in order of test number. An append cut
// short leaves at most one torn entry at the end, which readers ignore and the
// next append removes.
#pragma once

#include "EMTaskStruct.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace emtask {

using Digest = std::array<unsigned char, 32>;

Digest Sha256(const void* data, size_t size);
// The SHA-256 of two stretches laid end to end.
Digest Sha256(const void* a, size_t na, const void* b, size_t nb);
// The SHA-256 of a file's bytes. False (errno set) when it cannot be read.
bool Sha256File(const std::string& path, Digest& out);
// Hexadecimal digits, lower case.
std::string HexDigest(const Digest& d, size_t digits = 64);

constexpr size_t kSealEntrySize = 112;
constexpr size_t kSealChainedBytes = 80;  // bytes of an entry under its chain value
constexpr size_t kKeyedEntrySize = 144;   // the second form
constexpr size_t kKeyedMacBytes = 112;    // bytes of an entry under its MAC
constexpr size_t SealEntrySize(bool keyed) { return keyed ? kKeyedEntrySize : kSealEntrySize; }

enum SealFlag : uint32_t {
    kSealPhoto = 1,  // the photograph's hash is set
    kSealStart = 2,  // the first entry of a ledger begun beside an existing log
    kSealLate = 4,   // sealed at start-up: the store that wrote the record was cut short
    kSealCount = 8,  // the instrument's test count is set (second form only)
};

struct SealEntry {
    bool keyed = false;  // of the second form
    uint32_t flags = 0;
    int32_t testno = 0;
    uint32_t count = 0;  // the instrument's test count (kSealCount)
    Digest record{};
    Digest photo{};
    Digest chain{};
    Digest mac{};
};

void EncodeSealEntry(const SealEntry& e, unsigned char* out);  // SealEntrySize(e.keyed) bytes
// False when the bytes are not an entry of the form asked for (magic or a
// zero field wrong).
bool DecodeSealEntry(const unsigned char* in, SealEntry& e, bool keyed = false);
// The chain value an entry must carry after `prev` (its bytes as encoded).
Digest ChainAfter(const Digest& prev, const unsigned char* entry);

Digest RecordDigest(const TestRecord& rec);
// The code printed on a report: 20 base32 characters, the chain's first 100 bits.
std::string SealCode(const SealEntry& e);

// Chains `e` to the last whole entry of `path` (e.chain is set) and appends
// it, synced; creates the ledger (of the first form) when missing. In a
// ledger of the second form the entry is MACed under the key of
// data/seal.key, which is then replaced by the next one. False (LastFileError
// says why) when it cannot; the ledger then holds its old entries.
bool AppendSeal(const std::string& path, SealEntry& e);

// Renames a ledger to "<path>.<local time>" so that a new one can begin;
// `aside` receives the new name. False (errno) when it cannot.
bool SetSealLedgerAside(const std::string& path, std::string& aside);

// A whole ledger as read.
struct SealLedger {
    bool exists = false;
    bool keyed = false;              // of the second form
    std::vector<SealEntry> entries;  // whole entries that decode, in file order
    size_t tornBytes = 0;            // bytes after the last whole entry
    // Positions in the file (entry numbers from 0) of entries that are not
    // entries at all, and of entries whose chain value does not follow from
    // the entry before them (or from zero for the first): where it breaks.
    std::vector<size_t> malformed;
    std::vector<size_t> breaks;
    std::vector<size_t> position;  // file entry number of each of `entries`
};

// Reads `path` and checks its chain. A missing file gives exists = false and
// true; false (errno, `why`) when it exists but cannot be read, or holds more
// than a start entry and one per slot of a log (EFBIG, refused by its size).
bool ReadSealLedger(const std::string& path, SealLedger& out, std::string* why = nullptr);

// The last whole entry of `path`. False when there is none or it cannot be read.
bool LastSealEntry(const std::string& path, SealEntry& out);
// The entry at `position` (from 0); `count` receives the number of whole
// entries. False when there is none there or it cannot be read.
bool SealEntryAt(const std::string& path, uint64_t position, SealEntry& out, uint64_t* count = nullptr);

// The entry sealing test `testno` (not a start entry), found by bisection
// without reading the whole file. False when there is none.
bool FindSealEntry(const std::string& path, int32_t testno, SealEntry& out);

}  // namespace emtask
