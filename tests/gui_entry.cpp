#include <gtest/gtest.h>

#include <cmath>

#include "canvas/Canvas.h"
#include "canvas/PointEntry.h"
#include "harness/Editor.h"
#include "objects/Constrain.h"
#include "objects/Render.h"
#include "shell/FileCommands.h"

using namespace harness;

namespace {

struct EntryTest : testing::Test {
    void SetUp() override { startEditor(); }
    void TearDown() override { freeAllObjects(); }

};

}  // namespace

TEST_F(EntryTest, LineChainMakesALineForEachNewPoint) {
    chooseMenu("draw", "line");
    canvasClick(100, 100);
    canvasClick(200, 100);  // Q straight right of P
    canvasClick(200, 250);  // R straight below Q
    ASSERT_EQ(countObjects(), 2);
    ObjRecord *second = objectList, *first = objectList->next;
    EXPECT_EQ(first->type, ObjLine);
    EXPECT_EQ(first->x, 100);
    EXPECT_EQ(first->x2, 200);
    EXPECT_EQ(first->y2, 100);
    EXPECT_EQ(second->x, 200);
    EXPECT_EQ(second->y, 100);
    EXPECT_EQ(second->y2, 250);
    EXPECT_TRUE(modified);
    canvasMove(300, 400);
    canvasClick(300, 400, 2);  // ends the chain
    EXPECT_EQ(countObjects(), 2);
    EXPECT_EQ(pointCount, 0);
    EXPECT_TRUE(noResidue());
}

TEST_F(EntryTest, SecondClickOnTheFirstPointMakesALineOfLengthZero) {
    chooseMenu("draw", "vector");
    canvasClick(150, 150);
    canvasClick(150, 150);
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->x, objectList->x2);
    EXPECT_EQ(objectList->y, objectList->y2);
}

TEST_F(EntryTest, SlopedLinesTakeAnAllowedSlopeAndLength) {
    chooseMenu("draw", "line");
    canvasClick(100, 300);
    canvasClick(200, 230);  // 70 up over 100: turned to 2/3
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->x2, 200);
    EXPECT_EQ(objectList->y2, 233);
}

TEST_F(EntryTest, CircleRadiusPointStaysOnTheHorizontal) {
    chooseMenu("draw", "circle");
    canvasClick(250, 250);
    canvasClick(250, 280);  // 30 below: diameter 60 becomes 40
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->type, ObjCircle);
    EXPECT_EQ(objectList->x, 250);
    EXPECT_EQ(objectList->y, 250);
    EXPECT_EQ(objectList->x2, 20);
    EXPECT_EQ(pointCount, 0);
    EXPECT_TRUE(noResidue());
}

TEST_F(EntryTest, BezierTakesThreeClicks) {
    chooseMenu("draw", "bezier");
    XImage *empty = canvasImage();
    canvasClick(100, 400);
    canvasMove(300, 400);
    // A straight outline to the pointer.
    XImage *straight = canvasImage();
    EXPECT_EQ(XGetPixel(straight, 200, 400), canvasForeground());
    XDestroyImage(straight);
    canvasClick(300, 400);
    EXPECT_EQ(countObjects(), 0);
    canvasMove(200, 300);  // the pointer is the control point
    XImage *curved = canvasImage();
    EXPECT_EQ(XGetPixel(curved, 200, 400), canvasBackground());
    XDestroyImage(curved);
    canvasClick(200, 300);
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->type, ObjBezier);
    EXPECT_EQ(objectList->x3, 300);
    EXPECT_EQ(objectList->x2, 200);
    EXPECT_EQ(objectList->y2, 300);
    EXPECT_TRUE(noResidue());
    XDestroyImage(empty);
}

TEST_F(EntryTest, AbortLeavesTheCanvasAsBeforeTheEntry) {
    struct {
        const char *entry;
        int button;
        int clicks;
    } cases[] = {{"line", 2, 1}, {"rounded", 3, 1}, {"filled", 2, 1}, {"disc", 3, 1}, {"bezier", 2, 2},
                 {"bezier", 3, 1}, {"vector", 3, 1}, {"framed", 2, 1}};
    canvasClick(1, 1, 3);
    for (auto &c : cases) {
        SCOPED_TRACE(c.entry);
        chooseMenu("draw", c.entry);
        canvasMove(60, 60);
        XImage *before = canvasImage();
        for (int i = 0; i < c.clicks; i++) canvasClick(100 + 60 * i, 100 + 40 * i);
        canvasMove(333, 222);
        canvasClick(333, 222, c.button);
        XImage *after = canvasImage();
        EXPECT_EQ(pointCount, 0);
        EXPECT_EQ(countObjects(), 0);
        EXPECT_TRUE(sameImage(before, after));
        XDestroyImage(before);
        XDestroyImage(after);
    }
}

TEST_F(EntryTest, ChoosingAnotherModeRemovesTheOutline) {
    chooseMenu("draw", "filled");
    XImage *before = canvasImage();
    canvasClick(100, 100);
    canvasMove(200, 200);
    chooseMenu("draw", "vector");
    XImage *after = canvasImage();
    EXPECT_EQ(pointCount, 0);
    EXPECT_EQ(graphMode, vectorMode);
    EXPECT_TRUE(sameImage(before, after));
    XDestroyImage(before);
    XDestroyImage(after);
}

TEST_F(EntryTest, MotionWithinAGridCellRedrawsNothing) {
    gridOn = snapOn = true;
    setGridDistance(10);
    chooseMenu("draw", "filled");
    canvasClick(100, 100);
    canvasMove(203, 197);
    XPoint pending = pointBuffer[1];
    EXPECT_EQ(pending.x, 200);
    EXPECT_EQ(pending.y, 200);
    XImage *before = canvasImage();
    for (int d = -4; d <= 4; d += 2) {
        canvasMove(200 + d, 200 - d);
        EXPECT_EQ(pointBuffer[1].x, 200);
        EXPECT_EQ(pointBuffer[1].y, 200);
    }
    XImage *after = canvasImage();
    EXPECT_TRUE(sameImage(before, after));
    canvasClick(207, 212);
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->x2, 110);
    EXPECT_EQ(objectList->y2, 110);
    XDestroyImage(before);
    XDestroyImage(after);
}

TEST_F(EntryTest, SetPointInAModeWithoutAType) {
    graphMode = 10;  // between textMode and pickMode: no mode
    XImage *before = canvasImage();
    testing::internal::CaptureStderr();
    canvasClick(120, 120);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "warning: setPointAct: unallowed graphMode\n");
    XImage *after = canvasImage();
    EXPECT_TRUE(sameImage(before, after));
    EXPECT_EQ(countObjects(), 0);
    EXPECT_EQ(pointCount, 0);
    XDestroyImage(before);
    XDestroyImage(after);
}

TEST_F(EntryTest, ReleaseOfButtonThreeInPickModeDoesNothing) {
    canvasClick(100, 100, 3);
    EXPECT_EQ(graphMode, pickMode);
    EXPECT_EQ(pointCount, 0);
}
