#include "users/CRegUserDlg.h"

#include "DebugLog.h"
#include "StoreParts.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/Skin.h"
#include "users/UserRegister.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <ctime>

namespace {

// Keeps what is typed into an entry field within its characters and the
// field's bytes. Only typing is cut: a longer text already in the register
// (from a workbook) is shown whole and stays whole unless it is edited.
void LimitField(QLineEdit* edit, const int* maxChars)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, maxChars](const QString& text) {
        const QString fit = users::FitEntry(text, *maxChars);
        if (fit != text) {
            const int pos = std::min<int>(edit->cursorPosition(), fit.size());
            edit->setText(fit);
            edit->setCursorPosition(pos);
        }
    });
}

}  // namespace

CRegUserDlg::CRegUserDlg(emtask::UserRegister& users, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_Users(users)
{
    setWindowTitle(tr("Registration"));
    setFixedSize(360, 190);
    setModal(true);
    setStyleSheet(QStringLiteral("CRegUserDlg { background: white; border: 1px solid rgb(120,120,120); }"));

    auto* title = new QLabel(tr("Registration"), this);
    title->setGeometry(10, 4, 250, 24);
    title->setFont(skin::Arial(21));

    m_btnCorner = new QPushButton(QStringLiteral("\u00d7"), this);
    m_btnCorner->setGeometry(326, 2, 30, 26);
    m_btnCorner->setAutoDefault(false);
    m_btnCorner->setFlat(true);
    m_btnCorner->setAccessibleName(tr("Close"));

    auto* idLabel = new QLabel(tr("ID"), this);
    idLabel->setGeometry(20, 50, 80, 26);
    m_editCusID = new QLineEdit(this);
    m_editCusID->setGeometry(100, 50, 240, 26);
    LimitField(m_editCusID, &m_idLimit);
    m_editCusID->setAccessibleName(idLabel->text());

    auto* nameLabel = new QLabel(tr("Name"), this);
    nameLabel->setGeometry(20, 90, 80, 26);
    m_editName = new QLineEdit(this);
    m_editName->setGeometry(100, 90, 240, 26);
    LimitField(m_editName, &m_nameLimit);
    m_editName->setAccessibleName(nameLabel->text());

    m_btnConfirm = new QPushButton(tr("Confirm"), this);
    m_btnConfirm->setGeometry(100, 140, 110, 32);
    m_btnConfirm->setDefault(true);  // Enter confirms from any control
    m_btnClose = new QPushButton(tr("Close"), this);
    m_btnClose->setGeometry(230, 140, 110, 32);
    m_btnClose->setAutoDefault(false);

    connect(m_btnConfirm, &QPushButton::clicked, this, &CRegUserDlg::OnOK);
    connect(m_btnClose, &QPushButton::clicked, this, &CRegUserDlg::OnClose);
    connect(m_btnCorner, &QPushButton::clicked, this, &CRegUserDlg::OnClose);
}

void CRegUserDlg::LoadFields()
{
    DebugLine("m_RegType : %d", m_RegType);
    DebugLine("nUID : %d", nUID);
    m_editCusID->clear();
    m_editName->clear();
    m_idLimit = users::kIdMaxChars;
    m_nameLimit = users::kNameMaxChars;
    m_openedId.clear();
    m_openedName.clear();
    if (nUID <= 0 || nUID >= emtask::kMaxUsers) return;
    const emtask::BusUserInfo& u = m_Users.At(nUID);
    m_openedId = emtask::FieldText(u.cusid);
    m_openedName = emtask::FieldText(u.uname);
    if (u.cusid[0] || u.uname[0]) {
        const QString id = users::FieldQString(u.cusid), name = users::FieldQString(u.uname);
        m_idLimit = std::max<int>(m_idLimit, id.toUcs4().size());
        m_nameLimit = std::max<int>(m_nameLimit, name.toUcs4().size());
        m_editCusID->setText(id);
        m_editName->setText(name);
    }
}

int CRegUserDlg::DoModal()
{
    LoadFields();
    m_finishing = false;
    return exec();
}

int CRegUserDlg::CheckUserInfo(int uid)
{
    const std::string id = m_editCusID->text().toStdString();
    const std::string name = m_editName->text().toStdString();
    const users::CheckResult r = users::CheckUser(m_Users.Slots(), uid, id, name);
    switch (r) {
    case users::CheckResult::Ok: return 1;
    case users::CheckResult::EmptyId: DebugLine(" m_editCusID 0 "); break;
    case users::CheckResult::DuplicateId: DebugLine(" w_ErrorNameFind == ERROR_REGNO"); break;
    case users::CheckResult::EmptyName: DebugLine(" m_editName 0 "); break;
    case users::CheckResult::DuplicateName: DebugLine(" w_ErrorNameFind == ERROR_REGNAME"); break;
    }
    ShowMessage(this, users::CheckMessage(r), tr("Error"), QMessageBox::Warning);
    return -1;
}

void CRegUserDlg::OnOK()
{
    if (nUID <= 0 || nUID >= emtask::kMaxUsers) return;  // never slot 0, never outside the table
    if (m_RegType == 1) {
        const emtask::BusUserInfo& held = m_Users.At(nUID);
        if (held.uid != nUID || emtask::FieldText(held.cusid) != m_openedId ||
            emtask::FieldText(held.uname) != m_openedName) {
            DebugLine(" slot %d changed while the window was open", nUID);
            ShowMessage(this,
                        tr("The user list was replaced while this window was open.\n"
                           "The change was not stored."),
                        tr("Error"), QMessageBox::Warning);
            Finish(QDialog::Rejected);
            return;
        }
    }
    DebugLine("before CheckUserInfo(nUID) < 0");
    if (CheckUserInfo(nUID) < 0) {
        DebugLine("CheckUserInfo(nUID) < 0");
        return;
    }
    if (m_RegType == 0 && m_Users.At(nUID).uid != 0) {
        // An import filled the slot while the window was open: take the next free one.
        const int slot = users::FirstFreeSlot(m_Users.Slots());
        if (slot < 0) return;
        nUID = slot;
    }
    emtask::BusUserInfo u = m_Users.At(nUID);
    users::StoreTexts(u, m_editCusID->text().toStdString(), m_editName->text().toStdString());
    std::time_t now = std::time(nullptr);
    struct tm lt;
    localtime_r(&now, &lt);
    users::StampUser(u, lt);
    m_Users.Put(nUID, u);
    emit userStored();
    Finish(QDialog::Accepted);
}

void CRegUserDlg::OnClose()
{
    // The slot of a new user is free until Confirm; only then is it cleared
    // (an import may have filled it while the window was open).
    if (m_RegType == 0 && nUID > 0 && m_Users.At(nUID).uid == 0) m_Users.Erase(nUID);
    Finish(QDialog::Rejected);
}

void CRegUserDlg::Finish(int result)
{
    m_finishing = true;
    done(result);
}

void CRegUserDlg::reject()
{
    if (m_finishing) QDialog::reject();
}

void CRegUserDlg::closeEvent(QCloseEvent* e)
{
    if (m_finishing)
        QDialog::closeEvent(e);
    else
        e->ignore();  // Alt+F4 does nothing; the window closes by its buttons
}
