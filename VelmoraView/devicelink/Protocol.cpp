#include "devicelink/Protocol.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "devicelink/DLSerial.h"
#include "messaging/Messages.h"
#include "messaging/PostMessage.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr int kMaxFrame = 128;

struct FrameEvent {
    const char* pid;
    int code;
};

// Frames forwarded to the test window, in the order they are tested.
constexpr FrameEvent kEvents[] = {
    {"CAL", msg::PID_CALIBRATION}, {"TIM", msg::PID_TIMEOUT}, {"WAI", msg::PID_WAIT},
    {"STA", msg::PID_STA},         {"FLO", msg::PID_FLO},     {"BRE", msg::PID_BRE},
    {"RES", msg::PID_RES},         {"SEN", msg::PID_SEN},     {"M05", msg::PID_M05},
    {"M07", msg::PID_M07},         {"M08", msg::PID_M08},     {"M10", msg::PID_M10},
    {"M11", msg::PID_M11},         {"M12", msg::PID_M12},
};

void Queue(const char* bytes, int length)
{
    DebugPrint("#### SEND ####");
    DebugPrint("\n");
    DebugHexa(bytes, length);
    DebugPrint("#### SEND OK ####");
    DebugPrint("\n");
    CDLSerial& port = GetSerial();
    if (port.IsOpen() && port.Handle() >= 0) port.PushTxQueue(bytes, length);
}

// "$LEVEL, X/ddd\r\n": always 15 bytes. A level shorter than three characters
// leaves NUL bytes at the end, as the instrument expects a fixed length.
void SendLevel(char which, const char* field, size_t fieldSize)
{
    char level[4] = {};
    for (size_t i = 0; i < 3 && i < fieldSize && field[i]; ++i) level[i] = field[i];
    char text[32] = {};
    std::snprintf(text, sizeof text, "$LEVEL, %c/%s\r\n", which, level);
    DebugLine("w_CmdValue : %s", text);
    Queue(text, 15);
}
}  // namespace

void SendCommand(int code)
{
    emtask::BusInfo& bus = emtask::GetManager()->m_BusInfo;
    switch (code) {
    case msg::PID_START:
        Queue("$START\r\n", 8);
        break;
    case msg::PID_RESET:
        PostCommand(Wnd::Main, msg::MAIN_MEASURE_DISABLE);
        Queue("$RESET\r\n", 8);
        break;
    case msg::PID_RECALL:
        bus.unitcode[0] = 0;
        Queue("$RECALL\r\n", 9);
        break;
    case msg::PID_LEVEL_LOW:
        PostCommand(Wnd::Main, msg::MAIN_MEASURE_DISABLE);
        SendCommand(msg::PID_LEVEL_HIGH);
        SendLevel('L', bus.lowlevel, sizeof bus.lowlevel);
        break;
    case msg::PID_LEVEL_HIGH:
        SendCommand(msg::PID_RECALL);
        SendLevel('H', bus.highlevel, sizeof bus.highlevel);
        break;
    default:
        break;
    }
}

int RecvFrame(CDLSerial*, const unsigned char* frame, int length)
{
    if (length > kMaxFrame) return 0;
    if (length < 1 || !frame || frame[0] != '$' || frame[length - 1] != '\n') {
        DebugPrint("SERIAL DATA Error ================\n");
        return 0;
    }
    // Positions past the end of a short frame read as NUL.
    unsigned char f[kMaxFrame + 1] = {};
    std::memcpy(f, frame, static_cast<size_t>(length));
    char pid[4] = {static_cast<char>(f[1]), static_cast<char>(f[2]), static_cast<char>(f[3]), 0};

    DebugLine("w_CmdPID:%s RecvData START==============", pid);
    DebugHexa(frame, length);
    DebugLine("RecvData END================");

    emtask::BusInfo& bus = emtask::GetManager()->m_BusInfo;
    if (bus.login == 1) {
        DebugLine("login ==1 before send pid reset");
        PostCommand(Wnd::Main, msg::MAIN_SEND_RESET);
        bus.login = 0;
        return 0;
    }

    if (std::strcmp(pid, "END") == 0) {
        if (WindowExists(Wnd::Capture)) {
            DebugLine("pid_end");
            PostMessage(Wnd::Capture, msg::MSG_DEVICE_EVENT, msg::PID_END);
        }
        if (bus.unitcode[0] == 0) {
            SendCommand(msg::PID_RECALL);
        } else {
            DebugPrint("[%s:%d]before g_pMainWnd->PostMessage", EMT_SRC, __LINE__);  // this line has no space after "]"
            DebugPrint("\n");
            PostCommand(Wnd::Main, msg::MAIN_INFO_DISP);
        }
        return 1;
    }

    if (pid[0] == 'U') {
        bus.unitcode[0] = static_cast<char>(f[3]);
        bus.unitcode[1] = 0;
        std::memcpy(bus.lowlevel, f + 7, 3);
        bus.lowlevel[3] = 0;
        std::memcpy(bus.highlevel, f + 13, 3);
        bus.highlevel[3] = 0;
        std::memcpy(bus.calcnt, f + 19, 4);
        bus.calcnt[4] = 0;
        DebugLine("unit : %s, low : %s, high : %s, calcnt : %s", bus.unitcode, bus.lowlevel,
                  bus.highlevel, bus.calcnt);
        return 1;
    }

    for (const FrameEvent& e : kEvents) {
        if (std::strcmp(pid, e.pid) != 0) continue;
        // Test progress means nothing while no test window is open.
        if (!WindowExists(Wnd::Capture)) return 0;
        if (e.code == msg::PID_CALIBRATION) DebugLine("pid_calibration");
        if (e.code == msg::PID_TIMEOUT) DebugLine("pid_timeout");
        if (e.code == msg::PID_WAIT) DebugLine("pid_wait");
        intptr_t result = 0;
        if (e.code == msg::PID_RES) {
            std::memcpy(bus.lastresult, f + 8, 5);
            bus.lastresult[5] = 0;
            result = msg::PackResult(bus.lastresult);
        }
        PostMessage(Wnd::Capture, msg::MSG_DEVICE_EVENT, e.code, result);
        return 1;
    }
    return 0;
}

void RecvData(CDLSerial* port, const unsigned char* frame, int length)
{
    RecvFrame(port, frame, length);
}
