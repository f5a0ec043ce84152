#include "controls/CProgressBar.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>

QString ProgressText(const ProgressTextInfo& info, double p, double h)
{
    const double pct = h != 0 ? p * 100.0 / h : 0.0;
    const bool done = p == h;
    switch (info.phase) {
    case ProgressPhase::PhotoCopy:
        if (done) return QCoreApplication::translate("ProgressText", "Checking to save data...");
        return QString::asprintf("Photo Save Total:%d, Current :%.f(%.f%%)", info.total, p, pct);
    case ProgressPhase::Workbook:
        if (done) return QCoreApplication::translate("ProgressText", "Checking to save xlsx data...");
        if (p != 0 && static_cast<long long>(p) % 100000 == 0)
            return QString::asprintf("Data saving part of the entire data set... :%.f(%.f%%)", p, pct);
        return QString::asprintf(".xlsx Data Save Total:%d, Current :%.f(%.f%%)", info.total, p, pct);
    case ProgressPhase::Display: break;
    }
    if (done) return QCoreApplication::translate("ProgressText", "Preparing to display...");
    if (info.context == 0)
        return QString::asprintf("Total:%d (%d-%d), Current :%.f(%.f%%)", info.total, info.firstSlot + 1,
                                 info.lastSlot + 1, p, pct);
    return QString::asprintf("Total:%d, Current :%.f(%.f%%)", info.total, p, pct);
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
