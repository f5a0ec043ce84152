// Diagnostic output: standard error, and at level 3 also a daily file
// "LOG/log<year><month><day>.txt" below the current directory.
#pragma once

#include <atomic>
#include <cstddef>

// 0 off, 1 standard error, 3 daily file and standard error; other values:
// silent. Read by every thread that logs, hence atomic.
extern std::atomic<int> g_DebugLevel;

void DebugPrint(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void DebugHexa(const void* data, int length);

// Source file name without folder and extension, for "[%s:%d]" lines.
#define EMT_SRC (::emtask_detail::BaseName(__FILE__))
namespace emtask_detail {
const char* BaseName(const char* path);
}

// The two-call convention: the message, then "\n" on its own.
// The level is looked at first, so an off log does not even name the source.
#define DebugLine(fmt, ...)                                                                                  \
    do {                                                                                                     \
        if (g_DebugLevel == 0) break;                                                                        \
        DebugPrint("[%s:%d] " fmt, EMT_SRC, __LINE__ __VA_OPT__(, ) __VA_ARGS__);                            \
        DebugPrint("\n");                                                                                    \
    } while (0)
