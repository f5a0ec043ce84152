#include "messaging/WindowRegistry.h"

#include <mutex>

namespace {
// Windows register on the window thread; the lock lets any thread ask.
std::mutex g_windowsLock;
QObject* g_windows[static_cast<int>(Wnd::Count)] = {};
}  // namespace

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
