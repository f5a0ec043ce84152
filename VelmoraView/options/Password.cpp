#include "options/Password.h"

#include "DebugLog.h"
#include "StoreParts.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/LimitedEdit.h"
#include "controls/Skin.h"
#include "controls/SkinButton.h"
#include "messaging/Notices.h"
#include "messaging/StoreNotices.h"
#include "messaging/WindowOps.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

bool PasswordMatches(const emtask::SettingsBlock& settings, const std::string& entry)
{
    return entry == emtask::FieldText(settings.Get().password);
}

// ---------------------------------------------------------------------------

CPassword::CPassword(const emtask::SettingsBlock& settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_Settings(settings)
{
    setWindowTitle(tr("Password"));  // the window's name to a screen reader
    setFixedSize(540, 230);
    DragWithMouse(this);
    auto* caption = new QLabel(tr("Password"), this);
    caption->setGeometry(10, 4, 100, 21);
    skin::StyleTitle(caption);
    auto* hint = new QLabel(tr("Enter the administrator password."), this);
    hint->setGeometry(42, 76, 460, 30);
    hint->setFont(skin::Arial(16));
    hint->setStyleSheet("color: #464646;");
    m_Entry = new CLimitedEdit(kPasswordChars, kPasswordBytes, this, true);
    m_Entry->setGeometry(42, 116, 342, 27);
    m_Entry->setFont(skin::Arial(18));
    m_Entry->setAccessibleName(caption->text());
    m_Confirm = new CSkinButton(301, CSkinButton::Look::Flat, tr("Confirm"), this);
    m_Confirm->place(396, 116, 502, 143);
    m_Close = new CSkinButton(100, CSkinButton::Look::TitleIcon, QString(), this, CSkinButton::Glyph::Close);
    m_Close->place(494, 0, 539, 29);
    connect(m_Confirm, &CSkinButton::command, this, &CPassword::OnConfirm);
    connect(m_Close, &CSkinButton::command, this, &CPassword::OnClose);
    // Return reaches keyPressEvent: the entry passes it on after returnPressed,
    // so connecting that signal too would confirm twice.
    FollowNotices(this, &CPassword::OnNoticeShown, &CPassword::OnNoticeFinished);
}

CPassword::~CPassword() = default;

void CPassword::OnNoticeShown(FollowUp followUp)
{
    if (followUp == FollowUp::PasswordError) setEnabled(false);
}

void CPassword::OnNoticeFinished(FollowUp followUp)
{
    if (followUp != FollowUp::PasswordError) return;
    setEnabled(true);
    RaiseWindow(this);
}

void CPassword::ClearEntry() { m_Entry->clear(); }

void CPassword::OnConfirm()
{
    const std::string entry = m_Entry->utf8();
    // The texts themselves never go to the log.
    DebugLine(" password check, stored %zu bytes, entry %zu bytes",
              emtask::FieldText(m_Settings.Get().password).size(), entry.size());
    if (PasswordMatches(m_Settings, entry)) {
        emit accepted();
        ClearEntry();
        hide();
        return;
    }
    DebugLine("");
    emit refused();
}

void CPassword::OnClose()
{
    emit closed();
    ClearEntry();
    CenterWindow(this);
    hide();
}

void CPassword::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), 30);
}

void CPassword::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    ClearEntry();
    m_Entry->setFocus();
}

void CPassword::changeEvent(QEvent* e)
{
    // Back from notice 123: ready for the next try.
    if (e->type() == QEvent::EnabledChange && isEnabled() && isVisible()) {
        activateWindow();
        m_Entry->setFocus();
    }
    QWidget::changeEvent(e);
}

void CPassword::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        OnConfirm();
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        OnClose();
        return;
    }
    QWidget::keyPressEvent(e);
}

// ---------------------------------------------------------------------------

COptionHelpDlg::COptionHelpDlg(emtask::SettingsBlock& settings, QWidget* parent)
    : QWidget(parent),
      m_Settings(settings)
{
    resize(760, 540);
    auto* heading = new QLabel(tr("Password"), this);
    heading->setGeometry(40, 30, 400, 30);
    heading->setFont(skin::Arial(21, true));
    heading->setStyleSheet("color: #303030;");
    const char* captions[] = {QT_TRANSLATE_NOOP("COptionHelpDlg", "Password to change"),
                              QT_TRANSLATE_NOOP("COptionHelpDlg", "Re-enter password to change")};
    for (int i = 0; i < 2; ++i) {
        auto* l = new QLabel(tr(captions[i]), this);
        l->setGeometry(60, 90 + i * 50, 250, 32);
        l->setFont(skin::Arial(15));
        auto* colon = new QLabel(QStringLiteral(":"), this);
        colon->setGeometry(315, 90 + i * 50, 10, 32);
        colon->setFont(skin::Arial(15));
    }
    m_New = new CLimitedEdit(kPasswordChars, kPasswordBytes, this, true);
    m_New->setGeometry(335, 92, 240, 28);
    m_New->setFont(skin::Arial(16));
    m_Repeat = new CLimitedEdit(kPasswordChars, kPasswordBytes, this, true);
    m_Repeat->setGeometry(335, 142, 240, 28);
    m_Repeat->setFont(skin::Arial(16));
    m_New->setAccessibleName(tr(captions[0]));
    m_Repeat->setAccessibleName(tr(captions[1]));
    m_Apply = new CSkinButton(0, CSkinButton::Look::Flat, tr("Apply"), this);
    m_Apply->setGeometry(475, 200, 100, 34);
    connect(m_Apply, &CSkinButton::command, this, &COptionHelpDlg::OnApply);
}

COptionHelpDlg::~COptionHelpDlg() = default;

void COptionHelpDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintPanel(p, QRect(20, 20, 720, 240));
}

void COptionHelpDlg::OnApply()
{
    const std::string first = m_New->utf8();
    const std::string second = m_Repeat->utf8();
    const bool match = !first.empty() && !second.empty() && first == second;
    if (match) {
        m_Settings.Change([&first](emtask::BusInfo& b) { emtask::CopyField(b.password, first); });
        m_New->clear();
        m_Repeat->clear();
    }
    const int saved = m_Settings.Save();
    if (!match) {
        DebugLine(" password ch error");
        ShowMessage(this, tr("Password change error"), tr("Error"), QMessageBox::Critical);
    } else if (!ReportNotSaved(this, saved, tr("The new password"))) {
        DebugLine(" password ch success");
        ShowMessage(this, tr("Password change success"), tr("Success"), QMessageBox::Warning);
    }
    emit applied();
}
