// Camera devices by index. ZOLT7_CAMERA_SOURCE (a video file or an image
// sequence pattern such as dir/frame_%03d.jpg) stands in for camera 0, loops,
// and is then the only camera.
#pragma once

#include <atomic>
#include <chrono>
#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>
#include <string>

namespace measurement {

class CameraDevice {
public:
    // Opens camera `index` and asks for 320 x 240 frames.
    bool Open(int index);
    // One frame; false when the camera gives none this time.
    bool Read(cv::Mat& frame);
    void Release();

private:
    cv::VideoCapture m_Cap;
    bool m_FromFile = false;
    std::string m_Source;
    bool Reopen();
    int64_t m_FrameCount = 0;  // of a file source, when known
    int64_t m_FramesRead = 0;
    cv::Mat m_Held;  // a file source is paced like a camera
    std::chrono::steady_clock::time_point m_HeldAt{};
};

// Opens indexes 0, 1, 2, ... until one fails; remembers the count.
int CountCameras();
// The count found at start-up (used by the camera page).
int CameraCount();

// Set while the camera page shows its own preview: the test window's capture
// then reads no frames, so one camera has one reader.
std::atomic<bool>& PreviewActive();

}  // namespace measurement
