#include "SealCheckpoint.h"

#include "FileImage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <openssl/crypto.h>
#include <sstream>

namespace emtask {

namespace {

constexpr char kTitle[] = "ZOLT7 seal checkpoint";

// The lines a checkpoint's MAC covers.
std::string Body(const SealCheckpoint& c)
{
    return std::string(kTitle) + "\nledger: " + IdentityText(c.ledger) +
           "\nentries: " + std::to_string(c.entries) + "\ntest: " + std::to_string(c.testno) +
           "\nhead: " + HexDigest(c.head) + "\ntime: " + c.time + "\n";
}

}  // namespace

std::string CheckpointText(const SealCheckpoint& c)
{
    return Body(c) + "mac: " + (c.hasMac ? HexDigest(c.mac) : std::string("none")) + "\n";
}

bool ParseCheckpoint(const std::string& text, SealCheckpoint& out, std::string& why)
{
    std::istringstream in(text);
    std::string line, ledger, entries, test, head, mac;
    bool titled = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        titled |= line == kTitle;
        for (auto [name, v] : {std::pair<const char*, std::string*>{"ledger: ", &ledger},
                               {"entries: ", &entries},
                               {"test: ", &test},
                               {"head: ", &head},
                               {"time: ", &out.time},
                               {"mac: ", &mac}})
            if (line.compare(0, std::strlen(name), name) == 0) *v = line.substr(std::strlen(name));
    }
    char* end = nullptr;
    const unsigned long long n = std::strtoull(entries.c_str(), &end, 10);
    out.entries = n;
    out.testno = std::atoi(test.c_str());
    out.hasMac = mac != "none";
    if (!titled || !FromHex(ledger, out.ledger.data(), out.ledger.size()) || entries.empty() || *end ||
        n == 0 || !FromHex(head, out.head.data(), out.head.size()) ||
        (out.hasMac && !FromHex(mac, out.mac.data(), 32))) {
        why = "not a seal checkpoint";
        return false;
    }
    return true;
}

bool ReadCheckpoint(const std::string& path, SealCheckpoint& out, std::string& why)
{
    std::string text;
    if (!ReadSealText(path, text, why)) return false;
    if (!ParseCheckpoint(text, out, why)) {
        why = path + ": " + why;
        return false;
    }
    return true;
}

bool ExportCheckpoint(const std::string& ledgerPath, const std::string& file, SealCheckpoint& out,
                      std::string& why)
{
    SealEntry first, last;
    uint64_t count = 0;
    if (!SealEntryAt(ledgerPath, 0, first, &count) || !SealEntryAt(ledgerPath, count - 1, last)) {
        why = "the seal ledger " + ledgerPath + " has no entry to vouch for";
        return false;
    }
    out = SealCheckpoint{};
    out.ledger = SealIdentityOf(first);
    out.entries = count;
    out.testno = last.testno;
    out.head = last.chain;
    char stamp[40];
    const time_t now = time(nullptr);
    struct tm lt;
    localtime_r(&now, &lt);
    strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S %z", &lt);
    out.time = stamp;
    if (first.keyed) {
        SealKeyFile key;
        const std::string keyPath = SealKeyPath(ledgerPath);
        if (!ReadSealKey(keyPath, key, why) || key.ledger != out.ledger || key.position > count ||
            count - key.position > 1) {
            why = "the seal key " + keyPath + " " +
                  (why.empty() ? "does not fit the ledger" : "cannot be read: " + why);
            return false;
        }
        for (; key.position < count; ++key.position) key.key = EvolveSealKey(key.key);
        const std::string body = Body(out);
        out.mac = SealMac(key.key, body.data(), body.size());
        out.hasMac = true;
        OPENSSL_cleanse(key.key.data(), key.key.size());
    }
    const std::string text = CheckpointText(out);
    if (!AtomicWriteFile(file, text.data(), text.size())) {
        why = LastFileError();
        return false;
    }
    return true;
}

void AuditSealKeys(const SealLedger& ledger, const AuditPaths& paths, const AuditOptions& options,
                   std::vector<AuditFinding>& out)
{
    auto add = [&](AuditKind kind, int32_t testno, int64_t entry, std::string detail) {
        AuditFinding f;
        f.kind = kind;
        f.testno = testno;
        f.entry = entry;
        f.detail = std::move(detail);
        out.push_back(std::move(f));
    };
    const SealKeySheet* sheet = options.keySheet;
    const SealCheckpoint* cp = options.checkpoint;
    const bool hasFirst = !ledger.position.empty() && ledger.position[0] == 0;
    const SealIdentity id = hasFirst ? SealIdentityOf(ledger.entries[0]) : SealIdentity{};
    const uint64_t total = ledger.entries.size() + ledger.malformed.size();

    // The key of position p, from K0, for every entry and one past the last.
    Digest cpKey{};
    bool macs = false;
    if (!ledger.exists) {
        if (sheet) add(AuditKind::MacWrong, 0, -1, "a key sheet was given, but there is no seal ledger");
    } else if (!ledger.keyed) {
        if (sheet)
            add(AuditKind::MacWrong, 0, -1,
                "the key sheet is for a ledger with MACs; this ledger's entries carry none");
        else
            add(AuditKind::NoMacCheck, 0, -1,
                "entries carry no MAC: the ledger was begun without a key sheet");
    } else if (!sheet) {
        add(AuditKind::NoMacCheck, 0, -1, "MACs not checked: no key sheet");
    } else if (!hasFirst || id != sheet->ledger) {
        add(AuditKind::MacWrong, 0, 0,
            "the key sheet is of ledger " + IdentityText(sheet->ledger) + ", this ledger is " +
                (hasFirst ? IdentityText(id) : std::string("unreadable")));
    } else {
        macs = true;
        Digest k = sheet->k0, previous{};
        unsigned char bytes[kKeyedEntrySize];
        size_t i = 0;
        for (uint64_t p = 0; p <= total; ++p) {
            if (cp && p == cp->entries) cpKey = k;
            if (i < ledger.entries.size() && ledger.position[i] == p) {
                const SealEntry& e = ledger.entries[i++];
                EncodeSealEntry(e, bytes);
                if (SealMac(k, bytes, kKeyedMacBytes) != e.mac)
                    add(AuditKind::MacWrong, (e.flags & kSealStart) ? 0 : e.testno, int64_t(p),
                        "its MAC does not follow from the key sheet: the entry was written or changed "
                        "without the key");
            }
            if (p < total) {
                previous = k;
                k = EvolveSealKey(k);
            }
        }
        // seal.key must hold the key of the next entry (or, after an append
        // cut short before its renewal, of the last one).
        SealKeyFile key;
        std::string why;
        const std::string keyPath = SealKeyPath(paths.ledger);
        if (!ReadSealKey(keyPath, key, why))
            add(AuditKind::MacWrong, 0, -1, keyPath + ": " + why + "; new tests cannot be sealed");
        else if (key.position > total)
            add(AuditKind::MacWrong, 0, int64_t(total),
                "the seal key is for entry " + std::to_string(key.position) + ", the ledger holds " +
                    std::to_string(total) + ": entries were cut from its end");
        else if (key.ledger != id ||
                 (key.position == total ? key.key != k : key.position + 1 != total || key.key != previous))
            add(AuditKind::MacWrong, 0, -1,
                "the seal key " + keyPath + " does not follow from the key sheet");
        OPENSSL_cleanse(k.data(), k.size());
        OPENSSL_cleanse(previous.data(), previous.size());
    }

    // The instrument counts every test it runs: between two entries its count
    // grows by the difference of their test numbers, unless tests were run
    // that the program did not store (or records were removed since).
    const SealEntry* prev = nullptr;
    for (size_t i = 0; i < ledger.entries.size(); ++i) {
        const SealEntry& e = ledger.entries[i];
        if (!(e.flags & kSealCount) || (e.flags & kSealStart)) continue;
        if (prev && e.testno > prev->testno &&
            e.count != (prev->count + uint32_t(e.testno - prev->testno)) % 10000)
            add(AuditKind::CountGap, e.testno, int64_t(ledger.position[i]),
                "the instrument's count went from " + std::to_string(prev->count) + " at test " +
                    std::to_string(prev->testno) + " to " + std::to_string(e.count));
        prev = &e;
    }

    if (cp) {
        const std::string when = " (checkpoint of " + cp->time + ")";
        if (!hasFirst || id != cp->ledger) {
            add(AuditKind::CheckpointBroken, 0, -1,
                "the ledger is not the one of the checkpoint: it was replaced or begun again" + when);
        } else if (total < cp->entries) {
            add(AuditKind::CheckpointBroken, cp->testno, int64_t(total),
                "the ledger holds " + std::to_string(total) + " entries, the checkpoint " +
                    std::to_string(cp->entries) + ": entries were removed or the folder rolled back" + when);
        } else {
            const auto it = std::lower_bound(ledger.position.begin(), ledger.position.end(), cp->entries - 1);
            const bool same = it != ledger.position.end() && *it == cp->entries - 1 &&
                              ledger.entries[size_t(it - ledger.position.begin())].chain == cp->head;
            if (!same)
                add(AuditKind::CheckpointBroken, cp->testno, int64_t(cp->entries - 1),
                    "the entry differs from the checkpoint's head: the ledger was rewritten" + when);
            if (macs && cp->hasMac) {
                const std::string body = Body(*cp);
                if (SealMac(cpKey, body.data(), body.size()) != cp->mac)
                    add(AuditKind::CheckpointBroken, 0, -1,
                        "the checkpoint's MAC does not follow from the key sheet" + when);
            }
        }
        OPENSSL_cleanse(cpKey.data(), cpKey.size());
    }
}

}  // namespace emtask
