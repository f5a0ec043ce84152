#include "shell/COptionDlg.h"

#include "DebugLog.h"
#include "controls/Skin.h"
#include "controls/SkinButton.h"
#include "options/COptionPsetDlg.h"
#include "options/Password.h"
#include "shell/COptionDeviceDlg.h"
#include "messaging/Notices.h"
#include "messaging/WindowOps.h"
#include "users/COptionIDMngDlg.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace {
constexpr int kTitle = 40;

// The page that waits, with the settings window, for a notice's follow-up;
// SettingsPage::Count for any other follow-up.
SettingsPage HeldPage(FollowUp followUp)
{
    switch (followUp) {
    case FollowUp::PrintPageSaved:
    case FollowUp::PrintPageError: return SettingsPage::PrintSetting;
    case FollowUp::PsetPageSaved:
    case FollowUp::PsetPageError: return SettingsPage::ProgramSetting;
    case FollowUp::HelpPageSaved:
    case FollowUp::HelpPageError: return SettingsPage::Password;
    case FollowUp::UserListDelete:
    case FollowUp::UserListError: return SettingsPage::Registration;
    default: return SettingsPage::Count;
    }
}
}  // namespace

COptionDlg::COptionDlg(emtask::EMTaskData& store, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setFixedSize(1000, 650);
    setWindowTitle(tr("Settings"));
    DragWithMouse(this);
    auto* caption = new QLabel(tr("Settings"), this);
    caption->setGeometry(16, 6, 300, 28);
    caption->setFont(skin::Arial(22, true));
    caption->setStyleSheet("color: #E6E6E6;");
    m_Close = new CSkinButton(0, CSkinButton::Look::TitleIcon, QString(), this, CSkinButton::Glyph::Close);
    m_Close->place(945, 0, 999, kTitle - 1);
    connect(m_Close, &CSkinButton::command, this, &COptionDlg::OnClose);
    m_CloseDelay.setSingleShot(true);
    m_CloseDelay.setInterval(1000);
    connect(&m_CloseDelay, &QTimer::timeout, this, [this] {
        hide();
        EnableWnd(Wnd::Main, true);
        // This notice has no OK: never leave it up once the window is gone.
        CMsg* notice = MsgWindow();
        if (notice && notice->number() == int(MsgNotice::CameraApplying)) notice->Close(MsgClose::Hide);
    });

    for (int i = 0; i < kSettingsPageCount; ++i) {
        auto* b = new CSkinButton(
            i, CSkinButton::Look::Bar,
            QCoreApplication::translate("SettingsPages", SettingsPageName(static_cast<SettingsPage>(i))),
            this);
        b->setGeometry(20, 60 + i * 62, 165, 50);
        b->setEnabled(false);
        connect(b, &CSkinButton::command, this, &COptionDlg::ShowPage);
        m_Buttons[i] = b;
    }
    for (int i = 0; i < kSettingsPageCount; ++i)
        setPage(i, CreateSettingsPage(static_cast<SettingsPage>(i), store, this));
    // Queued: the user list is written again after the change that shows it
    // differently has been saved.
    if (auto* users = qobject_cast<COptionIDMngDlg*>(page(int(SettingsPage::Registration)))) {
        if (auto* pset = qobject_cast<COptionPsetDlg*>(page(int(SettingsPage::ProgramSetting))))
            connect(pset, &COptionPsetDlg::dateOrderChanged, users, &COptionIDMngDlg::RefreshUserList,
                    Qt::QueuedConnection);
        if (auto* password = qobject_cast<COptionHelpDlg*>(page(int(SettingsPage::Password))))
            connect(password, &COptionHelpDlg::applied, users, &COptionIDMngDlg::RefreshUserList,
                    Qt::QueuedConnection);
    }
    FollowNotices(this, &COptionDlg::OnNoticeShown, &COptionDlg::OnNoticeFinished);
}

COptionDlg::~COptionDlg() = default;

void COptionDlg::OnNoticeShown(FollowUp followUp)
{
    const SettingsPage held = HeldPage(followUp);
    if (held == SettingsPage::Count) return;
    if (QWidget* p = page(int(held))) p->setEnabled(false);
    setEnabled(false);
}

void COptionDlg::OnNoticeFinished(FollowUp followUp)
{
    if (followUp == FollowUp::CameraApplied) {
        setEnabled(true);
        if (QWidget* camera = page(int(SettingsPage::Camera))) camera->setEnabled(true);
        QMetaObject::invokeMethod(this, &COptionDlg::OnClose, Qt::QueuedConnection);
        return;
    }
    const SettingsPage held = HeldPage(followUp);
    if (held == SettingsPage::Count) return;
    if (QWidget* p = page(int(held))) p->setEnabled(true);
    setEnabled(true);
    RaiseWindow(this);
}

void COptionDlg::setPage(int index, QWidget* page)
{
    if (index < 0 || index >= kSettingsPageCount) return;
    if (m_Pages[index] && m_Pages[index] != page) {
        m_Pages[index]->hide();
        m_Pages[index]->deleteLater();
    }
    m_Pages[index] = page;
    m_Buttons[index]->setEnabled(page != nullptr);
    if (page) {
        page->setParent(this);
        page->setGeometry(205, 60, 760, 540);
        page->setVisible(index == m_Current);
    } else if (index == m_Current) {
        m_Current = -1;
    }
}

QWidget* COptionDlg::page(int index) const
{
    return index >= 0 && index < kSettingsPageCount ? m_Pages[index] : nullptr;
}

void COptionDlg::ShowPage(int index)
{
    if (!page(index)) return;
    DebugLine("[CHANGE PAGE]");
    for (int i = 0; i < kSettingsPageCount; ++i)
        if (m_Pages[i] && i != index) m_Pages[i]->hide();
    m_Current = index;
    m_Pages[index]->show();
    update();
}

void COptionDlg::Open()
{
    if (auto* device = qobject_cast<COptionDeviceDlg*>(page(int(SettingsPage::Device)))) device->Refresh();
    int first = int(SettingsPage::Registration);
    if (!page(first)) {
        for (first = 0; first < kSettingsPageCount && !page(first); ++first) { }
        DebugLine(" settings open on page %d, no registration page", first);
    }
    // The page is chosen before the window appears: the page shown last must
    // not flash up (the camera page would open the camera) nor take a click.
    if (first < kSettingsPageCount) ShowPage(first);
    show();
    CenterWindow(this);
    raise();
    activateWindow();
}

void COptionDlg::OnClose()
{
    QWidget* camera = page(int(SettingsPage::Camera));
    if (camera && camera->property(kPreviewActive).toBool()) {
        // The preview must stop before the window goes away.
        ShowNotice(MsgNotice::CameraApplying);
        m_CloseDelay.start();
        return;
    }
    hide();
    EnableWnd(Wnd::Main, true);
    RaiseWnd(Wnd::Main);
}

void COptionDlg::keyPressEvent(QKeyEvent* e)
{
    // Escape is the close button (the camera's preview stops first); Return
    // is for the page's own fields and buttons, never a close.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        if (m_Close->isEnabled()) OnClose();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void COptionDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), kTitle);
    p.fillRect(QRect(0, kTitle, 195, height() - kTitle), QColor(0x2b, 0x3a, 0x4a));
    if (m_Current >= 0) {
        const QRect b = m_Buttons[m_Current]->geometry();
        p.fillRect(QRect(b.right() + 3, b.top(), 7, b.height()), skin::kAccent);
    }
}
