#include "shell/AppGlobals.h"

#include "DebugLog.h"
#include "measurement/CCaptureDlg.h"
#include "messaging/WindowOps.h"

#include <QWidget>

void OpenIdentification(QWidget& main, QWidget& identification)
{
    DebugLine(" OpenIdentification");
    // Nothing of the main window may be used until the identification is
    // closed or hands over to the test: the settings (whose camera page
    // would hold the camera), disconnect, measure again.
    main.setEnabled(false);
    CenterWindow(&identification);
    identification.show();
    identification.raise();
}

std::optional<measurement::StoredTest> RunTestWindow(QWidget* owner, emtask::EMTaskData& store,
                                                     DeviceLink& link)
{
    DebugLine(" RunTestWindow");
    return RunCaptureDialog(owner, store, link);
}
