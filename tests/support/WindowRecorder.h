// Test helpers shared by the window tests: a registered stand-in window that
// records what it is posted, typing text as a keyboard would, and a capture
// of the diagnostic log.
#pragma once

#include "DebugLog.h"
#include "messaging/PostMessage.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <cstdio>
#include <string>
#include <unistd.h>
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

// Diagnostic output (standard error) of a stretch of code, at level 1.
class LogCapture {
public:
    LogCapture()
    {
        std::fflush(stderr);
        m_File = std::tmpfile();
        m_Saved = dup(2);
        dup2(fileno(m_File), 2);
        m_Level = g_DebugLevel;
        g_DebugLevel = 1;
    }
    ~LogCapture() { text(); }
    std::string text()
    {
        if (m_Saved >= 0) {
            std::fflush(stderr);
            dup2(m_Saved, 2);
            ::close(m_Saved);
            m_Saved = -1;
            g_DebugLevel = m_Level;
            std::rewind(m_File);
            char buf[4096];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, m_File)) > 0) m_Text.append(buf, n);
            std::fclose(m_File);
        }
        return m_Text;
    }

private:
    FILE* m_File = nullptr;
    int m_Saved = -1;
    int m_Level = 0;
    std::string m_Text;
};
