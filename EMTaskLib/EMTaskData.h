// The one data store of the application and the files that hold its members.
#pragma once

#include "EMTaskStruct.h"

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
    // Members in the store's order. The three DeviceData members are page
    // aligned so that ranges of them can be handed back to the system.
    int32_t m_DisplayCnt;                   // records shown by the record window
    int32_t m_DeviceSearchTotalCnt;         // records found by the last search
    uint32_t m_DeviceKind;                  // instrument kind letter; stays 0
    int32_t m_Connected;                    // 1 while connected to the instrument
    alignas(4096) DeviceData m_DeviceData;  // the test log or an opened archive
    alignas(4096) DeviceData m_SearchData;  // the last search result
    SearchInfo m_SearchInfo;
    BusInfo m_BusInfo;
    BusUserInfo wp_BusUserInfo[kMaxUsers];
    std::mutex m_Lock;                      // the store lock: only around file access
    alignas(4096) DeviceData m_SearchWork;  // the search's working container

    DeviceData* GetDeviceData() { return &m_DeviceData; }
    BusInfo* GetBusInfo() { return &m_BusInfo; }
    SearchInfo* GetSearchInfo() { return &m_SearchInfo; }
    BusUserInfo* GetUserInfo() { return wp_BusUserInfo; }

    // File operations: 1 on success, -1 when the file cannot be read or
    // written (logged; LastStoreError() says why, LastLoadStatus() what a
    // load found).
    int Load(const char* path);            // m_DeviceData
    int SaveResultData(const char* path);  // m_DeviceData
    int LoadSetting(const char* path);     // m_BusInfo
    int SaveSetting(const char* path);
    int LoadUserInfo(const char* path);  // wp_BusUserInfo, recounts totaluser
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

    // The log's file image in memory no longer matches what was loaded or
    // saved (an archive was read over it): the next save writes it whole.
    void ForgetLogFileState() { m_LogFile.valid = false; }

    // While an archive is shown in m_DeviceData the test log is not in memory:
    // appending a record and saving the log are refused, and the settings file
    // keeps the log's own record counter, which is set aside here meanwhile.
    void BeginArchiveView();
    // Reads the test log back from `path` over the archive and puts the log's
    // record counter back (raised to the records read back when it was
    // behind). 1, or -1 when the log cannot be read (LastStoreError says why):
    // memory then holds no log of that file, so the file is read-only for the
    // rest of the run and no test is stored into it.
    int EndArchiveView(const char* path);
    bool ArchiveShown() const { return m_ArchiveShown; }

    // Back to the all-zero state of program start (tests).
    void Reset();

    EMTaskData() { }  // all members zero: the store is created in zeroed pages
    EMTaskData(const EMTaskData&) = delete;
    EMTaskData& operator=(const EMTaskData&) = delete;

private:
    // Reads a store file over `dest`, after settling its journal.
    // Only a `journaled` file's journal is applied; any other is set aside.
    FileStatus ReadStoreFile(const char* path, void* dest, size_t size, const char* logName, bool journaled);
    // 0 when saves to `path` may go on; else -1 with the reason set.
    int RefuseReadOnly(const char* path) const;
    void Protect(const std::string& path, const std::string& why);
    // Start-up: begins a ledger beside the log, or seals the one record whose
    // store was cut short between the log and the ledger.
    void SettleSealLedger(bool logCreated);

    FileStatus m_LastLoad = FileStatus::Ok;
    std::vector<std::pair<std::string, std::string>> m_ReadOnly;  // path, why
    std::vector<std::string> m_Problems;

    struct FileState {
        bool valid = false;
        std::string path;
        dev_t dev = 0;
        ino_t ino = 0;
        timespec mtime{};
        int32_t count = 0;         // records on disk
        uint64_t fingerprint = 0;  // of the first and last record on disk
    };
    FileState m_LogFile;
    bool m_ArchiveShown = false;
    int32_t m_LogRecordCounter = 0;
    std::string m_SealOff;
    void NoteLogFile(const std::string& path);
    uint64_t LogFingerprint(int32_t count) const;
};

// The store, created zero-filled on first use (never null).
EMTaskData* GetManager();

// Why the last failed load or save of the store on this thread failed, as a
// short text for the user (for example "cannot write .../measurelog.dat.tmp:
// No space left on device").
const std::string& LastStoreError();

// Records of a DeviceData that may be read: datacnt clamped to 0..1,000,000,
// whatever a file brought in.
int32_t RecordCount(const DeviceData& d);

// Removes the temporary files that interrupted photograph saves left in
// `folder` ("*.jpg.tmp").
void RemovePhotoLeftovers(const std::string& folder);

// Creates a folder and its missing parents. True when it exists afterwards.
bool MakeDirectory(const std::string& path);

// Appends the comma-separated line of m_SearchData record `index` to `file`.
void WriteCsvLine(FILE* file, int index);

// Sets the settings block to the defaults of a fresh installation.
void InitBusInfo(BusInfo& b, int32_t recordCounter);

// Local time as the record's date and time digit fields.
void StampRecordTime(TestRecord& rec, const struct tm& lt);

}  // namespace emtask
