#include "controls/CLoadDataDlg.h"

#include "controls/CProgressBar.h"

#include <QVBoxLayout>

CLoadDataDlg::CLoadDataDlg(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFixedSize(420, 44);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    m_bar = new CProgressBar(this);
    layout->addWidget(m_bar);
    setStyleSheet(QStringLiteral("CLoadDataDlg { background: rgb(218,218,218); }"));
    hide();
}

void CLoadDataDlg::CenterOver(QWidget* over)
{
    if (!over) return;
    const QPoint centre = over->mapToGlobal(over->rect().center());
    move(centre - QPoint(width() / 2, height() / 2));
}

void CLoadDataDlg::Start(int upper, QWidget* over)
{
    m_bar->SetRange(0, upper);
    m_bar->SetPos(0);
    CenterOver(over);
    show();
    repaint();
}
