#include "Instrument.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
bool Digits(const std::string& s, size_t n)
{
    if (s.size() != n) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}
}  // namespace

std::string CheckOptions(const InstrumentOptions& o)
{
    static const char* const kScenarios[] = {"normal",  "flow-retry", "calibration",
                                             "timeout", "sensor",     "silent"};
    bool known = false;
    for (const char* s : kScenarios) known |= o.scenario == s;
    if (!known) return "unknown scenario: " + o.scenario;
    if (o.unit != 'B' && o.unit != 'G' && o.unit != 'M') return "unit must be B, G or M";
    if (o.result.empty() || o.result.size() > 5) return "result must be 1 to 5 characters";
    if (!Digits(o.low, 3) || !Digits(o.high, 3)) return "levels must be three digits";
    if (!Digits(o.calcnt, 4)) return "calcnt must be four digits";
    if (o.paceMs < 0 || o.paceMs > 60000) return "pace must be 0 to 60000 ms";
    if (o.holdMs < 0 || o.holdMs > 60000) return "hold must be 0 to 60000 ms";
    return {};
}

// "$UN<unit>,L:<low>,H:<high>,C:<count>\n": the unit code at 3, the low level
// at 7-9, the high level at 13-15, the count at 19-22.
std::string Instrument::UnitFrame() const
{
    int count = std::atoi(m_Opt.calcnt.c_str()) + m_Count;
    char buf[64];
    std::snprintf(buf, sizeof buf, "$UN%c,L:%s,H:%s,C:%04d\n", m_Opt.unit, m_Opt.low.c_str(),
                  m_Opt.high.c_str(), count % 10000);
    return buf;
}

std::vector<std::string> Instrument::TestFrames() const
{
    // Result text at 8-12, left-aligned in five characters.
    char res[32];
    std::snprintf(res, sizeof res, "$RES,RT:%-5.5s,%c\n", m_Opt.result.c_str(), m_Opt.unit);
    const std::string& s = m_Opt.scenario;
    if (s == "flow-retry") return {"$WAI\n", "$STA\n", "$FLO\n", "$WAI\n", "$STA\n", "$BRE\n", res, "$END\n"};
    if (s == "calibration") return {"$CAL\n", "$END\n"};
    if (s == "timeout") return {"$WAI\n", "$STA\n", "$TIM\n", "$END\n"};
    if (s == "sensor") return {"$WAI\n", "$SEN\n", "$END\n"};
    if (s == "silent") return {};
    return {"$WAI\n", "$STA\n", "$BRE\n", res, "$END\n"};
}

void Instrument::Receive(const char* bytes, size_t n, int64_t nowMs)
{
    for (size_t i = 0; i < n; ++i) {
        char c = bytes[i];
        if (c == '$') m_Line.clear();
        if (c == '\n') {
            while (!m_Line.empty() && m_Line.back() == '\r') m_Line.pop_back();
            if (!m_Line.empty() && m_Line[0] == '$') Command(m_Line, nowMs);
            m_Line.clear();
        } else if (m_Line.size() < 256) {
            m_Line += c;
        }
    }
}

void Instrument::Command(const std::string& line, int64_t nowMs)
{
    m_Commands.push_back(line);
    if (m_Opt.scenario == "silent") return;
    if (line == "$RECALL") {
        m_Pending.push_back({nowMs, UnitFrame()});
    } else if (line == "$START") {
        if (TestRunning()) return;  // busy: a second start is ignored
        int64_t t = nowMs;
        bool afterResult = false;
        for (const std::string& f : TestFrames()) {
            // The result stays on the instrument's display a while before END.
            t += afterResult && f == "$END\n" ? std::max(m_Opt.paceMs, m_Opt.holdMs) : m_Opt.paceMs;
            m_Pending.push_back({t, f});
            afterResult = f.rfind("$RES", 0) == 0;
        }
        ++m_Count;
    } else if (line == "$RESET") {
        m_Pending.clear();  // a running test stops
        m_Pending.push_back({nowMs, "$RST\n"});
    } else if (line.rfind("$LEVEL, ", 0) == 0 && line.size() >= 13 && line[9] == '/') {
        std::string v = line.substr(10, 3);
        if (Digits(v, 3)) (line[8] == 'L' ? m_Opt.low : m_Opt.high) = v;
    }
}

std::vector<std::string> Instrument::Due(int64_t nowMs)
{
    std::vector<std::string> out;
    while (!m_Pending.empty() && m_Pending.front().due <= nowMs) {
        out.push_back(m_Pending.front().frame);
        m_Pending.pop_front();
    }
    return out;
}

int64_t Instrument::NextDueIn(int64_t nowMs) const
{
    if (m_Pending.empty()) return -1;
    int64_t d = m_Pending.front().due - nowMs;
    return d < 0 ? 0 : d;
}
