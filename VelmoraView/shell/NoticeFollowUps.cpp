#include "shell/NoticeFollowUps.h"

#include "messaging/Messages.h"
#include "messaging/Notices.h"
#include "messaging/WindowOps.h"

namespace {

// The settings page that waits, with the settings window, for a follow-up;
// Wnd::Count for any other follow-up.
Wnd HeldPage(FollowUp followUp)
{
    switch (followUp) {
    case FollowUp::PrintPageSaved:
    case FollowUp::PrintPageError: return Wnd::PrintPage;
    case FollowUp::PsetPageSaved:
    case FollowUp::PsetPageError: return Wnd::PsetPage;
    case FollowUp::HelpPageSaved:
    case FollowUp::HelpPageError: return Wnd::HelpPage;
    case FollowUp::UserListDelete:
    case FollowUp::UserListError: return Wnd::UserList;
    default: return Wnd::Count;
    }
}

// A settings page and the settings window wait for a notice together and get
// control back together.
void EnablePageAndSettings(Wnd page, bool enable)
{
    EnableWnd(page, enable);
    EnableWnd(Wnd::Settings, enable);
}

void MsgShown(FollowUp followUp)
{
    if (const Wnd page = HeldPage(followUp); page != Wnd::Count) {
        EnablePageAndSettings(page, false);
    } else if (followUp == FollowUp::CameraWait) {
        EnableWnd(Wnd::Main, false);
        EnableWnd(Wnd::IDentry, false);
    }
}

void MsgFinished(FollowUp followUp)
{
    if (const Wnd page = HeldPage(followUp); page != Wnd::Count) {
        EnablePageAndSettings(page, true);
        RaiseWnd(Wnd::Settings);
        return;
    }
    switch (followUp) {
    case FollowUp::CameraWait:
        EnableWnd(Wnd::Main, false);
        EnableWnd(Wnd::IDentry, true);
        RaiseWnd(Wnd::IDentry);
        break;
    case FollowUp::RegistrationDone: EnableWnd(Wnd::RegUser, true); break;
    case FollowUp::IdentryReady: EnableWnd(Wnd::IDentry, true); break;
    case FollowUp::CameraApplied:
        EnableWnd(Wnd::Settings, true);
        EnableWnd(Wnd::CameraPage, true);
        EnableWnd(Wnd::Main, true);
        PostCommand(Wnd::Settings, msg::SETTINGS_CLOSE);
        break;
    default: break;
    }
}

void ErrorShown(FollowUp followUp)
{
    // The user list's errors leave the main window as it is.
    if (followUp != FollowUp::UserListError) EnableWnd(Wnd::Main, false);
    if (const Wnd page = HeldPage(followUp); page != Wnd::Count) {
        EnablePageAndSettings(page, false);
        return;
    }
    switch (followUp) {
    case FollowUp::RegUserError: EnableWnd(Wnd::RegUser, false); break;
    case FollowUp::PasswordError: EnableWnd(Wnd::Password, false); break;
    case FollowUp::IdentryError:
    case FollowUp::MemoryFullIdentry: EnableWnd(Wnd::IDentry, false); break;
    default: break;
    }
}

void ErrorFinished(FollowUp followUp)
{
    Wnd top = Wnd::Main;
    if (const Wnd page = HeldPage(followUp); page != Wnd::Count) {
        EnablePageAndSettings(page, true);
        top = Wnd::Settings;
    }
    switch (followUp) {
    case FollowUp::CameraError:
    case FollowUp::PortError: PostCommand(Wnd::Main, msg::MAIN_ENABLE); break;
    case FollowUp::RegUserError:
        EnableWnd(Wnd::RegUser, true);
        top = Wnd::RegUser;
        break;
    case FollowUp::PasswordError:
        EnableWnd(Wnd::Main, false);
        EnableWnd(Wnd::Password, true);
        top = Wnd::Password;
        break;
    case FollowUp::IdentryError:
        EnableWnd(Wnd::Main, false);
        EnableWnd(Wnd::IDentry, true);
        top = Wnd::IDentry;
        break;
    case FollowUp::MemoryFullIdentry:
        EnableWnd(Wnd::Main, true);
        EnableWnd(Wnd::IDentry, true);
        PostCommand(Wnd::IDentry, msg::IDENTRY_MEMORY_FULL);
        top = Wnd::IDentry;
        break;
    case FollowUp::MemoryFull: EnableWnd(Wnd::Main, true); break;
    // Closed by their callers: no window is raised.
    case FollowUp::RegistrationFailed: EnableWnd(Wnd::RegUser, true); return;
    case FollowUp::IdentryClosed: EnableWnd(Wnd::IDentry, true); return;
    default: break;
    }
    // The main window comes to the top; a window that takes control back
    // stays above it.
    RaiseWnd(Wnd::Main);
    if (top != Wnd::Main) RaiseWnd(top);
}

}  // namespace

void ConnectNoticeFollowUps(CMsg& notice, CMsgError& error)
{
    QObject::connect(&notice, &CNotice::shown, &notice, MsgShown);
    QObject::connect(&notice, &CNotice::finished, &notice, MsgFinished);
    // The operator confirmed the deletion of the user list.
    QObject::connect(&notice, &CNotice::accepted, &notice, [](FollowUp followUp) {
        if (followUp == FollowUp::UserListDelete) PostMessage(Wnd::UserList, msg::MSG_USERLIST_IMPORT);
    });
    QObject::connect(&error, &CNotice::shown, &error, ErrorShown);
    QObject::connect(&error, &CNotice::finished, &error, ErrorFinished);
}
