// Saying what the store could not read or write: a failed save is never
// passed over in silence.
#pragma once

#include <QString>

class QWidget;
namespace emtask {
class EMTaskData;
}

// When `saveResult` (a store save's 1 or -1) is a failure, shows a message box
// "<what> could not be saved: <why>." and returns true.
bool ReportNotSaved(QWidget* parent, int saveResult, const QString& what);

// A file that could not be saved: `lead` (the window's own sentence, which
// ends where the file's path belongs), the file, and on the next line why.
void ReportFileNotSaved(QWidget* parent, const QString& lead, const QString& title, const QString& file,
                        const QString& why);

// Shows in one message box what the store's start-up could not read,
// complete or create; nothing when all went well. Returns the number of
// problems shown.
int ShowStartupProblems(QWidget* parent, const emtask::EMTaskData& store);
