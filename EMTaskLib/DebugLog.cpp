#include "DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

std::atomic<int> g_DebugLevel{0};

namespace emtask_detail {
const char* BaseName(const char* path)
{
    // Thread-safe without allocation: a small ring of static buffers is
    // enough, since the result is used at once in one DebugPrint call.
    static thread_local char buf[4][64];
    static thread_local int next = 0;
    const char* slash = std::strrchr(path, '/');
    const char* base = slash ? slash + 1 : path;
    const char* dot = std::strrchr(base, '.');
    size_t len = dot ? static_cast<size_t>(dot - base) : std::strlen(base);
    if (len >= sizeof buf[0]) len = sizeof buf[0] - 1;
    char* out = buf[next++ & 3];
    std::memcpy(out, base, len);
    out[len] = 0;
    return out;
}
}  // namespace emtask_detail

namespace {
constexpr size_t kBufferSize = 21000;

void Emit(const char* text)
{
    if (g_DebugLevel == 3) {
        time_t now = time(nullptr);
        struct tm lt;
        localtime_r(&now, &lt);
        char name[64];
        std::snprintf(name, sizeof name, "LOG/log%d%d%d.txt", lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday);
        mkdir("LOG", 0777);
        if (FILE* f = std::fopen(name, "a+")) {
            std::fprintf(f, "[%d-%d-%d %d:%d:%d] %s", lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday,
                         lt.tm_hour, lt.tm_min, lt.tm_sec, text);
            std::fclose(f);
        }
    }
    std::fputs(text, stderr);
}
}  // namespace

void DebugPrint(const char* fmt, ...)
{
    const int level = g_DebugLevel;
    if (level != 1 && level != 3) return;
    char buf[kBufferSize];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);  // cuts text longer than the buffer
    va_end(ap);
    Emit(buf);
}

void DebugHexa(const void* data, int length)
{
    if (g_DebugLevel == 0) return;
    if (!data) {
        DebugPrint("DEBUG_HEXA : NULL\n");
        return;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (int row = 0; row < length; row += 16) {
        int n = length - row < 16 ? length - row : 16;
        // Hex part: offset, three spaces, byte pairs separated by one space.
        char hex[128];
        int pos = std::snprintf(hex, sizeof hex, "%06x   ", row);
        for (int i = 0; i < n; ++i) {
            pos += std::snprintf(hex + pos, sizeof hex - pos, "%02x", bytes[row + i]);
            if (i & 1) hex[pos++] = ' ';
        }
        for (int p = n; p < 16; ++p) {
            hex[pos++] = ' ';
            hex[pos++] = ' ';
            if ((p & 1) == 0) hex[pos++] = ' ';
        }
        hex[pos] = 0;
        DebugPrint("%s", hex);
        DebugPrint("\t");
        // Character part; passed as text, so no format escaping is needed here.
        char chars[64];
        int c = 0;
        for (int i = 0; i < n; ++i) {
            unsigned char b = bytes[row + i];
            if (b == '\\') {
                chars[c++] = '\\';
                chars[c++] = '\\';
            } else {
                chars[c++] = (b >= 0x20 && b <= 0x7E) ? static_cast<char>(b) : '.';
            }
        }
        chars[c] = 0;
        DebugPrint("%s", chars);
        DebugPrint("\n");
    }
}
