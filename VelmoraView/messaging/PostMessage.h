// Posted window messages, left to the record, search and report windows.
// Posting is thread-safe and never waits; the target handles the message on
// its own thread in event(). Everything else talks in typed signals.
#pragma once

#include "messaging/WindowRegistry.h"

#include <QEvent>
#include <QObject>
#include <cstdint>

class ZMessageEvent : public QEvent {
public:
    ZMessageEvent(unsigned msg, intptr_t wparam, intptr_t lparam)
        : QEvent(type()),
          message(msg),
          wParam(wparam),
          lParam(lparam)
    { }
    static QEvent::Type type();
    const unsigned message;
    const intptr_t wParam;
    const intptr_t lParam;
};

// Posts to an object (any thread). The object must outlive the call.
void PostMessage(QObject* target, unsigned msg, intptr_t wparam = 0, intptr_t lparam = 0);
// Posts to a registered window; false (nothing posted) when it does not exist.
bool PostMessage(Wnd target, unsigned msg, intptr_t wparam = 0, intptr_t lparam = 0);

// ThreadSanitizer does not see the locks inside the Qt libraries, so a post
// is made known to it: everything the poster did before posting happens
// before what the receiver does with the message.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
inline void PostedHappensBefore(void* event) { __tsan_release(event); }
inline void PostedHappensAfter(void* event) { __tsan_acquire(event); }
#else
inline void PostedHappensBefore(void*) { }
inline void PostedHappensAfter(void*) { }
#endif

// Unpacks a posted message in event(); false for any other event.
inline bool AsMessage(QEvent* e, const ZMessageEvent*& out)
{
    if (e->type() != ZMessageEvent::type()) return false;
    PostedHappensAfter(e);
    out = static_cast<const ZMessageEvent*>(e);
    return true;
}
