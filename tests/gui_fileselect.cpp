#include <gtest/gtest.h>

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <fstream>
#include <unistd.h>

#include "canvas/Canvas.h"
#include "harness/Editor.h"
#include "harness/Files.h"
#include "objects/ObjRecord.h"
#include "selector/FileNominator.h"
#include "selector/FileNominatorWindow.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"

using namespace harness;

namespace {

void write(const std::string &path, const std::string &text) { std::ofstream(path) << text; }

// Types a name into the selector's file name field and presses Return.
void nominate(const std::string &name) {
    typeText(appContext, name.c_str());
    key(appContext, "Return");
}

Widget selector() { return FileNominatorWindowGetNominator(fileShell); }

}  // namespace

TEST(FileSelect, SaveOfAnUnnamedLineAsksForANameAndWritesIt) {
    startEditor();
    std::string dir = scratchDir();
    chooseMenu("draw", "line");
    canvasClick(100, 300);
    canvasClick(160, 280);  // a slope of 1:3
    canvasClick(160, 280, 2);
    ASSERT_EQ(countObjects(), 1);

    chooseMenu("file", "save");
    ASSERT_TRUE(shellUp(fileShell));
    EXPECT_EQ(stringResource(fileShell, XtNtitle), "Save as");
    nominate(dir + "/line.tex");
    EXPECT_FALSE(shellUp(fileShell));
    std::string saved = readFile(dir + "/line.tex");
    EXPECT_NE(saved.find("\\put(0.00,0.00){\\line(3,1){60.00}}"), std::string::npos) << saved;
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + dir + "/line.tex");
    EXPECT_FALSE(modified);
    EXPECT_EXIT(chooseMenu("file", "quit"), testing::ExitedWithCode(0), "");
}

TEST(FileSelect, LoadOfAFileThatCannotBeOpenedKeepsTheDrawing) {
    startEditor();
    std::string dir = scratchDir();
    ObjRecord *line = ObjNew(ObjLine);
    line->x = 10, line->y = 10, line->x2 = 90, line->y2 = 10;
    linkObject(line);
    chooseMenu("file", "load");
    ASSERT_TRUE(shellUp(fileShell));
    EXPECT_EQ(stringResource(fileShell, XtNtitle), "Load");
    nominate(dir + "/missing.tex");
    EXPECT_FALSE(shellUp(fileShell));
    EXPECT_TRUE(shellUp(message));
    EXPECT_EQ(labelOf(messageDialog), "Can't open file " + dir + "/missing.tex: No such file or directory");
    EXPECT_EQ(objectList, line);
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: No name");
}

TEST(FileSelect, AFailedNameIsReplacedByTheNextOneTyped) {
    startEditor();
    std::string dir = scratchDir();
    write(dir + "/a.tex", "\\begin{picture}(10,10)\\put(0,0){\\line(1,0){10}}\\end{picture}\n");
    FileNominatorSetDirectory(selector(), dir.c_str());
    chooseMenu("file", "load");
    nominate("nothere.tex");
    EXPECT_EQ(labelOf(messageDialog), "Can't open file " + dir + "/nothere.tex: No such file or directory");
    pressButton(XtNameToWidget(messageDialog, "done"));

    chooseMenu("file", "load");
    nominate("a.tex");
    EXPECT_FALSE(shellUp(message)) << labelOf(messageDialog);
    EXPECT_EQ(countObjects(), 1);
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + dir + "/a.tex");

    // Once replaced, the field takes typing as usual.
    chooseMenu("file", "load");
    typeText(appContext, "b");
    EXPECT_EQ(stringResource(XtNameToWidget(selector(), "filename.text"), XtNstring), "a.texb");
}

TEST(FileSelect, LoadOfAChangedDrawingAsksFirst) {
    startEditor();
    chooseMenu("draw", "disc");
    canvasClick(200, 200);
    canvasClick(210, 200);
    ASSERT_TRUE(modified);
    chooseMenu("file", "load");
    EXPECT_TRUE(shellUp(confirmer));
    EXPECT_FALSE(shellUp(fileShell));
    pressButton(confirmButton);
    EXPECT_FALSE(shellUp(confirmer));
    EXPECT_TRUE(shellUp(fileShell));
}

TEST(FileSelect, LoadOfAFileWithoutObjectsEmptiesTheDrawing) {
    startEditor();
    std::string dir = scratchDir();
    write(dir + "/empty.tex", "\\begin{picture}(10,10)\n\\end{picture}\n");
    chooseMenu("file", "load");
    nominate(dir + "/empty.tex");
    EXPECT_TRUE(shellUp(message));
    EXPECT_EQ(labelOf(messageDialog), "Nothing was loaded");
    EXPECT_EQ(countObjects(), 0);
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + dir + "/empty.tex");
    pressButton(XtNameToWidget(messageDialog, "done"));
    XImage *img = canvasImage();
    EXPECT_EQ(inkCount(img), 0);
    XDestroyImage(img);
}

TEST(FileSelect, LoadReadsAPictureAndNamesTheWindowAfterIt) {
    startEditor();
    std::string dir = scratchDir();
    write(dir + "/pic.tex",
          "{% Picture saved by vexilo 2.4.1\n\\unitlength=1.000000pt\n"
          "\\begin{picture}(55.00,45.00)(0.00,0.00)\n"
          "\\put(5.00,45.00){\\makebox(0.00,0.00)[bl]{A}}\n"
          "\\put(10.00,30.00){\\framebox(20.00,10.00){Hi}}\n"
          "\\put(50.00,20.00){\\circle{10.00}}\n"
          "\\put(0.00,0.00){\\line(3,1){30.00}}\n"
          "\\end{picture}}\n");
    chooseMenu("file", "load");
    nominate(dir + "/pic.tex");
    EXPECT_FALSE(shellUp(fileShell));
    EXPECT_FALSE(shellUp(message));
    ASSERT_EQ(countObjects(), 4);
    EXPECT_EQ(objectList->type, ObjText);
    EXPECT_FALSE(modified);
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + dir + "/pic.tex");
    XImage *img = canvasImage();
    EXPECT_GT(inkCount(img), 100);
    XDestroyImage(img);
}

TEST(FileSelect, CancelChangesNothing) {
    startEditor();
    chooseMenu("file", "saveas");
    ASSERT_TRUE(shellUp(fileShell));
    pressButton(XtNameToWidget(selector(), "cancel"));
    EXPECT_FALSE(shellUp(fileShell));
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: No name");
    EXPECT_FALSE(shellUp(message));
}

namespace {

// A canvas point (canvas coordinates) that the file selector window does
// not cover, so a click there would reach the canvas were it not modal.
XPoint canvasPointBesideSelector() {
    Display *d = XtDisplay(canvas);
    Window child;
    int cx = 0, cy = 0, sx = 0, sy = 0;
    XTranslateCoordinates(d, XtWindow(canvas), DefaultRootWindow(d), 0, 0, &cx, &cy, &child);
    XTranslateCoordinates(d, XtWindow(fileShell), DefaultRootWindow(d), 0, 0, &sx, &sy, &child);
    Dimension cw = 0, ch = 0, sw = 0, sh = 0;
    XtVaGetValues(canvas, XtNwidth, &cw, XtNheight, &ch, nullptr);
    XtVaGetValues(fileShell, XtNwidth, &sw, XtNheight, &sh, nullptr);
    for (int y = 40; y < ch - 40; y += 20)
        for (int x = 40; x < cw - 40; x += 20) {
            int rx = cx + x, ry = cy + y;
            if (rx < sx - 30 || rx > sx + sw + 30 || ry < sy - 30 || ry > sy + sh + 30)
                return {static_cast<short>(x), static_cast<short>(y)};
        }
    ADD_FAILURE() << "the selector covers the whole canvas";
    return {0, 0};
}

// Enters a line from p to 20 pixels right of it and ends the chain.
void drawLineAt(XPoint p) {
    canvasClick(p.x, p.y);
    canvasClick(p.x + 20, p.y);
    canvasClick(p.x + 20, p.y, 2);
}

}  // namespace

TEST(FileSelect, TheDrawingTakesNoInputWhileTheSelectorIsUp) {
    startEditor();
    chooseMenu("draw", "line");
    drawLineAt({100, 100});
    ASSERT_EQ(countObjects(), 1);
    chooseMenu("file", "load");
    pressButton(confirmButton);  // "Discard changes?"
    ASSERT_TRUE(shellUp(fileShell));

    XPoint p = canvasPointBesideSelector();
    drawLineAt(p);
    EXPECT_EQ(countObjects(), 1) << "the canvas took a line while the selector was up";

    pressButton(XtNameToWidget(selector(), "cancel"));
    ASSERT_FALSE(shellUp(fileShell));
    drawLineAt(p);
    EXPECT_EQ(countObjects(), 2) << "the canvas takes input again once the selector is down";
}
