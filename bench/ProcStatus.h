// Memory figures of this process from /proc, for the benchmarks' tables.
#pragma once

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace bench {

// A "Key:" line of /proc/self/status in kB, or -1 when it is not there.
inline long StatusKb(const char* key)
{
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    return -1;
}

// Resets the peak resident size to the current one (Linux clear_refs 5).
inline bool ResetPeak()
{
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
    return static_cast<bool>(f);
}

}  // namespace bench
