// Posted messages reach a registered window on its own thread, from any
// thread, in order; nothing reaches a window after it unregistered.
#include "messaging/Messages.h"
#include "messaging/PostMessage.h"

#include <QtTest>
#include <thread>
#include <vector>

class Receiver : public QObject {
public:
    std::vector<std::pair<unsigned, intptr_t>> got;
    Qt::HANDLE thread = nullptr;
    bool event(QEvent* e) override
    {
        const ZMessageEvent* m;
        if (AsMessage(e, m)) {
            got.emplace_back(m->message, m->wParam);
            thread = QThread::currentThreadId();
            return true;
        }
        return QObject::event(e);
    }
};

class TestPostMessage : public QObject {
    Q_OBJECT
private slots:
    void postsFromAnotherThreadInOrderUntilUnregistered()
    {
        Receiver r;
        RegisterWindow(Wnd::Main, &r);
        // Qt Test's checks belong to the test's thread: the poster only counts.
        int posted = 0;
        std::thread t([&posted] {
            for (int i = 0; i < 100; ++i) posted += PostMessage(Wnd::Main, msg::MSG_DEVICE_COMMAND, i);
            posted += PostCommand(Wnd::Main, msg::MAIN_INFO_DISP);
        });
        t.join();
        QCOMPARE(posted, 101);
        QTRY_COMPARE(r.got.size(), size_t(101));
        for (int i = 0; i < 100; ++i) QCOMPARE(r.got[i].second, intptr_t(i));
        QCOMPARE(r.got.back().first, msg::WM_COMMAND);
        QCOMPARE(r.got.back().second, intptr_t(msg::MAIN_INFO_DISP));
        QCOMPARE(r.thread, QThread::currentThreadId());

        // Only the registered window's own unregistration counts; after it
        // nothing more is posted.
        Receiver other;
        UnregisterWindow(Wnd::Main, &other);
        QVERIFY(WindowExists(Wnd::Main));
        UnregisterWindow(Wnd::Main, &r);
        QVERIFY(!PostMessage(Wnd::Main, msg::MSG_DEVICE_EVENT, msg::PID_END));
        QCoreApplication::processEvents();
        QCOMPARE(r.got.size(), size_t(101));
    }
};

QTEST_MAIN(TestPostMessage)
#include "tst_postmessage.moc"
