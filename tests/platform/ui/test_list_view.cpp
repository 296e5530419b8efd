#include <gtest/gtest.h>

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <vector>

#include "platform/core/error.h"
#include "platform/ui/list_model.h"
#include "platform/ui/list_view.h"
#include "platform/ui/twips.h"
#include "seams.h"
#include "test_helpers.h"

using platform::ListItem;
using platform::ListView;

namespace {

class ListViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::Seams::setLogicalDpi(96);
        list.addColumn(QStringLiteral("显示"), 540);
        list.addColumn(QStringLiteral("编号"), 1);
        list.addColumn(QStringLiteral("内容"), 4000);
        list.itemCheck = [this](ListItem item) { calls.push_back({item.index(), item.checked()}); };
    }
    void TearDown() override { testsupport::Seams::setLogicalDpi(0); }

    void addRows(int n) {
        for (int i = 1; i <= n; ++i) {
            const int index = list.add(QString()).index();
            list.setSubItem(index, 1, QString::number(i));
        }
    }

    // Centre of the check box of a row, in viewport coordinates.
    QPoint checkBoxCentre(int index) {
        QStyleOptionViewItem option;
        option.initFrom(list.viewport());
        option.rect = list.visualRect(list.model()->index(index - 1, 0));
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        return list.style()
            ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list)
            .center();
    }

    struct Call {
        int index;
        bool checked;
    };
    ListView list;
    std::vector<Call> calls;
};

TEST_F(ListViewTest, ColumnsKeepTitlesAndTwipWidths) {
    ASSERT_EQ(list.columnCount(), 3);
    EXPECT_EQ(list.columnTitle(1), QStringLiteral("编号"));
    EXPECT_EQ(list.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("内容"));
    EXPECT_EQ(list.columnWidth(0), 36);
    EXPECT_EQ(list.columnWidth(2), 267);
    // One twip is less than a pixel: invisible, yet reported as given.
    EXPECT_EQ(list.columnWidth(1), 0);
    EXPECT_EQ(list.columnWidthTwips(1), 1);
    EXPECT_EQ(list.columnWidthTwips(0), 540);
    EXPECT_THROW(list.columnTitle(3), platform::Error);
    EXPECT_FALSE(list.rootIsDecorated());
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(ListViewTest, RowsAreAddressedFromOne) {
    EXPECT_EQ(list.add(QStringLiteral("a")).index(), 1);
    const ListItem second = list.add(QString());
    EXPECT_EQ(second.index(), 2);
    second.setSubItem(1, QStringLiteral("12"));
    second.setSubItem(4, QStringLiteral("kept without a column"));
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.text(1), QStringLiteral("a"));
    EXPECT_EQ(list.item(2).subItem(1), QStringLiteral("12"));
    EXPECT_EQ(list.subItem(2, 4), QStringLiteral("kept without a column"));
    EXPECT_EQ(list.subItem(1, 1), QString());
    EXPECT_EQ(list.model()->index(1, 1).data().toString(), QStringLiteral("12"));

    for (int bad : {0, 3, -1}) {
        try {
            list.item(bad);
            ADD_FAILURE() << "item " << bad << " did not fail";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), platform::errc::itemNotFound);
        }
    }
    EXPECT_THROW(list.subItem(1, 0), platform::Error);
    EXPECT_THROW(list.setSubItem(1, 5, QString()), platform::Error);
    EXPECT_THROW(list.setChecked(3, true), platform::Error);
}

TEST_F(ListViewTest, RowsAreFoundByIdThroughInsertsRemovalsAndRefills) {
    for (int i = 1; i <= 4; ++i) list.setId(list.add(QString()).index(), i * 10);
    list.insert(2, QString());  // 10, -, 20, 30, 40
    list.setId(2, 15);
    list.remove(4);  // 10, 15, 20, 40
    EXPECT_EQ(list.indexOf(15), 2);
    EXPECT_EQ(list.indexOf(20), 3);
    EXPECT_EQ(list.indexOf(30), 0);
    EXPECT_EQ(list.indexOf(40), 4);
    EXPECT_EQ(list.model()->index(3, 0).data(platform::ListModel::kIdRole).toLongLong(), 40);
    EXPECT_EQ(list.id(2), 15);

    // A list filled twice finds the first of two rows, also once that one has gone.
    for (int i = 1; i <= 2; ++i) list.setId(list.add(QString()).index(), i * 10);
    EXPECT_EQ(list.indexOf(20), 3);
    list.remove(3);
    EXPECT_EQ(list.indexOf(20), 5);
    list.clear();
    EXPECT_EQ(list.indexOf(10), 0);
}

TEST_F(ListViewTest, ProgramCheckChangesNotifyOncePerRealChange) {
    addRows(3);
    list.setChecked(2, true);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, 2);
    EXPECT_TRUE(calls[0].checked);  // the notification sees the new state

    list.setChecked(2, true);
    list.item(2).setChecked(true);
    list.setSubItem(2, 2, QStringLiteral("text change"));
    EXPECT_EQ(calls.size(), 1u);

    list.item(2).setChecked(false);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FALSE(calls[1].checked);
    EXPECT_FALSE(list.checked(2));
    EXPECT_FALSE(list.checked(1));
}

TEST_F(ListViewTest, ViewCheckChangesNotifyOncePerRealChange) {
    addRows(2);
    QAbstractItemModel* model = list.model();
    const QModelIndex cell = model->index(1, 0);
    EXPECT_EQ(model->data(cell, Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_TRUE(model->flags(cell) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model->flags(model->index(1, 1)) & Qt::ItemIsUserCheckable);

    // The way the view's delegate hands over a toggle.
    EXPECT_TRUE(model->setData(cell, Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(model->setData(cell, Qt::Checked, Qt::CheckStateRole));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, 2);
    EXPECT_TRUE(list.checked(2));
    // Texts cannot be edited through the view.
    EXPECT_FALSE(model->setData(model->index(1, 2), QStringLiteral("x"), Qt::EditRole));
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(ListViewTest, ClickAndSpaceOnCheckBoxToggleWithOneNotification) {
    addRows(2);
    list.resize(400, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, checkBoxCentre(1));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, 1);
    EXPECT_TRUE(list.checked(1));

    // Space on the check box cell itself toggles once, not twice.
    QTest::keyClick(&list, Qt::Key_Down);  // the user picks the first row
    QTest::keyClick(&list, Qt::Key_Space);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FALSE(list.checked(1));
    calls.clear();

    // A click on the row's text selects it without touching the mark.
    const QRect textCell = list.visualRect(list.model()->index(1, 2));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, textCell.center());
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(list.selectedIndex(), 2);

    QTest::keyClick(&list, Qt::Key_Space);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].index, 2);
    EXPECT_TRUE(list.checked(2));
}

TEST_F(ListViewTest, HandlerErrorsReachTheProgramButNotTheEventLoop) {
    addRows(1);
    list.itemCheck = [](ListItem) { throw platform::Error(7, QStringLiteral("boom")); };
    // The program's own change: the caller sees the failure.
    EXPECT_THROW(list.setChecked(1, true), platform::Error);
    EXPECT_TRUE(list.checked(1));

    // A change through the view is an event: the failure is shown, not thrown.
    testsupport::MsgBoxRecorder boxes;
    list.model()->setData(list.model()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_TRUE(boxes.boxes()[0].text.contains(QStringLiteral("boom")));
}

TEST_F(ListViewTest, RemoveAndClearDoNotNotify) {
    addRows(3);
    list.setChecked(2, true);
    calls.clear();
    list.remove(1);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.subItem(1, 1), QStringLiteral("2"));
    EXPECT_TRUE(list.checked(1));
    EXPECT_THROW(list.remove(3), platform::Error);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(list.add(QString()).index(), 1);
}

TEST_F(ListViewTest, SingleRowSelection) {
    addRows(3);
    EXPECT_EQ(list.selectedIndex(), 0);
    list.setSelected(2, true);
    EXPECT_EQ(list.selectedIndex(), 2);
    list.item(3).setSelected(true);
    EXPECT_EQ(list.selectedIndex(), 3);
    EXPECT_EQ(list.selectionModel()->selectedRows().size(), 1);
    list.setSelected(3, false);
    EXPECT_EQ(list.selectedIndex(), 0);
    list.setSelected(1, true);
    list.clear();
    EXPECT_EQ(list.selectedIndex(), 0);
}

TEST_F(ListViewTest, OnlyTheUserMakesARowCurrentAndRemovingItPicksNoOther) {
    addRows(3);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    list.clearFocus();
    list.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(list.hasFocus());
    EXPECT_FALSE(list.currentIndex().isValid());
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_TRUE(calls.empty());

    QTest::keyClick(&list, Qt::Key_Down);  // the user picks the first row
    EXPECT_EQ(list.selectedIndex(), 1);
    list.remove(1);
    EXPECT_EQ(list.selectedIndex(), 0);
    EXPECT_FALSE(list.currentIndex().isValid());
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_TRUE(calls.empty());

    // Removing another row keeps the pick on its row.
    list.setSelected(2, true);
    list.remove(1);
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_EQ(list.subItem(1, 1), QStringLiteral("3"));
}

TEST_F(ListViewTest, MouseReleaseRaisesButtonShiftAndTwips) {
    struct Up {
        int button, shift;
        double x, y;
    };
    std::vector<Up> ups;
    list.mouseUp = [&](int button, int shift, double x, double y) {
        ups.push_back({button, shift, x, y});
    };
    list.resize(400, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    // An empty list still reports the right button.
    QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::ShiftModifier, QPoint(10, 20));
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].button, 2);
    EXPECT_EQ(ups[0].shift, 1);
    EXPECT_DOUBLE_EQ(ups[0].x, 150);
    EXPECT_DOUBLE_EQ(ups[0].y, 300);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(10, 20));
    ASSERT_EQ(ups.size(), 2u);
    EXPECT_EQ(ups[1].button, 1);
    EXPECT_EQ(ups[1].shift, 2);
}

TEST_F(ListViewTest, HoldsManyRows) {
    constexpr int kRows = 100000;
    list.show();
    list.reserve(kRows);
    for (int i = 1; i <= kRows; ++i) {
        const int index = list.add(QString()).index();
        if (i % 3 == 0) list.setChecked(index, true);
        for (int k = 1; k <= 4; ++k) list.setSubItem(index, k, QString::number(i * 10 + k));
    }
    EXPECT_EQ(list.count(), kRows);
    EXPECT_EQ(calls.size(), static_cast<size_t>(kRows / 3));
    EXPECT_EQ(list.subItem(kRows, 3), QString::number(kRows * 10 + 3));
    EXPECT_TRUE(list.checked(kRows - 1));
    EXPECT_FALSE(list.checked(kRows));
}

}  // namespace
