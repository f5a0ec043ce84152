// The two long-lived notice windows: CMsg for progress and confirmations,
// CMsgError for errors. A caller picks a notice (ShowNotice); the notice fills
// in its texts and says its follow-up when it is shown and when it is
// dismissed, so that the windows that wait can step aside and come back in
// their own slots (FollowNotices). A notice names no other window.
#pragma once

#include <QTimer>
#include <QWidget>

#include "messaging/WindowRegistry.h"

class QLabel;
class CSkinButton;

// The notices of CMsg and how its callers close it; the values are the
// notices' numbers of the original design.
enum class MsgNotice {
    PrintSaved = 103,
    PsetSaved = 110,
    CameraWait = 111,
    CameraSetting = 112,
    Loading = 114,
    CameraApplying = 115,  // no OK: the settings window closes it
    HelpSaved = 116,
    UserListDelete = 117,
    Registering = 118,
};
enum class MsgClose {
    Dismiss = 100,           // its close button, or OK
    RegistrationDone = 104,  // the registration window takes control back
    Hide = 105,              // hidden without a follow-up
    IdentryReady = 109,      // the identification window takes control back
    CameraApplied = 113,     // the settings window closes
};

// The notices of CMsgError and how its callers close it.
enum class ErrorNotice {
    IdOrName = 116,
    DeviceLink = 117,
    PortOpen = 118,
    ServerAddress = 119,
    PageWrongPassword = 120,
    ServerAndPassword = 121,
    PrintForm = 122,
    WrongPassword = 123,
    UserId = 124,
    UserName = 125,
    Card = 126,
    CameraChanged = 129,  // no OK and no close button: only its caller closes it
    CameraCheck = 130,
    BioReader = 131,
    MemoryFullIdentry = 132,
    MemoryFull = 133,
    Duplicate = 134,  // names a text only as its page's message box
    TooLong = 135,
};
enum class ErrorClose {
    Dismiss = 111,             // its close button, or OK
    RegistrationFailed = 127,  // the registration window takes control back
    IdentryClosed = 128,       // by its caller or its close timer
};

// Shows and centres a notice window; the notice is filled in on the window's
// next turn, after the caller has set its own windows. False when that notice
// window does not exist.
bool ShowNotice(MsgNotice notice);
bool ShowNotice(ErrorNotice notice);

// What a notice means to the windows that wait for it.
enum class FollowUp {
    None,
    // CMsg
    PrintPageSaved,    // print-setting page and settings window wait
    PsetPageSaved,     // program-setting page and settings window wait
    CameraWait,        // main and identification windows wait for the camera
    HelpPageSaved,     // password page and settings window wait
    UserListDelete,    // user list page waits; OK deletes the register
    RegistrationDone,  // closed by its caller (104): the registration window
    IdentryReady,      // closed by its caller (109): the identification window
    CameraApplied,     // closed by its caller (113): the settings close
    // CMsgError
    CameraError,    // main window waits
    RegUserError,   // registration window waits
    PortError,      // main window waits
    PasswordError,  // password prompt waits
    IdentryError,   // identification window waits
    PrintPageError,
    PsetPageError,
    HelpPageError,
    MemoryFullIdentry,  // identification window waits, then is told
    MemoryFull,
    UserListError,       // user list page waits; the main window is left alone
    RegistrationFailed,  // closed by its caller (127): the registration window
    IdentryClosed,       // closed by its caller or its timer (128)
};

struct NoticeEntry {
    int number;  // of MsgNotice or ErrorNotice
    const char* title;
    const char* text;
    bool ok;            // OK button shown
    FollowUp followUp;  // set when shown
};

class CNotice : public QWidget {
    Q_OBJECT
public:
    FollowUp followUp() const { return m_FollowUp; }
    // The notice shown last (0 while hidden).
    int number() const { return m_Number; }
    QString title() const;
    QString message() const;
    CSkinButton* okButton() const { return m_Ok; }
    CSkinButton* closeButton() const { return m_Close; }

signals:
    // A notice with this follow-up is shown: the windows that wait disable
    // themselves.
    void shown(FollowUp followUp);
    // OK was chosen (before the notice is dismissed).
    void accepted(FollowUp followUp);
    // The notice was dismissed: the windows that waited take control back.
    void finished(FollowUp followUp);

protected:
    CNotice(Wnd self, QWidget* parent);
    ~CNotice() override;
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;

    // The close button, and OK after its answer.
    virtual void Dismiss() = 0;
    void OnOk();
    // Shows the texts of an entry; the windows that will be enabled on
    // dismissal are disabled meanwhile.
    void Fill(const NoticeEntry& e, const QString& text);
    void Hide();
    // Hides the notice and says the follow-up.
    void Finish(FollowUp followUp);

    Wnd m_Self;
    FollowUp m_FollowUp = FollowUp::None;
    int m_Number = 0;
    QLabel* m_Title;
    QLabel* m_Text;
    CSkinButton* m_Ok;
    CSkinButton* m_Close;
};

class CMsg : public CNotice {
    Q_OBJECT
public:
    explicit CMsg(QWidget* parent = nullptr);
    static const NoticeEntry* Find(MsgNotice notice);
    void Show(MsgNotice notice);
    void Close(MsgClose how);

protected:
    void Dismiss() override { Close(MsgClose::Dismiss); }
};

class CMsgError : public CNotice {
    Q_OBJECT
public:
    explicit CMsgError(QWidget* parent = nullptr);
    static const NoticeEntry* Find(ErrorNotice notice);
    void Show(ErrorNotice notice);
    void Close(ErrorClose how);
    // Closes the notice (as IdentryClosed) when it fires.
    void StartCloseTimer(int ms);

protected:
    void Dismiss() override { Close(ErrorClose::Dismiss); }

private:
    QTimer m_CloseTimer;
};

// The notice windows of the run; nullptr while they do not exist.
CMsg* MsgWindow();
CMsgError* MsgErrorWindow();

// Connects a window that waits for notices to both notice windows (those that
// exist now): its own slots get the follow-up of every notice shown and
// finished, and it steps aside and takes control back itself.
template <class W>
void FollowNotices(W* window, void (W::*shown)(FollowUp), void (W::*finished)(FollowUp))
{
    for (CNotice* notice : {static_cast<CNotice*>(MsgWindow()), static_cast<CNotice*>(MsgErrorWindow())}) {
        if (!notice) continue;
        QObject::connect(notice, &CNotice::shown, window, shown);
        QObject::connect(notice, &CNotice::finished, window, finished);
    }
}
