#include <gtest/gtest.h>

#include "platform/ui/accessible_text.h"

namespace {

TEST(AccessibleText, ColoursByTheNearestNameAndNotesOnOneShortLine) {
    EXPECT_EQ(platform::colourName(QColor(255, 255, 192)), "浅黄色（#FFFFC0）");
    EXPECT_EQ(platform::colourName(QColor(20, 10, 10)), "黑色（#140A0A）");
    EXPECT_EQ(platform::colourName(QColor(250, 190, 200)), "粉红色（#FABEC8）");

    EXPECT_EQ(platform::spokenName("  买菜\r\n  牛奶 "), "买菜 牛奶");
    // Cut before a character it would split, never inside it.
    const QString longText = QString(79, u'字') + QString::fromUcs4(U"😀") + "tail";
    const QString name = platform::spokenName(longText);
    EXPECT_EQ(name, QString(79, u'字') + QChar(0x2026));
}

}  // namespace
