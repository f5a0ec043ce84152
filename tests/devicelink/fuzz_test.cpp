// Random input through the framing and the protocol, built with AddressSanitizer
// and UndefinedBehaviorSanitizer: nothing may crash or touch memory out of
// bounds, and the frames must be exactly those of a plain reading of the byte
// stream.
#include "DebugLog.h"
#include "EMTaskData.h"
#include "FakePort.h"
#include "devicelink/DeviceLink.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// The frames of a byte stream read start to end, without ring or chunks.
class Model {
public:
    std::vector<std::string> frames;
    void Feed(const std::string& bytes)
    {
        for (char c : bytes) {
            if (c == '$') {
                cur = "$";
                begun = true;
            } else if (begun && cur.size() < 257) {
                cur += c;
                if (c == '\n') frames.push_back(cur), begun = false;
            } else {
                begun = false;  // too long: dropped up to the next '$'
            }
        }
    }

private:
    std::string cur;
    bool begun = false;
};

std::string Chunk(std::mt19937& rng)
{
    static const char* const kIds[] = {"END", "UNB", "UXG", "CAL", "TIM", "WAI", "STA", "FLO",
                                       "BRE", "RES", "SEN", "M05", "M07", "M12", "M01", "ZZZ"};
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::string s;
    switch (pick(6)) {
    case 0:  // line noise
        for (int i = pick(60) + 1; i > 0; --i) s += static_cast<char>(rng());
        break;
    case 1:  // a '$' storm
        s.assign(static_cast<size_t>(pick(60) + 1), '$');
        break;
    case 2:  // binary zeros and line feeds
        for (int i = pick(60) + 1; i > 0; --i) s += pick(3) ? '\0' : '\n';
        break;
    default: {  // a frame of any length, sometimes without its end
        s = "$";
        s += kIds[pick(16)];
        int len = pick(4) == 0 ? pick(400) : pick(30);
        for (int i = 0; i < len; ++i) s += static_cast<char>(' ' + pick(95));
        if (pick(8)) s += '\n';
        break;
    }
    }
    return s;
}

std::vector<std::string> g_delivered;

void Deliver(CDLSerial* port, const unsigned char* frame, int length)
{
    g_delivered.emplace_back(reinterpret_cast<const char*>(frame), static_cast<size_t>(length));
    // An exact-size copy, so a read past the frame is caught.
    std::unique_ptr<unsigned char[]> copy(new unsigned char[static_cast<size_t>(length)]);
    std::memcpy(copy.get(), frame, static_cast<size_t>(length));
    RecvData(port, copy.get(), length);
}

}  // namespace

TEST(Fuzz, RandomBytesThroughFramingAndProtocol)
{
    int argc = 1;
    char name[] = "fuzz";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    emtask::GetManager()->Reset();
    std::FILE* devnull = std::freopen("/dev/null", "w", stderr);  // the log paths run, quietly
    ASSERT_NE(devnull, nullptr);
    g_DebugLevel = 1;

    auto port = std::make_unique<FakePort>();
    port->FakeOpen();
    // Every signal is queued to a receiver, as to the windows; the posts are thrown away.
    DeviceLink link(*port, emtask::GetManager()->Settings());
    link.Begin(false);
    link.FollowTest(true);
    QObject windows;
    emtask::SettingsBlock& settings = emtask::GetManager()->Settings();
    auto storeResult = [&settings](DeviceEvent, const QString& result) { StoreResultText(settings, result); };
    auto storeUnit = [&settings](const UnitFrame& unit) { StoreUnitFrame(settings, unit); };
    auto afterEnd = [&link] { link.AfterEnd(); };
    QObject::connect(&link, &DeviceLink::unitReported, &windows, storeUnit, Qt::QueuedConnection);
    QObject::connect(&link, &DeviceLink::testEvent, &windows, storeResult, Qt::QueuedConnection);
    QObject::connect(&link, &DeviceLink::ended, &windows, afterEnd, Qt::QueuedConnection);
    Model model;
    std::mt19937 rng(20261206);
    unsigned char buf[CDLSerial::kPacketData];
    size_t bytes = 0;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (int round = 0; std::chrono::steady_clock::now() < end; ++round) {
        std::string c = Chunk(rng);
        bytes += c.size();
        model.Feed(c);
        port->pending += c;
        int n = 0;
        while (!port->pending.empty()) {  // a read takes at most 256 bytes
            port->FrameReceivedBytes();
            while ((n = port->PopRxQueue(buf)) > 0) Deliver(port.get(), buf, n);
            ASSERT_EQ(n, 0);
        }
        if (rng() % 16 == 0) link.SetResetPending();
        if (round % 256 == 0) QCoreApplication::sendPostedEvents();

        // Arbitrary lengths and contents straight into the protocol.
        int len = static_cast<int>(rng() % 300);
        std::unique_ptr<unsigned char[]> raw(new unsigned char[static_cast<size_t>(len) + 1]);
        for (int i = 0; i < len; ++i) raw[i] = static_cast<unsigned char>(rng());
        if (len > 0 && rng() % 2) raw[0] = '$';
        if (len > 0 && rng() % 2) raw[len - 1] = '\n';
        RecvData(port.get(), raw.get(), len);
    }
    ASSERT_EQ(g_delivered.size(), model.frames.size());
    for (size_t i = 0; i < g_delivered.size(); ++i) ASSERT_EQ(g_delivered[i], model.frames[i]) << i;
    EXPECT_GT(bytes, size_t(2) * CDLSerial::kRingSize);  // the ring went round
    EXPECT_GT(g_delivered.size(), size_t(1000));

    g_DebugLevel = 0;
    QCoreApplication::removePostedEvents(nullptr);
}
