#include "shell/AppGlobals.h"

#include "DebugLog.h"
#include "measurement/CCaptureDlg.h"
#include "messaging/PostMessage.h"
#include "messaging/WindowOps.h"

#include <QWidget>

std::atomic<int> g_LoadingStatus{0};

void OpenIdentification()
{
    DebugLine(" OpenIdentification");
    QWidget* id = WindowWidget(Wnd::IDentry);
    if (!id) return;
    // Nothing of the main window may be used until the identification is
    // closed or hands over to the test: the settings (whose camera page
    // would hold the camera), disconnect, measure again.
    EnableWnd(Wnd::Main, false);
    CenterWindow(id);
    id->show();
    id->raise();
}

void RunTestWindow(DeviceLink& link)
{
    DebugLine(" RunTestWindow");
    RunCaptureDialog(WindowWidget(Wnd::Main), link);
}
