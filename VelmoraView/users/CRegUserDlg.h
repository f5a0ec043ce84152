// The registration window: a new user in a free slot, or a change of the ID
// and name of a user. Changes only the table in memory and totaluser; the
// opener writes the file.
#pragma once

#include "StoreParts.h"

#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

// The registration window of one user (new or edited), opened from the
// Registration page.
class CRegUserDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRegUserDlg(emtask::UserRegister& users, QWidget* parent = nullptr);

    int m_RegType = 0;  // 0 new user, 1 modify
    int nUID = 0;       // the slot

    // Fills the fields from the slot and runs the window modally.
    int DoModal();
    // Fills the fields from slot nUID (DoModal does this).
    void LoadFields();

    // 1 when the entered texts may be stored in slot `uid`, else -1 after
    // the reason was shown.
    int CheckUserInfo(int uid);

    QLineEdit* IdEdit() const { return m_editCusID; }
    QLineEdit* NameEdit() const { return m_editName; }

signals:
    // The entered user is in the table (before the window closes).
    void userStored();

public slots:
    void OnOK();     // "Confirm"
    void OnClose();  // "Close" and the corner button

protected:
    void reject() override;  // Escape: swallowed
    void closeEvent(QCloseEvent* e) override;

private:
    void Finish(int result);
    emtask::UserRegister& m_Users;
    QLineEdit* m_editCusID;
    QLineEdit* m_editName;
    QPushButton* m_btnConfirm;
    QPushButton* m_btnClose;
    QPushButton* m_btnCorner;
    bool m_finishing = false;
    int m_idLimit = 15;    // characters that may be typed; more when the
    int m_nameLimit = 30;  // stored text is already longer
    // The user a modify window was opened on: an import may replace the
    // register while the window is open, and the change is then refused.
    std::string m_openedId, m_openedName;
};
