// The instrument's behaviour, independent of the terminal it talks through:
// commands in, timed frames out.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct InstrumentOptions {
    std::string scenario = "normal";  // normal flow-retry calibration timeout sensor silent
    char unit = 'B';
    std::string result = "0.045";
    std::string low = "020";
    std::string high = "050";
    std::string calcnt = "0123";
    int paceMs = 700;
    // How long a result stays on the instrument before END (at least the pace).
    int holdMs = 5000;
};

// Checks the options; empty when they are sound, else the complaint.
std::string CheckOptions(const InstrumentOptions& o);

class Instrument {
public:
    explicit Instrument(const InstrumentOptions& o) : m_Opt(o) { }

    // Feeds bytes written by the application. Frames to send at once are
    // queued with due time `nowMs`; a test's frames follow at the pace.
    void Receive(const char* bytes, size_t n, int64_t nowMs);
    // Frames whose time has come, in order.
    std::vector<std::string> Due(int64_t nowMs);
    // Milliseconds until the next frame is due, -1 when none is pending.
    int64_t NextDueIn(int64_t nowMs) const;

    std::string UnitFrame() const;
    std::vector<std::string> TestFrames() const;
    bool TestRunning() const { return !m_Pending.empty(); }
    const std::vector<std::string>& Commands() const { return m_Commands; }

private:
    struct Timed {
        int64_t due;
        std::string frame;
    };
    void Command(const std::string& line, int64_t nowMs);
    InstrumentOptions m_Opt;
    std::string m_Line;
    std::deque<Timed> m_Pending;
    std::vector<std::string> m_Commands;
    int m_Count = 0;  // tests run, added to calcnt
};
