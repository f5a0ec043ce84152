// The one data store of the application and the files that hold its members.
#pragma once

#include "EMTaskStruct.h"
#include "StoreParts.h"

#include <array>
#include <cstdio>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <ctime>
#include <utility>
#include <vector>

namespace emtask {

// How a store file came in at its last load.
enum class FileStatus {
    Ok,
    Missing,     // no such file: start-up creates it
    Unreadable,  // exists but cannot be read: never written over in this run
    Incomplete,  // its last save could not be completed: loaded as that save
                 // left it (file plus journal), never written over in this run
};

class EMTaskData {
public:
    // The parts, each handed to the windows that work on it.
    TestLog& Log() { return m_Log; }
    const TestLog& Log() const { return m_Log; }
    SettingsBlock& Settings() { return m_Settings; }
    const SettingsBlock& Settings() const { return m_Settings; }
    UserRegister& Users() { return m_Users; }
    SearchResults& Search() { return m_Search; }

    std::mutex m_Lock;  // the store lock: only around file access

    bool Connected() const { return m_Connected != 0; }
    void SetConnected(bool on) { m_Connected = on ? 1 : 0; }
    // Instrument kind letter an archive must match; stays 0 (any archive).
    uint32_t DeviceKind() const { return m_DeviceKind; }
    void SetDeviceKind(uint32_t kind) { m_DeviceKind = kind; }
    // Records the record window shows.
    void SetDisplayCount(int32_t n) { m_DisplayCnt = n; }

    // File operations: 1 on success, -1 when the file cannot be read or
    // written (logged; LastStoreError() says why, LastLoadStatus() what a
    // load found).
    int Load(const char* path);            // the test log
    int SaveResultData(const char* path);  // the test log
    int LoadSetting(const char* path);     // the settings block
    int SaveSetting(const char* path);
    int LoadUserInfo(const char* path);  // the user register, recounts totaluser
    int SaveUserInfo(const char* path);

    // Start-up load and repairs; creates conf and data below programFolder.
    // Only a missing file, or one read and found uninitialised, is written
    // anew; a file that cannot be read is left alone (see ReadOnlyReason) and
    // what went wrong is listed in StartupProblems for the user.
    void StartUp();
    // What start-up could not read, complete or create, one text per file.
    const std::vector<std::string>& StartupProblems() const { return m_Problems; }
    // Why saves to `path` are refused in this run, or empty when they are not.
    std::string ReadOnlyReason(const std::string& path) const;
    FileStatus LastLoadStatus() const { return m_LastLoad; }

    // Saves to the program folder's files (folders created first).
    int SaveResultData();
    int SaveSetting();
    int SaveUserInfo();

    // Test number the next stored record gets, or -1 when no record may be
    // stored (record counter out of range or at 999,999).
    int32_t NextTestNo() const;
    // Puts `rec` (its testno set to NextTestNo()) into the next slot and
    // advances the record counter and datacnt. Returns the slot, or -1.
    int32_t AppendRecord(const TestRecord& rec);

    // Seals the record in `slot` as it now stands in the log (saved just
    // before): its entry, with the hash of its photograph file when
    // `photo` is given, is appended to the seal ledger. 1, or -1 with
    // LastStoreError set (also when sealing is off for this run).
    int SealRecord(int32_t slot, const std::array<unsigned char, 32>* photo, uint32_t flags = 0);
    // Why tests are stored without a seal in this run, or empty.
    const std::string& SealOffReason() const { return m_SealOff; }

    // Shows an archive in the test log's place: `read` fills the log's image
    // (DeviceData& -> true when every byte was read). Meanwhile appending a
    // record and saving the log are refused, and the settings file keeps the
    // log's own record counter, which is set aside here; the counter in
    // memory is the archive's count. False when the read failed.
    template <class Read>
    bool ShowArchive(Read&& read)
    {
        BeginArchiveView();
        const bool ok = read(m_Log.m_DeviceData);
        // The image no longer matches the file: the next save writes it whole.
        m_Log.m_LogFile.valid = false;
        m_Settings.m_BusInfo.recordcnt = m_Log.Count();
        return ok;
    }
    // Reads the test log back from `path` over the archive and puts the log's
    // record counter back (raised to the records read back when it was
    // behind). 1, or -1 when the log cannot be read (LastStoreError says why):
    // memory then holds no log of that file, so the file is read-only for the
    // rest of the run and no test is stored into it.
    int EndArchiveView(const char* path);
    bool ArchiveShown() const { return m_Log.ArchiveShown(); }

    // Back to the all-zero state of program start (tests).
    void Reset();

    // All members zero: the store is created in zeroed pages.
    EMTaskData() : m_Settings(*this), m_Users(*this) { }
    EMTaskData(const EMTaskData&) = delete;
    EMTaskData& operator=(const EMTaskData&) = delete;

private:
    void BeginArchiveView();
    // Reads a store file over `dest`, after settling its journal.
    // Only a `journaled` file's journal is applied; any other is set aside.
    FileStatus ReadStoreFile(const char* path, void* dest, size_t size, const char* logName, bool journaled);
    // 0 when saves to `path` may go on; else -1 with the reason set.
    int RefuseReadOnly(const char* path) const;
    void Protect(const std::string& path, const std::string& why);
    // Start-up: begins a ledger beside the log, or seals the one record whose
    // store was cut short between the log and the ledger.
    void SettleSealLedger(bool logCreated);

    friend class UserRegister;
    friend struct StoreImage;
    int32_t m_DisplayCnt;      // records shown by the record window
    uint32_t m_DeviceKind;     // instrument kind letter; stays 0
    int32_t m_Connected;       // 1 while connected to the instrument
    SettingsBlock m_Settings;  // before the register, which counts into it
    UserRegister m_Users;
    TestLog m_Log;
    SearchResults m_Search;

    FileStatus m_LastLoad = FileStatus::Ok;
    std::vector<std::pair<std::string, std::string>> m_ReadOnly;  // path, why
    std::vector<std::string> m_Problems;
    std::string m_SealOff;
};

// The store, created zero-filled on first use (never null).
EMTaskData* GetManager();

// Why the last failed load or save of the store on this thread failed, as a
// short text for the user (for example "cannot write .../measurelog.dat.tmp:
// No space left on device").
const std::string& LastStoreError();

// Removes the temporary files that interrupted photograph saves left in
// `folder` ("*.jpg.tmp").
void RemovePhotoLeftovers(const std::string& folder);

// Creates a folder and its missing parents. True when it exists afterwards.
bool MakeDirectory(const std::string& path);

// Appends the comma-separated line of search result `index` to `file`.
void WriteCsvLine(FILE* file, int index);

// Sets the settings block to the defaults of a fresh installation.
void InitBusInfo(BusInfo& b, int32_t recordCounter);

// Local time as the record's date and time digit fields.
void StampRecordTime(TestRecord& rec, const struct tm& lt);

}  // namespace emtask
