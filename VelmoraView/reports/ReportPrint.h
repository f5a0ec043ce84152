// Printing the rendered report page: one page, the image stretched over the
// printable area. Window-free, so it runs on a worker thread.
#pragma once

#include <QString>

class QImage;
class QPrinter;

namespace reports {

constexpr const char* kPrintDocName = "IMAGE";

// Prints `page` on `printer` as the one page of a job named "IMAGE". Empty
// when printed, otherwise why nothing was printed.
QString PrintReportPage(QPrinter& printer, const QImage& page);

struct ReportOutcome;

// The PDF's document information.
struct PdfInfo {
    QString title;     // "ZOLT7 test report <test number>"
    QString subject;   // the record's subject ID and name, else the Subject entry
    QString keywords;  // the seal code printed; empty for none
};
PdfInfo ReportPdfInfo(const ReportOutcome& o);

// The report drawn again as a PDF file (A4, no margins, the page stretched
// over the sheet as a print is): its texts and lines as text and lines, the
// background and photograph as images. Written crash-safe. Empty when
// written, otherwise why not (the file is then as it was).
QString WriteReportPdf(const ReportOutcome& o, const QString& pdfPath);

}  // namespace reports
