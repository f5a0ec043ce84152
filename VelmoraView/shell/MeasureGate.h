// Window-free logic of the main window's link: the wait for the instrument's
// unit code after Measure, and the state the link is in.
#pragma once

#include <QString>
#include <cstdint>

// After Measure the unit code is looked at up to 11 times, 100 ms apart; a
// unit arriving during the last wait still counts. Time comes in as an
// argument (milliseconds of any steady clock).
class MeasureGate {
public:
    static constexpr uint32_t kLookMs = 100;
    static constexpr int kLooks = 11;
    enum class Verdict { Idle, Wait, Open, GiveUp };

    // False (nothing changes) when already waiting.
    bool Start(uint32_t nowMs);
    // One look: Open once the unit is known, GiveUp when it was not known
    // within the 11 waits, Wait otherwise; Idle when not waiting.
    Verdict Look(uint32_t nowMs, bool unitKnown);
    void Cancel() { m_Pending = false; }
    bool Pending() const { return m_Pending; }

private:
    bool m_Pending = false;
    uint32_t m_Start = 0;
};

// Disconnected; port open but nothing heard from the instrument yet; the
// instrument has answered.
enum class LinkState { Disconnected, Waiting, Connected };

// The line under the port list. `path` is the open port, `anyPort` whether
// the list holds a port.
QString LinkStateText(LinkState state, const QString& path, bool anyPort);
