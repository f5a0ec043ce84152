// The camera page: the camera list, "Webcam Use", the preview and its flag.
#include "MeasureFixture.h"

#include "measurement/COptionCameraDlg.h"
#include "measurement/CameraSource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QtTest>

class TestCameraPage : public QObject {
    Q_OBJECT
private slots:
    void previewRunsWhileShownAndSilencesCapture()
    {
        TempHome home;
        CameraSourceEnv env(WriteFrames(home / "cam", 3));
        measurement::CountCameras();
        COptionCameraDlg page;
        QCOMPARE(page.size(), QSize(760, 540));
        QVERIFY(!COptionCameraDlg::PreviewIsActive());
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(page.CameraList()->count(), 1);
        QCOMPARE(page.CameraList()->itemText(0), QString("CAM 0"));
        QVERIFY(page.UseBox()->isChecked());
        QVERIFY(COptionCameraDlg::PreviewIsActive());
        QVERIFY(page.PreviewRunning());
        QTRY_VERIFY_WITH_TIMEOUT(page.Preview()->FramesShown() > 2, 3000);

        // Clearing "Webcam Use" stops the preview and is saved at once.
        QTest::mouseClick(page.UseBox(), Qt::LeftButton);
        QVERIFY(!page.UseBox()->isChecked());
        QVERIFY(!page.PreviewRunning());
        QVERIFY(!page.CameraList()->isEnabled());
        QCOMPARE(emtask::GetManager()->m_BusInfo.camerause, 0);
        QCOMPARE(SettingsOnDisk(home).camerause, 0);
        QVERIFY(page.Preview()->Picture().isNull());  // the placeholder again

        QTest::mouseClick(page.UseBox(), Qt::LeftButton);
        QVERIFY(page.PreviewRunning());
        QCOMPARE(SettingsOnDisk(home).camerause, 1);

        page.hide();
        QVERIFY(!page.PreviewRunning());
        QVERIFY(COptionCameraDlg::PreviewIsActive());  // until the settings window closes
        page.SettingsClosing();
        QVERIFY(!COptionCameraDlg::PreviewIsActive());
    }

    void closingTheSettingsWindowGivesTheCameraBack()
    {
        TempHome home;
        CameraSourceEnv env(WriteFrames(home / "cam", 2));
        measurement::CountCameras();
        QWidget settings;
        QWidget other(&settings);
        auto* page = new COptionCameraDlg(&settings);
        settings.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        QVERIFY(page->property("previewActive").toBool());
        QVERIFY(page->PreviewRunning());
        // Another page: the preview stops, the flag stays until the window closes.
        page->hide();
        QVERIFY(!page->PreviewRunning());
        QVERIFY(COptionCameraDlg::PreviewIsActive());
        // The settings window closes while another page is shown.
        settings.hide();
        QVERIFY(!COptionCameraDlg::PreviewIsActive());
        page->show();
        settings.show();
        QVERIFY(page->PreviewRunning());
        QVERIFY(COptionCameraDlg::PreviewIsActive());
        settings.hide();
        QVERIFY(!page->PreviewRunning());
        QVERIFY(!COptionCameraDlg::PreviewIsActive());
        QVERIFY(!page->property("previewActive").toBool());
    }

    void noCameraFoundStillSavesTheChoice()
    {
        TempHome home;
        CameraSourceEnv env(home / "nothing/frame_%03d.jpg");
        QCOMPARE(measurement::CountCameras(), 0);
        emtask::GetManager()->m_BusInfo.camerause = 0;
        COptionCameraDlg page;
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(page.CameraList()->count(), 0);
        QVERIFY(!page.UseBox()->isChecked());
        QTest::mouseClick(page.UseBox(), Qt::LeftButton);
        QVERIFY(!page.PreviewRunning());
        QCOMPARE(SettingsOnDisk(home).camerause, 1);
        page.SettingsClosing();
    }
};

QTEST_MAIN(TestCameraPage)
#include "tst_camerapage.moc"
