#include "measurement/StatusPanel.h"

#include "controls/Skin.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <cstdlib>

namespace measurement {

namespace {
const QColor kTextColor(40, 40, 40);
const QColor kGreen(0, 176, 80);
const QColor kRed(230, 30, 30);

QFont ArialPx(int px, int weight)
{
    QFont f = skin::Arial(px);
    f.setWeight(QFont::Weight(weight));
    return f;
}

// Text centred horizontally on cx with its top at y.
void DrawCentred(QPainter& p, const QString& text, int cx, int y)
{
    QFontMetrics fm(p.font());
    int w = fm.horizontalAdvance(text);
    p.drawText(cx - w / 2, y + fm.ascent(), text);
}
}  // namespace

bool IsAlertResult(const QString& result) { return std::atof(result.toLatin1().constData()) > 0.0; }

QString StepText(const StatusView& v)
{
    switch (v.step) {
    case 0:
    case 1: return QStringLiteral("Wait");
    case 2: return QStringLiteral("Blow");
    case 3:
    case 4: return v.result;
    case 5: return QStringLiteral("Analyzing");
    case 10: return QStringLiteral("Flow");
    case 12: return QStringLiteral("Sensor Error");
    case 16: return QStringLiteral("Time out");
    default: return {};
    }
}

int StepCentreX(int step) { return step == 3 || step == 4 ? 340 : 410; }

QString StepUnitText(const QString& unitCode)
{
    if (unitCode == QLatin1String("B")) return QStringLiteral("%BAC");
    if (unitCode == QLatin1String("G")) return QStringLiteral("g/L");
    if (unitCode == QLatin1String("M")) return QStringLiteral("mg/L");
    return {};
}

void DrawStatusPanel(QPainter& p, const StatusView& v)
{
    const QRect r(0, 0, kStatusWidth, kStatusHeight);
    if (v.step == 3) {
        p.fillRect(r, kGreen);
    } else if (v.step == 4) {
        p.fillRect(r, kRed);
    } else {
        p.fillRect(r, Qt::white);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(kTextColor);
    p.setFont(ArialPx(128, 100));
    DrawCentred(p, StepText(v), StepCentreX(v.step), 50);

    if (!v.notice.isEmpty()) {
        p.setPen(QColor(0, 0, 255));
        p.setFont(ArialPx(35, 400));
        DrawCentred(p, v.notice, 280, 8);
    }
    if (v.step == 3 || v.step == 4) {
        p.setPen(kTextColor);
        p.setFont(ArialPx(60, 100));
        DrawCentred(p, StepUnitText(v.unit), 580, 104);
    }
}

QImage RenderStatusPanel(const StatusView& v)
{
    QImage img(kStatusWidth, kStatusHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    DrawStatusPanel(p, v);
    return img;
}

CStatusPanel::CStatusPanel(QWidget* parent) : QWidget(parent) { setFixedSize(kStatusWidth, kStatusHeight); }

void CStatusPanel::SetView(const StatusView& v)
{
    m_View = v;
    update();
}

void CStatusPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    DrawStatusPanel(p, m_View);
}

}  // namespace measurement
