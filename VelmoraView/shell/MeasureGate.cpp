#include "shell/MeasureGate.h"

#include <QCoreApplication>

bool MeasureGate::Start(uint32_t nowMs)
{
    if (m_Pending) return false;
    m_Pending = true;
    m_Start = nowMs;
    return true;
}

MeasureGate::Verdict MeasureGate::Look(uint32_t nowMs, bool unitKnown)
{
    if (!m_Pending) return Verdict::Idle;
    if (unitKnown) {
        m_Pending = false;
        return Verdict::Open;
    }
    // Differences, not absolute values: the tick may wrap.
    if (nowMs - m_Start >= kLooks * kLookMs) {
        m_Pending = false;
        return Verdict::GiveUp;
    }
    return Verdict::Wait;
}

QString LinkStateText(LinkState state, const QString& path, bool anyPort)
{
    switch (state) {
    case LinkState::Connected: return QCoreApplication::translate("MeasureGate", "Connected to %1").arg(path);
    case LinkState::Waiting: return QCoreApplication::translate("MeasureGate", "Waiting for the instrument…");
    case LinkState::Disconnected: break;
    }
    return anyPort ? QCoreApplication::translate("MeasureGate",
                                                 "Not connected: choose the port and press Connect.")
                   : QCoreApplication::translate("MeasureGate", "Not connected: no port found.");
}
