#include "devicelink/Protocol.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "devicelink/DLSerial.h"
#include "messaging/Messages.h"
#include "messaging/PostMessage.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {
constexpr int kMaxFrame = 128;

// Read thread and window thread: a reset is pending (login); the link has
// answered since it opened.
std::atomic<bool> g_ResetPending{false};
std::atomic<bool> g_LinkAnswered{false};

// Up to eight bytes of a frame in one message parameter.
intptr_t Pack(const unsigned char* bytes, size_t n)
{
    uint64_t v = 0;
    std::memcpy(&v, bytes, n);
    return static_cast<intptr_t>(v);
}
void Unpack(intptr_t packed, char* out, size_t n)
{
    const uint64_t v = static_cast<uint64_t>(packed);
    std::memcpy(out, &v, n);
}

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

    if (!g_LinkAnswered.exchange(true)) PostCommand(Wnd::Main, msg::MAIN_LINK_ANSWER);
    if (g_ResetPending.exchange(false)) {
        DebugLine("login ==1 before send pid reset");
        // The main window clears login in the settings block and sends $RESET.
        PostCommand(Wnd::Main, msg::MAIN_SEND_RESET);
        return 0;
    }

    if (std::strcmp(pid, "END") == 0) {
        if (WindowExists(Wnd::Capture)) {
            DebugLine("pid_end");
            PostMessage(Wnd::Capture, msg::MSG_DEVICE_EVENT, msg::PID_END);
        }
        // The unit code is looked at on the window thread, which owns it.
        PostCommand(Wnd::Main, msg::MAIN_DEVICE_END);
        return 1;
    }

    if (pid[0] == 'U') {
        // Unit code (3), low (7-9), high (13-15), calcnt (19-22).
        unsigned char first[8] = {f[3], f[7], f[8], f[9], f[13], f[14], f[15], 0};
        PostMessage(Wnd::Main, msg::MSG_DEVICE_UNIT, Pack(first, 7), Pack(f + 19, 4));
        return 1;
    }

    for (const FrameEvent& e : kEvents) {
        if (std::strcmp(pid, e.pid) != 0) continue;
        // Test progress means nothing while no test window is open.
        if (!WindowExists(Wnd::Capture)) return 0;
        if (e.code == msg::PID_CALIBRATION) DebugLine("pid_calibration");
        if (e.code == msg::PID_TIMEOUT) DebugLine("pid_timeout");
        if (e.code == msg::PID_WAIT) DebugLine("pid_wait");
        // RES carries its result text (positions 8-12) to the test window.
        const intptr_t result = e.code == msg::PID_RES ? PackResult(reinterpret_cast<const char*>(f + 8)) : 0;
        PostMessage(Wnd::Capture, msg::MSG_DEVICE_EVENT, e.code, result);
        return 1;
    }
    return 0;
}

void RecvData(CDLSerial* port, const unsigned char* frame, int length)
{
    RecvFrame(port, frame, length);
}

void PortGone(CDLSerial*) { PostCommand(Wnd::Main, msg::MAIN_PORT_GONE); }

void BeginLink(bool resetPending)
{
    g_ResetPending = resetPending;
    g_LinkAnswered = false;
}

void SetResetPending()
{
    emtask::GetManager()->m_BusInfo.login = 1;
    g_ResetPending = true;
}

void ApplyUnitFrame(intptr_t wparam, intptr_t lparam)
{
    char first[7];
    Unpack(wparam, first, sizeof first);
    emtask::BusInfo& bus = emtask::GetManager()->m_BusInfo;
    bus.unitcode[0] = first[0];
    bus.unitcode[1] = 0;
    std::memcpy(bus.lowlevel, first + 1, 3);
    bus.lowlevel[3] = 0;
    std::memcpy(bus.highlevel, first + 4, 3);
    bus.highlevel[3] = 0;
    Unpack(lparam, bus.calcnt, 4);
    bus.calcnt[4] = 0;
    DebugLine("unit : %s, low : %s, high : %s, calcnt : %s", bus.unitcode, bus.lowlevel, bus.highlevel,
              bus.calcnt);
}

bool ApplyDeviceEnd()
{
    if (emtask::GetManager()->m_BusInfo.unitcode[0] == 0) {
        SendCommand(msg::PID_RECALL);
        return false;
    }
    DebugPrint("[%s:%d]before g_pMainWnd->PostMessage", EMT_SRC, __LINE__);  // this line has no space after "]"
    DebugPrint("\n");
    return true;
}

intptr_t PackResult(const char* five) { return Pack(reinterpret_cast<const unsigned char*>(five), 5); }

std::string ResultText(intptr_t lparam)
{
    char text[6] = {};
    Unpack(lparam, text, 5);
    return std::string(text);
}

void ApplyResultText(intptr_t lparam)
{
    emtask::BusInfo& bus = emtask::GetManager()->m_BusInfo;
    Unpack(lparam, bus.lastresult, 5);
    bus.lastresult[5] = 0;
}
