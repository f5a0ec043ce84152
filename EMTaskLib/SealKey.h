// The keys of a ledger of the second form, and the codes people check by eye.
//
// When such a ledger begins, a random key K0 is drawn and handed out once, on
// a key sheet; the program never stores it. data/seal.key holds only the key
// of the next entry, and each append replaces it by its successor, so that
// whoever takes the machine later can append but cannot MAC an earlier entry
// again. Whoever holds the sheet can check every entry from K0.
//
// data/seal.key, 64 bytes:
//    0   4  magic "SKEY"
//    4   4  zero
//    8   8  position (uint64, little-endian) of the entry this key MACs next
//   16  16  identity of the ledger it belongs to
//   32  32  the key
#pragma once

#include "SealLedger.h"

#include <array>
#include <cstdint>
#include <string>

namespace emtask {

// The first 16 bytes of a ledger's first entry's chain: a keyed start entry
// carries random bytes, so no two keyed ledgers share one.
using SealIdentity = std::array<unsigned char, 16>;
SealIdentity SealIdentityOf(const SealEntry& first);
std::string IdentityText(const SealIdentity& id);  // 32 hex digits

// K(p+1) from K(p).
Digest EvolveSealKey(const Digest& key);
// HMAC-SHA256.
Digest SealMac(const Digest& key, const void* data, size_t size);

// `bytes` bytes from exactly twice as many hexadecimal digits (either case).
bool FromHex(const std::string& text, unsigned char* out, size_t bytes);
// A small text file of the seal (a key sheet, a checkpoint) whole, up to
// 4 KiB; false with why (naming the file) when it cannot be read.
bool ReadSealText(const std::string& path, std::string& text, std::string& why);

// RFC 4648 base32 of the first `bits` bits, without padding.
std::string Base32(const unsigned char* data, size_t bits);
// A printed code as typed: upper case, spaces and dashes dropped.
std::string NormalizeCode(const std::string& code);
// True when `code` (as typed) begins the chain value, in base32 or, as
// reports printed it before, in hexadecimal.
bool CodeMatches(const Digest& chain, const std::string& code);

struct SealKeyFile {
    SealIdentity ledger{};
    uint64_t position = 0;
    Digest key{};
};
std::string SealKeyPath(const std::string& ledgerPath);  // seal.key beside the ledger
// False (why) when it is missing, unreadable or not a key file.
bool ReadSealKey(const std::string& path, SealKeyFile& out, std::string& why);
// Through the crash-safe writer; false (LastFileError) when it cannot.
bool WriteSealKey(const std::string& path, const SealKeyFile& k);

struct SealKeySheet {
    SealIdentity ledger{};
    int32_t startTestNo = 0;
    Digest k0{};
    std::string folder;  // informative only
};
// The sheet as text: K0 in base32, in groups of four, with a check character.
std::string KeySheetText(const SealKeySheet& s);
// False (why) when the text is not a sheet or the key's check character is wrong.
bool ParseKeySheet(const std::string& text, SealKeySheet& out, std::string& why);
bool ReadKeySheet(const std::string& path, SealKeySheet& out, std::string& why);

// Begins a keyed ledger at `ledgerPath` whose records up to `startTestNo` are
// not sealed: draws K0, writes the sheet to `sheetPath` (refused when that
// exists), the key of entry 1 to seal.key, sets an existing ledger aside
// (`aside` receives its new name) and writes the start entry. False with
// `why` when any step fails; the program folder is then as it was, except
// that a sheet already written stays (and says a ledger it never began).
bool BeginKeyedLedger(const std::string& ledgerPath, int32_t startTestNo, const std::string& sheetPath,
                      const std::string& folder, SealKeySheet& sheet, std::string& aside, std::string& why);

}  // namespace emtask
