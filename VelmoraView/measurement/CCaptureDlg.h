// The test window: follows one breath test through the instrument's events,
// shows the live camera picture, and stores the result with its photograph.
#pragma once

#include "measurement/CameraCapture.h"
#include "measurement/PictureView.h"
#include "measurement/StatusPanel.h"
#include "measurement/TestStore.h"

#include <QDialog>
#include <QTimer>
#include <deque>
#include <memory>
#include <string>

class QLabel;
class QPushButton;

class CCaptureDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 860;
    static constexpr int kHeight = 654;
    static inline const char* kRecalibrationNotice = "                                  [ Need Recalibration ]";

    explicit CCaptureDlg(QWidget* parent = nullptr);
    ~CCaptureDlg() override;

    // State, for the main window and for tests.
    int Step() const { return m_Status->View().step; }
    const measurement::StatusView& View() const { return m_Status->View(); }
    bool CloseEnabled() const;
    bool Closed() const { return m_Closed; }
    measurement::CameraCapture& Capture() { return *m_Capture; }
    measurement::CPictureView* PictureView() { return m_Picture; }
    QPushButton* CloseButton() { return m_CloseBtn; }
    const measurement::StoredTest& LastStored() const { return m_LastStored; }
    int StoredCount() const { return m_StoredCount; }

    // The pause between looks for the photograph (300 ms; tests shorten it).
    static void SetPhotoWaitMs(int ms);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

public slots:
    void reject() override;  // Escape does not close the window

private:
    enum class WaitKind { None, Result, Flow };

    void OnDeviceEvent(int code);
    void ShowStep(int step);
    void RestartCameraIfFlow();
    void MakeTopmost();
    void BeginWait(WaitKind kind);
    void WaitTick();
    void StoreNow();
    void RunDeferred();
    void OnCloseButton();
    void Finish();

    measurement::CStatusPanel* m_Status = nullptr;
    measurement::CPictureView* m_Picture = nullptr;
    QPushButton* m_CloseBtn = nullptr;
    QLabel* m_IdValue = nullptr;
    QLabel* m_NameValue = nullptr;
    std::unique_ptr<measurement::CameraCapture> m_Capture;

    bool m_Opened = false;
    bool m_Closed = false;
    bool m_FlowError = false;
    QString m_Notice;

    WaitKind m_Waiting = WaitKind::None;
    int m_Waits = 0;
    QTimer m_WaitTimer;
    std::deque<int> m_Deferred;  // events that came while a result was being stored
    std::deque<std::string> m_Results;  // results of the PID_RES events not yet handled
    std::string m_Result;               // result of the PID_RES being shown and stored
    measurement::StoredTest m_LastStored;
    int m_StoredCount = 0;
};

// Runs a test window modally (the main window has sent the start command).
void RunCaptureDialog(QWidget* parent);
