// A breath test end to end: the main window connects to the simulated
// instrument, the operator identifies a registered user, the instrument runs
// its test, and the record, its photograph and the settings land on disk.
#include "BuildPaths.h"
#include "StoreImage.h"
#include "MeasureFixture.h"
#include "SimProcess.h"

#include "PhotoCheck.h"
#include "devicelink/DLSerial.h"
#include "measurement/CCaptureDlg.h"
#include "shell/CVelmoraViewDlg.h"
#include "shell/LastTestPanel.h"
#include "users/CIDentry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace fs = std::filesystem;

namespace {

CCaptureDlg* TestWindow() { return qobject_cast<CCaptureDlg*>(WindowPointer(Wnd::Capture)); }

// One program run: one registered user, the sample camera, the simulator.
struct Run {
    TempHome home;
    std::unique_ptr<CameraSourceEnv> camera;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<CVelmoraViewDlg> main;

    explicit Run(const QStringList& simArgs)
    {
        WriteUsers(home, {{7, "kim07", "Kim Minsu"}});
        camera = std::make_unique<CameraSourceEnv>(SampleCamPattern());
        QStringList args = simArgs;
        if (!args.contains("--pace"))
            args << "--pace"
                 << "150";
        if (!args.contains("--hold"))
            args << "--hold"
                 << "0";
        sim = std::make_unique<SimProcess>(args, home / "sim.log");
        qputenv("ZOLT7_PORTS", sim->path.toLatin1());
        CVelmoraViewDlg::Options o;
        o.splash = false;
        o.debugLevel = false;
        o.monitorPorts = false;
        main = std::make_unique<CVelmoraViewDlg>(o);
        main->Init();
    }
    ~Run()
    {
        main.reset();
        GetSerial().Close();
        qunsetenv("ZOLT7_PORTS");
    }

    // Connects, waits for the unit, presses measure; the identification window.
    CIDentry* Start()
    {
        QComboBox* ports = main->portList();
        int i = ports->findText(sim->path, Qt::MatchContains);
        if (i < 0) return nullptr;
        ports->setCurrentIndex(i);
        main->OnConnect();
        if (!GetSerial().IsOpen() ||
            !QTest::qWaitFor(
                [] { return emtask::StoreImage::Settings(*emtask::GetManager()).unitcode[0] != 0; }, 5000))
            return nullptr;
        main->OnMeasure();
        auto* id = qobject_cast<CIDentry*>(WindowPointer(Wnd::IDentry));
        return id && QTest::qWaitFor([id] { return id->isVisible(); }, 3000) ? id : nullptr;
    }

    // Identifies; the test window runs inside this call, `during` every 20 ms.
    void Identify(CIDentry* id, const QString& text, std::function<void(CCaptureDlg*)> during = {})
    {
        QTimer poll;
        bool seen = false;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (CCaptureDlg* d = TestWindow()) {
                seen = true;
                if (during) during(d);
            }
        });
        poll.start(20);
        id->Entry()->setText(text);
        QTest::mouseClick(id->OkButton(), Qt::LeftButton);
        (void)QTest::qWaitFor([&] { return seen && !WindowExists(Wnd::Capture); }, 15000);
    }
};

}  // namespace

class TestE2EMeasure : public QObject {
    Q_OBJECT
private slots:
    void normalTestStoresRecordPhotographAndSettings()
    {
        Run run({"--scenario", "normal", "--result", "0.045", "--unit", "G"});
        CIDentry* id = run.Start();
        QVERIFY(id);
        int framesShown = 0;
        bool usable = true;
        run.Identify(id, "kim07", [&](CCaptureDlg* d) {
            framesShown = d->PictureView()->FramesShown();
            usable = usable && d->isEnabled() && d->isVisible();
        });
        QVERIFY(usable);  // not disabled with the main window it belongs to
        QVERIFY(!WindowExists(Wnd::Capture));
        QVERIFY(framesShown > 0);  // the live picture was on screen

        const emtask::TestRecord r = RecordOnDisk(run.home, 0);
        QCOMPARE(r.testno, 1);
        QCOMPARE(RecordFields(r), QStringList({"kim07", "Kim Minsu", "0.045", "G", "0"}));
        const std::string jpeg = run.home / ("data/jpeg/" + emtask::PhotoFileName(r));
        QVERIFY(fs::exists(jpeg));
        QVERIFY(r.crc16 != emtask::PhotoCheckValue(emtask::PhotoSamples{}, r));  // taken from the photograph
        const emtask::BusInfo conf = StoredBus();
        QCOMPARE(conf.recordcnt, 1);
        QCOMPARE(std::string(conf.subjectno), std::string("7"));

        // The unit, cleared with the stored result, is asked for after END; no reset.
        QCOMPARE(run.sim->Count("<- $START"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(run.sim->Count("<- $RECALL") >= 2, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(emtask::StoreImage::Settings(*emtask::GetManager()).unitcode[0], 'G', 3000);
        QCOMPARE(run.sim->Count("<- $RESET"), 0);
        QVERIFY(run.main->isEnabled());

        // The main window keeps the stored test in view, with its photograph.
        CLastTestPanel* last = run.main->lastTestPanel();
        QVERIFY(last->isVisible());
        const QString shown = last->Text();
        for (const char* part : {"No. 1", "0.045 g/L", "kim07", "Kim Minsu", ":"})
            QVERIFY2(shown.contains(part), qPrintable(shown));
        QCOMPARE(last->Thumbnail()->pixmap().width(), CLastTestPanel::kThumbWidth);
        QCOMPARE(last->Thumbnail()->accessibleName(), QString("Photograph of test 1"));

        // The next test clears it as it begins; what it stored replaces it.
        run.main->OnMeasure();
        QTRY_VERIFY_WITH_TIMEOUT(id->isVisible(), 3000);
        bool clearedDuring = true;
        run.Identify(id, "kim07", [&](CCaptureDlg*) { clearedDuring = clearedDuring && !last->isVisible(); });
        QVERIFY(clearedDuring);
        QVERIFY2(last->Text().contains("No. 2"), qPrintable(last->Text()));

        // A test that was not stored never shows an older one.
        const emtask::DeviceData& log = emtask::StoreImage::Log(*emtask::GetManager());
        last->Show(measurement::StoredTest{}, log, 0);
        QVERIFY(last->Text().contains("Not stored") && !last->Text().contains("0.045"));
        QVERIFY(last->Thumbnail()->isHidden());
        last->Show(std::nullopt, log, 0);
        QVERIFY(last->Text().contains("No result") && !last->Text().contains("0.045"));
    }

    void closeButtonAfterResultResetsTwice()
    {
        // Slow enough that the result is stored well before END, even under load.
        Run run({"--scenario", "normal", "--result", "0.045", "--unit", "M", "--pace", "2000"});
        CIDentry* id = run.Start();
        QVERIFY(id);
        bool clicked = false;
        run.Identify(id, "kim07", [&](CCaptureDlg* d) {
            if (!clicked && d->StoredCount() == 1 && d->CloseEnabled()) {
                clicked = true;
                QTest::mouseClick(d->CloseButton(), Qt::LeftButton);
            }
        });
        QVERIFY(clicked);
        QCOMPARE(RecordOnDisk(run.home, 0).testno, 1);
        // The reset, then the next frame swallowed and answered with a second one.
        QTRY_COMPARE_WITH_TIMEOUT(run.sim->Count("<- $RESET"), 2, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(emtask::StoreImage::Settings(*emtask::GetManager()).login, 0, 3000);
    }
};

QTEST_MAIN(TestE2EMeasure)
#include "tst_e2e_measure.moc"
