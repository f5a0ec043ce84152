// The test window's camera: the capture thread that reads frames every 10 ms,
// shows them, and keeps one as the test's photograph when asked.
#pragma once

#include "measurement/CameraSource.h"
#include "measurement/FrameLoop.h"

#include <QImage>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <opencv2/core.hpp>

namespace measurement {

enum class Banner { Live, PhotoTaken };

class CameraCapture {
public:
    // Called on the capture thread with a new picture (null: keep the one on
    // screen) and the banner form; also with a null picture and Live after
    // the camera failed, to redraw the picture area.
    using Sink = std::function<void(const QImage& picture, Banner banner)>;

    explicit CameraCapture(Sink sink = {});
    ~CameraCapture();
    CameraCapture(const CameraCapture&) = delete;
    CameraCapture& operator=(const CameraCapture&) = delete;

    // Opens the camera of `index`, asks for 320 x 240, sets the camera-open
    // flag and starts the thread. False (nothing started) when it does not open.
    bool OpenCamera(int index);
    int StartCapture();  // 0 started, 1 already running, -1 failed
    // Waits at most 1,000 ms; false when the thread did not end by then (it
    // is left to finish alone).
    bool StopCapture();
    bool CaptureRunning() const { return m_Loop.Running(); }
    // After a flow error: the live picture returns and the thread runs again.
    void RestartCamera();

    // The settings' camera use: off, every pass shows "photo taken" without
    // a picture. Set by the window thread before the camera opens.
    void SetCameraUse(bool on) { m_S->cameraUse = on; }
    bool CameraOpen() const { return m_S->cameraOpen; }
    void SetCameraOpen(bool open) { m_S->cameraOpen = open; }
    bool PhotoShown() const { return m_S->photoShown; }
    void SetPhotoShown(bool shown) { m_S->photoShown = shown; }

    // The window thread sets it; the capture thread clears it and keeps the next frame.
    void RequestPhoto();
    bool PhotoRequested() const { return m_S->captureImage; }
    // Set by the capture thread once the photograph has been copied.
    bool PhotoKept() const { return m_S->captureImageClone; }
    void ClearPhotoKept() { m_S->captureImageClone = false; }
    // The kept photograph (a copy), and clears PhotoKept.
    cv::Mat TakePhoto();

    // One pass of the thread body (the benchmark calls it directly).
    bool HandleFrame();

private:
    struct Shared {
        CameraDevice camera;
        std::atomic<bool> cameraUse{true};
        std::atomic<bool> cameraOpen{false};
        std::atomic<bool> deviceOpened{false};  // OpenCamera succeeded
        std::atomic<bool> abandoned{false};     // a thread that did not stop still uses the camera
        std::atomic<bool> photoShown{false};
        std::atomic<bool> captureImage{false};       // m_CaptureImage
        std::atomic<bool> captureImageClone{false};  // m_CaptureImageClone
        std::mutex photoLock;
        cv::Mat photo;
        std::mutex sinkLock;
        Sink sink;
        void Show(const QImage& picture, Banner banner)
        {
            std::lock_guard<std::mutex> g(sinkLock);
            if (sink) sink(picture, banner);
        }
    };
    static bool Step(Shared& s, const std::atomic<bool>& running);
    std::shared_ptr<Shared> m_S;
    FrameLoop m_Loop;
};

}  // namespace measurement
