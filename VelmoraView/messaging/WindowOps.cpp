#include "messaging/WindowOps.h"

#include <QGuiApplication>
#include <QMouseEvent>
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

void RaiseWindow(QWidget* w)
{
    if (!w || !w->isVisible()) return;
    w->raise();
    w->activateWindow();
}

void RaiseWnd(Wnd which) { RaiseWindow(WindowWidget(which)); }

namespace {
class DragFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* w = static_cast<QWidget*>(o);
        if (e->type() == QEvent::MouseButtonPress) {
            auto* m = static_cast<QMouseEvent*>(e);
            if (m->button() == Qt::LeftButton)
                m_From = m->globalPosition().toPoint() - w->frameGeometry().topLeft();
        } else if (e->type() == QEvent::MouseMove) {
            auto* m = static_cast<QMouseEvent*>(e);
            if (m->buttons() & Qt::LeftButton) w->move(m->globalPosition().toPoint() - m_From);
        }
        return false;
    }

private:
    QPoint m_From;
};
}  // namespace

void DragWithMouse(QWidget* w) { w->installEventFilter(new DragFilter(w)); }

void KeepAbove(QWidget* w, QWidget* owner)
{
    if (!w || !owner) return;
    w->winId();
    owner->winId();
    if (w->windowHandle() && owner->windowHandle())
        w->windowHandle()->setTransientParent(owner->windowHandle());
}
