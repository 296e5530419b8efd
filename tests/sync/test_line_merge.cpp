#include <gtest/gtest.h>

#include "sync/line_merge.h"

namespace {

// The merge's text, with conflict markers shortened to <, = and >.
QString merged(const QString& base, const QString& ours, const QString& theirs,
               bool conflicted = false) {
    const LineMergeResult result = mergeLines(base, ours, theirs);
    EXPECT_EQ(result.conflicted, conflicted) << result.text.toStdString();
    return QString(result.text)
        .replace(conflictStartMarker(), "<")
        .replace(conflictMiddleMarker(), "=")
        .replace(conflictEndMarker(), ">");
}

}  // namespace

TEST(LineMerge, TakesEachSidesChangesAndKeepsBothWhereTheyDiffer) {
    const QString base = "a\nb\nc\nd\ne\n";
    EXPECT_EQ(merged(base, base, "a\nB\nc\nd\ne\n"), "a\nB\nc\nd\ne\n");
    EXPECT_EQ(merged(base, "a\nc\nd\ne\nf\n", base), "a\nc\nd\ne\nf\n");
    EXPECT_EQ(merged(base, "A\nb\nc\nd\nE\n", "a\nb\nC\nd\ne\n"), "A\nb\nC\nd\nE\n");
    EXPECT_EQ(merged(base, "b\nC\nd\ne\n", "a\nb\nC\nd\ne\nf\n"), "b\nC\nd\ne\nf\n");
    EXPECT_EQ(merged(base, "a\nb\nX\nshared\nd\ne\n", "a\nb\nY\nshared\nd\ne\n", true),
              "a\nb\n<\nX\n=\nY\n>\nshared\nd\ne\n");
    EXPECT_EQ(merged("a\nb", "c\nd", "e", true), "<\nc\nd\n=\ne\n>");
    EXPECT_EQ(merged("", "ours", "theirs", true), "<\nours\n=\ntheirs\n>");
}

TEST(LineMerge, KeepsLineEndsAndCopesWithLongTexts) {
    EXPECT_EQ(merged("a\nx\nb", "A\nx\nb", "a\nx\nB"), "A\nx\nB");
    EXPECT_EQ(merged("a\r\nx\r\nb\r\n", "A\r\nx\r\nb\r\n", "a\r\nx\r\nB\r\n"), "A\r\nx\r\nB\r\n");
    EXPECT_EQ(merged("a\r\nb", "X\r\nb", "Y\r\nb", true), "<\nX\r\n=\nY\r\n>\nb");

    QStringList base, ours, theirs, expected, replaced, rewritten;
    for (int i = 0; i < 100000; ++i) base.append(QString::number(i));
    ours = theirs = expected = base;
    ours[10] = expected[10] = "ours";
    ours.insert(50000, "inserted");
    theirs.removeAt(99990);
    theirs[70000] = expected[70000] = "theirs";
    expected.removeAt(99990);
    expected.insert(50000, "inserted");
    EXPECT_EQ(merged(base.join('\n'), ours.join('\n'), theirs.join('\n')), expected.join('\n'));
    for (const QString& line : base) replaced.append("x" + line), rewritten.append("y" + line);
    EXPECT_EQ(merged(base.join('\n'), replaced.join('\n'), rewritten.join('\n'), true),
              "<\n" + replaced.join('\n') + "\n=\n" + rewritten.join('\n') + "\n>");
}
