// Helpers of the user tests: a temporary folder and workbooks made by hand,
// without the project's writer.
#pragma once

#include <cstdio>
#include "StoreImage.h"
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>
#include <zip.h>

#include "RunPython.h"
#include "TestFolder.h"

namespace usertest {

// A bare temporary folder, for tests without the store.
struct TempDir {
    std::string path;
    TempDir()
    {
        char tmpl[] = "/tmp/zolt7-users-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string& rel) const { return path + "/" + rel; }
};

inline std::string ReadAll(const std::string& path)
{
    const std::vector<char> b = ReadBytes(path);
    return std::string(b.begin(), b.end());
}

inline void WriteAll(const std::string& path, const std::string& data)
{
    WriteBytes(path, data.data(), data.size());
}

inline std::string Repeat(const std::string& s, size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
}

// Writes a zip archive of the given entries (name -> content). True on success.
inline bool WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    int err = 0;
    std::filesystem::remove(path);
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) return false;
    for (const auto& [name, data] : entries) {
        // libzip reads the buffers at close: keep copies alive until then.
        void* copy = std::malloc(data.size() ? data.size() : 1);
        std::copy(data.begin(), data.end(), static_cast<char*>(copy));
        zip_source_t* src = zip_source_buffer(z, copy, data.size(), 1);
        if (!src || zip_file_add(z, name.c_str(), src, ZIP_FL_ENC_UTF_8) < 0) {
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;
}

// A minimal workbook, the parts the reader needs: one sheet with `sheetData`
// (the inside of <sheetData>) and, when given, a shared-string table (the
// inside of <sst>) found by its usual name.
inline bool WriteWorkbook(const std::string& path, const std::string& sheetData,
                          const std::string* sharedStrings = nullptr)
{
    const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<std::pair<std::string, std::string>> e = {
        {"xl/workbook.xml",
         "<workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rel +
             "\"><sheets><sheet name=\"Users\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
                                           "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml",
         "<worksheet xmlns=\"" + ns + "\"><sheetData>" + sheetData + "</sheetData></worksheet>"}};
    if (sharedStrings)
        e.emplace_back("xl/sharedStrings.xml", "<sst xmlns=\"" + ns + "\">" + *sharedStrings + "</sst>");
    return WriteZip(path, e);
}

// An inline-string cell.
inline std::string InlineCell(const std::string& ref, const std::string& text)
{
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

// Inline-string cells given as {"B3", text}, a <row> for each run of one row number.
inline std::string InlineRows(std::initializer_list<std::pair<std::string, std::string>> cells)
{
    std::string out, row;
    for (const auto& [ref, text] : cells) {
        const std::string r = ref.substr(ref.find_first_of("0123456789"));
        if (r != row) out += (row.empty() ? "" : "</row>") + ("<row r=\"" + r + "\">");
        row = r;
        out += InlineCell(ref, text);
    }
    return row.empty() ? out : out + "</row>";
}

inline emtask::BusUserInfo* Table() { return emtask::StoreImage::Users(*emtask::GetManager()); }

inline void PutUser(int slot, const std::string& id, const std::string& name)
{
    emtask::BusUserInfo& u = Table()[slot];
    u.uid = slot;
    std::snprintf(u.cusid, sizeof u.cusid, "%s", id.c_str());
    std::snprintf(u.uname, sizeof u.uname, "%s", name.c_str());
    std::memcpy(u.year, "20240307142501", 14);
}

}  // namespace usertest
