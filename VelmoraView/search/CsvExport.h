// The comma-separated export of the search results, without the window: the
// header line, then one line per found record, newest first, written to a
// temporary file that replaces the chosen file only when all of it is on disk.
#pragma once

#include "EMTaskStruct.h"

#include <atomic>
#include <functional>
#include <string>

namespace search {

// Pause after each line: 500 ms below 20 records, 50 ms below 100, none from
// 100 on.
int CsvPauseMs(int records);

struct CsvExportHooks {
    std::function<void(int ms)> pause;           // waits; the real one sleeps
    std::function<void(int lines)> progress;     // lines written so far
    const std::atomic<bool>* running = nullptr;  // cleared: stop, keep the old file
    std::string* why = nullptr;                  // on Failed: the file and the system's reason
};

enum class CsvResult { Saved, Failed, Stopped };

// Writes the found records of `data` (slots datacnt-1 down to 0) to `path`.
// Failed: the file could not be created or written; the old file is as it was.
CsvResult ExportCsv(const std::string& path, const emtask::DeviceData& data, int dateOrder,
                    const CsvExportHooks& hooks);

}  // namespace search
