// A temporary program folder, a camera stand-in made of generated frames,
// and a main window stand-in that records what is posted to it.
#pragma once

#include "EMTaskData.h"
#include "ProgramFolder.h"
#include "../common/WindowRecorder.h"
#include "shell/PostMessage.h"

#include <QObject>
#include <cstdlib>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

struct TempHome {
    std::string path;
    TempHome()
    {
        char tmpl[] = "/tmp/zolt7-meas-XXXXXX";
        path = mkdtemp(tmpl);
        emtask::SetProgramFolder(path);
        emtask::GetManager()->Reset();
        emtask::InitBusInfo(emtask::GetManager()->m_BusInfo, 0);
        emtask::GetManager()->m_DeviceData.initflag = emtask::kInitFlag;
    }
    ~TempHome() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string& rel) const { return path + "/" + rel; }
};

// n frames of w x h, each a different colour with a moving square, written as
// an image sequence; returns the pattern for ZOLT7_CAMERA_SOURCE.
inline std::string WriteFrames(const std::string& dir, int n, int w = 320, int h = 240)
{
    std::filesystem::create_directories(dir);
    for (int i = 0; i < n; ++i) {
        cv::Mat m(h, w, CV_8UC3, cv::Scalar(40 + 20 * i, 90, 200 - 15 * i));
        cv::rectangle(m, cv::Rect(10 + 12 * i, 40, 60, 60), cv::Scalar(255, 255, 255), cv::FILLED);
        char name[64];
        std::snprintf(name, sizeof name, "/frame_%03d.jpg", i);
        cv::imwrite(dir + name, m);
    }
    return dir + "/frame_%03d.jpg";
}

class CameraSourceEnv {
public:
    explicit CameraSourceEnv(const std::string& source) { setenv("ZOLT7_CAMERA_SOURCE", source.c_str(), 1); }
    ~CameraSourceEnv() { unsetenv("ZOLT7_CAMERA_SOURCE"); }
};

// The main window, recording what it is posted.
struct MainStandIn : Recorder {
    MainStandIn() : Recorder(Wnd::Main) {}
};
