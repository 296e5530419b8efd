#include <gtest/gtest.h>

#include "store/statements.h"

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

TEST(Statements, FixedTextsAndIdentifiers) {
    EXPECT_EQ(statements::selectAll(), "Select * from Tips");
    EXPECT_EQ(statements::selectOne(12), "Select * from Tips where id = 12");
    EXPECT_EQ(statements::deleteOne(7), "Delete from Tips where id = 7");
}

TEST(Statements, InsertMatchesTheDocumentedExampleByteForByte) {
    const QString s4 = statements::insertNote("abc", at(2026, 12, 6, 1, 47, 55), 12648447, 0, 20);
    EXPECT_EQ(
        s4.toUtf8(),
        QByteArray("INSERT INTO Tips(content,CreateTime,ChangeTime,Deleted,BackColor,FontColor,"
                   "Visual,TopMost,Transparent) Values('abc', '2026/12/6 1:47:55', "
                   "'2026/12/6 1:47:55', '0', '12648447', '0', '1', '0', '20')"));
}

TEST(Statements, UpdateIsBuiltFromItsPieces) {
    const QString s5 = statements::updateNote("it's", at(2026, 1, 2, 13, 5, 9), -1, 255, 90, 42);
    EXPECT_EQ(s5,
              "UPDATE Tips SET content='it''s', ChangeTime='2026/1/2 13:05:09', BackColor='-1', "
              "FontColor='255', Transparent='90' where id = 42");
}

TEST(Statements, DateTimeTextAndMidnight) {
    EXPECT_EQ(statements::dateTimeText(at(2026, 12, 6, 0, 0, 0)), "2026/12/6");
    EXPECT_EQ(statements::dateTimeText(at(2026, 12, 6, 0, 0, 1)), "2026/12/6 0:00:01");
    EXPECT_EQ(statements::dateTimeText(at(2026, 10, 16, 23, 59, 59)), "2026/10/16 23:59:59");
}

TEST(Statements, QuotingDoublesSingleQuotesOnly) {
    EXPECT_EQ(statements::quoteText("it's Tom's"), "it''s Tom''s");
    EXPECT_EQ(statements::quoteText("''"), "''''");
    const QString other = "a\"b\\c\td\r\ne<b>x</b>😀";
    EXPECT_EQ(statements::quoteText(other), other);
}

}  // namespace
