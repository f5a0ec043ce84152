// The two long-lived notice windows: CMsg for progress and confirmations,
// CMsgError for errors. A caller picks a notice by number (ShowNotice); the
// notice fills in its texts, disables the windows that must wait, and on
// dismissal enables them again (the follow-up).
#pragma once

#include <QTimer>
#include <QWidget>
#include <string>

#include "messaging/PostMessage.h"

class QLabel;
class CSkinButton;

// Shows and centres a notice window, then posts it the notice number.
// False when that notice window does not exist.
bool ShowNotice(Wnd noticeWindow, int number);

// The text that fills the %s of error notices 134 and 135; set just before.
void SetNoticeDetail(const std::string& text);
std::string NoticeDetail();

struct NoticeEntry {
    int number;
    const char* title;
    const char* text;
    bool ok;       // OK button shown
    int followUp;  // follow-up code set when shown
};

class CNotice : public QWidget {
    Q_OBJECT
public:
    int followUp() const { return m_FollowUp; }
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
    int m_FollowUp = 0;
    int m_Number = 0;
    QLabel* m_Title;
    QLabel* m_Text;
    CSkinButton* m_Ok;
    CSkinButton* m_Close;

private:
    virtual void DisableWaiting(int followUp) = 0;
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
    void DisableWaiting(int followUp) override;
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
    void DisableWaiting(int followUp) override;
    void Dismiss();
    QTimer m_CloseTimer;
};
