#include "messaging/WindowOps.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

QWidget* WindowWidget(Wnd which) { return qobject_cast<QWidget*>(WindowPointer(which)); }

bool EnableWnd(Wnd which, bool enable)
{
    QWidget* w = WindowWidget(which);
    if (!w) return false;
    w->setEnabled(enable);
    return true;
}

QPoint PlaceWithin(const QRect& frame, const QPoint& centre, const QRect& area)
{
    QRect g = frame;
    g.moveCenter(centre);
    if (g.right() > area.right()) g.moveRight(area.right());
    if (g.bottom() > area.bottom()) g.moveBottom(area.bottom());
    if (g.left() < area.left()) g.moveLeft(area.left());
    if (g.top() < area.top()) g.moveTop(area.top());
    return g.topLeft();
}

double FitScale(const QSize& window, const QSize& area, double current)
{
    if (window.isEmpty() || area.isEmpty()) return current;
    const double fit = std::min(double(area.width()) / window.width(),
                                double(area.height()) / window.height());
    return fit < 1.0 ? current * fit : current;
}

namespace {
QRect AvailableArea(const QPoint& at)
{
    QScreen* s = QGuiApplication::screenAt(at);
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect();
}
}  // namespace

void CenterWindow(QWidget* w)
{
    if (!w) return;
    QWidget* main = WindowWidget(Wnd::Main);
    if (!main || main == w || !main->isVisible()) {
        CenterOnScreen(w);
        return;
    }
    const QPoint centre = main->frameGeometry().center();
    const QRect area = AvailableArea(centre);
    if (!area.isEmpty()) w->move(PlaceWithin(w->frameGeometry(), centre, area));
}

void CenterOnScreen(QWidget* w)
{
    if (!w) return;
    QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    w->move(PlaceWithin(w->frameGeometry(), area.center(), area));
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

namespace {
class EnterPressesButtons : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress) return false;
        const auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter) || k->isAutoRepeat() ||
            (k->modifiers() & ~Qt::KeypadModifier))
            return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || button->isCheckable() || !button->isEnabled() || !button->isVisible()) return false;
        button->click();
        return true;
    }
};
}  // namespace

void InstallEnterPressesButtons()
{
    static EnterPressesButtons* filter = nullptr;
    if (filter || !qApp) return;
    filter = new EnterPressesButtons(qApp);
    qApp->installEventFilter(filter);
}
