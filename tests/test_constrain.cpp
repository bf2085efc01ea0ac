#include <gtest/gtest.h>

#include "objects/Constrain.h"
#include "objects/Scale.h"

namespace {

struct ConstrainTest : testing::Test {
    void SetUp() override {
        zoomFactor = 1, pixelsPerUnit = 1, unitPt = 1;
        gridOn = snapOn = unlimitedSlopes = unlimitedDiameters = unlimitedLengths = false;
        gridDistance = 10;
        buildSlopeTable(lineSlopes, 6);
        buildSlopeTable(vectorSlopes, 4);
    }
};

XPoint constrained(ObjType type, XPoint fixed, XPoint moving) {
    XPoint p[2] = {fixed, moving};
    ObjConstrain(type, p, 2, 1);
    return p[1];
}

}  // namespace

TEST_F(ConstrainTest, SlopeTablesHoldEveryReducedSlope) {
    const float lineExpected[][3] = {
        {0.1666667f, 6, 1}, {0.2f, 5, 1}, {0.25f, 4, 1},     {0.3333333f, 3, 1}, {0.4f, 5, 2},
        {0.5f, 2, 1},       {0.6f, 5, 3}, {0.6666667f, 3, 2}, {0.75f, 4, 3},     {0.8f, 5, 4},
        {0.8333333f, 6, 5}, {1, 1, 1},    {1.2f, 5, 6},       {1.25f, 4, 5},     {1.333333f, 3, 4},
        {1.5f, 2, 3},       {1.666667f, 3, 5}, {2, 1, 2},     {2.5f, 2, 5},      {3, 1, 3},
        {4, 1, 4},          {5, 1, 5},    {6, 1, 6}};
    for (int i = 0; i < 23; i++) {
        EXPECT_NEAR(lineSlopes[i].slope, lineExpected[i][0], 1e-6) << i;
        EXPECT_EQ(lineSlopes[i].x, lineExpected[i][1]) << i;
        EXPECT_EQ(lineSlopes[i].y, lineExpected[i][2]) << i;
    }
    EXPECT_EQ(lineSlopes[23].slope, slopeEndMarker);
    const float vectorExpected[][3] = {{0.25f, 4, 1}, {0.3333333f, 3, 1}, {0.5f, 2, 1}, {0.6666667f, 3, 2},
                                       {0.75f, 4, 3}, {1, 1, 1}, {1.333333f, 3, 4}, {1.5f, 2, 3},
                                       {2, 1, 2},     {3, 1, 3}, {4, 1, 4}};
    for (int i = 0; i < 11; i++) {
        EXPECT_NEAR(vectorSlopes[i].slope, vectorExpected[i][0], 1e-6) << i;
        EXPECT_EQ(vectorSlopes[i].x, vectorExpected[i][1]) << i;
        EXPECT_EQ(vectorSlopes[i].y, vectorExpected[i][2]) << i;
    }
    EXPECT_EQ(vectorSlopes[11].slope, slopeEndMarker);
}

TEST_F(ConstrainTest, PointsSnapToTheGridOnlyWithGridAndSnapOn) {
    struct {
        bool grid, snap;
        XPoint in, out;
    } cases[] = {
        {true, true, {14, 15}, {10, 20}},
        {true, true, {-14, 5}, {0, 10}},  // the integer part of -1.4 + 0.5 is 0
        {true, true, {25, 35}, {30, 40}},
        {true, false, {14, 15}, {14, 15}},
        {false, true, {14, 15}, {14, 15}},
    };
    for (auto &c : cases) {
        gridOn = c.grid, snapOn = c.snap;
        XPoint p = c.in;
        snapPoint(&p.x, &p.y);
        EXPECT_EQ(p.x, c.out.x) << c.in.x << "," << c.in.y;
        EXPECT_EQ(p.y, c.out.y) << c.in.x << "," << c.in.y;
    }
    short x = 33, y = 47;
    float sx, sy;
    snapToSpacing(&x, &y, &sx, &sy, 2.5f);
    EXPECT_EQ(x, 33);  // 13 * 2.5 = 32.5, rounded up
    EXPECT_EQ(sx, 32.5f);
    EXPECT_EQ(y, 48);
    EXPECT_EQ(sy, 47.5f);
}

TEST_F(ConstrainTest, LinesAndVectorsTurnToAllowedSlopes) {
    struct {
        ObjType type;
        bool slopes, lengths;
        XPoint end, expected;
    } cases[] = {
        {ObjLine, false, false, {100, 7}, {100, 0}},     // below 1/12: horizontal
        {ObjLine, false, false, {10, 130}, {0, 130}},    // above 12: vertical
        {ObjLine, false, false, {100, 70}, {100, 66}},   // nearer 2/3, y moves
        {ObjLine, false, false, {-100, 70}, {-100, 66}}, // the same to the left
        {ObjLine, false, false, {100, -70}, {100, -66}},
        {ObjVector, false, false, {30, 100}, {33, 100}}, // nearer 3, x moves
        {ObjVector, false, false, {100, 10}, {100, 0}},  // below 1/8
        {ObjVector, false, false, {10, 90}, {0, 90}},    // above 8
        {ObjLine, false, false, {50, 0}, {50, 0}},       // horizontal is always allowed
        {ObjLine, false, false, {0, 3}, {0, 3}},         // so is vertical, of any length
        {ObjLine, false, false, {4, 3}, {10, 7}},        // 3/4 kept, lengthened to 10
        {ObjLine, false, false, {-4, 3}, {-10, 7}},
        {ObjLine, true, false, {4, 3}, {10, 7}},         // any slope, still lengthened
        {ObjLine, true, true, {4, 3}, {4, 3}},
        {ObjLine, true, false, {10, 7}, {10, 7}},        // exactly m long: unchanged
    };
    for (auto &c : cases) {
        unlimitedSlopes = c.slopes, unlimitedLengths = c.lengths;
        XPoint end = constrained(c.type, {0, 0}, c.end);
        EXPECT_EQ(end.x, c.expected.x) << c.type << " to " << c.end.x << "," << c.end.y;
        EXPECT_EQ(end.y, c.expected.y) << c.type << " to " << c.end.x << "," << c.end.y;
    }
}

TEST_F(ConstrainTest, FirstPointOfALineIsTheMovingOneWhenIndexIsZero) {
    XPoint p[2] = {{100, 70}, {0, 0}};
    ObjConstrain(ObjLine, p, 2, 0);
    EXPECT_EQ(p[0].x, 100);
    EXPECT_EQ(p[0].y, 66);
    EXPECT_EQ(p[1].x, 0);
}

TEST_F(ConstrainTest, MinimumLengthGrowsWithZoomAndUnit) {
    zoomFactor = 2;  // m = 20
    XPoint end = constrained(ObjLine, {0, 0}, {4, 3});
    EXPECT_EQ(end.x, 20);
    EXPECT_EQ(end.y, 15);
    zoomFactor = 1, unitPt = 28.452755f, pixelsPerUnit = 30;  // 1 cm: m = 11
    end = constrained(ObjLine, {0, 0}, {4, 3});
    EXPECT_EQ(end.x, 11);
    EXPECT_EQ(end.y, 8);
}

TEST_F(ConstrainTest, CircleDiametersRoundToAllowedSizes) {
    struct {
        ObjType type;
        bool unlimited;
        XPoint pointer;
        XPoint expected;
    } cases[] = {
        {ObjCircle, false, {50, 80}, {70, 50}},  // 60 pt: the largest, 40
        {ObjDisc, false, {50, 80}, {58, 50}},    // discs stop at 15
        {ObjCircle, false, {50, 57}, {57, 50}},  // 14
        {ObjCircle, false, {50, 59}, {60, 50}},  // 18: 16 and 20 tie, the larger wins
        {ObjCircle, false, {50, 50}, {51, 50}},  // 0: the smallest, 1
        {ObjCircle, false, {20, 50}, {70, 50}},  // to the left: still ends on the right
        {ObjCircle, true, {60, 54}, {61, 50}},   // 21.54 -> 21
        {ObjCircle, true, {60, 53}, {60, 50}},   // 20.88 -> 20
    };
    for (auto &c : cases) {
        unlimitedDiameters = c.unlimited;
        XPoint r = constrained(c.type, {50, 50}, c.pointer);
        EXPECT_EQ(r.x, c.expected.x) << c.type << " " << c.pointer.x << "," << c.pointer.y;
        EXPECT_EQ(r.y, c.expected.y) << c.type << " " << c.pointer.x << "," << c.pointer.y;
    }
}

TEST_F(ConstrainTest, OtherTypesOnlySnap) {
    gridOn = snapOn = true;
    XPoint p[3] = {{0, 0}, {14, 15}, {33, 37}};
    ObjConstrain(ObjBezier, p, 3, 2);
    EXPECT_EQ(p[2].x, 30);
    EXPECT_EQ(p[2].y, 40);
    ObjConstrain(static_cast<ObjType>(-1), p, 2, 1);
    EXPECT_EQ(p[1].x, 10);
    EXPECT_EQ(p[1].y, 20);
}

TEST_F(ConstrainTest, GridDistanceMustGiveFourPixels) {
    EXPECT_FALSE(setGridDistance(1.0f));
    EXPECT_EQ(gridDistance, 1.0f);
    EXPECT_TRUE(setGridDistance(5.0f));
    EXPECT_FALSE(setGridDistance(3.0f));
    zoomFactor = 2;
    EXPECT_TRUE(setGridDistance(3.0f));
}

TEST_F(ConstrainTest, FarPointsStayInRange) {
    unlimitedDiameters = true;
    XPoint r = constrained(ObjCircle, {30000, 0}, {-30000, 30000});
    EXPECT_EQ(r.x, 32767);
    EXPECT_EQ(r.y, 0);
    zoomFactor = 4;
    XPoint end = constrained(ObjLine, {32760, 0}, {32762, 2});
    EXPECT_EQ(end.x, 32767);
}
