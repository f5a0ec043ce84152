// Helpers of the user tests: a temporary folder and hand-made zip archives
// (workbooks written without the project's writer); openpyxl through
// RunPython.
#pragma once

#include <array>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>
#include <zip.h>

#include "RunPython.h"

namespace usertest {

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
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

inline void WriteAll(const std::string& path, const std::string& data)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
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

// A minimal workbook: one sheet with `sheetData` (the inside of <sheetData>)
// and, when given, a shared-string table (the inside of <sst>).
inline bool WriteWorkbook(const std::string& path, const std::string& sheetData,
                          const std::string* sharedStrings = nullptr)
{
    const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<std::pair<std::string, std::string>> e;
    e.emplace_back("[Content_Types].xml",
                   "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>");
    e.emplace_back("_rels/.rels",
                   "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                   "<Relationship Id=\"rId1\" Type=\"" + rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    e.emplace_back("xl/workbook.xml", "<?xml version=\"1.0\"?><workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rel +
                                          "\"><sheets><sheet name=\"Users\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    std::string rels = "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "<Relationship Id=\"rId1\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
    if (sharedStrings) {
        rels += "<Relationship Id=\"rId2\" Type=\"" + rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        e.emplace_back("xl/sharedStrings.xml", "<?xml version=\"1.0\"?><sst xmlns=\"" + ns + "\">" + *sharedStrings + "</sst>");
    }
    rels += "</Relationships>";
    e.emplace_back("xl/_rels/workbook.xml.rels", rels);
    e.emplace_back("xl/worksheets/sheet1.xml", "<?xml version=\"1.0\"?><worksheet xmlns=\"" + ns + "\"><sheetData>" +
                                                   sheetData + "</sheetData></worksheet>");
    return WriteZip(path, e);
}

// An inline-string cell.
inline std::string InlineCell(const std::string& ref, const std::string& text)
{
    return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
}

}  // namespace usertest

#include "TestFolder.h"

namespace usertest {

inline emtask::BusUserInfo* Table() { return emtask::GetManager()->wp_BusUserInfo; }

inline void PutUser(int slot, const std::string& id, const std::string& name)
{
    emtask::BusUserInfo& u = Table()[slot];
    u.uid = slot;
    std::snprintf(u.cusid, sizeof u.cusid, "%s", id.c_str());
    std::snprintf(u.uname, sizeof u.uname, "%s", name.c_str());
    std::memcpy(u.year, "20240307142501", 14);
}

}  // namespace usertest
