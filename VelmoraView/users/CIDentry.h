// The identification window: the subject of a test is looked up by ID or name
// among the registered users before the main window starts the test.
#pragma once

#include "StoreParts.h"

#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;
enum class ErrorNotice;
enum class FollowUp;

// First slot (0..9,999) whose user ID, or failing that whose name, equals
// `entry` byte for byte; -1 when none does. An empty entry matches no one:
// the never-used slot 0 would otherwise start a test for nobody.
int FindSubjectSlot(const emtask::UserRegister& users, const std::string& entry);

// Copies the user of `slot` into the subject fields of the settings block.
void ApplySubject(const emtask::UserRegister& users, emtask::SettingsBlock& settings, int slot);

// The identification of the person to be tested, before a test starts
// ("ID entry"); it picks a registered user, it does not register one.
class CIDentry : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxEntryChars = 30;

    // A window of its own, never a child of the main window: disabling the
    // main window while this one is shown must leave this one usable.
    CIDentry(const emtask::UserRegister& users, emtask::SettingsBlock& settings);
    ~CIDentry() override;

    // Shown centred by the main window when a test is to start.
    void ShowCentred();

    QLineEdit* Entry() { return m_Entry; }
    QPushButton* OkButton() { return m_Ok; }
    QPushButton* CloseButton() { return m_Close; }

signals:
    // A subject was found and copied into the settings block: the main window
    // starts the test.
    void startTestRequested();

public slots:
    void OnOk();
    void OnClose();
    void reject() override;  // Escape: as the close button
    void accept() override;  // Enter: as OK

private slots:
    // The notices this window waits for.
    void OnNoticeShown(FollowUp followUp);
    void OnNoticeFinished(FollowUp followUp);

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    const emtask::UserRegister& m_Users;
    emtask::SettingsBlock& m_Settings;
    void FirstShown();
    void ShowErrorNotice(ErrorNotice notice);
    void LockForFullCounter();
    void OnMemoryFullAcknowledged();
    void CentreOnScreen();

    QLineEdit* m_Entry = nullptr;
    QPushButton* m_Ok = nullptr;
    QPushButton* m_Close = nullptr;
};
