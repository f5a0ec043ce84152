#include "messaging/Notices.h"

#include "DebugLog.h"
#include "controls/Skin.h"
#include "controls/SkinButton.h"
#include "messaging/Messages.h"
#include "messaging/WindowOps.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <mutex>

namespace {

std::mutex g_detailLock;
std::string g_detail;

const NoticeEntry kMsg[] = {
    {103, "Setting Success", "Setting is complete.", true, 13},
    {110, "Setting Success", "Setting is complete.", true, 14},
    {116, "Setting Success", "Setting is complete.", true, 17},
    {117, "Warning", "Existing user data will be deleted.\nDo you still want to proceed?", true, 18},
    {111, "Camera", "Please hold on a minute. Waiting for the camera", false, 15},
    {112, "Camera", "Camera setting is being applied...", false, 0},
    {114, "Setting", "Loading setting values...", false, 0},
    {115, "Setting", "Camera setting is being applied...", false, 0},
    {118, "Registration", "User data is currently being registered...", false, 0},
};

const char* const kMemoryFull =
    "The memory on ZOLT7 is almost full.\nPlease save the data on your computer immediately.";

const NoticeEntry kMsgError[] = {
    {116, "ID or Name recognition", "Please check your ID or name.", true, 14},
    {117, "Communication Status", "Please check the communication status of the device.", true, 12},
    {118, "Communication Status", "Fail to open port(USB)", true, 12},
    {119, "Setting Error", "The server address is incorrect.\nPlease check the server address.", true, 17},
    {120, "Setting Error", "Wrong password.\nPlease check the password.", true, 17},
    {121, "Setting Error",
     "Please check the server address and password.\nThe associated setting is set to the default value.",
     true, 16},
    {122, "Setting Error", "Wrong print form setting.\nPlease check the print setting.", true, 15},
    {123, "Password Error", "Wrong password.\nPlease check the password.", true, 13},
    {124, "ID recognition", "ID does not exist or is wrong.\nPlease check the ID.", true, 11},
    {125, "Name recognition", "Name does not exist or is wrong.\nPlease check the Name.", true, 11},
    {126, "Card recognition", "Card recognition failed.", true, 11},
    {129, "Camera", "Camera setting change detected.\nChanging the camera setting...", false, 0},
    {130, "Camera", "Please check the camera setting.", true, 10},
    {131, "Communication Status", "Please check the communication status of the bio-reader.", true, 14},
    {132, "Data", kMemoryFull, true, 18},
    {133, "Data", kMemoryFull, true, 19},
    {134, "Registration", "Duplicate user ID or name.\nPlease check the following information :\n %s",
     true, 20},
    {135, "Registration",
     "Number of characters exceeded the limit.\nPlease check the following information :\n %s", true, 20},
};

template <size_t N>
const NoticeEntry* FindIn(const NoticeEntry (&table)[N], int number)
{
    for (const NoticeEntry& e : table)
        if (e.number == number) return &e;
    return nullptr;
}

constexpr int kWidth = 400, kHeight = 235, kTitleHeight = 30;

// A settings page and the settings window wait for a notice together and get
// control back together.
void EnablePageAndSettings(Wnd page, bool enable)
{
    EnableWnd(page, enable);
    EnableWnd(Wnd::Settings, enable);
}

// Follow-ups that hold a settings page with the settings window while shown;
// HeldPage is Wnd::Count for any other follow-up.
struct PageHold {
    int followUp;
    Wnd page;
};
const PageHold kMsgPages[] = {
    {13, Wnd::PrintPage}, {14, Wnd::PsetPage}, {17, Wnd::HelpPage}, {18, Wnd::UserList}};
const PageHold kMsgErrorPages[] = {
    {15, Wnd::PrintPage}, {16, Wnd::PsetPage}, {17, Wnd::HelpPage}, {20, Wnd::UserList}};

template <size_t N>
Wnd HeldPage(const PageHold (&holds)[N], int followUp)
{
    for (const PageHold& h : holds)
        if (h.followUp == followUp) return h.page;
    return Wnd::Count;
}

}  // namespace

void SetNoticeDetail(const std::string& text)
{
    std::lock_guard<std::mutex> lock(g_detailLock);
    g_detail = text;
}

std::string NoticeDetail()
{
    std::lock_guard<std::mutex> lock(g_detailLock);
    return g_detail;
}

bool ShowNotice(Wnd noticeWindow, int number)
{
    QWidget* w = WindowWidget(noticeWindow);
    if (!w) return false;
    w->show();
    CenterWindow(w);
    w->raise();
    return PostCommand(noticeWindow, number);
}

// ---------------------------------------------------------------------------

CNotice::CNotice(Wnd self, int dismissId, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_Self(self), m_DismissId(dismissId)
{
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
    m_Ok = new CSkinButton(msg::NOTICE_OK, CSkinButton::Look::Flat, QStringLiteral("OK"), this);
    m_Ok->setGeometry((kWidth - 100) / 2, kHeight - 50, 100, 34);
    m_Close = new CSkinButton(dismissId, CSkinButton::Look::TitleIcon, QString(), this,
                              CSkinButton::Glyph::Close);
    m_Close->place(353, 0, 398, 29);
    connect(m_Ok, &CSkinButton::command, this, [this] { OnOk(); });
    // The close button dismisses at once, without what OK adds.
    connect(m_Close, &CSkinButton::command, this, [this](int id) { OnCommand(id); });
    RegisterWindow(self, this);
}

CNotice::~CNotice() { UnregisterWindow(m_Self, this); }

QString CNotice::title() const { return m_Title->text(); }
QString CNotice::message() const { return m_Text->text(); }

void CNotice::OnOk() { PostCommand(m_Self, m_DismissId); }

bool CNotice::event(QEvent* e)
{
    const ZMessageEvent* m;
    if (AsMessage(e, m)) {
        if (m->message == msg::WM_COMMAND) OnCommand(static_cast<int>(m->wParam));
        return true;
    }
    return QWidget::event(e);
}

void CNotice::keyPressEvent(QKeyEvent* e)
{
    // Return acts as OK when OK is offered; Escape never bypasses the
    // follow-up, and a notice without OK cannot be dismissed from the keyboard.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && m_Ok->isVisible() &&
        m_Ok->isEnabled()) {
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
    m_Title->setText(QString::fromUtf8(e.title));
    m_Text->setText(text);
    m_Ok->setVisible(e.ok);
    m_Close->setEnabled(true);
    m_FollowUp = e.followUp;
    m_Number = e.number;
    DisableWaiting(e.followUp);
    if (e.ok) m_Ok->setFocus();
}

void CNotice::Hide()
{
    m_FollowUp = 0;
    m_Number = 0;
    hide();
}

// ---------------------------------------------------------------------------

CMsg::CMsg(QWidget* parent) : CNotice(Wnd::Msg, msg::MSG_DISMISS, parent) {}

const NoticeEntry* CMsg::Find(int number) { return FindIn(kMsg, number); }

void CMsg::DisableWaiting(int followUp)
{
    if (const Wnd page = HeldPage(kMsgPages, followUp); page != Wnd::Count) {
        EnablePageAndSettings(page, false);
    } else if (followUp == 15) {
        EnableWnd(Wnd::Main, false);
        EnableWnd(Wnd::IDentry, false);
    }
}

void CMsg::OnOk()
{
    // The operator confirmed the deletion of the user list.
    if (m_FollowUp == 18) PostMessage(Wnd::UserList, msg::MSG_USERLIST_IMPORT);
    CNotice::OnOk();
}

void CMsg::Dismiss()
{
    if (const Wnd page = HeldPage(kMsgPages, m_FollowUp); page != Wnd::Count) {
        EnablePageAndSettings(page, true);
        RaiseWnd(Wnd::Settings);
    } else if (m_FollowUp == 15) {
        EnableWnd(Wnd::Main, false);
        EnableWnd(Wnd::IDentry, true);
        RaiseWnd(Wnd::IDentry);
    }
    Hide();
}

void CMsg::OnCommand(int id)
{
    if (id < 100 || id > 118) return;
    if (const NoticeEntry* e = Find(id)) {
        Fill(*e, QString::fromUtf8(e->text));
        return;
    }
    switch (id) {
    case msg::MSG_DISMISS: Dismiss(); break;
    case 104: EnableWnd(Wnd::RegUser, true); Hide(); break;
    case 105: Hide(); break;
    case 109: EnableWnd(Wnd::IDentry, true); Hide(); break;
    case 113:
        Hide();
        EnableWnd(Wnd::Settings, true);
        EnableWnd(Wnd::CameraPage, true);
        EnableWnd(Wnd::Main, true);
        PostCommand(Wnd::Settings, msg::SETTINGS_CLOSE);
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------

CMsgError::CMsgError(QWidget* parent) : CNotice(Wnd::MsgError, msg::MSGERROR_DISMISS, parent)
{
    m_CloseTimer.setSingleShot(true);
    connect(&m_CloseTimer, &QTimer::timeout, this, [] { PostCommand(Wnd::MsgError, 128); });
}

const NoticeEntry* CMsgError::Find(int number) { return FindIn(kMsgError, number); }

void CMsgError::StartCloseTimer(int ms) { m_CloseTimer.start(ms); }

void CMsgError::DisableWaiting(int followUp)
{
    // 134 and 135 (follow-up 20) leave the main window as it is.
    if (followUp != 20) EnableWnd(Wnd::Main, false);
    if (const Wnd page = HeldPage(kMsgErrorPages, followUp); page != Wnd::Count) {
        EnablePageAndSettings(page, false);
        return;
    }
    switch (followUp) {
    case 11: EnableWnd(Wnd::RegUser, false); break;
    case 13: EnableWnd(Wnd::Password, false); break;
    case 14: case 18: EnableWnd(Wnd::IDentry, false); break;
    default: break;
    }
}

void CMsgError::Dismiss()
{
    Wnd top = Wnd::Main;
    if (const Wnd page = HeldPage(kMsgErrorPages, m_FollowUp); page != Wnd::Count) {
        EnablePageAndSettings(page, true);
        top = Wnd::Settings;
    }
    switch (m_FollowUp) {
    case 10:
    case 12:
        PostCommand(Wnd::Main, msg::MAIN_ENABLE);
        break;
    case 11: EnableWnd(Wnd::RegUser, true); top = Wnd::RegUser; break;
    case 13: EnableWnd(Wnd::Main, false); EnableWnd(Wnd::Password, true); top = Wnd::Password; break;
    case 14: EnableWnd(Wnd::Main, false); EnableWnd(Wnd::IDentry, true); top = Wnd::IDentry; break;
    case 18:
        EnableWnd(Wnd::Main, true);
        EnableWnd(Wnd::IDentry, true);
        PostCommand(Wnd::IDentry, msg::IDENTRY_MEMORY_FULL);
        top = Wnd::IDentry;
        break;
    case 19: EnableWnd(Wnd::Main, true); break;
    default: break;
    }
    // The main window comes to the top; a window that takes control back
    // stays above it.
    RaiseWnd(Wnd::Main);
    if (top != Wnd::Main) RaiseWnd(top);
    m_CloseTimer.stop();
    Hide();
}

void CMsgError::OnCommand(int id)
{
    if (id < 111 || id > 135) return;
    if (const NoticeEntry* e = Find(id)) {
        QString text = QString::fromUtf8(e->text);
        if (id == 134 || id == 135) text.replace("%s", QString::fromUtf8(NoticeDetail().c_str()));
        Fill(*e, text);
        if (id == 129) m_Close->setEnabled(false);  // only the caller closes it
        return;
    }
    switch (id) {
    case msg::MSGERROR_DISMISS: Dismiss(); break;
    case 127: EnableWnd(Wnd::RegUser, true); m_CloseTimer.stop(); Hide(); break;
    case 128: EnableWnd(Wnd::IDentry, true); m_CloseTimer.stop(); Hide(); break;
    default: break;
    }
}
