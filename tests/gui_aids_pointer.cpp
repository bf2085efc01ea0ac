// The pointer aids: the coordinate label, the cross-hair and snapping.
#include <gtest/gtest.h>

#include <X11/StringDefs.h>
#include <set>
#include <string>
#include <utility>

#include "canvas/Canvas.h"
#include "canvas/Decorations.h"
#include "canvas/Pick.h"
#include "harness/Editor.h"
#include "objects/Constrain.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"

using namespace harness;

namespace {

const int W = 500, H = 600;

using Pixels = std::set<std::pair<int, int>>;

Pixels difference(XImage *a, XImage *b) {
    Pixels d;
    for (int y = 0; y < a->height; y++)
        for (int x = 0; x < a->width; x++)
            if (XGetPixel(a, x, y) != XGetPixel(b, x, y)) d.insert({x, y});
    return d;
}

// The pixels a cross-hair through (x, y) inverts: the whole column and the
// whole row, except where they meet (inverted twice).
Pixels crossPixels(int x, int y) {
    Pixels p;
    for (int i = 0; i < H; i++)
        if (i != y) p.insert({x, i});
    for (int i = 0; i < W; i++)
        if (i != x) p.insert({i, y});
    return p;
}

// The canvas differs from reference by exactly a cross-hair through (x, y).
::testing::AssertionResult showsCrossAt(XImage *reference, int x, int y) {
    XImage *now = canvasImage();
    Pixels d = difference(reference, now);
    XDestroyImage(now);
    if (d == crossPixels(x, y)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << d.size() << " pixels differ, not a cross-hair through (" << x << ", " << y << ")";
}

::testing::AssertionResult showsNoCross(XImage *reference) {
    XImage *now = canvasImage();
    size_t n = difference(reference, now).size();
    XDestroyImage(now);
    if (n == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << n << " pixels differ from the canvas without cross-hair";
}

// Moves the pointer off the canvas, onto the menu line.
void leaveCanvas() { moveTo(appContext, menuLine, 2, 2); }

struct AidsPointer : testing::Test {
    XImage *clean = nullptr;  // the canvas with the pointer outside
    void start(std::initializer_list<std::string> resources) {
        // Dialogs beside the main window, not over the canvas.
        std::vector<std::string> args = {"-xrm", "*optionsShell.geometry: +620+0"};
        for (const std::string &r : resources) args.insert(args.end(), {"-xrm", r});
        startEditor(args);
        leaveCanvas();
        clean = canvasImage();
    }
    void TearDown() override {
        if (clean) XDestroyImage(clean);
        freeAllObjects();
    }
};

}  // namespace

TEST_F(AidsPointer, LabelShowsPictureCoordinatesUntilThePointerLeaves) {
    start({"*initCross: True"});
    struct {
        int x, y;
        const char *label;
    } cases[] = {
        {100, 500, "x= 100.0 y= 100.0"}, {0, 300, "x=   0.0 y= 300.0"}, {499, 599, "x= 499.0 y=   1.0"}};
    for (auto &c : cases) {
        canvasMove(c.x, c.y);
        EXPECT_EQ(labelOf(coord), c.label);
        EXPECT_TRUE(showsCrossAt(clean, c.x, c.y));
    }
    leaveCanvas();
    EXPECT_EQ(labelOf(coord), "");
    EXPECT_TRUE(showsNoCross(clean));
    EXPECT_FALSE(crossVisible);
    EXPECT_EQ(lastPointerX, -1);
    EXPECT_EQ(lastPointerY, -1);
}

// With grid distance 7 the origin lies on canvas row 595; on it and on
// the origin column the label shows 0.0, never -0.0.
TEST_F(AidsPointer, OriginRowAndColumnShowZero) {
    start({"*initGridDistance: 7"});
    struct {
        int x, y;
        const char *label;
    } cases[] = {{0, 595, "x=   0.0 y=   0.0"}, {100, 595, "x= 100.0 y=   0.0"}, {100, 596, "x= 100.0 y=  -1.0"}};
    for (auto &c : cases) {
        canvasMove(c.x, c.y);
        EXPECT_EQ(labelOf(coord), c.label);
    }
}

TEST_F(AidsPointer, WithSnapTheLabelAndCrossHairMoveFromGridPointToGridPoint) {
    start({"*initGrid: True", "*initSnapGrid: True", "*initCross: True"});
    canvasMove(101, 502);
    EXPECT_EQ(labelOf(coord), "x= 100.0 y= 100.0");
    EXPECT_TRUE(showsCrossAt(clean, 100, 500));
    // Within the cell nothing changes; the label is not even set again.
    XtVaSetValues(coord, XtNlabel, "unchanged", nullptr);
    canvasMove(104, 496);
    canvasMove(96, 504);
    EXPECT_EQ(labelOf(coord), "unchanged");
    EXPECT_TRUE(showsCrossAt(clean, 100, 500));
    canvasMove(106, 504);
    EXPECT_EQ(labelOf(coord), "x= 110.0 y= 100.0");
    EXPECT_TRUE(showsCrossAt(clean, 110, 500));
}

TEST_F(AidsPointer, SwitchingTheCrossHairOnShowsNothingUntilThePointerMoves) {
    start({});
    pressButton(optionsButton);
    pressButton(crossToggle);
    EXPECT_TRUE(crossOn);
    EXPECT_TRUE(showsNoCross(clean));
    canvasMove(200, 300);
    EXPECT_TRUE(showsCrossAt(clean, 200, 300));
}

TEST_F(AidsPointer, CrossHairStaysWholeThroughPartialExposures) {
    start({"*initCross: True"});
    // Grips of a selection are windows over the canvas: hiding them
    // exposes small parts of it, which the cross-hair may cross.
    ObjRecord *box = ObjNew(ObjFilledBox);
    box->x = 200, box->y = 300, box->x2 = 100, box->y2 = 80;
    linkObject(box);
    refreshCommand(nullptr, nullptr, nullptr);
    idle();
    XImage *withBox = canvasImage();
    canvasClick(250, 340);
    ASSERT_EQ(selectedObj, box);
    canvasMove(205, 100);   // the vertical line runs under two grips
    canvasClick(205, 100);  // deselects: the grips go
    ASSERT_EQ(selectedObj, nullptr);
    EXPECT_TRUE(showsCrossAt(withBox, 205, 100));
    canvasMove(400, 500);
    EXPECT_TRUE(showsCrossAt(withBox, 400, 500));
    leaveCanvas();
    EXPECT_TRUE(showsNoCross(withBox));
    XDestroyImage(withBox);
}

TEST_F(AidsPointer, FullRedrawKeepsTheCrossHairWhereThePointerIs) {
    start({"*initCross: True"});
    canvasMove(250, 250);
    clearCanvas(true);  // what a shift or zoom does
    idle();
    EXPECT_TRUE(showsCrossAt(clean, 250, 250));
    canvasMove(260, 270);
    EXPECT_TRUE(showsCrossAt(clean, 260, 270));
}
