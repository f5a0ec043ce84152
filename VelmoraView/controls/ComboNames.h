// Combo boxes heard by their accessible name (their label), not by their
// current choice, which Qt gives as the name on Linux.
#pragma once

// Once, before the first window is shown.
void InstallComboNames();
