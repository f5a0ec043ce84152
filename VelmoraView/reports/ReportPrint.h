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

// Writes the same page as a PDF file (A4, no margins), crash-safe. Empty
// when written, otherwise why not (the file is then as it was).
QString WriteReportPdf(const QImage& page, const QString& pdfPath);

}  // namespace reports
