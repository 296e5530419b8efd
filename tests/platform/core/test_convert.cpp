#include <gtest/gtest.h>

#include "platform/core/app.h"
#include "platform/core/colour.h"
#include "platform/core/convert.h"
#include "platform/core/error.h"
#include "platform/ui/twips.h"
#include "seams.h"

namespace {

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::Error& e) {
        return e.number();
    }
    return 0;
}

TEST(Convert, TextIntAndBoolRules) {
    EXPECT_EQ(platform::toText(QVariant(qlonglong(12))), "12");
    EXPECT_EQ(platform::toText(QVariant(QString("2026/12/6 1:47:55"))), "2026/12/6 1:47:55");
    EXPECT_EQ(platform::toInt32(QVariant(QString(" -5 "))), -5);
    EXPECT_EQ(platform::toInt32(QVariant(qlonglong(12648447))), 12648447);
    EXPECT_TRUE(platform::toBool(QVariant(qlonglong(-1))));
    EXPECT_TRUE(platform::toBool(QVariant(qlonglong(2))));
    EXPECT_FALSE(platform::toBool(QVariant(qlonglong(0))));
    EXPECT_TRUE(platform::toBool(QVariant(QString("True"))));

    EXPECT_EQ(errorOf([] { platform::toText(QVariant()); }), platform::errc::invalidUseOfNull);
    EXPECT_EQ(errorOf([] { platform::toInt32(QVariant()); }), platform::errc::invalidUseOfNull);
    EXPECT_EQ(errorOf([] { platform::toInt32(QVariant(QString("red"))); }),
              platform::errc::typeMismatch);
    EXPECT_EQ(errorOf([] { platform::toBool(QVariant(QString("maybe"))); }),
              platform::errc::typeMismatch);
    EXPECT_NE(errorOf([] { platform::toInt32(QVariant(qlonglong(1) << 40)); }), 0);
}

TEST(Colour, LowByteIsRedAndSystemColoursComeFromThePalette) {
    const QColor pale = platform::toQColor(12648447);
    EXPECT_EQ(pale, QColor(255, 255, 192));
    EXPECT_EQ(platform::fromQColor(QColor(255, 255, 192)), 12648447);
    EXPECT_EQ(platform::toQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_TRUE(platform::toQColor(platform::kButtonTextColour).isValid());
}

TEST(Twips, FifteenPerPixelAt96AndTwelveAt120) {
    testsupport::Seams::setLogicalDpi(96);
    EXPECT_DOUBLE_EQ(platform::twips::perPixel(), 15.0);
    EXPECT_EQ(platform::twips::toPixels(2550), 170);
    EXPECT_EQ(platform::twips::toPixels(-30, -30, -90, 45).size(), QSize(0, 3));
    testsupport::Seams::setLogicalDpi(120);
    EXPECT_DOUBLE_EQ(platform::twips::perPixel(), 12.0);
    testsupport::Seams::setLogicalDpi(0);
}

TEST(App, ArgumentTextJoinsWithSingleBlanks) {
    EXPECT_EQ(platform::app::commandFrom({"/x/Zettara", "mini"}), "mini");
    EXPECT_EQ(platform::app::commandFrom({"/x/Zettara", "mini", "x"}), "mini x");
    EXPECT_EQ(platform::app::commandFrom({"/x/Zettara"}), "");
    // The launcher's option is no part of the command text.
    EXPECT_EQ(platform::app::commandFrom({"/x/Zettara", "mini", "--new-note"}), "mini");
    EXPECT_EQ(platform::app::versionText(), "3.0.0.0");
    EXPECT_EQ(platform::app::title(), "Zettara-6471");
}

}  // namespace
