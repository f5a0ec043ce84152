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
// The SHA-256 of a file's bytes. False (errno set) when it cannot be read.
bool Sha256File(const std::string& path, Digest& out);
// Hexadecimal digits, lower case.
std::string HexDigest(const Digest& d, size_t digits = 64);

constexpr size_t kSealEntrySize = 112;
constexpr size_t kSealChainedBytes = 80;  // bytes of an entry under its chain value

enum SealFlag : uint32_t {
    kSealPhoto = 1,  // the photograph's hash is set
    kSealStart = 2,  // the first entry of a ledger begun beside an existing log
    kSealLate = 4,   // sealed at start-up: the store that wrote the record was cut short
};

struct SealEntry {
    uint32_t flags = 0;
    int32_t testno = 0;
    Digest record{};
    Digest photo{};
    Digest chain{};
};

void EncodeSealEntry(const SealEntry& e, unsigned char* out);  // kSealEntrySize bytes
// False when the bytes are not an entry (magic or the zero field wrong).
bool DecodeSealEntry(const unsigned char* in, SealEntry& e);
// The chain value an entry must carry after `prev` (its bytes as encoded).
Digest ChainAfter(const Digest& prev, const unsigned char* entry);

Digest RecordDigest(const TestRecord& rec);
// The short code printed on a report: the first 12 hex digits of the chain.
std::string SealCode(const SealEntry& e);

// Chains `e` to the last whole entry of `path` (e.chain is set) and appends
// it, synced; creates the ledger when missing. False (LastFileError says why)
// when it cannot; the ledger then holds its old entries.
bool AppendSeal(const std::string& path, SealEntry& e);

// A whole ledger as read.
struct SealLedger {
    bool exists = false;
    std::vector<SealEntry> entries;   // whole entries that decode, in file order
    size_t tornBytes = 0;             // bytes after the last whole entry
    // Positions in the file (entry numbers from 0) of entries that are not
    // entries at all, and of entries whose chain value does not follow from
    // the entry before them (or from zero for the first): where it breaks.
    std::vector<size_t> malformed;
    std::vector<size_t> breaks;
    std::vector<size_t> position;     // file entry number of each of `entries`
};

// Reads `path` and checks its chain. A missing file gives exists = false and
// true; false (errno, `why`) when it exists but cannot be read, or holds more
// than a start entry and one per slot of a log (EFBIG, refused by its size).
bool ReadSealLedger(const std::string& path, SealLedger& out, std::string* why = nullptr);

// The last whole entry of `path`. False when there is none or it cannot be read.
bool LastSealEntry(const std::string& path, SealEntry& out);

// The entry sealing test `testno` (not a start entry), found by bisection
// without reading the whole file. False when there is none.
bool FindSealEntry(const std::string& path, int32_t testno, SealEntry& out);

}  // namespace emtask
