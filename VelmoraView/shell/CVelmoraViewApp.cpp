#include "shell/CVelmoraViewApp.h"

#include "ProgramFolder.h"
#include "controls/ComboNames.h"
#include "controls/Dialogs.h"
#include "controls/Skin.h"
#include "shell/CVelmoraViewDlg.h"
#include "shell/Version.h"
#include "messaging/WindowOps.h"
#include "options/Language.h"

#include <QApplication>
#include <QScreen>
#include <cmath>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kFolderLockedCode = 3;
constexpr const char* kFittedVariable = "ZOLT7_FITTED";
constexpr QSize kMainWindowSize(1024, 768);  // the main window's fixed layout

// A screen smaller than the main window (a high scale factor on a small
// screen) would put its title bar and buttons off the screen: the program
// starts again, once, at the scale at which the window fits, so that every
// window keeps its layout at one smaller scale.
void FitToScreen(char** argv)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !qEnvironmentVariableIsEmpty(kFittedVariable)) return;
    bool set = false;
    const double now = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&set);
    const double current = set && now > 0 ? now : 1.0;
    const double fit = FitScale(kMainWindowSize, screen->availableGeometry().size(), current);
    if (fit >= current) return;
    // Rounded down: a window a pixel larger than the screen would not fit.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(std::floor(fit * 1000) / 1000, 'f', 3));
    qputenv(kFittedVariable, "1");
    execv("/proc/self/exe", argv);
    // Not started again: the program runs on at its scale, placed on the screen.
    qunsetenv(kFittedVariable);
}
}  // namespace

CVelmoraViewApp::CVelmoraViewApp(int& argc, char** argv, bool debug)
    : m_Argc(argc),
      m_Argv(argv),
      m_Debug(debug)
{ }

int CVelmoraViewApp::Run()
{
    // The application takes its own options out of argv; a run again at
    // another scale gets them back.
    std::vector<char*> original(m_Argv, m_Argv + m_Argc);
    original.push_back(nullptr);
    QApplication app(m_Argc, m_Argv);
    FitToScreen(original.data());
    QApplication::setApplicationName(QStringLiteral("VelmoraView"));
    QApplication::setApplicationVersion(QString::fromLatin1(ProgramVersion()));
    // The desktop entry's name, so the window finds its icon under Wayland.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopAppId()));
    QApplication::setFont(skin::Arial(14));
    options::InstallLanguage(emtask::ProgramFolder());
    InstallEnterPressesButtons();
    InstallComboNames();
    // Closing the main window ends the run through its exit code, not here.
    QApplication::setQuitOnLastWindowClosed(false);
    // One program per folder for the whole run: two would overwrite each
    // other's tests. The second one ends before touching any file.
    bool inUse = false;
    std::string why;
    if (!emtask::LockProgramFolder(&inUse, &why)) {
        const QString folder = QString::fromUtf8(emtask::ProgramFolder().c_str());
        ShowMessage(
            nullptr,
            inUse ? QCoreApplication::translate("CVelmoraViewApp",
                                                "The program folder %1 is in use by another ZOLT7 program.\n"
                                                "This one ends without changing anything.")
                        .arg(folder)
                  : QCoreApplication::translate("CVelmoraViewApp",
                                                "The program folder cannot be locked (%1).\n"
                                                "The program ends without changing anything.")
                        .arg(QString::fromUtf8(why.c_str())),
            QCoreApplication::translate("CVelmoraViewApp", "ZOLT7"), QMessageBox::Warning);
        return kFolderLockedCode;
    }
    CVelmoraViewDlg::Options options;
    options.debugLevel = m_Debug;
    CVelmoraViewDlg dlg(options);
    dlg.Init();
    return QApplication::exec();
}
