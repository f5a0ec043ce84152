// Stand-ins for the main and test windows, and a capture of the diagnostic log.
#pragma once

#include "DebugLog.h"
#include "messaging/PostMessage.h"

#include <QCoreApplication>
#include <QObject>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

class ProbeWindow : public QObject {
public:
    explicit ProbeWindow(Wnd which) : m_Which(which) { RegisterWindow(which, this); }
    ~ProbeWindow() override { UnregisterWindow(m_Which, this); }
    std::vector<std::pair<unsigned, intptr_t>> got;
    std::vector<intptr_t> lparams;  // the second parameter of each of got
    bool event(QEvent* e) override
    {
        const ZMessageEvent* m;
        if (!AsMessage(e, m)) return QObject::event(e);
        got.emplace_back(m->message, m->wParam);
        lparams.push_back(m->lParam);
        return true;
    }
    // The first parameters received, after delivering what is waiting.
    std::vector<intptr_t> params()
    {
        QCoreApplication::sendPostedEvents(this);
        std::vector<intptr_t> out;
        for (auto& g : got) out.push_back(g.second);
        return out;
    }

private:
    Wnd m_Which;
};

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
