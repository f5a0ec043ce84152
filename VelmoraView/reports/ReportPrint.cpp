#include "reports/ReportPrint.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "TextUtil.h"
#include "reports/ReportPage.h"

#include <QCoreApplication>
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
    if (page.isNull()) return QCoreApplication::translate("reports", "no page has been rendered");
    printer.setDocName(QString::fromLatin1(kPrintDocName));
    QPainter p;
    if (!p.begin(&printer)) {
        DebugLine(" print job did not start");
        return QCoreApplication::translate("reports", "the print job could not start");
    }
    // With fullPage off the painter's origin is the printable area's corner.
    const QRect area(QPoint(0, 0), printer.pageRect(QPrinter::DevicePixel).size().toSize());
    const bool ok = PaintPage(p, page, area);
    if (!ok) printer.abort();
    p.end();
    return ok ? QString() : QCoreApplication::translate("reports", "the printer has no printable area");
}

namespace {
// Qt 6.4's writer sets no Subject or Keywords of its own: they go into the
// document's XMP packet, which then also has to carry the title.
QByteArray XmpPacket(const PdfInfo& info)
{
    auto alt = [](const QString& v) {
        return QStringLiteral("<rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt>")
            .arg(v.toHtmlEscaped());
    };
    QString x =
        QStringLiteral(
            "<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
            "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
            "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
            "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
            " xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
            "<dc:format>application/pdf</dc:format>\n"
            "<dc:title>%1</dc:title>\n"
            "<dc:description>%2</dc:description>\n")
            .arg(alt(info.title), alt(info.subject));
    if (!info.keywords.isEmpty())
        x += QStringLiteral("<dc:subject><rdf:Bag><rdf:li>%1</rdf:li></rdf:Bag></dc:subject>\n"
                            "<pdf:Keywords>%1</pdf:Keywords>\n")
                 .arg(info.keywords.toHtmlEscaped());
    x += QStringLiteral("<xmp:CreatorTool>ZOLT7</xmp:CreatorTool>\n"
                        "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>");
    return x.toUtf8();
}

// A file cut short ends before its last "%%EOF".
bool CompletePdf(const QByteArray& bytes)
{
    return bytes.startsWith("%PDF-") && bytes.lastIndexOf("%%EOF") >= bytes.size() - 8;
}
}  // namespace

PdfInfo ReportPdfInfo(const ReportOutcome& o)
{
    PdfInfo info;
    info.title = QStringLiteral("ZOLT7 test report %1").arg(o.testNo);
    if (o.record)
        info.subject = QString::fromStdString(emtask::FieldText(o.record->id) + " " +
                                              emtask::FieldText(o.record->name))
                           .trimmed();
    if (info.subject.isEmpty()) info.subject = QString::fromStdString(o.content.texts.subject).trimmed();
    info.keywords = QString::fromStdString(o.sealCode);
    return info;
}

QString WriteReportPdf(const ReportOutcome& o, const QString& pdfPath)
{
    if (o.page.isNull()) return QCoreApplication::translate("reports", "no page has been rendered");
    const PdfInfo info = ReportPdfInfo(o);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setTitle(info.title);
        pdf.setCreator(QStringLiteral("ZOLT7"));
        pdf.setDocumentXmpMetadata(XmpPacket(info));
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter p;
        if (!p.begin(&pdf)) return QCoreApplication::translate("reports", "the PDF could not be made");
        p.setWindow(0, 0, kPageWidth, kPageHeight);
        p.setViewport(0, 0, pdf.width(), pdf.height());
        const QRect sheet(0, 0, kPageWidth, kPageHeight);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!o.content.background.isNull()) p.drawImage(sheet, o.content.background);
        PaintReportPage(p, o.content);
        p.end();
    }
    if (!CompletePdf(bytes)) return QCoreApplication::translate("reports", "the PDF came out incomplete");
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
