#include "shell/CVelmoraViewApp.h"

#include "ProgramFolder.h"
#include "controls/Dialogs.h"
#include "controls/Skin.h"
#include "shell/CVelmoraViewDlg.h"
#include "shell/Version.h"

#include <QApplication>

namespace {
constexpr int kFolderLockedCode = 3;
}

CVelmoraViewApp::CVelmoraViewApp(int& argc, char** argv, bool debug)
    : m_Argc(argc),
      m_Argv(argv),
      m_Debug(debug)
{ }

int CVelmoraViewApp::Run()
{
    QApplication app(m_Argc, m_Argv);
    QApplication::setApplicationName(QStringLiteral("VelmoraView"));
    QApplication::setApplicationVersion(QString::fromLatin1(ProgramVersion()));
    // The desktop entry's name, so the window finds its icon under Wayland.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopAppId()));
    QApplication::setFont(skin::Arial(14));
    // Closing the main window ends the run through its exit code, not here.
    QApplication::setQuitOnLastWindowClosed(false);
    // One program per folder for the whole run: two would overwrite each
    // other's tests. The second one ends before touching any file.
    bool inUse = false;
    std::string why;
    if (!emtask::LockProgramFolder(&inUse, &why)) {
        const QString folder = QString::fromUtf8(emtask::ProgramFolder().c_str());
        ShowMessage(nullptr,
                    inUse ? QStringLiteral("The program folder %1 is in use by another ZOLT7 program.\n"
                                           "This one ends without changing anything.")
                                .arg(folder)
                          : QStringLiteral("The program folder cannot be locked (%1).\n"
                                           "The program ends without changing anything.")
                                .arg(QString::fromUtf8(why.c_str())),
                    QStringLiteral("ZOLT7"), QMessageBox::Warning);
        return kFolderLockedCode;
    }
    CVelmoraViewDlg::Options options;
    options.debugLevel = m_Debug;
    CVelmoraViewDlg dlg(options);
    dlg.Init();
    return QApplication::exec();
}
