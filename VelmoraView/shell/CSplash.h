// The start-up window: shown while the main window initialises, then hands
// over to the main window after a last pause.
#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

class CSplash : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` is hidden while the splash is up and shown afterwards.
    explicit CSplash(QWidget* mainWindow, QWidget* parent = nullptr);
    // How far the main window's start has come: 0 at its beginning, 1 when
    // the controls are laid out, 2 when it is over.
    void SetLoadingStatus(int status) { m_LoadingStatus = status; }
    QString statusText() const;
    int step() const { return m_Step; }
    // Timer intervals in ms (tests shorten the final pause).
    void setFinalPause(int ms) { m_FinalPause = ms; }

signals:
    void finished();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int m_LoadingStatus = 0;
    void OnLoadingTimer();
    void OnSplashTimeout();

    QWidget* m_Main;
    QLabel* m_Status;
    QLabel* m_Banner;
    QTimer m_Loading;  // logged as MSG_TIMER_LOADING
    QTimer m_Timeout;  // logged as MSG_SPLASH_TIMEOUT
    int m_Step = 0;
    int m_FinalPause = 5000;
};
