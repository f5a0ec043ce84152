// The parts of the store. Each holds its data privately and offers the
// operations a window needs; a window is handed the parts it works on. What
// touches several parts at once (storing a test advances the settings'
// record counter; loading and saving take the store lock and honour the
// files that are read-only in this run) stays with the store, EMTaskData.
//
// The store lives in zero-filled pages: no part initialises its big arrays,
// and their empty constructors leave those pages untouched.
#pragma once

#include "EMTaskStruct.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <sys/types.h>

namespace emtask {

class EMTaskData;
struct StoreImage;

// Records of a DeviceData that may be read: datacnt clamped to 0..1,000,000,
// whatever a file brought in.
int32_t RecordCount(const DeviceData& d);

// The settings block, image of conf/config.conf.
class SettingsBlock {
public:
    const BusInfo& Get() const { return m_BusInfo; }
    // Every change of a setting goes through here, so a reader can find the
    // writers; the caller saves (Save) when the change is to last.
    template <class Edit>
    void Change(Edit&& edit)
    {
        edit(m_BusInfo);
    }
    int Save();  // 1, or -1 with LastStoreError set

private:
    friend class EMTaskData;
    friend struct StoreImage;
    friend class UserRegister;  // counts the users into totaluser
    explicit SettingsBlock(EMTaskData& store) : m_Store(store) { }
    EMTaskData& m_Store;
    BusInfo m_BusInfo;
};

// The user register, image of conf/userinfo.dat: slots 1..9,999 (slot 0 is
// never used). The settings' totaluser always counts the slots in use.
class UserRegister {
public:
    // The user in `slot`, or an empty slot for a number outside the table.
    const BusUserInfo& At(int slot) const;
    const BusUserInfo* Slots() const { return wp_BusUserInfo; }
    // Stores `user` in `slot` (1..9,999) under uid `slot`. False outside.
    bool Put(int slot, const BusUserInfo& user);
    void Erase(int slot);
    void Clear();
    int Save();  // 1, or -1 with LastStoreError set

private:
    friend class EMTaskData;
    friend struct StoreImage;
    explicit UserRegister(EMTaskData& store);
    void Recount();
    EMTaskData& m_Store;
    int32_t& m_Total;  // the settings' totaluser
    BusUserInfo wp_BusUserInfo[kMaxUsers];
};

// The last search: its criteria, the records it found, and the working
// container of a staged search.
class SearchResults {
public:
    const SearchInfo& Criteria() const { return m_SearchInfo; }
    void SetCriteria(const SearchInfo& criteria) { m_SearchInfo = criteria; }
    const DeviceData& Found() const { return m_SearchData; }
    int32_t Total() const { return m_DeviceSearchTotalCnt; }
    // A results window opens: the count and the header's first eight bytes
    // (initflag, datakind) are cleared.
    void Clear();
    // Runs `search` (DeviceData& out -> records found) into the result area
    // and keeps its count.
    template <class Search>
    int32_t Fill(Search&& search)
    {
        m_DeviceSearchTotalCnt = search(m_SearchData);
        return m_DeviceSearchTotalCnt;
    }
    // Before the records are shown: datakind 'A', datacnt the count found.
    void MarkShown();
    // The result area's pages, to be committed before a search writes them.
    void* ResultPages() { return m_SearchData.m_TestData; }
    DeviceData& Work() { return m_SearchWork; }

private:
    friend class EMTaskData;
    friend struct StoreImage;
    SearchResults() { }
    int32_t m_DeviceSearchTotalCnt;
    SearchInfo m_SearchInfo;
    alignas(4096) DeviceData m_SearchData;
    alignas(4096) DeviceData m_SearchWork;
};

// The test log, image of data/measurelog.dat, or an archive shown in its
// place (then the log itself is not in memory).
class TestLog {
public:
    const DeviceData& Records() const { return m_DeviceData; }
    int32_t Count() const { return RecordCount(m_DeviceData); }
    bool ArchiveShown() const { return m_ArchiveShown; }

private:
    friend class EMTaskData;
    friend struct StoreImage;
    TestLog() { }
    struct FileState {
        bool valid = false;
        std::string path;
        dev_t dev = 0;
        ino_t ino = 0;
        timespec mtime{};
        int32_t count = 0;         // records on disk
        uint64_t fingerprint = 0;  // of the first and last record on disk
    };
    void NoteFile(const std::string& path);
    uint64_t Fingerprint(int32_t count) const;

    alignas(4096) DeviceData m_DeviceData;
    FileState m_LogFile;
    bool m_ArchiveShown = false;
    int32_t m_LogRecordCounter = 0;  // the log's own counter while an archive is shown
};

}  // namespace emtask
