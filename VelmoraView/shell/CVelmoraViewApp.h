// The application object: sets up the toolkit and runs the main window for
// the whole run, on the program folder the command line chose.
#pragma once

class CVelmoraViewApp {
public:
    CVelmoraViewApp(int& argc, char** argv, bool debug);
    // Runs the program; the process exit code.
    int Run();

private:
    int& m_Argc;
    char** m_Argv;
    bool m_Debug;
};
