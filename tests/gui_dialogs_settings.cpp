// The three dialogs of the menu line: popping up and down, working beside
// the canvas, and the settings toggles.
#include <gtest/gtest.h>

#include <X11/StringDefs.h>
#include <X11/Xaw/Toggle.h>
#include <ostream>
#include <string>

#include "canvas/Canvas.h"
#include "canvas/Decorations.h"
#include "canvas/View.h"
#include "harness/Editor.h"
#include "objects/Constrain.h"
#include "shell/Globals.h"

using namespace harness;

namespace {

// Each dialog beside the main window, not over the canvas.
void start() {
    startEditor({"-xrm", "*optionsShell.geometry: +620+0", "-xrm", "*shiftShell.geometry: +620+400", "-xrm",
                 "*zoomShell.geometry: +620+600"});
}

struct DialogCase {
    const char *name;
    Widget *button, *shell;
};
std::ostream &operator<<(std::ostream &o, const DialogCase &c) { return o << c.name; }

struct ToggleCase {
    const char *name;
    Widget *toggle;
    bool *flag;
};
std::ostream &operator<<(std::ostream &o, const ToggleCase &c) { return o << c.name; }

int ink() {
    XImage *im = canvasImage();
    int n = inkCount(im);
    XDestroyImage(im);
    return n;
}

}  // namespace

class DialogsMenuLine : public testing::TestWithParam<DialogCase> {};

TEST_P(DialogsMenuLine, ButtonIsInsensitiveWhileTheDialogIsUp) {
    start();
    Widget button = *GetParam().button, shell = *GetParam().shell;
    EXPECT_FALSE(shellUp(shell));
    for (int round = 0; round < 2; round++) {
        pressButton(button);
        EXPECT_TRUE(shellUp(shell));
        EXPECT_FALSE(XtIsSensitive(button));
        pressButton(XtNameToWidget(shell, "*done"));
        EXPECT_FALSE(shellUp(shell));
        EXPECT_TRUE(XtIsSensitive(button));
    }
}

INSTANTIATE_TEST_SUITE_P(MenuLine, DialogsMenuLine,
                         testing::Values(DialogCase{"options", &optionsButton, &optionsShell},
                                         DialogCase{"shift", &shiftButton, &shiftShell},
                                         DialogCase{"zoom", &zoomButton, &zoomShell}));

TEST(Dialogs, CanvasAndMenusWorkWhileAllThreeAreUp) {
    start();
    for (Widget b : {optionsButton, shiftButton, zoomButton}) pressButton(b);
    ASSERT_TRUE(shellUp(optionsShell) && shellUp(shiftShell) && shellUp(zoomShell));
    chooseMenu("draw", "line");
    canvasClick(100, 500);
    EXPECT_EQ(labelOf(coord), "x= 100.0 y= 100.0");
    canvasClick(200, 500);
    canvasClick(200, 500, 3);
    EXPECT_EQ(countObjects(), 1);
    // A setting changed in the open dialog counts at once.
    int line = ink();
    pressButton(crossToggle);
    canvasMove(150, 300);
    EXPECT_EQ(ink(), line + 599 + 499 - 2);  // the cross-hair inverts one pixel of the line
}

class DialogsCopiedSetting : public testing::TestWithParam<ToggleCase> {};

TEST_P(DialogsCopiedSetting, ToggleSetsItsFlagAndRedrawsNothing) {
    start();
    pressButton(optionsButton);
    XImage *before = canvasImage();
    for (bool on : {true, false}) {
        pressButton(*GetParam().toggle);
        EXPECT_EQ(*GetParam().flag, on);
        EXPECT_EQ(booleanResource(*GetParam().toggle, XtNstate), on);
    }
    XImage *after = canvasImage();
    EXPECT_TRUE(sameImage(before, after));
    XDestroyImage(before);
    XDestroyImage(after);
}

INSTANTIATE_TEST_SUITE_P(Toggles, DialogsCopiedSetting,
                         testing::Values(ToggleCase{"snapOn", &snapOnToggle, &snapOn},
                                         ToggleCase{"slope", &slopeToggle, &unlimitedSlopes},
                                         ToggleCase{"diameters", &diametersToggle, &unlimitedDiameters},
                                         ToggleCase{"cross", &crossToggle, &crossOn},
                                         ToggleCase{"llline", &llineToggle, &unlimitedLengths}));

TEST(DialogsSettings, MinimumLengthOnStopsLengthening) {
    start();
    chooseMenu("draw", "line");
    // 4 right and 3 up: an allowed slope, shorter than 10 pt.
    canvasClick(100, 300);
    canvasClick(104, 297);
    canvasClick(104, 297, 3);
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->x2, 110);
    EXPECT_EQ(objectList->y2, 293);

    pressButton(optionsButton);
    pressButton(llineToggle);
    ASSERT_TRUE(unlimitedLengths);
    canvasClick(200, 300);
    canvasClick(204, 297);
    ASSERT_EQ(countObjects(), 2);
    EXPECT_EQ(objectList->x2, 204);
    EXPECT_EQ(objectList->y2, 297);
}

TEST(DialogsSettings, ReturnInTheDistanceFieldDoesNothing) {
    start();
    pressButton(optionsButton);
    typeInto(valueField, "20");
    key(appContext, "Return");
    EXPECT_EQ(stringResource(valueField, XtNstring), "20");
    EXPECT_STREQ(gridText, "20");
    EXPECT_FALSE(gridOn);
}

// New objects take the thickness chosen in the settings: thick lines, and
// a line thickness that draws them that many pixels wide at 1 pt.
TEST(DialogsSettings, NewObjectsTakeTheChosenThickness) {
    start();
    chooseMenu("draw", "line");
    canvasClick(100, 200);
    canvasClick(300, 200);
    canvasClick(300, 200, 3);
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->thickLines, 0);
    EXPECT_EQ(objectList->lineWidth, 0);
    int thin = ink();

    pressButton(optionsButton);
    pressButton(thickLinesToggle);
    EXPECT_TRUE(thickLinesOn);
    typeInto(thicknessField, "4pt");
    EXPECT_STREQ(thicknessText, "4pt");
    canvasClick(100, 400);
    canvasClick(300, 400);
    canvasClick(300, 400, 3);
    ASSERT_EQ(countObjects(), 2);
    EXPECT_EQ(objectList->thickLines, 1);
    EXPECT_EQ(objectList->lineWidth, 4);
    // 200 pixels long: one pixel wide, then four.
    EXPECT_NEAR(ink() - thin, 4 * thin, 12);

    typeInto(thicknessField, "none");  // no length: the lines' own width
    canvasClick(100, 500);
    canvasClick(300, 500);
    EXPECT_EQ(objectList->lineWidth, 0);
    EXPECT_EQ(objectList->thickLines, 1);
}
