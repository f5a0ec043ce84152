// The program's own version (CMake's project version) and licence.
#pragma once

#include <QString>

const char* ProgramVersion();
// The reverse-DNS id of the desktop entry and the AppStream metadata.
const char* DesktopAppId();
// "VelmoraView 2.1.0 — Apache License 2.0", the About box's second line.
QString AboutProgramLine();
