#include "users/XlsxReader.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <pugixml.hpp>
#include <zip.h>

namespace xlsx {
namespace {

constexpr uint32_t kMaxRow = 1048576;
constexpr uint32_t kMaxCol = 16384;

struct Failure {
    ReadError error;
    std::string detail;
};

class Archive {
public:
    explicit Archive(zip_t* z) : m_zip(z) { }
    ~Archive()
    {
        if (m_zip) zip_discard(m_zip);
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool has(const std::string& name) const
    {
        return zip_name_locate(m_zip, name.c_str(), ZIP_FL_NOCASE) >= 0;
    }
    zip_uint64_t count() const
    {
        return static_cast<zip_uint64_t>(std::max<zip_int64_t>(zip_get_num_entries(m_zip, 0), 0));
    }
    std::string name(zip_uint64_t index) const
    {
        const char* n = zip_get_name(m_zip, index, 0);
        if (!n) throw Failure{ReadError::Corrupt, "entry without a name"};
        return n;
    }

    // Unpacks one entry piece by piece, never more than `limit` bytes whatever
    // its header says.
    template <class Sink>
    void stream(zip_uint64_t index, const std::string& name, size_t limit, Sink&& sink) const
    {
        zip_file_t* f = zip_fopen_index(m_zip, index, 0);
        if (!f) throw Failure{ReadError::Corrupt, "cannot open part " + name};
        try {
            char buf[65536];
            size_t total = 0;
            for (;;) {
                zip_int64_t n = zip_fread(f, buf, sizeof buf);
                if (n < 0) throw Failure{ReadError::Corrupt, "cannot unpack part " + name};
                if (n == 0) break;
                total += static_cast<size_t>(n);
                if (total > limit) throw Failure{ReadError::TooLarge, "part too large: " + name};
                sink(buf, static_cast<size_t>(n));
            }
        } catch (...) {
            zip_fclose(f);
            throw;
        }
        if (zip_fclose(f) != 0) throw Failure{ReadError::Corrupt, "bad checksum in " + name};
    }

    std::string read(const std::string& name, size_t limit) const
    {
        zip_int64_t index = zip_name_locate(m_zip, name.c_str(), ZIP_FL_NOCASE);
        if (index < 0) throw Failure{ReadError::NotWorkbook, "missing part " + name};
        std::string out;
        stream(static_cast<zip_uint64_t>(index), name, limit,
               [&out](const char* data, size_t size) { out.append(data, size); });
        return out;
    }

private:
    zip_t* m_zip;
};

// A name without its namespace prefix ("r:id" -> "id").
const char* LocalName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

std::string_view LocalName(std::string_view name)
{
    const size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool Is(const pugi::xml_node& n, const char* local) { return std::strcmp(LocalName(n.name()), local) == 0; }

pugi::xml_node Child(const pugi::xml_node& parent, const char* local)
{
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && Is(c, local)) return c;
    return {};
}

// Attribute by local name (r:id and the like carry a prefix).
pugi::xml_attribute Attr(const pugi::xml_node& n, const char* local)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (std::strcmp(LocalName(a.name()), local) == 0) return a;
    return {};
}

void Parse(pugi::xml_document& doc, const std::string& text, const ReadLimits& limits,
           const std::string& part)
{
    if (XmlDepth(text.data(), text.size(), limits.maxDepth) > limits.maxDepth)
        throw Failure{ReadError::TooLarge, "nesting too deep in " + part};
    pugi::xml_parse_result r = doc.load_buffer(text.data(), text.size(),
                                               pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!r) throw Failure{ReadError::BadXml, part + ": " + r.description()};
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "_xHHHH_" at s[i], as a UTF-16 unit, or -1.
long EscapedUnit(const std::string& s, size_t i)
{
    if (i + 7 > s.size() || s[i] != '_' || s[i + 1] != 'x' || s[i + 6] != '_') return -1;
    long v = 0;
    for (size_t k = i + 2; k < i + 6; ++k) {
        const int h = HexValue(s[k]);
        if (h < 0) return -1;
        v = v * 16 + h;
    }
    return v;
}

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string DecodeEscapes(const std::string& s)
{
    if (s.find("_x") == std::string::npos) return s;
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        long unit = EscapedUnit(s, i);
        if (unit < 0) {
            out += s[i++];
            continue;
        }
        i += 7;
        uint32_t cp = static_cast<uint32_t>(unit);
        if (unit >= 0xD800 && unit < 0xDC00) {
            const long low = EscapedUnit(s, i);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((static_cast<uint32_t>(unit) - 0xD800) << 10) +
                     (static_cast<uint32_t>(low) - 0xDC00);
                i += 7;
            } else {
                cp = 0xFFFD;
            }
        } else if (unit >= 0xDC00 && unit < 0xE000) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

namespace {

// Text of a string item (<si> or <is>): its <t>, or the <t> of each rich-text run;
// phonetic runs are not part of the text.
void AppendItemText(const pugi::xml_node& item, std::string& out)
{
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (Is(c, "t")) {
            out += DecodeEscapes(c.text().get());
        } else if (Is(c, "r")) {
            pugi::xml_node t = Child(c, "t");
            if (t) out += DecodeEscapes(t.text().get());
        }
    }
}

// Part name of a relationship target, relative to the folder of `base`.
std::string ResolveTarget(const std::string& base, std::string target)
{
    if (!target.empty() && target[0] == '/') return target.substr(1);
    std::string dir = base.substr(0, base.rfind('/') == std::string::npos ? 0 : base.rfind('/') + 1);
    std::string path = dir + target;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string seg = path.substr(start, end - start);
        if (seg == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!seg.empty() && seg != ".") {
            parts.push_back(seg);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

std::string RelsName(const std::string& part)
{
    size_t slash = part.rfind('/');
    std::string dir = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    return dir + "_rels/" + file + ".rels";
}

bool EndsWith(const std::string& s, const char* suffix)
{
    size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

std::string WorkbookPart(const Archive& zip, const ReadLimits& limits)
{
    if (zip.has("_rels/.rels")) {
        pugi::xml_document doc;
        Parse(doc, zip.read("_rels/.rels", limits.maxPartBytes), limits, "_rels/.rels");
        pugi::xml_node rels = doc.document_element();
        for (pugi::xml_node r = rels.first_child(); r; r = r.next_sibling()) {
            if (!Is(r, "Relationship")) continue;
            std::string type = r.attribute("Type").value();
            if (EndsWith(type, "/officeDocument")) {
                std::string target = ResolveTarget("", r.attribute("Target").value());
                if (zip.has(target)) return target;
            }
        }
    }
    if (zip.has("xl/workbook.xml")) return "xl/workbook.xml";
    throw Failure{ReadError::NotWorkbook, "no workbook part"};
}

struct WorkbookParts {
    std::string sheet;
    std::string sharedStrings;  // empty when the workbook has none
};

WorkbookParts FindParts(const Archive& zip, const ReadLimits& limits)
{
    const std::string wbPart = WorkbookPart(zip, limits);
    pugi::xml_document wb;
    Parse(wb, zip.read(wbPart, limits.maxPartBytes), limits, wbPart);
    pugi::xml_node root = wb.document_element();
    if (!Is(root, "workbook")) throw Failure{ReadError::NotWorkbook, "not a workbook part"};

    long active = 0;
    if (pugi::xml_node views = Child(root, "bookViews"))
        if (pugi::xml_node view = Child(views, "workbookView"))
            active = view.attribute("activeTab").as_llong(0);
    std::vector<std::string> sheetIds;
    if (pugi::xml_node sheets = Child(root, "sheets"))
        for (pugi::xml_node s = sheets.first_child(); s; s = s.next_sibling())
            if (s.type() == pugi::node_element && Is(s, "sheet")) sheetIds.push_back(Attr(s, "id").value());
    if (sheetIds.empty()) throw Failure{ReadError::NotWorkbook, "workbook without sheets"};
    if (active < 0 || active >= static_cast<long>(sheetIds.size())) active = 0;

    WorkbookParts parts;
    const std::string relsName = RelsName(wbPart);
    if (zip.has(relsName)) {
        pugi::xml_document rels;
        Parse(rels, zip.read(relsName, limits.maxPartBytes), limits, relsName);
        for (pugi::xml_node r = rels.document_element().first_child(); r; r = r.next_sibling()) {
            if (!Is(r, "Relationship")) continue;
            std::string type = r.attribute("Type").value();
            std::string target = ResolveTarget(wbPart, r.attribute("Target").value());
            if (r.attribute("Id").value() == sheetIds[active] && EndsWith(type, "/worksheet"))
                parts.sheet = target;
            else if (EndsWith(type, "/sharedStrings"))
                parts.sharedStrings = target;
        }
    }
    if (parts.sheet.empty() || !zip.has(parts.sheet))
        throw Failure{ReadError::NotWorkbook, "the active sheet is missing"};
    if (!parts.sharedStrings.empty() && !zip.has(parts.sharedStrings)) parts.sharedStrings.clear();
    // Some writers leave the table out of the relationships.
    if (parts.sharedStrings.empty() && zip.has("xl/sharedStrings.xml"))
        parts.sharedStrings = "xl/sharedStrings.xml";
    return parts;
}

std::vector<std::string> ReadSharedStrings(const Archive& zip, const std::string& part,
                                           const ReadLimits& limits)
{
    std::vector<std::string> strings;
    if (part.empty()) return strings;
    pugi::xml_document doc;
    Parse(doc, zip.read(part, limits.maxPartBytes), limits, part);
    // The declared count is not trusted: entries are counted as they are read.
    for (pugi::xml_node si = doc.document_element().first_child(); si; si = si.next_sibling()) {
        if (si.type() != pugi::node_element || !Is(si, "si")) continue;
        if (strings.size() >= limits.maxSharedStrings)
            throw Failure{ReadError::TooLarge, "too many shared strings"};
        std::string text;
        AppendItemText(si, text);
        strings.push_back(std::move(text));
    }
    return strings;
}

std::string CellText(const pugi::xml_node& c, const std::vector<std::string>& shared)
{
    const std::string type = c.attribute("t").value();
    if (type == "inlineStr") {
        std::string text;
        if (pugi::xml_node is = Child(c, "is")) AppendItemText(is, text);
        return text;
    }
    pugi::xml_node v = Child(c, "v");
    const char* value = v ? v.text().get() : "";
    if (type == "s") {
        char* end = nullptr;
        unsigned long long i = std::strtoull(value, &end, 10);
        if (end == value || *end != 0 || i >= shared.size())
            throw Failure{ReadError::BadXml, "shared string index out of range"};
        return shared[i];
    }
    if (type == "b") return std::strcmp(value, "0") == 0 ? "FALSE" : (*value ? "TRUE" : "");
    return value;  // numbers as written, formula strings, errors, ISO dates
}

// One past the end of the markup that starts at the '<' at `lt`, or npos when
// the text ends first. Comments, CDATA, declarations and quoted attribute
// values may hold '<' and '>'.
size_t MarkupEnd(std::string_view s, size_t lt)
{
    constexpr size_t npos = std::string_view::npos;
    const size_t i = lt + 1;
    const std::string_view rest = s.substr(std::min(i, s.size()));
    auto past = [&](std::string_view end, size_t from) {
        const size_t hit = s.find(end, from);
        return hit == npos ? npos : hit + end.size();
    };
    for (std::string_view open : {std::string_view("!--"), std::string_view("![CDATA[")}) {
        if (rest.size() < open.size() && open.substr(0, rest.size()) == rest) return npos;  // not known yet
        if (rest.substr(0, open.size()) == open) return past(open[1] == '-' ? "-->" : "]]>", i + open.size());
    }
    if (rest[0] == '?') return past("?>", i + 1);
    if (rest[0] == '!' || rest[0] == '/') return past(">", i);
    char quote = 0;
    for (size_t k = i; k < s.size(); ++k) {
        const char ch = s[k];
        if (quote) {
            if (ch == quote) quote = 0;
        } else if (ch == '"' || ch == '\'') {
            quote = ch;
        } else if (ch == '>') {
            return k + 1;
        }
    }
    return npos;
}

// A tag's name: from `from` up to a blank, '/' or '>'.
std::string_view TagName(std::string_view tag, size_t from)
{
    const size_t end = tag.find_first_of(" \t\r\n/>", from);
    return tag.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
}

// The value of attribute `attr` of a start tag (empty when it has none).
std::string_view AttrValue(std::string_view tag, std::string_view attr)
{
    constexpr size_t npos = std::string_view::npos;
    for (size_t i = 1 + TagName(tag, 1).size(); i < tag.size();) {
        i = tag.find_first_not_of(" \t\r\n", i);
        const size_t eq = i == npos ? npos : tag.find('=', i);
        const size_t q = eq == npos ? npos : tag.find_first_of("\"'", eq + 1);
        const size_t close = q == npos ? npos : tag.find(tag[q], q + 1);
        if (close == npos) break;
        std::string_view name = tag.substr(i, eq - i);
        name = name.substr(0, name.find_last_not_of(" \t\r\n") + 1);
        if (name == attr) return tag.substr(q + 1, close - q - 1);
        i = close + 1;
    }
    return {};
}

// Follows the tags of a sheet that arrives in pieces, holding only an
// unfinished piece of markup between them: every element must be closed by its
// own end tag, and the rows of sheetData are counted.
class SheetWalker {
public:
    explicit SheetWalker(int maxDepth) : m_maxDepth(maxDepth) { }

    void feed(const char* data, size_t size)
    {
        constexpr size_t npos = std::string_view::npos;
        m_carry.append(data, size);
        const std::string_view s(m_carry);
        size_t i = 0;
        for (;;) {
            const size_t lt = s.find('<', i);
            text(s.substr(i, lt == npos ? npos : lt - i));
            if (lt == npos) {
                i = s.size();
                break;
            }
            const size_t end = MarkupEnd(s, lt);
            if (end == npos) {
                i = lt;
                break;
            }
            markup(s.substr(lt, end - lt));
            i = end;
        }
        m_carry.erase(0, i);
        if (m_carry.size() > kMaxMarkup) throw Failure{ReadError::TooLarge, "markup too long in the sheet"};
    }

    void finish() const
    {
        if (!m_carry.empty() || !m_rootClosed) throw Failure{ReadError::BadXml, "the sheet is cut short"};
    }

    uint32_t rows = 0;
    uint32_t lastRow = 0;

private:
    static constexpr size_t kMaxMarkup = 1u << 20;

    void text(std::string_view t) const
    {
        if (m_open.empty() && t.find_first_not_of(" \t\r\n") != std::string_view::npos)
            throw Failure{ReadError::BadXml, "text outside the sheet's root element"};
    }

    void markup(std::string_view m)
    {
        if (m[1] == '?' || (m[1] == '!' && m.substr(0, 9) != "<![CDATA[")) return;
        if (m[1] == '!') return text("CDATA");
        if (m[1] == '/') {
            const std::string_view name = TagName(m, 2);
            if (m_open.empty() || m_open.back() != name)
                throw Failure{ReadError::BadXml, "end tag </" + std::string(name) + "> without its start"};
            m_open.pop_back();
            m_rootClosed = m_open.empty();
            return;
        }
        const std::string_view name = TagName(m, 1);
        if (name.empty() || (m_open.empty() && m_rootClosed))
            throw Failure{ReadError::BadXml, "a tag outside the sheet's root element"};
        if (LocalName(name) == "row" && !m_open.empty() && LocalName(m_open.back()) == "sheetData") row(m);
        if (m[m.size() - 2] == '/') {
            m_rootClosed = m_open.empty();
            return;
        }
        if (static_cast<int>(m_open.size()) >= m_maxDepth)
            throw Failure{ReadError::TooLarge, "nesting too deep in the sheet"};
        m_open.emplace_back(name);
    }

    void row(std::string_view tag)
    {
        const std::string_view r = AttrValue(tag, "r");
        uint32_t number = lastRow + 1;
        if (!r.empty()) {
            uint64_t v = 0;
            for (char c : r) {
                if (c < '0' || c > '9' || v > kMaxRow) throw Failure{ReadError::BadXml, "bad row number"};
                v = v * 10 + static_cast<uint64_t>(c - '0');
            }
            if (v == 0 || v > kMaxRow) throw Failure{ReadError::BadXml, "bad row number"};
            number = static_cast<uint32_t>(v);
        }
        if (number <= lastRow) throw Failure{ReadError::BadXml, "rows out of order"};
        ++rows;
        lastRow = number;
    }

    int m_maxDepth;
    std::string m_carry;
    std::vector<std::string> m_open;
    bool m_rootClosed = false;
};

Failure OpenFailure(int err)
{
    zip_error_t ze;
    zip_error_init_with_code(&ze, err);
    Failure f{(err == ZIP_ER_NOENT || err == ZIP_ER_OPEN || err == ZIP_ER_READ) ? ReadError::CannotOpen
                                                                                : ReadError::NotZip,
              zip_error_strerror(&ze)};
    zip_error_fini(&ze);
    return f;
}

}  // namespace

bool ParseCellRef(const char* ref, uint32_t& row, uint32_t& col)
{
    uint32_t c = 0, r = 0;
    const char* p = ref;
    while (*p == '$') ++p;
    const char* letters = p;
    while ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z')) {
        c = c * 26 + static_cast<uint32_t>((*p | 0x20) - 'a' + 1);
        if (c > kMaxCol) return false;
        ++p;
    }
    if (p == letters) return false;
    if (*p == '$') ++p;
    const char* digits = p;
    while (*p >= '0' && *p <= '9') {
        r = r * 10 + static_cast<uint32_t>(*p - '0');
        if (r > kMaxRow) return false;
        ++p;
    }
    if (p == digits || *p != 0 || r == 0) return false;
    row = r;
    col = c;
    return true;
}

int XmlDepth(const char* d, size_t n, int limit)
{
    const std::string_view text(d, n);
    int depth = 0, deepest = 0;
    for (size_t i = text.find('<'); i != std::string_view::npos && i + 1 < n; i = text.find('<', i)) {
        const size_t end = MarkupEnd(text, i);
        const char kind = text[i + 1];
        if (kind == '/') {
            if (depth > 0) --depth;
        } else if (kind != '?' && kind != '!' && (end == std::string_view::npos || text[end - 2] != '/')) {
            if (++depth > deepest) {
                deepest = depth;
                if (deepest > limit) return deepest;
            }
        }
        if (end == std::string_view::npos) break;
        i = end;
    }
    return deepest;
}

ReadResult ReadActiveSheet(const std::string& path, const ReadLimits& limits)
{
    ReadResult result;
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!z) {
        const Failure f = OpenFailure(err);
        result.error = f.error;
        result.detail = f.detail;
        return result;
    }
    Archive zip(z);
    try {
        const WorkbookParts parts = FindParts(zip, limits);
        const std::vector<std::string> shared = ReadSharedStrings(zip, parts.sharedStrings, limits);
        pugi::xml_document doc;
        Parse(doc, zip.read(parts.sheet, limits.maxPartBytes), limits, parts.sheet);
        pugi::xml_node sheetData = Child(doc.document_element(), "sheetData");
        size_t textBytes = 0;
        uint32_t row = 0;
        bool ordered = true;
        for (pugi::xml_node r = sheetData.first_child(); r; r = r.next_sibling()) {
            if (r.type() != pugi::node_element || !Is(r, "row")) continue;
            uint32_t rowNo = row + 1;
            if (pugi::xml_attribute a = r.attribute("r")) {
                unsigned long long v = a.as_ullong(0);
                if (v == 0 || v > kMaxRow) throw Failure{ReadError::BadXml, "bad row number"};
                rowNo = static_cast<uint32_t>(v);
            }
            if (rowNo <= row) ordered = false;
            row = rowNo;
            uint32_t col = 0;
            for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
                if (c.type() != pugi::node_element || !Is(c, "c")) continue;
                uint32_t cellRow = row, cellCol = col + 1;
                if (pugi::xml_attribute ref = c.attribute("r"))
                    if (!ParseCellRef(ref.value(), cellRow, cellCol))
                        throw Failure{ReadError::BadXml, "bad cell reference"};
                if (cellRow != row || cellCol <= col) ordered = false;
                if (cellCol > kMaxCol) throw Failure{ReadError::BadXml, "bad column"};
                col = cellCol;
                std::string text = CellText(c, shared);
                if (text.empty()) continue;
                textBytes += text.size();
                if (result.cells.size() >= limits.maxCells || textBytes > limits.maxTextBytes)
                    throw Failure{ReadError::TooLarge, "too many cells"};
                result.cells.push_back(Cell{cellRow, cellCol, std::move(text)});
            }
        }
        // Writers keep rows and cells in order; a file that does not is put in order.
        if (!ordered)
            std::stable_sort(result.cells.begin(), result.cells.end(), [](const Cell& a, const Cell& b) {
                return a.row != b.row ? a.row < b.row : a.col < b.col;
            });
    } catch (const Failure& f) {
        result.error = f.error;
        result.detail = f.detail;
        result.cells.clear();
    } catch (const std::bad_alloc&) {
        result.error = ReadError::TooLarge;
        result.detail = "out of memory";
        result.cells.clear();
    }
    return result;
}

SheetCheck CheckWorkbook(const std::string& path, const ReadLimits& limits)
{
    SheetCheck result;
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    try {
        if (!z) throw OpenFailure(err);
        Archive zip(z);
        const std::string sheet = FindParts(zip, limits).sheet;
        SheetWalker walker(limits.maxDepth);
        for (zip_uint64_t i = 0; i < zip.count(); ++i) {
            const std::string name = zip.name(i);
            if (name == sheet)
                zip.stream(i, name, limits.maxSheetBytes,
                           [&walker](const char* d, size_t n) { walker.feed(d, n); });
            else
                zip.stream(i, name, limits.maxPartBytes, [](const char*, size_t) {});
        }
        walker.finish();
        result.rows = walker.rows;
        result.lastRow = walker.lastRow;
    } catch (const Failure& f) {
        result.error = f.error;
        result.detail = f.detail;
    } catch (const std::bad_alloc&) {
        result.error = ReadError::TooLarge;
        result.detail = "out of memory";
    }
    return result;
}

}  // namespace xlsx
