// The notice windows: which windows wait and which get control back, and the
// notices the operator cannot dismiss.
#include "ShellFixture.h"
#include "controls/SkinButton.h"
#include "messaging/Messages.h"
#include "messaging/Notices.h"
#include "messaging/WindowOps.h"
#include "shell/COptionDlg.h"

#include <QtTest>
#include <algorithm>

namespace {
// A notice (over notice `before`, if set), the windows that wait for it (with
// stand-ins the main window does not build), its dismissal (0: OK, else the
// number its caller posts) and what a waiting window is told then.
struct NoticeCase {
    const char* name;
    Wnd window;
    int before, number;
    const char* text;
    std::vector<Wnd> standIns;
    std::vector<Wnd> waiting;
    int dismiss;
    Wnd told = Wnd::Count;
    unsigned message = 0;
    intptr_t param = -1;
};

const NoticeCase kNoticeCases[] = {
    {"user deletion",
     Wnd::Msg,
     0,
     117,
     "Existing user data will be deleted.\nDo you still want to proceed?",
     {Wnd::UserList},
     {Wnd::UserList, Wnd::Settings},
     0,
     Wnd::UserList,
     msg::MSG_USERLIST_IMPORT},
    {"progress", Wnd::Msg, 0, 111, nullptr, {Wnd::IDentry}, {Wnd::IDentry}, 109},
    {"memory full",
     Wnd::MsgError,
     0,
     132,
     nullptr,
     {Wnd::IDentry},
     {Wnd::Main, Wnd::IDentry},
     0,
     Wnd::IDentry,
     msg::WM_COMMAND,
     msg::IDENTRY_MEMORY_FULL},
    {"port error over another",
     Wnd::MsgError,
     124,
     117,
     "Please check the communication status of the device.",
     {},
     {Wnd::Main},
     0},
};
}  // namespace

class TestNotices : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<CVelmoraViewDlg> main;

    CMsg* msgWnd() { return main->msgWindow(); }
    CMsgError* errWnd() { return main->msgErrorWindow(); }
    void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        main = MakeMainWindow();
        settle();
    }
    void cleanup()
    {
        main.reset();
        folder.reset();
    }

    void waitingWindowsGetControlBackOnDismissal()
    {
        for (const NoticeCase& c : kNoticeCases) {
            std::vector<std::unique_ptr<Recorder>> standIns;
            for (Wnd w : c.standIns) standIns.push_back(std::make_unique<Recorder>(w));
            CNotice* notice = c.window == Wnd::Msg ? static_cast<CNotice*>(msgWnd()) : errWnd();
            if (c.before) ShowNotice(c.window, c.before);
            ShowNotice(c.window, c.number);
            settle();
            QVERIFY2(notice->isVisible(), c.name);
            if (c.text) QCOMPARE(notice->message(), QString(c.text));
            for (Wnd w : c.waiting) QVERIFY2(!WindowWidget(w)->isEnabled(), c.name);
            QCOMPARE(notice->okButton()->isVisible(), c.dismiss == 0);
            if (c.dismiss == 0)
                QTest::mouseClick(notice->okButton(), Qt::LeftButton);
            else
                PostCommand(c.window, c.dismiss);
            settle();
            QVERIFY2(!notice->isVisible(), c.name);
            QTRY_VERIFY2(std::all_of(c.waiting.begin(), c.waiting.end(),
                                     [](Wnd w) { return WindowWidget(w)->isEnabled(); }),
                         c.name);
            if (c.message) {
                auto* told = static_cast<Recorder*>(WindowWidget(c.told));
                QVERIFY2(told->received(c.message, c.param), c.name);
            }
        }
    }

    // A deletion is confirmed only through OK; the camera change notice is
    // closed only by its caller.
    void noticesTheOperatorCannotConfirmOrClose()
    {
        Recorder users(Wnd::UserList), idEntry(Wnd::IDentry);
        ShowNotice(Wnd::Msg, 117);
        settle();
        QCOMPARE(msgWnd()->title(), QString("Warning"));
        QTest::mouseClick(msgWnd()->closeButton(), Qt::LeftButton);
        settle();
        QVERIFY(!msgWnd()->isVisible() && users.isEnabled() && main->settingsWindow()->isEnabled());
        QVERIFY(!users.received(msg::MSG_USERLIST_IMPORT));

        ShowNotice(Wnd::MsgError, 129);
        settle();
        QVERIFY(!errWnd()->okButton()->isVisible() && !errWnd()->closeButton()->isEnabled());
        idEntry.setEnabled(false);
        PostCommand(Wnd::MsgError, 128);  // the caller closes it
        settle();
        QVERIFY(!errWnd()->isVisible() && idEntry.isEnabled());
        ShowNotice(Wnd::MsgError, 130);  // the next notice can be closed again
        settle();
        QVERIFY(errWnd()->closeButton()->isEnabled() && errWnd()->okButton()->isVisible());
    }
};

QTEST_MAIN(TestNotices)
#include "tst_notices.moc"
