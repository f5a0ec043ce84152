// Numbers of the posted window messages, commands and instrument codes.
// Every window dispatches on these numbers; keep them all here.
#pragma once

#include <cstdint>
#include <string>

namespace msg {

// Window messages.
constexpr unsigned WM_COMMAND = 0x0111;  // first parameter: a command number
constexpr unsigned WM_USER = 0x0400;
constexpr unsigned MSG_SEARCH_DISPLAY = 1366;  // search results: display
constexpr unsigned MSG_SEARCH_RUN = 1370;      // search results: run the search
constexpr unsigned WM_FILE_READ = 1371;        // record window: display m_DeviceData
constexpr unsigned MSG_SERIAL_TIMEOUT = 1372;  // main window timer after a failed open
constexpr unsigned MSG_PREVIEW_CLOSED = 1373;  // record / search window: report preview closed
constexpr unsigned MSG_FILL_ROWS = 1384;       // record window: fill the rows of the sheet
constexpr unsigned WM_DBL_CLK = 1388;          // a grid row was double-clicked
constexpr unsigned WM_ONE_CLK = 1389;          // a grid row was clicked
constexpr unsigned MSG_SPLASH_TIMEOUT = 1394;
constexpr unsigned MSG_TIMER_LOADING = 2000;
constexpr unsigned MSG_USERLIST_REBUILD = 4099;  // user list page: redraw dates and rows
constexpr unsigned MSG_USERLIST_IMPORT = 101;    // user list page: import finished
constexpr unsigned MSG_REPORT_PRINTED = 1400;    // report window: its print thread ended (1 = printed)

constexpr unsigned TIMER_CLOCK = 1367;

// Main-window commands (WM_COMMAND).
constexpr int MAIN_LOAD_BTN = 10003;
constexpr int MAIN_ABOUT_BTN = 10004;
constexpr int MAIN_CONNECT_BTN = 10005;
constexpr int MAIN_DISCONNECT_BTN = 10006;
constexpr int MAIN_MINIMIZE_BTN = 10009;
constexpr int MAIN_EXIT_BTN = 10011;
constexpr int MAIN_OPTION_BTN = 10012;
constexpr int MAIN_MEASURE_BTN = 10015;
constexpr int MAIN_OPTION_OPEN = 10018;
constexpr int MAIN_PASSWORD_FAIL = 10019;
constexpr int MAIN_INFO_DISP = 10020;
constexpr int MAIN_ENABLE = 10021;

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

// Settings window: close it (posted by notice 113).
constexpr int SETTINGS_CLOSE = 3110;
// Identification window: command sent after notice 132.
constexpr int IDENTRY_MEMORY_FULL = 100;
// Caller-text error box: disable the main window.
constexpr int MSGBOX_DISABLE_MAIN = 10017;
// Notice windows: dismiss identifiers and the error notice's close timer.
constexpr int MSG_DISMISS = 100;
constexpr int MSGERROR_DISMISS = 111;
constexpr int MSGERROR_CLOSE_TIMER = 115;
constexpr int NOTICE_OK = 1118;
// Main window: the about item of its menu.
constexpr int IDM_ABOUTBOX = 16;

}  // namespace msg
