// The progress window: a small frameless window holding one CProgressBar,
// created hidden by the window that runs long operations and shown centred
// over it while they run.
#pragma once

#include <QWidget>

class CProgressBar;

// The progress window of long operations (loading, saving, exporting); it
// shows progress and loads nothing itself.
class CLoadDataDlg : public QWidget {
    Q_OBJECT
public:
    explicit CLoadDataDlg(QWidget* owner = nullptr);

    CProgressBar* Bar() const { return m_bar; }
    // Range 0..upper at position 0, centred over `over`, shown and painted.
    void Start(int upper, QWidget* over);
    void CenterOver(QWidget* over);

private:
    CProgressBar* m_bar;
};
