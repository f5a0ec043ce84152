#include "measurement/StatusPanel.h"

#include "controls/Skin.h"

#include <QCoreApplication>
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
constexpr int kTextTop = 50;
QFont NumberFont() { return ArialPx(128, 100); }
QFont UnitFont() { return ArialPx(60, 100); }
}  // namespace

ResultPlace PlaceResult(const StatusView& v)
{
    const QFontMetrics number(NumberFont());
    const QFontMetrics unit(UnitFont());
    const QString unitText = StepUnitText(v.unit);
    const int numberW = number.horizontalAdvance(v.result);
    const int unitW = unitText.isEmpty() ? 0 : unit.horizontalAdvance(unitText);
    const int gap = unitText.isEmpty() ? 0 : unit.horizontalAdvance(QLatin1Char(' '));
    const int left = (kStatusWidth - (numberW + gap + unitW)) / 2;
    const int baseline = kTextTop + number.ascent();
    ResultPlace at;
    at.number = QRect(left, kTextTop, numberW, number.height());
    if (!unitText.isEmpty())
        at.unit = QRect(left + numberW + gap, baseline - unit.ascent(), unitW, unit.height());
    return at;
}

QString StatusText(const StatusView& v)
{
    const QString unit = StepUnitText(v.unit);
    if ((v.step == 3 || v.step == 4) && !unit.isEmpty()) return v.result + QLatin1Char(' ') + unit;
    return StepText(v);
}

bool IsAlertResult(const QString& result) { return std::atof(result.toLatin1().constData()) > 0.0; }

QString StepText(const StatusView& v)
{
    switch (v.step) {
    case 0:
    case 1: return QCoreApplication::translate("measurement", "Wait");
    case 2: return QCoreApplication::translate("measurement", "Blow");
    case 3:
    case 4: return v.result;
    case 5: return QCoreApplication::translate("measurement", "Analyzing");
    case 10: return QCoreApplication::translate("measurement", "Flow");
    case 12: return QCoreApplication::translate("measurement", "Sensor Error");
    case 16: return QCoreApplication::translate("measurement", "Time out");
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
    const bool result = v.step == 3 || v.step == 4;
    if (result) {
        const ResultPlace at = PlaceResult(v);
        p.setFont(NumberFont());
        p.drawText(at.number.left(), at.number.top() + QFontMetrics(p.font()).ascent(), v.result);
        p.setFont(UnitFont());
        p.drawText(at.unit.left(), at.unit.top() + QFontMetrics(p.font()).ascent(), StepUnitText(v.unit));
    } else {
        p.setFont(NumberFont());
        DrawCentred(p, StepText(v), StepCentreX(v.step), kTextTop);
    }

    if (!v.notice.isEmpty()) {
        p.setPen(QColor(0, 0, 255));
        p.setFont(ArialPx(35, 400));
        DrawCentred(p, v.notice, 280, 8);
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
    setAccessibleName(StatusText(v));
    update();
}

void CStatusPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    DrawStatusPanel(p, m_View);
}

}  // namespace measurement
