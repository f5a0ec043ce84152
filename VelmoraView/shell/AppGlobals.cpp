#include "shell/AppGlobals.h"

#include "DebugLog.h"
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
    const char* source = std::getenv("ZOLT7_CAMERA_SOURCE");
    if (source && *source) return 1;
    // Probing missing devices makes the library complain on every index.
    const auto level = cv::utils::logging::getLogLevel();
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    int count = 0;
    for (; count < maximum; ++count) {
        cv::VideoCapture camera;
        if (!camera.open(count)) break;
        camera.release();
        DebugLine(" camera.release");
    }
    cv::utils::logging::setLogLevel(level);
    return count;
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
}
