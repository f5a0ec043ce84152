// The administrator password: the prompt that guards the settings window
// (CPassword) and the page that changes it (COptionHelpDlg).
#pragma once

#include "StoreParts.h"

#include <QWidget>
#include <string>

class CLimitedEdit;
class CSkinButton;
enum class FollowUp;

// Entry fields take at most 12 characters; the stored field holds 64 bytes.
constexpr int kPasswordChars = 12;
constexpr int kPasswordBytes = 63;

// Byte-for-byte comparison with the stored password (case matters).
bool PasswordMatches(const emtask::SettingsBlock& settings, const std::string& entry);

// The administrator password prompt shown before the settings window opens.
class CPassword : public QWidget {
    Q_OBJECT
public:
    explicit CPassword(const emtask::SettingsBlock& settings, QWidget* parent = nullptr);
    ~CPassword() override;
    CLimitedEdit* entry() const { return m_Entry; }
    CSkinButton* confirmButton() const { return m_Confirm; }
    CSkinButton* closeButton() const { return m_Close; }
    void ClearEntry();
    void OnConfirm();
    void OnClose();

signals:
    // The stored password was entered (the prompt is hidden): the settings open.
    void accepted();
    // Another text was entered.
    void refused();
    // Closed without an answer: its opener takes control back.
    void closed();

private slots:
    void OnNoticeShown(FollowUp followUp);
    void OnNoticeFinished(FollowUp followUp);

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void changeEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    const emtask::SettingsBlock& m_Settings;
    CLimitedEdit* m_Entry;
    CSkinButton* m_Confirm;
    CSkinButton* m_Close;
};

// The settings window's Password page (it offers no help).
class COptionHelpDlg : public QWidget {
    Q_OBJECT
public:
    explicit COptionHelpDlg(emtask::SettingsBlock& settings, QWidget* parent = nullptr);
    ~COptionHelpDlg() override;
    CLimitedEdit* newField() const { return m_New; }
    CLimitedEdit* repeatField() const { return m_Repeat; }
    CSkinButton* applyButton() const { return m_Apply; }
    void OnApply();

signals:
    // After every Apply, whether the password changed or not.
    void applied();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    emtask::SettingsBlock& m_Settings;
    CLimitedEdit* m_New;
    CLimitedEdit* m_Repeat;
    CSkinButton* m_Apply;
};
