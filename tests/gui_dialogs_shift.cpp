// The shift dialog: moving the view in steps and centring the drawing.
#include <gtest/gtest.h>

#include <X11/StringDefs.h>
#include <X11/Xaw/Label.h>
#include <ostream>
#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/PointEntry.h"
#include "canvas/View.h"
#include "harness/Editor.h"
#include "objects/Constrain.h"
#include "shell/Globals.h"

using namespace harness;

namespace {

struct DialogsShift : testing::Test {
    void SetUp() override {
        // The dialog beside the main window, not over the canvas.
        startEditor({"-xrm", "*shiftShell.geometry: +620+300"});
        pressButton(shiftButton);
    }
    void TearDown() override { freeAllObjects(); }
    void press(const char *name) {
        pressButton(XtNameToWidget(shiftShell, (std::string("moveBase.") + name).c_str()));
    }
    int ink() {
        XImage *im = canvasImage();
        int n = inkCount(im);
        XDestroyImage(im);
        return n;
    }
};

struct StepCase {
    const char *button;
    const char *step;
    int dx, dy;
};
std::ostream &operator<<(std::ostream &o, const StepCase &c) {
    return o << c.button << " by '" << c.step << "'";
}

struct DialogsShiftStep : DialogsShift, testing::WithParamInterface<StepCase> {};

}  // namespace

TEST_P(DialogsShiftStep, MovesTheDrawingNotItsPictureCoordinates) {
    chooseMenu("draw", "filled");
    canvasClick(200, 200);
    canvasClick(260, 240);
    ASSERT_EQ(countObjects(), 1);
    std::string corner = (canvasMove(200, 200), labelOf(coord));
    XImage *before = canvasImage();
    float ox = originX, oy = originY;
    typeInto(offsetField, GetParam().step);

    press(GetParam().button);
    const int dx = GetParam().dx, dy = GetParam().dy;
    EXPECT_EQ(objectList->x, 200 + dx);
    EXPECT_EQ(objectList->y, 200 + dy);
    EXPECT_EQ(originX, ox + dx);
    EXPECT_EQ(originY, oy + dy);
    XImage *after = canvasImage();
    int moved = 0, wrong = 0;
    for (int y = 0; y < before->height; y++)
        for (int x = 0; x < before->width; x++) {
            bool was = XGetPixel(before, x, y) != canvasBackground();
            moved += was;
            int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= after->width || ny >= after->height) {
                wrong += was;
                continue;
            }
            if (was != (XGetPixel(after, nx, ny) != canvasBackground())) wrong++;
        }
    EXPECT_GT(moved, 0);
    EXPECT_EQ(wrong, 0);
    XDestroyImage(before);
    XDestroyImage(after);
    canvasMove(200 + dx, 200 + dy);
    EXPECT_EQ(labelOf(coord), corner);
}

INSTANTIATE_TEST_SUITE_P(Buttons, DialogsShiftStep,
                         testing::Values(StepCase{"right", "10.00", 10, 0}, StepCase{"left", "10.00", -10, 0},
                                         StepCase{"up", "10.00", 0, -10}, StepCase{"down", "10.00", 0, 10},
                                         StepCase{"right", "abc", 1, 0}));

TEST_F(DialogsShift, CentreOfAnEmptyPictureRedrawsWithoutMoving) {
    float ox = originX, oy = originY;
    // Something the object list does not hold: only a redraw removes it.
    XFillRectangle(XtDisplay(canvas), XtWindow(canvas), rulerGC, 100, 100, 50, 50);
    ASSERT_GT(ink(), 0);
    press("center");
    EXPECT_EQ(ink(), 0);
    EXPECT_EQ(originX, ox);
    EXPECT_EQ(originY, oy);
}

TEST_F(DialogsShift, ShiftDuringALineEntryLeavesNoOutline) {
    chooseMenu("draw", "line");
    canvasClick(100, 100);
    canvasMove(200, 150);
    ASSERT_GT(ink(), 0);
    press("right");
    EXPECT_EQ(pointCount, 0);
    EXPECT_EQ(ink(), 0);
    canvasMove(300, 300);  // a new entry begins with the next click only
    EXPECT_EQ(ink(), 0);
    EXPECT_EQ(countObjects(), 0);
}

TEST_F(DialogsShift, ChildrenKeepTheirFixedPlaces) {
    Widget base = XtNameToWidget(shiftShell, "moveBase");
    Dimension width = 0, height = 0;
    XtVaGetValues(base, XtNwidth, &width, XtNheight, &height, nullptr);
    EXPECT_EQ(width, 68);
    EXPECT_EQ(height, 120);
    struct {
        const char *name;
        int x, y, bitmapWidth, bitmapHeight;
    } children[] = {{"up", 0, 0, 35, 20},     {"right", 46, 0, 20, 35}, {"left", 0, 27, 20, 35},
                    {"down", 31, 42, 35, 20}, {"center", 31, 27, 8, 8}, {"offset", 2, 68, 0, 0},
                    {"done", 2, 98, 0, 0}};
    for (auto &c : children) {
        Widget w = XtNameToWidget(base, c.name);
        ASSERT_NE(w, nullptr) << c.name;
        Position x = -1, y = -1;
        XtVaGetValues(w, XtNx, &x, XtNy, &y, nullptr);
        EXPECT_EQ(x, c.x) << c.name;
        EXPECT_EQ(y, c.y) << c.name;
        if (!c.bitmapWidth) continue;
        Dimension border = 1;
        Pixmap bitmap = None;
        XtVaGetValues(w, XtNborderWidth, &border, XtNbitmap, &bitmap, nullptr);
        EXPECT_EQ(border, 0) << c.name;
        Window root;
        int bx, by;
        unsigned int bw = 0, bh = 0, bb, depth = 0;
        ASSERT_TRUE(XGetGeometry(XtDisplay(w), bitmap, &root, &bx, &by, &bw, &bh, &bb, &depth)) << c.name;
        EXPECT_EQ(bw, static_cast<unsigned>(c.bitmapWidth)) << c.name;
        EXPECT_EQ(bh, static_cast<unsigned>(c.bitmapHeight)) << c.name;
        EXPECT_EQ(depth, 1u) << c.name;
    }
    // Every child whole inside the dialog, and the buttons apart.
    std::vector<XRectangle> buttons;
    for (auto &c : children) {
        Widget w = XtNameToWidget(base, c.name);
        Position x = 0, y = 0;
        Dimension cw = 0, ch = 0, border = 0;
        XtVaGetValues(w, XtNx, &x, XtNy, &y, XtNwidth, &cw, XtNheight, &ch, XtNborderWidth, &border, nullptr);
        int right = x + cw + 2 * border, bottom = y + ch + 2 * border;
        EXPECT_LE(right, width) << c.name;
        EXPECT_LE(bottom, height) << c.name;
        for (const XRectangle &r : buttons)
            EXPECT_TRUE(x >= r.x + r.width || right <= r.x || y >= r.y + r.height || bottom <= r.y) << c.name;
        buttons.push_back({x, y, static_cast<unsigned short>(right - x), static_cast<unsigned short>(bottom - y)});
    }
    Dimension internal = 0, fieldWidth = 0;
    XtVaGetValues(XtNameToWidget(base, "center"), XtNinternalWidth, &internal, nullptr);
    XtVaGetValues(offsetField, XtNwidth, &fieldWidth, nullptr);
    EXPECT_EQ(internal, 2);
    EXPECT_EQ(fieldWidth, 54);
    EXPECT_EQ(labelOf(XtNameToWidget(base, "done")), "Done");
}
