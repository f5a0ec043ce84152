// What the sync and the central audit read of a program folder's own files.
#pragma once

#include "FileImage.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace central {

struct LedgerInfo {
    bool exists = false;
    bool keyed = false;
    uint64_t count = 0;       // whole entries
    int32_t startTestNo = 0;  // records up to it are not sealed
    std::string identity;     // 32 hex digits; zeros without a ledger
    std::string identityBytes;
};

// The log's record count from its header: 0 for a missing or uninitialised
// log, false (with `why`) when it cannot be read.
bool ReadLogCount(const std::string& path, int32_t& count, std::string& why);

// The ledger's identity and size; a missing ledger is no error.
bool ReadLedgerInfo(const std::string& path, LedgerInfo& out, std::string& why);

// Items of one size laid end to end in a file (ledger entries, log slots),
// read a block at a time rather than one call each.
class FileWindow {
public:
    FileWindow(std::string path, uint64_t base, size_t itemSize, uint64_t count)
        : m_Path(std::move(path)),
          m_Base(base),
          m_Size(itemSize),
          m_Count(count)
    { }
    // Item `pos` (below the count), or null with errno when it cannot be read.
    const unsigned char* At(uint64_t pos)
    {
        if (pos < m_First || pos >= m_First + m_Held) {
            const uint64_t n = std::min<uint64_t>(kBlock, m_Count - pos);
            m_Buf.resize(size_t(n) * m_Size);
            m_First = pos;
            m_Held = 0;
            if (emtask::ReadFileImageAt(m_Path, m_Base + pos * m_Size, m_Buf.data(), m_Buf.size()) !=
                int64_t(m_Buf.size()))
                return nullptr;
            m_Held = n;
        }
        return m_Buf.data() + size_t(pos - m_First) * m_Size;
    }

private:
    static constexpr uint64_t kBlock = 4096;
    std::string m_Path;
    uint64_t m_Base;
    size_t m_Size;
    uint64_t m_Count, m_First = 0, m_Held = 0;
    std::vector<unsigned char> m_Buf;
};

}  // namespace central
