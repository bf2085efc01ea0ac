// Undo and redo through real input: whole sessions saved at every state,
// undo in the middle of an entry or a drag, the Edit menu's entries.
#include <gtest/gtest.h>

#include <X11/StringDefs.h>

#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/PointEntry.h"
#include "harness/Editor.h"
#include "harness/Files.h"
#include "objects/History.h"
#include "objects/ObjRecord.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"

using namespace harness;

namespace {

void undoKey() { controlKey(appContext, "z"); }
void saveKey() { controlKey(appContext, "s"); }

bool sensitive(const char *entry) { return XtIsSensitive(find((std::string("*editMenu.") + entry).c_str())); }

// A saved picture: the header, the picture's size and offset, its lines.
std::string picture(const std::string &body) {
    return "{% Picture saved by vexilo 2.4.1\n\\unitlength=1.000000pt\n\\begin{picture}" + body +
           "\\end{picture}}\n";
}

}  // namespace

TEST(UndoSession, DrawMoveDeleteUndoAllRedoAllAndEverySaveGivesTheFileOfItsState) {
    startEditor({"-xrm", "*zoomShell.geometry: +620+600", "-xrm", "*shiftShell.geometry: +620+300"});
    const std::string path = scratchDir() + "/undo.tex";
    // The file after each stage, and how many steps the stage made.
    std::vector<std::string> files = {""};
    std::vector<int> steps = {0};
    auto stage = [&](int n) {
        saveKey();
        if (files.size() == 1) nominateFile(path);  // the first save asks for the name
        EXPECT_FALSE(modified);
        files.push_back(readFile(path));
        steps.push_back(n);
    };

    drawObject("line", {{100, 100}, {200, 100}});
    canvasClick(200, 100, 3);
    stage(1);
    drawObject("framed", {{300, 200}, {380, 240}});
    placeText("Box");
    drawObject("circle", {{400, 450}, {420, 450}});
    stage(2);
    chooseMenu("draw", "pick");
    canvasClick(340, 240);
    ASSERT_EQ(selectedObj, objectList->next);  // the box
    dragGrip(0, -40, 30, 2);
    canvasClick(400, 430);
    ASSERT_EQ(selectedObj, objectList);  // the circle
    dragGrip(5, -10, 0, 1);
    stage(2);
    key(appContext, "Delete");
    EXPECT_EQ(countObjects(), 2);
    stage(1);
    canvasClick(150, 100);
    ASSERT_EQ(selectedObj->type, ObjLine);
    controlKey(appContext, "d");
    key(appContext, "Right");
    key(appContext, "Down");
    canvasClick(300, 260);
    ASSERT_EQ(selectedObj->type, ObjFramedBox);
    chooseMenu("edit", "editText");
    placeText("Edited");
    stage(4);
    ASSERT_EQ(files.size(), 6u);
    // Worked out by hand: positions relative to the drawing's lower left
    // corner, one point per pixel.
    EXPECT_EQ(files[1], picture("(100.00,0.00)(0.00,0.00)\n"
                                "\\put(0.00,0.00){\\line(1,0){100.00}}\n"));
    EXPECT_EQ(files[2], picture("(320.00,370.00)(0.00,0.00)\n"
                                "\\put(300.00,20.00){\\circle{40.00}}\n"
                                "\\put(200.00,230.00){\\framebox(80.00,40.00){Box}}\n"
                                "\\put(0.00,370.00){\\line(1,0){100.00}}\n"));
    EXPECT_EQ(files[3], picture("(310.00,360.00)(0.00,0.00)\n"
                                "\\put(300.00,10.00){\\circle{20.00}}\n"
                                "\\put(160.00,190.00){\\framebox(80.00,40.00){Box}}\n"
                                "\\put(0.00,360.00){\\line(1,0){100.00}}\n"));
    EXPECT_EQ(files[4], picture("(240.00,170.00)(0.00,0.00)\n"
                                "\\put(160.00,0.00){\\framebox(80.00,40.00){Box}}\n"
                                "\\put(0.00,170.00){\\line(1,0){100.00}}\n"));
    EXPECT_EQ(files[5], picture("(240.00,170.00)(0.00,0.00)\n"
                                "\\put(11.00,159.00){\\line(1,0){100.00}}\n"
                                "\\put(160.00,0.00){\\framebox(80.00,40.00){Edited}}\n"
                                "\\put(0.00,170.00){\\line(1,0){100.00}}\n"));

    // The view changes between the edits and their undo: zoom 200% and
    // a shift; neither reaches a file.
    pressButton(zoomButton);
    typeInto(factorField, "200");
    key(appContext, "Return");
    pressButton(shiftButton);
    pressButton(XtNameToWidget(shiftShell, "moveBase.right"));
    pressButton(XtNameToWidget(shiftShell, "moveBase.done"));
    canvasMove(250, 300);
    saveKey();
    EXPECT_EQ(readFile(path), files[5]);

    // Undo all: saved at each stage's start, the file is the one it had.
    for (size_t k = files.size() - 1; k >= 1; k--) {
        for (int i = 0; i < steps[k]; i++) undoKey();
        SCOPED_TRACE(k - 1);
        if (k == 1) break;
        EXPECT_TRUE(modified);  // the last save was at a later state
        saveKey();
        EXPECT_EQ(readFile(path), files[k - 1]);
    }
    EXPECT_EQ(countObjects(), 0);
    EXPECT_FALSE(sensitive("undo"));
    EXPECT_TRUE(sensitive("redo"));
    EXPECT_TRUE(noResidue());

    // Redo all, alternating the two redo keys; back at the state saved
    // last, nothing counts as changed.
    for (size_t k = 1; k < files.size(); k++) {
        for (int i = 0; i < steps[k]; i++) controlKey(appContext, i % 2 ? "Z" : "y");
        SCOPED_TRACE(k);
        EXPECT_EQ(modified, k != 1);
        saveKey();
        EXPECT_EQ(readFile(path), files[k]);
    }
    EXPECT_TRUE(sensitive("undo"));
    EXPECT_FALSE(sensitive("redo"));
    EXPECT_TRUE(noResidue());
}

TEST(UndoSession, TheEditMenuUndoesAndRedoesAndItsEntriesFollowTheHistory) {
    startEditor();
    EXPECT_FALSE(sensitive("undo"));
    EXPECT_FALSE(sensitive("redo"));
    drawObject("filled", {{100, 100}, {150, 130}});
    EXPECT_TRUE(sensitive("undo"));
    chooseMenu("edit", "undo");
    EXPECT_EQ(countObjects(), 0);
    EXPECT_FALSE(modified);
    EXPECT_FALSE(sensitive("undo"));
    EXPECT_TRUE(sensitive("redo"));
    chooseMenu("edit", "redo");
    EXPECT_EQ(countObjects(), 1);
    EXPECT_TRUE(noResidue());
    // A new change drops what could be redone; New forgets everything.
    chooseMenu("edit", "undo");
    drawObject("filled", {{200, 200}, {250, 230}});
    EXPECT_FALSE(sensitive("redo"));
    chooseMenu("file", "new");
    pressButton(confirmButton);
    EXPECT_FALSE(sensitive("undo"));
    EXPECT_FALSE(sensitive("redo"));
    EXPECT_FALSE(canUndo());
}

TEST(UndoSession, UndoInTheMiddleOfAnEntryAbandonsItFirst) {
    startEditor();
    XImage *empty = canvasImage();
    // A chain of lines: the first is made, the second follows the pointer.
    drawObject("line", {{100, 300}, {200, 300}});
    canvasMove(200, 400);
    ASSERT_EQ(countObjects(), 1);
    ASSERT_EQ(pointCount, 1);
    undoKey();
    EXPECT_EQ(countObjects(), 0);
    EXPECT_EQ(pointCount, 0);
    XImage *after = canvasImage();
    EXPECT_TRUE(sameImage(empty, after));  // no outline left behind
    // The next click starts a new entry.
    canvasClick(300, 100);
    canvasClick(400, 100);
    EXPECT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->x, 300);
    XDestroyImage(empty);
    XDestroyImage(after);
}

TEST(UndoSession, UndoDuringAGripDragAbandonsTheDragFirst) {
    startEditor();
    drawObject("framed", {{200, 200}, {300, 260}});
    placeText("b");
    chooseMenu("draw", "pick");
    canvasClick(250, 260);
    ObjRecord *box = selectedObj;
    ASSERT_NE(box, nullptr);
    dragGrip(0, 20, 20, 2);  // one step: the move
    ASSERT_EQ(box->x, 220);
    // A second drag; Ctrl+Z while the button is down.
    Dimension w = 0, h = 0;
    XtVaGetValues(gripSlots[0].grip, XtNwidth, &w, XtNheight, &h, nullptr);
    moveTo(appContext, gripSlots[0].grip, w / 2, h / 2);
    press(appContext, 2);
    moveTo(appContext, gripSlots[0].grip, w / 2 + 30, h / 2 + 10);
    undoKey();
    moveTo(appContext, gripSlots[0].grip, w / 2 + 50, h / 2 + 20);
    release(appContext, 2);
    EXPECT_EQ(box->x, 200);  // the first move undone, the second never made
    EXPECT_EQ(box->y, 200);
    EXPECT_EQ(selectedObj, box);
    EXPECT_EQ(gripAt(0).x, 200);
    EXPECT_EQ(gripAt(0).y, 200);
    EXPECT_TRUE(noResidue());
    EXPECT_TRUE(canRedo());
}

TEST(UndoSession, UndoOfTheSelectedObjectsCreationDropsTheSelection) {
    startEditor();
    drawObject("circle", {{200, 200}, {220, 200}});
    chooseMenu("draw", "pick");
    canvasClick(200, 200);
    ASSERT_NE(selectedObj, nullptr);
    undoKey();
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_EQ(countObjects(), 0);
    // Copy and Delete have nothing to act on.
    key(appContext, "Delete");
    EXPECT_EQ(countObjects(), 0);
}

TEST(UndoSession, BackAtTheSavedStateQuitAsksNothing) {
    startEditor();
    const std::string path = scratchDir() + "/q.tex";
    drawObject("filled", {{100, 100}, {150, 130}});
    saveKey();
    nominateFile(path);
    drawObject("filled", {{200, 100}, {250, 130}});
    EXPECT_TRUE(modified);
    undoKey();
    EXPECT_FALSE(modified);
    EXPECT_EXIT(controlKey(appContext, "q"), testing::ExitedWithCode(0), "");
}

TEST(UndoSession, TheCoordinateLabelFollowsTheDraggedPoint) {
    startEditor();
    drawObject("line", {{100, 500}, {200, 500}});
    canvasClick(200, 500, 3);
    chooseMenu("draw", "pick");
    canvasClick(150, 500);
    ASSERT_NE(selectedObj, nullptr);
    // The origin lies at canvas (0, 600): canvas (x, y) is picture (x, 600 - y).
    Dimension w = 0, h = 0;
    XtVaGetValues(gripSlots[5].grip, XtNwidth, &w, XtNheight, &h, nullptr);
    moveTo(appContext, gripSlots[5].grip, w / 2, h / 2);
    press(appContext, 2);
    moveTo(appContext, gripSlots[5].grip, w / 2 + 30, h / 2 - 40);
    EXPECT_EQ(labelOf(coord), "x= 230.0 y= 140.0");
    moveTo(appContext, gripSlots[5].grip, w / 2 + 35, h / 2 - 45);
    EXPECT_EQ(labelOf(coord), "x= 235.0 y= 145.0");
    release(appContext, 2);
}
