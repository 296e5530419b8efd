#include <gtest/gtest.h>

#include "platform/ui/list_model.h"
#include "platform/ui/list_view.h"

using platform::ListModel;
using platform::ListView;

namespace {

QString shown(const ListView& list, int row, int column) {
    return list.model()->index(row, column).data(Qt::DisplayRole).toString();
}

TEST(ListDisplayText, OneLinePerRowAndNoMoreThanACellCanShow) {
    ListView list;
    list.addColumn(QStringLiteral("显示"), 540);
    list.addColumn(QStringLiteral("内容"), 4000);
    const int index = list.add(QString()).index();
    list.setSubItem(index, 1, QStringLiteral("一\r\n二\n三\r四"));
    EXPECT_EQ(shown(list, 0, 1), QStringLiteral("一 二 三 四"));

    // A 1 MB note: the list keeps it whole, the cell gets its start, line breaks as blanks.
    QString huge;
    for (int i = 0; i < 100000; ++i) huge += QStringLiteral("便签文字\n行");
    list.setSubItem(index, 1, huge);
    EXPECT_EQ(list.subItem(index, 1), huge);
    const QString cell = shown(list, 0, 1);
    ASSERT_EQ(cell.size(), ListModel::kMaxShownChars);
    EXPECT_EQ(cell, huge.left(ListModel::kMaxShownChars).replace(QLatin1Char('\n'), ' '));

    // A character outside the basic plane is never cut in half at the limit.
    QString astral(ListModel::kMaxShownChars - 1, QLatin1Char('a'));
    astral += QString::fromUcs4(U"😀tail");
    list.setSubItem(index, 1, astral);
    const QString end = shown(list, 0, 1);
    EXPECT_EQ(end.size(), ListModel::kMaxShownChars - 1);
    EXPECT_FALSE(end.back().isHighSurrogate());
}

}  // namespace
