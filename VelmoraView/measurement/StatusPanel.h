// The status panel of the test window: one step of a breath test, drawn whole.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

class QPainter;

namespace measurement {

constexpr int kStatusWidth = 814;
constexpr int kStatusHeight = 230;

struct StatusView {
    int step = 1;
    QString result;  // the five characters the instrument sent
    QString unit;    // unit code "B", "G", "M" or anything else
    QString notice;  // recalibration notice, or empty
};

// The step's big text and its centre x; empty text for a step with none.
QString StepText(const StatusView& v);
int StepCentreX(int step);
// "%BAC", "g/L", "mg/L", or "" (no unit shown) for any other code.
QString StepUnitText(const QString& unitCode);
// Result panels: green for a result of 0 or less, red above 0.
bool IsAlertResult(const QString& result);

// Where a result step draws its number and its unit (empty when none), on
// one baseline with a space between them, the pair centred in the panel.
struct ResultPlace {
    QRect number;
    QRect unit;
};
ResultPlace PlaceResult(const StatusView& v);
// What the panel says in words: the step's text, a result with its unit.
QString StatusText(const StatusView& v);

void DrawStatusPanel(QPainter& p, const StatusView& v);
QImage RenderStatusPanel(const StatusView& v);

class CStatusPanel : public QWidget {
public:
    explicit CStatusPanel(QWidget* parent = nullptr);
    void SetView(const StatusView& v);
    const StatusView& View() const { return m_View; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    StatusView m_View;
};

}  // namespace measurement
