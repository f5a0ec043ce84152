// Until the main window exists, the program runs the store's start-up and
// reports what it found in its program folder.
#include "DebugLog.h"
#include "EMTaskData.h"
#include "ProgramFolder.h"
#include "TextUtil.h"

#include <cstdio>

int main(int argc, char** argv)
{
    emtask::InitProgramFolder(argc, argv);
    g_DebugLevel = 1;
    emtask::EMTaskData* m = emtask::GetManager();
    m->StartUp();
    const emtask::BusInfo& b = m->m_BusInfo;
    std::printf("program folder : %s\n", emtask::ProgramFolder().c_str());
    std::printf("records        : %d\n", emtask::RecordCount(m->m_DeviceData));
    std::printf("record counter : %d\n", b.recordcnt);
    std::printf("users          : %d\n", b.totaluser);
    std::printf("date order     : %d, rows per sheet %d\n", b.dateorder,
                emtask::RowsPerSheet(b.rowsindex));
    m->SaveSetting();
    return 0;
}
