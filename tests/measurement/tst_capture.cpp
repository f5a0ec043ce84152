// Storing a test with its photograph, the capture thread, and the camera
// page's preview that keeps the camera from it.
#include "MeasureFixture.h"
#include "StoreImage.h"

#include "PhotoCheck.h"
#include "measurement/COptionCameraDlg.h"
#include "measurement/CameraCapture.h"
#include "measurement/CameraSource.h"
#include "measurement/TestStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QtTest>
#include <fstream>

using namespace measurement;
namespace fs = std::filesystem;

namespace {
cv::Mat Pattern(int w, int h)
{
    cv::Mat m(h, w, CV_8UC3);
    cv::randu(m, cv::Scalar::all(0), cv::Scalar::all(255));
    cv::GaussianBlur(m, m, cv::Size(9, 9), 3);
    return m;
}
}  // namespace

class TestCapture : public QObject {
    Q_OBJECT
private slots:
    void storesResultWithPhotographUnderItsName()
    {
        TempHome home;
        emtask::StoreImage::Settings(*emtask::GetManager()).recordcnt = 12344;
        SetSubject("A-17", "홍길동", "0.045", "B");
        cv::Mat photo = Pattern(320, 240);

        StoredTest st = FlowDataSave(*emtask::GetManager(), false, "0.045", photo,
                                     MakeTm(2024, 3, 7, 13, 45, 1));
        QCOMPARE(st.slot, 12344);
        QVERIFY(st.photoWritten && st.logSaved == 1 && st.settingSaved == 1);

        const std::string jpeg = home / "data/jpeg/00012345-20240307134501.jpg";
        QVERIFY(fs::exists(jpeg));
        emtask::TestRecord r = RecordOnDisk(home, 12344);
        QCOMPARE(r.testno, 12345);
        QCOMPARE(RecordFields(r), QStringList({"A-17", "홍길동", "0.045", "B", "0"}));
        QCOMPARE(std::string(r.m_Tyy) + r.m_Tmm + r.m_Tdd + r.m_Thh + r.m_Tmi + r.m_Tss,
                 std::string("20240307134501"));
        // The check value is the one a later check computes from the file.
        emtask::PhotoSamples s;
        QVERIFY(emtask::SamplePhotoFile(jpeg, s));
        QCOMPARE(r.crc16, emtask::PhotoCheckValue(s, r));
        QVERIFY(r.crc16 != emtask::PhotoCheckValue(emtask::PhotoSamples{}, r));

        QCOMPARE(StoredBus().recordcnt, 12345);
        // The unit is cleared after a result (the next END asks again), not after a flow error.
        QCOMPARE(emtask::StoreImage::Settings(*emtask::GetManager()).unitcode[0], '\0');
        SetSubject("u1", "Kim", "0.000", "M");
        st = FlowDataSave(*emtask::GetManager(), true, "FLOW", cv::Mat(), MakeTm(2025, 12, 31, 23, 59, 59));
        QCOMPARE(st.slot, 12345);
        r = RecordOnDisk(home, 12345);
        QCOMPARE(RecordFields(r), QStringList({"u1", "Kim", "FLOW", "F", "F"}));
        QCOMPARE(r.crc16, emtask::PhotoCheckValue(emtask::PhotoSamples{}, r));
        QCOMPARE(emtask::StoreImage::Settings(*emtask::GetManager()).unitcode[0], 'M');

        // No photograph folder possible: the record is stored all the same.
        fs::remove_all(home / "data/jpeg");
        std::ofstream(home / "data/jpeg") << "x";
        st = FlowDataSave(*emtask::GetManager(), false, "0.020", photo, MakeTm(2024, 5, 6, 7, 8, 9));
        QCOMPARE(st.slot, 12346);
        QVERIFY(!st.photoWritten);
        r = RecordOnDisk(home, 12346);
        QCOMPARE(r.crc16, emtask::PhotoCheckValue(emtask::PhotoSamples{}, r));
    }

    // The capture thread's life: no picture while the camera is unused or
    // held by the settings' preview, then the requested frame kept; it stops
    // promptly even while every read fails.
    void captureThreadKeepsTheRequestedFrameAndStops()
    {
        TempHome home;
        CameraSourceEnv env(WriteFrames(home / "cam", 5));
        std::atomic<int> live{0}, taken{0}, bannerOnly{0};
        CameraCapture cap([&](const QImage& pic, Banner b) {
            if (b == Banner::Live && !pic.isNull()) ++live;
            if (b == Banner::PhotoTaken) ++(pic.isNull() ? bannerOnly : taken);
        });
        cap.SetCameraUse(false);
        QVERIFY(cap.OpenCamera(0));
        cap.RequestPhoto();
        QTRY_VERIFY_WITH_TIMEOUT(bannerOnly > 3, 2000);
        cap.SetCameraUse(true);
        PreviewActive() = true;
        QTest::qWait(100);
        QVERIFY(live == 0 && taken == 0 && !cap.PhotoKept());
        PreviewActive() = false;
        QTRY_VERIFY_WITH_TIMEOUT(cap.PhotoKept(), 2000);
        QVERIFY(!cap.PhotoRequested() && cap.PhotoShown());
        QCOMPARE(taken.load(), 1);
        cv::Mat photo = cap.TakePhoto();
        QVERIFY(!cap.PhotoKept());
        QCOMPARE(photo.size(), cv::Size(320, 240));
        // While the photograph is shown, no live frame replaces it.
        QTest::qWait(100);
        QCOMPARE(live.load(), 0);

        // The camera goes away: every read fails from now on.
        fs::remove_all(home / "cam");
        QTest::qWait(200);
        cap.RequestPhoto();
        QTest::qWait(100);
        QVERIFY(!cap.PhotoKept() && cap.CaptureRunning());
        QVERIFY(cap.StopCapture());  // failing reads leave the thread free to stop
        QVERIFY(!cap.CaptureRunning());

        // No camera at all: nothing starts, and a restart does not pretend one is open.
        QCOMPARE(CountCameras(), 0);
        CameraCapture none;
        QVERIFY(!none.OpenCamera(0) && !none.CaptureRunning());
        none.RestartCamera();
        QVERIFY(!none.CameraOpen());
    }

    void previewRunsWhileShownAndTheFlagLastsUntilTheSettingsClose()
    {
        TempHome home;
        CameraSourceEnv env(WriteFrames(home / "cam", 3));
        CountCameras();
        QWidget settings;
        auto* page = new COptionCameraDlg(emtask::GetManager()->Settings(), &settings);
        settings.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        QVERIFY(page->UseBox()->isChecked() && page->PreviewRunning() && COptionCameraDlg::PreviewIsActive());
        QTRY_VERIFY_WITH_TIMEOUT(page->Preview()->FramesShown() > 2, 3000);

        // Clearing "Webcam Use" stops the preview and is saved at once.
        QTest::mouseClick(page->UseBox(), Qt::LeftButton);
        QVERIFY(!page->PreviewRunning() && !page->CameraList()->isEnabled());
        QCOMPARE(StoredBus().camerause, 0);
        QTest::mouseClick(page->UseBox(), Qt::LeftButton);
        QVERIFY(page->PreviewRunning());
        QCOMPARE(StoredBus().camerause, 1);

        // Another page stops the preview; the flag lasts until the window closes.
        page->hide();
        QVERIFY(!page->PreviewRunning() && COptionCameraDlg::PreviewIsActive());
        settings.hide();
        QVERIFY(!COptionCameraDlg::PreviewIsActive() && !page->property("previewActive").toBool());
    }
};

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
