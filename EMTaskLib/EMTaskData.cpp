#include "EMTaskData.h"

#include "DebugLog.h"
#include "FileImage.h"
#include "PhotoCheck.h"
#include "ProgramFolder.h"
#include "SealLedger.h"
#include "TextUtil.h"

#include <cctype>
#include <cerrno>
#include <dirent.h>
#include <strings.h>
#include <cstring>
#include <ctime>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace emtask {

EMTaskData* GetManager()
{
    // About 830 MB reserved for the whole run. Anonymous pages are zero and
    // committed only when written, so an empty store costs almost nothing.
    static EMTaskData* store = [] {
        void* p = mmap(nullptr, sizeof(EMTaskData), PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        SetZeroFilledMapping(p, sizeof(EMTaskData));
        return new (p) EMTaskData;  // default-init: the zero pages stay untouched
    }();
    return store;
}

int32_t RecordCount(const DeviceData& d)
{
    if (d.datacnt < 0) return 0;
    if (d.datacnt > kMaxRecords) return kMaxRecords;
    return d.datacnt;
}

void EMTaskData::Reset()
{
    m_DisplayCnt = m_Search.m_DeviceSearchTotalCnt = m_Connected = 0;
    m_DeviceKind = 0;
    ZeroRange(&m_Log.m_DeviceData, sizeof m_Log.m_DeviceData);
    ZeroRange(&m_Search.m_SearchData, sizeof m_Search.m_SearchData);
    std::memset(&m_Search.m_SearchInfo, 0, sizeof m_Search.m_SearchInfo);
    std::memset(&m_Settings.m_BusInfo, 0, sizeof m_Settings.m_BusInfo);
    ZeroRange(m_Users.wp_BusUserInfo, sizeof m_Users.wp_BusUserInfo);
    ZeroRange(&m_Search.m_SearchWork, sizeof m_Search.m_SearchWork);
    m_Log.m_LogFile = TestLog::FileState{};
    m_LastLoad = FileStatus::Ok;
    m_ReadOnly.clear();
    m_Problems.clear();
    m_Log.m_ArchiveShown = false;
    m_Log.m_LogRecordCounter = 0;
    m_SealOff.clear();
}

namespace {
thread_local std::string t_storeError;

void SetStoreError(const std::string& text) { t_storeError = text; }
}  // namespace

void EMTaskData::BeginArchiveView()
{
    if (m_Log.m_ArchiveShown) return;
    m_Log.m_LogRecordCounter = m_Settings.m_BusInfo.recordcnt;
    m_Log.m_ArchiveShown = true;
    m_Log.m_LogFile.valid = false;
}

int EMTaskData::EndArchiveView(const char* path)
{
    if (!m_Log.m_ArchiveShown) return 1;
    // Zeroed first: a log shorter than the archive must not keep its tail.
    ZeroRange(&m_Log.m_DeviceData, sizeof m_Log.m_DeviceData);
    const int rc = Load(path);
    if (rc < 0) {
        const std::string why = LastStoreError();
        {
            // What memory holds now is not the file: saved over it, it would
            // replace the log's records with zeros.
            std::lock_guard<std::mutex> lock(m_Lock);
            Protect(path, "it could not be read back when an archive was closed (" + why + ")");
        }
        if (m_LastLoad != FileStatus::Incomplete) {  // that one is the log as its last save left it
            ZeroRange(&m_Log.m_DeviceData, sizeof m_Log.m_DeviceData);
            m_Log.m_DeviceData.initflag = kInitFlag;
        }
        SetStoreError(why);
    }
    m_Log.m_ArchiveShown = false;
    const int32_t logCount = RecordCount(m_Log.m_DeviceData);
    m_Settings.m_BusInfo.recordcnt = m_Log.m_LogRecordCounter < logCount ? logCount
                                                                         : m_Log.m_LogRecordCounter;
    return rc;
}

uint64_t TestLog::Fingerprint(int32_t count) const
{
    uint64_t h = 0xcbf29ce484222325ULL;
    if (count > 0) {
        h = Fnv1a(&m_DeviceData.m_TestData[0], sizeof(TestRecord), h);
        h = Fnv1a(&m_DeviceData.m_TestData[count - 1], sizeof(TestRecord), h);
    }
    return h;
}

void TestLog::NoteFile(const std::string& path)
{
    struct stat st;
    m_LogFile.valid = stat(path.c_str(), &st) == 0 && st.st_size == sizeof(DeviceData);
    if (!m_LogFile.valid) return;
    m_LogFile.path = path;
    m_LogFile.dev = st.st_dev;
    m_LogFile.ino = st.st_ino;
    m_LogFile.mtime = st.st_mtim;
    m_LogFile.count = RecordCount(m_DeviceData);
    m_LogFile.fingerprint = Fingerprint(m_LogFile.count);
}

const std::string& LastStoreError() { return t_storeError; }

std::string EMTaskData::ReadOnlyReason(const std::string& path) const
{
    for (const auto& [p, why] : m_ReadOnly)
        if (p == path) return why;
    return {};
}

int EMTaskData::RefuseReadOnly(const char* path) const
{
    std::string why = ReadOnlyReason(path);
    if (why.empty()) return 0;
    SetStoreError(std::string(path) + " is not written over in this run: " + why);
    return -1;
}

void EMTaskData::Protect(const std::string& path, const std::string& why)
{
    if (ReadOnlyReason(path).empty()) m_ReadOnly.emplace_back(path, why);
}

FileStatus EMTaskData::ReadStoreFile(const char* path, void* dest, size_t size, const char* logName,
                                     bool journaled)
{
    // Only the test log is saved by journal: any other journal was put there
    // by someone else, and applying it would write their bytes into the file.
    Recovery r = journaled ? RecoverFile(path, size)
                           : SetAsideJournal(path, "this file is never saved by journal");
    if (r.state == Recovery::SetAside) {
        DebugLine("%s", r.why.c_str());
        m_Problems.push_back(r.why + (journaled ? ". The file is loaded as it was before that save." : "."));
    }
    if (r.state == Recovery::Unreadable) {
        // Whether the file is whole cannot be told: none of it is taken.
        SetStoreError(r.why);
        DebugPrint("%s(%s) open error\n", logName, path);
        return FileStatus::Unreadable;
    }
    if (ReadFileImage(path, dest, size) < 0) {
        // A link whose target is gone is not a missing file: creating the
        // file anew would write through it or replace what it pointed to.
        struct stat st;
        const bool missing = errno == ENOENT && lstat(path, &st) != 0;
        SetStoreError(missing || errno != ENOENT
                          ? LastFileError()
                          : std::string(path) + " is a symbolic link whose target is missing");
        DebugPrint("%s(%s) open error\n", logName, path);
        return missing ? FileStatus::Missing : FileStatus::Unreadable;
    }
    if (r.state == Recovery::Pending) {
        // The journal is whole but cannot be written into the file: the image
        // is the file as that save completes it, in memory only.
        SetStoreError(r.why);
        DebugLine("%s", r.why.c_str());
        if (!OverlayJournal(path, dest, size)) return FileStatus::Unreadable;
        return FileStatus::Incomplete;
    }
    return FileStatus::Ok;
}

int EMTaskData::Load(const char* path)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Log.m_LogFile.valid = false;
    m_LastLoad = ReadStoreFile(path, &m_Log.m_DeviceData, sizeof m_Log.m_DeviceData, "Load", true);
    if (m_LastLoad != FileStatus::Ok) return -1;
    m_Log.NoteFile(path);
    return 1;
}

int EMTaskData::SaveResultData(const char* path)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_Log.m_ArchiveShown) {
        // m_Log.m_DeviceData holds an archive: written here it would replace the log.
        DebugPrint("SaveResultData(%s) refused: an archive is shown\n", path);
        return -1;
    }
    if (RefuseReadOnly(path) < 0) {
        DebugPrint("SaveResultData(%s) open error\n", path);
        return -1;
    }
    // A journal that cannot be completed stops here: the file is torn until
    // it is, and a new image would be overwritten by it later.
    Recovery r = RecoverFile(path, sizeof m_Log.m_DeviceData);
    bool ok = r.state != Recovery::Pending && r.state != Recovery::Unreadable;
    if (!ok) SetStoreError(r.why);
    // Records are only appended: when the file still holds what was last
    // loaded or saved here, only the header and the new slots change.
    const int32_t count = RecordCount(m_Log.m_DeviceData);
    struct stat st;
    bool patch = ok && m_Log.m_LogFile.valid && m_Log.m_LogFile.path == path && stat(path, &st) == 0 &&
                 st.st_dev == m_Log.m_LogFile.dev && st.st_ino == m_Log.m_LogFile.ino &&
                 st.st_size == sizeof(DeviceData) && st.st_mtim.tv_sec == m_Log.m_LogFile.mtime.tv_sec &&
                 st.st_mtim.tv_nsec == m_Log.m_LogFile.mtime.tv_nsec && count >= m_Log.m_LogFile.count &&
                 count - m_Log.m_LogFile.count <= 10000 &&
                 m_Log.Fingerprint(m_Log.m_LogFile.count) == m_Log.m_LogFile.fingerprint;
    if (patch) {
        std::vector<Patch> patches;
        patches.push_back({0, &m_Log.m_DeviceData, static_cast<uint32_t>(kDeviceDataHeaderSize)});
        if (count > m_Log.m_LogFile.count)
            patches.push_back({kDeviceDataHeaderSize + uint64_t(m_Log.m_LogFile.count) * sizeof(TestRecord),
                               &m_Log.m_DeviceData.m_TestData[m_Log.m_LogFile.count],
                               static_cast<uint32_t>((count - m_Log.m_LogFile.count) * sizeof(TestRecord))});
        switch (PatchFile(path, patches, sizeof m_Log.m_DeviceData)) {
        case PatchResult::Done: m_Log.NoteFile(path); return 1;
        case PatchResult::Pending:
            // Stored for good in the journal, which the next load applies;
            // later saves fail until it can be written into the file.
            m_Log.m_LogFile.valid = false;
            DebugLine("SaveResultData(%s): %s", path, LastFileError().c_str());
            return 1;
        case PatchResult::Failed:
            ok = false;
            SetStoreError(LastFileError());
            break;
        }
    } else if (ok) {
        ok = AtomicWriteFile(path, &m_Log.m_DeviceData, sizeof m_Log.m_DeviceData);
        if (!ok) SetStoreError(LastFileError());
    }
    if (!ok) {
        m_Log.m_LogFile.valid = false;
        DebugPrint("SaveResultData(%s) open error\n", path);
        return -1;
    }
    m_Log.NoteFile(path);
    return 1;
}

int EMTaskData::LoadSetting(const char* path)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_LastLoad = ReadStoreFile(path, &m_Settings.m_BusInfo, sizeof m_Settings.m_BusInfo, "Load", false);
    return m_LastLoad == FileStatus::Ok ? 1 : -1;
}

int EMTaskData::SaveSetting(const char* path)
{
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        BusInfo image = m_Settings.m_BusInfo;
        if (m_Log.m_ArchiveShown) image.recordcnt = m_Log.m_LogRecordCounter;  // never an archive's count
        if (RefuseReadOnly(path) < 0 || !AtomicWriteFile(path, &image, sizeof image)) {
            if (ReadOnlyReason(path).empty()) SetStoreError(LastFileError());
            DebugPrint("SaveSetting(%s) open error\n", path);
            return -1;
        }
    }
    DebugLine("savesetting %s", path);
    return 1;
}

int EMTaskData::LoadUserInfo(const char* path)
{
    FileStatus status;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        status = m_LastLoad = ReadStoreFile(path, m_Users.wp_BusUserInfo, sizeof m_Users.wp_BusUserInfo,
                                            "LoadUserInfo", false);
    }
    m_Users.Recount();
    return status == FileStatus::Ok ? 1 : -1;
}

int EMTaskData::SaveUserInfo(const char* path)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (RefuseReadOnly(path) < 0 ||
        !AtomicWriteFile(path, m_Users.wp_BusUserInfo, sizeof m_Users.wp_BusUserInfo)) {
        if (ReadOnlyReason(path).empty()) SetStoreError(LastFileError());
        DebugPrint("SaveUserInfo(%s) open error\n", path);
        return -1;
    }
    return 1;
}

int EMTaskData::SaveResultData()
{
    MakeDirectory(DataDir());
    return SaveResultData(MeasureLogPath().c_str());
}

int EMTaskData::SaveSetting()
{
    MakeDirectory(ConfDir());
    return SaveSetting(ConfigPath().c_str());
}

int EMTaskData::SaveUserInfo()
{
    MakeDirectory(ConfDir());
    return SaveUserInfo(UserInfoPath().c_str());
}

void InitBusInfo(BusInfo& b, int32_t recordCounter)
{
    std::memset(&b, 0, sizeof b);
    b.initflag = kInitFlag;
    CopyField(b.reporttitle, "TEST REPORT");
    b.reportbg = 0;
    b.idmode = 1;
    b.dateorder = 2;
    b.photosave = 0;
    b.camerause = 1;
    b.rowsindex = kDefaultRowsIndex;
    CopyField(b.password, "7294");
    b.recordcnt = recordCounter;
}

void EMTaskData::StartUp()
{
    const std::string conf = ConfDir(), data = DataDir();
    const std::string config = ConfigPath();
    m_ReadOnly.clear();

    MakeDirectory(conf);
    LoadSetting(config.c_str());
    const FileStatus settings = m_LastLoad;
    const std::string settingsWhy = LastStoreError();
    std::memset(m_Settings.m_BusInfo.reserved2884, 0, sizeof m_Settings.m_BusInfo.reserved2884);

    const std::string users = UserInfoPath();
    MakeDirectory(data);
    const std::string log = MeasureLogPath();

    Load(log.c_str());
    const FileStatus logStatus = m_LastLoad;

    // A save that fails at start-up is said too, unless the file is one
    // that is not written over anyway.
    auto saved = [this](int rc, const std::string& path, const char* what) {
        if (rc != 1 && ReadOnlyReason(path).empty())
            m_Problems.push_back(std::string(what) + " " + path +
                                 " could not be written: " + LastStoreError() + ".");
    };

    if (logStatus == FileStatus::Unreadable) {
        Protect(log, "it could not be read at start-up");
        m_Problems.push_back(
            "The test log " + log + " cannot be read (" + LastStoreError() +
            "). The program shows what it could read, stores no test, and leaves the file as it is.");
    } else if (logStatus == FileStatus::Incomplete) {
        Protect(log, "its last save could not be completed");
        m_Problems.push_back(
            "The last save of the test log " + log + " could not be completed (" + LastStoreError() +
            "). The log is shown as that save left it, read-only: no test can be stored until the "
            "disk is mended and the program restarted.");
    }
    if (settings == FileStatus::Unreadable) {
        // Defaults in memory only: the file may hold settings worth keeping.
        Protect(config, "it could not be read at start-up");
        m_Problems.push_back("The settings file " + config + " cannot be read (" + settingsWhy +
                             "). The program runs on default settings and does not save over that file.");
        InitBusInfo(m_Settings.m_BusInfo, RecordCount(m_Log.m_DeviceData));
    } else if (settings == FileStatus::Incomplete) {
        Protect(config, "its last save could not be completed");
        m_Problems.push_back("The last save of the settings file " + config + " could not be completed (" +
                             settingsWhy + "). Those settings are used, but not saved in this run.");
    }
    if (settings != FileStatus::Unreadable && m_Settings.m_BusInfo.initflag != kInitFlag) {
        DebugLine("");
        // A counter taken from a hostile log stays within the slots.
        InitBusInfo(m_Settings.m_BusInfo, RecordCount(m_Log.m_DeviceData));
        saved(SaveSetting(config.c_str()), config, "The settings file");
    }
    bool logCreated = false;
    if (m_Log.m_DeviceData.initflag != kInitFlag && ReadOnlyReason(log).empty()) {
        DebugLine("GetManager()->GetDeviceData()->initflag != 0xAEAE");
        // Records behind a damaged header are kept, and so is their seal
        // ledger: only a log without records is a new one.
        const int32_t kept = RecordCount(m_Log.m_DeviceData);
        m_Log.m_DeviceData.initflag = kInitFlag;
        m_Settings.m_BusInfo.recordcnt = 0;
        saved(SaveSetting(config.c_str()), config, "The settings file");
        const bool written = SaveResultData(log.c_str()) == 1;
        saved(written ? 1 : -1, log, "The test log");
        logCreated = written && kept == 0;
        if (written && kept > 0)
            m_Problems.push_back("The header of the test log " + log +
                                 " was damaged and has been repaired; its " + std::to_string(kept) +
                                 " records are kept.");
    }
    // A counter outside the slots (a file from elsewhere) would index out of
    // the log, and one behind the log (a stop between the log's save and the
    // settings' save) would make the next test overwrite a stored record:
    // take it from the log in both cases.
    if (m_Settings.m_BusInfo.recordcnt < 0 || m_Settings.m_BusInfo.recordcnt > kMaxRecords ||
        m_Settings.m_BusInfo.recordcnt < RecordCount(m_Log.m_DeviceData)) {
        DebugLine("record counter %d, log %d: counter taken from the log", m_Settings.m_BusInfo.recordcnt,
                  RecordCount(m_Log.m_DeviceData));
        m_Settings.m_BusInfo.recordcnt = RecordCount(m_Log.m_DeviceData);
    }
    SettleSealLedger(logCreated);
    RemovePhotoLeftovers(JpegDir());
    LoadUserInfo(users.c_str());
    if (m_LastLoad == FileStatus::Unreadable || m_LastLoad == FileStatus::Incomplete) {
        Protect(users, "it could not be read at start-up");
        m_Problems.push_back("The user file " + users + " cannot be read (" + LastStoreError() +
                             "). The users it could read are shown; the register cannot be changed.");
    }
    for (const std::string& p : m_Problems) DebugLine("%s", p.c_str());
}

void EMTaskData::SettleSealLedger(bool logCreated)
{
    m_SealOff.clear();
    const std::string ledger = SealLedgerPath();
    if (!ReadOnlyReason(MeasureLogPath()).empty()) {
        m_SealOff = "the test log is not written in this run";
        return;
    }
    struct stat st;
    const bool exists = lstat(ledger.c_str(), &st) == 0;
    if (exists && logCreated) {
        // The entries sealed a log that is gone: they are kept under another
        // name, and the new log gets a ledger of its own.
        std::string aside;
        if (!SetSealLedgerAside(ledger, aside)) {
            m_SealOff = "the seal ledger of an earlier test log could not be set aside (" + ErrorText(errno) +
                        ")";
            m_Problems.push_back("The seal ledger " + ledger +
                                 " belongs to an earlier test log and could not be "
                                 "moved aside (" +
                                 ErrorText(errno) + "). Tests are stored without a seal in this run.");
            return;
        }
        DebugLine("seal ledger of an earlier test log moved to %s", aside.c_str());
    }
    const int32_t count = RecordCount(m_Log.m_DeviceData);
    SealEntry last;
    if (!exists || logCreated) {
        // Records already in the log stay unsealed; sealing starts with the next.
        SealEntry start;
        start.flags = kSealStart;
        start.testno = count;
        if (!AppendSeal(ledger, start))
            m_SealOff = LastFileError();
        else if (count > 0)
            // An audit refuses unsealed records unless told how far to accept
            // them: whoever runs it must learn where sealing began.
            m_Problems.push_back("A seal ledger has been begun in " + ledger + ": the " +
                                 std::to_string(count) +
                                 " tests already in the test log are not sealed; sealing begins with test " +
                                 std::to_string(count + 1) +
                                 ". An audit accepts the earlier tests only when told "
                                 "to accept unsealed tests below " +
                                 std::to_string(count + 1) + ".");
    } else if (!S_ISREG(st.st_mode) || access(ledger.c_str(), R_OK | W_OK) != 0) {
        m_SealOff = S_ISREG(st.st_mode) ? ErrorText(errno) : ErrorText(kNotRegularFile);
    } else if (LastSealEntry(ledger, last) && last.testno == count - 1 && count > 0) {
        // A store stopped after the log was saved and before the ledger was:
        // only the newest record can be in that state.
        const TestRecord& rec = m_Log.m_DeviceData.m_TestData[count - 1];
        Digest photo;
        const bool hasPhoto = Sha256File(JpegDir() + "/" + PhotoFileName(rec), photo);
        // Said either way: a record sealed now is vouched for by this run,
        // not by the store that wrote it.
        if (SealRecord(count - 1, hasPhoto ? &photo : nullptr, kSealLate) == 1)
            m_Problems.push_back(
                "Test " + std::to_string(count) +
                " was stored by a run that stopped before sealing it. It has been sealed now "
                "and is marked as sealed late.");
        else
            m_Problems.push_back("Test " + std::to_string(count) +
                                 " was stored by a run that stopped before sealing it, and it could not be "
                                 "sealed now (" +
                                 LastStoreError() + ").");
    }
    if (!m_SealOff.empty()) {
        m_Problems.push_back("The seal ledger " + ledger + " cannot be written (" + m_SealOff +
                             "). Tests are stored without a seal in this run.");
    }
}

int EMTaskData::SealRecord(int32_t slot, const Digest* photo, uint32_t flags)
{
    if (!m_SealOff.empty()) {
        SetStoreError("the seal ledger is not written in this run: " + m_SealOff);
        return -1;
    }
    if (m_Log.m_ArchiveShown || slot < 0 || slot >= RecordCount(m_Log.m_DeviceData)) {
        SetStoreError("no record of the test log to seal");
        return -1;
    }
    SealEntry e;
    const TestRecord& rec = m_Log.m_DeviceData.m_TestData[slot];
    e.testno = slot + 1;
    e.flags = flags;
    e.record = RecordDigest(rec);
    // The instrument's own count from its last unit frame, when it sent one.
    const char* c = m_Settings.m_BusInfo.calcnt;
    if (std::isdigit((unsigned char)c[0]) && std::isdigit((unsigned char)c[1]) &&
        std::isdigit((unsigned char)c[2]) && std::isdigit((unsigned char)c[3]) && !c[4]) {
        e.flags |= kSealCount;
        e.count = uint32_t(std::atoi(c));
    }
    if (photo) {
        e.flags |= kSealPhoto;
        e.photo = *photo;
    }
    if (!AppendSeal(SealLedgerPath(), e)) {
        SetStoreError(LastFileError());
        return -1;
    }
    return 1;
}

int32_t EMTaskData::NextTestNo() const
{
    if (m_Log.m_ArchiveShown) return -1;
    int32_t cnt = m_Settings.m_BusInfo.recordcnt;
    if (cnt < 0 || cnt >= kMaxStoredCounter) return -1;
    // Never into a slot that already holds a record.
    if (cnt < RecordCount(m_Log.m_DeviceData)) cnt = RecordCount(m_Log.m_DeviceData);
    if (cnt >= kMaxStoredCounter) return -1;
    return cnt + 1;
}

int32_t EMTaskData::AppendRecord(const TestRecord& rec)
{
    int32_t no = NextTestNo();
    if (no < 0) {
        if (m_Log.m_ArchiveShown)
            DebugLine("an archive is shown: record not stored");
        else
            DebugLine("record counter %d: the test log is full, record not stored",
                      m_Settings.m_BusInfo.recordcnt);
        return -1;
    }
    int32_t slot = no - 1;
    m_Log.m_DeviceData.m_TestData[slot] = rec;
    m_Log.m_DeviceData.m_TestData[slot].testno = no;
    m_Settings.m_BusInfo.recordcnt = no;
    m_Log.m_DeviceData.datacnt = no;
    return slot;
}

void RemovePhotoLeftovers(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    // A photograph is written to "<name>.tmp" and renamed into place; a stop
    // in between leaves the temporary file, which no record names.
    static const char kTail[] = ".jpg.tmp";
    const size_t tail = sizeof kTail - 1;
    while (dirent* e = readdir(dir)) {
        const size_t n = std::strlen(e->d_name);
        if (n <= tail || strcasecmp(e->d_name + n - tail, kTail) != 0) continue;
        const std::string path = folder + "/" + e->d_name;
        struct stat st;
        if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && unlink(path.c_str()) == 0)
            DebugLine("removed %s: left by a photograph save that did not complete", path.c_str());
    }
    closedir(dir);
}

bool MakeDirectory(const std::string& path)
{
    if (path.empty()) return false;
    if (mkdir(path.c_str(), 0777) == 0) return true;
    if (errno == ENOENT) {
        size_t slash = path.rfind('/');
        if (slash == std::string::npos || slash == 0) return false;
        std::string parent = path.substr(0, slash);
        if (parent.size() > 4096) return false;
        if (!MakeDirectory(parent)) return false;
        if (mkdir(path.c_str(), 0777) == 0) return true;
    }
    if (errno == EEXIST) {
        struct stat st;
        return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    return false;
}

void WriteCsvLine(FILE* file, int index)
{
    if (!file || index < 0 || index >= kMaxRecords) return;
    EMTaskData* m = GetManager();
    std::string line = CsvLine(m->Search().Found().m_TestData[index], m->Settings().Get().dateorder);
    std::fwrite(line.data(), 1, line.size(), file);
}

void StampRecordTime(TestRecord& rec, const struct tm& lt)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04d", (lt.tm_year + 1900) % 10000);
    std::memcpy(rec.m_Tyy, buf, 5);
    auto two = [](char* field, int v) {
        v %= 100;
        field[0] = static_cast<char>('0' + v / 10);
        field[1] = static_cast<char>('0' + v % 10);
        field[2] = 0;
    };
    two(rec.m_Tmm, lt.tm_mon + 1);
    two(rec.m_Tdd, lt.tm_mday);
    two(rec.m_Thh, lt.tm_hour);
    two(rec.m_Tmi, lt.tm_min);
    two(rec.m_Tss, lt.tm_sec);
}

}  // namespace emtask
