// Python's openpyxl as an independent reader and writer of workbooks. The
// system interpreter holds openpyxl (the `python3` on PATH may not).
#pragma once

#include "RunCommand.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

// Runs a Python script with arguments; returns its exit code and its standard
// output (and error) in `out`.
inline int RunPython(const std::string& script, const std::vector<std::string>& args,
                     std::string* out = nullptr)
{
    char file[] = "/tmp/zolt7-script-XXXXXX.py";
    const int fd = mkstemps(file, 3);
    if (fd < 0) return -1;
    close(fd);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << script;
    std::string cmd = std::string("/usr/bin/python3 '") + file + "'";
    for (const std::string& a : args) cmd += " '" + a + "'";
    cmd += " 2>&1";
    const int rc = RunCommand(cmd, out);
    unlink(file);
    return rc;
}
