#include "controls/GridPrint.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <numeric>

bool PrintGridTable(QPrinter& printer, const PrintTable& table, QString* why)
{
    auto fail = [why](const QString& text) {
        if (why) *why = text;
        return false;
    };
    QPainter p;
    if (!p.begin(&printer))
        return fail(QCoreApplication::translate("GridPrint", "the print job could not start"));
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRect area(0, 0, page.width(), page.height());
    const int total = std::max(1, std::accumulate(table.widths.begin(), table.widths.end(), 0));
    const double scale = double(area.width()) / total;

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8);
    p.setFont(font);
    const int rowH = int(QFontMetrics(font, &printer).height() * 1.5);
    const int perPage = std::max(1, area.height() / rowH - 1);  // one row for the header

    std::vector<int> x(table.widths.size() + 1, 0);
    for (size_t c = 0; c < table.widths.size(); ++c)
        x[c + 1] = int(std::accumulate(table.widths.begin(), table.widths.begin() + long(c) + 1, 0) * scale);

    auto drawRow = [&](int y, const std::vector<PrintTable::Cell>* cells, bool header) {
        for (size_t c = 0; c + 1 < x.size(); ++c) {
            const QRect cell(x[c], y, x[c + 1] - x[c], rowH);
            if (header) p.fillRect(cell, QColor(225, 225, 225));
            p.setPen(QColor(150, 150, 150));
            p.drawRect(cell);
            QString text;
            QColor colour = Qt::black;
            if (header) {
                text = c < size_t(table.titles.size()) ? table.titles[int(c)] : QString();
            } else if (c < cells->size()) {
                text = (*cells)[c].text;
                if ((*cells)[c].color.isValid()) colour = (*cells)[c].color;
            }
            p.setPen(colour);
            p.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignHCenter | Qt::TextSingleLine,
                       p.fontMetrics().elidedText(text, Qt::ElideRight, cell.width() - 6));
        }
    };

    size_t row = 0;
    bool ok = true;
    do {
        if (row > 0 && !printer.newPage()) {
            ok = false;
            break;
        }
        drawRow(0, nullptr, true);
        for (int i = 0; i < perPage && row < table.rows.size(); ++i, ++row)
            drawRow((i + 1) * rowH, &table.rows[row], false);
    } while (row < table.rows.size());
    if (!ok) {
        printer.abort();
        p.end();
        return fail(QCoreApplication::translate("GridPrint", "a page could not be printed"));
    }
    return p.end() || fail(QCoreApplication::translate("GridPrint", "the print job could not be completed"));
}

QString PrinterTarget(const QPrinter& printer)
{
    if (!printer.outputFileName().isEmpty()) return printer.outputFileName();
    return printer.printerName().isEmpty() ? QCoreApplication::translate("GridPrint", "the printer")
                                           : printer.printerName();
}
