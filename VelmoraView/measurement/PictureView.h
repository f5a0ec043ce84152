// The camera picture (320 x 240), optionally under a 320 x 45 banner. Frames
// are handed over from a camera thread; the widget repaints on its own thread.
#pragma once

#include "measurement/CameraCapture.h"
#include "measurement/FramePicture.h"

#include <QImage>
#include <QWidget>
#include <atomic>
#include <mutex>

namespace measurement {

constexpr int kBannerHeight = 45;

class CPictureView : public QWidget {
public:
    CPictureView(bool withBanner, QWidget* parent = nullptr);

    // Any thread. A null picture keeps the one on screen.
    void Deliver(const QImage& picture, Banner banner);
    // Window thread: back to the placeholder (or a blank area).
    void SetPlaceholder(const QImage& placeholder);
    void ShowPlaceholder();

    // What is on screen now (tests).
    QImage Picture() const;
    Banner CurrentBanner() const;
    int FramesShown() const { return m_FramesShown; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const bool m_WithBanner;
    mutable std::mutex m_Lock;
    QImage m_Picture;
    QImage m_Placeholder;
    Banner m_Banner = Banner::Live;
    std::atomic<bool> m_UpdatePending{false};
    std::atomic<int> m_FramesShown{0};
};

// A grey film camera drawn at w x h, for the camera page while no preview runs.
QImage CameraPlaceholder(int w = kPictureWidth, int h = kPictureHeight);

}  // namespace measurement
