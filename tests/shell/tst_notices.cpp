// The notice windows: texts by number, which windows wait and which get
// control back, and the notices the operator cannot dismiss.
#include "ShellFixture.h"
#include "controls/SkinButton.h"
#include "options/Password.h"
#include "shell/COptionDlg.h"
#include "messaging/Messages.h"
#include "messaging/Notices.h"
#include "messaging/MessageBoxes.h"
#include "shell/CSplash.h"
#include "shell/AppGlobals.h"
#include "controls/Dialogs.h"
#include "messaging/WindowOps.h"

#include <QtTest>

class TestNotices : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<CVelmoraViewDlg> main;

    CMsg* msgWnd() { return main->msgWindow(); }
    CMsgError* errWnd() { return main->msgErrorWindow(); }
    void settle() { QCoreApplication::processEvents(); QCoreApplication::processEvents(); }

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

    void deletionWarningConfirmsOnlyThroughOk()
    {
        Recorder users(Wnd::UserList);
        QWidget* settings = main->settingsWindow();

        ShowNotice(Wnd::Msg, 117);
        settle();
        QCOMPARE(msgWnd()->title(), QString("Warning"));
        QCOMPARE(msgWnd()->message(),
                 QString("Existing user data will be deleted.\nDo you still want to proceed?"));
        QVERIFY(!users.isEnabled());
        QVERIFY(!settings->isEnabled());
        QTest::mouseClick(msgWnd()->closeButton(), Qt::LeftButton);
        settle();
        QVERIFY(!msgWnd()->isVisible());
        QVERIFY(!users.received(msg::MSG_USERLIST_IMPORT));
        QVERIFY(users.isEnabled());
        QVERIFY(settings->isEnabled());

        ShowNotice(Wnd::Msg, 117);
        settle();
        QTest::mouseClick(msgWnd()->okButton(), Qt::LeftButton);
        settle();
        QVERIFY(users.received(msg::MSG_USERLIST_IMPORT));
        QVERIFY(!msgWnd()->isVisible());
        QVERIFY(users.isEnabled());
    }

    void cameraChangeCannotBeDismissedByTheOperator()
    {
        Recorder idEntry(Wnd::IDentry);
        ShowNotice(Wnd::MsgError, 129);
        settle();
        QVERIFY(errWnd()->isVisible());
        QVERIFY(!errWnd()->okButton()->isVisible());
        QVERIFY(!errWnd()->closeButton()->isEnabled());
        QTest::mouseClick(errWnd()->closeButton(), Qt::LeftButton);
        QTest::keyClick(errWnd(), Qt::Key_Return);
        QTest::keyClick(errWnd(), Qt::Key_Escape);
        settle();
        QVERIFY(errWnd()->isVisible());

        idEntry.setEnabled(false);
        PostCommand(Wnd::MsgError, 128);  // the caller closes it
        settle();
        QVERIFY(!errWnd()->isVisible());
        QVERIFY(idEntry.isEnabled());

        // The next notice can be closed again.
        ShowNotice(Wnd::MsgError, 130);
        settle();
        QVERIFY(errWnd()->closeButton()->isEnabled());
        QVERIFY(errWnd()->okButton()->isVisible());
    }

    void settingsPagesGetControlBack_data()
    {
        QTest::addColumn<bool>("error");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("page");
        // One of each window; the pages each number holds are the table's.
        QTest::newRow("print settings saved") << false << 103 << int(Wnd::PrintPage);
        QTest::newRow("wrong password setting") << true << 120 << int(Wnd::HelpPage);
    }
    void settingsPagesGetControlBack()
    {
        QFETCH(bool, error);
        QFETCH(int, number);
        QFETCH(int, page);
        std::unique_ptr<Recorder> print;
        if (Wnd(page) == Wnd::PrintPage) print = std::make_unique<Recorder>(Wnd::PrintPage);
        QWidget* pageWnd = WindowWidget(Wnd(page));
        QVERIFY(pageWnd);
        QWidget* settings = main->settingsWindow();
        const Wnd which = error ? Wnd::MsgError : Wnd::Msg;
        CNotice* notice = error ? static_cast<CNotice*>(errWnd()) : msgWnd();
        ShowNotice(which, number);
        settle();
        QVERIFY(notice->okButton()->isVisible());
        QVERIFY(!pageWnd->isEnabled());
        QVERIFY(!settings->isEnabled());
        QTest::mouseClick(notice->okButton(), Qt::LeftButton);
        settle();
        QVERIFY(pageWnd->isEnabled());
        QVERIFY(settings->isEnabled());
        QVERIFY(!notice->isVisible());
    }

    void duplicateUserNoticeLeavesTheMainWindow()
    {
        ShowNotice(Wnd::MsgError, 134);
        settle();
        QCOMPARE(errWnd()->message(),
                 QString("Duplicate user ID or name.\nPlease check the following information :\n"));
        QVERIFY(main->isEnabled());
    }

    void numbersOutsideTheTablesChangeNothing()
    {
        ShowNotice(Wnd::Msg, 112);
        settle();
        const QString text = msgWnd()->message();
        for (int n : {99, 101, 102, 119, 130, 4097}) PostCommand(Wnd::Msg, n);
        settle();
        QVERIFY(msgWnd()->isVisible());
        QCOMPARE(msgWnd()->message(), text);
        QVERIFY(!msgWnd()->okButton()->isVisible());

        ShowNotice(Wnd::MsgError, 133);
        settle();
        for (int n : {110, 112, 113, 114, 115, 136, -1}) PostCommand(Wnd::MsgError, n);
        settle();
        QVERIFY(errWnd()->isVisible());
        QCOMPARE(errWnd()->title(), QString("Data"));
        QVERIFY(errWnd()->followUp() == FollowUp::MemoryFull);
    }

    void closingNumbersOfTheProgressNotice()
    {
        Recorder idEntry(Wnd::IDentry);
        ShowNotice(Wnd::Msg, 111);
        settle();
        QVERIFY(!msgWnd()->okButton()->isVisible());
        QVERIFY(!idEntry.isEnabled());
        PostCommand(Wnd::Msg, 109);
        settle();
        QVERIFY(!msgWnd()->isVisible());
        QVERIFY(idEntry.isEnabled());

        // 113: camera applied; the settings window closes and the main
        // window takes over.
        Recorder camera(Wnd::CameraPage);
        camera.setEnabled(false);
        main->settingsWindow()->Open();
        main->settingsWindow()->setEnabled(false);
        main->setEnabled(false);
        ShowNotice(Wnd::Msg, 115);
        settle();
        PostCommand(Wnd::Msg, 113);
        settle();
        QVERIFY(!msgWnd()->isVisible());
        QVERIFY(camera.isEnabled());
        QVERIFY(main->isEnabled());
        QTRY_VERIFY(!main->settingsWindow()->isVisible());
    }

    void memoryFullTellsTheIdentificationWindow()
    {
        Recorder idEntry(Wnd::IDentry);
        ShowNotice(Wnd::MsgError, 132);
        settle();
        QVERIFY(!main->isEnabled());
        QVERIFY(!idEntry.isEnabled());
        QTest::mouseClick(errWnd()->okButton(), Qt::LeftButton);
        settle();
        QVERIFY(main->isEnabled());
        QVERIFY(idEntry.isEnabled());
        QVERIFY(idEntry.received(msg::WM_COMMAND, msg::IDENTRY_MEMORY_FULL));
    }

    void closeTimerClosesTheErrorNotice()
    {
        Recorder idEntry(Wnd::IDentry);
        ShowNotice(Wnd::MsgError, 116);
        settle();
        QVERIFY(!idEntry.isEnabled());
        errWnd()->StartCloseTimer(30);
        QTRY_VERIFY_WITH_TIMEOUT(!errWnd()->isVisible(), 2000);
        QVERIFY(idEntry.isEnabled());
    }

    void aSecondNoticeReplacesTheFirst()
    {
        ShowNotice(Wnd::MsgError, 124);
        ShowNotice(Wnd::MsgError, 117);
        settle();
        QCOMPARE(errWnd()->message(), QString("Please check the communication status of the device."));
        QVERIFY(errWnd()->followUp() == FollowUp::PortError);
        QTest::mouseClick(errWnd()->okButton(), Qt::LeftButton);
        settle();
        QTRY_VERIFY(main->isEnabled());
    }

    void callerTextBoxes()
    {
        ScriptedDialogs dialogs;
        CMessageBoxDlg::Run(QString::fromUtf8("사용자 ID가 없습니다"));
        QCOMPARE(dialogs.shown.size(), size_t(1));
        QCOMPARE(dialogs.shown[0].kind, QString("dialog"));
        QCOMPARE(dialogs.shown[0].title, QString("Error"));
        QCOMPARE(dialogs.shown[0].text, QString::fromUtf8("사용자 ID가 없습니다"));

        CMessageBoxDlg box("x");
        PostMessage(&box, msg::WM_COMMAND, msg::MSGBOX_DISABLE_MAIN);
        settle();
        QVERIFY(!main->isEnabled());

        CMessageBox3Dlg waiting(CMessageBox3Dlg::kMainText);
        QVERIFY(!WindowExists(Wnd::Waiting));
        waiting.show();
        QVERIFY(WindowExists(Wnd::Waiting));
        QCOMPARE(waiting.text(), QString("Loading data, just a moment please."));
        waiting.hide();
        QVERIFY(!WindowExists(Wnd::Waiting));
    }

    void splashHandsOverToTheMainWindow()
    {
        QWidget mainStandIn;
        mainStandIn.show();
        g_LoadingStatus = 0;
        CSplash splash(&mainStandIn);
        splash.setFinalPause(50);
        QSignalSpy done(&splash, &CSplash::finished);
        splash.show();
        QVERIFY(!mainStandIn.isVisible());
        QCOMPARE(splash.statusText(), QString("Loading Program Modules ..."));
        QTest::qWait(700);
        // Nothing moves while the initialisation has not laid out its controls.
        QCOMPARE(splash.statusText(), QString("Loading Program Modules ..."));
        g_LoadingStatus = 1;
        QTRY_COMPARE(splash.statusText(), QString("Loading Program Information ..."));
        QTest::qWait(100);
        QCOMPARE(splash.step(), 1);
        g_LoadingStatus = 2;
        QTRY_COMPARE_WITH_TIMEOUT(splash.statusText(), QString("Initializing USB connection ..."), 3000);
        QCOMPARE(g_LoadingStatus.load(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 2000);
        QVERIFY(mainStandIn.isVisible());
        QVERIFY(mainStandIn.isEnabled());
        QVERIFY(!splash.isVisible());
    }
};

QTEST_MAIN(TestNotices)
#include "tst_notices.moc"
