#include "messaging/PostMessage.h"

#include <QCoreApplication>
#include <mutex>

namespace {
std::mutex g_windowsLock;
QObject* g_windows[static_cast<int>(Wnd::Count)] = {};
}  // namespace

QEvent::Type ZMessageEvent::type()
{
    static const QEvent::Type t = static_cast<QEvent::Type>(QEvent::registerEventType());
    return t;
}

namespace {
void Post(QObject* target, unsigned msg, intptr_t wparam, intptr_t lparam)
{
    auto* e = new ZMessageEvent(msg, wparam, lparam);
    PostedHappensBefore(e);
    QCoreApplication::postEvent(target, e);
}
}  // namespace

void PostMessage(QObject* target, unsigned msg, intptr_t wparam, intptr_t lparam)
{
    if (target) Post(target, msg, wparam, lparam);
}

bool PostMessage(Wnd target, unsigned msg, intptr_t wparam, intptr_t lparam)
{
    // Held while posting, so a window cannot be unregistered and destroyed
    // between the look-up and the post.
    std::lock_guard<std::mutex> lock(g_windowsLock);
    QObject* w = g_windows[static_cast<int>(target)];
    if (!w) return false;
    Post(w, msg, wparam, lparam);
    return true;
}

void RegisterWindow(Wnd which, QObject* window)
{
    std::lock_guard<std::mutex> lock(g_windowsLock);
    g_windows[static_cast<int>(which)] = window;
}

void UnregisterWindow(Wnd which, QObject* window)
{
    std::lock_guard<std::mutex> lock(g_windowsLock);
    if (g_windows[static_cast<int>(which)] == window) g_windows[static_cast<int>(which)] = nullptr;
}

bool WindowExists(Wnd which)
{
    std::lock_guard<std::mutex> lock(g_windowsLock);
    return g_windows[static_cast<int>(which)] != nullptr;
}

QObject* WindowPointer(Wnd which)
{
    std::lock_guard<std::mutex> lock(g_windowsLock);
    return g_windows[static_cast<int>(which)];
}
