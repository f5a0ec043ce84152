#include "TextUtil.h"

#include "EMTaskStruct.h"

#include <cstdarg>
#include <cstdint>
#include <cstring>

namespace emtask {

std::string FieldText(const char* field, size_t width) { return std::string(field, strnlen(field, width)); }

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

namespace {
// Length of the valid UTF-8 sequence at s[i], or 0.
size_t Utf8SequenceAt(const std::string& s, size_t i)
{
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) return 1;
    size_t len;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000) || cp == 0xFFFE || cp == 0xFFFF) return 0;
    return len;
}

bool HexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
}  // namespace

std::string ValidUtf8(const std::string& s)
{
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    if (i == s.size()) return s;
    std::string out = s.substr(0, i);
    while (i < s.size()) {
        const size_t n = Utf8SequenceAt(s, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(s, i, n);
            i += n;
        }
    }
    return out;
}

std::string WorkbookText(const char* field, size_t width) { return WorkbookText(FieldText(field, width)); }

std::string WorkbookText(const std::string& raw)
{
    std::string text = ValidUtf8(raw);
    if (text.find("_x") == std::string::npos) return text;
    std::string out;
    out.reserve(text.size() + 12);
    for (size_t i = 0; i < text.size(); ++i) {
        const bool escape = i + 7 <= text.size() && text[i] == '_' && text[i + 1] == 'x' &&
                            HexDigit(text[i + 2]) && HexDigit(text[i + 3]) && HexDigit(text[i + 4]) &&
                            HexDigit(text[i + 5]) && text[i + 6] == '_';
        if (escape) out += "_x005F";
        out += text[i];
    }
    return out;
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

// A text a spreadsheet program keeps as text: ="...".
std::string CsvTextField(const std::string& text) { return CsvField("=\"" + CsvQuoted(text) + "\""); }

// A text written as it is: a quotation mark of its own would open a quoted
// field, so it is quoted then too.
std::string CsvPlainField(std::string field)
{
    if (field.find('"') == std::string::npos) return CsvField(std::move(field));
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
    if (order == 0) return Format("%04d-%s-%02d %02d:%02d:%02d", year, mon, day, hour, minute, second);
    if (order == 1) return Format("%s-%02d-%04d %02d:%02d:%02d", mon, day, year, hour, minute, second);
    return Format("%02d-%s-%04d %02d:%02d:%02d", day, mon, year, hour, minute, second);
}

std::string UserDateText(const BusUserInfo& u, int order)
{
    if (order == 0)
        return Format("%.4s-%.2s-%.2s / %.2s:%.2s:%.2s", u.year, u.month, u.day, u.hour, u.minute, u.second);
    if (order == 1)
        return Format("%.2s-%.2s-%.4s / %.2s:%.2s:%.2s", u.month, u.day, u.year, u.hour, u.minute, u.second);
    return Format("%.2s-%.2s-%.4s / %.2s:%.2s:%.2s", u.day, u.month, u.year, u.hour, u.minute, u.second);
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
    // Date and time come from the record's own fields: a crafted archive may
    // put quotation marks, commas or line breaks there too.
    line += ',' + CsvTextField(RecordDateText(r, order, DateStyle::Row));
    line += ',' + CsvPlainField(RecordTimeText(r));
    line += ',' + CsvTextField(FieldText(r.result));
    line += ',';
    line += UnitText(r.unit);
    line += ',' + CsvTextField(FieldText(r.id));
    line += ',' + CsvTextField(FieldText(r.name));
    line += ',';
    line += (r.mode == '0') ? "Normal" : "-";
    line += '\n';
    return line;
}

}  // namespace emtask
