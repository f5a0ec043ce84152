#include "controls/Skin.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

namespace skin {

// The program's font before it is sized: its families in order of preference.
static QFont Font(bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("NanumGothic"),
                   QStringLiteral("sans-serif")});
    f.setBold(bold);
    return f;
}

QFont Arial(int pixelSize, bool bold)
{
    QFont f = Font(bold);
    f.setPixelSize(pixelSize);
    return f;
}

QFont ArialPt(int pointSize, bool bold)
{
    QFont f = Font(bold);
    f.setPointSize(pointSize);
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

void StyleTitle(QLabel* caption)
{
    caption->setFont(Arial(21));
    caption->setStyleSheet(QStringLiteral("color: #E6E6E6; background: transparent;"));
}

void StyleTitleClose(QPushButton* close)
{
    close->setFont(Arial(18, true));
    close->setStyleSheet(
        QStringLiteral("QPushButton { color: #E6E6E6; background: transparent; border: none; }"
                       "QPushButton:hover { background: #c0392b; color: white; }"
                       "QPushButton:disabled { color: #7a8591; }"));
}

void StyleFlatButton(QPushButton* button)
{
    button->setFont(Arial(16, true));
    button->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background: #3a3a3a; border: 1px solid #202020; }"
        "QPushButton:pressed { background: #b4b4b4; color: #202020; }"
        "QPushButton:disabled { background: #c8c8c8; color: #8a8a8a; border-color: #a0a0a0; }"));
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
