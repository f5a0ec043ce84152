// The one data store of the application and the files that hold its members.
#pragma once

#include "EMTaskStruct.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <ctime>

namespace emtask {

class EMTaskData {
public:
    // Members in the store's order. The three DeviceData members are page
    // aligned so that ranges of them can be handed back to the system.
    int32_t m_DisplayCnt;             // records shown by the record window
    int32_t m_DeviceSearchTotalCnt;   // records found by the last search
    uint32_t m_DeviceKind;            // instrument kind letter; stays 0
    int32_t m_Connected;              // 1 while connected to the instrument
    alignas(4096) DeviceData m_DeviceData;   // the test log or an opened archive
    alignas(4096) DeviceData m_SearchData;   // the last search result
    SearchInfo m_SearchInfo;
    BusInfo m_BusInfo;
    BusUserInfo wp_BusUserInfo[kMaxUsers];
    std::mutex m_Lock;                // the store lock: only around file access
    alignas(4096) DeviceData m_SearchWork;   // the search's working container

    DeviceData* GetDeviceData() { return &m_DeviceData; }
    BusInfo* GetBusInfo() { return &m_BusInfo; }
    SearchInfo* GetSearchInfo() { return &m_SearchInfo; }
    BusUserInfo* GetUserInfo() { return wp_BusUserInfo; }

    // File operations: 1 on success, -1 when the file cannot be opened (logged).
    int Load(const char* path);            // m_DeviceData
    int SaveResultData(const char* path);  // m_DeviceData
    int LoadSetting(const char* path);     // m_BusInfo
    int SaveSetting(const char* path);
    int LoadUserInfo(const char* path);    // wp_BusUserInfo, recounts totaluser
    int SaveUserInfo(const char* path);

    // Start-up load and repairs; creates conf and data below programFolder.
    void StartUp();

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

    // The log's file image in memory no longer matches what was loaded or
    // saved (an archive was read over it): the next save writes it whole.
    void ForgetLogFileState() { m_LogFile.valid = false; }

    // While an archive is shown in m_DeviceData the test log is not in memory:
    // appending a record and saving the log are refused, and the settings file
    // keeps the log's own record counter, which is set aside here meanwhile.
    void BeginArchiveView();
    // Puts the log's record counter back (raised to `logCount`, the records of
    // the log read back, when it was behind).
    void EndArchiveView(int32_t logCount);
    bool ArchiveShown() const { return m_ArchiveShown; }

    // Back to the all-zero state of program start (tests).
    void Reset();

    EMTaskData() {}  // all members zero: the store is created in zeroed pages
    EMTaskData(const EMTaskData&) = delete;
    EMTaskData& operator=(const EMTaskData&) = delete;

private:
    struct FileState {
        bool valid = false;
        std::string path;
        dev_t dev = 0;
        ino_t ino = 0;
        timespec mtime{};
        int32_t count = 0;        // records on disk
        uint64_t fingerprint = 0; // of the first and last record on disk
    };
    FileState m_LogFile;
    bool m_ArchiveShown = false;
    int32_t m_LogRecordCounter = 0;
    void NoteLogFile(const std::string& path);
    uint64_t LogFingerprint(int32_t count) const;
};

// The store, created zero-filled on first use (never null).
EMTaskData* GetManager();

// Records of a DeviceData that may be read: datacnt clamped to 0..1,000,000,
// whatever a file brought in.
int32_t RecordCount(const DeviceData& d);

// Creates a folder and its missing parents. True when it exists afterwards.
bool MakeDirectory(const std::string& path);

// Appends the comma-separated line of m_SearchData record `index` to `file`.
void WriteCsvLine(FILE* file, int index);

// Sets the settings block to the defaults of a fresh installation.
void InitBusInfo(BusInfo& b, int32_t recordCounter);

// Local time as the record's date and time digit fields.
void StampRecordTime(TestRecord& rec, const struct tm& lt);

}  // namespace emtask
