// Test helpers shared by the window tests: a registered stand-in window, and
// typing text as a keyboard would.
#pragma once

#include "messaging/WindowRegistry.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

// A registered window of another part, standing in for it: a real widget,
// so its enabled and visible states can be checked.
class Recorder : public QWidget {
public:
    explicit Recorder(Wnd which) : m_Which(which) { RegisterWindow(which, this); }
    ~Recorder() override { UnregisterWindow(m_Which, this); }

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
