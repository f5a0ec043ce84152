// The one entry to the report window for the windows that list records.
#pragma once

#include "messaging/WindowRegistry.h"

#include <QMetaObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace emtask {
struct DeviceData;
class SettingsBlock;
}  // namespace emtask
class MirrorDlg;

// Owns "Print View", created on first use and reused; the main window holds
// one, and the window goes with it.
class ReportPreview {
public:
    explicit ReportPreview(const emtask::SettingsBlock& settings);
    ~ReportPreview();
    ReportPreview(const ReportPreview&) = delete;
    ReportPreview& operator=(const ReportPreview&) = delete;

    // Shows test number `testNo` of `data` (which must outlive the window:
    // the store's parts do), its photograph looked up in `photoFolder`,
    // centred over `caller`, which is disabled until the window closes; then
    // it is enabled and `onClosed` runs, once (an opening replaces what an
    // earlier one asked). A list passes its row's `slot`, so a repeated test
    // number still gives the row's own record.
    void Open(int testNo, const emtask::DeviceData& data, const std::string& photoFolder, Wnd caller,
              int32_t slot = -1, std::function<void()> onClosed = {});

    // The window once it has been opened, else nullptr.
    MirrorDlg* Window() const { return m_Window.get(); }

private:
    const emtask::SettingsBlock& m_Settings;
    std::unique_ptr<MirrorDlg> m_Window;
    QMetaObject::Connection m_TellCaller;  // the opener's onClosed
};
