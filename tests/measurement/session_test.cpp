// The steps of a breath test on a driven clock: what is shown, when the
// photograph is awaited, when the record is stored, and when the operator
// may close the window.
#include "measurement/TestSession.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using measurement::TestSession;
using Log = std::vector<std::string>;

namespace {

struct FakeWindow : TestSession::Hooks {
    std::vector<int> steps;
    bool closeEnabled = true;
    bool photoKept = false;
    int photoRequests = 0;
    int restarts = 0;
    bool alert = false;
    std::vector<std::string> results;
    Log log;  // stores, questions for the unit and closes, in order

    void ShowStep(int step) override { steps.push_back(step); }
    void SetCloseEnabled(bool enabled) override { closeEnabled = enabled; }
    void RestartCamera() override { ++restarts; }
    void MakeTopmost() override { }
    void RequestPhoto() override { ++photoRequests; }
    bool PhotoKept() override { return photoKept; }
    void TakeResult(const std::string& result) override { results.push_back(result); }
    bool ResultIsAlert() override { return alert; }
    void Store(bool flowError) override
    {
        log.push_back(flowError ? "store-flow" : "store");
        photoKept = false;
    }
    void AskForUnit() override { log.push_back("ask"); }
    void Close(bool byButton) override { log.push_back(byButton ? "close-button" : "close-end"); }
};

// Ticks the session every time it asks, up to `untilMs`; returns the time reached.
uint32_t RunClock(TestSession& s, uint32_t nowMs, uint32_t untilMs)
{
    for (int64_t in = s.NextTickIn(nowMs); in >= 0 && nowMs + in <= untilMs; in = s.NextTickIn(nowMs)) {
        nowMs += static_cast<uint32_t>(in);
        s.Tick(nowMs);
    }
    return nowMs;
}

}  // namespace

TEST(TestSession, StepsOfTheInstrumentAndTheRecalibrationNotice)
{
    FakeWindow w;
    TestSession s(w);
    for (DeviceEvent e :
         {DeviceEvent::Wait, DeviceEvent::Sta, DeviceEvent::M07, DeviceEvent::M12, DeviceEvent::M05,
          DeviceEvent::Calibration, DeviceEvent::Timeout, DeviceEvent(12345), DeviceEvent::Sen})
        s.Event(e, {}, 0);
    EXPECT_EQ(w.steps, (std::vector<int>{1, 2, 5, 0, 16, 12}));
    EXPECT_EQ(s.Notice(), TestSession::kRecalibrationNotice);  // stays once set
    EXPECT_EQ(w.restarts, 0);                                  // only after a flow error
    EXPECT_TRUE(w.log.empty());
}

TEST(TestSession, ResultWaitsTwentyOneLooksForThePhotographThenStoresWithout)
{
    FakeWindow w;
    TestSession s(w, 300);
    s.Event(DeviceEvent::Bre, {}, 0);
    EXPECT_FALSE(w.closeEnabled);
    EXPECT_EQ(w.photoRequests, 1);
    w.alert = true;
    s.Event(DeviceEvent::Res, "0.045", 1000);
    EXPECT_EQ(w.results, std::vector<std::string>{"0.045"});
    EXPECT_EQ(w.steps.back(), 4);
    s.Event(DeviceEvent::End, {}, 1100);  // waits for the record

    uint32_t now = RunClock(s, 1000, 1000 + 21 * 300 - 1);
    EXPECT_TRUE(w.log.empty());
    EXPECT_TRUE(s.Storing());
    EXPECT_EQ(w.photoRequests, 2);  // asked again after the first eleven looks
    RunClock(s, now, 1000 + 21 * 300);
    // That END saw the unit code before the store cleared it: asked for now,
    // and only then the window closes, without a reset.
    EXPECT_EQ(w.log, (Log{"store", "ask", "close-end"}));
    EXPECT_TRUE(s.Closed());
    EXPECT_EQ(s.NextTickIn(now), -1);
}

TEST(TestSession, FlowErrorThenRetryStoresTwoRecords)
{
    FakeWindow w;
    TestSession s(w, 300);
    s.Event(DeviceEvent::Bre, {}, 0);
    ASSERT_FALSE(w.closeEnabled);
    s.Event(DeviceEvent::Flo, {}, 0);
    EXPECT_EQ(w.steps.back(), 10);
    EXPECT_TRUE(w.closeEnabled) << "the subject may leave after a flow error";
    s.Event(DeviceEvent::End, {}, 10);  // deferred: a flow record clears no unit, so no ask
    // A flow error waits eleven looks only.
    RunClock(s, 0, 11 * 300 - 1);
    EXPECT_TRUE(w.log.empty());
    RunClock(s, 11 * 300 - 1, 11 * 300);
    EXPECT_EQ(w.log, (Log{"store-flow", "close-end"}));

    FakeWindow w2;
    TestSession retry(w2, 300);
    w2.photoKept = true;
    retry.Event(DeviceEvent::Flo, {}, 0);
    retry.Event(DeviceEvent::Wait, {}, 100);
    retry.Event(DeviceEvent::Sta, {}, 200);
    EXPECT_EQ(w2.restarts, 2);  // the camera comes back for the new attempt
    retry.Event(DeviceEvent::Bre, {}, 300);
    w2.photoKept = true;
    retry.Event(DeviceEvent::Res, {}, 400);
    EXPECT_EQ(w2.log, (Log{"store-flow", "store"}));
    EXPECT_FALSE(retry.FlowError());
}

// A photograph arriving during the wait is stored at the next look; the
// close button pressed meanwhile waits for that store.
TEST(TestSession, CloseButtonDuringTheStoreWaitsForThePhotograph)
{
    FakeWindow w;
    TestSession s(w, 300);
    s.Event(DeviceEvent::Res, {}, 0);
    s.CloseButton(50);
    RunClock(s, 50, 900);
    w.photoKept = true;
    RunClock(s, 900, 1199);
    EXPECT_TRUE(w.log.empty());
    RunClock(s, 1199, 1200);
    EXPECT_EQ(w.log, (Log{"store", "close-button"}));
    EXPECT_FALSE(s.Storing());
    s.Event(DeviceEvent::Wait, {}, 7000);  // nothing reaches a closed session
    EXPECT_EQ(w.steps.size(), 1u);
}

// An instrument that vanishes after "BRE" must not lock the operator in.
TEST(TestSession, SilenceAfterBreathGivesTheCloseButtonBack)
{
    FakeWindow w;
    TestSession s(w);
    s.Event(DeviceEvent::Bre, {}, 1000);
    EXPECT_EQ(s.NextTickIn(1000), int64_t(TestSession::kSilenceMs));
    RunClock(s, 1000, 1000 + TestSession::kSilenceMs - 1);
    EXPECT_FALSE(w.closeEnabled);
    // A frame restarts the silence; a time-out alone keeps the button off.
    s.Event(DeviceEvent::Timeout, {}, 20000);
    RunClock(s, 20000, 20000 + TestSession::kSilenceMs - 1);
    EXPECT_FALSE(w.closeEnabled);
    RunClock(s, 20000 + TestSession::kSilenceMs - 1, 20000 + TestSession::kSilenceMs);
    EXPECT_TRUE(w.closeEnabled);
    EXPECT_EQ(s.NextTickIn(60000), -1);
    s.CloseButton(60000);
    EXPECT_EQ(w.log, Log{"close-button"});
}
