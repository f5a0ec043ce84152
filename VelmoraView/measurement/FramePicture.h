// Turning camera frames into pictures for the screen.
#pragma once

#include <QImage>
#include <opencv2/core.hpp>

namespace measurement {

constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 240;

// A frame of less than 32 bits per pixel widened on the right by
// 4 - (width mod 4) black columns (1 to 4), as the drawing code wants rows
// of a multiple of 4 pixels. Other frames are returned as they are.
cv::Mat WidenForDrawing(const cv::Mat& frame);

// The frame scaled into the w x h picture area; the columns added by
// WidenForDrawing are left out. Null image for an empty or unknown frame.
QImage FramePicture(const cv::Mat& frame, int w = kPictureWidth, int h = kPictureHeight);

}  // namespace measurement
