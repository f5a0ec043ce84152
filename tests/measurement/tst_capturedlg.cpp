// The identification window, and the test window driven by instrument
// events as the serial thread posts them.
#include "MeasureFixture.h"

#include "FileImage.h"
#include "controls/Dialogs.h"
#include "devicelink/Protocol.h"
#include "measurement/CCaptureDlg.h"
#include "messaging/Messages.h"
#include "users/CIDentry.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
// A user file written as the register writes it, then loaded.
void LoadUsers(const TempHome& home, std::initializer_list<std::tuple<int, const char*, const char*>> users)
{
    WriteUsers(home, users);
    QCOMPARE(emtask::GetManager()->LoadUserInfo((home / "conf/userinfo.conf").c_str()), 1);
}

void Enter(CIDentry& w, const QString& text)
{
    w.Entry()->setText(text);
    QTest::keyClick(w.Entry(), Qt::Key_Return);
}

void Post(int code) { QVERIFY(PostMessage(Wnd::Capture, msg::MSG_DEVICE_EVENT, code)); }

// A "RES" frame as the serial thread hands it on: the event with the frame's
// own result text.
void PostResult(const char* result)
{
    QVERIFY(PostMessage(Wnd::Capture, msg::MSG_DEVICE_EVENT, msg::PID_RES, PackResult(result)));
}

// The window shown, camera running, pictures arriving.
struct OpenDlg {
    CCaptureDlg dlg;
    OpenDlg()
    {
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    }
};
}  // namespace

class TestCaptureDlg : public QObject {
    Q_OBJECT
private slots:
    void init() { CCaptureDlg::SetPhotoWaitMs(300); }

    void eachResultFrameStoresItsOwnResult()
    {
        TempHome home;
        emtask::GetManager()->m_BusInfo.camerause = 0;
        CCaptureDlg::SetPhotoWaitMs(20);
        SetSubject("ID-9", "Lee", "", "B");
        OpenDlg o;
        CCaptureDlg& d = o.dlg;
        // Two frames before the window sees the first, a third during the
        // waits for the photograph of the first; the notice of a
        // recalibration stays on every later step.
        Post(msg::PID_CALIBRATION);
        PostResult("0.050");
        PostResult("0.060");
        QTest::qWait(30);
        PostResult("0.000");
        QTRY_VERIFY_WITH_TIMEOUT(d.StoredCount() == 3, 5000);
        const emtask::DeviceData& log = emtask::GetManager()->m_DeviceData;
        QCOMPARE(std::string(log.m_TestData[0].result), std::string("0.050"));
        QCOMPARE(std::string(log.m_TestData[1].result), std::string("0.060"));
        QCOMPARE(std::string(log.m_TestData[2].result), std::string("0.000"));
        QCOMPARE(d.View().result, QString("0.000"));
        QCOMPARE(d.Step(), 3);
        QCOMPARE(d.View().notice, QString(CCaptureDlg::kRecalibrationNotice));
    }

    void aResultThatCannotBeStoredIsSaid()
    {
        TempHome home;
        ScriptedDialogs dialogs;
        emtask::GetManager()->m_BusInfo.camerause = 0;
        CCaptureDlg::SetPhotoWaitMs(5);
        SetSubject("ID-9", "Lee", "", "B");
        OpenDlg o;
        emtask::iofault::Arm(1, ENOSPC, emtask::iofault::kWriteSide, true);  // a full disk
        PostResult("0.045");
        QTRY_VERIFY_WITH_TIMEOUT(o.dlg.StoredCount() == 1, 3000);
        emtask::iofault::Disarm();
        QCOMPARE(o.dlg.LastStored().logSaved, -1);
        QCOMPARE(dialogs.messages().size(), 1);
        const QString said = dialogs.messages()[0];
        QVERIFY2(said.contains("0.045") && said.contains("not saved") && said.contains("No space left on device"),
                 qPrintable(said));
        QVERIFY(o.dlg.CloseEnabled());
    }

    void closeButtonResetsInstrument()
    {
        TempHome home;
        CameraSourceEnv env(WriteFrames(home / "cam", 2));
        Recorder main(Wnd::Main);
        OpenDlg o;
        CCaptureDlg& d = o.dlg;
        // Enter, Escape and a close request from the window manager do nothing.
        QTest::keyClick(&d, Qt::Key_Escape);
        QTest::keyClick(&d, Qt::Key_Return);
        d.close();
        QCoreApplication::processEvents();
        QVERIFY(!d.Closed());
        QVERIFY(d.isVisible());

        Post(msg::PID_BRE);
        QTRY_VERIFY(!d.CloseEnabled());
        Post(msg::PID_TIMEOUT);
        QTRY_COMPARE(d.Step(), 16);
        QVERIFY(!d.CloseEnabled());  // stays disabled after a time-out
        Post(msg::PID_SEN);
        QTRY_VERIFY(d.CloseEnabled());

        QTest::mouseClick(d.CloseButton(), Qt::LeftButton);
        QVERIFY(d.Closed());
        QVERIFY(!d.Capture().CaptureRunning());
        QCOMPARE(emtask::GetManager()->m_BusInfo.login, 1);
        QTRY_VERIFY(main.received(msg::MSG_DEVICE_COMMAND, msg::PID_RESET));
        // Nothing reaches a closed window.
        QVERIFY(!PostMessage(Wnd::Capture, msg::MSG_DEVICE_EVENT, msg::PID_RES));
    }

    void lookupByIdThenName()
    {
        TempHome home;
        LoadUsers(home, {{3, "kim01", "Kim"}, {5, "Lee", "Park"}, {9, "p9", "Lee"}});
        QCOMPARE(FindSubjectSlot("kim01"), 3);
        QCOMPARE(FindSubjectSlot("Kim"), 3);
        // "Lee" is slot 5's ID and slot 9's name: the lower slot wins.
        QCOMPARE(FindSubjectSlot("Lee"), 5);
        QCOMPARE(FindSubjectSlot("KIM01"), -1);
        QCOMPARE(FindSubjectSlot("Ki"), -1);
        // Empty entry: slot 0 and free slots are never a subject.
        QCOMPARE(FindSubjectSlot(""), -1);
    }

    void matchFillsSubjectAndStartsTest()
    {
        TempHome home;
        LoadUsers(home, {{42, "ID-42", "이순신"}});
        ScriptedDialogs dialogs;
        Recorder main(Wnd::Main);
        CIDentry w;
        main.setEnabled(false);
        w.ShowCentred();
        Enter(w, QString::fromUtf8("이순신"));
        QVERIFY(!w.isVisible());
        QVERIFY(dialogs.shown.empty());
        const emtask::BusInfo& b = emtask::GetManager()->m_BusInfo;
        QCOMPARE(std::string(b.subjectno), std::string("42"));
        QCOMPARE(std::string(b.subjectid), std::string("ID-42"));
        QCOMPARE(std::string(b.subjectname), std::string("이순신"));
        QTRY_COMPARE(main.got.size(), size_t(1));
        QCOMPARE(main.got[0].first, msg::MSG_DEVICE_COMMAND);
        QCOMPARE(main.got[0].second, intptr_t(msg::DEVICE_COMMAND_START_TEST));
        QVERIFY(!main.isEnabled());
    }

    void noMatchKeepsEntryForCorrection()
    {
        TempHome home;
        LoadUsers(home, {{1, "abc", "Abc"}});
        ScriptedDialogs dialogs;
        Recorder main(Wnd::Main);
        CIDentry w;
        w.ShowCentred();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClicks(w.Entry(), QString(35, 'a'));
        QCOMPARE(w.Entry()->text().size(), 30);
        Enter(w, "ABC");
        QVERIFY(w.isVisible());
        QVERIFY(w.isEnabled());
        QCOMPARE(w.Entry()->text(), QString("ABC"));
        QVERIFY(!main.isEnabled());
        QCOMPARE(dialogs.messages(), QStringList({"Please check your ID or name."}));
        QCOMPARE(dialogs.shown[0].title, QString("ID or Name recognition"));
        QCoreApplication::processEvents();
        QVERIFY(main.got.empty());
        QCOMPARE(emtask::GetManager()->m_BusInfo.subjectno[0], '\0');

        // Close: the main window is back and the entry cleared.
        QTest::mouseClick(w.CloseButton(), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(main.isEnabled());
        QVERIFY(w.Entry()->text().isEmpty());
    }

    void fullCounterLocksIdentification()
    {
        TempHome home;
        LoadUsers(home, {{1, "abc", "Abc"}});
        emtask::GetManager()->m_BusInfo.recordcnt = emtask::kMaxStoredCounter;
        ScriptedDialogs dialogs;
        Recorder main(Wnd::Main);
        main.setEnabled(false);
        CIDentry w;
        w.ShowCentred();
        QTRY_COMPARE(dialogs.shown.size(), size_t(1));
        QCOMPARE(dialogs.shown[0].title, QString("Data"));
        QCOMPARE(dialogs.shown[0].text,
                 QString("The memory on ZOLT7 is almost full.\nPlease save the data on your computer immediately."));
        // Locked: only the close button is left, and it alone gives the main
        // window back.
        QVERIFY(!w.OkButton()->isEnabled());
        QVERIFY(!w.Entry()->isEnabled());
        w.OnOk();
        QCoreApplication::processEvents();
        QVERIFY(main.got.empty());
        QTest::mouseClick(w.CloseButton(), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(main.isEnabled());
    }

    void identificationModeZeroDisablesEntry()
    {
        TempHome home;
        emtask::GetManager()->m_BusInfo.idmode = 0;
        CIDentry w;
        w.ShowCentred();
        QTRY_VERIFY(!w.Entry()->isEnabled());
        w.OnClose();
        emtask::GetManager()->m_BusInfo.idmode = 2;
        w.ShowCentred();
        QTRY_VERIFY(w.Entry()->isEnabled());
    }
};

QTEST_MAIN(TestCaptureDlg)
#include "tst_capturedlg.moc"
