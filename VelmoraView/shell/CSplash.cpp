#include "shell/CSplash.h"

#include "DebugLog.h"
#include "controls/Skin.h"
#include "messaging/WindowOps.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

CSplash::CSplash(QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::SplashScreen),
      m_Main(mainWindow)
{
    setFixedSize(700, 464);
    m_Status = new QLabel(tr("Loading Program Modules ..."), this);
    m_Status->setGeometry(40, 380, 620, 30);
    m_Status->setFont(skin::Arial(18));
    m_Status->setStyleSheet("color: #E6E6E6;");
    m_Banner = new QLabel(QStringLiteral("2026 Velmora   ver. 2.0"), this);
    m_Banner->setGeometry(40, 420, 620, 24);
    m_Banner->setFont(skin::Arial(14));
    m_Banner->setStyleSheet("color: #9fb3c6;");

    if (m_Main) m_Main->hide();
    DebugLine("beforeMSG_TIMER_LOADING");
    connect(&m_Loading, &QTimer::timeout, this, &CSplash::OnLoadingTimer);
    m_Timeout.setSingleShot(true);
    connect(&m_Timeout, &QTimer::timeout, this, &CSplash::OnSplashTimeout);
    m_Loading.start(500);
}

QString CSplash::statusText() const { return m_Status->text(); }

void CSplash::OnLoadingTimer()
{
    m_Loading.start(10);
    const int status = m_LoadingStatus;
    if (m_Step == 0) {
        if (status == 1 || status == 2) {
            m_Step = 1;
            m_Status->setText(tr("Loading Program Information ..."));
            if (status == 2) m_Loading.start(500);
        }
    } else if (m_Step == 1) {
        if (status == 2) {
            m_Loading.start(500);
            m_Step = 3;
        }
    } else if (m_Step == 3) {
        DebugLine("MSG_TIMER_LOADING loadingStep : %d,loadingStatus :%d", m_Step, status);
        m_Loading.stop();
        m_Status->setText(tr("Initializing USB connection ..."));
        m_Step = 0;
        m_LoadingStatus = 0;
        m_Timeout.start(m_FinalPause);
    }
}

void CSplash::OnSplashTimeout()
{
    DebugLine("MSG_SPLASH_TIMEOUT");
    close();
    if (m_Main) {
        m_Main->setWindowState(m_Main->windowState() & ~Qt::WindowMinimized);
        m_Main->setEnabled(true);
        m_Main->resize(1024, 768);
        m_Main->show();
        CenterWindow(m_Main);
        m_Main->raise();
        m_Main->activateWindow();
    }
    emit finished();
}

void CSplash::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
    g.setColorAt(1, QColor(0x10, 0x22, 0x35));
    p.fillRect(rect(), g);
    // Concentric arcs: a stylised breath reading.
    p.setPen(QPen(QColor(255, 255, 255, 40), 10));
    for (int i = 0; i < 4; ++i)
        p.drawArc(QRect(430 - i * 40, 60 - i * 40, 220 + i * 80, 220 + i * 80), 30 * 16, 120 * 16);
    p.setPen(Qt::white);
    p.setFont(skin::Arial(72, true));
    p.drawText(QRect(40, 120, 620, 100), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZOLT7"));
    p.setFont(skin::Arial(22));
    p.setPen(QColor(0xcf, 0xdd, 0xea));
    p.drawText(QRect(44, 220, 620, 40), Qt::AlignLeft | Qt::AlignVCenter,
               tr("Breath alcohol tester companion"));
    p.fillRect(QRect(40, 368, 620, 2), skin::kAccent);
}
