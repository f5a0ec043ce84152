// Values the main window shares with other windows for the whole run.
#pragma once

#include <atomic>

class DeviceLink;

// 0 at the start of initialisation, 1 when the controls are laid out, 2 when
// initialisation is over (read by the splash).
extern std::atomic<int> g_LoadingStatus;

// Hooks of the start of a test, wired to the windows that run it.
// Shows the identification window for a test.
void OpenIdentification();
// Runs the test window modally (the start command has been sent).
void RunTestWindow(DeviceLink& link);
