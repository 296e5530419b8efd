#include <gtest/gtest.h>

#include "notewindow/screen_fit.h"

using screenfit::fit;

TEST(ScreenFit, OnScreenStaysAndOffScreenComesFullyBack) {
    const QRect left(0, 0, 1280, 800);
    const QRect right(1280, 0, 1920, 1080);
    const QList<QRect> two = {left, right};
    // Wholly on the screens, also across the two: left alone.
    EXPECT_EQ(fit(QRect(100, 100, 200, 150), two), QRect(100, 100, 200, 150));
    EXPECT_EQ(fit(QRect(1200, 100, 200, 150), two), QRect(1200, 100, 200, 150));
    // Below the shorter screen: onto the one it overlaps most, size kept.
    EXPECT_EQ(fit(QRect(1100, 750, 200, 150), two), QRect(1080, 650, 200, 150));
    // The right screen unplugged: back onto the left one, at its right edge.
    EXPECT_EQ(fit(QRect(2500, 500, 200, 150), {left}), QRect(1080, 500, 200, 150));
    // Far off every screen: the nearest one.
    EXPECT_EQ(fit(QRect(-5000, -5000, 200, 150), two), QRect(0, 0, 200, 150));
    EXPECT_EQ(fit(QRect(9000, 2000, 200, 150), two), QRect(3000, 930, 200, 150));
    // Larger than the screen: as large as it can be there.
    EXPECT_EQ(fit(QRect(-900, 300, 2000, 100), {left}), QRect(0, 300, 1280, 100));
    // No screens known: nothing to fit to.
    EXPECT_EQ(fit(QRect(-900, 300, 20, 10), {}), QRect(-900, 300, 20, 10));
}
