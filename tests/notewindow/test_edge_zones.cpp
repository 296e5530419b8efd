#include <gtest/gtest.h>

#include "notewindow/edge_zones.h"

using namespace edgezones;

namespace {

constexpr float kW = 2550, kH = 1800, kB = 45;

TEST(EdgeZones, BandsIncludeTheirInnerBoundary) {
    EXPECT_TRUE(classify(kB, 900, kW, kH, kB).zones.left);
    EXPECT_FALSE(classify(kB + 1, 900, kW, kH, kB).zones.left);
    EXPECT_TRUE(classify(kW - kB, 900, kW, kH, kB).zones.right);
    EXPECT_FALSE(classify(kW - kB - 1, 900, kW, kH, kB).zones.right);
    EXPECT_TRUE(classify(1000, kB, kW, kH, kB).zones.top);
    EXPECT_FALSE(classify(1000, kB + 1, kW, kH, kB).zones.top);
    EXPECT_TRUE(classify(1000, kH - kB, kW, kH, kB).zones.bottom);
    EXPECT_FALSE(classify(1000, kH - kB - 1, kW, kH, kB).zones.bottom);
    // The strip between the band and the label is interior.
    const Decision inner = classify(50, 50, kW, kH, kB);
    EXPECT_TRUE(inner.moves());
    EXPECT_EQ(inner.cursor, Qt::ArrowCursor);
}

TEST(EdgeZones, SumsAreComparedInSinglePrecision) {
    // 1e8 + 5 rounds up to 1e8 + 8 in single precision and so reaches an edge at 1e8 + 8,
    // which the exact sum would miss.
    EXPECT_TRUE(classify(1e8f, 1e8f, 100000008.0f, 100000008.0f, 5.0f).zones.right);
    EXPECT_TRUE(classify(1e8f, 1e8f, 100000008.0f, 100000008.0f, 5.0f).zones.bottom);
    EXPECT_FALSE(classify(1e8f, 1e8f, 100000016.0f, 100000016.0f, 5.0f).zones.right);
}

TEST(EdgeZones, EdgesAndCornersGiveEdgesAndPointer) {
    struct Case {
        float x, y;
        Qt::Edges edges;
        Qt::CursorShape cursor;
    };
    const Case cases[] = {
        {2540, 1790, Qt::BottomEdge | Qt::RightEdge, Qt::SizeFDiagCursor},
        {10, 1790, Qt::BottomEdge | Qt::LeftEdge, Qt::SizeBDiagCursor},
        {10, 10, Qt::TopEdge | Qt::LeftEdge, Qt::SizeFDiagCursor},
        {2540, 10, Qt::TopEdge | Qt::RightEdge, Qt::SizeBDiagCursor},
        {2540, 900, Qt::RightEdge, Qt::SizeHorCursor},
        {1000, 1790, Qt::BottomEdge, Qt::SizeVerCursor},
        {10, 900, Qt::LeftEdge, Qt::SizeHorCursor},
        {1000, 10, Qt::TopEdge, Qt::SizeVerCursor},
        {1000, 900, {}, Qt::ArrowCursor},
    };
    for (const Case& c : cases) {
        const Decision d = classify(c.x, c.y, kW, kH, kB);
        EXPECT_EQ(d.edges, c.edges) << c.x << "," << c.y;
        EXPECT_EQ(d.moves(), c.edges == Qt::Edges()) << c.x << "," << c.y;
        EXPECT_EQ(d.cursor, c.cursor) << c.x << "," << c.y;
    }
}

TEST(EdgeZones, NarrowWindowFollowsTableOrder) {
    // Narrower and lower than two bands: a point can be in opposite bands at once.
    const Decision middle = classify(30, 30, 60, 1000, kB);
    EXPECT_TRUE(middle.zones.left);
    EXPECT_TRUE(middle.zones.right);
    EXPECT_TRUE(middle.zones.top);
    EXPECT_EQ(middle.edges, Qt::TopEdge | Qt::LeftEdge);  // top-left is tested before top-right
    EXPECT_EQ(middle.cursor, Qt::SizeFDiagCursor);

    const Decision side = classify(30, 500, 60, 1000, kB);
    EXPECT_EQ(side.edges, Qt::Edges(Qt::RightEdge));  // right edge before left edge
    EXPECT_EQ(side.cursor, Qt::SizeHorCursor);

    const Decision low = classify(30, 990, 60, 1000, kB);
    EXPECT_EQ(low.edges, Qt::BottomEdge | Qt::RightEdge);
    EXPECT_EQ(low.cursor, Qt::SizeFDiagCursor);

    const Decision flat = classify(1000, 30, 2550, 60, kB);
    EXPECT_EQ(flat.edges, Qt::Edges(Qt::BottomEdge));  // bottom edge before top edge
    EXPECT_EQ(flat.cursor, Qt::SizeVerCursor);
}

}  // namespace
