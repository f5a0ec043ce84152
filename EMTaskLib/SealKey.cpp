#include "SealKey.h"

#include "FileImage.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <openssl/crypto.h>
#include <openssl/rand.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace emtask {

namespace {

constexpr char kBase32[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
constexpr char kKeyMagic[4] = {'S', 'K', 'E', 'Y'};
constexpr size_t kKeyFileSize = 64;
constexpr char kSheetTitle[] = "ZOLT7 seal key sheet";

// The check character of a key: the first five bits of its hash.
char CheckChar(const Digest& key) { return Base32(Sha256(key.data(), key.size()).data(), 5)[0]; }

// Bits of base32 text back into bytes; false on a character outside the alphabet.
bool FromBase32(const std::string& text, unsigned char* out, size_t bytes)
{
    std::memset(out, 0, bytes);
    size_t bit = 0;
    for (char c : text) {
        const char* at = std::strchr(kBase32, c);
        if (!c || !at) return false;
        const unsigned v = unsigned(at - kBase32);
        for (int b = 4; b >= 0; --b, ++bit)
            if (bit < bytes * 8 && (v >> b & 1))
                out[bit / 8] |= static_cast<unsigned char>(0x80 >> (bit % 8));
    }
    return bit >= bytes * 8;
}

}  // namespace

SealIdentity SealIdentityOf(const SealEntry& first)
{
    SealIdentity id;
    std::memcpy(id.data(), first.chain.data(), id.size());
    return id;
}

std::string IdentityText(const SealIdentity& id)
{
    Digest d{};
    std::memcpy(d.data(), id.data(), id.size());
    return HexDigest(d, 32);
}

Digest EvolveSealKey(const Digest& key)
{
    static const char kLabel[] = "zolt7-seal-evolve";
    return Sha256(kLabel, sizeof kLabel - 1, key.data(), key.size());
}

Digest SealMac(const Digest& key, const void* data, size_t size)
{
    // HMAC by hand over the thread's digest context: a one-shot HMAC call
    // looks the algorithm up each time, and an audit MACs a million entries.
    unsigned char pad[64];
    for (size_t i = 0; i < sizeof pad; ++i) pad[i] = (i < key.size() ? key[i] : 0) ^ 0x36;
    const Digest inner = Sha256(pad, sizeof pad, data, size);
    for (unsigned char& c : pad) c ^= 0x36 ^ 0x5c;
    return Sha256(pad, sizeof pad, inner.data(), inner.size());
}

std::string Base32(const unsigned char* data, size_t bits)
{
    std::string s;
    for (size_t bit = 0; bit < bits; bit += 5) {
        unsigned v = 0;
        for (size_t b = bit; b < bit + 5; ++b) v = v << 1 | (b < bits && (data[b / 8] >> (7 - b % 8) & 1));
        s += kBase32[v];
    }
    return s;
}

std::string NormalizeCode(const std::string& code)
{
    std::string s;
    for (char c : code)
        if (c != ' ' && c != '-' && c != '\t')
            s += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool CodeMatches(const Digest& chain, const std::string& code)
{
    const std::string c = NormalizeCode(code);
    if (c.empty()) return false;
    if (Base32(chain.data(), 256).compare(0, c.size(), c) == 0) return true;
    std::string hex = HexDigest(chain);
    for (char& h : hex) h = static_cast<char>(std::toupper(static_cast<unsigned char>(h)));
    return hex.compare(0, c.size(), c) == 0;
}

std::string SealKeyPath(const std::string& ledgerPath)
{
    const size_t slash = ledgerPath.rfind('/');
    return (slash == std::string::npos ? std::string() : ledgerPath.substr(0, slash + 1)) + "seal.key";
}

bool ReadSealKey(const std::string& path, SealKeyFile& out, std::string& why)
{
    unsigned char buf[kKeyFileSize + 1];
    const int64_t n = ReadFileImage(path, buf, sizeof buf);
    if (n < 0) {
        why = ErrorText(errno);
        return false;
    }
    if (n != int64_t(kKeyFileSize) || std::memcmp(buf, kKeyMagic, 4) != 0) {
        why = "not a seal key";
        return false;
    }
    out.position = 0;
    for (int i = 7; i >= 0; --i) out.position = out.position << 8 | buf[8 + i];
    std::memcpy(out.ledger.data(), buf + 16, 16);
    std::memcpy(out.key.data(), buf + 32, 32);
    OPENSSL_cleanse(buf, sizeof buf);
    return true;
}

bool WriteSealKey(const std::string& path, const SealKeyFile& k)
{
    unsigned char buf[kKeyFileSize] = {};
    std::memcpy(buf, kKeyMagic, 4);
    for (int i = 0; i < 8; ++i) buf[8 + i] = static_cast<unsigned char>(k.position >> (8 * i));
    std::memcpy(buf + 16, k.ledger.data(), 16);
    std::memcpy(buf + 32, k.key.data(), 32);
    const bool ok = AtomicWriteFile(path, buf, sizeof buf);
    OPENSSL_cleanse(buf, sizeof buf);
    return ok;
}

std::string KeySheetText(const SealKeySheet& s)
{
    std::string key = Base32(s.k0.data(), 256) + CheckChar(s.k0), grouped;
    for (size_t i = 0; i < key.size(); i += 4) grouped += (i ? "-" : "") + key.substr(i, 4);
    return std::string(kSheetTitle) +
           "\n\nThis key proves that the seal ledger of the program folder below was not\n"
           "rewritten. Keep it away from this computer (printed and locked away, or on a\n"
           "medium you hold); whoever has it can forge the ledger. To check the folder:\n"
           "  VelmoraView --audit --key-sheet <this file> --home <folder>\n\n"
           "folder: " +
           s.folder + "\nledger: " + IdentityText(s.ledger) + "\nstart: " + std::to_string(s.startTestNo) +
           "\nkey: " + grouped + "\n";
}

bool ParseKeySheet(const std::string& text, SealKeySheet& out, std::string& why)
{
    std::istringstream in(text);
    std::string line, ledger, start, key;
    bool titled = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        titled |= line == kSheetTitle;
        auto value = [&](const char* name, std::string& v) {
            const size_t n = std::strlen(name);
            if (line.compare(0, n, name) == 0) v = line.substr(n);
        };
        value("folder: ", out.folder);
        value("ledger: ", ledger);
        value("start: ", start);
        value("key: ", key);
    }
    key = NormalizeCode(key);
    why.clear();
    if (!titled || ledger.empty() || key.empty())
        why = "not a seal key sheet";
    else if (!FromHex(ledger, out.ledger.data(), out.ledger.size()))
        why = "the ledger identity is not 32 hexadecimal digits";
    else if (key.size() != 53 || !FromBase32(key.substr(0, 52), out.k0.data(), out.k0.size()))
        why = "the key is not 53 base32 characters";
    else if (CheckChar(out.k0) != key[52])
        why = "the key's check character does not match: a character is mistyped";
    char* end = nullptr;
    const long s = std::strtol(start.c_str(), &end, 10);
    if (why.empty() && (start.empty() || *end || s < 0 || s > kMaxRecords))
        why = "the start test number is not a number";
    out.startTestNo = static_cast<int32_t>(s);
    return why.empty();
}

bool FromHex(const std::string& text, unsigned char* out, size_t bytes)
{
    if (text.size() != bytes * 2) return false;
    auto nibble = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    for (size_t i = 0; i < bytes; ++i) {
        const int hi = nibble(text[2 * i]), lo = nibble(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        out[i] = static_cast<unsigned char>(hi << 4 | lo);
    }
    return true;
}

bool ReadSealText(const std::string& path, std::string& text, std::string& why)
{
    text.assign(4096, '\0');
    const int64_t n = ReadFileImage(path, text.data(), text.size());
    if (n < 0) {
        why = path + ": " + ErrorText(errno);
        return false;
    }
    text.resize(size_t(n));
    return true;
}

bool ReadKeySheet(const std::string& path, SealKeySheet& out, std::string& why)
{
    std::string text;
    if (!ReadSealText(path, text, why)) return false;
    if (!ParseKeySheet(text, out, why)) {
        why = path + ": " + why;
        return false;
    }
    return true;
}

bool BeginKeyedLedger(const std::string& ledgerPath, int32_t startTestNo, const std::string& sheetPath,
                      const std::string& folder, SealKeySheet& sheet, std::string& aside, std::string& why)
{
    struct stat st;
    if (lstat(sheetPath.c_str(), &st) == 0) {
        why = sheetPath + " exists already: a key sheet is never written over";
        return false;
    }
    SealEntry start;
    start.keyed = true;
    start.flags = kSealStart;
    start.testno = startTestNo;
    if (RAND_bytes(start.record.data(), 16) != 1 || RAND_bytes(sheet.k0.data(), 32) != 1) {
        why = "no random numbers to draw a key from";
        return false;
    }
    unsigned char entry[kKeyedEntrySize];
    EncodeSealEntry(start, entry);
    start.chain = ChainAfter(Digest{}, entry);
    EncodeSealEntry(start, entry);
    start.mac = SealMac(sheet.k0, entry, kKeyedMacBytes);
    EncodeSealEntry(start, entry);
    sheet.ledger = SealIdentityOf(start);
    sheet.startTestNo = startTestNo;
    sheet.folder = folder;

    const std::string text = KeySheetText(sheet);
    if (!AtomicWriteFile(sheetPath, text.data(), text.size())) {
        why = LastFileError();
        return false;
    }
    // The old key comes back if the new ledger cannot be put in place.
    const std::string keyPath = SealKeyPath(ledgerPath);
    std::string oldKey(kKeyFileSize + 1, '\0');
    const int64_t oldSize = ReadFileImage(keyPath, oldKey.data(), oldKey.size());
    auto undo = [&](const std::string& reason) {
        why = reason;
        unlink(sheetPath.c_str());
        if (oldSize >= 0)
            AtomicWriteFile(keyPath, oldKey.data(), size_t(oldSize));
        else
            unlink(keyPath.c_str());
        OPENSSL_cleanse(oldKey.data(), oldKey.size());
        return false;
    };
    if (!WriteSealKey(keyPath, {sheet.ledger, 1, EvolveSealKey(sheet.k0)})) return undo(LastFileError());
    aside.clear();
    if (lstat(ledgerPath.c_str(), &st) == 0 && !SetSealLedgerAside(ledgerPath, aside))
        return undo("the seal ledger " + ledgerPath + " could not be set aside: " + ErrorText(errno));
    if (!AtomicWriteFile(ledgerPath, entry, sizeof entry)) {
        const std::string e = LastFileError();
        if (!aside.empty()) rename(aside.c_str(), ledgerPath.c_str());
        return undo(e);
    }
    OPENSSL_cleanse(oldKey.data(), oldKey.size());
    return true;
}

}  // namespace emtask
