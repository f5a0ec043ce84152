// The camera page of the settings window: which camera the test window uses,
// whether it is used at all, and a live preview of it.
#pragma once

#include "measurement/CameraSource.h"
#include "measurement/FrameLoop.h"
#include "measurement/PictureView.h"

#include "StoreParts.h"

#include <QWidget>
#include <memory>
#include <mutex>

class QCheckBox;
class QComboBox;

// The settings window's Camera page.
class COptionCameraDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 760;
    static constexpr int kHeight = 540;

    explicit COptionCameraDlg(emtask::SettingsBlock& settings, QWidget* parent = nullptr);
    ~COptionCameraDlg() override;

    // Set from the time the page is shown until the settings window closes:
    // the test window reads no frames, and the settings window closes with a
    // short delay (it reads the "previewActive" property of this page).
    static bool PreviewIsActive() { return measurement::PreviewActive(); }
    // The settings window is closing: stop the preview and give the camera back.
    void SettingsClosing();

    bool PreviewRunning() const { return m_Loop.Running(); }
    QComboBox* CameraList() { return m_List; }
    QCheckBox* UseBox() { return m_Use; }
    measurement::CPictureView* Preview() { return m_Preview; }

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    emtask::SettingsBlock& m_Settings;
    void Refill();
    void OnSelect(int index);
    void OnUseToggled(bool on);
    void StartPreview(int index);
    void StopPreview();
    void SaveSettings();
    void SetPreviewActive(bool on);

    QComboBox* m_List = nullptr;
    QCheckBox* m_Use = nullptr;
    measurement::CPictureView* m_Preview = nullptr;
    bool m_Filling = false;
    QWidget* m_Watched = nullptr;  // the settings window, whose hiding ends the preview

    struct Shared {
        measurement::CameraDevice camera;
        std::mutex lock;  // the camera, between the page and its thread
        std::atomic<bool> open{false};
        std::mutex sinkLock;
        measurement::CPictureView* view = nullptr;
    };
    std::shared_ptr<Shared> m_S;
    measurement::FrameLoop m_Loop;
};
