// The records as .xlsx workbooks: up to ten workbooks of 100,000 rows each,
// newest record first. No window here: the record window runs the export on
// its worker thread and posts the progress to itself.
#pragma once

#include "EMTaskStruct.h"

#include <functional>
#include <string>

namespace records {

constexpr int kWorkbookRows = 100000;
constexpr int kMaxWorkbooks = 10;
// Rows between two progress reports; divides kWorkbookRows, so the report
// at each full workbook is never skipped.
constexpr int kWorkbookProgressStride = 1000;
static_assert(kWorkbookRows % kWorkbookProgressStride == 0);
static_assert(static_cast<long long>(kWorkbookRows) * kMaxWorkbooks >= emtask::kMaxRecords);

// For a chosen path whose folder is D and whose file name up to its first
// "." is N: the folder D/N and the workbooks N_1.xlsx ... N_10.xlsx in it.
struct WorkbookTarget {
    std::string folder;
    std::string name;
    std::string PathOf(int k) const { return folder + "/" + name + "_" + std::to_string(k) + ".xlsx"; }
};
WorkbookTarget WorkbookTargetOf(const std::string& chosenPath);

struct WorkbookExportResult {
    int saved = 0;       // workbooks written and in place
    int failed = 0;      // number k of the workbook that could not be saved (or removed); 0 when none
    std::string detail;  // why it failed, for the log
};

// Gets the number of records written so far (0..RecordCount): every
// kWorkbookProgressStride rows, and at the end of each workbook before it is
// saved. Called on the exporting thread.
using WorkbookProgress = std::function<void(int written)>;

// True when the workbook at `path` is whole and its sheet holds the title, the
// header and `rows` record rows; otherwise `why` says what is wrong.
bool VerifyWorkbook(const std::string& path, int rows, std::string& why);

// Writes the records of `data` (its datacnt clamped to 0..1,000,000) below
// the chosen path: workbook k holds the slots from count - 1 - rows*(k-1)
// downward, and is written only when it receives a record. Each workbook is
// written under a temporary name and renamed into place only when complete,
// so a failed or interrupted export leaves the workbook an earlier export
// left. Each is read back before it is put in place. Stops at the first
// workbook that cannot be saved; those saved before it stay. Once all are in
// place, the workbooks of an earlier export beyond the last are removed. The
// folder is made even when there is no record.
// `rowsPerWorkbook` is for tests: smaller workbooks, the same rules.
WorkbookExportResult ExportWorkbooks(const emtask::DeviceData& data, int dateOrder,
                                     const std::string& chosenPath, const WorkbookProgress& progress = {},
                                     int rowsPerWorkbook = kWorkbookRows);

}  // namespace records
