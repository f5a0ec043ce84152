// The application object: sets up the toolkit and runs the main window for
// the whole run.
#pragma once

class CVelmoraViewApp {
public:
    CVelmoraViewApp(int& argc, char** argv);
    // Runs the program; the process exit code.
    int Run();

private:
    int& m_Argc;
    char** m_Argv;
};
