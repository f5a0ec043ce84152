// Numbers of the posted window messages, commands and instrument codes.
// Every window dispatches on these numbers; keep them all here.
#pragma once

#include <cstdint>
#include <string>

namespace msg {

// Window messages.
constexpr unsigned WM_COMMAND = 0x0111;  // first parameter: a command number
constexpr unsigned WM_USER = 0x0400;
constexpr unsigned MSG_SERIAL_TIMEOUT = 1372;  // main window timer after a failed open
constexpr unsigned MSG_SPLASH_TIMEOUT = 1394;
constexpr unsigned MSG_TIMER_LOADING = 2000;
constexpr unsigned MSG_USERLIST_REBUILD = 4099;  // user list page: redraw dates and rows
constexpr unsigned MSG_USERLIST_IMPORT = 101;    // user list page: import finished

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
