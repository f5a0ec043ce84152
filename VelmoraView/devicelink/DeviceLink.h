// The instrument's protocol: commands to it, and the frames it sends.
//
// The read thread never writes the settings block and never waits for a
// window: what a frame tells is emitted as a signal, and the windows connect
// to it queued (a queued signal is a posted event), so the window thread
// stores it there.
#pragma once

#include "devicelink/DeviceEvents.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <atomic>

class CDLSerial;
namespace emtask {
class SettingsBlock;
}

class DeviceLink : public QObject {
    Q_OBJECT
public:
    // The link of `port`: its frames and its going away are reported here
    // once Begin has run. What the instrument tells is kept in `settings`.
    DeviceLink(CDLSerial& port, emtask::SettingsBlock& settings, QObject* parent = nullptr);
    ~DeviceLink() override;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Window thread, before the port opens: the port reports to this link;
    // `resetPending` is the settings block's login (a reset left pending
    // swallows the first frame); the first frame is reported with answered().
    void Begin(bool resetPending);
    // Queues `command` on the port when it is open. Before $RESET and the low
    // level command measureDisabled() is emitted. Window thread.
    void Send(DeviceCommand command);
    // The test window closed by its button: the next frame is swallowed and
    // answered with a second $RESET. Sets login in the settings block too.
    void SetResetPending();
    // Test progress is emitted only while a test is followed (its window is
    // open); at other times those frames mean nothing.
    void FollowTest(bool on) { m_Following = on; }
    bool FollowingTest() const { return m_Following; }
    // The link closed under a followed test: it ends as on an END frame.
    void EndFollowedTest();
    // Window thread, after ended(): true when the unit code is known (the
    // measure button may come back); otherwise it is asked for ($RECALL).
    bool AfterEnd();

    // Read thread: interprets one frame and emits what it tells. 1 when the
    // frame was interpreted.
    int Frame(const unsigned char* frame, int length);

signals:
    // A unit frame: unit code, levels and calcnt (StoreUnitFrame keeps them).
    void unitReported(UnitFrame unit);
    // Test progress; `result` is the five result characters of RES (trailing
    // NUL bytes left out), empty for the others.
    void testEvent(DeviceEvent event, QString result);
    // The first frame since Begin.
    void answered();
    // A pending reset swallowed a frame: login is cleared and $RESET sent.
    void resetSwallowedFrame();
    // An END frame.
    void ended();
    // The port's device went away (a read error).
    void portGone();
    // $RESET or the levels are about to go out: no test may start now.
    void measureDisabled();

private:
    CDLSerial& m_Port;
    emtask::SettingsBlock& m_Settings;
    // Read thread and window thread: a reset is pending (login); the link has
    // answered since Begin; a test window follows the test.
    std::atomic<bool> m_ResetPending{false};
    std::atomic<bool> m_Answered{false};
    std::atomic<bool> m_Following{false};
};

Q_DECLARE_METATYPE(UnitFrame)
Q_DECLARE_METATYPE(DeviceEvent)

// The handlers in the shape of CDLSerial's (read thread): they report to the
// link that Begin attached to the port; nothing when there is none.
void RecvData(CDLSerial* port, const unsigned char* frame, int length);
void PortGone(CDLSerial* port);

// Window thread: a unit frame into the settings block (unit code, levels,
// calcnt), and the result text of RES as its last result.
void StoreUnitFrame(emtask::SettingsBlock& settings, const UnitFrame& unit);
void StoreResultText(emtask::SettingsBlock& settings, const QString& result);
