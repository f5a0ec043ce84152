// The registry of the long-lived windows, for what must find a window by its
// place: the notice windows, centring over the main window, and the record,
// search and report windows that enable one another.
#pragma once

class QObject;

// The long-lived windows that others look up (the process-wide pointers).
enum class Wnd {
    Main,        // g_pMainWnd, CVelmoraViewDlg
    Capture,     // CCaptureDlg, the test window
    Msg,         // CMsg
    MsgError,    // CMsgError
    ReadDevice,  // CReadDeviceDlg, the record window
    IDentry,     // CIDentry
    SearchData,  // CSearchDataDlg
    PrintPage,   // the print-setting page
    Waiting,     // CMessageBox3Dlg while it is open
    Count
};

// A window registers itself when it initialises and unregisters before it is
// destroyed (on its own thread); afterwards it is no longer found.
void RegisterWindow(Wnd which, QObject* window);
void UnregisterWindow(Wnd which, QObject* window);
bool WindowExists(Wnd which);
QObject* WindowPointer(Wnd which);  // window thread only
