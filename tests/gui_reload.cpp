// Replacing the drawing (New, Load) while parts of the program hold on to
// the old one, and what the canvas shows afterwards.
#include <gtest/gtest.h>

#include <X11/StringDefs.h>
#include <fstream>
#include <set>
#include <string>
#include <utility>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "harness/Editor.h"
#include "harness/Files.h"
#include "objects/ObjRecord.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"
#include "shell/TextPlacement.h"

using namespace harness;

namespace {

void write(const std::string &path, const std::string &text) { std::ofstream(path) << text; }

const char onePicture[] = "\\begin{picture}(40,0)\n\\put(0,0){\\line(1,0){40}}\n\\end{picture}\n";

// Three lines, each ended with button 3, and the newest one picked.
void pickNewestOfThreeLines() {
    chooseMenu("draw", "line");
    for (int y : {100, 150, 200}) {
        canvasClick(100, y);
        canvasClick(200, y);
        canvasClick(200, y, 3);
    }
    ASSERT_EQ(countObjects(), 3);
    chooseMenu("draw", "pick");
    canvasClick(150, 200);
    ASSERT_EQ(selectedObj, objectList);
}

std::set<std::pair<int, int>> inkPixels() {
    std::set<std::pair<int, int>> ink;
    XImage *image = canvasImage();
    for (int y = 0; y < image->height; y++)
        for (int x = 0; x < image->width; x++)
            if (XGetPixel(image, x, y) != canvasBackground()) ink.insert({x, y});
    XDestroyImage(image);
    return ink;
}

}  // namespace

TEST(Reload, LoadWhileALineIsSelectedDropsTheSelection) {
    startEditor();
    std::string dir = scratchDir();
    write(dir + "/one.tex", onePicture);
    pickNewestOfThreeLines();
    chooseMenu("file", "load");
    pressButton(confirmButton);
    typeText(appContext, (dir + "/one.tex").c_str());
    key(appContext, "Return");
    EXPECT_FALSE(shellUp(fileShell));
    EXPECT_EQ(countObjects(), 1);
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_FALSE(anyGripMapped());
    for (const GripSlot &slot : gripSlots) EXPECT_EQ(slot.obj, nullptr);
    // Edit Text and Delete find nothing to act on.
    chooseMenu("edit", "editText");
    EXPECT_FALSE(shellUp(textPlacement));
    chooseMenu("edit", "delete");
    EXPECT_EQ(countObjects(), 1);
}

TEST(Reload, NewWhileALineIsSelectedDropsTheSelection) {
    startEditor();
    pickNewestOfThreeLines();
    chooseMenu("file", "new");
    pressButton(confirmButton);
    EXPECT_EQ(countObjects(), 0);
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_FALSE(anyGripMapped());
    // A shift of the view runs the grips' hook with nothing selected.
    pressButton(shiftButton);
    pressButton(XtNameToWidget(shiftShell, "moveBase.center"));
    pressButton(XtNameToWidget(shiftShell, "moveBase.right"));
    EXPECT_FALSE(anyGripMapped());
}

// Grid and ruler come back after a load whatever it read: a file without
// objects as well as one with some.
TEST(Reload, LoadRedrawsGridAndRulerEvenWhenNothingWasRead) {
    startEditor({"-xrm", "*initGrid: True", "-xrm", "*initRuler: True"});
    XRaiseWindow(XtDisplay(canvas), XtWindow(canvas));
    idle();
    auto marks = inkPixels();
    ASSERT_GT(marks.size(), 1000u);
    std::string dir = scratchDir();
    write(dir + "/empty.tex", "\\begin{picture}(10,10)\n\\end{picture}\n");
    chooseMenu("file", "load");
    typeText(appContext, (dir + "/empty.tex").c_str());
    key(appContext, "Return");
    ASSERT_TRUE(shellUp(message));
    EXPECT_EQ(labelOf(messageDialog), "Nothing was loaded");
    pressButton(XtNameToWidget(messageDialog, "done"));
    XRaiseWindow(XtDisplay(canvas), XtWindow(canvas));
    idle();
    EXPECT_EQ(inkPixels(), marks);
}
