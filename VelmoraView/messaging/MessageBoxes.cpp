#include "messaging/MessageBoxes.h"

#include "controls/Dialogs.h"
#include "controls/Skin.h"
#include "messaging/WindowOps.h"

#include <QLabel>

namespace {
// The one centred, wrapped plain-text label each box shows.
QLabel* TextLabel(const QString& text, const QRect& place, int pixelSize, QWidget* box)
{
    auto* label = new QLabel(text, box);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setFont(skin::Arial(pixelSize, true));
    return label;
}
}  // namespace

CMessageBoxDlg::CMessageBoxDlg(const QString& text, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Error"));
    setFixedSize(340, 160);
    m_Label = TextLabel(text, QRect(10, 10, 320, 140), 15, this);
    m_Label->setStyleSheet("color: #b00020; background: #fff4f4; border: 1px solid #e0b0b0;");
}

QString CMessageBoxDlg::text() const { return m_Label->text(); }

int CMessageBoxDlg::Run(const QString& text, QWidget* parent)
{
    CMessageBoxDlg box(text, parent);
    return Dialogs().execDialog(&box);
}

CMessageBox2Dlg::CMessageBox2Dlg(const QString& text, QWidget* parent) : QDialog(parent)
{
    setFixedSize(300, 170);
    m_Label = TextLabel(text, QRect(10, 10, 275, 120), 14, this);
    m_Label->setStyleSheet("color: red; background: white;");
    CenterWindow(this);
}

QString CMessageBox2Dlg::text() const { return m_Label->text(); }

CMessageBox3Dlg::CMessageBox3Dlg(const QString& text, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setFixedSize(300, 140);
    m_Label = TextLabel(text, QRect(10, 10, 275, 120), 14, this);
    setStyleSheet("CMessageBox3Dlg { background: white; border: 2px solid #1f6fb2; }");
}

CMessageBox3Dlg::~CMessageBox3Dlg() { UnregisterWindow(Wnd::Waiting, this); }

QString CMessageBox3Dlg::text() const { return m_Label->text(); }

void CMessageBox3Dlg::showEvent(QShowEvent* e)
{
    CenterWindow(this);
    RegisterWindow(Wnd::Waiting, this);
    QDialog::showEvent(e);
}

void CMessageBox3Dlg::hideEvent(QHideEvent* e)
{
    UnregisterWindow(Wnd::Waiting, this);
    QDialog::hideEvent(e);
}
