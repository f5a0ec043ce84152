// Numbers of the messages and commands still posted to the record, search and
// report windows; keep them all here. Every other window talks in signals.
#pragma once

#include <cstdint>
#include <string>

namespace msg {

// Window messages.
constexpr unsigned WM_COMMAND = 0x0111;        // first parameter: a command number
constexpr unsigned MSG_SEARCH_DISPLAY = 1366;  // search results: display
constexpr unsigned MSG_SEARCH_RUN = 1370;      // search results: run the search
constexpr unsigned WM_FILE_READ = 1371;        // record window: display m_DeviceData
constexpr unsigned MSG_PREVIEW_CLOSED = 1373;  // record / search window: report preview closed
constexpr unsigned MSG_FILL_ROWS = 1384;       // record window: fill the rows of the sheet
constexpr unsigned WM_DBL_CLK = 1388;          // a grid row was double-clicked
constexpr unsigned WM_ONE_CLK = 1389;          // a grid row was clicked
constexpr unsigned MSG_REPORT_PRINTED = 1400;  // report window: its print thread ended (1 = printed)

// Record window commands (buttons) and its fill timer.
constexpr int RD_SAVE_BTN = 10001;
constexpr int RD_EXCEL_BTN = 10002;
constexpr int RD_PRINT_BTN = 10003;
constexpr int RD_SEARCH_BTN = 10004;
constexpr int RD_OPEN_BTN = 10005;
constexpr int RD_CLOSE_BTN = 10006;
constexpr int RD_AUDIT_BTN = 10007;  // Check all: the log against the seal ledger
constexpr unsigned TIMER_FILL = 1385;
// Record window, from its worker threads: the progress bar's position
// (first parameter), a save ended (1 written, 0 failed), a print ended.
constexpr unsigned MSG_RECORDS_PROGRESS = 1395;
constexpr unsigned MSG_RECORDS_SAVED = 1396;
constexpr unsigned MSG_RECORDS_PRINTED = 1397;
// Record window's workbook export: it ended (first parameter: the workbook
// that could not be saved, 0 when all were).
constexpr unsigned MSG_RECORDS_XLSX_DONE = 1398;

// Search results window commands and messages from its worker threads: the
// progress bar's position (first parameter), an archive save ended (1 written,
// 0 failed), a CSV export ended (1 written, 0 failed, 2 stopped), a print ended.
constexpr int SD_SAVE_BTN = 10001;
constexpr int SD_CSV_BTN = 10002;
constexpr int SD_PRINT_BTN = 10003;
constexpr int SD_CLOSE_BTN = 10004;
constexpr unsigned MSG_SEARCH_PROGRESS = 1402;
constexpr unsigned MSG_SEARCH_SAVED = 1403;
constexpr unsigned MSG_SEARCH_CSV_DONE = 1404;
constexpr unsigned MSG_SEARCH_PRINTED = 1405;

}  // namespace msg
