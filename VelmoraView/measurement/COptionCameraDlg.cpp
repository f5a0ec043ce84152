#include "measurement/COptionCameraDlg.h"

#include "DebugLog.h"
#include "StoreParts.h"
#include "controls/Skin.h"
#include "measurement/FramePicture.h"
#include "messaging/StoreNotices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>

using namespace measurement;

COptionCameraDlg::COptionCameraDlg(emtask::SettingsBlock& settings, QWidget* parent)
    : QWidget(parent),
      m_Settings(settings),
      m_S(std::make_shared<Shared>())
{
    setFixedSize(kWidth, kHeight);
    const QFont f = skin::Arial(16);

    auto* camLabel = new QLabel(tr("Camera"), this);
    camLabel->setFont(f);
    camLabel->setGeometry(40, 40, 160, 28);
    m_List = new QComboBox(this);
    m_List->setAccessibleName(camLabel->text());
    m_List->setGeometry(210, 40, 200, 28);

    auto* useLabel = new QLabel(tr("Webcam Use"), this);
    useLabel->setFont(f);
    useLabel->setGeometry(40, 90, 160, 28);
    m_Use = new QCheckBox(this);
    m_Use->setGeometry(210, 90, 28, 28);
    m_Use->setAccessibleName(useLabel->text());  // the box itself has no text

    m_Preview = new CPictureView(false, this);
    m_Preview->move(40, 150);
    m_Preview->SetPlaceholder(CameraPlaceholder());
    m_S->view = m_Preview;

    connect(m_List, qOverload<int>(&QComboBox::activated), this, &COptionCameraDlg::OnSelect);
    // The box's state, however it changed (mouse, key, screen reader).
    connect(m_Use, &QCheckBox::toggled, this, &COptionCameraDlg::OnUseToggled);

    // Opening the page: no preview yet.
    SetPreviewActive(false);
    Refill();
}

void COptionCameraDlg::SetPreviewActive(bool on)
{
    PreviewActive() = on;
    setProperty("previewActive", on);
}

COptionCameraDlg::~COptionCameraDlg()
{
    if (m_Watched) m_Watched->removeEventFilter(this);
    StopPreview();
    SetPreviewActive(false);
    std::lock_guard<std::mutex> g(m_S->sinkLock);
    m_S->view = nullptr;
}

void COptionCameraDlg::Refill()
{
    m_Filling = true;
    const emtask::BusInfo& b = m_Settings.Get();
    m_List->clear();
    for (int i = 0; i < CameraCount(); ++i) m_List->addItem(tr("CAM %1").arg(i));
    if (b.camerause == 1) {
        m_Use->setChecked(true);
        m_List->setEnabled(true);
        m_List->setCurrentIndex(b.cameraindex < m_List->count() ? b.cameraindex : -1);
    } else {
        m_Use->setChecked(false);
        m_List->setCurrentIndex(m_List->count() > 0 ? 0 : -1);
        m_List->setEnabled(false);
    }
    m_Filling = false;
}

void COptionCameraDlg::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (window() != this && m_Watched != window()) {
        // The settings window may close while another page is shown.
        if (m_Watched) m_Watched->removeEventFilter(this);
        m_Watched = window();
        m_Watched->installEventFilter(this);
    }
    SetPreviewActive(true);
    Refill();
    if (m_Settings.Get().camerause == 1)
        StartPreview(m_Settings.Get().cameraindex);
    else
        StopPreview();
}

void COptionCameraDlg::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    StopPreview();
    DebugPrint("[CAMERA HIDE]\n");
}

bool COptionCameraDlg::eventFilter(QObject* watched, QEvent* e)
{
    // The settings window went away: the camera is the test window's again.
    if (watched == m_Watched && e->type() == QEvent::Hide) SettingsClosing();
    return QWidget::eventFilter(watched, e);
}

void COptionCameraDlg::SettingsClosing()
{
    if (PreviewActive()) StopPreview();
    SetPreviewActive(false);
}

void COptionCameraDlg::OnSelect(int index)
{
    if (m_Filling || index < 0) return;
    m_Settings.Change([index](emtask::BusInfo& b) { b.cameraindex = index; });
    StopPreview();
    StartPreview(index);
    SaveSettings();
}

void COptionCameraDlg::OnUseToggled(bool on)
{
    if (m_Filling) return;  // showing the stored choice changes nothing
    m_Settings.Change([on](emtask::BusInfo& b) { b.camerause = on ? 1 : 0; });
    if (on) {
        m_List->setEnabled(true);
        StartPreview(m_Settings.Get().cameraindex);
    } else {
        m_List->setEnabled(false);
        StopPreview();
    }
    SaveSettings();
}

void COptionCameraDlg::SaveSettings() { ReportNotSaved(this, m_Settings.Save(), tr("The settings")); }

void COptionCameraDlg::StartPreview(int index)
{
    if (m_Loop.Running()) return;
    {
        std::lock_guard<std::mutex> g(m_S->lock);
        m_S->open = m_S->camera.Open(index);
    }
    if (!m_S->open) {
        m_Preview->ShowPlaceholder();
        return;
    }
    auto s = m_S;
    m_Loop.Start(
        [s](const std::atomic<bool>&) {
            cv::Mat frame;
            bool got = false;
            try {
                std::lock_guard<std::mutex> g(s->lock);
                got = s->open && s->camera.Read(frame);
            } catch (const std::exception& e) {
                DebugLine("preview: %s", e.what());
                s->open = false;
                return false;
            }
            if (!got) return true;  // nothing this time
            QImage pic = FramePicture(frame);
            std::lock_guard<std::mutex> g(s->sinkLock);
            if (s->view) s->view->Deliver(pic, Banner::Live);
            return true;
        },
        10);
}

void COptionCameraDlg::StopPreview()
{
    // A thread that did not end in time keeps the camera; it goes with the
    // shared state when that thread ends.
    if (m_Loop.Stop(1000)) {
        std::lock_guard<std::mutex> g(m_S->lock);
        m_S->camera.Release();
        m_S->open = false;
    }
    m_Preview->ShowPlaceholder();
}
