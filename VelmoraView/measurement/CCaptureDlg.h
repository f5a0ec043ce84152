// The test window: follows one breath test through the instrument's events,
// shows the live camera picture, and stores the result with its photograph.
#pragma once

#include "devicelink/DeviceEvents.h"
#include "measurement/CameraCapture.h"
#include "measurement/PictureView.h"
#include "measurement/StatusPanel.h"
#include "measurement/TestSession.h"
#include "measurement/TestStore.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

class DeviceLink;
class QLabel;
class QPushButton;

// The test window: one whole breath test, of which the camera picture is one
// part (more than a capture).
class CCaptureDlg : public QDialog, private measurement::TestSession::Hooks {
    Q_OBJECT
public:
    static constexpr int kWidth = 860;
    static constexpr int kHeight = 654;
    static inline const char* kRecalibrationNotice = measurement::TestSession::kRecalibrationNotice;

    // Follows the test on `link` (none: events reach it by OnTestEvent only,
    // and closing sends nothing).
    // Stores its test into `store`; follows the test on `link`. The photograph
    // is looked for every `photoWaitMs` (tests shorten it).
    explicit CCaptureDlg(emtask::EMTaskData& store, DeviceLink* link = nullptr, QWidget* parent = nullptr,
                         uint32_t photoWaitMs = measurement::TestSession::kPhotoWaitMs);
    ~CCaptureDlg() override;

    // State, for the main window and for tests.
    int Step() const { return m_Status->View().step; }
    const measurement::StatusView& View() const { return m_Status->View(); }
    bool CloseEnabled() const;
    bool Closed() const { return m_Closed; }
    const measurement::TestSession& Session() const { return *m_Session; }
    measurement::CameraCapture& Capture() { return *m_Capture; }
    measurement::CPictureView* PictureView() { return m_Picture; }
    QPushButton* CloseButton() { return m_CloseBtn; }
    const measurement::StoredTest& LastStored() const { return m_LastStored; }
    int StoredCount() const { return m_StoredCount; }
    // The last record this window tried to store (slot -1: it failed); none
    // when the test ended without a result to store.
    std::optional<measurement::StoredTest> Outcome() const;

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

public slots:
    void reject() override;  // only the test window itself closes it (Escape is its close button)
    // An instrument event of the link (queued from its read thread).
    void OnTestEvent(DeviceEvent event, const QString& result);

private:
    emtask::EMTaskData& m_Store;
    // What the session asks of the window.
    void ShowStep(int step) override;
    void SetCloseEnabled(bool enabled) override;
    void RestartCamera() override;
    void MakeTopmost() override;
    void RequestPhoto() override;
    bool PhotoKept() override;
    void TakeResult(const std::string& result) override;
    bool ResultIsAlert() override;
    void Store(bool flowError) override;
    void AskForUnit() override;
    void Close(bool byButton) override;

    uint32_t NowMs() const { return static_cast<uint32_t>(m_Since.elapsed()); }
    // Arms the timer for the session's next tick.
    void Rearm();
    void OnCloseButton();
    void Finish();
    void StopFollowing();

    measurement::CStatusPanel* m_Status = nullptr;
    measurement::CPictureView* m_Picture = nullptr;
    DeviceLink* m_Link = nullptr;  // the main window's
    QPushButton* m_CloseBtn = nullptr;
    QLabel* m_IdValue = nullptr;
    QLabel* m_NameValue = nullptr;
    std::unique_ptr<measurement::CameraCapture> m_Capture;

    bool m_Opened = false;
    bool m_Closed = false;

    std::unique_ptr<measurement::TestSession> m_Session;
    QElapsedTimer m_Since;
    QTimer m_TickTimer;
    measurement::StoredTest m_LastStored;
    int m_StoredCount = 0;
    bool m_StoreTried = false;
};

// Runs a test window modally on `link` (the main window has sent the start
// command); what it stored, as Outcome says.
std::optional<measurement::StoredTest> RunCaptureDialog(QWidget* parent, emtask::EMTaskData& store,
                                                        DeviceLink& link);
