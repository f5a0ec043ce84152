#include "shell/WindowOps.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

QWidget* WindowWidget(Wnd which) { return qobject_cast<QWidget*>(WindowPointer(which)); }

bool EnableWnd(Wnd which, bool enable)
{
    QWidget* w = WindowWidget(which);
    if (!w) return false;
    w->setEnabled(enable);
    return true;
}

void CenterWindow(QWidget* w)
{
    if (!w) return;
    QRect area;
    QWidget* main = WindowWidget(Wnd::Main);
    if (main && main != w && main->isVisible())
        area = main->frameGeometry();
    else if (QScreen* s = QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    else
        return;
    QRect g = w->frameGeometry();
    g.moveCenter(area.center());
    w->move(g.topLeft());
}

void RaiseWnd(Wnd which)
{
    QWidget* w = WindowWidget(which);
    if (!w || !w->isVisible()) return;
    w->raise();
    w->activateWindow();
}

void KeepAbove(QWidget* w, QWidget* owner)
{
    if (!w || !owner) return;
    w->winId();
    owner->winId();
    if (w->windowHandle() && owner->windowHandle())
        w->windowHandle()->setTransientParent(owner->windowHandle());
}
