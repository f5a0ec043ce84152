// The wait for the unit code after Measure, on a driven clock.
#include "shell/MeasureGate.h"

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
