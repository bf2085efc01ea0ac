// The keyboard through real key presses: the file commands, the edit keys,
// Escape; where in the main window they work and where not; the menus
// showing them; a user's own bindings.
#include <gtest/gtest.h>

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/SmeBSB.h>

#include <string>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/PointEntry.h"
#include "harness/Editor.h"
#include "objects/Constrain.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "shell/Globals.h"

using namespace harness;

namespace {

// A filled box drawn with the pointer and selected in pick mode.
ObjRecord *selectedBox() {
    drawObject("filled", {{200, 200}, {240, 230}});
    chooseMenu("draw", "pick");
    canvasClick(220, 215);
    return selectedObj;
}

}  // namespace

TEST(Keys, FileKeysRunTheirCommandsAndAskBeforeDiscarding) {
    startEditor();
    canvasMove(250, 300);
    controlKey(appContext, "o");
    EXPECT_TRUE(shellUp(fileShell));
    EXPECT_EQ(stringResource(fileShell, XtNtitle), "Load");
    pressButton(XtNameToWidget(fileShell, "*cancel"));
    controlKey(appContext, "S");
    EXPECT_TRUE(shellUp(fileShell));
    EXPECT_EQ(stringResource(fileShell, XtNtitle), "Save as");
    pressButton(XtNameToWidget(fileShell, "*cancel"));

    // A changed drawing: New, Load and Quit ask first.
    drawObject("filled", {{100, 100}, {150, 130}});
    canvasMove(250, 300);
    for (const char *k : {"n", "o", "q"}) {
        SCOPED_TRACE(k);
        controlKey(appContext, k);
        ASSERT_TRUE(shellUp(confirmer));
        EXPECT_FALSE(shellUp(fileShell));
        pressButton(XtNameToWidget(confirmer, "*cancel"));
        EXPECT_EQ(countObjects(), 1);
    }
    controlKey(appContext, "n");
    pressButton(confirmButton);
    EXPECT_EQ(countObjects(), 0);
    canvasMove(250, 300);
    EXPECT_EXIT(controlKey(appContext, "q"), testing::ExitedWithCode(0), "");
}

TEST(Keys, DeleteBackSpaceAndCopyActOnTheSelection) {
    startEditor();
    ObjRecord *box = selectedBox();
    ASSERT_NE(box, nullptr);
    controlKey(appContext, "d");
    ASSERT_EQ(countObjects(), 2);
    EXPECT_EQ(objectList->x, 210);  // the copy, ten pixels on, selected
    EXPECT_EQ(selectedObj, objectList);
    key(appContext, "Delete");
    EXPECT_EQ(countObjects(), 1);
    EXPECT_EQ(selectedObj, nullptr);
    canvasClick(220, 215);
    key(appContext, "BackSpace");
    EXPECT_EQ(countObjects(), 0);
}

TEST(Keys, ArrowsMoveTheSelectionByAGridStepOrAUnit) {
    startEditor();
    ObjRecord *box = selectedBox();
    ASSERT_NE(box, nullptr);
    // Key, then the box's corner after it: one point is one pixel at zoom 1.
    struct {
        const char *key;
        float x, y;
    } presses[] = {{"Right", 201, 200}, {"Down", 201, 201}, {"Left", 200, 201}, {"Up", 200, 200}};
    for (auto &p : presses) {
        key(appContext, p.key);
        EXPECT_EQ(box->x, p.x) << p.key;
        EXPECT_EQ(box->y, p.y) << p.key;
    }
    // With the grid on at 10 points: ten pixels a press.
    gridOn = true;
    setGridDistance(10);
    key(appContext, "Right");
    key(appContext, "Up");
    EXPECT_EQ(box->x, 210);
    EXPECT_EQ(box->y, 190);
    EXPECT_EQ(gripAt(0).x, 210);
    EXPECT_EQ(gripAt(0).y, 190);
    // Each press is a step of its own.
    for (int i = 0; i < 6; i++) controlKey(appContext, "z");
    EXPECT_EQ(box->x, 200);
    EXPECT_EQ(box->y, 200);
    EXPECT_EQ(countObjects(), 1);
}

TEST(Keys, EscapeAbandonsTheObjectBeingEntered) {
    startEditor();
    XImage *empty = canvasImage();
    drawObject("rounded", {{100, 100}});
    canvasMove(200, 180);
    ASSERT_EQ(pointCount, 1);
    key(appContext, "Escape");
    EXPECT_EQ(pointCount, 0);
    EXPECT_EQ(countObjects(), 0);
    XImage *after = canvasImage();
    EXPECT_TRUE(sameImage(empty, after));
    XDestroyImage(empty);
    XDestroyImage(after);
}

TEST(Keys, WorkAnywhereOverTheMainWindowButNotInTheDialogs) {
    startEditor({"-xrm", "*zoomShell.geometry: +620+0"});
    drawObject("filled", {{100, 100}, {150, 130}});
    // Over the menu line's buttons and label: undo and redo.
    for (const char *over : {"topForm.menuLine.file", "topForm.menuLine.zoom", "topForm.menuLine.coord",
                             "topForm.menuLine"}) {
        SCOPED_TRACE(over);
        moveTo(appContext, find(over), 2, 2);
        controlKey(appContext, "z");
        EXPECT_EQ(countObjects(), 0);
        controlKey(appContext, "y");
        EXPECT_EQ(countObjects(), 1);
    }
    // In the zoom dialog's field the keys are the field's own.
    pressButton(zoomButton);
    typeInto(factorField, "150");
    controlKey(appContext, "z");
    key(appContext, "BackSpace");
    EXPECT_EQ(countObjects(), 1);
    EXPECT_EQ(stringResource(factorField, XtNstring), "15");
}

TEST(Keys, MenuEntriesShowTheirKeys) {
    startEditor();
    for (const char *entry : {"*fileMenu.new", "*fileMenu.load", "*fileMenu.save", "*fileMenu.saveas",
                              "*fileMenu.quit", "*editMenu.undo", "*editMenu.redo", "*editMenu.copy",
                              "*editMenu.delete"}) {
        SCOPED_TRACE(entry);
        Pixmap key = None;
        Dimension margin = 0;
        XtVaGetValues(find(entry), XtNrightBitmap, &key, XtNrightMargin, &margin, nullptr);
        EXPECT_NE(key, None);
        EXPECT_GT(margin, 24);
    }
    Pixmap none = 1;
    XtVaGetValues(find("*editMenu.refresh"), XtNrightBitmap, &none, nullptr);
    EXPECT_EQ(none, None);
    // Undo and Redo come first, above Copy.
    WidgetList entries = nullptr;
    Cardinal n = 0;
    XtVaGetValues(find("*editMenu"), XtNchildren, &entries, XtNnumChildren, &n, nullptr);
    ASSERT_GE(n, 4u);
    EXPECT_EQ(entries[0], find("*editMenu.undo"));
    EXPECT_EQ(entries[1], find("*editMenu.redo"));
    EXPECT_EQ(entries[3], find("*editMenu.copy"));
    EXPECT_EQ(labelOf(find("*editMenu.undo")), "Undo");
}

TEST(Keys, AUsersOwnBindingsReplaceTheDefaultOnes) {
    startEditor({"-xrm", "*menuLine.edit.accelerators: #override\\nCtrl<Key>u: undo()", "-xrm",
                 "*menuLine*undo.key.label: Ctrl+U"});
    drawObject("filled", {{100, 100}, {150, 130}});
    controlKey(appContext, "z");
    EXPECT_EQ(countObjects(), 1);
    controlKey(appContext, "u");
    EXPECT_EQ(countObjects(), 0);
}

TEST(Keys, WorkWhileTheMainWindowHasTheFocusAndThePointerIsElsewhere) {
    startEditor();
    drawObject("filled", {{100, 100}, {150, 130}});
    Display *d = XtDisplay(topLevel);
    moveTo(appContext, topLevel, 1000, 900);  // outside the window, over the root
    XSetInputFocus(d, XtWindow(topLevel), RevertToParent, CurrentTime);
    idle();
    controlKey(appContext, "z");
    EXPECT_EQ(countObjects(), 0);
    controlKey(appContext, "y");
    EXPECT_EQ(countObjects(), 1);
    XSetInputFocus(d, PointerRoot, RevertToPointerRoot, CurrentTime);
    idle();
}
