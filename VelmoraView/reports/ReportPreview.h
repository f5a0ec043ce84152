// The one entry to the report window for the windows that list records.
#pragma once

#include "messaging/PostMessage.h"

#include <string>

namespace emtask { struct DeviceData; }
class MirrorDlg;

// Shows "Print View" for test number `testNo` of `data` (which must outlive
// the window: the store's members do), its photograph looked up in
// `photoFolder`, centred over `caller`, which is disabled until the window
// closes (then enabled and posted 1373).
void OpenReportPreview(int testNo, const emtask::DeviceData& data, const std::string& photoFolder,
                       Wnd caller);

// The window once it has been opened, else nullptr.
MirrorDlg* ReportPreviewWindow();
// Destroys the window (before the application object goes away).
void DestroyReportPreview();
