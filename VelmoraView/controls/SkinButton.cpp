#include "controls/SkinButton.h"

#include "controls/Skin.h"

#include <QPainter>
#include <QPainterPath>

CSkinButton::CSkinButton(int id, Look look, const QString& text, QWidget* parent, Glyph glyph)
    : QAbstractButton(parent),
      m_Id(id),
      m_Look(look),
      m_Glyph(glyph)
{
    setText(text);
    // Drawn as a glyph only: the name says what it does.
    if (text.isEmpty() && glyph == Glyph::Close) setAccessibleName(tr("Close"));
    if (text.isEmpty() && glyph == Glyph::Minimize) setAccessibleName(tr("Minimize"));
    setFocusPolicy(look == Look::TitleIcon ? Qt::NoFocus : Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this, [this] { emit command(m_Id); });
}

void CSkinButton::place(int left, int top, int right, int bottom)
{
    setGeometry(left, top, right - left + 1, bottom - top + 1);
}

void CSkinButton::enterEvent(QEnterEvent* e)
{
    m_Hover = true;
    update();
    QAbstractButton::enterEvent(e);
}

void CSkinButton::leaveEvent(QEvent* e)
{
    m_Hover = false;
    update();
    QAbstractButton::leaveEvent(e);
}

void CSkinButton::paintGlyph(QPainter& p, const QRectF& r, const QColor& c) const
{
    p.save();
    p.setPen(QPen(c, qMax(2.0, r.width() / 14), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF m = r.center();
    const double w = r.width(), h = r.height();
    switch (m_Glyph) {
    case Glyph::Measure: {  // a breath tester: body, mouthpiece and a gauge arc
        QRectF body(m.x() - w * 0.18, m.y() - h * 0.22, w * 0.36, h * 0.62);
        p.drawRoundedRect(body, 4, 4);
        p.drawLine(QPointF(m.x(), body.top()), QPointF(m.x(), r.top() + h * 0.05));
        QRectF screen(body.left() + w * 0.07, body.top() + h * 0.08, w * 0.22, h * 0.16);
        p.drawRect(screen);
        p.drawPoint(QPointF(m.x(), body.bottom() - h * 0.12));
        break;
    }
    case Glyph::Load: {  // a stack of records
        for (int i = 0; i < 3; ++i) {
            QRectF row(r.left() + w * 0.12, r.top() + h * (0.18 + i * 0.24), w * 0.76, h * 0.16);
            p.drawRoundedRect(row, 3, 3);
        }
        break;
    }
    case Glyph::Option: {  // a gear
        const double ro = w * 0.36, ri = w * 0.16;
        for (int i = 0; i < 8; ++i) {
            QLineF l = QLineF::fromPolar(ro, i * 45.0);
            l.translate(m);
            QLineF in = QLineF::fromPolar(ro * 0.62, i * 45.0);
            in.translate(m);
            p.drawLine(in.p2(), l.p2());
        }
        p.drawEllipse(m, ro * 0.68, ro * 0.68);
        p.drawEllipse(m, ri * 0.7, ri * 0.7);
        break;
    }
    case Glyph::About: {
        p.drawEllipse(m, w * 0.36, h * 0.36);
        p.drawLine(QPointF(m.x(), m.y() - h * 0.02), QPointF(m.x(), m.y() + h * 0.2));
        p.drawPoint(QPointF(m.x(), m.y() - h * 0.17));
        break;
    }
    case Glyph::Minimize:
        p.drawLine(QPointF(m.x() - w * 0.22, m.y() + h * 0.18), QPointF(m.x() + w * 0.22, m.y() + h * 0.18));
        break;
    case Glyph::Close:
        p.drawLine(QPointF(m.x() - w * 0.18, m.y() - h * 0.18), QPointF(m.x() + w * 0.18, m.y() + h * 0.18));
        p.drawLine(QPointF(m.x() + w * 0.18, m.y() - h * 0.18), QPointF(m.x() - w * 0.18, m.y() + h * 0.18));
        break;
    case Glyph::Connect:
    case Glyph::Disconnect: {  // a plug, with a slash when it disconnects
        p.drawRoundedRect(QRectF(m.x() - w * 0.22, m.y() - h * 0.1, w * 0.44, h * 0.34), 3, 3);
        p.drawLine(QPointF(m.x() - w * 0.1, m.y() - h * 0.1), QPointF(m.x() - w * 0.1, m.y() - h * 0.32));
        p.drawLine(QPointF(m.x() + w * 0.1, m.y() - h * 0.1), QPointF(m.x() + w * 0.1, m.y() - h * 0.32));
        p.drawLine(QPointF(m.x(), m.y() + h * 0.24), QPointF(m.x(), m.y() + h * 0.4));
        if (m_Glyph == Glyph::Disconnect)
            p.drawLine(QPointF(r.left() + w * 0.1, r.bottom() - h * 0.1),
                       QPointF(r.right() - w * 0.1, r.top() + h * 0.1));
        break;
    }
    case Glyph::None: break;
    }
    p.restore();
}

void CSkinButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool pressed = isDown();
    const bool enabled = isEnabled();

    if (m_Look == Look::Flat) {
        p.fillRect(rect(), pressed ? skin::kPressed : skin::kHeading);
        p.setPen(!enabled ? QColor(0x80, 0x80, 0x80) : pressed ? skin::kPressedText : QColor(Qt::white));
        p.setFont(skin::Arial(qBound(11, height() / 2, 16), true));
        p.drawText(rect(), Qt::AlignCenter, text());
        return;
    }
    if (m_Look == Look::TitleIcon) {
        QColor bg = Qt::transparent;
        if (enabled && (pressed || m_Hover))
            bg = m_Glyph == Glyph::Close ? QColor(0xc0, 0x39, 0x2b) : QColor(0x3d, 0x50, 0x63);
        p.fillRect(rect(), bg);
        const double s = qMin(width(), height());
        paintGlyph(p, QRectF(width() / 2.0 - s / 2, 0, s, s),
                   enabled ? QColor(Qt::white) : QColor(0x70, 0x78, 0x80));
        return;
    }

    QColor top(0x2f, 0x86, 0xc8), bottom(0x1a, 0x5d, 0x96);
    if (!enabled) {
        top = QColor(0xc8, 0xcc, 0xd0);
        bottom = QColor(0xb0, 0xb5, 0xba);
    } else if (pressed) {
        top = QColor(0x15, 0x4d, 0x7e);
        bottom = QColor(0x1a, 0x5d, 0x96);
    } else if (m_Hover) {
        top = QColor(0x45, 0x9b, 0xdb);
        bottom = QColor(0x22, 0x6c, 0xa8);
    }
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    QPainterPath path;
    path.addRoundedRect(r, 8, 8);
    p.fillPath(path, g);
    p.setPen(QPen(enabled ? QColor(0x12, 0x40, 0x68) : QColor(0x9a, 0xa0, 0xa6), 1));
    p.drawPath(path);
    if (hasFocus() && enabled) {
        p.setPen(QPen(QColor(255, 255, 255, 160), 1, Qt::DotLine));
        p.drawRoundedRect(r.adjusted(3, 3, -3, -3), 6, 6);
    }

    const QColor fg = enabled ? QColor(Qt::white) : QColor(0x80, 0x86, 0x8c);
    p.setPen(fg);
    if (m_Look == Look::Tile) {
        const double s = height() * 0.52;
        paintGlyph(p, QRectF(width() / 2.0 - s / 2, height() * 0.08, s, s), fg);
        p.setFont(skin::Arial(13, true));
        p.setPen(fg);
        p.drawText(QRectF(0, height() * 0.64, width(), height() * 0.32), Qt::AlignCenter, text());
    } else {
        p.setFont(skin::Arial(qBound(12, height() * 2 / 5, 18), true));
        if (m_Glyph != Glyph::None) {
            const double s = height() * 0.62;
            QFontMetrics fm(p.font());
            const double tw = fm.horizontalAdvance(text());
            const double x0 = (width() - (s + 8 + tw)) / 2;
            paintGlyph(p, QRectF(x0, (height() - s) / 2, s, s), fg);
            p.setPen(fg);
            p.drawText(QRectF(x0 + s + 8, 0, tw + 2, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
        } else {
            p.drawText(rect(), Qt::AlignCenter, text());
        }
    }
}
