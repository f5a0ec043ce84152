// The port object: stale answers, the queues, and a real pseudo-terminal
// behind it. The framing of random streams is the fuzz test's.
#include "FakePort.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex g_framesLock;
std::vector<std::string> g_frames;

void Collect(CDLSerial*, const unsigned char* frame, int length)
{
    std::lock_guard<std::mutex> lock(g_framesLock);
    g_frames.emplace_back(reinterpret_cast<const char*>(frame), static_cast<size_t>(length));
}

std::vector<std::string> Frames()
{
    std::lock_guard<std::mutex> lock(g_framesLock);
    return g_frames;
}

// Waits up to five seconds for `done`, then a little more for anything late.
template <class F>
void WaitFor(F done)
{
    for (int i = 0; i < 500 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace

TEST(Framing, FrameCutBeforeTheLatestCommandIsStale)
{
    auto port = std::make_unique<FakePort>();
    port->FakeOpen();
    port->m_RecvHandler = Collect;
    port->pending = "$A\n$B\n";
    port->ReadCycle();  // A delivered, B waits in the queue
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(port->Send("$RESET\r\n", 8), 1);
    port->pending = "$C\n";
    port->ReadCycle();  // the command goes out; B is older than it
    port->ReadCycle();
    EXPECT_EQ(port->written, std::vector<std::string>{"$RESET\r\n"});
    EXPECT_EQ(Frames(), (std::vector<std::string>{"$A\n", "$C\n"}));

    EXPECT_TRUE(TickNotBefore(3, 0xFFFFFFF0u));  // across the wrap
    EXPECT_FALSE(TickNotBefore(0xFFFFFFF0u, 3));
}

TEST(SerialQueues, FullQueueDropsTheNewestAndClosedPortRefuses)
{
    auto port = std::make_unique<FakePort>();
    unsigned char out[CDLSerial::kPacketData];
    EXPECT_EQ(port->PushTxQueue("x", 1), -1);
    EXPECT_EQ(port->PopRxQueue(out), -1);
    port->FakeOpen();
    int accepted = 0;
    for (int i = 0; i < 40; ++i) {
        unsigned char b = static_cast<unsigned char>(i);
        accepted += port->PushTxQueue(&b, 1) == 1;
    }
    EXPECT_EQ(accepted, CDLSerial::kQueueSlots - 1);
    for (int i = 0; i < accepted; ++i) {
        ASSERT_EQ(port->PopTxQueue(out), 1);
        EXPECT_EQ(out[0], i);
    }
    EXPECT_EQ(port->PopTxQueue(out), 0);
    EXPECT_EQ(port->PushTxQueue(out, CDLSerial::kPacketData + 1), 0);
    EXPECT_EQ(port->PushTxQueue(out, -1), 0);
}

TEST(SerialQueues, TwoProducersNeverTearAPacket)
{
    auto port = std::make_unique<FakePort>();
    port->FakeOpen();
    constexpr int kEach = 3000;
    auto produce = [&](unsigned char tag) {
        std::vector<unsigned char> data(1500, tag);
        for (int i = 0; i < kEach;) {
            data[0] = static_cast<unsigned char>(i);
            if (port->PushTxQueue(data.data(), 1000 + tag) == 1)
                ++i;
            else
                std::this_thread::yield();
        }
    };
    std::thread a(produce, 1), b(produce, 2);
    int got[3] = {};
    unsigned char out[CDLSerial::kPacketData];
    while (got[1] + got[2] < 2 * kEach) {
        int n = port->PopTxQueue(out);
        if (n == 0) continue;
        int tag = n - 1000;
        ASSERT_TRUE(tag == 1 || tag == 2) << n;
        ASSERT_EQ(out[0], static_cast<unsigned char>(got[tag])) << "order of producer " << tag;
        for (int i = 1; i < n; ++i) ASSERT_EQ(out[i], tag);
        ++got[tag];
    }
    a.join();
    b.join();
}

class Pty : public ::testing::Test {
protected:
    PtyPair pty;
    std::unique_ptr<CDLSerial> port = std::make_unique<CDLSerial>();
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        g_frames.clear();
    }
};

TEST_F(Pty, OpenSetsTheLineAndLeavesFlowControl)
{
    termios t;
    ASSERT_EQ(tcgetattr(pty.slaveKeep, &t), 0);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    t.c_cflag = (t.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB;
    t.c_iflag |= IXON | IXOFF;
    ASSERT_EQ(tcsetattr(pty.slaveKeep, TCSANOW, &t), 0);

    ASSERT_EQ(port->Open(pty.path, 4800), 1);
    ASSERT_EQ(tcgetattr(pty.slaveKeep, &t), 0);
    EXPECT_TRUE(cfgetospeed(&t) == B4800 && cfgetispeed(&t) == B4800);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_lflag & ICANON);  // bytes arrive as they come, not by line
    EXPECT_TRUE((t.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF));
    EXPECT_TRUE(t.c_cc[VMIN] == 0 && t.c_cc[VTIME] == 0);

    EXPECT_EQ(port->Open("/nonexistent/tty", 4800), 1);  // already open: kept as it is
    port->Close();
    EXPECT_TRUE(port->IsOpen() == 0 && port->Handle() == -1);
}

namespace {
// A receive handler that hangs until released.
std::atomic<bool> g_inHandler{false}, g_release{false};
void Blocking(CDLSerial* port, const unsigned char* f, int n)
{
    g_inHandler = true;
    for (int i = 0; i < 2000 && !g_release; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Collect(port, f, n);
}
}  // namespace

TEST_F(Pty, StopGivesUpOnAStuckThreadWhichStaysRetired)
{
    ASSERT_EQ(port->Open(pty.path, 4800), 1);
    port->m_RecvHandler = Blocking;
    pty.write("$STUCK\n");
    WaitFor([] { return g_inHandler.load(); });
    ASSERT_TRUE(g_inHandler);

    // The handler never returns while Close runs: Close must not wait for it.
    port->Close();
    EXPECT_FALSE(port->IsOpen());

    // Reopened at once: only the new thread reads, so each frame comes once.
    ASSERT_EQ(port->Open(pty.path, 4800), 1);
    port->m_RecvHandler = Collect;
    g_release = true;
    WaitFor([] { return !Frames().empty(); });
    pty.write("$A\n$B\n");
    WaitFor([] { return Frames().size() >= 3; });
    EXPECT_EQ(Frames(), (std::vector<std::string>{"$STUCK\n", "$A\n", "$B\n"}));
    EXPECT_TRUE(port->ReadThreadRunning());
    EXPECT_NE(port->m_RecvHandler.load(), nullptr);
    port->Close();
}

namespace {
std::atomic<int> g_gone{0};
void CountGone(CDLSerial*) { ++g_gone; }
}  // namespace

TEST_F(Pty, ReadThreadDeliversFramesAndReportsAVanishedDeviceOnce)
{
    pty.write("$OLD\n");  // waiting before the open: flushed
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(port->Open(pty.path, 4800), 1);
    g_gone = 0;
    port->m_RecvHandler = Collect;
    port->m_GoneHandler = CountGone;
    ASSERT_EQ(port->Send("$RECALL\r\n", 9), 1);
    EXPECT_EQ(pty.read(9), "$RECALL\r\n");
    pty.write("$UNG,L:020,H:050,C:0123\n$WAI\n");
    WaitFor([] { return Frames().size() >= 2; });
    EXPECT_EQ(Frames(), (std::vector<std::string>{"$UNG,L:020,H:050,C:0123\n", "$WAI\n"}));
    EXPECT_EQ(g_gone.load(), 0);  // a quiet line is not a lost one

    // The instrument's end closes: the port's reads fail with EIO.
    ::close(pty.master);
    pty.master = -1;
    WaitFor([] { return g_gone > 0; });
    EXPECT_EQ(g_gone.load(), 1);
    EXPECT_TRUE(port->Gone());
    EXPECT_EQ(Frames().size(), 2u);
    port->Close();
    EXPECT_EQ(port->m_RecvHandler.load(), nullptr);  // the owner installs it again
    EXPECT_TRUE(!port->ReadThreadRunning() && port->Send("x", 1) == -1);

    // A new open of a live line starts afresh.
    PtyPair again;
    ASSERT_EQ(port->Open(again.path, 4800), 1);
    EXPECT_FALSE(port->Gone());
    port->Close();
}
