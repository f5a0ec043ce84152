// The program's messages on standard error: warnings always, the diagnostic
// output (frames sent and received, file errors, window steps) only at the
// debug level, through the "zolt7" logging category. --debug turns it on, as
// does QT_LOGGING_RULES="zolt7.debug=true".
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcZolt7)

// Sets the category's debug level (on when `debug` or already enabled by
// QT_LOGGING_RULES) and the store's diagnostic level from it.
void SetDiagnostics(bool debug);
