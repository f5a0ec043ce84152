#include "measurement/CCaptureDlg.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/Skin.h"
#include "messaging/Messages.h"
#include "messaging/PostMessage.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <ctime>

using namespace measurement;

namespace {
int g_PhotoWaitMs = 300;
constexpr unsigned kMsgTopmost = msg::WM_USER + 900;  // posted to itself on opening
constexpr int kDeferredClose = -1;
constexpr int kFirstWaits = 11;
constexpr int kAllWaits = 21;
}  // namespace

void CCaptureDlg::SetPhotoWaitMs(int ms) { g_PhotoWaitMs = ms; }

CCaptureDlg::CCaptureDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFixedSize(kWidth, kHeight);
    setObjectName(QStringLiteral("CCaptureDlg"));
    auto* title = new QLabel(QStringLiteral("Measure"), this);
    skin::StyleTitle(title);
    title->setGeometry(10, 2, 300, 26);

    m_CloseBtn = new QPushButton(QStringLiteral("\u2715"), this);
    m_CloseBtn->setGeometry(kWidth - 45, 0, 45, 29);
    m_CloseBtn->setFocusPolicy(Qt::NoFocus);
    m_CloseBtn->setAutoDefault(false);
    skin::StyleTitleClose(m_CloseBtn);
    m_CloseBtn->setAccessibleName(QStringLiteral("Close"));
    connect(m_CloseBtn, &QPushButton::clicked, this, &CCaptureDlg::OnCloseButton);

    const emtask::BusInfo& bus = emtask::GetManager()->m_BusInfo;
    auto* info = new QFrame(this);
    info->setGeometry(23, 60, 460, 285);
    info->setFrameShape(QFrame::Box);
    info->setStyleSheet(QStringLiteral("QFrame { background: white; }"));
    auto* head = new QLabel(QStringLiteral("User Information"), info);
    head->setFont(skin::Arial(24, true));
    head->setGeometry(20, 15, 420, 32);
    auto* idLabel = new QLabel(QStringLiteral("ID"), info);
    idLabel->setFont(skin::Arial(20, true));
    idLabel->setGeometry(20, 90, 90, 30);
    auto* nameLabel = new QLabel(QStringLiteral("Name"), info);
    nameLabel->setFont(skin::Arial(20, true));
    nameLabel->setGeometry(20, 160, 90, 30);
    m_IdValue = new QLabel(QString::fromUtf8(emtask::FieldText(bus.subjectid).c_str()), info);
    m_IdValue->setFont(skin::Arial(20));
    m_IdValue->setGeometry(120, 90, 320, 30);
    m_NameValue = new QLabel(QString::fromUtf8(emtask::FieldText(bus.subjectname).c_str()), info);
    m_NameValue->setFont(skin::Arial(20));
    m_NameValue->setGeometry(120, 160, 320, 30);

    m_Picture = new CPictureView(true, this);
    m_Picture->move(517, 60);

    m_Status = new CStatusPanel(this);
    m_Status->move(23, 400);
    StatusView v;
    v.step = 1;
    m_Status->SetView(v);

    m_WaitTimer.setSingleShot(true);
    connect(&m_WaitTimer, &QTimer::timeout, this, &CCaptureDlg::WaitTick);

    CPictureView* view = m_Picture;
    m_Capture = std::make_unique<CameraCapture>(
        [view](const QImage& picture, Banner banner) { view->Deliver(picture, banner); });

    // Registered from the start: events posted before the first paint are kept.
    RegisterWindow(Wnd::Capture, this);
}

CCaptureDlg::~CCaptureDlg()
{
    UnregisterWindow(Wnd::Capture, this);
    m_Capture.reset();  // stops the thread and releases the camera
}

bool CCaptureDlg::CloseEnabled() const { return m_CloseBtn->isEnabled(); }

void CCaptureDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), 30);
}

void CCaptureDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (m_Opened) return;
    m_Opened = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    PostMessage(this, kMsgTopmost);
    m_Capture->OpenCamera(emtask::GetManager()->m_BusInfo.cameraindex);
}

bool CCaptureDlg::event(QEvent* e)
{
    const ZMessageEvent* m;
    if (AsMessage(e, m)) {
        if (m->message == msg::MSG_DEVICE_EVENT) {
            // Taken as the event arrives: a later frame changes lastresult.
            if (m->wParam == msg::PID_RES)
                m_Results.push_back(m->lParam ? msg::UnpackResult(m->lParam)
                                              : emtask::FieldText(emtask::GetManager()->m_BusInfo.lastresult));
            OnDeviceEvent(int(m->wParam));
        } else if (m->message == kMsgTopmost) {
            MakeTopmost();
        }
        return true;
    }
    return QDialog::event(e);
}

void CCaptureDlg::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        e->accept();
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

void CCaptureDlg::closeEvent(QCloseEvent* e)
{
    // Alt+F4 and the window manager's close do nothing; only END or the
    // window's own button close it.
    if (!m_Closed) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void CCaptureDlg::reject()
{
    if (m_Closed) QDialog::reject();
}

void CCaptureDlg::MakeTopmost()
{
    // The window itself is created on top; changing the flags of a shown
    // modal window would end its loop, so the main window is only raised.
    if (auto* main = qobject_cast<QWidget*>(WindowPointer(Wnd::Main))) main->raise();
    raise();
    activateWindow();
}

void CCaptureDlg::RestartCameraIfFlow()
{
    if (m_FlowError) m_Capture->RestartCamera();
}

void CCaptureDlg::ShowStep(int step)
{
    StatusView v;
    v.step = step;
    const emtask::BusInfo& bus = emtask::GetManager()->m_BusInfo;
    v.result = QString::fromLatin1(m_Result.c_str());
    v.unit = QString::fromLatin1(emtask::FieldText(bus.unitcode).c_str());
    v.notice = m_Notice;
    m_Status->SetView(v);
    if (step == 10 || step == 12) m_CloseBtn->setEnabled(true);
    DebugLine("step : %d", step);
}

void CCaptureDlg::OnDeviceEvent(int code)
{
    if (m_Closed) return;
    if (m_Waiting != WaitKind::None) {
        // The result is being stored: later events follow it, in order.
        m_Deferred.push_back(code);
        return;
    }
    switch (code) {
    case msg::PID_WAIT:
        RestartCameraIfFlow();
        DebugLine("pid_wait");
        MakeTopmost();
        ShowStep(1);
        break;
    case msg::PID_CALIBRATION:
        RestartCameraIfFlow();
        DebugLine("pid_calibration");
        MakeTopmost();
        m_Notice = QString::fromLatin1(kRecalibrationNotice);
        ShowStep(0);
        break;
    case msg::PID_STA:
        ShowStep(2);
        RestartCameraIfFlow();
        break;
    case msg::PID_BRE:
        m_CloseBtn->setEnabled(false);
        DebugLine("m_CaptureImage true");
        m_Capture->RequestPhoto();
        break;
    case msg::PID_M05:
        ShowStep(5);
        break;
    case msg::PID_RES: {
        m_FlowError = false;
        if (!m_Results.empty()) {
            m_Result = m_Results.front();
            m_Results.pop_front();
        }
        ShowStep(IsAlertResult(QString::fromLatin1(m_Result.c_str())) ? 4 : 3);
        DebugLine("before FlowDataSave");
        BeginWait(WaitKind::Result);
        break;
    }
    case msg::PID_FLO:
        DebugLine("m_CaptureImage true");
        m_Capture->RequestPhoto();
        ShowStep(10);
        m_FlowError = true;
        BeginWait(WaitKind::Flow);
        break;
    case msg::PID_SEN:
        ShowStep(12);
        break;
    case msg::PID_TIMEOUT:
        ShowStep(16);
        break;
    case msg::PID_END:
        Finish();  // no command to the instrument
        break;
    default:
        break;  // M07, M08, M10 to M12 and anything else: no effect
    }
}

void CCaptureDlg::BeginWait(WaitKind kind)
{
    m_Waiting = kind;
    m_Waits = 0;
    WaitTick();
}

// One look for the photograph; the pauses between looks run on a timer so the
// window keeps drawing, and events that arrive meanwhile wait their turn.
void CCaptureDlg::WaitTick()
{
    if (m_Capture->PhotoKept()) {
        StoreNow();
        return;
    }
    const int limit = m_Waiting == WaitKind::Result ? kAllWaits : kFirstWaits;
    if (m_Waits == kFirstWaits && m_Waiting == WaitKind::Result) {
        DebugLine("limcnt > 10");
        m_Capture->RequestPhoto();
    }
    if (m_Waits >= limit) {
        StoreNow();
        return;
    }
    ++m_Waits;
    m_WaitTimer.start(g_PhotoWaitMs);
}

void CCaptureDlg::StoreNow()
{
    const WaitKind kind = m_Waiting;
    if (kind == WaitKind::Flow) DebugLine("before flowdatasave");
    cv::Mat photo;
    if (m_Capture->PhotoKept()) photo = m_Capture->TakePhoto();
    std::time_t now = std::time(nullptr);
    struct tm lt;
    localtime_r(&now, &lt);
    const bool clearsUnit = !m_FlowError;
    const std::string result = m_FlowError ? std::string("FLOW") : m_Result;
    m_LastStored = FlowDataSave(m_FlowError, result, photo, lt);
    if (m_LastStored.slot >= 0) ++m_StoredCount;
    // Said before the waiting ends, so events keep queueing behind the box.
    const std::string problem = StoreProblemText(m_LastStored, result, !photo.empty());
    if (!problem.empty()) {
        DebugLine("not saved: %s", problem.c_str());
        ShowMessage(this, QString::fromUtf8(problem.c_str()), QStringLiteral("Not saved"), QMessageBox::Warning);
    }
    // END came in while the photograph was awaited: the serial thread saw the
    // unit code before it was cleared and asked for nothing, so ask now, or
    // the next measure would wait for a unit code that never comes.
    if (clearsUnit && std::find(m_Deferred.begin(), m_Deferred.end(), int(msg::PID_END)) != m_Deferred.end()) {
        DebugLine("END before the result was stored: PID_RECALL");
        PostMessage(Wnd::Main, msg::MSG_DEVICE_COMMAND, msg::PID_RECALL);
    }
    m_Waiting = WaitKind::None;
    if (kind == WaitKind::Result) {
        m_CloseBtn->setEnabled(true);
        DebugLine("PID_RECALL");
    }
    RunDeferred();
}

void CCaptureDlg::RunDeferred()
{
    while (!m_Deferred.empty() && m_Waiting == WaitKind::None && !m_Closed) {
        int code = m_Deferred.front();
        m_Deferred.pop_front();
        if (code == kDeferredClose)
            OnCloseButton();
        else
            OnDeviceEvent(code);
    }
}

void CCaptureDlg::OnCloseButton()
{
    if (m_Closed) return;
    if (m_Waiting != WaitKind::None) {
        m_Deferred.push_back(kDeferredClose);
        return;
    }
    DebugLine("CAP_EXIT_BTN");
    // Finish stops the capture and clears the flags.
    if (m_FlowError || m_Capture->CameraOpen()) DebugLine("CAP_EXIT_BTN m_CamCaptureFlag");
    if (WindowExists(Wnd::Main)) {
        DebugLine("CAP_EXIT_BTN PID_RESET");
        emtask::GetManager()->m_BusInfo.login = 1;
        PostMessage(Wnd::Main, msg::MSG_DEVICE_COMMAND, msg::PID_RESET);
    }
    DebugLine("before CDialog::OnOK");
    Finish();
}

void CCaptureDlg::Finish()
{
    m_Capture->StopCapture();
    m_Capture->SetCameraOpen(false);
    m_Capture->SetPhotoShown(false);
    m_Capture->ClearPhotoKept();
    m_FlowError = false;
    m_WaitTimer.stop();
    m_Deferred.clear();
    m_Closed = true;
    UnregisterWindow(Wnd::Capture, this);
    done(QDialog::Accepted);
}

void RunCaptureDialog(QWidget* parent)
{
    CCaptureDlg dlg(parent);
    dlg.exec();
}
