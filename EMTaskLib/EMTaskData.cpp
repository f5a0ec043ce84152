#include "EMTaskData.h"

#include "DebugLog.h"
#include "FileImage.h"
#include "ProgramFolder.h"
#include "TextUtil.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
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
    m_DisplayCnt = m_DeviceSearchTotalCnt = m_Connected = 0;
    m_DeviceKind = 0;
    ZeroRange(&m_DeviceData, sizeof m_DeviceData);
    ZeroRange(&m_SearchData, sizeof m_SearchData);
    std::memset(&m_SearchInfo, 0, sizeof m_SearchInfo);
    std::memset(&m_BusInfo, 0, sizeof m_BusInfo);
    ZeroRange(wp_BusUserInfo, sizeof wp_BusUserInfo);
    ZeroRange(&m_SearchWork, sizeof m_SearchWork);
    m_LogFile = FileState{};
    m_ArchiveShown = false;
    m_LogRecordCounter = 0;
}

void EMTaskData::BeginArchiveView()
{
    if (m_ArchiveShown) return;
    m_LogRecordCounter = m_BusInfo.recordcnt;
    m_ArchiveShown = true;
    m_LogFile.valid = false;
}

void EMTaskData::EndArchiveView(int32_t logCount)
{
    if (!m_ArchiveShown) return;
    m_ArchiveShown = false;
    m_BusInfo.recordcnt = m_LogRecordCounter < logCount ? logCount : m_LogRecordCounter;
    m_LogFile.valid = false;
}

uint64_t EMTaskData::LogFingerprint(int32_t count) const
{
    uint64_t h = 0xcbf29ce484222325ULL;
    if (count > 0) {
        h = Fnv1a(&m_DeviceData.m_TestData[0], sizeof(TestRecord), h);
        h = Fnv1a(&m_DeviceData.m_TestData[count - 1], sizeof(TestRecord), h);
    }
    return h;
}

void EMTaskData::NoteLogFile(const std::string& path)
{
    struct stat st;
    m_LogFile.valid = stat(path.c_str(), &st) == 0 && st.st_size == sizeof(DeviceData);
    if (!m_LogFile.valid) return;
    m_LogFile.path = path;
    m_LogFile.dev = st.st_dev;
    m_LogFile.ino = st.st_ino;
    m_LogFile.mtime = st.st_mtim;
    m_LogFile.count = RecordCount(m_DeviceData);
    m_LogFile.fingerprint = LogFingerprint(m_LogFile.count);
}

int EMTaskData::Load(const char* path)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    RecoverFile(path);
    int64_t n = ReadFileImage(path, &m_DeviceData, sizeof m_DeviceData);
    if (n < 0) {
        DebugPrint("Load(%s) open error\n", path);
        m_LogFile.valid = false;
        return -1;
    }
    NoteLogFile(path);
    return 1;
}

int EMTaskData::SaveResultData(const char* path)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_ArchiveShown) {
        // m_DeviceData holds an archive: written here it would replace the log.
        DebugPrint("SaveResultData(%s) refused: an archive is shown\n", path);
        return -1;
    }
    RecoverFile(path);
    // Records are only appended: when the file still holds what was last
    // loaded or saved here, only the header and the new slots change.
    const int32_t count = RecordCount(m_DeviceData);
    struct stat st;
    bool patch = m_LogFile.valid && m_LogFile.path == path && stat(path, &st) == 0 &&
                 st.st_dev == m_LogFile.dev && st.st_ino == m_LogFile.ino &&
                 st.st_size == sizeof(DeviceData) && st.st_mtim.tv_sec == m_LogFile.mtime.tv_sec &&
                 st.st_mtim.tv_nsec == m_LogFile.mtime.tv_nsec && count >= m_LogFile.count &&
                 count - m_LogFile.count <= 10000 &&
                 LogFingerprint(m_LogFile.count) == m_LogFile.fingerprint;
    bool ok;
    if (patch) {
        std::vector<Patch> patches;
        patches.push_back({0, &m_DeviceData, static_cast<uint32_t>(kDeviceDataHeaderSize)});
        if (count > m_LogFile.count)
            patches.push_back({kDeviceDataHeaderSize + uint64_t(m_LogFile.count) * sizeof(TestRecord),
                               &m_DeviceData.m_TestData[m_LogFile.count],
                               static_cast<uint32_t>((count - m_LogFile.count) * sizeof(TestRecord))});
        ok = PatchFile(path, patches);
    } else {
        ok = AtomicWriteFile(path, &m_DeviceData, sizeof m_DeviceData);
    }
    if (!ok) {
        m_LogFile.valid = false;
        DebugPrint("SaveResultData(%s) open error\n", path);
        return -1;
    }
    NoteLogFile(path);
    return 1;
}

int EMTaskData::LoadSetting(const char* path)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    RecoverFile(path);
    if (ReadFileImage(path, &m_BusInfo, sizeof m_BusInfo) < 0) {
        DebugPrint("Load(%s) open error\n", path);
        return -1;
    }
    return 1;
}

int EMTaskData::SaveSetting(const char* path)
{
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        BusInfo image = m_BusInfo;
        if (m_ArchiveShown) image.recordcnt = m_LogRecordCounter;  // never an archive's count
        if (!AtomicWriteFile(path, &image, sizeof image)) {
            DebugPrint("SaveSetting(%s) open error\n", path);
            return -1;
        }
    }
    DebugLine("savesetting %s", path);
    return 1;
}

int EMTaskData::LoadUserInfo(const char* path)
{
    int64_t n;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        RecoverFile(path);
        n = ReadFileImage(path, wp_BusUserInfo, sizeof wp_BusUserInfo);
    }
    if (n < 0) DebugPrint("LoadUserInfo(%s) open error\n", path);
    int32_t total = 0;
    for (const BusUserInfo& u : wp_BusUserInfo)
        if (u.uid > 0) ++total;
    m_BusInfo.totaluser = total;
    return n < 0 ? -1 : 1;
}

int EMTaskData::SaveUserInfo(const char* path)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (!AtomicWriteFile(path, wp_BusUserInfo, sizeof wp_BusUserInfo)) {
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

    MakeDirectory(conf);
    LoadSetting(config.c_str());
    std::memset(m_BusInfo.reserved2884, 0, sizeof m_BusInfo.reserved2884);

    const std::string users = UserInfoPath();
    MakeDirectory(data);
    const std::string log = MeasureLogPath();

    Load(log.c_str());

    if (m_BusInfo.initflag != kInitFlag) {
        DebugLine("");
        // A counter taken from a hostile log stays within the slots.
        InitBusInfo(m_BusInfo, RecordCount(m_DeviceData));
        SaveSetting(config.c_str());
    }
    if (m_DeviceData.initflag != kInitFlag) {
        DebugLine("GetManager()->GetDeviceData()->initflag != 0xAEAE");
        m_DeviceData.initflag = kInitFlag;
        m_BusInfo.recordcnt = 0;
        SaveSetting(config.c_str());
        SaveResultData(log.c_str());
    }
    // A counter outside the slots (a file from elsewhere) would index out of
    // the log, and one behind the log (a stop between the log's save and the
    // settings' save) would make the next test overwrite a stored record:
    // take it from the log in both cases.
    if (m_BusInfo.recordcnt < 0 || m_BusInfo.recordcnt > kMaxRecords ||
        m_BusInfo.recordcnt < RecordCount(m_DeviceData)) {
        DebugLine("record counter %d, log %d: counter taken from the log", m_BusInfo.recordcnt,
                  RecordCount(m_DeviceData));
        m_BusInfo.recordcnt = RecordCount(m_DeviceData);
    }
    LoadUserInfo(users.c_str());
}

int32_t EMTaskData::NextTestNo() const
{
    if (m_ArchiveShown) return -1;
    int32_t cnt = m_BusInfo.recordcnt;
    if (cnt < 0 || cnt >= kMaxStoredCounter) return -1;
    // Never into a slot that already holds a record.
    if (cnt < RecordCount(m_DeviceData)) cnt = RecordCount(m_DeviceData);
    if (cnt >= kMaxStoredCounter) return -1;
    return cnt + 1;
}

int32_t EMTaskData::AppendRecord(const TestRecord& rec)
{
    int32_t no = NextTestNo();
    if (no < 0) {
        if (m_ArchiveShown)
            DebugLine("an archive is shown: record not stored");
        else
            DebugLine("record counter %d: the test log is full, record not stored",
                      m_BusInfo.recordcnt);
        return -1;
    }
    int32_t slot = no - 1;
    m_DeviceData.m_TestData[slot] = rec;
    m_DeviceData.m_TestData[slot].testno = no;
    m_BusInfo.recordcnt = no;
    m_DeviceData.datacnt = no;
    return slot;
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
    std::string line = CsvLine(m->m_SearchData.m_TestData[index], m->m_BusInfo.dateorder);
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
