#include "shell/SettingsPages.h"

#include "EMTaskData.h"
#include "central/CentralPage.h"
#include "measurement/COptionCameraDlg.h"
#include "options/COptionPsetDlg.h"
#include "options/Password.h"
#include "reports/COptionPrintDlg.h"
#include "shell/COptionDeviceDlg.h"
#include "users/COptionIDMngDlg.h"

#include <QtGlobal>

const char* SettingsPageName(SettingsPage page)
{
    switch (page) {
    case SettingsPage::Registration: return QT_TRANSLATE_NOOP("SettingsPages", "Registration");
    case SettingsPage::Device: return QT_TRANSLATE_NOOP("SettingsPages", "Device");
    case SettingsPage::Camera: return QT_TRANSLATE_NOOP("SettingsPages", "Camera");
    case SettingsPage::PrintSetting: return QT_TRANSLATE_NOOP("SettingsPages", "Print Setting");
    case SettingsPage::ProgramSetting: return QT_TRANSLATE_NOOP("SettingsPages", "Program Setting");
    case SettingsPage::Password: return QT_TRANSLATE_NOOP("SettingsPages", "Password");
    case SettingsPage::Central: return QT_TRANSLATE_NOOP("SettingsPages", "Central records");
    case SettingsPage::Count: break;
    }
    return "";
}

QWidget* CreateSettingsPage(SettingsPage page, emtask::EMTaskData& store, QWidget* parent)
{
    emtask::SettingsBlock& settings = store.Settings();
    switch (page) {
    case SettingsPage::Registration: return new COptionIDMngDlg(store.Users(), settings, parent);
    case SettingsPage::Device: return new COptionDeviceDlg(settings, parent);
    case SettingsPage::ProgramSetting: return new COptionPsetDlg(settings, parent);
    case SettingsPage::Password: return new COptionHelpDlg(settings, parent);
    case SettingsPage::Camera: return new COptionCameraDlg(settings, parent);
    case SettingsPage::PrintSetting: return new COptionPrintDlg(settings, parent);
    case SettingsPage::Central: return new CentralPage(parent);
    default: return nullptr;
    }
}
