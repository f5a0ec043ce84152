// Printing the saved report page: one page, the image stretched over the
// printable area. Window-free, so it runs on a worker thread.
#pragma once

#include <QString>

class QPrinter;

namespace reports {

constexpr const char* kPrintDocName = "IMAGE";

// Prints the image file on `printer` as the one page of a job named "IMAGE".
// False (nothing printed) when the image cannot be read or the job cannot start.
bool PrintReportFile(QPrinter& printer, const QString& imagePath);

// Writes the same page as a PDF file (A4, no margins), crash-safe.
bool WriteReportPdf(const QString& imagePath, const QString& pdfPath);

}  // namespace reports
