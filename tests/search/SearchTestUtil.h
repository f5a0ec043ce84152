// Records for the search tests.
#pragma once

#include "TestFolder.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace searchtest {

inline emtask::TestRecord Record(int no, const char* date /* yyyymmddhhmiss */, const char* id,
                                 const char* name, const char* result, char mode = '0',
                                 const char* unit = "B")
{
    emtask::TestRecord r{};
    r.testno = no;
    std::snprintf(r.id, sizeof r.id, "%s", id);
    std::snprintf(r.name, sizeof r.name, "%s", name);
    std::memcpy(r.m_Tyy, date, 4);
    std::memcpy(r.m_Tmm, date + 4, 2);
    std::memcpy(r.m_Tdd, date + 6, 2);
    std::memcpy(r.m_Thh, date + 8, 2);
    std::memcpy(r.m_Tmi, date + 10, 2);
    std::memcpy(r.m_Tss, date + 12, 2);
    std::snprintf(r.result, sizeof r.result, "%s", result);
    r.mode = mode;
    std::snprintf(r.unit, sizeof r.unit, "%s", unit);
    return r;
}

inline std::string FileText(const std::string& path)
{
    const std::vector<char> b = ReadBytes(path);
    return std::string(b.begin(), b.end());
}

}  // namespace searchtest
