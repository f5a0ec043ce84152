// The raw images behind the store's parts, for tests, benchmarks and the
// screenshot tool: they build states no operation makes (a hostile record
// count, a million records at once, a damaged slot). It lives beside the
// tests, out of the program's include path: the program works through the
// parts' operations.
#pragma once

#include "EMTaskData.h"

namespace emtask {

struct StoreImage {
    static DeviceData& Log(EMTaskData& s) { return s.m_Log.m_DeviceData; }
    static DeviceData& Found(EMTaskData& s) { return s.m_Search.m_SearchData; }
    static DeviceData& Work(EMTaskData& s) { return s.m_Search.m_SearchWork; }
    static SearchInfo& Criteria(EMTaskData& s) { return s.m_Search.m_SearchInfo; }
    static int32_t& Total(EMTaskData& s) { return s.m_Search.m_DeviceSearchTotalCnt; }
    static BusInfo& Settings(EMTaskData& s) { return s.m_Settings.m_BusInfo; }
    static BusUserInfo* Users(EMTaskData& s) { return s.m_Users.wp_BusUserInfo; }
    static uint32_t& Kind(EMTaskData& s) { return s.m_DeviceKind; }
    // After the log's image was written here: the next save writes it whole.
    static void ForgetFile(EMTaskData& s) { s.m_Log.m_LogFile.valid = false; }
};

}  // namespace emtask
