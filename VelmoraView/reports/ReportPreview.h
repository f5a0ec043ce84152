// The one entry to the report window for the windows that list records.
#pragma once

#include "messaging/WindowRegistry.h"

#include <cstdint>
#include <functional>
#include <string>

namespace emtask {
struct DeviceData;
}
class MirrorDlg;

// Shows "Print View" for test number `testNo` of `data` (which must outlive
// the window: the store's members do), its photograph looked up in
// `photoFolder`, centred over `caller`, which is disabled until the window
// closes; then it is enabled and `onClosed` runs, once (an opening replaces
// what an earlier one asked). A list passes its row's `slot`, so a repeated
// test number still gives the row's own record.
void OpenReportPreview(int testNo, const emtask::DeviceData& data, const std::string& photoFolder, Wnd caller,
                       int32_t slot = -1, std::function<void()> onClosed = {});

// The window once it has been opened, else nullptr.
MirrorDlg* ReportPreviewWindow();
// Destroys the window (before the application object goes away).
void DestroyReportPreview();
