#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <vector>

#include "notewindow/note_menu_host.h"
#include "notewindow/note_window.h"
#include "platform/ui/twips.h"
#include "seams.h"
#include "test_helpers.h"

namespace {

class FakeHost : public NoteMenuHost {
  public:
    void showNoteMenu(std::int64_t id, QWidget&, const QPoint&) override { ids.push_back(id); }
    void stepNoteText(std::int64_t, int) override {}
    std::vector<std::int64_t> ids;
};

class NoteWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::Seams::setLogicalDpi(96); }
    void TearDown() override {
        delete window.data();
        testsupport::Seams::setLogicalDpi(0);
    }

    Form_Zettara* showWindow() {
        window = new Form_Zettara(host);
        window->setNoteId(12);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return window;
    }

    static void sendMove(QWidget* target, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent move(QEvent::MouseMove, pos, target->mapToGlobal(pos), Qt::NoButton, buttons,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }

    FakeHost host;
    QPointer<Form_Zettara> window;
};

TEST_F(NoteWindowTest, CreatedFramelessOffTheTaskBarWithStoredSize) {
    window = new Form_Zettara(host);
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->windowType(), Qt::Window);  // not Qt::Tool: hidden when inactive
    EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_EQ(window->size(), QSize(170, 120));
    EXPECT_FALSE(window->testAttribute(Qt::WA_Moved));  // placement left to the window system
    EXPECT_EQ(window->edgeBand(), 45);
    EXPECT_EQ(window->font().family(), QStringLiteral("Tahoma"));
    EXPECT_DOUBLE_EQ(window->font().pointSizeF(), 8.25);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zettara"));

    QLabel* label = window->Label_Zettara;
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(label->pos(), QPoint(4, 4));
    window->setText(QStringLiteral("<b>not bold</b>"));
    EXPECT_EQ(label->text(), QStringLiteral("<b>not bold</b>"));

    delete window.data();
    testsupport::Seams::setLogicalDpi(120);
    window = new Form_Zettara(host);
    EXPECT_EQ(window->edgeBand(), 36);
}

TEST_F(NoteWindowTest, ColoursGoToWindowAndLabel) {
    window = new Form_Zettara(host);
    window->setBackColor(QColor(1, 2, 3));
    window->setTextColor(QColor(200, 100, 50));
    EXPECT_TRUE(window->autoFillBackground());
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(1, 2, 3));
    EXPECT_EQ(window->backColor(), QColor(1, 2, 3));
    EXPECT_EQ(window->Label_Zettara->palette().color(QPalette::WindowText), QColor(200, 100, 50));
    EXPECT_EQ(window->textColor(), QColor(200, 100, 50));
}

TEST_F(NoteWindowTest, LabelKeepsMarginAndNeverGoesNegative) {
    showWindow();
    EXPECT_EQ(window->Label_Zettara->geometry(), QRect(4, 4, 162, 112));
    window->resize(platform::twips::toPixels(3000, 2000));
    EXPECT_EQ(window->Label_Zettara->geometry(), platform::twips::toPixels(60, 60, 2880, 1880));
    window->resize(3, 3);
    EXPECT_EQ(window->Label_Zettara->pos(), QPoint(4, 4));
    EXPECT_EQ(window->Label_Zettara->size(), QSize(0, 0));
}

TEST_F(NoteWindowTest, RightReleaseStoresIdAndAsksForMenu) {
    showWindow();
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(window->Label_Zettara, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(host.ids.empty());

    QTest::mouseClick(window, Qt::RightButton, {}, QPoint(2, 2));
    ASSERT_EQ(host.ids.size(), 1u);
    EXPECT_EQ(host.ids[0], 12);

    QTest::mouseClick(window->Label_Zettara, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(host.ids.size(), 2u);
}

TEST_F(NoteWindowTest, PointerShapeFollowsZonesOnlyOnTheSurface) {
    showWindow();
    sendMove(window, QPoint(1, 60), Qt::NoButton);
    EXPECT_EQ(window->cursor().shape(), Qt::SizeHorCursor);
    sendMove(window, QPoint(168, 1), Qt::NoButton);
    EXPECT_EQ(window->cursor().shape(), Qt::SizeBDiagCursor);
    sendMove(window, QPoint(80, 1), Qt::NoButton);
    EXPECT_EQ(window->cursor().shape(), Qt::SizeVerCursor);
    EXPECT_EQ(window->Label_Zettara->cursor().shape(), Qt::ArrowCursor);
    sendMove(window, QPoint(80, 60), Qt::NoButton);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}

// The offscreen platform refuses system moves and resizes, so these run the manual fallback.
TEST_F(NoteWindowTest, LeftDragMovesWindowFromSurfaceAndLabel) {
    showWindow();
    const QPoint start = window->pos();
    sendMove(window, QPoint(80, 60), Qt::NoButton);  // no button: no move
    EXPECT_EQ(window->pos(), start);

    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(80, 60));
    QTest::mouseMove(window, QPoint(90, 75));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(90, 75));
    EXPECT_EQ(window->pos(), start + QPoint(10, 15));

    const QPoint second = window->pos();
    QTest::mousePress(window->Label_Zettara, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(window->Label_Zettara, QPoint(15, 40));
    QTest::mouseRelease(window->Label_Zettara, Qt::LeftButton, {}, QPoint(15, 40));
    EXPECT_EQ(window->pos(), second + QPoint(-5, 20));
    EXPECT_EQ(window->size(), QSize(170, 120));

    // A right-button drag moves nothing.
    QTest::mousePress(window, Qt::RightButton, {}, QPoint(80, 60));
    QTest::mouseMove(window, QPoint(120, 90));
    QTest::mouseRelease(window, Qt::RightButton, {}, QPoint(120, 90));
    EXPECT_EQ(window->pos(), second + QPoint(-5, 20));
}

TEST_F(NoteWindowTest, LeftDragInEdgeBandResizes) {
    showWindow();
    const QRect start = window->geometry();
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(169, 119));
    QTest::mouseMove(window, QPoint(189, 129));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(189, 129));
    EXPECT_EQ(window->geometry(), QRect(start.topLeft(), QSize(190, 130)));
    EXPECT_EQ(window->Label_Zettara->size(), QSize(182, 122));

    // The left edge moves the left side and keeps the right one.
    const QRect before = window->geometry();
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(1, 60));
    QTest::mouseMove(window, QPoint(-9, 60));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(-9, 60));
    EXPECT_EQ(window->geometry(), before.adjusted(-10, 0, 0, 0));

    // Dragging past the opposite side leaves at least one pixel.
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(80, 1));
    QTest::mouseMove(window, QPoint(80, 500));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(80, 500));
    EXPECT_EQ(window->height(), 1);
}

}  // namespace
