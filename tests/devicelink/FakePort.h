// The port with its device replaced: reads take what is pending, writes are kept.
#pragma once

#include "devicelink/DLSerial.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

class FakePort : public CDLSerial {
public:
    std::string pending;
    std::vector<std::string> written;

    void FakeOpen() { m_Open = 1; }
    int ReadPort(void* buffer, int maximum) override
    {
        int n = std::min<int>(maximum, static_cast<int>(pending.size()));
        std::memcpy(buffer, pending.data(), static_cast<size_t>(n));
        pending.erase(0, static_cast<size_t>(n));
        return n;
    }
    int WritePort(const void* bytes, int length) override
    {
        written.emplace_back(static_cast<const char*>(bytes), static_cast<size_t>(length));
        return length;
    }
};
