#include "reports/ReportPreview.h"

#include "messaging/WindowOps.h"
#include "reports/MirrorDlg.h"

namespace {
MirrorDlg* g_Preview = nullptr;
QMetaObject::Connection g_TellCaller;  // the opener's onClosed
}  // namespace

void OpenReportPreview(int testNo, const emtask::DeviceData& data, const std::string& photoFolder, Wnd caller,
                       int32_t slot, std::function<void()> onClosed)
{
    if (!g_Preview) g_Preview = new MirrorDlg();  // no parent: disabling the caller must not reach it
    QWidget* owner = WindowWidget(caller);
    QObject::disconnect(g_TellCaller);
    if (onClosed)  // a caller that is gone is not told
        g_TellCaller = QObject::connect(g_Preview, &MirrorDlg::closed, owner ? owner : g_Preview,
                                        std::move(onClosed), Qt::SingleShotConnection);
    g_Preview->SetSource(&data, testNo, photoFolder, caller, slot);
    if (owner) KeepAbove(g_Preview, owner);
    if (g_Preview->isVisible()) {
        g_Preview->Refill();
        g_Preview->Render();
    } else {
        g_Preview->show();
    }
    if (owner && owner->isVisible()) {
        QRect g = g_Preview->frameGeometry();
        g.moveCenter(owner->frameGeometry().center());
        g_Preview->move(g.topLeft());
    } else {
        CenterWindow(g_Preview);
    }
    g_Preview->raise();
    g_Preview->activateWindow();
    EnableWnd(caller, false);
}

MirrorDlg* ReportPreviewWindow() { return g_Preview; }

void DestroyReportPreview()
{
    delete g_Preview;
    g_Preview = nullptr;
}
