#include <gtest/gtest.h>

#include <X11/StringDefs.h>
#include <X11/Xaw/SmeBSB.h>
#include <X11/Xaw/SmeLine.h>
#include <X11/Xaw/Toggle.h>
#include <cstdlib>
#include <sys/wait.h>

#include "canvas/Canvas.h"
#include "harness/Editor.h"
#include "objects/Constrain.h"
#include "objects/Render.h"
#include "objects/Scale.h"
#include "picfile/Units.h"
#include "shell/Globals.h"
#include "shell/MainWindow.h"
#include "shell/Resources.h"
#include "shell/Startup.h"

using namespace harness;

namespace {

Pixmap leftBitmap(const char *entry) {
    Pixmap p = None;
    XtVaGetValues(find((std::string("topForm.menuLine.draw.drawMenu.") + entry).c_str()), XtNleftBitmap, &p,
                  nullptr);
    return p;
}

}  // namespace

TEST(Startup, PlainStartShowsNoNameAndPickMode) {
    startEditor();
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: No name");
    EXPECT_NE(leftBitmap("pick"), None);
    EXPECT_EQ(leftBitmap("line"), None);
    for (Widget t : {rasterOnToggle, snapOnToggle, slopeToggle, diametersToggle, linealToggle, crossToggle,
                     llineToggle})
        EXPECT_FALSE(booleanResource(t, XtNstate)) << XtName(t);
    EXPECT_FALSE(gridOn || snapOn || unlimitedSlopes || unlimitedDiameters || unlimitedLengths);
    EXPECT_EQ(labelOf(coord), "");
    EXPECT_EQ(labelOf(zoomButton), "Zoom 100%");

    chooseMenu("draw", "line");
    EXPECT_EQ(leftBitmap("pick"), None);
    Pixmap mark = leftBitmap("line");
    EXPECT_NE(mark, None);
    chooseMenu("draw", "line");
    EXPECT_EQ(leftBitmap("line"), mark);
    EXPECT_EQ(markedEntry, find("topForm.menuLine.draw.drawMenu.line"));
}

TEST(Startup, MenusHoldEveryEntry) {
    startEditor();
    const char *entries[] = {"file.fileMenu.new",      "file.fileMenu.load",     "file.fileMenu.save",
                             "file.fileMenu.saveas",   "file.fileMenu.quit",     "edit.editMenu.copy",
                             "edit.editMenu.delete",   "edit.editMenu.editText", "edit.editMenu.refresh"};
    for (const char *e : entries) EXPECT_NE(find((std::string("topForm.menuLine.") + e).c_str()), nullptr) << e;
    EXPECT_EQ(labelOf(find("topForm.menuLine.file.fileMenu.saveas")), "Save As...");
    // The draw menu's widgets, in order, separators as "-".
    Widget drawMenu = find("topForm.menuLine.draw.drawMenu");
    ASSERT_NE(drawMenu, nullptr);
    WidgetList children = nullptr;
    Cardinal count = 0;
    XtVaGetValues(drawMenu, XtNchildren, &children, XtNnumChildren, &count, nullptr);
    std::string shown;
    for (Cardinal i = 0; i < count; i++)
        shown += XtIsSubclass(children[i], smeLineObjectClass) ? std::string("-") : std::string(" ") + XtName(children[i]) + " ";
    EXPECT_EQ(shown, " pick - line  vector  bezier - framed  dashed  text - circle  disc - filled  rounded ");
    EXPECT_EQ(labelOf(find("topForm.menuLine.draw.drawMenu.rounded")), "Rounded Rectangle");
    Dimension w = 0, h = 0;
    XtVaGetValues(canvas, XtNwidth, &w, XtNheight, &h, nullptr);
    EXPECT_EQ(w, 500);
    EXPECT_EQ(h, 600);
}

TEST(Startup, TitleShortensNamesBelowHome) {
    setenv("HOME", "/h", 1);
    startEditor();
    struct {
        const char *name;
        const char *title;
    } cases[] = {{"/h/pics/a.tex", "Vexilo 2.4.1: ~/pics/a.tex"},
                 {"/hx/a.tex", "Vexilo 2.4.1: /hx/a.tex"},
                 {"/h", "Vexilo 2.4.1: /h"},
                 {"relative.tex", "Vexilo 2.4.1: relative.tex"}};
    for (auto &c : cases) {
        ASSERT_TRUE(setFileName(c.name));
        updateTitle();
        EXPECT_EQ(windowTitle(), c.title);
    }
    std::string tooLong(fileNameSize, 'x');
    EXPECT_FALSE(setFileName(tooLong.c_str()));
    EXPECT_STREQ(fileName, "relative.tex");
}

struct ZoomCase {
    const char *resource;
    float zoom;
    const char *label;
};

class StartupZoom : public testing::TestWithParam<ZoomCase> {};

TEST_P(StartupZoom, InitialZoomFollowsTheResource) {
    startEditor({"-xrm", std::string("*initZoomFactor: ") + GetParam().resource});
    EXPECT_EQ(zoomFactor, GetParam().zoom);
    EXPECT_EQ(labelOf(zoomButton), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Values, StartupZoom,
                         testing::Values(ZoomCase{"250", 2.5f, "Zoom 250%"}, ZoomCase{"10", 0.25f, "Zoom 25%"},
                                         ZoomCase{"1000", 4.0f, "Zoom 400%"}, ZoomCase{"abc", 1.0f, "Zoom 100%"},
                                         ZoomCase{"12345678901", 4.0f, "Zoom 400%"}),
                         [](const testing::TestParamInfo<ZoomCase> &info) { return std::to_string(info.index); });

TEST(Startup, FontOptionChangesOnlyPictureTexts) {
    startEditor({"-fn", "fixed"});
    Display *d = XtDisplay(topLevel);
    XFontStruct *fixed = XLoadQueryFont(d, "fixed");
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(textFont->max_bounds.width, fixed->max_bounds.width);
    EXPECT_EQ(textFont->min_bounds.width, textFont->max_bounds.width);
    XFontStruct *menuFont = nullptr;
    XtVaGetValues(find("topForm.menuLine.file"), XtNfont, &menuFont, nullptr);
    ASSERT_NE(menuFont, nullptr);
    EXPECT_NE(menuFont->fid, textFont->fid);
    XFreeFont(d, fixed);
}

class StartupBadUnit : public testing::TestWithParam<const char *> {};

TEST_P(StartupBadUnit, FallsBackToOnePointWithAMessage) {
    testing::internal::CaptureStderr();
    startEditor({"-xrm", std::string("*defaultUnitLength: ") + GetParam()});
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(std::string("vexilo: don't understand default \\unitlength=\"") + GetParam() +
                       "\"; using 1.0pt\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(unitValue, 1.0f);
    EXPECT_EQ(unitIndex, 0);
    EXPECT_EQ(pixelsPerUnit, 1.0f);
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: No name");
}

// Unreadable, negative (no scale on the canvas) and beyond what TeX holds.
INSTANTIATE_TEST_SUITE_P(Values, StartupBadUnit, testing::Values("abc", "-2pt", "1.0ptx", "20000pt"),
                         [](const testing::TestParamInfo<const char *> &info) { return std::to_string(info.index); });

TEST(Startup, ZeroDefaultUnitIsCorrectedToOnePoint) {
    testing::internal::CaptureStderr();
    startEditor({"-xrm", "*defaultUnitLength: 0pt"});
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Warning: zero \\unitlength corrected to 1pt"),
              std::string::npos);
    EXPECT_EQ(unitValue, 1.0f);
    EXPECT_EQ(pixelsPerUnit, 1.0f);
}

// The toolkit names the font it cannot load and falls back to its default
// font, here the fixed 6x13: 6 pixels wide, ascent 11, descent 2.
TEST(Startup, MissingFontWarnsAndUsesTheDefault) {
    testing::internal::CaptureStderr();
    startEditor({"-fn", "-nosuch-font-that-does-not-exist-*", "-xrm", "*xtDefaultFont: 6x13"});
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Warning: Cannot convert string \"-nosuch-font-that-does-not-exist-*\" to type FontStruct"),
              std::string::npos)
        << err;
    ASSERT_NE(textFont, nullptr);
    EXPECT_EQ(textFont->min_bounds.width, 6);
    EXPECT_EQ(textFont->max_bounds.width, 6);
    EXPECT_EQ(textFont->ascent, 11);
    EXPECT_EQ(textFont->descent, 2);
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: No name");
}

static bool failed(int status) { return WIFEXITED(status) && WEXITSTATUS(status) != 0; }

static void startWithoutDisplay() {
    setenv("DISPLAY", ":9999", 1);
    char name[] = "vexilo";
    char *argv[] = {name, nullptr};
    startVexilo(1, argv);
    exit(0);
}

TEST(Startup, NoDisplayIsTheToolkitsError) {
    EXPECT_EXIT(startWithoutDisplay(), failed, "Can't open display");
}
