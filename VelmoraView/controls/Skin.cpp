#include "controls/Skin.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace skin {

static QStringList Families()
{
    return {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
            QStringLiteral("NanumGothic"), QStringLiteral("sans-serif")};
}

QFont Arial(int pixelSize, bool bold)
{
    QFont f;
    f.setFamilies(Families());
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QFont ArialPt(int pointSize, bool bold)
{
    QFont f;
    f.setFamilies(Families());
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

void PaintWindowFrame(QPainter& p, const QRect& r, int titleHeight)
{
    p.save();
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, QColor(0xf4, 0xf6, 0xf8));
    body.setColorAt(1, QColor(0xdc, 0xe2, 0xe8));
    p.fillRect(r, body);
    if (titleHeight > 0) {
        QRect t(r.left(), r.top(), r.width(), titleHeight);
        QLinearGradient g(t.topLeft(), t.bottomLeft());
        g.setColorAt(0, QColor(0x2b, 0x3a, 0x4a));
        g.setColorAt(1, QColor(0x1c, 0x27, 0x33));
        p.fillRect(t, g);
        p.fillRect(QRect(t.left(), t.bottom() - 1, t.width(), 2), kAccent);
    }
    p.setPen(QColor(0x1c, 0x27, 0x33));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.restore();
}

QIcon AppIcon()
{
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(kAccent);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(0, 0, size, size), size / 5.0, size / 5.0);
        p.setPen(Qt::white);
        p.setFont(Arial(size * 11 / 16, true));
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Z"));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

void PaintPanel(QPainter& p, const QRect& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    p.fillPath(path, Qt::white);
    p.setPen(QPen(QColor(0xc4, 0xcc, 0xd4), 1));
    p.drawPath(path);
    p.restore();
}

}  // namespace skin
