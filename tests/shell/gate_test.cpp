// The wait for the unit code after Measure, on a driven clock; where windows
// go on a screen smaller than they are.
#include "messaging/WindowOps.h"
#include "shell/MeasureGate.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <gtest/gtest.h>

TEST(MeasureGate, ElevenLooksThenGivesUp)
{
    using V = MeasureGate::Verdict;
    MeasureGate g;
    EXPECT_EQ(g.Look(0, true), V::Idle);  // nothing asked
    ASSERT_TRUE(g.Start(500));
    EXPECT_FALSE(g.Start(600));  // a second press while waiting
    for (uint32_t t = 500; t < 500 + 1100; t += 100) EXPECT_EQ(g.Look(t, false), V::Wait) << t;
    EXPECT_EQ(g.Look(1599, false), V::Wait);
    EXPECT_EQ(g.Look(1600, false), V::GiveUp);
    EXPECT_FALSE(g.Pending());
    EXPECT_EQ(g.Look(1700, true), V::Idle);

    // A unit arriving during the last wait still counts; a late tick too.
    ASSERT_TRUE(g.Start(0xFFFFFF00u));  // across the wrap of the tick
    EXPECT_EQ(g.Look(0xFFFFFF00u + 1099, false), V::Wait);
    EXPECT_EQ(g.Look(0xFFFFFF00u + 5000, true), V::Open);
    EXPECT_TRUE(g.Start(0));
    g.Cancel();  // disconnected meanwhile
    EXPECT_EQ(g.Look(50, true), V::Idle);
}

TEST(WindowPlacement, AWindowLargerThanTheScreenKeepsItsTitleBarOnIt)
{
    const QRect screen(0, 0, 800, 600);  // 1600 x 1200 at scale 2
    EXPECT_EQ(PlaceWithin(QRect(0, 0, 1024, 768), screen.center(), screen), QPoint(0, 0));
    EXPECT_EQ(PlaceWithin(QRect(0, 0, 400, 300), screen.center(), screen), QPoint(200, 150));
    // Centred over a main window near the screen's edge: moved back in.
    EXPECT_EQ(PlaceWithin(QRect(0, 0, 400, 300), QPoint(790, 10), screen), QPoint(400, 0));
    EXPECT_NEAR(FitScale(QSize(1024, 768), screen.size(), 2.0), 1.5625, 1e-9);
    EXPECT_EQ(FitScale(QSize(1024, 768), QSize(1920, 1080), 1.0), 1.0);  // never larger
}
