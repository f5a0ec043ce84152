#include "shell/SettingsPages.h"

#include "central/CentralPage.h"
#include "measurement/COptionCameraDlg.h"
#include "options/COptionPsetDlg.h"
#include "options/Password.h"
#include "reports/COptionPrintDlg.h"
#include "shell/COptionDeviceDlg.h"
#include "users/COptionIDMngDlg.h"

const char* SettingsPageName(SettingsPage page)
{
    switch (page) {
    case SettingsPage::Registration: return "Registration";
    case SettingsPage::Device: return "Device";
    case SettingsPage::Camera: return "Camera";
    case SettingsPage::PrintSetting: return "Print Setting";
    case SettingsPage::ProgramSetting: return "Program Setting";
    case SettingsPage::Password: return "Password";
    case SettingsPage::Central: return "Central records";
    case SettingsPage::Count: break;
    }
    return "";
}

QWidget* CreateSettingsPage(SettingsPage page, QWidget* parent)
{
    switch (page) {
    case SettingsPage::Registration: return new COptionIDMngDlg(parent);
    case SettingsPage::Device: return new COptionDeviceDlg(parent);
    case SettingsPage::ProgramSetting: return new COptionPsetDlg(parent);
    case SettingsPage::Password: return new COptionHelpDlg(parent);
    case SettingsPage::Camera: return new COptionCameraDlg(parent);
    case SettingsPage::PrintSetting: return new COptionPrintDlg(parent);
    case SettingsPage::Central: return new CentralPage(parent);
    default: return nullptr;
    }
}
