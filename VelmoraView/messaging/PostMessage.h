// Posted window messages: the only way threads and windows talk to a window.
// Posting is thread-safe and never waits; the target handles the message on
// its own thread in event().
#pragma once

#include <QEvent>
#include <QObject>
#include <cstdint>

// The long-lived windows that others post to (the process-wide pointers).
enum class Wnd {
    Main,        // g_pMainWnd, CVelmoraViewDlg
    Capture,     // CCaptureDlg, the test window
    Msg,         // CMsg
    MsgError,    // CMsgError
    ReadDevice,  // CReadDeviceDlg, the record window
    IDentry,     // CIDentry
    SearchData,  // CSearchDataDlg
    UserList,    // COptionIDMngDlg
    Settings,    // the settings window
    Password,    // CPassword, the password prompt
    PsetPage,    // COptionPsetDlg, the program-setting page
    HelpPage,    // COptionHelpDlg, the password page
    PrintPage,   // the print-setting page
    CameraPage,  // COptionCameraDlg
    RegUser,     // CRegUserDlg, the registration window
    Waiting,     // CMessageBox3Dlg while it is open
    Count
};

class ZMessageEvent : public QEvent {
public:
    ZMessageEvent(unsigned msg, intptr_t wparam, intptr_t lparam)
        : QEvent(type()),
          message(msg),
          wParam(wparam),
          lParam(lparam)
    { }
    static QEvent::Type type();
    const unsigned message;
    const intptr_t wParam;
    const intptr_t lParam;
};

// Posts to an object (any thread). The object must outlive the call.
void PostMessage(QObject* target, unsigned msg, intptr_t wparam = 0, intptr_t lparam = 0);

// Posts to a registered window; false (nothing posted) when it does not exist.
bool PostMessage(Wnd target, unsigned msg, intptr_t wparam = 0, intptr_t lparam = 0);
// WM_COMMAND with a command number.
bool PostCommand(Wnd target, int command);

// A window registers itself when it initialises and unregisters before it is
// destroyed (on its own thread); afterwards nothing more is posted to it.
void RegisterWindow(Wnd which, QObject* window);
void UnregisterWindow(Wnd which, QObject* window);
bool WindowExists(Wnd which);
QObject* WindowPointer(Wnd which);  // window thread only

// ThreadSanitizer does not see the locks inside the Qt libraries, so a post
// is made known to it: everything the poster did before posting happens
// before what the receiver does with the message.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
inline void PostedHappensBefore(void* event) { __tsan_release(event); }
inline void PostedHappensAfter(void* event) { __tsan_acquire(event); }
#else
inline void PostedHappensBefore(void*) { }
inline void PostedHappensAfter(void*) { }
#endif

// Unpacks a posted message in event(); false for any other event.
inline bool AsMessage(QEvent* e, const ZMessageEvent*& out)
{
    if (e->type() != ZMessageEvent::type()) return false;
    PostedHappensAfter(e);
    out = static_cast<const ZMessageEvent*>(e);
    return true;
}
