#include "reports/ReportPreview.h"

#include "messaging/WindowOps.h"
#include "reports/MirrorDlg.h"

ReportPreview::ReportPreview(const emtask::SettingsBlock& settings) : m_Settings(settings) { }

ReportPreview::~ReportPreview() = default;

void ReportPreview::Open(int testNo, const emtask::DeviceData& data, const std::string& photoFolder,
                         Wnd caller, int32_t slot, std::function<void()> onClosed)
{
    // No parent: disabling the caller must not reach it.
    if (!m_Window) m_Window = std::make_unique<MirrorDlg>(m_Settings);
    MirrorDlg* view = m_Window.get();
    QWidget* owner = WindowWidget(caller);
    QObject::disconnect(m_TellCaller);
    if (onClosed)  // a caller that is gone is not told
        m_TellCaller = QObject::connect(view, &MirrorDlg::closed, owner ? owner : view, std::move(onClosed),
                                        Qt::SingleShotConnection);
    view->SetSource(&data, testNo, photoFolder, caller, slot);
    if (owner) KeepAbove(view, owner);
    if (view->isVisible()) {
        view->Refill();
        view->Render();
    } else {
        view->show();
    }
    if (owner && owner->isVisible()) {
        QRect g = view->frameGeometry();
        g.moveCenter(owner->frameGeometry().center());
        view->move(g.topLeft());
    } else {
        CenterWindow(view);
    }
    view->raise();
    view->activateWindow();
    EnableWnd(caller, false);
}
