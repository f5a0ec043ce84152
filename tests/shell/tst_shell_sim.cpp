// The main window with the simulated instrument: the unit frame it answers
// with reaches the device page, and a silent instrument makes measure give up.
#include "ShellFixture.h"
#include "EMTaskData.h"
#include "TextUtil.h"
#include "controls/SkinButton.h"
#include "devicelink/DLSerial.h"
#include "shell/COptionDeviceDlg.h"
#include "shell/COptionDlg.h"
#include "messaging/Messages.h"
#include "messaging/Notices.h"

#include <QProcess>
#include <QtTest>

class TestShellSim : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    QProcess sim;

    // Starts the simulator; the path of its terminal, or "" on failure.
    QString startSim(const QStringList& args)
    {
        const QString bin = qEnvironmentVariable("ZOLT7_BUILD_BIN") + "/zolt7-sim";
        sim.start(bin, args + QStringList{"--quiet"});
        if (!sim.waitForStarted(3000)) return {};
        for (int i = 0; i < 50 && !sim.canReadLine(); ++i) sim.waitForReadyRead(100);
        return QString::fromLocal8Bit(sim.readLine()).trimmed();
    }

private slots:
    void init() { folder = std::make_unique<TestFolder>(); }
    void cleanup()
    {
        sim.terminate();
        sim.waitForFinished(3000);
        folder.reset();
        qunsetenv("ZOLT7_PORTS");
    }

    void unitAndLevelsReachTheDevicePage()
    {
        const QString path = startSim({"--unit", "G", "--low", "030", "--high", "090", "--calcnt", "0042"});
        QVERIFY2(!path.isEmpty(), "zolt7-sim did not start");
        qputenv("ZOLT7_PORTS", path.toLocal8Bit());
        auto main = MakeMainWindow();
        main->OnCommand(msg::MAIN_CONNECT_BTN);
        QVERIFY(GetSerial().IsOpen());
        QTRY_COMPARE_WITH_TIMEOUT(emtask::FieldText(emtask::GetManager()->m_BusInfo.unitcode),
                                  std::string("G"), 3000);
        main->OnCommand(msg::MAIN_OPTION_OPEN);
        auto* page = qobject_cast<COptionDeviceDlg*>(main->settingsWindow()->page(int(SettingsPage::Device)));
        QCOMPARE(page->unitText(), QString("g/L"));
        QCOMPARE(page->lowText(), QString("0.30"));
        QCOMPARE(page->highText(), QString("0.90"));
        QCOMPARE(page->countText(), QString("0042"));
        main->settingsWindow()->OnClose();
        main->OnCommand(msg::MAIN_DISCONNECT_BTN);
        QVERIFY(!GetSerial().IsOpen());
    }

    void silentInstrumentMakesMeasureGiveUp()
    {
        const QString path = startSim({"--scenario", "silent"});
        QVERIFY2(!path.isEmpty(), "zolt7-sim did not start");
        qputenv("ZOLT7_PORTS", path.toLocal8Bit());
        auto main = MakeMainWindow();
        main->OnCommand(msg::MAIN_CONNECT_BTN);
        QVERIFY(main->button(msg::MAIN_MEASURE_BTN)->isEnabled());
        main->OnCommand(msg::MAIN_MEASURE_BTN);
        QVERIFY(main->measurePending());
        QTRY_VERIFY_WITH_TIMEOUT(main->msgErrorWindow()->isVisible(), 5000);
        QCOMPARE(main->msgErrorWindow()->title(), QString("Communication Status"));
        // A silent port never claims to be the instrument.
        QVERIFY(main->linkState() == LinkState::Waiting);
    }
};

QTEST_MAIN(TestShellSim)
#include "tst_shell_sim.moc"
