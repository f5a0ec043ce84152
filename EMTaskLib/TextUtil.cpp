#include "TextUtil.h"

#include "EMTaskStruct.h"

#include <cstdarg>
#include <cstring>

namespace emtask {

std::string FieldText(const char* field, size_t width)
{
    return std::string(field, strnlen(field, width));
}

size_t Utf8Fit(const std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes) return text.size();
    size_t n = maxBytes;
    // Step back over continuation bytes so that no character is cut.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}

size_t CopyField(char* field, size_t width, const std::string& text)
{
    if (width == 0) return 0;
    size_t n = Utf8Fit(text.substr(0, text.find('\0')), width - 1);
    std::memcpy(field, text.data(), n);
    field[n] = 0;
    return n;
}

int DigitsValue(const char* field, size_t width)
{
    int v = 0;
    for (size_t i = 0; i < width && field[i] >= '0' && field[i] <= '9'; ++i) {
        if (v > 100000000) break;  // fields are at most four digits; stay in range
        v = v * 10 + (field[i] - '0');
    }
    return v;
}

const char* MonthName(int month)
{
    static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return (month >= 1 && month <= 12) ? names[month - 1] : "";
}

const char* UnitText(const char* unit, size_t width)
{
    size_t len = strnlen(unit, width);
    if (len == 1) {
        switch (unit[0]) {
        case 'B': return "%BAC";
        case 'G': return "g/L";
        case 'M': return "mg/L";
        default: break;
        }
    }
    return "-";
}

namespace {
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...)
{
    char buf[256];
    va_list ap;
    va_start(ap, fmt);
    int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0) return {};
    return std::string(buf, static_cast<size_t>(n) < sizeof buf ? n : sizeof buf - 1);
}

// Appends "%.*s" of a field: at most n bytes, up to its NUL.
std::string& Upto(std::string& out, const char* field, size_t n)
{
    return out.append(field, strnlen(field, n));
}

// Doubles every quotation mark so that a text stays inside its ="..." field.
std::string CsvQuoted(const std::string& s)
{
    std::string out;
    out.reserve(s.size() + 2);
    for (char c : s) {
        out += c;
        if (c == '"') out += '"';
    }
    return out;
}

// A ="..." text holding a comma or a line break would be cut into several
// fields or lines by a spreadsheet program: such a field, and only such a
// field, is written in the quoted form of the same text.
std::string CsvField(std::string field)
{
    if (field.find_first_of(",\r\n") == std::string::npos) return field;
    return "\"" + CsvQuoted(field) + "\"";
}
}  // namespace

std::string RecordDateText(const TestRecord& r, int order, DateStyle style)
{
    const char* mon = MonthName(DigitsValue(r.m_Tmm, sizeof r.m_Tmm));
    if (style == DateStyle::Report) {
        int y = DigitsValue(r.m_Tyy, 4), d = DigitsValue(r.m_Tdd, 2);
        if (order == 0) return Format("%04d-%s-%02d", y, mon, d);
        if (order == 1) return Format("%s-%02d-%04d", mon, d, y);
        return Format("%02d-%s-%04d", d, mon, y);
    }
    if (style == DateStyle::Workbook && order != 0 && order != 1 && order != 2) return {};
    // "%.4s-%s-%.2s" and the other two orders, without a format call per
    // record (exports write a million of them).
    std::string text;
    text.reserve(24);
    if (style == DateStyle::Csv) text += "=\"";
    if (order == 0) {
        Upto(text, r.m_Tyy, 4) += '-';
        text += mon;
        Upto(text += '-', r.m_Tdd, 2);
    } else if (order == 1) {
        text += mon;
        Upto(text += '-', r.m_Tdd, 2) += '-';
        Upto(text, r.m_Tyy, 4);
    } else {
        Upto(text, r.m_Tdd, 2) += '-';
        text += mon;
        Upto(text += '-', r.m_Tyy, 4);
    }
    if (style == DateStyle::Csv) text += '"';
    return text;
}

std::string RecordTimeText(const TestRecord& r)
{
    std::string text;
    text.reserve(8);
    Upto(text, r.m_Thh, 2) += ':';
    Upto(text, r.m_Tmi, 2) += ':';
    Upto(text, r.m_Tss, 2);
    return text;
}

std::string ClockText(int year, int month, int day, int hour, int minute, int second, int order)
{
    const char* mon = MonthName(month);
    if (order == 0)
        return Format("%04d-%s-%02d %02d:%02d:%02d", year, mon, day, hour, minute, second);
    if (order == 1)
        return Format("%s-%02d-%04d %02d:%02d:%02d", mon, day, year, hour, minute, second);
    return Format("%02d-%s-%04d %02d:%02d:%02d", day, mon, year, hour, minute, second);
}

std::string UserDateText(const BusUserInfo& u, int order)
{
    if (order == 0)
        return Format("%.4s-%.2s-%.2s / %.2s:%.2s:%.2s", u.year, u.month, u.day, u.hour, u.minute,
                      u.second);
    if (order == 1)
        return Format("%.2s-%.2s-%.4s / %.2s:%.2s:%.2s", u.month, u.day, u.year, u.hour, u.minute,
                      u.second);
    return Format("%.2s-%.2s-%.4s / %.2s:%.2s:%.2s", u.day, u.month, u.year, u.hour, u.minute,
                  u.second);
}

int RowsPerSheet(int index)
{
    if (index < 0 || index >= kRowsIndexCount) index = kDefaultRowsIndex;
    return index < 10 ? (index + 1) * 100 : (index - 8) * 1000;
}

int SheetCount(int total, int rows)
{
    if (total <= 0) return 0;
    if (rows <= 0) rows = RowsPerSheet(kDefaultRowsIndex);
    return (total + rows - 1) / rows;
}

std::string CsvLine(const TestRecord& r, int order)
{
    std::string line = std::to_string(r.testno);
    line += ',' + CsvField(RecordDateText(r, order, DateStyle::Csv));
    line += ',' + CsvField(RecordTimeText(r));
    line += ',' + CsvField("=\"" + CsvQuoted(FieldText(r.result)) + "\"");
    line += ',';
    line += UnitText(r.unit);
    line += ',' + CsvField("=\"" + CsvQuoted(FieldText(r.id)) + "\"");
    line += ',' + CsvField("=\"" + CsvQuoted(FieldText(r.name)) + "\"");
    line += ',';
    line += (r.mode == '0') ? "Normal" : "-";
    line += '\n';
    return line;
}

}  // namespace emtask
