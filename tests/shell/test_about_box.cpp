#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>

#include "platform/ui/twips.h"
#include "shell/about_box.h"
#include "test_helpers.h"

namespace {

QIcon testIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

// The About box with its link's openings recorded instead of starting a browser.
class AboutBoxUnderTest : public frmAbout {
  public:
    explicit AboutBoxUnderTest(std::vector<QString>& opened) : frmAbout(testIcon()) {
        setOpener([&opened](const QString& address) { opened.push_back(address); });
    }
};

class AboutBox : public ::testing::Test {
  protected:
    void SetUp() override { about->show(); }
    void TearDown() override {
        if (about) about->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <typename T = QLabel>
    T* part(const char* name) {
        return testsupport::control<T>(*about, QString::fromUtf8(name));
    }
    std::vector<QString> opened_;
    QPointer<frmAbout> about = new AboutBoxUnderTest(opened_);
};

TEST_F(AboutBox, LoadFillsTitleVersionAndIconOfAnOwnerlessModelessBox) {
    EXPECT_EQ(about->windowTitle(), QStringLiteral("关于 Zettara-6471"));
    EXPECT_EQ(part("lblVersion")->text(), QStringLiteral("版本 3.0.0.0"));
    EXPECT_EQ(part("lblTitle")->text(), QStringLiteral("Zettara-6471"));
    EXPECT_FALSE(part("picIcon")->pixmap().isNull());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->parentWidget(), nullptr);
}

TEST_F(AboutBox, FixedFrameTextsAndLinkLook) {
    const QSize client = platform::twips::toPixels(5730, 3090);
    EXPECT_EQ(about->size(), client);
    EXPECT_EQ(about->minimumSize(), client);
    EXPECT_EQ(about->maximumSize(), client);
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMaximizeButtonHint);

    const QStringList lines = part("lblDescription")->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("现在就丢掉传统纸质便笺，改用完全免费的Zettara软件！"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("把您的便签“粘”在您的电脑桌面上")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("便笺字体可自行定义。")));
    EXPECT_EQ(part("lblDescription")->textFormat(), Qt::PlainText);
    EXPECT_EQ(part("lblDisclaimer")->text(), QStringLiteral("官方网站："));
    EXPECT_EQ(part<QPushButton>("cmdOK")->text(), QStringLiteral("确定"));

    QLabel* link = part("Label_链接官方网站");
    EXPECT_EQ(link->text(), QStringLiteral("https://www.zettara-6471.example/"));
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(part<QPushButton>("cmdOK")->geometry(),
              platform::twips::toPixels(4125, 2625, 1500, 345));

    // Whatever face stands in for 宋体, no text is cut off and the link stays clear of OK.
    const QRect linkPlace = platform::twips::toPixels(1170, 2700, 2880, 180);
    EXPECT_EQ(link->pos(), linkPlace.topLeft());
    EXPECT_GE(link->width(), linkPlace.width());
    EXPECT_GE(link->width(), QFontMetrics(link->font()).horizontalAdvance(link->text()));
    EXPECT_LT(link->geometry().right(), part<QPushButton>("cmdOK")->x());
    EXPECT_LE(link->font().pointSizeF(), 9.0);
    QLabel* description = part("lblDescription");
    EXPECT_GE(description->height(), description->heightForWidth(description->width()));
    EXPECT_LT(description->geometry().bottom(), platform::twips::toPixels(2445));
}

TEST_F(AboutBox, OnlyALeftPressOnTheLinkOpensItsOwnText) {
    QLabel* link = part("Label_链接官方网站");

    QTest::mousePress(link, Qt::RightButton);
    QTest::mousePress(link, Qt::MiddleButton);
    EXPECT_TRUE(opened_.empty());

    QTest::mousePress(link, Qt::LeftButton);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QStringLiteral("https://www.zettara-6471.example/"));

    // The address is read from the label at the moment of the press.
    link->setText(QStringLiteral("https://mirror.zettara-6471.example/"));
    QTest::mousePress(link, Qt::LeftButton);
    ASSERT_EQ(opened_.size(), 2u);
    EXPECT_EQ(opened_[1], QStringLiteral("https://mirror.zettara-6471.example/"));
    EXPECT_TRUE(about->isVisible());
}

}  // namespace
