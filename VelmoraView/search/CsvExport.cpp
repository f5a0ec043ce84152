#include "search/CsvExport.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "TextUtil.h"

namespace search {

int CsvPauseMs(int records)
{
    if (records < 20) return 500;
    if (records < 100) return 50;
    return 0;
}

CsvResult ExportCsv(const std::string& path, const emtask::DeviceData& data, int dateOrder,
                    const CsvExportHooks& hooks)
{
    emtask::AtomicFileWriter file;
    if (!file.Open(path)) {
        DebugLine("open error");
        if (hooks.why) *hooks.why = emtask::LastFileError();
        return CsvResult::Failed;
    }
    auto running = [&] { return !hooks.running || hooks.running->load(); };
    bool ok = file.Write(emtask::kCsvHeader, std::char_traits<char>::length(emtask::kCsvHeader));
    if (hooks.pause) hooks.pause(30);
    const int n = emtask::RecordCount(data);
    DebugLine("i : %d", n);
    const int pause = CsvPauseMs(n);
    int written = 0;
    for (int slot = n - 1; ok && slot >= 0; --slot) {
        if (!running()) return CsvResult::Stopped;
        ok = file.Write(emtask::CsvLine(data.m_TestData[slot], dateOrder));
        if (pause && hooks.pause) hooks.pause(pause);
        ++written;
        if (hooks.progress) hooks.progress(written);
    }
    if (!running()) return CsvResult::Stopped;
    if (!ok || !file.Commit()) {
        DebugLine("write error : %s", path.c_str());
        if (hooks.why) *hooks.why = emtask::LastFileError();
        return CsvResult::Failed;
    }
    return CsvResult::Saved;
}

}  // namespace search
