// Writes the demo camera: an image sequence of moving shapes and a running
// clock, frame_000.jpg ... in the given folder.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTDIR [FRAMES]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const int frames = argc > 2 ? std::atoi(argv[2]) : 50;
    std::filesystem::create_directories(dir);
    const int w = 320, h = 240;
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / frames;
        cv::Mat m(h, w, CV_8UC3);
        // A slow vertical gradient as the background.
        for (int y = 0; y < h; ++y) m.row(y).setTo(cv::Scalar(120 + y / 4, 90 + y / 5, 60 + 40 * t));
        cv::Point ball(int(40 + 240 * t), int(120 + 70 * std::sin(2 * M_PI * t)));
        cv::circle(m, ball, 26, cv::Scalar(40, 200, 240), cv::FILLED, cv::LINE_AA);
        cv::Point c(w / 2, h / 2);
        cv::RotatedRect box(c, cv::Size2f(70, 70), float(360 * t));
        cv::Point2f pts[4];
        box.points(pts);
        std::vector<cv::Point> poly(pts, pts + 4);
        cv::polylines(m, poly, true, cv::Scalar(240, 240, 240), 3, cv::LINE_AA);
        char clock[32];
        std::snprintf(clock, sizeof clock, "00:00:%02d.%02d", (i * 4) / 100, (i * 4) % 100);
        cv::putText(m, clock, cv::Point(10, h - 14), cv::FONT_HERSHEY_SIMPLEX, 0.7, cv::Scalar(255, 255, 255),
                    2, cv::LINE_AA);
        cv::putText(m, "SAMPLE CAMERA", cv::Point(10, 24), cv::FONT_HERSHEY_SIMPLEX, 0.6,
                    cv::Scalar(255, 255, 255), 1, cv::LINE_AA);
        char name[64];
        std::snprintf(name, sizeof name, "/frame_%03d.jpg", i);
        if (!cv::imwrite(dir + name, m)) {
            std::fprintf(stderr, "cannot write %s%s\n", dir.c_str(), name);
            return 1;
        }
    }
    return 0;
}
