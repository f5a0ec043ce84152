#include "messaging/Diagnostics.h"

#include "DebugLog.h"

// Debug and info are off unless asked for; warnings always pass.
Q_LOGGING_CATEGORY(lcZolt7, "zolt7", QtWarningMsg)

void SetDiagnostics(bool debug)
{
    if (debug) QLoggingCategory::setFilterRules(QStringLiteral("zolt7.debug=true\nzolt7.info=true"));
    // The store's DebugPrint has its own level (no Qt there): 1 writes to
    // standard error, 0 keeps it silent.
    g_DebugLevel = lcZolt7().isDebugEnabled() ? 1 : 0;
}
