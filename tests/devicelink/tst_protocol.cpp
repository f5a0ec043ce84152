// Frames reach the store and the windows; commands go out byte for byte.
#include "devicelink/DLSerial.h"
#include "StoreImage.h"
#include "devicelink/DeviceLink.h"

#include "TestFolder.h"
#include "PtyPair.h"

#include <QSignalSpy>
#include <QtTest>
#include <cstring>

namespace {
emtask::BusInfo& Bus() { return emtask::StoreImage::Settings(*emtask::GetManager()); }

// The events a spy saw, in order.
std::vector<DeviceEvent> Events(const QSignalSpy& spy)
{
    std::vector<DeviceEvent> out;
    for (const QList<QVariant>& args : spy) out.push_back(args.at(0).value<DeviceEvent>());
    return out;
}
}  // namespace

class TestProtocol : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<DeviceLink> link;

    int Frame(const std::string& f)
    {
        return link->Frame(reinterpret_cast<const unsigned char*>(f.data()), static_cast<int>(f.size()));
    }
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
        link = std::make_unique<DeviceLink>(GetSerial(), emtask::GetManager()->Settings());
        link->Begin(false);
    }
    void cleanup()
    {
        GetSerial().Close();
        link.reset();
        QVERIFY(!GetSerial().m_Link.load());  // a destroyed link is not reported to
        pty.reset();
        folder.reset();
    }

    void frameLengthAndShape()
    {
        link->FollowTest(true);
        QSignalSpy events(link.get(), &DeviceLink::testEvent);
        std::string longest = "$WAI" + std::string(123, ' ') + "\n";
        QCOMPARE(longest.size(), size_t(128));
        QCOMPARE(Frame(longest), 1);
        QCOMPARE(Frame("$WAI" + std::string(124, ' ') + "\n"), 0);
        for (std::string bad : {std::string("WAI\n"), std::string("$WAI"), std::string()})
            QCOMPARE(Frame(bad), 0);
        QCOMPARE(Events(events), std::vector<DeviceEvent>{DeviceEvent::Wait});
    }

    void unitFrameReachesTheSettingsBlockOnTheWindowThread()
    {
        QSignalSpy units(link.get(), &DeviceLink::unitReported), answered(link.get(), &DeviceLink::answered),
            events(link.get(), &DeviceLink::testEvent);
        auto storeLast = [&] {
            StoreUnitFrame(emtask::GetManager()->Settings(), units.last().at(0).value<UnitFrame>());
        };
        QCOMPARE(Frame("$UNG,L:020,H:050,C:0123\n"), 1);
        QCOMPARE(Bus().unitcode[0], '\0');  // the read thread writes nothing
        storeLast();
        QCOMPARE(std::string(Bus().unitcode) + Bus().lowlevel + Bus().highlevel + Bus().calcnt,
                 std::string("G0200500123"));

        // Short: what it lacks is stored as NUL bytes.
        std::memset(Bus().highlevel, 'x', sizeof Bus().highlevel);
        std::memset(Bus().calcnt, 'x', sizeof Bus().calcnt);
        QCOMPARE(Frame("$UXM,L:0\n"), 1);
        storeLast();
        QCOMPARE(Bus().unitcode, "M");
        QCOMPARE(std::string(Bus().lowlevel, 4) + std::string(Bus().highlevel, 4) +
                     std::string(Bus().calcnt, 5),
                 std::string("0\n\0\0", 4) + std::string(9, '\0'));
        // One report of the link's first frame; unit frames are no test progress.
        QCOMPARE(units.size(), 2);
        QCOMPARE(answered.size(), 1);
        QVERIFY(events.isEmpty());
    }

    void testFramesNeedAFollowedTest()
    {
        QSignalSpy events(link.get(), &DeviceLink::testEvent);
        QCOMPARE(Frame("$RES,RT:0.045,B\n"), 0);
        QCOMPARE(Frame("$CAL\n"), 0);

        link->FollowTest(true);
        // The first and last of the table, and near misses that are no frame of it.
        const std::vector<std::pair<std::string, int>> table = {{"CAL", int(DeviceEvent::Calibration)},
                                                                {"M12", int(DeviceEvent::M12)},
                                                                {"M06", 0},
                                                                {"EN", 0},
                                                                {"wai", 0}};
        std::vector<DeviceEvent> expected;
        for (auto& [pid, code] : table) {
            QCOMPARE(Frame("$" + pid + "\n"), code ? 1 : 0);
            if (code) expected.push_back(DeviceEvent(code));
        }
        QCOMPARE(Events(events), expected);

        // The result text travels with the event; the test window stores it.
        events.clear();
        QCOMPARE(Frame("$RES,RT:0.045,B\n"), 1);
        QCOMPARE(Frame("$RES,RT:0\n"), 1);  // short: the line feed, then NUL bytes
        QCOMPARE(Events(events), (std::vector<DeviceEvent>{DeviceEvent::Res, DeviceEvent::Res}));
        QCOMPARE(events[0].at(1).toString(), QString("0.045"));
        QCOMPARE(events[1].at(1).toString(), QString("0\n"));
        StoreResultText(emtask::GetManager()->Settings(), events[1].at(1).toString());
        QCOMPARE(std::string(Bus().lastresult, 6), std::string("0\n\0\0\0\0", 6));

        link->FollowTest(false);
        QCOMPARE(Frame("$WAI\n"), 0);
    }

    void endFrame()
    {
        Connect();
        QSignalSpy ended(link.get(), &DeviceLink::ended), events(link.get(), &DeviceLink::testEvent);
        QCOMPARE(Frame("$END\n"), 1);
        QCOMPARE(ended.size(), 1);
        QVERIFY(events.isEmpty());
        // On the window thread: with the unit known, measure may come back.
        std::strcpy(Bus().unitcode, "B");
        QVERIFY(link->AfterEnd());
        QCOMPARE(pty->read(1, 100), std::string());
        // Unit unknown: it is asked for, and a followed test hears of the end.
        link->FollowTest(true);
        Bus().unitcode[0] = 0;
        QCOMPARE(Frame("$END\n"), 1);
        QCOMPARE(Events(events), std::vector<DeviceEvent>{DeviceEvent::End});
        QCOMPARE(ended.size(), 2);
        QVERIFY(!link->AfterEnd());
        QCOMPARE(pty->read(9), std::string("$RECALL\r\n"));
    }

    void pendingResetSwallowsOneFrame()
    {
        Connect();
        link->FollowTest(true);
        QSignalSpy swallowed(link.get(), &DeviceLink::resetSwallowedFrame),
            ended(link.get(), &DeviceLink::ended), events(link.get(), &DeviceLink::testEvent);
        link->SetResetPending();
        QCOMPARE(Bus().login, 1);  // kept in the settings file
        QCOMPARE(Frame("$END\n"), 0);
        QCOMPARE(swallowed.size(), 1);
        QVERIFY(ended.isEmpty() && events.isEmpty());
        QCOMPARE(Frame("$WAI\n"), 1);  // the next one counts again
        QCOMPARE(Events(events), std::vector<DeviceEvent>{DeviceEvent::Wait});
        // A login left by an earlier run makes the first frame of a link pending.
        link->Begin(true);
        QCOMPARE(Frame("$WAI\n"), 0);
        QCOMPARE(Frame("$WAI\n"), 1);
        QCOMPARE(swallowed.size(), 2);
    }

    void commandBytes()
    {
        QSignalSpy disabled(link.get(), &DeviceLink::measureDisabled);
        link->Send(DeviceCommand::Recall);  // port closed: logged only
        Connect();
        std::strcpy(Bus().unitcode, "G");
        std::strcpy(Bus().lowlevel, "020");
        std::strcpy(Bus().highlevel, "050");

        link->Send(DeviceCommand::Start);
        link->Send(DeviceCommand::Reset);
        link->Send(DeviceCommand(12345));
        link->Send(DeviceCommand::LevelLow);
        std::string want = "$START\r\n$RESET\r\n$RECALL\r\n$LEVEL, H/050\r\n$LEVEL, L/020\r\n";
        QCOMPARE(pty->read(want.size()), want);
        QCOMPARE(Bus().unitcode[0], '\0');  // cleared by the recall
        QCOMPARE(disabled.size(), 2);

        // A short level still makes 15 bytes; a long one is cut to its three.
        std::strcpy(Bus().highlevel, "5");
        std::memcpy(Bus().lowlevel, "12345678", 8);  // no NUL at all
        link->Send(DeviceCommand::LevelLow);
        want = std::string("$RECALL\r\n") + std::string("$LEVEL, H/5\r\n\0\0", 15) + "$LEVEL, L/123\r\n";
        QCOMPARE(pty->read(want.size()), want);
        QCOMPARE(pty->read(1, 100), std::string());
    }
};

QTEST_MAIN(TestProtocol)
#include "tst_protocol.moc"
