#include "measurement/CameraSource.h"

#include "DebugLog.h"

#include <cstdlib>
#include <opencv2/core/utils/logger.hpp>
#include <thread>

namespace measurement {

namespace {
std::atomic<int> g_CameraCount{0};
std::atomic<bool> g_PreviewActive{false};
constexpr auto kFilePace = std::chrono::milliseconds(40);  // 25 frames a second
constexpr int kMaxCameraIndex = 16;

// The stand-in source, or "" when the real cameras are used.
std::string CameraSourceOverride()
{
    const char* s = std::getenv("ZOLT7_CAMERA_SOURCE");
    return s && *s ? std::string(s) : std::string();
}
}  // namespace

bool CameraDevice::Open(int index)
{
    Release();
    std::string source = CameraSourceOverride();
    try {
        if (!source.empty()) {
            if (index != 0) return false;
            m_FromFile = true;
            m_Source = source;
            if (!Reopen()) return false;
        } else {
            if (index < 0) return false;
            m_FromFile = false;
            m_Cap.open(index, cv::CAP_ANY);
        }
        if (!m_Cap.isOpened()) return false;
        m_Cap.set(cv::CAP_PROP_FRAME_WIDTH, 320.0);
        m_Cap.set(cv::CAP_PROP_FRAME_HEIGHT, 240.0);
    } catch (const cv::Exception& e) {
        DebugLine("camera %d: %s", index, e.what());
        m_Cap.release();
        return false;
    }
    return true;
}

bool CameraDevice::Read(cv::Mat& frame)
{
    if (!m_Cap.isOpened()) return false;
    if (!m_FromFile) return m_Cap.read(frame) && !frame.empty();

    auto now = std::chrono::steady_clock::now();
    if (!m_Held.empty() && now - m_HeldAt < kFilePace) {
        m_Held.copyTo(frame);
        return true;
    }
    cv::Mat next;
    // At the end of the file start it again (before reading past the end,
    // which the image sequence reader reports as a warning each time).
    if (m_FrameCount > 0 && m_FramesRead >= m_FrameCount && !Reopen()) return false;
    if (!m_Cap.read(next) || next.empty()) {
        if (!Reopen() || !m_Cap.read(next) || next.empty()) return false;
    }
    ++m_FramesRead;
    m_Held = next;
    m_HeldAt = now;
    m_Held.copyTo(frame);
    return true;
}

bool CameraDevice::Reopen()
{
    m_Cap.release();
    m_Cap.open(m_Source, m_Source.find('%') != std::string::npos ? cv::CAP_IMAGES : cv::CAP_ANY);
    m_FramesRead = 0;
    m_FrameCount = m_Cap.isOpened() ? int64_t(m_Cap.get(cv::CAP_PROP_FRAME_COUNT)) : 0;
    return m_Cap.isOpened();
}

void CameraDevice::Release()
{
    if (m_Cap.isOpened()) m_Cap.release();
    m_Held.release();
}

int CountCameras()
{
    // Probing a missing device makes the library complain on every index.
    const auto level = cv::utils::logging::getLogLevel();
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    int n = 0;
    for (; n < kMaxCameraIndex; ++n) {
        CameraDevice d;
        if (!d.Open(n)) break;
    }
    cv::utils::logging::setLogLevel(level);
    g_CameraCount = n;
    return n;
}

int CameraCount() { return g_CameraCount; }

std::atomic<bool>& PreviewActive() { return g_PreviewActive; }

}  // namespace measurement
