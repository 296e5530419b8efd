#include <gtest/gtest.h>

#include <QImage>
#include <vector>

#include "platform/core/colour.h"
#include "platform/ui/color_picker.h"
#include "seams.h"

namespace {

using platform::ColorPicker;

// Replaces the colour dialog for one test and records what it was asked.
class ChooserStub {
  public:
    explicit ChooserStub(QColor answer) {
        previous_ = testsupport::Seams::setChooser(
            [this, answer](const QColor& initial, QWidget*, const QString& title) {
                initials.push_back(initial);
                titles.push_back(title);
                return answer;
            });
    }
    ~ChooserStub() { testsupport::Seams::setChooser(previous_); }

    std::vector<QColor> initials;
    std::vector<QString> titles;

  private:
    ColorPicker::Chooser previous_;
};

QColor swatchColour(const ColorPicker& picker) {
    const QImage image = picker.icon().pixmap(picker.iconSize()).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(ColorPicker, SetColorShowsTheColourWithoutNotifying) {
    ColorPicker picker(QStringLiteral("背景颜色"));
    int notified = 0;
    picker.colorPicked = [&](std::int32_t) { ++notified; };

    picker.setColor(12648447);

    EXPECT_EQ(picker.color(), 12648447);
    EXPECT_EQ(swatchColour(picker), QColor(255, 255, 192));
    EXPECT_EQ(picker.text(), "背景颜色");
    EXPECT_EQ(notified, 0);
}

TEST(ColorPicker, ClickPicksAndNotifiesOnce) {
    ChooserStub chooser(QColor(0x11, 0x22, 0x33));
    ColorPicker picker(QStringLiteral("字体&颜色"));
    picker.setColor(0x000000FF);
    std::vector<std::int32_t> picked;
    picker.colorPicked = [&](std::int32_t colour) { picked.push_back(colour); };

    picker.click();

    EXPECT_EQ(picker.color(), 0x00332211);
    EXPECT_EQ(picked, std::vector<std::int32_t>{0x00332211});
    EXPECT_EQ(swatchColour(picker), QColor(0x11, 0x22, 0x33));
    ASSERT_EQ(chooser.initials.size(), 1u);
    EXPECT_EQ(chooser.initials[0], QColor(255, 0, 0));  // the current colour is offered
    EXPECT_EQ(chooser.titles[0], "字体颜色");
}

TEST(ColorPicker, CancelKeepsTheColour) {
    ChooserStub chooser{QColor()};
    ColorPicker picker;
    picker.setColor(0x00ABCDEF);
    int notified = 0;
    picker.colorPicked = [&](std::int32_t) { ++notified; };

    picker.click();

    EXPECT_EQ(chooser.initials.size(), 1u);
    EXPECT_EQ(picker.color(), 0x00ABCDEF);
    EXPECT_EQ(notified, 0);
}

TEST(ColorPicker, SystemColourShowsThePaletteColour) {
    ColorPicker picker;
    picker.setColor(platform::kButtonTextColour);
    EXPECT_EQ(picker.color(), platform::kButtonTextColour);
    EXPECT_EQ(swatchColour(picker), platform::toQColor(platform::kButtonTextColour));
}

}  // namespace
