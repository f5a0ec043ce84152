// Printing of a grid's whole contents as pages: the header row on every page,
// columns in proportion to their widths on screen. Works on plain texts, so
// it can run on a worker thread while the grid's window stays live.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <vector>

class QPrinter;

struct PrintTable {
    struct Cell {
        QString text;
        QColor color;  // invalid: black
    };
    QStringList titles;
    std::vector<int> widths;  // screen pixels, one per title
    std::vector<std::vector<Cell>> rows;
};

// Prints every row on as many pages as needed and ends the document. False
// when the printer cannot start or a page fails (the job is then aborted);
// `why` then says which. Never touches a widget.
bool PrintGridTable(QPrinter& printer, const PrintTable& table, QString* why = nullptr);

// Where a printer's pages go, for messages: its output file, or the printer's
// name ("the printer" when it has none).
QString PrinterTarget(const QPrinter& printer);
