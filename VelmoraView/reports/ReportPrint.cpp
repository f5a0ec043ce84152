#include "reports/ReportPrint.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"

#include <QBuffer>
#include <cerrno>
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

QString PrintReportPage(QPrinter& printer, const QImage& page)
{
    if (page.isNull()) return QStringLiteral("no page has been rendered");
    printer.setDocName(QString::fromLatin1(kPrintDocName));
    QPainter p;
    if (!p.begin(&printer)) {
        DebugLine(" print job did not start");
        return QStringLiteral("the print job could not start");
    }
    // With fullPage off the painter's origin is the printable area's corner.
    const QRect area(QPoint(0, 0), printer.pageRect(QPrinter::DevicePixel).size().toSize());
    const bool ok = PaintPage(p, page, area);
    if (!ok) printer.abort();
    p.end();
    return ok ? QString() : QStringLiteral("the printer has no printable area");
}

QString WriteReportPdf(const QImage& page, const QString& pdfPath)
{
    if (page.isNull()) return QStringLiteral("no page has been rendered");
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QString::fromLatin1(kPrintDocName));
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter p;
        if (!p.begin(&pdf)) return QStringLiteral("the PDF could not be made");
        PaintPage(p, page, QRect(0, 0, pdf.width(), pdf.height()));
        p.end();
    }
    const std::string path = pdfPath.toStdString();
    emtask::MakeDirectory(QFileInfo(pdfPath).absolutePath().toStdString());
    if (!emtask::AtomicWriteFile(path, bytes.constData(), static_cast<size_t>(bytes.size()))) {
        const int err = errno;
        DebugLine(" %s", emtask::LastFileError().c_str());
        return QString::fromStdString(emtask::ErrorText(err));
    }
    return {};
}

}  // namespace reports
