#include "controls/QrCode.h"

#include <QPainter>
#include <qrencode.h>

QImage QrCodeImage(const QByteArray& data, int scale)
{
    QRcode* code = QRcode_encodeData(
        int(data.size()), reinterpret_cast<const unsigned char*>(data.constData()), 0, QR_ECLEVEL_M);
    if (!code) return {};
    constexpr int kQuiet = 4;
    const int side = (code->width + 2 * kQuiet) * scale;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)  // bit 0: a dark module
                p.fillRect((x + kQuiet) * scale, (y + kQuiet) * scale, scale, scale, Qt::black);
    p.end();
    QRcode_free(code);
    return image;
}
