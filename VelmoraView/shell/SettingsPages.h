// The pages of the settings window, in the order of its page buttons. The one
// place that knows which page classes exist.
#pragma once

class QWidget;
namespace emtask {
class EMTaskData;
}

enum class SettingsPage {
    Registration,
    Device,
    Camera,
    PrintSetting,
    ProgramSetting,
    Password,
    Central,
    Count
};
constexpr int kSettingsPageCount = static_cast<int>(SettingsPage::Count);

const char* SettingsPageName(SettingsPage page);
// A new page (760 x 540), or nullptr while that page is not part of the program.
QWidget* CreateSettingsPage(SettingsPage page, emtask::EMTaskData& store, QWidget* parent);
