// Values the main window shares with other windows for the whole run.
#pragma once

#include <atomic>

class DeviceLink;
class QWidget;

// 0 at the start of initialisation, 1 when the controls are laid out, 2 when
// initialisation is over (read by the splash).
extern std::atomic<int> g_LoadingStatus;

// Hooks of the start of a test, wired to the windows that run it.
// Shows the identification window for a test; the main window waits.
void OpenIdentification(QWidget& main, QWidget& identification);
// Runs the test window modally over its owner (the start command has been sent).
void RunTestWindow(QWidget* owner, DeviceLink& link);
