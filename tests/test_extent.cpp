#include <gtest/gtest.h>

#include "objects/Extent.h"

namespace {

ObjRecord make(ObjType type, float x, float y, float x2, float y2, float x3 = 0, float y3 = 0) {
    ObjRecord r{};
    r.type = type;
    r.x = x, r.y = y, r.x2 = x2, r.y2 = y2, r.x3 = x3;
    if (type == ObjBezier) r.y3 = y3;
    return r;
}

}  // namespace

TEST(Extent, BoxesByType) {
    struct {
        ObjRecord rec;
        float extent[4];
    } cases[] = {
        {make(ObjLine, 100, 0, 0, 100), {0, 0, 100, 100}},
        {make(ObjVector, 10, 80, 60, 20), {10, 20, 60, 80}},
        {make(ObjFramedBox, 10, 20, 30, 40), {10, 20, 40, 60}},
        {make(ObjOval, 0, 0, 40, 20, 10), {0, 0, 40, 20}},
        {make(ObjText, 200, 100, 0, 0), {200, 100, 200, 100}},
        {make(ObjCircle, 50, 50, 20, 0), {30, 30, 70, 70}},
        {make(ObjDisc, 0, 0, 5, 0), {-5, -5, 5, 5}},
        // start (0,0), control (50,100), end (100,0): the curve's lowest point is y 50
        {make(ObjBezier, 0, 0, 50, 100, 100, 0), {0, 0, 100, 50}},
        {make(ObjBezier, 0, 0, 50, -100, 100, 0), {0, -50, 100, 0}},
        // control point within the ends: the box of the ends
        {make(ObjBezier, 0, 0, 50, 50, 100, 100), {0, 0, 100, 100}},
        {make(ObjBezier, 0, 0, -100, 50, 100, 100), {-100.0f / 3, 0, 100, 100}},
        // ends and control point all but equal: rounding must not blow the box up
        {make(ObjBezier, 1.3333334f, 5, 1.3333335f, 6, 1.3333334f, 7), {1.3333334f, 5, 1.3333335f, 7}},
    };
    for (auto &c : cases) {
        float e[4];
        ObjGetExtent(&c.rec, e);
        for (int i = 0; i < 4; i++) EXPECT_FLOAT_EQ(e[i], c.extent[i]) << "type " << c.rec.type << " [" << i << "]";
    }
}

TEST(Extent, HitsTheBoxWidenedByThreePixels) {
    ObjRecord diagonal = make(ObjLine, 0, 0, 100, 100);
    ObjRecord flat = make(ObjLine, 0, 50, 100, 50);
    ObjRecord text = make(ObjText, 200, 100, 0, 0);
    ObjRecord circle = make(ObjCircle, 50, 50, 20, 0);
    struct {
        const ObjRecord *rec;
        float x, y;
        bool hit;
    } cases[] = {
        {&diagonal, 90, 10, true},  // far from the line, inside its box
        {&flat, 50, 53, true},      {&flat, 50, 54, false},  {&flat, -3, 50, true},
        {&flat, -4, 50, false},     {&text, 203, 97, true},  {&text, 204, 100, false},
        {&text, 250, 100, false},   {&circle, 31, 31, true}, {&circle, 26, 50, false},
    };
    for (auto &c : cases) EXPECT_EQ(ObjHit(c.rec, c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(Extent, UnknownTypeIsReportedAndLeavesTheExtent) {
    ObjRecord r = make(static_cast<ObjType>(42), 0, 0, 0, 0);
    float e[4] = {1, 2, 3, 4};
    testing::internal::CaptureStderr();
    ObjGetExtent(&r, e);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ObjGetExtent: unknown type 42\n");
    EXPECT_EQ(e[0], 1);
    EXPECT_EQ(e[3], 4);
}

TEST(Extent, OvalPartsAndMultiputs) {
    ObjRecord oval = make(ObjOval, 0, 0, 40, 20, 10);
    struct {
        int part;
        float extent[4];
    } parts[] = {
        {ovalTop, {0, 0, 40, 10}},
        {ovalBottom | ovalRight, {20, 10, 40, 20}},
        {ovalLeft, {0, 0, 20, 20}},
    };
    for (auto &c : parts) {
        oval.part = c.part;
        float e[4];
        ObjGetExtent(&oval, e);
        for (int i = 0; i < 4; i++) EXPECT_EQ(e[i], c.extent[i]) << c.part << " " << i;
    }
    // Three copies, 30 right and 10 up apart, of a circle of radius 5
    // around (100, 100): from the first copy's box to the last one's.
    ObjRecord circle = make(ObjCircle, 100, 100, 5, 0);
    ObjRecord multi = make(ObjMultiput, 100, 100, 30, -10);
    multi.count = 3;
    multi.body = &circle;
    float e[4];
    ObjGetExtent(&multi, e);
    EXPECT_EQ(e[0], 95);
    EXPECT_EQ(e[1], 75);
    EXPECT_EQ(e[2], 165);
    EXPECT_EQ(e[3], 105);
    EXPECT_TRUE(ObjHit(&multi, 130, 90));   // the second copy
    EXPECT_FALSE(ObjHit(&multi, 130, 120));
}
