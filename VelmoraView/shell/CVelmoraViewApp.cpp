#include "shell/CVelmoraViewApp.h"

#include "ProgramFolder.h"
#include "controls/Skin.h"
#include "shell/CVelmoraViewDlg.h"

#include <QApplication>

CVelmoraViewApp::CVelmoraViewApp(int& argc, char** argv) : m_Argc(argc), m_Argv(argv) {}

int CVelmoraViewApp::Run()
{
    emtask::InitProgramFolder(m_Argc, m_Argv);
    QApplication app(m_Argc, m_Argv);
    QApplication::setApplicationName(QStringLiteral("VelmoraView"));
    QApplication::setFont(skin::Arial(14));
    // Closing the main window ends the run through its exit code, not here.
    QApplication::setQuitOnLastWindowClosed(false);
    CVelmoraViewDlg dlg;
    dlg.Init();
    return QApplication::exec();
}
