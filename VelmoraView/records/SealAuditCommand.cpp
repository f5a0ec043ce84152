#include "records/SealAuditCommand.h"

#include "ProgramFolder.h"
#include "SealAudit.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

namespace records {

bool IsAuditCommand(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--audit") == 0) return true;
    return false;
}

int RunAuditCommand(int argc, char** argv)
{
    emtask::InitProgramFolder(argc, argv);
    int32_t acceptBefore = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--audit") == 0) continue;
        if (std::strcmp(argv[i], "--accept-unsealed-before") == 0 && i + 1 < argc &&
            ParseTestNumber(argv[i + 1], acceptBefore)) {
            ++i;
            continue;
        }
        std::fprintf(stderr, "usage: %s --audit [--accept-unsealed-before N] [--home DIR]\n", argv[0]);
        return 2;
    }
    return AuditProgramFolder(emtask::ProgramFolder(), acceptBefore);
}

bool ParseTestNumber(const char* text, int32_t& out)
{
    if (*text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end || v < 0 || v > emtask::kMaxRecords + 1) return false;
    out = static_cast<int32_t>(v);
    return true;
}

int AuditProgramFolder(const std::string& folder, int32_t acceptUnsealedBefore)
{
    std::atomic<int64_t> done{0}, total{0};
    emtask::AuditOptions options;
    options.done = &done;
    options.total = &total;
    options.acceptUnsealedBefore = acceptUnsealedBefore;
    emtask::AuditResult result;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        result = emtask::AuditLog(emtask::AuditPathsOf(folder), options);
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
    } else {
        if (result.status == emtask::AuditResult::Failed)
            std::fprintf(stderr, "audit: failed: %s\n", result.error.c_str());
        const std::string table = emtask::AuditTable(result);
        std::fwrite(table.data(), 1, table.size(), stdout);
        std::fflush(stdout);
    }
    return emtask::AuditExitCode(result);
}

}  // namespace records
