// The identification window, and the test window driven by instrument
// events as the link emits them.
#include "MeasureFixture.h"
#include "StoreImage.h"

#include "FileImage.h"
#include "controls/Dialogs.h"
#include "devicelink/DLSerial.h"
#include "devicelink/DeviceLink.h"
#include "measurement/CCaptureDlg.h"
#include "users/CIDentry.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
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

// An event as the read thread emits it (queued to the test window).
void Emit(DeviceLink& link, DeviceEvent e, const char* result = "")
{
    emit link.testEvent(e, QString(result));
}
}  // namespace

class TestCaptureDlg : public QObject {
    Q_OBJECT
private slots:
    void eachResultFrameStoresItsOwnResultOrSaysWhyNotAndCloseResets()
    {
        TempHome home;
        CameraSourceEnv env(WriteFrames(home / "cam", 2));
        ScriptedDialogs dialogs;
        DeviceLink link(GetSerial(), emtask::GetManager()->Settings());
        QSignalSpy disabled(&link, &DeviceLink::measureDisabled);
        emtask::StoreImage::Settings(*emtask::GetManager()).camerause = 0;
        SetSubject("ID-9", "Lee", "", "B");
        CCaptureDlg d(*emtask::GetManager(), &link, nullptr, 20);
        QVERIFY(link.FollowingTest());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        // Two frames at once, a third during the photograph wait of the first.
        Emit(link, DeviceEvent::Calibration);
        Emit(link, DeviceEvent::Res, "0.050");
        Emit(link, DeviceEvent::Res, "0.060");
        QTest::qWait(30);
        Emit(link, DeviceEvent::Res, "0.000");
        QTRY_VERIFY_WITH_TIMEOUT(d.StoredCount() == 3, 5000);
        const emtask::TestRecord* log = emtask::StoreImage::Log(*emtask::GetManager()).m_TestData;
        QCOMPARE(std::string(log[0].result) + log[1].result + log[2].result, std::string("0.0500.0600.000"));
        QCOMPARE(d.View().result, QString("0.000"));
        QCOMPARE(d.Step(), 3);
        // Number and unit on one line, a space apart, inside the panel.
        for (const char* unit : {"B", "M"}) {
            measurement::StatusView wide = d.View();
            wide.result = "88888";
            wide.unit = unit;
            const measurement::ResultPlace at = measurement::PlaceResult(wide);
            QVERIFY(at.unit.left() - (at.number.left() + at.number.width()) >= 10);
            QVERIFY(at.number.left() >= 0 && at.unit.right() < measurement::kStatusWidth);
        }
        QCOMPARE(d.View().notice, QString(CCaptureDlg::kRecalibrationNotice));
        QVERIFY(dialogs.shown.empty());

        emtask::iofault::Arm(1, ENOSPC, emtask::iofault::kWriteSide, true);  // a full disk
        Emit(link, DeviceEvent::Res, "0.045");
        QTRY_VERIFY_WITH_TIMEOUT(d.StoredCount() == 4, 3000);
        emtask::iofault::Disarm();
        QCOMPARE(d.LastStored().logSaved, -1);
        QCOMPARE(dialogs.messages().size(), 1);
        const QString said = dialogs.messages()[0];
        QVERIFY2(said.contains("0.045") && said.contains("not saved") &&
                     said.contains("No space left on device"),
                 qPrintable(said));
        QVERIFY(d.CloseEnabled());

        // Enter and a close request from the window manager do nothing.
        QTest::keyClick(&d, Qt::Key_Return);
        d.close();
        QCoreApplication::processEvents();
        QVERIFY(!d.Closed() && d.isVisible());

        // Escape is the close button, under its rules: not while blowing.
        Emit(link, DeviceEvent::Bre);
        QTRY_VERIFY(!d.CloseEnabled());
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.Closed());
        Emit(link, DeviceEvent::Sen);
        QTRY_VERIFY(d.CloseEnabled());

        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(d.Closed() && !d.Capture().CaptureRunning());
        QCOMPARE(emtask::StoreImage::Settings(*emtask::GetManager()).login, 1);
        QCOMPARE(disabled.size(), 1);  // the reset went to the link
        // Nothing reaches a closed window.
        Emit(link, DeviceEvent::Res, "0.999");
        QVERIFY(!link.FollowingTest());
        QCoreApplication::processEvents();
        QCOMPARE(d.StoredCount(), 4);
    }

    void entryIsCorrectedUntilItMatchesThenStartsTheTest()
    {
        TempHome home;
        LoadUsers(home, {{1, "abc", "Abc"}, {5, "Lee", "Park"}, {9, "p9", "Lee"}, {42, "ID-42", "이순신"}});
        // "Lee" is slot 5's ID and slot 9's name: the lower slot wins. An
        // empty entry never matches slot 0 or a free slot.
        const std::pair<const char*, int> cases[] = {{"abc", 1},  {"Park", 5}, {"Lee", 5},
                                                     {"ABC", -1}, {"ab", -1},  {"", -1}};
        for (auto [entry, slot] : cases)
            QCOMPARE(FindSubjectSlot(emtask::GetManager()->Users(), entry), slot);
        ScriptedDialogs dialogs;
        Recorder main(Wnd::Main);
        main.setEnabled(false);
        CIDentry w(emtask::GetManager()->Users(), emtask::GetManager()->Settings());
        QSignalSpy startTest(&w, &CIDentry::startTestRequested);
        w.ShowCentred();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClicks(w.Entry(), QString(35, 'a'));
        QCOMPARE(w.Entry()->text().size(), 30);
        Enter(w, "ABC");
        QVERIFY(w.isVisible() && w.isEnabled());
        QCOMPARE(w.Entry()->text(), QString("ABC"));
        QCOMPARE(dialogs.messages(), QStringList({"Please check your ID or name."}));
        QCOMPARE(dialogs.shown[0].title, QString("ID or Name recognition"));
        QCOMPARE(startTest.count(), 0);
        QCOMPARE(emtask::StoreImage::Settings(*emtask::GetManager()).subjectno[0], '\0');

        Enter(w, QString::fromUtf8("이순신"));
        QVERIFY(!w.isVisible());
        QCOMPARE(dialogs.shown.size(), size_t(1));
        const emtask::BusInfo& b = emtask::StoreImage::Settings(*emtask::GetManager());
        QCOMPARE(std::string(b.subjectno) + "|" + b.subjectid + "|" + b.subjectname,
                 std::string("42|ID-42|이순신"));
        QCOMPARE(startTest.count(), 1);
        QVERIFY(!main.isEnabled());
    }

    void fullCounterLocksIdentification()
    {
        TempHome home;
        LoadUsers(home, {{1, "abc", "Abc"}});
        emtask::StoreImage::Settings(*emtask::GetManager()).recordcnt = emtask::kMaxStoredCounter;
        ScriptedDialogs dialogs;
        Recorder main(Wnd::Main);
        main.setEnabled(false);
        CIDentry w(emtask::GetManager()->Users(), emtask::GetManager()->Settings());
        QSignalSpy startTest(&w, &CIDentry::startTestRequested);
        w.ShowCentred();
        QTRY_COMPARE(dialogs.shown.size(), size_t(1));
        QCOMPARE(dialogs.shown[0].title, QString("Data"));
        QCOMPARE(
            dialogs.shown[0].text,
            QString(
                "The memory on ZOLT7 is almost full.\nPlease save the data on your computer immediately."));
        // Locked: only the close button is left, and it gives the main window back.
        QVERIFY(!w.OkButton()->isEnabled() && !w.Entry()->isEnabled());
        w.OnOk();
        QCoreApplication::processEvents();
        QCOMPARE(startTest.count(), 0);
        QTest::mouseClick(w.CloseButton(), Qt::LeftButton);
        QVERIFY(!w.isVisible() && main.isEnabled());
    }
};

QTEST_MAIN(TestCaptureDlg)
#include "tst_capturedlg.moc"
