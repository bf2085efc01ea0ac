// One whole session through real input only: every menu entry, every draw
// mode, every dialog and every pick-mode operation; the drawing saved,
// loaded back and saved again gives the same file, and LaTeX accepts it.
#include <gtest/gtest.h>

#include <X11/Shell.h>
#include <X11/StringDefs.h>

#include <string>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/View.h"
#include "harness/Editor.h"
#include "harness/Files.h"
#include "harness/Latex.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "selector/FileNominatorWindow.h"
#include "shell/Globals.h"

using namespace harness;

namespace {

void pickObject(int x, int y, ObjType type) {
    canvasClick(x, y);
    ASSERT_NE(selectedObj, nullptr);
    EXPECT_EQ(selectedObj->type, type);
}

}  // namespace

TEST(Session, EveryCommandOnceThenSaveLoadSaveGivesTheSameFileAndLatexTakesIt) {
    // The dialogs beside the main window, not over the canvas.
    startEditor({"-xrm", "*optionsShell.geometry: +620+0", "-xrm", "*shiftShell.geometry: +620+400", "-xrm",
                 "*zoomShell.geometry: +620+600"});
    const std::string dir = scratchDir();

    // Settings: grid and snapping at 10 points, ruler, cross-hair; every
    // other toggle once on and off again.
    pressButton(optionsButton);
    ASSERT_TRUE(shellUp(optionsShell));
    typeInto(valueField, "10");
    for (Widget t : {rasterOnToggle, snapOnToggle, linealToggle, crossToggle}) pressButton(t);
    for (Widget t : {slopeToggle, diametersToggle, llineToggle}) pressButton(t), pressButton(t);
    pressButton(XtNameToWidget(optionsShell, "*done"));
    EXPECT_FALSE(shellUp(optionsShell));

    // Every draw mode.
    drawObject("line", {{100, 100}, {160, 100}, {160, 160}});
    canvasClick(160, 160, 3);
    drawObject("vector", {{200, 100}, {260, 130}});
    canvasClick(260, 130, 3);
    drawObject("bezier", {{100, 400}, {200, 400}, {150, 300}});
    drawObject("framed", {{300, 200}, {380, 240}});
    placeText("Framed");
    drawObject("dashed", {{300, 300}, {380, 330}});
    placeText("Dashed");
    drawObject("text", {{100, 500}});
    placeText("$x^2$ {\\em text}");
    drawObject("circle", {{400, 450}, {420, 450}});
    drawObject("disc", {{400, 520}, {404, 520}});
    drawObject("filled", {{220, 200}, {250, 220}});
    drawObject("rounded", {{100, 220}, {180, 280}});
    ASSERT_EQ(countObjects(), 11);
    EXPECT_TRUE(modified);

    // Pick mode: select, resize, move, copy, delete, edit a text.
    chooseMenu("draw", "pick");
    pickObject(400, 430, ObjCircle);
    ObjRecord *circle = selectedObj;
    float radius = circle->x2;
    dragGrip(5, -10, 0, 1);
    EXPECT_LT(circle->x2, radius);
    pickObject(340, 240, ObjFramedBox);
    ObjRecord *box = selectedObj;
    float boxX = box->x;
    dragGrip(0, -20, 0, 2);
    EXPECT_EQ(box->x, boxX - 20);
    pickObject(230, 115, ObjVector);
    chooseMenu("edit", "copy");
    EXPECT_EQ(countObjects(), 12);
    chooseMenu("edit", "delete");
    EXPECT_EQ(countObjects(), 11);
    EXPECT_EQ(selectedObj, nullptr);
    pickObject(320, 300, ObjDashedBox);
    chooseMenu("edit", "editText");
    placeText("Edited");
    chooseMenu("edit", "refresh");

    // Shift a step each way, centre, then zoom there and back.
    pressButton(shiftButton);
    const float ox = originX, oy = originY;
    for (const char *b : {"right", "left", "up", "down"}) pressButton(XtNameToWidget(shiftShell, (std::string("moveBase.") + b).c_str()));
    EXPECT_EQ(originX, ox);
    EXPECT_EQ(originY, oy);
    pressButton(XtNameToWidget(shiftShell, "moveBase.center"));
    pressButton(XtNameToWidget(shiftShell, "moveBase.done"));
    for (const char *percent : {"200", "100"}) {
        pressButton(zoomButton);
        typeInto(factorField, percent);
        key(appContext, "Return");  // zooms and closes the dialog
        EXPECT_FALSE(shellUp(zoomShell));
    }
    EXPECT_EQ(zoomFactor, 1.0f);
    EXPECT_EQ(countObjects(), 11);

    // Save (unnamed: the selector asks), Save again in place, New, Load,
    // Save As under another name: one file throughout.
    const std::string first = dir + "/session.tex", second = dir + "/again.tex";
    chooseMenu("file", "save");
    EXPECT_EQ(stringResource(fileShell, XtNtitle), "Save as");
    nominateFile(first);
    EXPECT_FALSE(modified);
    const std::string saved = readFile(first);
    ASSERT_NE(saved, "");
    chooseMenu("file", "save");
    EXPECT_EQ(readFile(first), saved);
    chooseMenu("file", "new");
    EXPECT_EQ(countObjects(), 0);
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: No name");
    chooseMenu("file", "load");
    EXPECT_EQ(stringResource(fileShell, XtNtitle), "Load");
    nominateFile(first);
    EXPECT_EQ(countObjects(), 11);
    EXPECT_FALSE(shellUp(message));
    chooseMenu("file", "saveas");
    nominateFile(second);
    EXPECT_EQ(readFile(second), saved);
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + second);

    EXPECT_EQ(latexFailure(dir, "session"), "") << saved;

    EXPECT_EXIT(chooseMenu("file", "quit"), testing::ExitedWithCode(0), "");
}
