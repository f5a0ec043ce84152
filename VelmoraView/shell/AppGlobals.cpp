#include "shell/AppGlobals.h"

#include "DebugLog.h"
#include "measurement/CCaptureDlg.h"
#include "measurement/CameraSource.h"
#include "shell/PostMessage.h"
#include "shell/WindowOps.h"

#include <QWidget>
#include <cstdlib>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/videoio.hpp>

std::atomic<int> g_LoadingStatus{0};
std::atomic<int> g_CameraCount{0};

int CountCameras(int maximum)
{
    (void)maximum;
    return measurement::CountCameras();
}

void OpenIdentification()
{
    DebugLine(" OpenIdentification");
    QWidget* id = WindowWidget(Wnd::IDentry);
    if (!id) return;
    CenterWindow(id);
    id->show();
    id->raise();
}

void RunTestWindow()
{
    DebugLine(" RunTestWindow");
    RunCaptureDialog(WindowWidget(Wnd::Main));
}
