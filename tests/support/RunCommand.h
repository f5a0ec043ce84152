// A shell command run to its end: its exit status and what it printed.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

// The command's exit status (-1 when it did not exit), its standard output in
// `out` (add 2>&1 to the command for its errors too).
inline int RunCommand(const std::string& cmd, std::string* out = nullptr)
{
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    std::string text;
    std::array<char, 4096> buf;
    for (size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) text.append(buf.data(), n);
    const int rc = pclose(p);
    if (out) *out = text;
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}
