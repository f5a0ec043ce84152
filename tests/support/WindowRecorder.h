// Test helpers shared by the window tests: a registered stand-in window that
// records what it is posted, and typing text as a keyboard would.
#pragma once

#include "messaging/PostMessage.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <utility>
#include <vector>

// A registered window of another part: records the messages it gets. A real
// widget, so its enabled and visible states can be checked too.
class Recorder : public QWidget {
public:
    explicit Recorder(Wnd which) : m_Which(which) { RegisterWindow(which, this); }
    ~Recorder() override { UnregisterWindow(m_Which, this); }
    std::vector<std::pair<unsigned, intptr_t>> got;
    std::vector<intptr_t> lparams;  // the second parameter of each of got
    bool received(unsigned m, intptr_t w = -1) const
    {
        for (auto& g : got)
            if (g.first == m && (w == -1 || g.second == w)) return true;
        return false;
    }
    // The first parameters of everything received, after delivering what waits.
    std::vector<intptr_t> params()
    {
        QCoreApplication::sendPostedEvents(this);
        std::vector<intptr_t> out;
        for (auto& g : got) out.push_back(g.second);
        return out;
    }

protected:
    bool event(QEvent* e) override
    {
        const ZMessageEvent* m;
        if (AsMessage(e, m)) {
            got.emplace_back(m->message, m->wParam);
            lparams.push_back(m->lParam);
            return true;
        }
        return QWidget::event(e);
    }

private:
    Wnd m_Which;
};

// Types text one character at a time, as a keyboard with that layout would.
inline void TypeText(QWidget* w, const QString& text)
{
    for (uint c : text.toUcs4()) {
        const QString ch = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, ch);
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, ch);
        QCoreApplication::sendEvent(w, &release);
    }
}
