#include "measurement/CCaptureDlg.h"

#include "messaging/WindowOps.h"
#include "DebugLog.h"
#include "EMTaskData.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/Skin.h"
#include "devicelink/DeviceLink.h"
#include "messaging/WindowRegistry.h"

#include <QCloseEvent>
#include <QCoreApplication>
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

CCaptureDlg::CCaptureDlg(emtask::EMTaskData& store, DeviceLink* link, QWidget* parent, uint32_t photoWaitMs)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_Store(store),
      m_Link(link)
{
    setFixedSize(kWidth, kHeight);
    setObjectName(QStringLiteral("CCaptureDlg"));
    setWindowTitle(tr("Measure"));  // the window's name to a screen reader
    auto* title = new QLabel(tr("Measure"), this);
    skin::StyleTitle(title);
    title->setGeometry(10, 2, 300, 26);

    m_CloseBtn = new QPushButton(QStringLiteral("\u2715"), this);
    m_CloseBtn->setGeometry(kWidth - 45, 0, 45, 29);
    m_CloseBtn->setFocusPolicy(Qt::NoFocus);
    m_CloseBtn->setAutoDefault(false);
    skin::StyleTitleClose(m_CloseBtn);
    m_CloseBtn->setAccessibleName(tr("Close"));
    connect(m_CloseBtn, &QPushButton::clicked, this, &CCaptureDlg::OnCloseButton);

    const emtask::BusInfo& bus = m_Store.Settings().Get();
    auto* info = new QFrame(this);
    info->setGeometry(23, 60, 460, 285);
    info->setFrameShape(QFrame::Box);
    info->setStyleSheet(QStringLiteral("QFrame { background: white; }"));
    auto* head = new QLabel(tr("User Information"), info);
    head->setFont(skin::Arial(24, true));
    head->setGeometry(20, 15, 420, 32);
    auto* idLabel = new QLabel(tr("ID"), info);
    idLabel->setFont(skin::Arial(20, true));
    idLabel->setGeometry(20, 90, 90, 30);
    auto* nameLabel = new QLabel(tr("Name"), info);
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

    m_Session = std::make_unique<TestSession>(static_cast<TestSession::Hooks&>(*this), photoWaitMs);
    m_Since.start();
    m_TickTimer.setSingleShot(true);
    connect(&m_TickTimer, &QTimer::timeout, this, [this] {
        m_Session->Tick(NowMs());
        Rearm();
    });

    CPictureView* view = m_Picture;
    m_Capture = std::make_unique<CameraCapture>(
        [view](const QImage& picture, Banner banner) { view->Deliver(picture, banner); });

    // Following from the start: events that come before the first paint are kept.
    RegisterWindow(Wnd::Capture, this);
    if (m_Link) {
        connect(m_Link, &DeviceLink::testEvent, this, &CCaptureDlg::OnTestEvent, Qt::QueuedConnection);
        m_Link->FollowTest(true);
    }
}

CCaptureDlg::~CCaptureDlg()
{
    StopFollowing();
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
    CenterOnScreen(this);
    QMetaObject::invokeMethod(this, &CCaptureDlg::MakeTopmost, Qt::QueuedConnection);
    m_Capture->SetCameraUse(m_Store.Settings().Get().camerause != 0);
    m_Capture->OpenCamera(m_Store.Settings().Get().cameraindex);
}

void CCaptureDlg::OnTestEvent(DeviceEvent event, const QString& result)
{
    // An event that was on its way when the window closed is dropped.
    if (m_Closed) return;
    m_Session->Event(event, result.toLatin1().toStdString(), NowMs());
    Rearm();
}

void CCaptureDlg::StopFollowing()
{
    UnregisterWindow(Wnd::Capture, this);
    if (m_Link) {
        m_Link->FollowTest(false);
        disconnect(m_Link, nullptr, this, nullptr);
    }
}

void CCaptureDlg::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: e->accept(); return;  // nothing here to confirm
    case Qt::Key_Escape:
        // The close button, with its rules: not while it is disabled.
        e->accept();
        if (m_CloseBtn->isEnabled()) OnCloseButton();
        return;
    default: QDialog::keyPressEvent(e);
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
    if (QWidget* owner = parentWidget()) owner->raise();
    raise();
    activateWindow();
}

void CCaptureDlg::Rearm()
{
    const int64_t in = m_Closed ? -1 : m_Session->NextTickIn(NowMs());
    if (in < 0)
        m_TickTimer.stop();
    else
        m_TickTimer.start(int(in));
}

void CCaptureDlg::ShowStep(int step)
{
    StatusView v;
    v.step = step;
    const emtask::BusInfo& bus = m_Store.Settings().Get();
    v.result = QString::fromLatin1(emtask::FieldText(bus.lastresult).c_str());
    v.unit = QString::fromLatin1(emtask::FieldText(bus.unitcode).c_str());
    v.notice = QCoreApplication::translate("measurement", m_Session->Notice().c_str());
    m_Status->SetView(v);
}

void CCaptureDlg::SetCloseEnabled(bool enabled) { m_CloseBtn->setEnabled(enabled); }
void CCaptureDlg::RestartCamera() { m_Capture->RestartCamera(); }
void CCaptureDlg::RequestPhoto() { m_Capture->RequestPhoto(); }
bool CCaptureDlg::PhotoKept() { return m_Capture->PhotoKept(); }
void CCaptureDlg::TakeResult(const std::string& result)
{
    StoreResultText(m_Store.Settings(), QString::fromLatin1(result));
}

bool CCaptureDlg::ResultIsAlert()
{
    const emtask::BusInfo& bus = m_Store.Settings().Get();
    return IsAlertResult(QString::fromLatin1(emtask::FieldText(bus.lastresult).c_str()));
}

void CCaptureDlg::Store(bool flowError)
{
    cv::Mat photo;
    if (m_Capture->PhotoKept()) photo = m_Capture->TakePhoto();
    std::time_t now = std::time(nullptr);
    struct tm lt;
    localtime_r(&now, &lt);
    const std::string result = flowError ? std::string("FLOW")
                                         : emtask::FieldText(m_Store.Settings().Get().lastresult);
    m_LastStored = FlowDataSave(m_Store, flowError, result, photo, lt);
    m_StoreTried = true;
    if (m_LastStored.slot >= 0) ++m_StoredCount;
    // Said while the session still counts as storing, so events queue behind the box.
    const std::string problem = StoreProblemText(m_LastStored, result, !photo.empty());
    if (!problem.empty()) {
        DebugLine("not saved: %s", problem.c_str());
        ShowMessage(this, QString::fromUtf8(problem.c_str()), tr("Not saved"), QMessageBox::Warning);
    }
}

void CCaptureDlg::AskForUnit()
{
    if (m_Link) m_Link->Send(DeviceCommand::Recall);
}

void CCaptureDlg::OnCloseButton()
{
    if (m_Closed) return;
    m_Session->CloseButton(NowMs());
    Rearm();
}

void CCaptureDlg::Close(bool byButton)
{
    if (byButton) {
        // Finish stops the capture and clears the flags.
        if (m_Session->FlowError() || m_Capture->CameraOpen()) DebugLine("CAP_EXIT_BTN m_CamCaptureFlag");
        if (m_Link) {
            DebugLine("CAP_EXIT_BTN PID_RESET");
            m_Link->SetResetPending();
            DebugLine(" PID_RESET");
            m_Link->Send(DeviceCommand::Reset);
        }
        DebugLine("before CDialog::OnOK");
    }
    Finish();
}

void CCaptureDlg::Finish()
{
    m_Capture->StopCapture();
    m_Capture->SetCameraOpen(false);
    m_Capture->SetPhotoShown(false);
    m_Capture->ClearPhotoKept();
    m_TickTimer.stop();
    m_Closed = true;
    StopFollowing();
    done(QDialog::Accepted);
}

std::optional<StoredTest> CCaptureDlg::Outcome() const
{
    if (!m_StoreTried) return std::nullopt;
    return m_LastStored;
}

std::optional<StoredTest> RunCaptureDialog(QWidget* parent, emtask::EMTaskData& store, DeviceLink& link)
{
    CCaptureDlg dlg(store, &link, parent);
    dlg.exec();
    return dlg.Outcome();
}
