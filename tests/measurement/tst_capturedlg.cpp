// The test window driven by instrument events, as the serial thread posts them.
#include "MeasureFixture.h"

#include "FileImage.h"
#include "PhotoCheck.h"
#include "controls/Dialogs.h"
#include "devicelink/Protocol.h"
#include "measurement/CCaptureDlg.h"
#include "messaging/Messages.h"

#include <QPushButton>
#include <QtTest>

namespace fs = std::filesystem;

namespace {
// As the read thread posts it: RES carries the result text (here the one set
// in the settings block by SetSubject).
void Post(int code)
{
    const intptr_t result = code == msg::PID_RES ? PackResult(emtask::GetManager()->m_BusInfo.lastresult) : 0;
    QVERIFY(PostMessage(Wnd::Capture, msg::MSG_DEVICE_EVENT, code, result));
}

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

    void measuredResultStoredWithPhotograph()
    {
        TempHome home;
        CameraSourceEnv env(WriteFrames(home / "cam", 4));
        SetSubject("ID-9", "Lee", "0.045", "B");
        MainStandIn main;
        OpenDlg o;
        CCaptureDlg& d = o.dlg;
        QVERIFY(WindowExists(Wnd::Capture));
        QTRY_VERIFY_WITH_TIMEOUT(d.PictureView()->FramesShown() > 0, 3000);
        QCOMPARE(d.PictureView()->CurrentBanner(), measurement::Banner::Live);

        Post(msg::PID_WAIT);
        QTRY_COMPARE(d.Step(), 1);
        Post(msg::PID_STA);
        QTRY_COMPARE(d.Step(), 2);
        Post(msg::PID_M07);
        Post(msg::PID_M12);
        Post(msg::PID_BRE);
        QTRY_VERIFY(!d.CloseEnabled());
        QCOMPARE(d.Step(), 2);  // the M-frames changed nothing
        QTRY_VERIFY_WITH_TIMEOUT(d.PictureView()->CurrentBanner() == measurement::Banner::PhotoTaken, 3000);
        Post(msg::PID_M05);
        QTRY_COMPARE(d.Step(), 5);
        Post(msg::PID_RES);
        QTRY_VERIFY_WITH_TIMEOUT(d.StoredCount() == 1, 8000);
        QCOMPARE(d.Step(), 4);
        QCOMPARE(d.View().result, QString("0.045"));
        QCOMPARE(d.View().unit, QString("B"));
        QVERIFY(d.CloseEnabled());
        QVERIFY(d.LastStored().photoWritten);

        const emtask::TestRecord& r = emtask::GetManager()->m_DeviceData.m_TestData[0];
        QCOMPARE(std::string(r.id), std::string("ID-9"));
        QCOMPARE(std::string(r.result), std::string("0.045"));
        emtask::PhotoSamples s;
        QVERIFY(emtask::SamplePhotoFile(home / ("data/jpeg/" + emtask::PhotoFileName(r)), s));
        QCOMPARE(r.crc16, emtask::PhotoCheckValue(s, r));

        // END closes without a command to the instrument.
        Post(msg::PID_END);
        QTRY_VERIFY(d.Closed());
        QVERIFY(!WindowExists(Wnd::Capture));
        QVERIFY(!d.Capture().CaptureRunning());
        QCoreApplication::processEvents();
        QVERIFY(main.got.empty());
        QCOMPARE(emtask::GetManager()->m_BusInfo.login, 0);
    }

    void calibrationNoticeStaysOnEveryLaterStep()
    {
        TempHome home;
        SetSubject("ID-9", "Lee", "0.120", "X");  // unknown unit: no unit text
        emtask::GetManager()->m_BusInfo.camerause = 0;
        CCaptureDlg::SetPhotoWaitMs(5);
        OpenDlg o;
        CCaptureDlg& d = o.dlg;
        Post(msg::PID_CALIBRATION);
        QTRY_COMPARE(d.Step(), 0);
        QCOMPARE(d.View().notice, QString(CCaptureDlg::kRecalibrationNotice));
        Post(msg::PID_WAIT);
        QTRY_COMPARE(d.Step(), 1);
        QCOMPARE(d.View().notice, QString(CCaptureDlg::kRecalibrationNotice));
        Post(msg::PID_BRE);
        Post(msg::PID_RES);
        QTRY_VERIFY_WITH_TIMEOUT(d.StoredCount() == 1, 3000);
        QCOMPARE(d.Step(), 4);
        QCOMPARE(d.View().notice, QString(CCaptureDlg::kRecalibrationNotice));
        QCOMPARE(d.View().unit, QString("X"));
        // Camera unused: no photograph, zero samples, no file.
        QVERIFY(!d.LastStored().photoWritten);
        const emtask::TestRecord& r = emtask::GetManager()->m_DeviceData.m_TestData[0];
        QCOMPARE(r.crc16, emtask::PhotoCheckValue(emtask::PhotoSamples{}, r));
        QVERIFY(!fs::exists(home / ("data/jpeg/" + emtask::PhotoFileName(r))));
        Post(msg::PID_SEN);
        QTRY_COMPARE(d.Step(), 12);
        QCOMPARE(d.View().notice, QString(CCaptureDlg::kRecalibrationNotice));
    }

    void endDuringThePhotographWaitFollowsTheStore()
    {
        TempHome home;
        emtask::GetManager()->m_BusInfo.camerause = 0;
        CCaptureDlg::SetPhotoWaitMs(20);
        SetSubject("ID-9", "Lee", "0.010", "B");
        MainStandIn main;
        OpenDlg o;
        CCaptureDlg& d = o.dlg;
        Post(msg::PID_RES);
        // An END arriving during the waits is handled after the record is stored
        // (how many waits: TestSession's tests, on their own clock).
        Post(msg::PID_END);
        QTRY_VERIFY(d.Session().Storing());
        QVERIFY(!d.Closed());
        QTRY_VERIFY_WITH_TIMEOUT(d.Closed(), 5000);
        QCOMPARE(d.StoredCount(), 1);
        QCOMPARE(emtask::GetManager()->m_BusInfo.recordcnt, 1);
        // That END found the unit code not yet cleared: the window asks for it.
        QTRY_COMPARE(main.got.size(), size_t(1));
        QCOMPARE(main.got[0].second, intptr_t(msg::PID_RECALL));
    }

    void eachResultFrameStoresItsOwnResult()
    {
        TempHome home;
        emtask::GetManager()->m_BusInfo.camerause = 0;
        CCaptureDlg::SetPhotoWaitMs(20);
        SetSubject("ID-9", "Lee", "", "B");
        OpenDlg o;
        CCaptureDlg& d = o.dlg;
        // Two frames before the window sees the first, a third during the
        // waits for the photograph of the first.
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
        MainStandIn main;
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
        QTRY_COMPARE(main.got.size(), size_t(1));
        QCOMPARE(main.got[0].first, msg::MSG_DEVICE_COMMAND);
        QCOMPARE(main.got[0].second, intptr_t(msg::PID_RESET));
        // Nothing reaches a closed window.
        QVERIFY(!PostMessage(Wnd::Capture, msg::MSG_DEVICE_EVENT, msg::PID_RES));
    }
};

QTEST_MAIN(TestCaptureDlg)
#include "tst_capturedlg.moc"
