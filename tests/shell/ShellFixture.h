// Shared pieces of the window tests: a temporary program folder with a fresh
// store, a main window without splash or device probing, and stand-ins for
// windows of other parts that record what they are posted.
#pragma once

#include "TestFolder.h"
#include "WindowRecorder.h"
#include "shell/CVelmoraViewDlg.h"
#include "messaging/WindowRegistry.h"

#include <QWidget>
#include <memory>
#include <vector>

inline std::unique_ptr<CVelmoraViewDlg> MakeMainWindow()
{
    CVelmoraViewDlg::Options o;
    o.splash = false;
    o.debugLevel = false;
    o.countCameras = false;
    o.monitorPorts = false;
    auto w = std::make_unique<CVelmoraViewDlg>(o);
    w->Init();
    return w;
}
