#include "users/CIDentry.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "shell/Messages.h"
#include "shell/PostMessage.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {
QWidget* MainWindow() { return qobject_cast<QWidget*>(WindowPointer(Wnd::Main)); }

void EnableMain(bool on)
{
    if (QWidget* w = MainWindow()) w->setEnabled(on);
}

const char* kMemoryFullText =
    "The memory on ZOLT7 is almost full.\nPlease save the data on your computer immediately.";
}  // namespace

int FindSubjectSlot(const std::string& entry)
{
    if (entry.empty()) return -1;
    const emtask::BusUserInfo* users = emtask::GetManager()->wp_BusUserInfo;
    for (int i = 0; i < emtask::kMaxUsers; ++i) {
        if (emtask::FieldText(users[i].cusid) == entry || emtask::FieldText(users[i].uname) == entry)
            return i;
    }
    return -1;
}

void ApplySubject(int slot)
{
    emtask::EMTaskData* m = emtask::GetManager();
    const emtask::BusUserInfo& u = m->wp_BusUserInfo[slot];
    emtask::BusInfo& b = m->m_BusInfo;
    std::memset(b.subjectno, 0, sizeof b.subjectno);
    std::snprintf(b.subjectno, sizeof b.subjectno, "%d", u.uid);
    emtask::CopyField(b.subjectname, emtask::FieldText(u.uname));
    emtask::CopyField(b.subjectid, emtask::FieldText(u.cusid));
}

CIDentry::CIDentry(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("CIDentry"));
    setFixedSize(540, 300);
    setStyleSheet(QStringLiteral("#CIDentry { background: white; border: 1px solid #505050; }"));

    auto* head = new QLabel(QStringLiteral("Identification"), this);
    QFont hf(QStringLiteral("Arial"));
    hf.setPixelSize(21);
    head->setFont(hf);
    head->setGeometry(12, 6, 300, 26);

    m_Close = new QPushButton(QStringLiteral("\u2715"), this);
    m_Close->setGeometry(540 - 45, 0, 45, 29);
    m_Close->setAutoDefault(false);
    m_Close->setFocusPolicy(Qt::NoFocus);
    connect(m_Close, &QPushButton::clicked, this, &CIDentry::OnClose);

    m_Entry = new QLineEdit(this);
    m_Entry->setMaxLength(kMaxEntryChars);
    QFont ef(QStringLiteral("Arial"));
    ef.setPixelSize(22);
    m_Entry->setFont(ef);
    m_Entry->setGeometry(60, 110, 420, 44);

    m_Ok = new QPushButton(QStringLiteral("OK"), this);
    m_Ok->setGeometry(200, 200, 140, 44);
    m_Ok->setDefault(true);
    connect(m_Ok, &QPushButton::clicked, this, &CIDentry::OnOk);

    RegisterWindow(Wnd::IDentry, this);
}

CIDentry::~CIDentry() { UnregisterWindow(Wnd::IDentry, this); }

void CIDentry::CentreOnScreen()
{
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s) move(s->availableGeometry().center() - rect().center());
}

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
    const emtask::BusInfo& b = emtask::GetManager()->m_BusInfo;
    if (b.idmode == 0) {
        m_Entry->setEnabled(false);
        m_Ok->setEnabled(false);
    } else if (b.idmode == 1 || b.idmode == 2) {
        m_Entry->setEnabled(true);
        m_Ok->setEnabled(true);
    }
    // No further test can be numbered: the window stays locked.
    if (b.recordcnt >= emtask::kMaxStoredCounter) {
        m_Entry->setEnabled(false);
        m_Ok->setEnabled(false);
        setEnabled(false);
        ShowMessage(this, QString::fromUtf8(kMemoryFullText), QStringLiteral("Data"),
                    QMessageBox::Critical);
        // Acknowledged: back to the main window.
        setEnabled(true);
        OnClose();
    }
}

void CIDentry::OnOk()
{
    if (!m_Ok->isEnabled() || !isEnabled()) return;
    const std::string entry = m_Entry->text().toUtf8().toStdString();
    const int slot = FindSubjectSlot(entry);
    if (slot < 0) {
        DebugLine("no user for the entry");
        setEnabled(false);
        EnableMain(false);
        ShowMessage(this, QStringLiteral("Please check your ID or name."),
                    QStringLiteral("ID or Name recognition"), QMessageBox::Critical);
        setEnabled(true);  // the entry stays for a correction
        m_Entry->setFocus();
        return;
    }
    ApplySubject(slot);
    DebugLine("subject %s", emtask::GetManager()->m_BusInfo.subjectno);
    PostMessage(Wnd::Main, msg::MSG_DEVICE_COMMAND, msg::DEVICE_COMMAND_START_TEST);
    EnableMain(false);
    hide();
}

void CIDentry::OnClose()
{
    EnableMain(true);
    m_Entry->clear();
    CentreOnScreen();
    hide();
}

void CIDentry::reject() { OnClose(); }
void CIDentry::accept() { OnOk(); }

void CIDentry::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) m_DragFrom = e->globalPosition().toPoint() - pos();
    QDialog::mousePressEvent(e);
}

void CIDentry::mouseMoveEvent(QMouseEvent* e)
{
    if (e->buttons() & Qt::LeftButton) move(e->globalPosition().toPoint() - m_DragFrom);
    QDialog::mouseMoveEvent(e);
}
