// Frames reach the store and the windows; commands go out byte for byte.
#include "devicelink/DLSerial.h"
#include "devicelink/Protocol.h"
#include "messaging/Messages.h"

#include "TestFolder.h"
#include "WindowRecorder.h"
#include "PtyPair.h"

#include <QtTest>
#include <cstring>

namespace {
int Frame(const std::string& f)
{
    return RecvFrame(&GetSerial(), reinterpret_cast<const unsigned char*>(f.data()),
                     static_cast<int>(f.size()));
}
emtask::BusInfo& Bus() { return emtask::GetManager()->m_BusInfo; }

// What the main window was told, without the report of the link's first frame.
std::vector<intptr_t> Told(Recorder& main)
{
    std::vector<intptr_t> out;
    for (intptr_t p : main.params())
        if (p != msg::MAIN_LINK_ANSWER) out.push_back(p);
    return out;
}

// Applies the last message to the main window as the window thread does.
void ApplyLastUnit(Recorder& main)
{
    main.params();
    QVERIFY(!main.got.empty());
    QCOMPARE(main.got.back().first, msg::MSG_DEVICE_UNIT);
    ApplyUnitFrame(main.got.back().second, main.lparams.back());
}
}  // namespace

class TestProtocol : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<PtyPair> pty;

    void Connect()
    {
        pty = std::make_unique<PtyPair>();
        QVERIFY(pty->ok());
        QCOMPARE(GetSerial().Open(pty->path, 4800), 1);
    }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        BeginLink(false);
    }
    void cleanup()
    {
        GetSerial().Close();
        pty.reset();
        folder.reset();
    }

    void frameLengthAndShape()
    {
        Recorder capture(Wnd::Capture);
        std::string longest = "$WAI" + std::string(123, ' ') + "\n";
        QCOMPARE(longest.size(), size_t(128));
        QCOMPARE(Frame(longest), 1);
        QCOMPARE(Frame("$WAI" + std::string(124, ' ') + "\n"), 0);
        for (std::string bad : {std::string("WAI\n"), std::string("$WAI"), std::string()}) QCOMPARE(Frame(bad), 0);
        QCOMPARE(capture.params(), std::vector<intptr_t>{msg::PID_WAIT});
    }

    void unitFrameReachesTheSettingsBlockThroughTheMainWindow()
    {
        Recorder main(Wnd::Main), capture(Wnd::Capture);
        QCOMPARE(Frame("$UNG,L:020,H:050,C:0123\n"), 1);
        QCOMPARE(Bus().unitcode[0], '\0');  // the read thread writes nothing
        ApplyLastUnit(main);
        QCOMPARE(std::string(Bus().unitcode) + Bus().lowlevel + Bus().highlevel + Bus().calcnt, std::string("G0200500123"));

        // Short: what it lacks is stored as NUL bytes.
        std::memset(Bus().highlevel, 'x', sizeof Bus().highlevel);
        std::memset(Bus().calcnt, 'x', sizeof Bus().calcnt);
        QCOMPARE(Frame("$UXM,L:0\n"), 1);
        ApplyLastUnit(main);
        QCOMPARE(Bus().unitcode, "M");
        QCOMPARE(std::string(Bus().lowlevel, 4) + std::string(Bus().highlevel, 4) + std::string(Bus().calcnt, 5),
                 std::string("0\n\0\0", 4) + std::string(9, '\0'));
        // One report of the link's first frame, then only the unit frames.
        QCOMPARE(main.got.size(), size_t(3));
        QCOMPARE(main.got[0], std::make_pair(msg::WM_COMMAND, intptr_t(msg::MAIN_LINK_ANSWER)));
        QVERIFY(capture.params().empty());
    }

    void testFramesNeedTheTestWindow()
    {
        QCOMPARE(Frame("$RES,RT:0.045,B\n"), 0);
        QCOMPARE(Frame("$CAL\n"), 0);

        Recorder capture(Wnd::Capture);
        // The first and last of the table, and near misses that are no frame of it.
        const std::vector<std::pair<std::string, int>> table = {
            {"CAL", msg::PID_CALIBRATION}, {"M12", msg::PID_M12}, {"M06", 0}, {"EN", 0}, {"wai", 0}};
        std::vector<intptr_t> expected;
        for (auto& [pid, code] : table) {
            QCOMPARE(Frame("$" + pid + "\n"), code ? 1 : 0);
            if (code) expected.push_back(code);
        }
        QCOMPARE(capture.params(), expected);

        // The result text travels with the event; the test window stores it.
        QCOMPARE(Frame("$RES,RT:0.045,B\n"), 1);
        QCOMPARE(capture.params().back(), intptr_t(msg::PID_RES));
        QCOMPARE(ResultText(capture.lparams.back()), std::string("0.045"));
        QCOMPARE(Frame("$RES,RT:0\n"), 1);  // short: the line feed, then NUL bytes
        capture.params();
        QCOMPARE(ResultText(capture.lparams.back()), std::string("0\n"));
        ApplyResultText(capture.lparams.back());
        QCOMPARE(std::string(Bus().lastresult, 6), std::string("0\n\0\0\0\0", 6));
    }

    void endFrame()
    {
        Connect();
        Recorder main(Wnd::Main);
        QCOMPARE(Frame("$END\n"), 1);
        QCOMPARE(Told(main), std::vector<intptr_t>{msg::MAIN_DEVICE_END});
        // On the window thread: with the unit known, measure may come back.
        std::strcpy(Bus().unitcode, "B");
        QVERIFY(ApplyDeviceEnd());
        QCOMPARE(pty->read(1, 100), std::string());
        // Unit unknown: it is asked for, and the test window hears of the end.
        Recorder capture(Wnd::Capture);
        Bus().unitcode[0] = 0;
        QCOMPARE(Frame("$END\n"), 1);
        QCOMPARE(capture.params(), std::vector<intptr_t>{msg::PID_END});
        QVERIFY(!ApplyDeviceEnd());
        QCOMPARE(pty->read(9), std::string("$RECALL\r\n"));
    }

    void pendingResetSwallowsOneFrame()
    {
        Connect();
        Recorder main(Wnd::Main), capture(Wnd::Capture);
        SetResetPending();
        QCOMPARE(Bus().login, 1);  // kept in the settings file
        QCOMPARE(Frame("$END\n"), 0);
        QCOMPARE(Told(main), std::vector<intptr_t>{msg::MAIN_SEND_RESET});
        QVERIFY(capture.params().empty());
        QCOMPARE(Frame("$WAI\n"), 1);  // the next one counts again
        QCOMPARE(capture.params(), std::vector<intptr_t>{msg::PID_WAIT});
        // A login left by an earlier run makes the first frame of a link pending.
        BeginLink(true);
        QCOMPARE(Frame("$WAI\n"), 0);
        QCOMPARE(Frame("$WAI\n"), 1);
    }

    void commandBytes()
    {
        Recorder main(Wnd::Main);
        SendCommand(msg::PID_RECALL);  // port closed: logged only
        Connect();
        std::strcpy(Bus().unitcode, "G");
        std::strcpy(Bus().lowlevel, "020");
        std::strcpy(Bus().highlevel, "050");

        SendCommand(msg::PID_START);
        SendCommand(msg::PID_RESET);
        SendCommand(12345);
        SendCommand(msg::PID_LEVEL_LOW);
        std::string want = "$START\r\n$RESET\r\n$RECALL\r\n$LEVEL, H/050\r\n$LEVEL, L/020\r\n";
        QCOMPARE(pty->read(want.size()), want);
        QCOMPARE(Bus().unitcode[0], '\0');  // cleared by the recall
        QCOMPARE(main.params(),
                 (std::vector<intptr_t>{msg::MAIN_MEASURE_DISABLE, msg::MAIN_MEASURE_DISABLE}));

        // A short level still makes 15 bytes; a long one is cut to its three.
        std::strcpy(Bus().highlevel, "5");
        std::memcpy(Bus().lowlevel, "12345678", 8);  // no NUL at all
        SendCommand(msg::PID_LEVEL_LOW);
        want = std::string("$RECALL\r\n") + std::string("$LEVEL, H/5\r\n\0\0", 15) + "$LEVEL, L/123\r\n";
        QCOMPARE(pty->read(want.size()), want);
        QCOMPARE(pty->read(1, 100), std::string());
    }
};

QTEST_MAIN(TestProtocol)
#include "tst_protocol.moc"
