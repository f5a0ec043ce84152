// Shared pieces of the window tests: a temporary program folder with a fresh
// store, a main window without splash or device probing, and stand-ins for
// windows of other parts that record what they are posted.
#pragma once

#include "../EMTaskLib/TestFolder.h"
#include "shell/CVelmoraViewDlg.h"
#include "shell/PostMessage.h"

#include <QWidget>
#include <memory>
#include <vector>

// A registered window of another part: records the messages it gets.
class Recorder : public QWidget {
public:
    explicit Recorder(Wnd which) : m_Which(which) { RegisterWindow(which, this); }
    ~Recorder() override { UnregisterWindow(m_Which, this); }
    std::vector<std::pair<unsigned, intptr_t>> got;
    bool received(unsigned m, intptr_t w = -1) const
    {
        for (auto& g : got)
            if (g.first == m && (w == -1 || g.second == w)) return true;
        return false;
    }

protected:
    bool event(QEvent* e) override
    {
        const ZMessageEvent* m;
        if (AsMessage(e, m)) {
            got.emplace_back(m->message, m->wParam);
            return true;
        }
        return QWidget::event(e);
    }

private:
    Wnd m_Which;
};

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
