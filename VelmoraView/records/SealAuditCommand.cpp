#include "records/SealAuditCommand.h"

#include "ProgramFolder.h"
#include "SealAudit.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>

namespace records {

int RunAuditCommand()
{
    std::atomic<int64_t> done{0}, total{0};
    emtask::AuditOptions options;
    options.done = &done;
    options.total = &total;
    emtask::AuditResult result;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        result = emtask::AuditLog(emtask::AuditPathsOf(emtask::ProgramFolder()), options);
        finished = true;
    });
    // On a terminal a line about every second; otherwise one per tenth.
    const bool tty = isatty(STDERR_FILENO);
    auto lastLine = std::chrono::steady_clock::now();
    int64_t lastTenth = 0;
    while (!finished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const int64_t t = total.load(), d = done.load();
        if (t <= 0) continue;
        const int64_t tenth = d * 10 / t;
        const auto now = std::chrono::steady_clock::now();
        if ((tty && now - lastLine >= std::chrono::seconds(1)) || (!tty && tenth > lastTenth && tenth < 10)) {
            std::fprintf(stderr, "audit: %lld of %lld records (%lld %%)\n", static_cast<long long>(d),
                         static_cast<long long>(t), static_cast<long long>(d * 100 / t));
            lastLine = now;
            lastTenth = tenth;
        }
    }
    worker.join();
    if (result.status == emtask::AuditResult::LogUnreadable ||
        result.status == emtask::AuditResult::LedgerUnreadable) {
        std::fprintf(stderr, "audit: cannot read %s\n", result.error.c_str());
        return 2;
    }
    const std::string table = emtask::AuditTable(result);
    std::fwrite(table.data(), 1, table.size(), stdout);
    std::fflush(stdout);
    return result.Clean() ? 0 : 1;
}

}  // namespace records
