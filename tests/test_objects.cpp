#include <gtest/gtest.h>

#include "objects/Constrain.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"

namespace {

struct ModelTest : testing::Test {
    void SetUp() override {
        zoomFactor = 1, pixelsPerUnit = 1, unitPt = 1;
        unlimitedDiameters = false;
    }
    void TearDown() override { freeAllObjects(); }
};

ObjRecord *stored(ObjType type, std::initializer_list<XPoint> points) {
    ObjRecord *rec = ObjNew(type);
    linkObject(rec);
    ObjStore(rec, std::data(points));
    return rec;
}

}  // namespace

TEST_F(ModelTest, BoxCornersInAnyOrderGiveTheSameRecord) {
    const XPoint corners[4][2] = {{{10, 20}, {50, 80}}, {{50, 80}, {10, 20}}, {{10, 80}, {50, 20}}, {{50, 20}, {10, 80}}};
    for (auto &c : corners) {
        ObjRecord *r = stored(ObjFramedBox, {c[0], c[1]});
        EXPECT_EQ(r->x, 10);
        EXPECT_EQ(r->y, 20);
        EXPECT_EQ(r->x2, 40);
        EXPECT_EQ(r->y2, 60);
    }
    ObjRecord *flat = stored(ObjFilledBox, {{7, 7}, {7, 7}});
    EXPECT_EQ(flat->x2, 0);
    EXPECT_EQ(flat->y2, 0);
}

TEST_F(ModelTest, StoreThenRetrieveGivesThePointsBack) {
    struct {
        ObjType type;
        XPoint in[3];
        int count;
        XPoint out[3];
    } cases[] = {
        {ObjLine, {{1, 2}, {30, 40}}, 2, {{1, 2}, {30, 40}}},
        {ObjVector, {{30, 40}, {1, 2}}, 2, {{30, 40}, {1, 2}}},
        {ObjFramedBox, {{50, 60}, {10, 20}}, 2, {{10, 20}, {50, 60}}},
        {ObjCircle, {{50, 50}, {70, 50}}, 2, {{50, 50}, {70, 50}}},
        {ObjDisc, {{50, 50}, {30, 50}}, 2, {{50, 50}, {70, 50}}},
        {ObjText, {{5, 6}}, 1, {{5, 6}}},
        {ObjBezier, {{0, 0}, {100, 0}, {50, 100}}, 3, {{0, 0}, {100, 0}, {50, 100}}},
    };
    for (auto &c : cases) {
        ObjRecord *r = stored(c.type, {c.in[0], c.in[1], c.in[2]});
        XPoint out[3];
        int n = 0;
        ObjRetrieve(r, out, &n);
        ASSERT_EQ(n, c.count) << c.type;
        for (int i = 0; i < n; i++) {
            EXPECT_EQ(out[i].x, c.out[i].x) << c.type << " point " << i;
            EXPECT_EQ(out[i].y, c.out[i].y) << c.type << " point " << i;
        }
    }
}

TEST_F(ModelTest, BezierKeepsStartControlAndEndInTheirFields) {
    ObjRecord *r = stored(ObjBezier, {{1, 2}, {3, 4}, {5, 6}});
    EXPECT_EQ(r->x3, 3);
    EXPECT_EQ(r->y3, 4);
    EXPECT_EQ(r->x2, 5);
    EXPECT_EQ(r->y2, 6);
}

TEST_F(ModelTest, DashedBoxGetsDashLengthFiveOnEveryStore) {
    ObjRecord *r = stored(ObjDashedBox, {{0, 0}, {10, 10}});
    r->x3 = 2;
    XPoint p[3];
    int n;
    ObjRetrieve(r, p, &n);
    ObjStore(r, p);
    EXPECT_EQ(r->x3, 5.0f);
}

// LaTeX's corners: the largest multiple of 4 pt not above the smaller
// side, at most 40 pt, in points (so the unit and the zoom count).
TEST_F(ModelTest, OvalCornerRadiusIsLatexsQuarterCircle) {
    struct {
        XPoint a, b;
        bool unlimited;
        float radius;
        float zoom = 1, pixels = 1, points = 1;  // zoomFactor, pixelsPerUnit, unitPt
    } cases[] = {
        {{0, 0}, {40, 20}, false, 10},   // smaller side 20: a 20 pt corner
        {{0, 0}, {60, 30}, false, 14},   // 28 pt, not the nearest circle size 32
        {{0, 0}, {40, 18}, false, 8},    // 16 pt
        {{0, 0}, {80, 22}, false, 10},   // 20 pt
        {{0, 0}, {50, 31}, false, 14},   // 28 pt
        {{0, 0}, {40, 4}, false, 2},     // 4 pt, the smallest corner
        {{0, 0}, {40, 3}, false, 2},     // below 4 pt: the side itself, (3 + 1) / 2
        {{0, 0}, {40, 0}, false, 0},
        {{0, 0}, {40, 0}, true, 0},      // (0 + 1) / 2
        {{0, 0}, {200, 100}, false, 20}, // above 40 pt takes the 40 pt corner
        {{0, 0}, {40, 21}, true, 10},    // d = 20
        {{0, 0}, {120, 60}, false, 28, 2},  // 30 pt at zoom 2: 28 pt, 56 pixels
        // 1 mm: 3 pixels a unit; 45 pixels are 15 mm, 42.7 pt: 40 pt, 42 pixels
        {{0, 0}, {90, 45}, false, 21, 1, 3, 2.8452756f},
    };
    for (auto &c : cases) {
        unlimitedDiameters = c.unlimited;
        zoomFactor = c.zoom, pixelsPerUnit = c.pixels, unitPt = c.points;
        ObjRecord *r = stored(ObjOval, {c.a, c.b});
        EXPECT_EQ(r->x3, c.radius) << c.b.x << "x" << c.b.y << " unlimited " << c.unlimited;
    }
}

TEST_F(ModelTest, CopyKeepsTheLinkOfItsTarget) {
    ObjRecord *a = stored(ObjFramedBox, {{1, 1}, {5, 5}});
    ObjSetText(a, "abc");
    a->flags = posBottom | posRight;
    a->shadow = 2;
    ObjRecord *b = stored(ObjLine, {{0, 0}, {1, 1}});
    ObjRecord *next = b->next;
    ObjCopy(a, b);
    EXPECT_EQ(b->next, next);
    EXPECT_EQ(b->type, ObjFramedBox);
    EXPECT_STREQ(b->text, "abc");
    EXPECT_EQ(b->flags, 68);
    EXPECT_EQ(b->shadow, 2);
    EXPECT_EQ(countObjects(), 2);
}

TEST_F(ModelTest, MoveShiftsPointsButNotSizes) {
    ObjRecord *curve = stored(ObjBezier, {{0, 0}, {10, 0}, {5, 5}});
    ObjRecord *circle = stored(ObjCircle, {{50, 50}, {60, 50}});
    ObjMove(curve, 10, 20);
    ObjMove(circle, 10, 20);
    EXPECT_EQ(curve->x3, 20);
    EXPECT_EQ(curve->y2, 25);
    EXPECT_EQ(circle->x, 60);
    EXPECT_EQ(circle->x2, 10);
}

TEST_F(ModelTest, ListLinksUnlinksAndReverses) {
    ObjRecord *a = stored(ObjLine, {{0, 0}, {1, 1}});
    ObjRecord *b = stored(ObjLine, {{0, 0}, {1, 1}});
    ObjRecord *c = stored(ObjLine, {{0, 0}, {1, 1}});
    EXPECT_EQ(objectList, c);
    reverseObjects();
    EXPECT_EQ(objectList, a);
    EXPECT_EQ(a->next, b);
    unlinkObject(b);
    EXPECT_EQ(a->next, c);
    ObjFree(b);
    EXPECT_EQ(countObjects(), 2);
}

TEST_F(ModelTest, FarCoordinatesClampToTheCanvasRange) {
    EXPECT_EQ(toCanvas(1e9f), 32767);
    EXPECT_EQ(toCanvas(-1e9f), -32768);
    EXPECT_EQ(toCanvas(12.9f), 12);
    EXPECT_EQ(toCanvas(-12.9f), -12);
    EXPECT_EQ(toCanvas(std::numeric_limits<float>::quiet_NaN()), 0);
    ObjRecord *r = ObjNew(ObjLine);
    linkObject(r);
    r->x = 1e30f, r->y = -1e30f, r->x2 = 40000, r->y2 = 3;
    XPoint p[3];
    int n;
    ObjRetrieve(r, p, &n);
    EXPECT_EQ(p[0].x, 32767);
    EXPECT_EQ(p[0].y, -32768);
    EXPECT_EQ(p[1].x, 32767);
}

TEST(ModelDeath, UnknownTypeEndsWithStatusOne) {
    ObjRecord *r = ObjNew(static_cast<ObjType>(12));
    XPoint p[3] = {};
    EXPECT_EXIT(ObjStore(r, p), testing::ExitedWithCode(1), "ObjStore: Unknown type 12");
    int n;
    EXPECT_EXIT(ObjRetrieve(r, p, &n), testing::ExitedWithCode(1), "ObjRetrieve: Unknown type 12");
    ObjFree(r);
}

TEST(ObjText, BalancingDropsOnlyUnmatchedBraces) {
    struct {
        const char *in, *out;
    } cases[] = {
        {"plain", "plain"},       {"{\\bf x}", "{\\bf x}"},  {"a{b", "ab"},         {"a}b", "ab"},
        {"}{", ""},               {"{{x}", "{x}"},           {"a\\{b", "a\\{b"},    {"a\\}b}", "a\\}b"},
        {"end\\", "end"},         {"\\\\{x}", "\\\\{x}"},    {"{a}}{b", "{a}b"},    {"", ""},
    };
    for (auto &c : cases) {
        char text[128];
        snprintf(text, sizeof text, "%s", c.in);
        balanceText(text);
        EXPECT_STREQ(text, c.out) << c.in;
    }
}

// A multiput owns its body: copies are deep, moves and scaling reach the
// body, and its two points are its first and its last copy's.
TEST_F(ModelTest, MultiputCopiesMovesAndStoresWithItsBody) {
    ObjRecord *multi = ObjNew(ObjMultiput);
    multi->x = 10, multi->y = 20, multi->x2 = 5, multi->y2 = 0, multi->count = 5;
    ObjRecord *line = ObjNew(ObjLine);
    line->x = 10, line->y = 20, line->x2 = 10, line->y2 = 30;
    multi->body = line;
    linkObject(multi);

    XPoint p[3];
    int n = 0;
    ObjRetrieve(multi, p, &n);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(p[1].x, 30);  // four steps of 5
    EXPECT_EQ(p[1].y, 20);

    ObjRecord *copy = ObjNew(ObjMultiput);
    ObjCopy(multi, copy);
    ASSERT_NE(copy->body, nullptr);
    EXPECT_NE(copy->body, line);
    ObjMove(copy, 3, 4);
    EXPECT_EQ(copy->body->x, 13);
    EXPECT_EQ(copy->body->y2, 34);
    EXPECT_EQ(line->x, 10);  // the original's body stays

    // A new last point sets the step; a new first point moves the whole.
    p[1].x = 50;
    ObjStore(copy, p);
    EXPECT_EQ(copy->x, 10);
    EXPECT_EQ(copy->x2, 10);
    EXPECT_EQ(copy->body->x, 10);
    p[0].x += 2, p[1].x += 2;
    ObjStore(copy, p);
    EXPECT_EQ(copy->x, 12);
    EXPECT_EQ(copy->x2, 10);
    EXPECT_EQ(copy->body->x, 12);

    // Copying into a record that has a body frees that body first (the
    // sanitized build would report a leak).
    ObjCopy(multi, copy);
    EXPECT_EQ(copy->x2, 5);
    ObjFree(copy);
}

TEST(ObjText, BarePercentSignsAreEscaped) {
    struct {
        const char *in;
        size_t size;
        const char *out;
    } cases[] = {
        {"50% off", 128, "50\\% off"}, {"50\\% off", 128, "50\\% off"}, {"%%", 128, "\\%\\%"},
        {"a\\\\%", 128, "a\\\\\\%"},   {"", 128, ""},                   {"ab%", 4, "ab"},  // no room for the pair
        {"a%b", 5, "a\\%b"},           {"a\\%b", 3, "a"},               {"x%", 1, ""},
        {"a%\n}", 128, "a%\n}"},        {"%b\nc%d", 128, "%b\nc\\%d"},  // a comment ends at its line end
    };
    for (auto &c : cases) {
        char text[64];
        snprintf(text, sizeof text, "%s", c.in);
        escapePercents(text, c.size);
        EXPECT_STREQ(text, c.out) << c.in << " in " << c.size;
    }
}
