#include "messaging/Notices.h"

#include "DebugLog.h"
#include "controls/Skin.h"
#include "controls/SkinButton.h"
#include "messaging/WindowOps.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace {

const NoticeEntry kMsg[] = {
    {103, QT_TRANSLATE_NOOP("CNotice", "Setting Success"),
     QT_TRANSLATE_NOOP("CNotice", "Setting is complete."), true, FollowUp::PrintPageSaved},
    {110, QT_TRANSLATE_NOOP("CNotice", "Setting Success"),
     QT_TRANSLATE_NOOP("CNotice", "Setting is complete."), true, FollowUp::PsetPageSaved},
    {116, QT_TRANSLATE_NOOP("CNotice", "Setting Success"),
     QT_TRANSLATE_NOOP("CNotice", "Setting is complete."), true, FollowUp::HelpPageSaved},
    {117, QT_TRANSLATE_NOOP("CNotice", "Warning"),
     QT_TRANSLATE_NOOP("CNotice", "Existing user data will be deleted.\nDo you still want to proceed?"), true,
     FollowUp::UserListDelete},
    {111, QT_TRANSLATE_NOOP("CNotice", "Camera"),
     QT_TRANSLATE_NOOP("CNotice", "Please hold on a minute. Waiting for the camera"), false,
     FollowUp::CameraWait},
    {112, QT_TRANSLATE_NOOP("CNotice", "Camera"),
     QT_TRANSLATE_NOOP("CNotice", "Camera setting is being applied..."), false, FollowUp::None},
    {114, QT_TRANSLATE_NOOP("CNotice", "Setting"), QT_TRANSLATE_NOOP("CNotice", "Loading setting values..."),
     false, FollowUp::None},
    {115, QT_TRANSLATE_NOOP("CNotice", "Setting"),
     QT_TRANSLATE_NOOP("CNotice", "Camera setting is being applied..."), false, FollowUp::None},
    {118, QT_TRANSLATE_NOOP("CNotice", "Registration"),
     QT_TRANSLATE_NOOP("CNotice", "User data is currently being registered..."), false, FollowUp::None},
};

const char* const kMemoryFull = QT_TRANSLATE_NOOP(
    "CNotice", "The memory on ZOLT7 is almost full.\nPlease save the data on your computer immediately.");

const NoticeEntry kMsgError[] = {
    {116, QT_TRANSLATE_NOOP("CNotice", "ID or Name recognition"),
     QT_TRANSLATE_NOOP("CNotice", "Please check your ID or name."), true, FollowUp::IdentryError},
    {117, QT_TRANSLATE_NOOP("CNotice", "Communication Status"),
     QT_TRANSLATE_NOOP("CNotice", "Please check the communication status of the device."), true,
     FollowUp::PortError},
    {118, QT_TRANSLATE_NOOP("CNotice", "Communication Status"),
     QT_TRANSLATE_NOOP("CNotice", "Fail to open port(USB)"), true, FollowUp::PortError},
    {119, QT_TRANSLATE_NOOP("CNotice", "Setting Error"),
     QT_TRANSLATE_NOOP("CNotice", "The server address is incorrect.\nPlease check the server address."), true,
     FollowUp::HelpPageError},
    {120, QT_TRANSLATE_NOOP("CNotice", "Setting Error"),
     QT_TRANSLATE_NOOP("CNotice", "Wrong password.\nPlease check the password."), true,
     FollowUp::HelpPageError},
    {121, QT_TRANSLATE_NOOP("CNotice", "Setting Error"),
     QT_TRANSLATE_NOOP("CNotice", "Please check the server address and password.\nThe associated setting is "
                                  "set to the default value."),
     true, FollowUp::PsetPageError},
    {122, QT_TRANSLATE_NOOP("CNotice", "Setting Error"),
     QT_TRANSLATE_NOOP("CNotice", "Wrong print form setting.\nPlease check the print setting."), true,
     FollowUp::PrintPageError},
    {123, QT_TRANSLATE_NOOP("CNotice", "Password Error"),
     QT_TRANSLATE_NOOP("CNotice", "Wrong password.\nPlease check the password."), true,
     FollowUp::PasswordError},
    {124, QT_TRANSLATE_NOOP("CNotice", "ID recognition"),
     QT_TRANSLATE_NOOP("CNotice", "ID does not exist or is wrong.\nPlease check the ID."), true,
     FollowUp::RegUserError},
    {125, QT_TRANSLATE_NOOP("CNotice", "Name recognition"),
     QT_TRANSLATE_NOOP("CNotice", "Name does not exist or is wrong.\nPlease check the Name."), true,
     FollowUp::RegUserError},
    {126, QT_TRANSLATE_NOOP("CNotice", "Card recognition"),
     QT_TRANSLATE_NOOP("CNotice", "Card recognition failed."), true, FollowUp::RegUserError},
    {129, QT_TRANSLATE_NOOP("CNotice", "Camera"),
     QT_TRANSLATE_NOOP("CNotice", "Camera setting change detected.\nChanging the camera setting..."), false,
     FollowUp::None},
    {130, QT_TRANSLATE_NOOP("CNotice", "Camera"),
     QT_TRANSLATE_NOOP("CNotice", "Please check the camera setting."), true, FollowUp::CameraError},
    {131, QT_TRANSLATE_NOOP("CNotice", "Communication Status"),
     QT_TRANSLATE_NOOP("CNotice", "Please check the communication status of the bio-reader."), true,
     FollowUp::IdentryError},
    {132, QT_TRANSLATE_NOOP("CNotice", "Data"), kMemoryFull, true, FollowUp::MemoryFullIdentry},
    {133, QT_TRANSLATE_NOOP("CNotice", "Data"), kMemoryFull, true, FollowUp::MemoryFull},
    {134, QT_TRANSLATE_NOOP("CNotice", "Registration"),
     QT_TRANSLATE_NOOP("CNotice",
                       "Duplicate user ID or name.\nPlease check the following information :\n %s"),
     true, FollowUp::UserListError},
    {135, QT_TRANSLATE_NOOP("CNotice", "Registration"),
     QT_TRANSLATE_NOOP(
         "CNotice",
         "Number of characters exceeded the limit.\nPlease check the following information :\n %s"),
     true, FollowUp::UserListError},
};

template <size_t N>
const NoticeEntry* FindIn(const NoticeEntry (&table)[N], int number)
{
    for (const NoticeEntry& e : table)
        if (e.number == number) return &e;
    return nullptr;
}

constexpr int kWidth = 400, kHeight = 235, kTitleHeight = 30;

}  // namespace

CMsg* MsgWindow() { return qobject_cast<CMsg*>(WindowPointer(Wnd::Msg)); }
CMsgError* MsgErrorWindow() { return qobject_cast<CMsgError*>(WindowPointer(Wnd::MsgError)); }

namespace {
// Queued: the caller sets its own windows first, and the notice's follow-up
// comes after.
template <class Window, class Notice>
bool ShowQueued(Window* w, Notice notice)
{
    if (!w) return false;
    w->show();
    CenterWindow(w);
    w->raise();
    QMetaObject::invokeMethod(
        w, [w, notice] { w->Show(notice); }, Qt::QueuedConnection);
    return true;
}
}  // namespace

bool ShowNotice(MsgNotice notice) { return ShowQueued(MsgWindow(), notice); }
bool ShowNotice(ErrorNotice notice) { return ShowQueued(MsgErrorWindow(), notice); }

// ---------------------------------------------------------------------------

namespace {
// A notice is an alert to assistive technology: its title is its name and
// its text its description.
QAccessibleInterface* NoticeAccessible(const QString&, QObject* object)
{
    if (auto* notice = qobject_cast<CNotice*>(object))
        return new QAccessibleWidget(notice, QAccessible::AlertMessage);
    return nullptr;
}
}  // namespace

CNotice::CNotice(Wnd self, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_Self(self)
{
    static const bool roleInstalled = (QAccessible::installFactory(NoticeAccessible), true);
    (void)roleInstalled;
    setFixedSize(kWidth, kHeight);
    m_Title = new QLabel(this);
    m_Title->setGeometry(10, 3, 250, 25);  // room for descenders
    skin::StyleTitle(m_Title);
    m_Text = new QLabel(this);
    m_Text->setGeometry(12, kTitleHeight + 12, kWidth - 24, 128);
    m_Text->setAlignment(Qt::AlignCenter);
    m_Text->setWordWrap(true);
    m_Text->setFont(skin::ArialPt(11, true));
    m_Text->setTextFormat(Qt::PlainText);
    m_Text->setStyleSheet("color: #303030; background: transparent;");
    m_Ok = new CSkinButton(0, CSkinButton::Look::Flat, tr("OK"), this);
    m_Ok->setGeometry((kWidth - 100) / 2, kHeight - 50, 100, 34);
    m_Close = new CSkinButton(0, CSkinButton::Look::TitleIcon, QString(), this, CSkinButton::Glyph::Close);
    m_Close->place(353, 0, 398, 29);
    connect(m_Ok, &CSkinButton::command, this, [this] { OnOk(); });
    // The close button dismisses at once, without what OK adds.
    connect(m_Close, &CSkinButton::command, this, [this] { Dismiss(); });
    RegisterWindow(self, this);
}

CNotice::~CNotice() { UnregisterWindow(m_Self, this); }

QString CNotice::title() const { return m_Title->text(); }
QString CNotice::message() const { return m_Text->text(); }

void CNotice::OnOk()
{
    emit accepted(m_FollowUp);
    // Dismissed on the next turn: what the answer started is under way first.
    QMetaObject::invokeMethod(
        this, [this] { Dismiss(); }, Qt::QueuedConnection);
}

void CNotice::keyPressEvent(QKeyEvent* e)
{
    // Return acts as OK when OK is offered; Escape never bypasses the
    // follow-up, and a notice without OK cannot be dismissed from the keyboard.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && m_Ok->isVisible() && m_Ok->isEnabled()) {
        OnOk();
        return;
    }
    e->accept();
}

void CNotice::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), kTitleHeight);
}

void CNotice::Fill(const NoticeEntry& e, const QString& text)
{
    m_Title->setText(tr(e.title));
    m_Text->setText(text);
    setWindowTitle(m_Title->text());
    setAccessibleName(m_Title->text());
    setAccessibleDescription(text);
    if (isVisible()) {
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
    m_Ok->setVisible(e.ok);
    m_Close->setEnabled(true);
    m_FollowUp = e.followUp;
    m_Number = e.number;
    emit shown(e.followUp);
    if (e.ok) m_Ok->setFocus();
}

void CNotice::Hide()
{
    m_FollowUp = FollowUp::None;
    m_Number = 0;
    hide();
}

void CNotice::Finish(FollowUp followUp)
{
    Hide();
    emit finished(followUp);
}

// ---------------------------------------------------------------------------

CMsg::CMsg(QWidget* parent) : CNotice(Wnd::Msg, parent) { }

const NoticeEntry* CMsg::Find(MsgNotice notice) { return FindIn(kMsg, static_cast<int>(notice)); }

void CMsg::Show(MsgNotice notice)
{
    if (const NoticeEntry* e = Find(notice)) Fill(*e, CNotice::tr(e->text));
}

void CMsg::Close(MsgClose how)
{
    switch (how) {
    case MsgClose::Dismiss: Finish(m_FollowUp); break;
    case MsgClose::RegistrationDone: Finish(FollowUp::RegistrationDone); break;
    case MsgClose::Hide: Hide(); break;
    case MsgClose::IdentryReady: Finish(FollowUp::IdentryReady); break;
    case MsgClose::CameraApplied: Finish(FollowUp::CameraApplied); break;
    }
}

// ---------------------------------------------------------------------------

CMsgError::CMsgError(QWidget* parent) : CNotice(Wnd::MsgError, parent)
{
    m_CloseTimer.setSingleShot(true);
    connect(&m_CloseTimer, &QTimer::timeout, this, [this] { Close(ErrorClose::IdentryClosed); });
}

const NoticeEntry* CMsgError::Find(ErrorNotice notice) { return FindIn(kMsgError, static_cast<int>(notice)); }

void CMsgError::StartCloseTimer(int ms) { m_CloseTimer.start(ms); }

void CMsgError::Show(ErrorNotice notice)
{
    const NoticeEntry* e = Find(notice);
    if (!e) return;
    // Duplicate and TooLong name a text only when shown as a message box by
    // their page; shown here they name nothing.
    QString text = CNotice::tr(e->text);
    if (notice == ErrorNotice::Duplicate || notice == ErrorNotice::TooLong)
        text.replace(QStringLiteral(" %s"), QString());
    Fill(*e, text);
    if (notice == ErrorNotice::CameraChanged) m_Close->setEnabled(false);  // only the caller closes it
}

void CMsgError::Close(ErrorClose how)
{
    m_CloseTimer.stop();
    switch (how) {
    case ErrorClose::Dismiss: Finish(m_FollowUp); break;
    case ErrorClose::RegistrationFailed: Finish(FollowUp::RegistrationFailed); break;
    case ErrorClose::IdentryClosed: Finish(FollowUp::IdentryClosed); break;
    }
}
