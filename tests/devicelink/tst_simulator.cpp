// The program's port and protocol talking to the simulated instrument over a
// pseudo-terminal, as the application does.
#include "devicelink/DLSerial.h"
#include "devicelink/Protocol.h"
#include "messaging/Messages.h"

#include "TestFolder.h"
#include "SimProcess.h"
#include "WindowRecorder.h"

#include <QProcess>
#include <QtTest>
#include <cstring>

namespace {
emtask::BusInfo& Bus() { return emtask::GetManager()->m_BusInfo; }

void Connect(const SimProcess& sim)
{
    QVERIFY(!sim.path.isEmpty());
    BeginLink(false);
    QCOMPARE(GetSerial().Open(sim.Path(), 4800), 1);
    GetSerial().m_RecvHandler = RecvData;
}

// The main window's part of the protocol, on the window thread.
class MainProbe : public Recorder {
public:
    MainProbe() : Recorder(Wnd::Main) {}
    bool event(QEvent* e) override
    {
        const ZMessageEvent* m;
        if (AsMessage(e, m)) {
            const bool command = m->message == msg::WM_COMMAND;
            if (m->message == msg::MSG_DEVICE_UNIT) ApplyUnitFrame(m->wParam, m->lParam);
            if (command && m->wParam == msg::MAIN_DEVICE_END && ApplyDeviceEnd())
                PostCommand(Wnd::Main, msg::MAIN_INFO_DISP);
            if (command && m->wParam == msg::MAIN_SEND_RESET) {
                Bus().login = 0;
                SendCommand(msg::PID_RESET);
            }
        }
        return Recorder::event(e);
    }
    // The commands it was posted, but the report of the link's first frame.
    std::vector<intptr_t> commands()
    {
        params();
        std::vector<intptr_t> out;
        for (auto& [message, w] : got)
            if (message == msg::WM_COMMAND && w != msg::MAIN_LINK_ANSWER) out.push_back(w);
        return out;
    }
};
}  // namespace

class TestSimulator : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;

private slots:
    void init() { folder = std::make_unique<TestFolder>(); }
    void cleanup()
    {
        GetSerial().Close();
        folder.reset();
    }

    void scenarios_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<std::vector<intptr_t>>("events");
        using namespace msg;
        // normal and flow-retry: the end-to-end runs.
        QTest::newRow("calibration") << "calibration" << std::vector<intptr_t>{PID_CALIBRATION, PID_END};
        QTest::newRow("timeout") << "timeout" << std::vector<intptr_t>{PID_WAIT, PID_STA, PID_TIMEOUT, PID_END};
        QTest::newRow("sensor") << "sensor" << std::vector<intptr_t>{PID_WAIT, PID_SEN, PID_END};
    }

    void scenarios()
    {
        QFETCH(QString, scenario);
        QFETCH(std::vector<intptr_t>, events);
        SimProcess sim({"--scenario", scenario, "--pace", "20", "--result", "0.082", "--unit", "M", "--quiet"});
        Connect(sim);
        MainProbe main;
        Recorder capture(Wnd::Capture);
        SendCommand(msg::PID_RECALL);
        QTRY_COMPARE_WITH_TIMEOUT(Bus().unitcode[0], 'M', 2000);
        SendCommand(msg::PID_START);
        QTRY_COMPARE_WITH_TIMEOUT(capture.got.size(), events.size(), 3000);
        QCOMPARE(capture.params(), events);
        for (size_t i = 0; i < events.size(); ++i)
            if (events[i] == msg::PID_RES) QCOMPARE(ResultText(capture.lparams[i]), std::string("0.082"));
        // END with the unit known tells the main window.
        QTRY_COMPARE(main.commands(), (std::vector<intptr_t>{msg::MAIN_DEVICE_END, msg::MAIN_INFO_DISP}));
    }

    void resetStopsATestAndItsAnswerIsSwallowed()
    {
        SimProcess sim({"--pace", "400", "--quiet"});
        Connect(sim);
        MainProbe main;
        Recorder capture(Wnd::Capture);
        SendCommand(msg::PID_START);
        QTRY_COMPARE_WITH_TIMEOUT(capture.got.size(), size_t(1), 2000);

        // The test window closes by its own button.
        SetResetPending();
        SendCommand(msg::PID_RESET);
        QTRY_COMPARE_WITH_TIMEOUT(Bus().login, 0, 2000);
        // The swallowed frame is answered with a second $RESET.
        QTRY_COMPARE(main.commands(), (std::vector<intptr_t>{msg::MAIN_MEASURE_DISABLE, msg::MAIN_SEND_RESET,
                                                             msg::MAIN_MEASURE_DISABLE}));
        QTest::qWait(1000);  // the rest of the test would have come by now
        QCOMPARE(capture.params(), std::vector<intptr_t>{msg::PID_WAIT});
    }

    void silentAnswersNothing()
    {
        SimProcess sim({"--scenario", "silent", "--quiet"});
        MainProbe main;
        Connect(sim);
        SendCommand(msg::PID_RECALL);
        QTest::qWait(300);
        QCOMPARE(Bus().unitcode[0], '\0');
    }

    void commandLine()
    {
        QProcess p;
        p.start(SimPath(), {"--help"});
        QVERIFY(p.waitForFinished(3000));
        QCOMPARE(p.exitCode(), 0);
        for (QStringList bad : {QStringList{"--unit", "X"}, QStringList{"--result"}}) {
            p.start(SimPath(), bad);
            QVERIFY(p.waitForFinished(3000));
            QCOMPARE(p.exitCode(), 2);
        }

        // The link is made, and removed on SIGTERM with a clean exit.
        QString link = QString::fromStdString(folder->path) + "/sim/port";
        {
            SimProcess sim({"--link", link, "--quiet"});
            QVERIFY(!sim.path.isEmpty());
            QCOMPARE(QFileInfo(link).symLinkTarget(), sim.path);
            Connect(sim);
            GetSerial().Close();
            sim.proc.terminate();
            QVERIFY(sim.proc.waitForFinished(3000));
            QCOMPARE(sim.proc.exitStatus(), QProcess::NormalExit);
            QCOMPARE(sim.proc.exitCode(), 0);
        }
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    }
};

QTEST_MAIN(TestSimulator)
#include "tst_simulator.moc"
