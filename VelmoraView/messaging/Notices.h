// The two long-lived notice windows: CMsg for progress and confirmations,
// CMsgError for errors. A caller picks a notice by number (ShowNotice); the
// notice fills in its texts, disables the windows that must wait, and on
// dismissal enables them again (the follow-up).
#pragma once

#include <QTimer>
#include <QWidget>

#include "messaging/PostMessage.h"

class QLabel;
class CSkinButton;

// Shows and centres a notice window, then posts it the notice number.
// False when that notice window does not exist.
bool ShowNotice(Wnd noticeWindow, int number);

// What a notice does when it is dismissed (and which windows wait for it
// meanwhile). The numbers are those of the two notice windows; the same
// number means different things in CMsg and CMsgError.
enum class FollowUp : int {
    None = 0,
    // CMsg
    PrintPageSaved = 13,  // print-setting page and settings window wait
    PsetPageSaved = 14,   // program-setting page and settings window wait
    CameraWait = 15,      // main and identification windows wait for the camera
    HelpPageSaved = 17,   // password page and settings window wait
    UserListDelete = 18,  // user list page waits; OK deletes the register
    // CMsgError
    CameraError = 10,    // main window waits
    RegUserError = 11,   // registration window waits
    PortError = 12,      // main window waits
    PasswordError = 13,  // password prompt waits
    IdentryError = 14,   // identification window waits
    PrintPageError = 15,
    PsetPageError = 16,
    HelpPageError = 17,
    MemoryFullIdentry = 18,  // identification window waits, then is told
    MemoryFull = 19,
    UserListError = 20,  // user list page waits; the main window is left alone
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

    Wnd m_Self;
    int m_DismissId;
    FollowUp m_FollowUp = FollowUp::None;
    int m_Number = 0;
    QLabel* m_Title;
    QLabel* m_Text;
    CSkinButton* m_Ok;
    CSkinButton* m_Close;

private:
    virtual void DisableWaiting(FollowUp followUp) = 0;
};

class CMsg : public CNotice {
    Q_OBJECT
public:
    explicit CMsg(QWidget* parent = nullptr);
    static const NoticeEntry* Find(int number);

protected:
    void OnCommand(int id) override;
    void OnOk() override;

private:
    void DisableWaiting(FollowUp followUp) override;
    void Dismiss();
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
    void DisableWaiting(FollowUp followUp) override;
    void Dismiss();
    QTimer m_CloseTimer;
};
