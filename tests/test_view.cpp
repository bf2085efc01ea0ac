#include <gtest/gtest.h>

#include <cstring>

#include "canvas/Shift.h"
#include "canvas/View.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Units.h"

// Without a canvas widget the view is 500 x 600 and nothing is drawn.
namespace {

void setField(char *field, const char *text) { snprintf(field, fieldTextSize, "%s", text); }

void useUnit(const char *unit) {
    setDefaultUnitLength(unit);
    resetPicture();
}

}  // namespace

TEST(View, OriginLiesOnTheLowestWholeGridRow) {
    struct {
        const char *unit;
        const char *grid;
        float zoom;
        float originY;      // zoom-1 pixels
        int pictureX, pictureY;  // of canvas point (200, 400)
    } cases[] = {
        {"1pt", "10", 1, 600, 200, 200},
        {"1pt", "7", 1, 595, 200, 195},
        {"1pt", "10", 2, 300, 100, 100},
        {"1cm", "10", 1, 600, 6, 6},
        {"1pt", "abc", 1, 600, 200, 200},  // no number: one unit
        {"1pt", "inf", 1, 600, 200, 200},
    };
    for (auto &c : cases) {
        zoomFactor = c.zoom;
        setField(gridText, c.grid);
        useUnit(c.unit);
        EXPECT_EQ(originX, 0) << c.unit << " " << c.grid;
        EXPECT_EQ(originY, c.originY) << c.unit << " " << c.grid << " zoom " << c.zoom;
        float px, py;
        windowToPicture(200, 400, &px, &py);
        EXPECT_EQ(static_cast<int>(px), c.pictureX) << c.unit;
        EXPECT_EQ(static_cast<int>(py), c.pictureY) << c.unit;
    }
    zoomFactor = 1;
    setField(gridText, "10");
    useUnit("1pt");
    float px, py;
    windowToPicture(100, 500, &px, &py);
    EXPECT_EQ(px, 100);
    EXPECT_EQ(py, 100);
}

TEST(View, ResetEmptiesTheDrawingAndRestoresTheDefaultUnit) {
    zoomFactor = 1;
    setDefaultUnitLength("2mm");
    linkObject(ObjNew(ObjLine));
    modified = true;
    unitValue = 5, unitIndex = 1;
    resetPicture();
    EXPECT_EQ(objectList, nullptr);
    EXPECT_FALSE(modified);
    EXPECT_EQ(unitValue, 2.0f);
    EXPECT_EQ(unitIndex, 2);
    EXPECT_FLOAT_EQ(pixelsPerUnit, 6.0f);
    setDefaultUnitLength("-1pt");  // refused like any text without a scale
    resetPicture();
    EXPECT_EQ(unitValue, 1.0f);
    EXPECT_EQ(unitIndex, 0);
    EXPECT_EQ(pixelsPerUnit, 1.0f);
}

TEST(View, ZoomRuleReadsPercentAndClamps) {
    struct {
        const char *text;
        float zoom;
    } cases[] = {{"250", 2.5f}, {"10", 0.25f}, {"1000", 4.0f}, {"abc", 1.0f}, {"100", 1.0f},
                 {"99999999999", 4.0f}, {"", 1.0f}, {"nan", 1.0f}, {"-50", 0.25f}};
    for (auto &c : cases) EXPECT_EQ(zoomFromText(c.text), c.zoom) << c.text;
}

namespace {

int hookCalls = 0, hookX = 0, hookY = 0;
void recordShift(int dx, int dy) { hookCalls++, hookX = dx, hookY = dy; }

struct ShiftTest : testing::Test {
    void SetUp() override {
        zoomFactor = 1;
        setField(gridText, "10");
        setField(offsetText, "10.00");
        useUnit("1pt");
        setViewShiftHook(recordShift);
        hookCalls = 0;
    }
    void TearDown() override { freeAllObjects(); }
};

ObjRecord *box(float x, float y, float w, float h) {
    ObjRecord *r = ObjNew(ObjFramedBox);
    r->x = x, r->y = y, r->x2 = w, r->y2 = h;
    linkObject(r);
    return r;
}

}  // namespace

TEST_F(ShiftTest, StepsMoveTheViewNotThePicture) {
    // At zoom 1 the record and the origin moving by the same pixels keep
    // the record's picture coordinates.
    ObjRecord *r = box(10, 20, 30, 40);
    struct {
        int direction;
        const char *step;
        float dx, dy;
    } cases[] = {{shiftRight, "10.00", 10, 0}, {shiftLeft, "10.00", -10, 0}, {shiftUp, "10.00", 0, -10},
                 {shiftDown, "2.5", 0, 2.5f}, {shiftRight, "abc", 1, 0}, {7, "10", 0, 0}};
    for (auto &c : cases) {
        setField(offsetText, c.step);
        float x0 = r->x, y0 = r->y, ox = originX, oy = originY;
        shiftView(c.direction);
        EXPECT_EQ(r->x - x0, c.dx) << c.direction << " " << c.step;
        EXPECT_EQ(r->y - y0, c.dy) << c.direction << " " << c.step;
        EXPECT_EQ(originX - ox, c.dx);
        EXPECT_EQ(originY - oy, c.dy);
        EXPECT_EQ(hookX, static_cast<int>(c.dx));
        EXPECT_EQ(hookY, static_cast<int>(c.dy));
    }
    EXPECT_EQ(hookCalls, 6);
}

TEST_F(ShiftTest, StepScalesWithZoomAndUnit) {
    ObjRecord *r = box(0, 0, 1, 1);
    zoomFactor = 2;
    shiftView(shiftRight);
    EXPECT_EQ(r->x, 20);
    EXPECT_EQ(originX, 10);
}

TEST_F(ShiftTest, CentringPutsTheBoxOnAGridPointInTheMiddle) {
    box(10, 20, 100, 50);
    shiftView(shiftCentre);
    EXPECT_EQ(hookX, 190);
    EXPECT_EQ(hookY, 260);
    EXPECT_EQ(objectList->x, 200);
    EXPECT_EQ(objectList->y + objectList->y2, 330);
}

TEST_F(ShiftTest, CentringAnEmptyPictureMovesNothing) {
    float ox = originX, oy = originY;
    shiftView(shiftCentre);
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(hookX, 0);
    EXPECT_EQ(hookY, 0);
    EXPECT_EQ(originX, ox);
    EXPECT_EQ(originY, oy);
}

TEST_F(ShiftTest, CentringWithACoarseGridDividesTheStepByTen) {
    // 200-pixel grid: four steps exceed the canvas, so 20 pixels are used.
    setField(gridText, "200");
    box(0, 0, 30, 30);
    shiftView(shiftCentre);
    // target left (500 - 30) / 2 = 235 -> 240; bottom (600 + 30) / 2 = 315 -> 320
    EXPECT_EQ(hookX, 240);
    EXPECT_EQ(hookY, 290);
}
