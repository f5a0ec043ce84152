// Small operations on the registered windows, all on the window thread.
#pragma once

#include "messaging/WindowRegistry.h"

class QWidget;
class QRect;
class QPoint;
class QSize;

// The registered window as a widget, or nullptr when it does not exist.
QWidget* WindowWidget(Wnd which);
// Enables or disables a registered window; a window that does not exist is
// skipped. True when it exists.
bool EnableWnd(Wnd which, bool enable);
// Centres a window over the main window when it is shown, else on the screen,
// and keeps it within the screen's available area.
void CenterWindow(QWidget* w);
// Centres a window on the available area of the screen it is on.
void CenterOnScreen(QWidget* w);
// Where a window frame `frame` goes when centred on `centre`: moved into
// `area`, and with its top-left corner in it when it is larger, so that its
// title bar and close button stay on the screen.
QPoint PlaceWithin(const QRect& frame, const QPoint& centre, const QRect& area);
// The scale at which a window of `window` logical pixels fits into `area`
// (at most 1), given the scale the program runs at now.
double FitScale(const QSize& window, const QSize& area, double current);
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
// Enter presses the focused push button in every window, as Space does (a
// plain window does not, only a dialog's buttons do); a check box or a radio
// button is left to the window, whose Enter confirms.
void InstallEnterPressesButtons();
