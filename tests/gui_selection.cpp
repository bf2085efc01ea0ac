// Selections of several objects through real input: the rubber band,
// Shift and button 1, Ctrl+A; Copy, Delete, the arrow keys and a button-2
// drag on all of them, each one undo step; what New, Load, zoom and undo
// leave of a selection.
#include <gtest/gtest.h>

#include <X11/StringDefs.h>

#include <fstream>
#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/PointEntry.h"
#include "canvas/Selection.h"
#include "harness/Editor.h"
#include "harness/Files.h"
#include "objects/Constrain.h"
#include "objects/History.h"
#include "objects/ObjRecord.h"
#include "shell/Dialogs.h"
#include "shell/Globals.h"
#include "shell/MainWindow.h"

using namespace harness;

namespace {

void saveKey() { controlKey(appContext, "s"); }
void undoKey() { controlKey(appContext, "z"); }

// Saves under path, which is the drawing's name or, for a drawing without
// one, becomes it; gives the file.
std::string saved(const std::string &path) {
    canvasMove(490, 590);  // the keys go where the pointer is
    saveKey();
    if (shellUp(fileShell)) nominateFile(path);
    return readFile(path);
}

void shiftClick(int x, int y) {
    holdKey(appContext, "Shift_L", true);
    canvasClick(x, y);
    holdKey(appContext, "Shift_L", false);
}

unsigned long pixelAt(int x, int y) {
    XImage *image = canvasImage();
    unsigned long p = XGetPixel(image, x, y);
    XDestroyImage(image);
    return p;
}

// A picture with one object of each kind a move treats alike, a \multiput
// and a \put the editor keeps as written among them; one point is one
// pixel.
const char kinds[] =
    "\\setlength{\\unitlength}{1pt}\n"
    "\\begin{picture}(200,100)(0,0)\n"
    "\\put(0,0){\\line(2,1){40}}\n"
    "\\put(50,10){\\vector(1,0){30}}\n"
    "\\put(100,20){\\circle{20}}\n"
    "\\put(120,0){\\framebox(30,15){box}}\n"
    "\\multiput(10,60)(20,0){3}{\\line(0,1){10}}\n"
    "\\put(100,70){\\shortstack{a\\\\b}}\n"
    "\\qbezier(0,90)(50,100)(100,90)\n"
    "\\end{picture}\n";

std::string kindsFile() {
    std::string path = scratchDir() + "/kinds.tex";
    std::ofstream(path) << kinds;
    return path;
}

ObjRecord *firstOfType(ObjType type) {
    for (ObjRecord *rec = objectList; rec; rec = rec->next)
        if (rec->type == type) return rec;
    return nullptr;
}

// Three lines from x = 100 to 200 at y = 100, 150 and 200, in pick mode.
void threeLines() {
    chooseMenu("draw", "line");
    for (int y : {100, 150, 200}) {
        canvasClick(100, y);
        canvasClick(200, y);
        canvasClick(200, y, 3);
    }
    chooseMenu("draw", "pick");
}

}  // namespace

TEST(Selection, ABandAroundTwoOfThreeLinesSelectsThemAndDeleteLeavesTheThird) {
    startEditor();
    const std::string path = scratchDir() + "/band.tex";
    threeLines();
    const std::string three = saved(path);
    ObjRecord *top = objectList->next->next;  // the line at y = 100
    // From empty canvas round the lower two: only what lies wholly inside.
    drag(appContext, canvas, 80, 130, 220, 205, 1);
    EXPECT_EQ(groupSize(), 2);
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_FALSE(inGroup(top));
    EXPECT_FALSE(anyGripMapped());
    EXPECT_TRUE(noResidue());  // the band's outline is gone
    key(appContext, "Delete");
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList, top);
    EXPECT_EQ(groupSize(), 0);
    EXPECT_EQ(saved(path), "{% Picture saved by vexilo 2.4.1\n\\unitlength=1.000000pt\n\\begin{picture}"
                           "(100.00,0.00)(0.00,0.00)\n\\put(0.00,0.00){\\line(1,0){100.00}}\n\\end{picture}}\n");
    undoKey();  // one step for both
    EXPECT_EQ(countObjects(), 3);
    EXPECT_EQ(saved(path), three);
    EXPECT_TRUE(noResidue());

    // A band that takes in nothing drops the selection; a click without a
    // drag on empty canvas too.
    drag(appContext, canvas, 80, 80, 220, 220, 1);
    EXPECT_EQ(groupSize(), 3);
    drag(appContext, canvas, 300, 300, 400, 400, 1);
    EXPECT_EQ(groupSize(), 0);
    drag(appContext, canvas, 80, 80, 220, 220, 1);
    canvasClick(400, 400);
    EXPECT_EQ(groupSize(), 0);
    EXPECT_EQ(selectedObj, nullptr);
    // Pressed on an object, button 1 draws no band: the release picks.
    drag(appContext, canvas, 150, 100, 250, 250, 1);
    EXPECT_EQ(groupSize(), 0);
    EXPECT_EQ(selectedObj, nullptr);
    drag(appContext, canvas, 150, 100, 152, 101, 1);
    EXPECT_EQ(selectedObj, top);
}

TEST(Selection, EscapeEndsABandWithoutAChange) {
    startEditor();
    threeLines();
    canvasClick(150, 150);
    ObjRecord *middle = selectedObj;
    ASSERT_NE(middle, nullptr);
    XImage *still = canvasImage();
    canvasMove(80, 80);
    press(appContext, 1);
    canvasMove(150, 170);
    canvasMove(220, 220);
    XImage *banding = canvasImage();
    EXPECT_FALSE(sameImage(still, banding));  // the band follows the pointer
    XDestroyImage(still);
    XDestroyImage(banding);
    key(appContext, "Escape");
    release(appContext, 1);
    EXPECT_EQ(selectedObj, middle);
    EXPECT_TRUE(noResidue());
}

TEST(Selection, ShiftAndButtonOneAddAndTakeOutObjectsShownByMarks) {
    startEditor();
    drawObject("filled", {{100, 100}, {140, 130}});
    drawObject("filled", {{200, 100}, {240, 130}});
    drawObject("filled", {{300, 100}, {340, 130}});
    ObjRecord *c = objectList, *b = c->next, *a = b->next;
    chooseMenu("draw", "pick");
    const unsigned long ink = canvasForeground(), paper = canvasBackground();
    canvasClick(120, 115);
    ASSERT_EQ(selectedObj, a);
    shiftClick(220, 115);
    EXPECT_EQ(groupSize(), 2);
    EXPECT_TRUE(inGroup(a) && inGroup(b));
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_FALSE(anyGripMapped());
    // A's mark on its corner at (100, 100): a frame round paper, over the box.
    EXPECT_EQ(pixelAt(97, 97), ink);
    EXPECT_EQ(pixelAt(103, 100), ink);
    EXPECT_EQ(pixelAt(101, 101), paper);
    EXPECT_EQ(pixelAt(201, 101), paper);  // and B's
    EXPECT_EQ(pixelAt(301, 101), ink);    // C has none
    EXPECT_TRUE(noResidue());

    shiftClick(120, 115);  // A out: B alone, with its grips
    EXPECT_EQ(groupSize(), 0);
    EXPECT_EQ(selectedObj, b);
    EXPECT_TRUE(anyGripMapped());
    EXPECT_EQ(pixelAt(101, 101), ink);
    EXPECT_EQ(pixelAt(97, 97), paper);
    shiftClick(320, 115);
    EXPECT_EQ(groupSize(), 2);
    EXPECT_TRUE(inGroup(b) && inGroup(c));
    shiftClick(450, 300);  // on nothing: nothing changes
    EXPECT_EQ(groupSize(), 2);
    shiftClick(320, 115);
    EXPECT_EQ(selectedObj, b);
    EXPECT_TRUE(noResidue());

    // Shift and button 1 on a grip take its object out; nothing is dragged.
    Dimension w = 0, h = 0;
    XtVaGetValues(gripSlots[3].grip, XtNwidth, &w, XtNheight, &h, nullptr);
    holdKey(appContext, "Shift_L", true);
    drag(appContext, gripSlots[3].grip, w / 2, h / 2, w / 2 + 20, h / 2 + 20, 1);
    holdKey(appContext, "Shift_L", false);
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_FALSE(anyGripMapped());
    EXPECT_EQ(b->x2, 40);
    EXPECT_TRUE(noResidue());
}

TEST(Selection, CtrlAFromADrawModeThenCopyDoublesTheDrawingInOneStep) {
    const std::string path = kindsFile();
    startEditor({path});
    const std::string before = saved(path);
    const int n = countObjects();
    ASSERT_EQ(n, 7);
    chooseMenu("draw", "line");
    canvasClick(300, 500);  // an entry under way goes
    controlKey(appContext, "a");
    EXPECT_EQ(graphMode, pickMode);
    EXPECT_EQ(pointCount, 0);
    EXPECT_EQ(markedEntry, drawMenuTable[0].entry);
    EXPECT_EQ(groupSize(), n);
    controlKey(appContext, "d");
    ASSERT_EQ(countObjects(), 2 * n);
    // The copies come first, each its original ten pixels right and down,
    // and they are the selection now.
    ObjRecord *copy = objectList, *original = objectList;
    for (int i = 0; i < n; i++) original = original->next;
    for (int i = 0; i < n; i++, copy = copy->next, original = original->next) {
        SCOPED_TRACE(i);
        EXPECT_EQ(copy->type, original->type);
        EXPECT_EQ(copy->x, original->x + 10);
        EXPECT_EQ(copy->y, original->y + 10);
        EXPECT_STREQ(copy->text, original->text);
        EXPECT_TRUE(inGroup(copy));
        EXPECT_FALSE(inGroup(original));
        if (copy->type == ObjMultiput) {
            EXPECT_EQ(copy->body->x, original->body->x + 10);
        }
        if (copy->type == ObjVerbatim) {
            EXPECT_STREQ(copy->source, original->source);
        }
    }
    EXPECT_TRUE(noResidue());
    // Worked out by hand: the copies, written first, lie 10 right and 10
    // down of their originals, sizes and slopes as they were.
    EXPECT_EQ(saved(path), "\\setlength{\\unitlength}{1pt}\n"
                           "\\begin{picture}(200,100)(0,0)\n"
                           "\\put(10.00,-10.00){\\line(2,1){40.00}}\n"
                           "\\put(60.00,0.00){\\vector(1,0){30.00}}\n"
                           "\\put(110.00,10.00){\\circle{20.00}}\n"
                           "\\put(130.00,-10.00){\\framebox(30.00,15.00){box}}\n"
                           "\\multiput(20.00,50.00)(20.00,0.00){3}{\\line(0,1){10.00}}\n"
                           "\\put(110.00,60.00){\\shortstack{a\\\\b}}\n"
                           "\\qbezier(10.00,80.00)(60.00,90.00)(110.00,80.00)\n"
                           "\\put(0.00,0.00){\\line(2,1){40.00}}\n"
                           "\\put(50.00,10.00){\\vector(1,0){30.00}}\n"
                           "\\put(100.00,20.00){\\circle{20.00}}\n"
                           "\\put(120.00,0.00){\\framebox(30.00,15.00){box}}\n"
                           "\\multiput(10.00,60.00)(20.00,0.00){3}{\\line(0,1){10.00}}\n"
                           "\\put(100.00,70.00){\\shortstack{a\\\\b}}\n"
                           "\\qbezier(0.00,90.00)(50.00,100.00)(100.00,90.00)\n"
                           "\\end{picture}\n");
    undoKey();
    EXPECT_EQ(countObjects(), n);
    EXPECT_EQ(groupSize(), 0);  // the copies are gone, and with them the selection
    EXPECT_EQ(saved(path), before);
}

TEST(Selection, ButtonTwoOnASelectedObjectMovesTheGroupByOneVector) {
    const std::string path = kindsFile();
    startEditor({path});
    const std::string before = saved(path);  // numbers as the editor writes them
    canvasMove(250, 300);
    controlKey(appContext, "a");
    ObjRecord *circle = firstOfType(ObjCircle);
    ASSERT_NE(circle, nullptr);
    const int cx = static_cast<int>(circle->x), cy = static_cast<int>(circle->y);
    XImage *still = canvasImage();
    canvasMove(cx, cy);
    press(appContext, 2);
    canvasMove(cx + 10, cy - 5);
    canvasMove(cx + 30, cy - 20);
    XImage *moving = canvasImage();
    EXPECT_FALSE(sameImage(still, moving));  // the outlines follow the pointer
    XDestroyImage(still);
    XDestroyImage(moving);
    release(appContext, 2);
    EXPECT_EQ(groupSize(), 7);
    EXPECT_TRUE(noResidue());
    // Worked out by hand: every point 30 right and 20 up, every size and
    // slope as it was; the multiput's copies and the kept \put move along.
    EXPECT_EQ(saved(path), "\\setlength{\\unitlength}{1pt}\n"
                           "\\begin{picture}(200,100)(0,0)\n"
                           "\\put(30.00,20.00){\\line(2,1){40.00}}\n"
                           "\\put(80.00,30.00){\\vector(1,0){30.00}}\n"
                           "\\put(130.00,40.00){\\circle{20.00}}\n"
                           "\\put(150.00,20.00){\\framebox(30.00,15.00){box}}\n"
                           "\\multiput(40.00,80.00)(20.00,0.00){3}{\\line(0,1){10.00}}\n"
                           "\\put(130.00,90.00){\\shortstack{a\\\\b}}\n"
                           "\\qbezier(30.00,110.00)(80.00,120.00)(130.00,110.00)\n"
                           "\\end{picture}\n");
    undoKey();
    EXPECT_EQ(saved(path), before);

    // With the grid on: the pressed object's point lands on the grid, and
    // the others move with it by the same vector.
    gridOn = snapOn = true;
    setGridDistance(10);
    const float lineX = firstOfType(ObjLine)->x, lineY = firstOfType(ObjLine)->y;
    drag(appContext, canvas, cx, cy, cx + 23, cy - 17, 2);
    EXPECT_EQ(circle->x, cx + 20);
    EXPECT_EQ(circle->y, cy - 20);
    EXPECT_EQ(firstOfType(ObjLine)->x, lineX + 20);
    EXPECT_EQ(firstOfType(ObjLine)->y, lineY - 20);
}

TEST(Selection, ArrowKeysMoveEveryObjectAndEditTextWantsOneText) {
    startEditor();
    drawObject("text", {{100, 100}});
    placeText("one");
    drawObject("text", {{200, 100}});
    placeText("two");
    chooseMenu("draw", "pick");
    controlKey(appContext, "a");
    ASSERT_EQ(groupSize(), 2);
    chooseMenu("edit", "editText");
    EXPECT_FALSE(shellUp(find("*textPlacement")));
    key(appContext, "Right");
    key(appContext, "Down");
    EXPECT_EQ(objectList->x, 201);
    EXPECT_EQ(objectList->y, 101);
    EXPECT_EQ(objectList->next->x, 101);
    EXPECT_EQ(objectList->next->y, 101);
    EXPECT_EQ(groupSize(), 2);
    undoKey();  // each press one step, for both
    EXPECT_EQ(objectList->x, 201);
    EXPECT_EQ(objectList->y, 100);
    EXPECT_EQ(objectList->next->x, 101);
    EXPECT_TRUE(noResidue());
}

TEST(Selection, UndoTakesObjectsOutOfTheSelectionUntilNoneIsLeft) {
    startEditor();
    threeLines();
    controlKey(appContext, "a");
    ASSERT_EQ(groupSize(), 3);
    ObjRecord *second = objectList->next;
    undoKey();  // the newest line goes
    EXPECT_EQ(groupSize(), 2);
    undoKey();  // one left: it is the selection, with its grips
    EXPECT_EQ(groupSize(), 0);
    EXPECT_EQ(countObjects(), 1);
    EXPECT_NE(selectedObj, nullptr);
    EXPECT_TRUE(anyGripMapped());
    undoKey();
    EXPECT_EQ(selectedObj, nullptr);
    BellCounter bells;
    key(appContext, "Delete");
    EXPECT_EQ(bells.rung(), 1);
    // Redone, the lines are back but not selected; the records are the same.
    controlKey(appContext, "y");
    controlKey(appContext, "y");
    EXPECT_EQ(objectList, second);
    EXPECT_EQ(groupSize(), 0);
    EXPECT_TRUE(noResidue());
}

TEST(Selection, NewLoadAndZoomDropASelectionOfSeveral) {
    const std::string path = kindsFile();
    startEditor({"-xrm", "*zoomShell.geometry: +620+600", "-xrm", "*shiftShell.geometry: +620+300", path});
    canvasMove(250, 300);
    controlKey(appContext, "a");
    ASSERT_EQ(groupSize(), 7);
    // Load: the old records are freed; nothing may act on them after.
    controlKey(appContext, "o");
    nominateFile(path);
    EXPECT_EQ(groupSize(), 0);
    EXPECT_EQ(selectedObj, nullptr);
    BellCounter bells;
    key(appContext, "Delete");
    key(appContext, "Left");
    EXPECT_EQ(bells.rung(), 2);
    ObjRecord *circle = firstOfType(ObjCircle);
    drag(appContext, canvas, static_cast<int>(circle->x), static_cast<int>(circle->y), 300, 300, 2);
    EXPECT_FALSE(modified);

    controlKey(appContext, "a");
    // A shift of the view keeps the selection, its marks on the objects.
    pressButton(shiftButton);
    pressButton(XtNameToWidget(shiftShell, "moveBase.right"));
    pressButton(XtNameToWidget(shiftShell, "moveBase.done"));
    EXPECT_EQ(groupSize(), 7);
    EXPECT_EQ(pixelAt(static_cast<int>(circle->x) - 3, static_cast<int>(circle->y) - 3), canvasForeground());
    EXPECT_TRUE(noResidue());
    pressButton(zoomButton);
    typeInto(factorField, "200");
    key(appContext, "Return");
    EXPECT_EQ(groupSize(), 0);
    EXPECT_TRUE(noResidue());

    canvasMove(250, 300);
    controlKey(appContext, "a");
    key(appContext, "Delete");
    EXPECT_EQ(countObjects(), 0);
    undoKey();
    controlKey(appContext, "a");
    controlKey(appContext, "n");  // back as loaded: New asks nothing
    EXPECT_EQ(groupSize(), 0);
    EXPECT_EQ(countObjects(), 0);
    key(appContext, "Delete");
    EXPECT_EQ(bells.rung(), 1);
}
