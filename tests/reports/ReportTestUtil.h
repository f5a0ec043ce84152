// Report test helpers: records with photographs, PDF pages through the poppler tools.
#pragma once

#include "TextUtil.h"
#include "measurement/TestStore.h"
#include "../search/SearchTestUtil.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>
#include <opencv2/core.hpp>
#include <string>

// Appends a record of 7 March 2024, 14:25:01 to the test log; with a photo,
// stores it as the test would and keeps its check value. Returns the slot.
inline int AddRecord(const cv::Mat& photo)
{
    emtask::EMTaskData* m = emtask::GetManager();
    emtask::TestRecord r = searchtest::Record(m->NextTestNo(), "20240307142501", "", "", "0.045", '0', "B");
    r.crc16 = measurement::SaveTestPhoto(photo, r);  // zero samples without a photo
    return m->AppendRecord(r);
}

inline cv::Mat Solid(int w, int h, int b, int g, int r)
{
    return cv::Mat(h, w, CV_8UC3, cv::Scalar(b, g, r));
}

// Whether the pixels of `page` at `points` are all near `colour`.
inline bool AllNear(const QImage& page, std::initializer_list<QPoint> points, QColor colour, int tol = 24)
{
    for (const QPoint& p : points) {
        const QRgb a = page.pixel(p);
        if (std::abs(qRed(a) - colour.red()) > tol || std::abs(qGreen(a) - colour.green()) > tol ||
            std::abs(qBlue(a) - colour.blue()) > tol)
            return false;
    }
    return true;
}

// What a poppler tool writes to its output, UTF-8; empty when it fails.
inline QString ToolOutput(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Number of pages of a PDF file, or -1.
inline int PdfPages(const QString& pdf)
{
    for (const QString& line : ToolOutput(QStringLiteral("pdfinfo"), {pdf}).split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

// The first page of a PDF rendered at `dpi`; null when it cannot be.
inline QImage PdfPicture(const QString& pdf, int dpi)
{
    QTemporaryDir dir;
    QProcess p;
    const QString stem = dir.filePath(QStringLiteral("page"));
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QStringLiteral("1"),
             QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, stem});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// Mean absolute difference per channel of `a` and `picture` scaled to its size.
inline double MeanDifference(const QImage& a, const QImage& picture)
{
    if (a.isNull()) return 255;
    const QImage b = picture.scaled(a.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
    // Both RGB32: the fourth byte is 0xFF in each and adds nothing.
    auto mat = [](const QImage& i) {
        return cv::Mat(i.height(), i.width(), CV_8UC4, const_cast<uchar*>(i.constBits()),
                       size_t(i.bytesPerLine()));
    };
    return cv::norm(mat(a), mat(b), cv::NORM_L1) / (3.0 * a.width() * a.height());
}
