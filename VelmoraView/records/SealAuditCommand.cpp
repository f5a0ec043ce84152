#include "records/SealAuditCommand.h"

#include "EMTaskData.h"
#include "EMTaskStruct.h"
#include "FileImage.h"
#include "ProgramFolder.h"
#include "SealAudit.h"
#include "SealCheckpoint.h"
#include "SealKey.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <openssl/crypto.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace records {

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

int AuditCommand(const std::string& folder, const std::string& keySheet, const std::string& checkpoint,
                 int32_t acceptUnsealedBefore)
{
    std::atomic<int64_t> done{0}, total{0};
    emtask::AuditOptions options;
    options.done = &done;
    options.total = &total;
    emtask::SealKeySheet sheet;
    emtask::SealCheckpoint cp;
    std::string why;
    if (!keySheet.empty()) {
        if (!emtask::ReadKeySheet(keySheet, sheet, why)) {
            std::fprintf(stderr, "audit: key sheet %s\n", why.c_str());
            return 2;
        }
        options.keySheet = &sheet;
    }
    if (!checkpoint.empty()) {
        if (!emtask::ReadCheckpoint(checkpoint, cp, why)) {
            std::fprintf(stderr, "audit: checkpoint %s\n", why.c_str());
            return 2;
        }
        options.checkpoint = &cp;
    }
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
    OPENSSL_cleanse(sheet.k0.data(), sheet.k0.size());
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

int32_t LogRecordCount(const std::string& logPath, std::string& why)
{
    int32_t count = 0;
    const int64_t n = emtask::ReadFileImageAt(logPath, offsetof(emtask::DeviceData, datacnt), &count,
                                              sizeof count);
    if (n < 0 && errno != ENOENT) {
        why = logPath + ": " + emtask::ErrorText(errno);
        return -1;
    }
    return n == int64_t(sizeof count) ? std::clamp(count, 0, emtask::kMaxRecords) : 0;
}

int BeginSealCommand(const std::string& folder, const std::string& sheetFile)
{
    bool inUse = false;
    std::string why;
    if (!emtask::LockProgramFolder(&inUse, &why)) {
        std::fprintf(stderr, "begin-seal: %s\n",
                     inUse ? "the program is running on this folder: begin the ledger from its window"
                           : why.c_str());
        return 2;
    }
    const emtask::AuditPaths paths = emtask::AuditPathsOf(folder);
    emtask::MakeDirectory(folder + "/data");
    const int32_t start = LogRecordCount(paths.log, why);
    emtask::SealKeySheet sheet;
    std::string aside;
    if (start < 0 || !emtask::BeginKeyedLedger(paths.ledger, start, sheetFile, folder, sheet, aside, why)) {
        std::fprintf(stderr, "begin-seal: %s\n", why.c_str());
        return 2;
    }
    OPENSSL_cleanse(sheet.k0.data(), sheet.k0.size());
    std::printf("A sealed ledger begins after test %d; its key sheet is %s.\n", start, sheetFile.c_str());
    if (!aside.empty()) std::printf("The earlier ledger was set aside as %s.\n", aside.c_str());
    std::printf("Keep the key sheet away from this computer and remove it from here.\n");
    return 0;
}

int VerifyPrintedCode(const std::string& folder, const std::string& testno, const std::string& code,
                      std::string& message)
{
    char* end = nullptr;
    const long n = std::strtol(testno.c_str(), &end, 10);
    if (testno.empty() || *end || n < 1 || n > emtask::kMaxRecords ||
        emtask::NormalizeCode(code).size() < 8) {
        message = "Give a test number and a code of at least 8 characters.";
        return 2;
    }
    const std::string ledger = emtask::AuditPathsOf(folder).ledger;
    const int fd = emtask::OpenRegularFile(ledger);
    if (fd < 0) {
        message = "Cannot read the seal ledger " + ledger + ": " + emtask::ErrorText(errno) + ".";
        return 2;
    }
    close(fd);
    emtask::SealEntry e;
    const std::string test = "Test " + std::to_string(n);
    if (!emtask::FindSealEntry(ledger, int32_t(n), e)) {
        message = test + " has no entry in the seal ledger.";
        return 1;
    }
    if (!emtask::CodeMatches(e.chain, code)) {
        message = test + ": the code does NOT match its seal. The ledger or the paper differs.";
        return 1;
    }
    message = test + ": the code matches its seal.";
    return 0;
}

int VerifyCodeCommand(const std::string& folder, const std::string& testno, const std::string& code)
{
    std::string message;
    const int status = VerifyPrintedCode(folder, testno, code, message);
    std::printf("%s\n", message.c_str());
    return status;
}

int ExportCheckpointCommand(const std::string& folder, const std::string& file)
{
    emtask::SealCheckpoint cp;
    std::string why;
    if (!emtask::ExportCheckpoint(emtask::AuditPathsOf(folder).ledger, file, cp, why)) {
        std::fprintf(stderr, "export-checkpoint: %s\n", why.c_str());
        return 2;
    }
    std::printf("checkpoint of %llu entries (up to test %d) written to %s\n",
                static_cast<unsigned long long>(cp.entries), cp.testno, file.c_str());
    return 0;
}

}  // namespace records
