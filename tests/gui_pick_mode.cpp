#include <gtest/gtest.h>

#include <X11/StringDefs.h>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/Shift.h"
#include "canvas/View.h"
#include "harness/Editor.h"
#include "harness/Files.h"
#include "objects/Constrain.h"
#include "picfile/Writer.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"

using namespace harness;

namespace {

struct PickTest : testing::Test {
    void SetUp() override { startEditor(); }
    void TearDown() override { freeAllObjects(); }

    // A record as the reader would leave it, drawn.
    ObjRecord *add(ObjType type, float x, float y, float x2, float y2, float x3 = 0, float y3 = 0) {
        ObjRecord *rec = ObjNew(type);
        memset(reinterpret_cast<char *>(rec) + offsetof(ObjRecord, x), 0, sizeof *rec - offsetof(ObjRecord, x));
        rec->x = x, rec->y = y, rec->x2 = x2, rec->y2 = y2, rec->x3 = x3;
        if (type == ObjBezier)
            rec->y3 = y3;
        else
            rec->flags = posCentred;
        linkObject(rec);
        redraw();
        return rec;
    }
    void redraw() {
        refreshCommand(nullptr, nullptr, nullptr);
        idle();
    }
    bool mapped(int i) {
        XWindowAttributes a;
        return XGetWindowAttributes(XtDisplay(canvas), XtWindow(gripSlots[i].grip), &a) && a.map_state == IsViewable;
    }
    std::vector<int> shownGrips() {
        std::vector<int> shown;
        for (int i = 0; i < gripCount; i++)
            if (mapped(i)) shown.push_back(i);
        return shown;
    }
    XImage *redrawnImage() {
        redraw();
        return canvasImage();
    }
};

#define EXPECT_AT(p, px, py)  \
    do {                      \
        XPoint q_ = (p);      \
        EXPECT_EQ(q_.x, px);  \
        EXPECT_EQ(q_.y, py);  \
    } while (0)

}  // namespace

TEST_F(PickTest, ClicksCycleThroughOverlappingObjectsNewestFirst) {
    EXPECT_FALSE(modified);
    ObjRecord *k = add(ObjFramedBox, 200, 200, 100, 100);
    ObjRecord *l = add(ObjFramedBox, 230, 230, 100, 100);
    ObjRecord *m = add(ObjFramedBox, 260, 260, 100, 100);
    ObjRecord *expected[] = {m, l, k, m};
    for (ObjRecord *rec : expected) {
        canvasClick(280, 280);
        EXPECT_EQ(selectedObj, rec);
    }
    EXPECT_EQ(shownGrips(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_AT(gripAt(0), 260, 260);
    EXPECT_AT(gripAt(1), 360, 260);
    EXPECT_AT(gripAt(2), 260, 360);
    EXPECT_AT(gripAt(3), 360, 360);

    canvasClick(450, 100);
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_TRUE(shownGrips().empty());
    canvasClick(450, 100);
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_TRUE(shownGrips().empty());
    EXPECT_FALSE(modified);
}

TEST_F(PickTest, EachTypeShowsGripsOnItsPoints) {
    struct Case {
        ObjType type;
        float x, y, x2, y2, x3, y3;
        XPoint click;
        std::vector<int> grips;
        std::vector<XPoint> at;
    } cases[] = {
        {ObjLine, 100, 100, 200, 150, 0, 0, {150, 120}, {4, 5}, {{100, 100}, {200, 150}}},
        {ObjText, 300, 100, 0, 0, 0, 0, {302, 101}, {4}, {{300, 100}}},
        {ObjBezier, 100, 300, 150, 250, 200, 300, {150, 290}, {4, 5, 6}, {{100, 300}, {200, 300}, {150, 250}}},
        {ObjCircle, 350, 300, 20, 0, 0, 0, {350, 300}, {5}, {{370, 300}}},
        {ObjDisc, 350, 300, 7, 0, 0, 0, {350, 300}, {5}, {{357, 300}}},
        {ObjOval, 100, 450, 80, 60, 10, 0, {140, 480}, {0, 1, 2, 3}, {{100, 450}, {180, 450}, {100, 510}, {180, 510}}},
        {ObjFilledBox, 300, 450, 50, 40, 0, 0, {320, 470}, {0, 1, 2, 3}, {{300, 450}, {350, 450}, {300, 490}, {350, 490}}},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.type);
        ObjRecord *rec = add(c.type, c.x, c.y, c.x2, c.y2, c.x3, c.y3);
        canvasClick(c.click.x, c.click.y);
        ASSERT_EQ(selectedObj, rec);
        EXPECT_EQ(shownGrips(), c.grips);
        for (size_t i = 0; i < c.grips.size(); i++) EXPECT_AT(gripAt(c.grips[i]), c.at[i].x, c.at[i].y);
        deleteCommand(nullptr, nullptr, nullptr);
        EXPECT_TRUE(shownGrips().empty());
    }
}

TEST_F(PickTest, CopyOfAVectorLiesTenPixelsOnAndIsSelected) {
    ObjRecord *vector = add(ObjVector, 0, 0, 30, 0);
    canvasClick(15, 2);
    ASSERT_EQ(selectedObj, vector);
    chooseMenu("edit", "copy");
    ASSERT_EQ(countObjects(), 2);
    ObjRecord *copy = objectList;
    EXPECT_EQ(copy->type, ObjVector);
    EXPECT_EQ(copy->x, 10);
    EXPECT_EQ(copy->y, 10);
    EXPECT_EQ(copy->x2, 40);
    EXPECT_EQ(copy->y2, 10);
    EXPECT_EQ(vector->x2, 30);
    EXPECT_EQ(selectedObj, copy);
    EXPECT_EQ(shownGrips(), (std::vector<int>{4, 5}));
    EXPECT_AT(gripAt(4), 10, 10);
    EXPECT_AT(gripAt(5), 40, 10);
    EXPECT_TRUE(modified);
}

TEST_F(PickTest, CopyAndDeleteWithoutASelectionOnlyRingTheBell) {
    BellCounter bells;
    for (const char *entry : {"delete", "copy"}) {
        SCOPED_TRACE(entry);
        chooseMenu("edit", entry);
        EXPECT_EQ(bells.rung(), 1);
    }
    add(ObjFramedBox, 200, 200, 50, 50);
    XImage *before = canvasImage();
    for (const char *entry : {"delete", "copy"}) {
        SCOPED_TRACE(entry);
        chooseMenu("edit", entry);
        EXPECT_EQ(bells.rung(), 1);
        EXPECT_EQ(countObjects(), 1);
    }
    XImage *after = canvasImage();
    EXPECT_TRUE(sameImage(before, after));
    EXPECT_FALSE(modified);
    XDestroyImage(before);
    XDestroyImage(after);
}

TEST_F(PickTest, DeleteRemovesTheSelectionFromListAndCanvas) {
    BellCounter bells;
    ObjRecord *kept = add(ObjCircle, 100, 500, 20, 0);
    XImage *keptOnly = canvasImage();
    ObjRecord *doomed = add(ObjFramedBox, 80, 480, 200, 60);
    canvasClick(200, 520);
    ASSERT_EQ(selectedObj, doomed);
    chooseMenu("edit", "delete");
    EXPECT_EQ(bells.rung(), 0);
    EXPECT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList, kept);
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_TRUE(shownGrips().empty());
    EXPECT_TRUE(modified);
    XImage *after = canvasImage();
    EXPECT_TRUE(sameImage(keptOnly, after));
    XDestroyImage(keptOnly);
    XDestroyImage(after);
}

TEST_F(PickTest, OtherModesKeepTheSelectionAndPickClearsIt) {
    ObjRecord *box = add(ObjDashedBox, 200, 300, 100, 80, 5);
    canvasClick(250, 340);
    ASSERT_EQ(selectedObj, box);
    chooseMenu("draw", "line");
    EXPECT_EQ(selectedObj, box);
    EXPECT_EQ(shownGrips(), (std::vector<int>{0, 1, 2, 3}));
    chooseMenu("draw", "pick");
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_TRUE(shownGrips().empty());
}

TEST_F(PickTest, GripsFollowAShiftOfTheView) {
    ObjRecord *box = add(ObjFramedBox, 200, 300, 100, 80);
    canvasClick(250, 340);
    ASSERT_EQ(selectedObj, box);
    shiftView(shiftRight);  // the step field holds 10.00
    idle();
    EXPECT_EQ(box->x, 210);
    EXPECT_AT(gripAt(0), 210, 300);
    EXPECT_AT(gripAt(3), 310, 380);
    // Steps of a fraction of a pixel: the grips stay on the object's own
    // points, so a resize keeps the opposite corner where it is.
    strcpy(offsetText, "2.5");
    shiftView(shiftDown);
    shiftView(shiftDown);
    idle();
    EXPECT_EQ(box->y, 305);
    EXPECT_AT(gripAt(0), 210, 305);
    EXPECT_AT(gripAt(1), 310, 305);
    EXPECT_AT(gripAt(2), 210, 385);
    dragGrip(1, 20, -20, 1);
    EXPECT_EQ(box->x, 210);
    EXPECT_EQ(box->y, 285);
    EXPECT_EQ(box->x2, 120);
    EXPECT_EQ(box->y2, 100);
}

TEST_F(PickTest, CircleGripResizesInAllowedStepsAndMoves) {
    ObjRecord *circle = add(ObjCircle, 250, 300, 20, 0);
    canvasClick(250, 300);
    ASSERT_EQ(selectedObj, circle);
    // Pointer offsets from the centre and the radius they give (1 pt units).
    struct {
        int dx, dy;
        float radius;
    } steps[] = {{9, 5, 10}, {7, 0, 7}, {30, -12, 20}, {16, 0, 16}};
    for (auto &s : steps) {
        XPoint grip = gripAt(5);
        dragGrip(5, 250 + s.dx - grip.x, 300 + s.dy - grip.y, 1);
        EXPECT_EQ(circle->x2, s.radius) << s.dx << "," << s.dy;
        EXPECT_EQ(circle->x, 250);
        EXPECT_EQ(circle->y, 300);
        EXPECT_AT(gripAt(5), static_cast<short>(250 + s.radius), 300);
    }
    EXPECT_TRUE(modified);
    dragGrip(5, 30, 40, 2);
    EXPECT_EQ(circle->x, 280);
    EXPECT_EQ(circle->y, 340);
    EXPECT_EQ(circle->x2, 16);
    EXPECT_AT(gripAt(5), 296, 340);
}

TEST_F(PickTest, TopRightGripEnlargesABoxUpAndRight) {
    ObjRecord *box = add(ObjFramedBox, 200, 300, 100, 80);
    canvasClick(250, 340);
    ASSERT_EQ(selectedObj, box);
    dragGrip(1, 40, -30, 1);
    EXPECT_EQ(box->x, 200);
    EXPECT_EQ(box->y, 270);
    EXPECT_EQ(box->x2, 140);
    EXPECT_EQ(box->y2, 110);
    EXPECT_AT(gripAt(1), 340, 270);
    EXPECT_AT(gripAt(2), 200, 380);
    // The outline left at the old place cancels the old lines; the final
    // outline is gone: the canvas shows what a full redraw shows.
    XImage *shown = canvasImage();
    XImage *redrawn = redrawnImage();
    EXPECT_TRUE(sameImage(shown, redrawn));
    XDestroyImage(shown);
    XDestroyImage(redrawn);
}

TEST_F(PickTest, LineEndKeepsToAllowedSlopes) {
    ObjRecord *line = add(ObjLine, 100, 400, 200, 400);
    canvasClick(150, 400);
    ASSERT_EQ(selectedObj, line);
    // End targets (pointer) and where the constrained end lands.
    struct {
        int x, y, endX, endY;
    } targets[] = {{260, 330, 260, 336}, {300, 390, 300, 400}, {230, 270, 230, 270}, {105, 520, 100, 520}, {110, 520, 120, 520}};
    for (auto &t : targets) {
        XPoint grip = gripAt(5);
        dragGrip(5, t.x - grip.x, t.y - grip.y, 1);
        EXPECT_EQ(line->x2, t.endX) << t.x << "," << t.y;
        EXPECT_EQ(line->y2, t.endY) << t.x << "," << t.y;
        EXPECT_EQ(line->x, 100);
        EXPECT_EQ(line->y, 400);
    }
}

TEST_F(PickTest, BezierMovesWholeWithButtonTwoAndOnePointWithButtonOne) {
    ObjRecord *curve = add(ObjBezier, 100, 450, 200, 350, 300, 450);  // start, control, end
    canvasClick(200, 430);
    ASSERT_EQ(selectedObj, curve);
    float x = 100, y = 450;
    for (int grip : {4, 5, 6}) {
        dragGrip(grip, 10, -20, 2);
        x += 10, y -= 20;
        EXPECT_EQ(curve->x, x) << grip;
        EXPECT_EQ(curve->y, y) << grip;
        EXPECT_EQ(curve->x2, x + 100) << grip;
        EXPECT_EQ(curve->y2, y - 100) << grip;
        EXPECT_EQ(curve->x3, x + 200) << grip;
        EXPECT_EQ(curve->y3, y) << grip;
    }
    dragGrip(6, 0, 30, 1);  // the control point alone
    EXPECT_EQ(curve->y2, y - 70);
    EXPECT_EQ(curve->x2, x + 100);
    EXPECT_EQ(curve->x, x);
    EXPECT_EQ(curve->y3, y);
    dragGrip(4, -15, 0, 1);  // the start alone
    EXPECT_EQ(curve->x, x - 15);
    EXPECT_EQ(curve->x3, x + 200);
    EXPECT_AT(gripAt(4), static_cast<short>(x - 15), static_cast<short>(y));
}

TEST_F(PickTest, TextMovesWithEitherButton) {
    ObjRecord *text = add(ObjText, 300, 200, 0, 0);
    ObjSetText(text, "t");
    canvasClick(301, 201);
    ASSERT_EQ(selectedObj, text);
    dragGrip(4, 20, 10, 1);
    EXPECT_EQ(text->x, 320);
    EXPECT_EQ(text->y, 210);
    dragGrip(4, -40, 5, 2);
    EXPECT_EQ(text->x, 280);
    EXPECT_EQ(text->y, 215);
    EXPECT_STREQ(text->text, "t");
}

TEST_F(PickTest, MovedDashedBoxGetsDashLengthFive) {
    ObjRecord *box = add(ObjDashedBox, 200, 300, 100, 80, 2);
    canvasClick(250, 340);
    ASSERT_EQ(selectedObj, box);
    dragGrip(0, 10, 15, 2);
    EXPECT_EQ(box->x, 210);
    EXPECT_EQ(box->y, 315);
    EXPECT_EQ(box->x2, 100);
    EXPECT_EQ(box->y2, 80);
    EXPECT_EQ(box->x3, 5);
}

TEST_F(PickTest, MovedPointSnapsToTheGrid) {
    gridOn = snapOn = true;
    setGridDistance(10);
    ObjRecord *box = add(ObjFilledBox, 203, 297, 50, 40);
    canvasClick(220, 320);
    ASSERT_EQ(selectedObj, box);
    dragGrip(0, 14, 9, 2);  // to (217, 306), snapped (220, 310)
    EXPECT_EQ(box->x, 220);
    EXPECT_EQ(box->y, 310);
    EXPECT_EQ(box->x2, 50);
    EXPECT_EQ(box->y2, 40);
}

TEST_F(PickTest, DragLeavesTheOutlineAtTheOldPlaceOnly) {
    ObjRecord *oval = add(ObjOval, 200, 300, 100, 80, 20);
    canvasClick(250, 340);
    ASSERT_EQ(selectedObj, oval);
    dragGrip(3, 50, 60, 2);
    EXPECT_EQ(oval->x, 250);
    EXPECT_EQ(oval->y, 360);
    XImage *shown = canvasImage();
    // Old place: the outline rectangle hides the oval's straight edges and
    // shows the corners the oval rounds off (away from where the grips
    // sat, which kept the outline off the canvas under them).
    EXPECT_EQ(XGetPixel(shown, 250, 300), canvasBackground());
    EXPECT_EQ(XGetPixel(shown, 208, 300), canvasForeground());
    EXPECT_EQ(XGetPixel(shown, 200, 308), canvasForeground());
    // New place: the oval, without an outline.
    EXPECT_EQ(XGetPixel(shown, 300, 360), canvasForeground());
    EXPECT_EQ(XGetPixel(shown, 258, 360), canvasBackground());
    XDestroyImage(shown);
}

// The outline at a circle's old place covers exactly the circle drawn
// there: moved or resized, it leaves no pixel behind.
TEST_F(PickTest, CircleDraggedByItsGripLeavesNothingBehind) {
    const struct {
        float radius;
        int dx, dy, button;
    } cases[] = {{40, 60, 30, 2}, {40, 50, 0, 1}, {13, -70, 40, 2}, {100, -30, 0, 1}};
    for (auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.radius) + " by button " + std::to_string(c.button));
        deselect();
        freeAllObjects();
        ObjRecord *circle = add(ObjCircle, 250, 300, c.radius, 0);
        canvasClick(250, 300);
        ASSERT_EQ(selectedObj, circle);
        dragGrip(5, c.dx, c.dy, c.button);
        EXPECT_FALSE(circle->x2 == c.radius && circle->x == 250);  // it did change
        XImage *shown = canvasImage();
        XImage *redrawn = redrawnImage();
        EXPECT_TRUE(sameImage(shown, redrawn));
        XDestroyImage(shown);
        XDestroyImage(redrawn);
    }
}

namespace {

void ignoreMessage(const char *) {}

// The file the writer makes of the drawing as it stands.
std::string savedText() {
    std::string dir = scratchDir(), path = dir + "/p.tex";
    std::string text = savePicture(path.c_str(), ignoreMessage, ".old") ? readFile(path) : "";
    unlink(path.c_str());
    unlink((path + ".old").c_str());
    rmdir(dir.c_str());
    return text;
}

}  // namespace

TEST_F(PickTest, SavedFileShowsTheGeometryAfterEveryDrag) {
    struct {
        ObjType type;
        float before[5];
        int grip, dx, dy, button;
        float after[5];  // x, y, x2, y2, x3
    } cases[] = {
        {ObjFramedBox, {200, 300, 100, 80, 0}, 1, 40, -30, 1, {200, 270, 140, 110, 0}},
        {ObjDashedBox, {200, 300, 100, 80, 2}, 3, -20, 10, 2, {180, 310, 100, 80, 5}},
        {ObjCircle, {250, 300, 20, 0, 0}, 5, -11, 5, 1, {250, 300, 10, 0, 0}},
        {ObjVector, {100, 400, 200, 400, 0}, 5, 60, -70, 1, {100, 400, 260, 320, 0}},
        {ObjText, {300, 200, 0, 0, 0}, 4, 25, 15, 2, {325, 215, 0, 0, 0}},
    };
    // Positions in the file are relative to the drawing's bounding box: a
    // second object that stays put makes a move show.
    auto anchor = [this] { add(ObjFilledBox, 20, 560, 4, 4); };
    for (auto &c : cases) {
        SCOPED_TRACE(c.type);
        anchor();
        ObjRecord *rec = add(c.type, c.before[0], c.before[1], c.before[2], c.before[3], c.before[4]);
        ObjSetText(rec, "t");
        std::string old = savedText();
        canvasClick(static_cast<int>(c.before[0]) + 1, static_cast<int>(c.before[1]) + 1);
        ASSERT_EQ(selectedObj, rec);
        dragGrip(c.grip, c.dx, c.dy, c.button);
        EXPECT_TRUE(modified);
        std::string dragged = savedText();
        EXPECT_FALSE(modified);
        // The same file as a drawing made with the new geometry.
        deselect();
        freeAllObjects();
        anchor();
        ObjRecord *made = add(c.type, c.after[0], c.after[1], c.after[2], c.after[3], c.after[4]);
        ObjSetText(made, "t");
        ASSERT_FALSE(dragged.empty());
        EXPECT_NE(dragged, old);
        EXPECT_EQ(dragged, savedText());
        freeAllObjects();
        redraw();
    }
}

TEST_F(PickTest, AButtonPressedOutsideTheProgramDragsNoGrip) {
    ObjRecord *box = add(ObjFramedBox, 200, 300, 100, 80);
    canvasClick(250, 340);
    ASSERT_EQ(selectedObj, box);
    dragGrip(3, 10, 10, 2);  // leaves a last drag point a stray motion could reuse
    XImage *before = canvasImage();
    // Pressed on the screen's root, moved across a grip and released on it.
    Dimension w = 0, h = 0;
    XtVaGetValues(gripSlots[3].grip, XtNwidth, &w, XtNheight, &h, nullptr);
    moveTo(appContext, topLevel, 1000, 900);
    press(appContext, 2);
    moveTo(appContext, gripSlots[3].grip, w / 2 - 3, h / 2);
    moveTo(appContext, gripSlots[3].grip, w / 2 + 3, h / 2 + 3);
    release(appContext, 2);
    EXPECT_EQ(box->x, 210);
    EXPECT_EQ(box->y, 310);
    EXPECT_EQ(box->x2, 100);
    EXPECT_EQ(box->y2, 80);
    XImage *after = canvasImage();
    EXPECT_TRUE(sameImage(before, after));
    XDestroyImage(before);
    XDestroyImage(after);
}

// A multiput of four circles 20 pixels apart: picked, copied, stretched and
// deleted as one object.
TEST_F(PickTest, MultiputIsOneObjectOfItsCopies) {
    ObjRecord *multi = add(ObjMultiput, 100, 100, 20, 0);
    multi->count = 4;
    ObjRecord *circle = ObjNew(ObjCircle);
    circle->x = 100, circle->y = 100, circle->x2 = 5;
    multi->body = circle;
    redraw();
    XImage *image = canvasImage();
    for (int x : {100, 120, 140, 160}) EXPECT_TRUE(XGetPixel(image, x + 5, 100) == canvasForeground() ||
                                                   XGetPixel(image, x + 4, 100) == canvasForeground()) << x;
    XDestroyImage(image);

    canvasClick(145, 100);  // on the third copy
    ASSERT_EQ(selectedObj, multi);
    EXPECT_EQ(shownGrips(), (std::vector<int>{4, 5}));
    EXPECT_AT(gripAt(4), 100, 100);
    EXPECT_AT(gripAt(5), 160, 100);

    chooseMenu("edit", "copy");
    ASSERT_EQ(countObjects(), 2);
    ObjRecord *copy = objectList;
    EXPECT_EQ(copy->type, ObjMultiput);
    EXPECT_EQ(copy->count, 4);
    ASSERT_NE(copy->body, nullptr);
    EXPECT_NE(copy->body, circle);  // a body of its own
    EXPECT_EQ(copy->body->x, 110);
    EXPECT_EQ(circle->x, 100);

    // The last copy's grip sets the step: 30 pixels further over three steps.
    dragGrip(5, 30, 0, 1);
    EXPECT_EQ(copy->x, 110);
    EXPECT_EQ(copy->x2, 30);
    EXPECT_EQ(copy->count, 4);
    // The first copy's grip moves the whole, body and all.
    dragGrip(4, 0, 40, 2);
    EXPECT_EQ(copy->y, 150);
    EXPECT_EQ(copy->body->y, 150);
    EXPECT_EQ(copy->x2, 30);

    chooseMenu("edit", "delete");
    EXPECT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList, multi);
    EXPECT_EQ(multi->body, circle);
}
