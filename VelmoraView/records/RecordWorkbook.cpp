#include "records/RecordWorkbook.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "TextUtil.h"
#include "users/XlsxReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unistd.h>
#include <xlsxwriter.h>

using emtask::DeviceData;
using emtask::TestRecord;

namespace records {

WorkbookTarget WorkbookTargetOf(const std::string& chosen)
{
    const size_t slash = chosen.rfind('/');
    const std::string file = slash == std::string::npos ? chosen : chosen.substr(slash + 1);
    WorkbookTarget t;
    t.name = file.substr(0, file.find('.'));
    t.folder = slash == std::string::npos ? t.name : chosen.substr(0, slash) + "/" + t.name;
    return t;
}

namespace {

constexpr int kColumns = 8;
constexpr double kWidths[kColumns] = {10, 13, 13, 13, 10, 16, 16, 10};
constexpr const char* kHeaders[kColumns] = {"Test No.", "Date", "Time", "Test Result",
                                            "Unit",     "ID",   "Name", "Mode"};
constexpr lxw_row_t kFirstRecordRow = 3;  // row 4

struct Formats {
    lxw_format* title;
    lxw_format* header;
    lxw_format* cell;
    lxw_format* result;  // cell in bold red
};

Formats MakeFormats(lxw_workbook* wb)
{
    Formats f{};
    f.title = workbook_add_format(wb);
    format_set_bold(f.title);
    format_set_font_size(f.title, 16);
    format_set_font_color(f.title, LXW_COLOR_BLACK);
    format_set_align(f.title, LXW_ALIGN_CENTER);
    format_set_align(f.title, LXW_ALIGN_VERTICAL_CENTER);

    f.header = workbook_add_format(wb);
    format_set_bold(f.header);
    format_set_font_color(f.header, LXW_COLOR_BLACK);
    format_set_align(f.header, LXW_ALIGN_CENTER);
    format_set_align(f.header, LXW_ALIGN_VERTICAL_CENTER);

    for (lxw_format** p : {&f.cell, &f.result}) {
        *p = workbook_add_format(wb);
        format_set_border(*p, LXW_BORDER_THIN);
        format_set_border_color(*p, LXW_COLOR_BLACK);
        format_set_align(*p, LXW_ALIGN_RIGHT);
        format_set_align(*p, LXW_ALIGN_VERTICAL_CENTER);
    }
    format_set_bold(f.result);
    format_set_font_color(f.result, LXW_COLOR_RED);
    return f;
}

const char* ModeText(char mode)
{
    switch (mode) {
    case '0': return "Normal";
    case '1': return "Fast";
    case 'F': return "-";
    default: return "";
    }
}

// The eight cells of one record. Every text from the record goes through
// WorkbookText: a file may bring any bytes, and the workbook takes only
// valid UTF-8.
lxw_error WriteRecord(lxw_worksheet* ws, lxw_row_t row, const TestRecord& r, int order, const Formats& f)
{
    char number[16];
    std::snprintf(number, sizeof number, "%06d", r.testno);
    const bool flow = r.mode == 'F';
    const std::string date = emtask::WorkbookText(
        emtask::RecordDateText(r, order, emtask::DateStyle::Workbook));
    const std::string time = emtask::WorkbookText(emtask::RecordTimeText(r));
    const std::string result = flow ? std::string("Flow") : emtask::WorkbookText(r.result);
    const std::string id = emtask::WorkbookText(r.id);
    const std::string name = emtask::WorkbookText(r.name);
    const char* texts[kColumns] = {
        number,     date.c_str(), time.c_str(),    result.c_str(), flow ? "-" : emtask::UnitText(r.unit),
        id.c_str(), name.c_str(), ModeText(r.mode)};
    for (lxw_col_t c = 0; c < kColumns; ++c) {
        // An empty text still gets its bordered cell.
        lxw_format* format = (c == 3 && !flow) ? f.result : f.cell;
        const lxw_error e = worksheet_write_string(ws, row, c, texts[c], format);
        if (e != LXW_NO_ERROR) return e;
    }
    return LXW_NO_ERROR;
}

// Writes `rows` records from slot `top` downward into a new workbook at
// `path`. `written` counts the records of the whole export.
bool WriteWorkbook(const std::string& path, const std::string& tmpDir, const DeviceData& d, int top, int rows,
                   int order, int& written, const WorkbookProgress& progress, std::string& why)
{
    lxw_workbook_options options{};
    // Constant memory: each row goes to the temporary file once the next one
    // begins, so memory stays flat whatever the row count. Rows must come in
    // order, which they do: the merged title first, then the header, then the
    // records.
    options.constant_memory = LXW_TRUE;
    // Temporary data beside the workbook rather than in /tmp, which may be in memory.
    std::string tmp = tmpDir;
    options.tmpdir = tmp.data();
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
    if (!wb) {
        why = "cannot create the workbook";
        return false;
    }
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    lxw_error e = ws ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (e == LXW_NO_ERROR) {
        const Formats f = MakeFormats(wb);
        for (lxw_col_t c = 0; c < kColumns && e == LXW_NO_ERROR; ++c)
            e = worksheet_set_column(ws, c, c, kWidths[c], nullptr);
        if (e == LXW_NO_ERROR)
            e = worksheet_merge_range(ws, 0, 0, 1, kColumns - 1, "ZOLT7 Test Report", f.title);
        for (lxw_col_t c = 0; c < kColumns && e == LXW_NO_ERROR; ++c)
            e = worksheet_write_string(ws, 2, c, kHeaders[c], f.header);
        for (int i = 0; i < rows && e == LXW_NO_ERROR; ++i) {
            e = WriteRecord(ws, kFirstRecordRow + static_cast<lxw_row_t>(i), d.m_TestData[top - i], order, f);
            ++written;
            if (progress && (written % kWorkbookProgressStride == 0 || i == rows - 1)) progress(written);
        }
    }
    if (e != LXW_NO_ERROR) why = lxw_strerror(e);
    const lxw_error closed = workbook_close(wb);
    if (e == LXW_NO_ERROR && closed != LXW_NO_ERROR) {
        e = closed;
        why = lxw_strerror(closed);
    }
    // The library writes the rows through temporary files whose failed writes
    // (a full disk) it does not see: only the workbook as written tells.
    return e == LXW_NO_ERROR && VerifyWorkbook(path, rows, why);
}

}  // namespace

bool VerifyWorkbook(const std::string& path, int rows, std::string& why)
{
    const xlsx::SheetCheck check = xlsx::CheckWorkbook(path);
    const uint32_t last = kFirstRecordRow + static_cast<uint32_t>(rows);
    if (check.error != xlsx::ReadError::None) {
        why = "the written workbook is damaged: " + check.detail;
        return false;
    }
    // Title (two rows), header, then one row per record.
    if (check.rows != last || check.lastRow != last) {
        why = "the written workbook holds " + std::to_string(check.rows) + " rows of " + std::to_string(last);
        return false;
    }
    return true;
}

WorkbookExportResult ExportWorkbooks(const DeviceData& d, int order, const std::string& chosen,
                                     const WorkbookProgress& progress, int rowsPerWorkbook)
{
    WorkbookExportResult res;
    const WorkbookTarget target = WorkbookTargetOf(chosen);
    const bool folder = emtask::MakeDirectory(target.folder);
    const int count = emtask::RecordCount(d);
    DebugLine("SaveXlsx_1");
    DebugLine("SaveXlsx_Cnt : %d", count);
    // Ten workbooks must hold every record.
    rowsPerWorkbook = std::max({rowsPerWorkbook, 1, (count + kMaxWorkbooks - 1) / kMaxWorkbooks});
    int remaining = count;  // records not yet written; the next is slot remaining - 1
    int written = 0;
    for (int k = 1; k <= kMaxWorkbooks && remaining > 0; ++k) {
        const int rows = std::min(remaining, rowsPerWorkbook);
        const std::string path = target.PathOf(k);
        const std::string tmp = path + ".tmp";
        bool ok = folder;
        if (!ok) res.detail = "cannot create " + target.folder;
        ok = ok &&
             WriteWorkbook(tmp, target.folder, d, remaining - 1, rows, order, written, progress, res.detail);
        if (ok && !emtask::CommitTempFile(tmp, path)) {
            ok = false;
            res.detail = emtask::LastFileError();
        }
        if (!ok) {
            unlink(tmp.c_str());
            res.failed = k;
            DebugLine("SaveXlsx_%d %s : %s", k, path.c_str(), res.detail.c_str());
            return res;
        }
        remaining -= rows;
        ++res.saved;
    }
    // The folder now holds this export whole: workbooks of an earlier, longer
    // export after it would read as part of it.
    for (int k = res.saved + 1; folder && k <= kMaxWorkbooks; ++k) {
        const std::string surplus = target.PathOf(k);
        if (unlink(surplus.c_str()) != 0 && errno != ENOENT) {
            res.failed = k;
            res.detail = "cannot remove the earlier " + surplus + ": " + emtask::ErrorText(errno);
            DebugLine("SaveXlsx %s", res.detail.c_str());
            return res;
        }
    }
    return res;
}

}  // namespace records
