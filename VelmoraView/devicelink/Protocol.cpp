#include "devicelink/DeviceLink.h"

#include "DebugLog.h"
#include "StoreParts.h"
#include "devicelink/DLSerial.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr int kMaxFrame = 128;
constexpr int kResultChars = 5;

struct FrameEvent {
    const char* pid;
    DeviceEvent event;
};

// Frames forwarded to the test window, in the order they are tested.
constexpr FrameEvent kEvents[] = {
    {"CAL", DeviceEvent::Calibration}, {"TIM", DeviceEvent::Timeout}, {"WAI", DeviceEvent::Wait},
    {"STA", DeviceEvent::Sta},         {"FLO", DeviceEvent::Flo},     {"BRE", DeviceEvent::Bre},
    {"RES", DeviceEvent::Res},         {"SEN", DeviceEvent::Sen},     {"M05", DeviceEvent::M05},
    {"M07", DeviceEvent::M07},         {"M08", DeviceEvent::M08},     {"M10", DeviceEvent::M10},
    {"M11", DeviceEvent::M11},         {"M12", DeviceEvent::M12},
};

void Queue(CDLSerial& port, const char* bytes, int length)
{
    DebugPrint("#### SEND ####");
    DebugPrint("\n");
    DebugHexa(bytes, length);
    DebugPrint("#### SEND OK ####");
    DebugPrint("\n");
    if (port.IsOpen() && port.Handle() >= 0) port.PushTxQueue(bytes, length);
}

// "$LEVEL, X/ddd\r\n": always 15 bytes. A level shorter than three characters
// leaves NUL bytes at the end, as the instrument expects a fixed length.
void SendLevel(CDLSerial& port, char which, const char* field, size_t fieldSize)
{
    char level[4] = {};
    for (size_t i = 0; i < 3 && i < fieldSize && field[i]; ++i) level[i] = field[i];
    char text[32] = {};
    std::snprintf(text, sizeof text, "$LEVEL, %c/%s\r\n", which, level);
    DebugLine("w_CmdValue : %s", text);
    Queue(port, text, 15);
}

// The five result characters at `at`; trailing NUL bytes (a short frame)
// are left out and come back as padding when stored.
QString ResultText(const unsigned char* at)
{
    int n = kResultChars;
    while (n > 0 && at[n - 1] == 0) --n;
    return QString::fromLatin1(reinterpret_cast<const char*>(at), n);
}
}  // namespace

DeviceLink::DeviceLink(CDLSerial& port, emtask::SettingsBlock& settings, QObject* parent)
    : QObject(parent),
      m_Port(port),
      m_Settings(settings)
{
    qRegisterMetaType<UnitFrame>();
    qRegisterMetaType<DeviceEvent>();
}

DeviceLink::~DeviceLink()
{
    DeviceLink* self = this;
    m_Port.m_Link.compare_exchange_strong(self, nullptr);
}

void DeviceLink::Send(DeviceCommand command)
{
    const emtask::BusInfo& bus = m_Settings.Get();
    switch (command) {
    case DeviceCommand::Start: Queue(m_Port, "$START\r\n", 8); break;
    case DeviceCommand::Reset:
        emit measureDisabled();
        Queue(m_Port, "$RESET\r\n", 8);
        break;
    case DeviceCommand::Recall:
        m_Settings.Change([](emtask::BusInfo& b) { b.unitcode[0] = 0; });
        Queue(m_Port, "$RECALL\r\n", 9);
        break;
    case DeviceCommand::LevelLow:
        emit measureDisabled();
        Send(DeviceCommand::LevelHigh);
        SendLevel(m_Port, 'L', bus.lowlevel, sizeof bus.lowlevel);
        break;
    case DeviceCommand::LevelHigh:
        Send(DeviceCommand::Recall);
        SendLevel(m_Port, 'H', bus.highlevel, sizeof bus.highlevel);
        break;
    }
}

int DeviceLink::Frame(const unsigned char* frame, int length)
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

    if (!m_Answered.exchange(true)) emit answered();
    if (m_ResetPending.exchange(false)) {
        DebugLine("login ==1 before send pid reset");
        // The main window clears login in the settings block and sends $RESET.
        emit resetSwallowedFrame();
        return 0;
    }

    if (std::strcmp(pid, "END") == 0) {
        if (m_Following) {
            DebugLine("pid_end");
            emit testEvent(DeviceEvent::End, QString());
        }
        // The unit code is looked at on the window thread, which owns it.
        emit ended();
        return 1;
    }

    if (pid[0] == 'U') {
        UnitFrame unit;
        unit.unit = static_cast<char>(f[3]);
        std::memcpy(unit.low, f + 7, 3);
        std::memcpy(unit.high, f + 13, 3);
        std::memcpy(unit.calcnt, f + 19, 4);
        emit unitReported(unit);
        return 1;
    }

    for (const FrameEvent& e : kEvents) {
        if (std::strcmp(pid, e.pid) != 0) continue;
        // Test progress means nothing while no test window is open.
        if (!m_Following) return 0;
        if (e.event == DeviceEvent::Calibration) DebugLine("pid_calibration");
        if (e.event == DeviceEvent::Timeout) DebugLine("pid_timeout");
        if (e.event == DeviceEvent::Wait) DebugLine("pid_wait");
        // RES carries its result text (positions 8-12) to the test window.
        emit testEvent(e.event, e.event == DeviceEvent::Res ? ResultText(f + 8) : QString());
        return 1;
    }
    return 0;
}

void RecvData(CDLSerial* port, const unsigned char* frame, int length)
{
    if (DeviceLink* link = port->m_Link.load()) link->Frame(frame, length);
}

void PortGone(CDLSerial* port)
{
    if (DeviceLink* link = port->m_Link.load()) emit link->portGone();
}

void DeviceLink::Begin(bool resetPending)
{
    m_ResetPending = resetPending;
    m_Answered = false;
    m_Port.m_Link = this;
    m_Port.m_GoneHandler = &PortGone;
}

void DeviceLink::SetResetPending()
{
    m_Settings.Change([](emtask::BusInfo& b) { b.login = 1; });
    m_ResetPending = true;
}

void DeviceLink::EndFollowedTest()
{
    if (m_Following) emit testEvent(DeviceEvent::End, QString());
}

void StoreUnitFrame(emtask::SettingsBlock& settings, const UnitFrame& unit)
{
    settings.Change([&unit](emtask::BusInfo& bus) {
        bus.unitcode[0] = unit.unit;
        bus.unitcode[1] = 0;
        std::memcpy(bus.lowlevel, unit.low, 3);
        bus.lowlevel[3] = 0;
        std::memcpy(bus.highlevel, unit.high, 3);
        bus.highlevel[3] = 0;
        std::memcpy(bus.calcnt, unit.calcnt, 4);
        bus.calcnt[4] = 0;
    });
    const emtask::BusInfo& bus = settings.Get();
    DebugLine("unit : %s, low : %s, high : %s, calcnt : %s", bus.unitcode, bus.lowlevel, bus.highlevel,
              bus.calcnt);
}

bool DeviceLink::AfterEnd()
{
    if (m_Settings.Get().unitcode[0] == 0) {
        Send(DeviceCommand::Recall);
        return false;
    }
    DebugPrint("[%s:%d]before g_pMainWnd->PostMessage", EMT_SRC,
               __LINE__);  // this line has no space after "]"
    DebugPrint("\n");
    return true;
}

void StoreResultText(emtask::SettingsBlock& settings, const QString& result)
{
    const QByteArray bytes = result.toLatin1().left(kResultChars);
    settings.Change([&bytes](emtask::BusInfo& bus) {
        std::memset(bus.lastresult, 0, kResultChars);
        std::memcpy(bus.lastresult, bytes.constData(), static_cast<size_t>(bytes.size()));
        bus.lastresult[5] = 0;
    });
}
