#include <gtest/gtest.h>

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "canvas/Canvas.h"
#include "harness/Editor.h"
#include "harness/Files.h"
#include "objects/ObjRecord.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"
#include "shell/MainWindow.h"

using namespace harness;

namespace {

void drawLine() {
    chooseMenu("draw", "line");
    canvasClick(100, 100);
    canvasClick(200, 100);
    canvasClick(200, 100, 2);
    chooseMenu("draw", "pick");
}

}  // namespace

TEST(FileCommands, NewAsksBeforeDiscardingChanges) {
    startEditor();
    drawLine();
    ASSERT_EQ(countObjects(), 1);
    ASSERT_TRUE(modified);
    setFileName("/tmp/old.tex");
    updateTitle();

    chooseMenu("file", "new");
    ASSERT_TRUE(shellUp(confirmer));
    EXPECT_EQ(labelOf(XtNameToWidget(confirmer, "dialog")), "Discard changes?");
    // Centred on the pointer, which is where the menu entry was.
    Window root, child;
    int px, py, wx, wy;
    unsigned int mask;
    XQueryPointer(XtDisplay(topLevel), XtWindow(topLevel), &root, &child, &px, &py, &wx, &wy, &mask);
    Position x = 0, y = 0;
    Dimension w = 0, h = 0;
    XtVaGetValues(confirmer, XtNx, &x, XtNy, &y, XtNwidth, &w, XtNheight, &h, nullptr);
    EXPECT_EQ(x, std::max(0, px - w / 2));
    EXPECT_EQ(y, std::max(0, py - h / 2));

    pressButton(XtNameToWidget(confirmer, "dialog.cancel"));
    EXPECT_FALSE(shellUp(confirmer));
    EXPECT_EQ(countObjects(), 1);
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: /tmp/old.tex");

    chooseMenu("file", "new");
    pressButton(confirmButton);
    EXPECT_FALSE(shellUp(confirmer));
    EXPECT_EQ(countObjects(), 0);
    EXPECT_FALSE(modified);
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: No name");
    XImage *img = canvasImage();
    EXPECT_EQ(inkCount(img), 0);
    XDestroyImage(img);
}

TEST(FileCommands, QuitOnAnUnchangedDrawingExitsAtOnce) {
    startEditor();
    EXPECT_EXIT(chooseMenu("file", "quit"), testing::ExitedWithCode(0), "");
}

TEST(FileCommands, QuitOnAChangedDrawingAsksFirst) {
    startEditor();
    drawLine();
    chooseMenu("file", "quit");
    EXPECT_TRUE(shellUp(confirmer));
    EXPECT_EXIT(pressButton(confirmButton), testing::ExitedWithCode(0), "");
}

TEST(FileCommands, DialogsNearTheTopLeftCornerStayOnScreen) {
    startEditor();
    moveTo(appContext, topLevel, 3, 2);
    showMessage("Can't open file");
    EXPECT_TRUE(shellUp(message));
    Position x = -1, y = -1;
    XtVaGetValues(message, XtNx, &x, XtNy, &y, nullptr);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(labelOf(messageDialog), "Can't open file");
    pressButton(XtNameToWidget(messageDialog, "done"));
    EXPECT_FALSE(shellUp(message));
}

TEST(FileCommands, SaveWritesToTheCurrentNameAndKeepsTheTitle) {
    startEditor();
    std::string dir = scratchDir();
    std::string path = dir + "/pic.tex";
    drawLine();
    setFileName(path.c_str());
    updateTitle();
    std::string title = windowTitle();
    chooseMenu("file", "save");
    EXPECT_FALSE(modified);
    EXPECT_EQ(windowTitle(), title);
    std::string saved = readFile(path);
    EXPECT_NE(saved.find("\\put(0.00,0.00){\\line(1,0){100.00}}"), std::string::npos) << saved;
    EXPECT_FALSE(shellUp(message));
}

TEST(FileCommands, SaveOfAnEmptyDrawingWritesNothing) {
    startEditor();
    std::string dir = scratchDir();
    std::string path = dir + "/empty.tex";
    setFileName(path.c_str());
    chooseMenu("file", "save");
    EXPECT_TRUE(shellUp(message));
    EXPECT_EQ(labelOf(messageDialog), "Nothing to save");
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    EXPECT_NE(access((path + ".old").c_str(), F_OK), 0);
}

TEST(FileCommands, FailedSaveChangesNothing) {
    startEditor();
    drawLine();
    std::string path = "/nonexistent-dir/pic.tex";
    setFileName(path.c_str());
    updateTitle();
    chooseMenu("file", "save");
    EXPECT_TRUE(shellUp(message));
    EXPECT_EQ(labelOf(messageDialog), "Can't open file " + path + ": No such file or directory");
    EXPECT_TRUE(modified);
    EXPECT_STREQ(fileName, path.c_str());
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + path);
    EXPECT_EQ(countObjects(), 1);
}

TEST(FileCommands, RefreshRedrawsTheDrawing) {
    startEditor();
    drawLine();
    XImage *before = canvasImage();
    XClearWindow(XtDisplay(canvas), XtWindow(canvas));  // lose the pixels
    chooseMenu("edit", "refresh");
    XImage *after = canvasImage();
    EXPECT_TRUE(sameImage(before, after));
    EXPECT_GT(inkCount(after), 90);
    XDestroyImage(before);
    XDestroyImage(after);
}
