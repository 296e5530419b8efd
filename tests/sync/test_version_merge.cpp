#include <gtest/gtest.h>

#include "sync/line_merge.h"
#include "sync/version_merge.h"

namespace {

const QString note(32, u'0'), a(32, u'a'), b(32, u'b'), c(32, u'c');

// A version of `device` whose every field is stamped at `wallMs`.
NoteVersion version(const QString& device, std::int64_t wallMs, const QString& text,
                    const VersionVector& seen) {
    const ClockStamp clock{wallMs, 0, device};
    return NoteVersion{note,           device,         {text, clock}, seen,
                       {1, clock},     {2, clock},     {3, clock},    {"2026/12/8", clock},
                       {false, clock}, {false, clock}, {0, clock},    {0, clock}};
}

}  // namespace

TEST(VersionMerge, FieldsTakeTheNewestStampAndADeleteLosesToANewerEdit) {
    NoteVersion first = version(a, 10, "t", {{a, 1}}), second = version(b, 20, "t", {{a, 1}});
    first.fontColor = {7, {30, 0, a}};
    second.deleted = {true, {25, 0, b}};
    NoteVersion other = version(c, 99, "not this note", {{c, 5}});
    other.noteKey = c;
    MergedNote merged = mergeVersions({first, second, {other}}, {}, c);
    EXPECT_EQ(merged.version.device, c);
    EXPECT_EQ(merged.version.noteKey, note);
    EXPECT_EQ(merged.version.backColor.clock, second.backColor.clock);
    EXPECT_EQ(merged.version.fontColor.value, 7);
    EXPECT_TRUE(merged.version.deleted.value);
    EXPECT_FALSE(merged.version.isDeleted());  // the font colour changed after the delete
    first.fontColor.clock.wallMs = 24;
    EXPECT_TRUE(mergeVersions({first, second}, {}, c).version.isDeleted());
}

TEST(VersionMerge, TextsMergeByWhatEachHasSeen) {
    // The common version of the concurrent texts below is the text all three had seen.
    const TextHistory base = {{{{a, 1}, {b, 1}}, "1\n2\n3\n4\n5\n"}, {{{c, 1}}, "1\n2\n3\n4\n5\n"}};
    // Seen by the other: dropped, however new its stamp.
    MergedNote merged = mergeVersions(
        {version(a, 50, "old", {{a, 1}}), version(b, 40, "new", {{a, 1}, {b, 1}})}, {}, a);
    EXPECT_EQ(merged.version.content, (Stamped<QString>{"new", {50, 0, a}}));
    EXPECT_EQ(merged.version.textSeen, (VersionVector{{a, 1}, {b, 1}}));
    // One vector, two texts (a conflict copy of a's own file): the newer.
    merged = mergeVersions({version(a, 5, "new", {{a, 1}}), version(a, 4, "old", {{a, 1}})}, {}, b);
    EXPECT_EQ(merged.version.content.value, "new");

    // Concurrent: changes of different lines both kept; of one line, both between markers.
    const NoteVersion first = version(a, 7, "1\nA\n3\n4\n5\n", {{a, 2}, {b, 1}});
    const NoteVersion second = version(b, 8, "1\n2\n3\n4\nB\n", {{a, 1}, {b, 2}, {c, 1}});
    const NoteVersion third = version(c, 6, "1\nC\n3\n4\n5\n", {{c, 2}});
    merged = mergeVersions({second, first}, base, c);
    EXPECT_EQ(merged.version.content, (Stamped<QString>{"1\nA\n3\n4\nB\n", {8, 0, b}}));
    EXPECT_EQ(merged.version.textSeen, (VersionVector{{a, 2}, {b, 2}, {c, 1}}));
    EXPECT_FALSE(merged.textConflict);
    merged = mergeVersions({third, second, first}, base, c);
    EXPECT_TRUE(merged.textConflict);
    EXPECT_EQ(merged.version.content.value, "1\n" + conflictStartMarker() + "\nA\n" +
                                                conflictMiddleMarker() + "\nC\n" +
                                                conflictEndMarker() + "\n3\n4\nB\n");
    // Every machine gets the same bytes, whatever order it read the files in.
    EXPECT_EQ(mergeVersions({first, third, second}, base, a).version.content,
              merged.version.content);
}

TEST(VersionMerge, ConcurrentTextsMergeAgainstTheVersionBothHadSeen) {
    // a edited twice (its first text reached b), b once after that first text: the merge is
    // against a's first text, not a's own newer one (which b never saw) nor an older one.
    TextHistory history;
    remember(history, {{a, 1}}, "old\n1\n2\n");
    remember(history, {{a, 2}}, "1\n2\n");
    remember(history, {{a, 3}}, "A\n2\n");
    const NoteVersion ours = version(a, 30, "A\n2\n", {{a, 3}});
    const NoteVersion theirs = version(b, 20, "1\n2\nB\n", {{a, 2}, {b, 1}});
    MergedNote merged = mergeVersions({ours, theirs}, history, a);
    EXPECT_EQ(merged.version.content.value, "A\n2\nB\n");
    EXPECT_FALSE(merged.textConflict);
    // Kept through the note file and cut to the newest few.
    for (std::uint64_t i = 4; i < 20; ++i) remember(history, {{a, i}}, "x");
    EXPECT_EQ(historyFromJson(historyToJson(history)), history);
    EXPECT_EQ(history.size(), kHistoryLength);
    EXPECT_TRUE(historyFromJson("not json").empty());
}
