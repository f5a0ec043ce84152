#include "measurement/FramePicture.h"

#include <opencv2/core.hpp>

namespace measurement {

cv::Mat WidenForDrawing(const cv::Mat& frame)
{
    if (frame.empty() || frame.elemSize() * 8 >= 32) return frame;
    int extra = 4 - frame.cols % 4;
    cv::Mat wide;
    cv::copyMakeBorder(frame, wide, 0, 0, 0, extra, cv::BORDER_CONSTANT, cv::Scalar::all(0));
    return wide;
}

QImage FramePicture(const cv::Mat& frame, int w, int h)
{
    if (frame.empty() || frame.depth() != CV_8U) return {};
    const int cols = frame.cols;
    cv::Mat wide = WidenForDrawing(frame);
    QImage view;
    switch (wide.channels()) {
    case 1: view = QImage(wide.data, wide.cols, wide.rows, int(wide.step), QImage::Format_Grayscale8); break;
    case 3: view = QImage(wide.data, wide.cols, wide.rows, int(wide.step), QImage::Format_BGR888); break;
    case 4: view = QImage(wide.data, wide.cols, wide.rows, int(wide.step), QImage::Format_ARGB32); break;
    default: return {};
    }
    // copy() detaches from the matrix before it goes away.
    return view.copy(0, 0, cols, wide.rows)
        .scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace measurement
