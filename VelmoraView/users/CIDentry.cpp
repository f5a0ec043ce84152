#include "users/CIDentry.h"

#include "DebugLog.h"
#include "StoreParts.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/LimitedEdit.h"
#include "controls/Skin.h"
#include "messaging/Notices.h"
#include "messaging/WindowOps.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>

int FindSubjectSlot(const emtask::UserRegister& users, const std::string& entry)
{
    if (entry.empty()) return -1;
    for (int i = 0; i < emtask::kMaxUsers; ++i) {
        const emtask::BusUserInfo& u = users.At(i);
        if (emtask::FieldText(u.cusid) == entry || emtask::FieldText(u.uname) == entry) return i;
    }
    return -1;
}

void ApplySubject(const emtask::UserRegister& users, emtask::SettingsBlock& settings, int slot)
{
    const emtask::BusUserInfo& u = users.At(slot);
    settings.Change([&u](emtask::BusInfo& b) {
        std::memset(b.subjectno, 0, sizeof b.subjectno);
        std::snprintf(b.subjectno, sizeof b.subjectno, "%d", u.uid);
        emtask::CopyField(b.subjectname, emtask::FieldText(u.uname));
        emtask::CopyField(b.subjectid, emtask::FieldText(u.cusid));
    });
}

CIDentry::CIDentry(const emtask::UserRegister& users, emtask::SettingsBlock& settings)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_Users(users),
      m_Settings(settings)
{
    setObjectName(QStringLiteral("CIDentry"));
    setWindowTitle(tr("Identification"));  // the window's name to a screen reader
    setFixedSize(540, 300);
    auto* head = new QLabel(tr("Identification"), this);
    skin::StyleTitle(head);
    head->setGeometry(10, 2, 300, 26);

    m_Close = new QPushButton(QStringLiteral("\u2715"), this);
    m_Close->setGeometry(540 - 45, 0, 45, 29);
    m_Close->setAutoDefault(false);
    m_Close->setFocusPolicy(Qt::NoFocus);
    skin::StyleTitleClose(m_Close);
    m_Close->setAccessibleName(tr("Close"));
    connect(m_Close, &QPushButton::clicked, this, &CIDentry::OnClose);

    auto* prompt = new QLabel(tr("ID or Name"), this);
    prompt->setFont(skin::Arial(18));
    prompt->setStyleSheet("color: #464646;");
    prompt->setGeometry(60, 74, 420, 30);

    // 30 characters, and no more bytes than an ID or a name can hold.
    m_Entry = new CLimitedEdit(kMaxEntryChars, int(sizeof(emtask::BusUserInfo::cusid)) - 1, this);
    m_Entry->setFont(skin::Arial(22));
    m_Entry->setGeometry(60, 110, 420, 44);
    prompt->setBuddy(m_Entry);
    m_Entry->setAccessibleName(tr("ID or name"));

    m_Ok = new QPushButton(tr("OK"), this);
    m_Ok->setGeometry(200, 200, 140, 44);
    m_Ok->setDefault(true);
    skin::StyleFlatButton(m_Ok);
    connect(m_Ok, &QPushButton::clicked, this, &CIDentry::OnOk);

    DragWithMouse(this);  // movable by any point of its surface
    RegisterWindow(Wnd::IDentry, this);
    FollowNotices(this, &CIDentry::OnNoticeShown, &CIDentry::OnNoticeFinished);
}

CIDentry::~CIDentry() { UnregisterWindow(Wnd::IDentry, this); }

void CIDentry::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), 30);
}

void CIDentry::CentreOnScreen() { CenterOnScreen(this); }

void CIDentry::ShowCentred()
{
    CentreOnScreen();
    show();
    raise();
    activateWindow();
}

void CIDentry::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    QTimer::singleShot(0, this, &CIDentry::FirstShown);
}

void CIDentry::FirstShown()
{
    if (!isVisible()) return;
    m_Entry->setFocus();
    const emtask::BusInfo& b = m_Settings.Get();
    if (b.idmode == 0) {
        m_Entry->setEnabled(false);
        m_Ok->setEnabled(false);
    } else if (b.idmode == 1 || b.idmode == 2) {
        m_Entry->setEnabled(true);
        m_Ok->setEnabled(true);
    }
    // No further test can be numbered: the window stays locked.
    if (b.recordcnt >= emtask::kMaxStoredCounter) {
        LockForFullCounter();
        setEnabled(false);
        ShowErrorNotice(ErrorNotice::MemoryFullIdentry);
    }
}

// The error notice window when there is one (it enables this window again
// when dismissed); otherwise the notice's texts in a plain message box, then
// the same follow-up.
void CIDentry::ShowErrorNotice(ErrorNotice notice)
{
    if (ShowNotice(notice)) return;
    if (const NoticeEntry* n = CMsgError::Find(notice))
        ShowMessage(this, QCoreApplication::translate("CNotice", n->text),
                    QCoreApplication::translate("CNotice", n->title), QMessageBox::Critical);
    // The main window stays disabled while this window is shown.
    EnableWnd(Wnd::Main, false);
    setEnabled(true);
    if (notice == ErrorNotice::MemoryFullIdentry)
        LockForFullCounter();
    else
        m_Entry->setFocus();
}

void CIDentry::LockForFullCounter()
{
    // Only the close button is left.
    m_Entry->setEnabled(false);
    m_Ok->setEnabled(false);
}

void CIDentry::OnNoticeShown(FollowUp followUp)
{
    switch (followUp) {
    case FollowUp::CameraWait:
    case FollowUp::IdentryError:
    case FollowUp::MemoryFullIdentry: setEnabled(false); break;
    default: break;
    }
}

void CIDentry::OnNoticeFinished(FollowUp followUp)
{
    switch (followUp) {
    case FollowUp::CameraWait:
    case FollowUp::IdentryError:
        setEnabled(true);
        RaiseWindow(this);
        break;
    case FollowUp::MemoryFullIdentry:
        setEnabled(true);
        // After the main window has taken control back.
        QMetaObject::invokeMethod(this, &CIDentry::OnMemoryFullAcknowledged, Qt::QueuedConnection);
        RaiseWindow(this);
        break;
    // Closed by their callers: not raised.
    case FollowUp::IdentryReady:
    case FollowUp::IdentryClosed: setEnabled(true); break;
    default: break;
    }
}

void CIDentry::OnMemoryFullAcknowledged()
{
    LockForFullCounter();
    // The notice gave the main window back; only the close button may.
    if (isVisible()) EnableWnd(Wnd::Main, false);
}

void CIDentry::OnOk()
{
    if (!m_Ok->isEnabled() || !isEnabled()) return;
    const std::string entry = m_Entry->text().toUtf8().toStdString();
    const int slot = FindSubjectSlot(m_Users, entry);
    if (slot < 0) {
        DebugLine("no user for the entry");
        // The entry stays for a correction once the notice is acknowledged.
        setEnabled(false);
        EnableWnd(Wnd::Main, false);
        ShowErrorNotice(ErrorNotice::IdOrName);
        return;
    }
    ApplySubject(m_Users, m_Settings, slot);
    DebugLine("subject %s", m_Settings.Get().subjectno);
    emit startTestRequested();
    EnableWnd(Wnd::Main, false);
    hide();
}

void CIDentry::OnClose()
{
    EnableWnd(Wnd::Main, true);
    m_Entry->clear();
    CentreOnScreen();
    hide();
}

void CIDentry::reject() { OnClose(); }
void CIDentry::accept() { OnOk(); }
