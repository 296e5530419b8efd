#include <gtest/gtest.h>

#include <QSignalSpy>
#include <vector>

#include "platform/ui/list_view.h"

using platform::ListItem;
using platform::ListView;

namespace {

class AppendBatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        list.addColumn(QStringLiteral("显示"), 540);
        list.addColumn(QStringLiteral("编号"), 1);
        list.itemCheck = [this](ListItem item) { checks.push_back(item.index()); };
    }

    int addRow(int id, bool ticked) {
        const int index = list.add(QString()).index();
        if (ticked) list.setChecked(index, true);
        list.setSubItem(index, 1, QString::number(id));
        return index;
    }

    ListView list;
    std::vector<int> checks;
};

TEST_F(AppendBatchTest, RowsWorkAtOnceAndReachTheViewInOneInsertion) {
    addRow(1, false);
    QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(list.model(), &QAbstractItemModel::dataChanged);
    {
        const ListView::AppendBatch batch(list);
        for (int id = 2; id <= 5; ++id) EXPECT_EQ(addRow(id, id % 2 == 0), id);
        // The list itself has every row, with its marks and texts, and notified each tick.
        EXPECT_EQ(list.count(), 5);
        EXPECT_EQ(list.subItem(4, 1), QStringLiteral("4"));
        EXPECT_TRUE(list.checked(4));
        EXPECT_EQ(checks, (std::vector<int>{2, 4}));
        // The view has not heard of them yet, nor of changes to rows it does not know.
        EXPECT_EQ(list.model()->rowCount(), 1);
        EXPECT_EQ(inserted.count(), 0);
        EXPECT_EQ(changed.count(), 0);
        // A row the view knows still reports its changes.
        list.setSubItem(1, 1, QStringLiteral("one"));
        EXPECT_EQ(changed.count(), 1);
    }
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 1);
    EXPECT_EQ(inserted[0][2].toInt(), 4);
    EXPECT_EQ(list.model()->rowCount(), 5);
    EXPECT_EQ(list.model()->index(3, 1).data().toString(), QStringLiteral("4"));
    EXPECT_EQ(list.model()->index(3, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(list.model()->index(2, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);

    // Outside a batch every append is announced at once again.
    addRow(6, false);
    EXPECT_EQ(list.model()->rowCount(), 6);
    EXPECT_EQ(inserted.count(), 2);
}

TEST_F(AppendBatchTest, NestedBatchesAnnounceWhenTheLastEnds) {
    {
        const ListView::AppendBatch outer(list);
        {
            const ListView::AppendBatch inner(list);
            addRow(1, false);
        }
        EXPECT_EQ(list.model()->rowCount(), 0);
        addRow(2, false);
    }
    EXPECT_EQ(list.model()->rowCount(), 2);
}

TEST_F(AppendBatchTest, SelectRemoveAndClearInsideABatchKeepViewAndListInStep) {
    const ListView::AppendBatch batch(list);
    for (int id = 1; id <= 4; ++id) addRow(id, false);
    list.setSelected(3, true);  // the view must know the row to select it
    EXPECT_EQ(list.model()->rowCount(), 4);
    EXPECT_EQ(list.selectedIndex(), 3);

    addRow(5, false);
    list.remove(2);  // rows announced first, then removed from both
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.model()->rowCount(), 4);
    EXPECT_EQ(list.subItem(4, 1), QStringLiteral("5"));

    addRow(6, false);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.model()->rowCount(), 0);
    addRow(7, false);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.model()->rowCount(), 0);
}

}  // namespace
