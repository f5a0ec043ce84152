#include "shell/CommandLine.h"

int main(int argc, char** argv) { return shell::RunProgram(argc, argv); }
