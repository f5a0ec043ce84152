#include "reports/ReportPrint.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace reports {

namespace {
// The image stretched over the painter's whole page area.
bool PaintPage(QPainter& p, const QImage& img, const QRect& area)
{
    if (area.isEmpty()) return false;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(area, img);
    return true;
}
}  // namespace

bool PrintReportFile(QPrinter& printer, const QString& imagePath)
{
    const QImage img(imagePath);
    if (img.isNull()) {
        DebugLine(" report page unreadable: %s", qPrintable(imagePath));
        return false;
    }
    printer.setDocName(QString::fromLatin1(kPrintDocName));
    QPainter p;
    if (!p.begin(&printer)) {
        DebugLine(" print job did not start");
        return false;
    }
    // With fullPage off the painter's origin is the printable area's corner.
    const QRect area(QPoint(0, 0), printer.pageRect(QPrinter::DevicePixel).size().toSize());
    const bool ok = PaintPage(p, img, area);
    p.end();
    return ok;
}

bool WriteReportPdf(const QString& imagePath, const QString& pdfPath)
{
    const QImage img(imagePath);
    if (img.isNull()) return false;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QString::fromLatin1(kPrintDocName));
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter p;
        if (!p.begin(&pdf)) return false;
        const bool ok = PaintPage(p, img, QRect(0, 0, pdf.width(), pdf.height()));
        p.end();
        if (!ok) return false;
    }
    const std::string path = pdfPath.toStdString();
    emtask::MakeDirectory(QFileInfo(pdfPath).absolutePath().toStdString());
    return emtask::AtomicWriteFile(path, bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace reports
