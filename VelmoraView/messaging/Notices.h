// The two long-lived notice windows: CMsg for progress and confirmations,
// CMsgError for errors. A caller picks a notice by number (ShowNotice); the
// notice fills in its texts and says its follow-up when it is shown and when
// it is dismissed, so that the windows that wait can step aside and come back.
// A notice names no other window.
#pragma once

#include <QTimer>
#include <QWidget>

#include "messaging/PostMessage.h"

class QLabel;
class CSkinButton;

// Shows and centres a notice window, then posts it the notice number.
// False when that notice window does not exist.
bool ShowNotice(Wnd noticeWindow, int number);

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
    int number;
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
    CNotice(Wnd self, int dismissId, QWidget* parent);
    ~CNotice() override;
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;

    virtual void OnCommand(int id) = 0;
    virtual void OnOk();
    // Shows the texts of an entry; the windows that will be enabled on
    // dismissal are disabled meanwhile.
    void Fill(const NoticeEntry& e, const QString& text);
    void Hide();
    // Hides the notice and says the follow-up.
    void Finish(FollowUp followUp);

    Wnd m_Self;
    int m_DismissId;
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
    static const NoticeEntry* Find(int number);

protected:
    void OnCommand(int id) override;
};

class CMsgError : public CNotice {
    Q_OBJECT
public:
    explicit CMsgError(QWidget* parent = nullptr);
    static const NoticeEntry* Find(int number);
    // Timer 115: closes the notice (as number 128) when it fires.
    void StartCloseTimer(int ms);

protected:
    void OnCommand(int id) override;

private:
    QTimer m_CloseTimer;
};
