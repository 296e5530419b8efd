#include <gtest/gtest.h>

#include "sync/hybrid_clock.h"

TEST(HybridClock, StampsOrderAndParseStrictly) {
    const QString a(32, u'a'), b(32, u'b');
    EXPECT_LT((ClockStamp{5, 9, b}), (ClockStamp{6, 0, a}));
    EXPECT_LT((ClockStamp{5, 1, b}), (ClockStamp{5, 2, a}));
    EXPECT_LT((ClockStamp{5, 1, a}), (ClockStamp{5, 1, b}));

    const ClockStamp stamp{1765189530123, 4294967295U, a};
    EXPECT_EQ(stamp.text(), "1765189530123-4294967295-" + a);
    EXPECT_EQ(ClockStamp::fromText(stamp.text()), stamp);
    EXPECT_EQ(ClockStamp::fromText("9223372036854775807-0-" + a)->wallMs, INT64_MAX);
    const QString bad[] = {
        "-1-0-" + a,  "1--" + a,   "1-0-",      "1-0-" + a.toUpper(),         "1-0-" + a + "0",
        " 1-0-" + a,  "+1-0-" + a, "01-0-" + a, "9223372036854775808-0-" + a, "1-4294967296-" + a,
        "1-0x1-" + a, "1-0",       QString()};
    for (const QString& text : bad) {
        EXPECT_FALSE(ClockStamp::fromText(text)) << text.toStdString();
    }
}

TEST(HybridClock, TicksPassEverythingSeenEvenFromAClockAnHourAhead) {
    const std::int64_t now = 1765189530000, hour = 3600 * 1000;
    HybridClock ahead(QString(32, u'f')), behind(QString(32, u'0'));
    EXPECT_EQ(behind.tick(now), (ClockStamp{now, 0, behind.device()}));
    EXPECT_EQ(behind.tick(now), (ClockStamp{now, 1, behind.device()}));
    EXPECT_EQ(behind.tick(now - 5), (ClockStamp{now, 2, behind.device()}));
    EXPECT_EQ(behind.tick(now + 1), (ClockStamp{now + 1, 0, behind.device()}));

    // The machine behind edits after it has seen the other's change: its edit is the later.
    const ClockStamp theirs = ahead.tick(now + hour);
    behind.observe(theirs);
    const ClockStamp mine = behind.tick(now + 2);
    EXPECT_GT(mine, theirs);
    EXPECT_EQ(mine.wallMs, now + hour);
    behind.observe(ClockStamp{now + hour, 7, ahead.device()});
    EXPECT_EQ(behind.tick(now + 3), (ClockStamp{now + hour, 8, behind.device()}));
    behind.observe(ClockStamp{now, 99, ahead.device()});  // older: changes nothing
    EXPECT_EQ(behind.tick(now + 3).counter, 9U);
}
