#include "measurement/CameraCapture.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "ProgramFolder.h"
#include "measurement/FramePicture.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace measurement {

CameraCapture::CameraCapture(Sink sink) : m_S(std::make_shared<Shared>()) { m_S->sink = std::move(sink); }

CameraCapture::~CameraCapture()
{
    StopCapture();
    {
        // A thread that did not end in time must not call into the owner.
        std::lock_guard<std::mutex> g(m_S->sinkLock);
        m_S->sink = nullptr;
    }
    // Otherwise the camera goes with the shared state when that thread ends.
    if (!m_S->abandoned) m_S->camera.Release();
}

bool CameraCapture::OpenCamera(int index)
{
    if (!m_S->camera.Open(index)) {
        DebugLine("camera %d not opened", index);
        return false;
    }
    m_S->deviceOpened = true;
    m_S->cameraOpen = true;
    StartCapture();
    return true;
}

int CameraCapture::StartCapture()
{
    if (m_S->abandoned) return -1;  // one reader per camera
    // Once per capture, not per frame: the store creates them again anyway.
    emtask::MakeDirectory(emtask::JpegDir());  // and data with it
    auto s = m_S;
    return m_Loop.Start([s](const std::atomic<bool>& running) { return Step(*s, running); }, 10);
}

bool CameraCapture::StopCapture()
{
    if (!m_Loop.Stop(1000)) {
        DebugLine("capture thread did not stop within 1000 ms");
        m_S->abandoned = true;
        return false;
    }
    return true;
}

void CameraCapture::RestartCamera()
{
    m_S->photoShown = false;
    if (!m_Loop.Running()) StartCapture();
    // A camera that never opened stays closed: no thread would get frames.
    m_S->cameraOpen = m_S->deviceOpened.load();
}

void CameraCapture::RequestPhoto() { m_S->captureImage = true; }

cv::Mat CameraCapture::TakePhoto()
{
    std::lock_guard<std::mutex> g(m_S->photoLock);
    m_S->captureImageClone = false;
    return m_S->photo.clone();
}

bool CameraCapture::HandleFrame()
{
    std::atomic<bool> running{true};
    return Step(*m_S, running);
}

bool CameraCapture::Step(Shared& s, const std::atomic<bool>& running)
{
    if (!s.cameraUse) {
        s.Show(QImage(), Banner::PhotoTaken);
        return true;
    }
    if (!s.cameraOpen || PreviewActive()) return true;
    try {
        cv::Mat frame;
        // Wait for a frame, then take the one after it (a fresh one).
        while (!s.camera.Read(frame)) {
            if (!running || !s.cameraOpen) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        frame.release();
        s.camera.Read(frame);
        if (frame.empty()) return true;

        if (s.captureImage) {
            DebugLine("m_CaptureImage : %d", int(s.captureImage.load()));
            s.captureImage = false;
            {
                std::lock_guard<std::mutex> g(s.photoLock);
                frame.copyTo(s.photo);
            }
            DebugLine("[SAVE IMAGE]");
            s.Show(FramePicture(frame), Banner::PhotoTaken);
            s.photoShown = true;
            // Kept last: the window that sees it may clear photoShown for
            // the next test, which a later store here would undo.
            s.captureImageClone = true;
            return true;
        }
        if (s.photoShown)
            s.Show(QImage(), Banner::PhotoTaken);
        else
            s.Show(FramePicture(frame), Banner::Live);
    } catch (const std::exception& e) {
        // The test goes on without pictures.
        std::printf("%s\n", e.what());
        std::fflush(stdout);
        s.cameraOpen = false;
        s.Show(QImage(), Banner::Live);
        return false;
    }
    return true;
}

}  // namespace measurement
