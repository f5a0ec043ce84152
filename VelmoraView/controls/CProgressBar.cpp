#include "controls/CProgressBar.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>

namespace {
QString Tr(const char* text) { return QCoreApplication::translate("CProgressBar", text); }
// As printf's "%.f" rounds, so that the counts read as they always did.
QString Whole(double v) { return QString::asprintf("%.f", v); }
}  // namespace

QString ProgressText(const ProgressTextInfo& info, double p, double h)
{
    const double pct = h != 0 ? p * 100.0 / h : 0.0;
    const bool done = p == h;
    const QString total = QString::number(info.total);
    switch (info.phase) {
    case ProgressPhase::PhotoCopy:
        if (done) return Tr(QT_TRANSLATE_NOOP("CProgressBar", "Checking to save data..."));
        return Tr(QT_TRANSLATE_NOOP("CProgressBar", "Photo Save Total:%1, Current :%2(%3%)"))
            .arg(total, Whole(p), Whole(pct));
    case ProgressPhase::Workbook:
        if (done) return Tr(QT_TRANSLATE_NOOP("CProgressBar", "Checking to save xlsx data..."));
        if (p != 0 && static_cast<long long>(p) % 100000 == 0)
            return Tr(QT_TRANSLATE_NOOP("CProgressBar",
                                        "Data saving part of the entire data set... :%1(%2%)"))
                .arg(Whole(p), Whole(pct));
        return Tr(QT_TRANSLATE_NOOP("CProgressBar", ".xlsx Data Save Total:%1, Current :%2(%3%)"))
            .arg(total, Whole(p), Whole(pct));
    case ProgressPhase::Display: break;
    }
    if (done) return Tr(QT_TRANSLATE_NOOP("CProgressBar", "Preparing to display..."));
    if (info.context == 0)
        return Tr(QT_TRANSLATE_NOOP("CProgressBar", "Total:%1 (%2-%3), Current :%4(%5%)"))
            .arg(total, QString::number(info.firstSlot + 1), QString::number(info.lastSlot + 1), Whole(p),
                 Whole(pct));
    return Tr(QT_TRANSLATE_NOOP("CProgressBar", "Total:%1, Current :%2(%3%)"))
        .arg(total, Whole(p), Whole(pct));
}

CProgressBar::CProgressBar(QWidget* parent) : QWidget(parent) { }

void CProgressBar::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = std::max(lower, upper);
    m_pos = std::clamp(m_pos, m_lower, m_upper);
    update();
}

void CProgressBar::SetPos(int pos)
{
    pos = std::clamp(pos, m_lower, m_upper);
    if (pos == m_pos) return;
    m_pos = pos;
    update();
}

int CProgressBar::StepIt()
{
    SetPos(m_pos + m_step);
    return m_pos;
}

void CProgressBar::SetTextInfo(const ProgressTextInfo& info)
{
    m_info = info;
    update();
}

QString CProgressBar::Text() const
{
    if (m_upper == m_lower) return {};
    return ProgressText(m_info, m_pos - m_lower, m_upper - m_lower);
}

void CProgressBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (m_upper == m_lower) return;
    const double frac = double(m_pos - m_lower) / double(m_upper - m_lower);
    p.fillRect(QRect(0, 0, int(width() * frac + 0.5), height()), QColor(0, 100, 255));
    p.setPen(Qt::black);
    p.drawText(rect(), Qt::AlignCenter, Text());
    p.setPen(QColor(160, 160, 160));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
