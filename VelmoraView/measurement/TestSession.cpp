#include "measurement/TestSession.h"

#include "DebugLog.h"

#include <algorithm>

namespace measurement {

namespace {
// Not earlier than `due`, across the 32-bit wrap.
bool Reached(uint32_t now, uint32_t due) { return static_cast<int32_t>(now - due) >= 0; }
}  // namespace

TestSession::TestSession(Hooks& hooks, uint32_t photoWaitMs) : m_Hooks(hooks), m_PhotoWaitMs(photoWaitMs) { }

void TestSession::ShowStep(int step)
{
    m_Step = step;
    m_Hooks.ShowStep(step);
    if (step == 10 || step == 12) SetCloseEnabled(true);
    DebugLine("step : %d", step);
}

void TestSession::SetCloseEnabled(bool enabled)
{
    m_CloseEnabled = enabled;
    m_Hooks.SetCloseEnabled(enabled);
}

void TestSession::Event(DeviceEvent event, const std::string& result, uint32_t nowMs)
{
    if (m_Closed) return;
    m_NowMs = nowMs;
    m_LastFrameMs = nowMs;
    if (Storing()) {
        // The result is being stored: later events follow it, in order.
        m_Deferred.push_back({event, result});
        return;
    }
    Handle({event, result});
}

void TestSession::Handle(const Pending& p)
{
    if (!p.event) {
        DoClose(true);
        return;
    }
    switch (*p.event) {
    case DeviceEvent::Wait:
        if (m_FlowError) m_Hooks.RestartCamera();
        DebugLine("pid_wait");
        m_Hooks.MakeTopmost();
        ShowStep(1);
        break;
    case DeviceEvent::Calibration:
        if (m_FlowError) m_Hooks.RestartCamera();
        DebugLine("pid_calibration");
        m_Hooks.MakeTopmost();
        m_Notice = kRecalibrationNotice;
        ShowStep(0);
        break;
    case DeviceEvent::Sta:
        ShowStep(2);
        if (m_FlowError) m_Hooks.RestartCamera();
        break;
    case DeviceEvent::Bre:
        SetCloseEnabled(false);
        m_AfterBre = true;
        DebugLine("m_CaptureImage true");
        m_Hooks.RequestPhoto();
        break;
    case DeviceEvent::M05: ShowStep(5); break;
    case DeviceEvent::Res:
        m_FlowError = false;
        m_Hooks.TakeResult(p.result);
        ShowStep(m_Hooks.ResultIsAlert() ? 4 : 3);
        DebugLine("before FlowDataSave");
        BeginWait(Wait::Result, m_NowMs);
        break;
    case DeviceEvent::Flo:
        DebugLine("m_CaptureImage true");
        m_Hooks.RequestPhoto();
        ShowStep(10);
        m_FlowError = true;
        BeginWait(Wait::Flow, m_NowMs);
        break;
    case DeviceEvent::Sen: ShowStep(12); break;
    case DeviceEvent::Timeout: ShowStep(16); break;
    case DeviceEvent::End: DoClose(false); break;  // no command to the instrument
    default: break;                                // M07, M08, M10 to M12 and anything else: no effect
    }
}

void TestSession::BeginWait(Wait kind, uint32_t nowMs)
{
    m_Waiting = kind;
    m_Waits = 0;
    Look(nowMs);
}

// One look for the photograph; between looks the window goes on drawing and
// events wait their turn.
void TestSession::Look(uint32_t nowMs)
{
    if (m_Hooks.PhotoKept()) {
        StoreNow();
        return;
    }
    const int limit = m_Waiting == Wait::Result ? kAllWaits : kFirstWaits;
    if (m_Waits == kFirstWaits && m_Waiting == Wait::Result) {
        DebugLine("limcnt > 10");
        m_Hooks.RequestPhoto();
    }
    if (m_Waits >= limit) {
        StoreNow();
        return;
    }
    ++m_Waits;
    m_NextLookMs = nowMs + m_PhotoWaitMs;
}

void TestSession::StoreNow()
{
    const Wait kind = m_Waiting;
    if (kind == Wait::Flow) DebugLine("before flowdatasave");
    const bool measured = !m_FlowError;
    m_Hooks.Store(m_FlowError);
    // END came in while the photograph was awaited: it saw the unit code
    // before the store cleared it and asked for nothing.
    if (measured && std::any_of(m_Deferred.begin(), m_Deferred.end(),
                                [](const Pending& p) { return p.event == DeviceEvent::End; })) {
        DebugLine("END before the result was stored: PID_RECALL");
        m_Hooks.AskForUnit();
    }
    m_Waiting = Wait::None;
    if (kind == Wait::Result) {
        SetCloseEnabled(true);
        DebugLine("PID_RECALL");
    }
    RunDeferred();
}

void TestSession::RunDeferred()
{
    while (!m_Deferred.empty() && !Storing() && !m_Closed) {
        const Pending p = m_Deferred.front();
        m_Deferred.pop_front();
        Handle(p);
    }
}

void TestSession::CloseButton(uint32_t nowMs)
{
    if (m_Closed) return;
    m_NowMs = nowMs;
    if (Storing()) {
        m_Deferred.push_back({std::nullopt, {}});
        return;
    }
    DoClose(true);
}

void TestSession::DoClose(bool byButton)
{
    if (byButton) DebugLine("CAP_EXIT_BTN");
    m_Closed = true;
    m_Waiting = Wait::None;
    m_Deferred.clear();
    m_Hooks.Close(byButton);
    m_FlowError = false;
}

void TestSession::Tick(uint32_t nowMs)
{
    if (m_Closed) return;
    m_NowMs = nowMs;
    if (Storing()) {
        if (Reached(nowMs, m_NextLookMs)) Look(nowMs);
        return;
    }
    if (m_AfterBre && !m_CloseEnabled && Reached(nowMs, m_LastFrameMs + kSilenceMs)) {
        DebugLine("no frame for %u ms: close enabled", static_cast<unsigned>(kSilenceMs));
        SetCloseEnabled(true);
    }
}

int64_t TestSession::NextTickIn(uint32_t nowMs) const
{
    if (m_Closed) return -1;
    auto until = [nowMs](uint32_t due) -> int64_t {
        const int32_t d = static_cast<int32_t>(due - nowMs);
        return d > 0 ? d : 0;
    };
    if (Storing()) return until(m_NextLookMs);
    if (m_AfterBre && !m_CloseEnabled) return until(m_LastFrameMs + kSilenceMs);
    return -1;
}

}  // namespace measurement
