// Where the build put the helper programs and the sample camera, compiled in
// by CMake, so that a test binary run by hand finds them as ctest does.
#pragma once

#include <string>

#ifndef ZOLT7_BUILD_BIN_DIR
#error "ZOLT7_BUILD_BIN_DIR is set by zolt7_add_qt_test / zolt7_add_gtest"
#endif

// build/bin/<name> of the build this test belongs to.
inline std::string BuildBin(const std::string& name) { return std::string(ZOLT7_BUILD_BIN_DIR) + "/" + name; }

#ifdef ZOLT7_SAMPLECAM_PATTERN
// The generated sample frames as an image-sequence pattern.
inline std::string SampleCamPattern() { return ZOLT7_SAMPLECAM_PATTERN; }
#endif
