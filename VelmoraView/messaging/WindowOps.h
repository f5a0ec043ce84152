// Small operations on the registered windows, all on the window thread.
#pragma once

#include "messaging/WindowRegistry.h"

class QWidget;

// The registered window as a widget, or nullptr when it does not exist.
QWidget* WindowWidget(Wnd which);
// Enables or disables a registered window; a window that does not exist is
// skipped. True when it exists.
bool EnableWnd(Wnd which, bool enable);
// Centres a window over the main window when it is shown, else on the screen.
void CenterWindow(QWidget* w);
// Brings a shown window to the top and gives it the focus.
void RaiseWindow(QWidget* w);
// The same for a registered window.
void RaiseWnd(Wnd which);
// Lets a frameless window be moved by dragging it with the left button
// wherever no control takes the mouse.
void DragWithMouse(QWidget* w);
// Keeps a window of its own above its owner (the window manager's transient
// hint), without making it a child that the owner's disabling would reach.
void KeepAbove(QWidget* w, QWidget* owner);
