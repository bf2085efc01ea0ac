// LaTeX's rendering under the canvas: real latex and dvipng, real input.
#include <gtest/gtest.h>

#include <X11/StringDefs.h>
#include <X11/Xaw/Toggle.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/LatexOverlay.h"
#include "harness/Editor.h"
#include "harness/Files.h"
#include "objects/ObjRecord.h"
#include "shell/Globals.h"
#include "shell/LatexView.h"

using namespace harness;

namespace {

Widget latexToggle() { return find("topForm.menuLine.latex"); }

// Pumps the editor until no LaTeX run is going.
void waitForLatex() {
    auto start = std::chrono::steady_clock::now();
    idle();
    while (latexRunning() && std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
        usleep(5000);
        idle();
    }
    idle();
}

// Ctrl+L with the pointer on the canvas, then the run to its end.
void latexOn() {
    canvasMove(490, 590);
    controlKey(appContext, "l");
    waitForLatex();
}

// Pixels of LaTeX's rendering: neither background nor object colour.
bool overlayInk(XImage *im, int x, int y) {
    if (x < 0 || y < 0 || x >= im->width || y >= im->height) return false;
    unsigned long p = XGetPixel(im, x, y);
    return p != canvasBackground() && p != canvasForeground();
}

// The overlay alone, as the canvas paints it under the objects.
XImage *overlayAlone() {
    Display *d = XtDisplay(canvas);
    XClearWindow(d, XtWindow(canvas));
    paintOverlay(d, XtWindow(canvas), nullptr);
    XSync(d, False);
    return canvasImage();
}

// Overlay pixels in a rectangle, and how many of them pass a test.
struct Count {
    int all = 0, passing = 0;
};
Count countInk(XImage *im, int x0, int y0, int x1, int y1, const std::function<bool(int, int)> &test) {
    Count c;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (overlayInk(im, x, y)) {
                c.all++;
                c.passing += test(x, y);
            }
    return c;
}

bool near(double distance, double want) { return std::fabs(distance - want) <= 1.5; }

Dimension widthOf(Widget w) {
    Dimension width = 0;
    XtVaGetValues(w, XtNwidth, &width, nullptr);
    return width;
}

// The ink of a button's label: the pixels unlike the corner inside its
// border, whichever way round the button's state paints them; row by row.
std::vector<XPoint> labelInk(Widget w) {
    std::vector<XPoint> ink;
    XImage *im = grab(w);
    unsigned long paper = XGetPixel(im, 1, 1);
    for (int y = 0; y < im->height; y++)
        for (int x = 0; x < im->width; x++)
            if (XGetPixel(im, x, y) != paper) ink.push_back({static_cast<short>(x), static_cast<short>(y)});
    XDestroyImage(im);
    return ink;
}

std::string messageText() { return shellUp(message) ? labelOf(messageDialog) : ""; }

struct ZoomCase {
    const char *percent;
    int z;
};
std::ostream &operator<<(std::ostream &o, const ZoomCase &c) { return o << c.percent; }

}  // namespace

// A line (2:1, 60 pt wide), an oval of 100 x 60 pt and a circle of 60 pt,
// a size LaTeX lacks, entered at the given zoom. LaTeX draws the oval's
// corners as quarter circles of 20 pt radius, its largest, and the circle
// as its largest, 40 pt across; the overlay shows them there.
class LatexPixels : public testing::TestWithParam<ZoomCase> {};

TEST_P(LatexPixels, LineOvalAndCircleWhereLatexDrawsThem) {
    const int z = GetParam().z;
    startEditor({"-xrm", std::string("*initZoomFactor: ") + GetParam().percent, "-xrm", "*initUnlimitedCircles: True"});
    chooseMenu("draw", "circle");
    canvasClick(60 * z, 60 * z);
    canvasClick(90 * z, 60 * z);
    chooseMenu("draw", "rounded");
    canvasClick(120 * z, 40 * z);
    canvasClick(220 * z, 100 * z);
    chooseMenu("draw", "line");
    canvasClick(40 * z, 200 * z);
    canvasClick(100 * z, 170 * z);
    canvasClick(100 * z, 170 * z, 3);
    ASSERT_EQ(countObjects(), 3);

    latexOn();
    ASSERT_TRUE(booleanResource(latexToggle(), XtNstate)) << messageText();
    ASSERT_TRUE(overlayShown());
    XImage *im = canvasImage();

    // The circle: radius 20 pt about the centre, inside the editor's 30.
    Count circle = countInk(im, 25 * z, 25 * z, 95 * z, 95 * z, [&](int x, int y) {
        return near(std::hypot(x - 60 * z, y - 60 * z), 20 * z);
    });
    EXPECT_GT(circle.all, 80 * z);
    EXPECT_EQ(circle.passing, circle.all);

    // The oval's top-left corner: a quarter circle of radius 20 pt about
    // (140, 60) pt; the editor rounds it otherwise.
    Count corner = countInk(im, 115 * z, 35 * z, 140 * z, 60 * z, [&](int x, int y) {
        return near(std::hypot(x - 140 * z, y - 60 * z), 20 * z);
    });
    EXPECT_GT(corner.all, 10 * z);
    EXPECT_EQ(corner.passing, corner.all);
    XDestroyImage(im);

    // The line lies under the editor's own: look at the overlay alone.
    im = overlayAlone();
    auto fromSegment = [&](int x, int y) {  // distance from (40,200)-(100,170), scaled
        double ax = 40.0 * z, ay = 200.0 * z, bx = 100.0 * z, by = 170.0 * z;
        double t = ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / ((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
        t = std::max(0.0, std::min(1.0, t));
        return std::hypot(x - (ax + t * (bx - ax)), y - (ay + t * (by - ay)));
    };
    Count line = countInk(im, 20 * z, 150 * z, 120 * z, 220 * z, [&](int x, int y) { return fromSegment(x, y) <= 1.5; });
    EXPECT_GE(line.all, 55 * z);
    EXPECT_EQ(line.passing, line.all);
    // It reaches both ends.
    EXPECT_GT(countInk(im, 40 * z - 1, 200 * z - 2, 40 * z + 2, 200 * z + 1, [](int, int) { return true; }).all, 0);
    EXPECT_GT(countInk(im, 100 * z - 2, 170 * z - 1, 100 * z + 1, 170 * z + 2, [](int, int) { return true; }).all, 0);
    XDestroyImage(im);
}

INSTANTIATE_TEST_SUITE_P(Zoom, LatexPixels, testing::Values(ZoomCase{"100", 1}, ZoomCase{"200", 2}),
                         [](const testing::TestParamInfo<ZoomCase> &i) { return std::string("Percent") + i.param.percent; });

namespace {

struct LatexViewTest : testing::Test {
    std::string tmp;
    void SetUp() override {
        // The runs' temporary directories go here, to be seen removed.
        tmp = scratchDir();
        setenv("TMPDIR", tmp.c_str(), 1);
        startEditor();
    }
    void TearDown() override { freeAllObjects(); }
    void circle(int x, int y, int r) {
        chooseMenu("draw", "circle");
        canvasClick(x, y);
        canvasClick(x + r, y);
    }
    void text(int x, int y, const char *s) {
        chooseMenu("draw", "text");
        canvasClick(x, y);
        moveTo(appContext, find("*textPlacement*text"), 5, 5);
        typeText(appContext, s);
        key(appContext, "Return");
    }
    int filesLeft() {
        int n = 0;
        if (DIR *d = opendir(tmp.c_str())) {
            while (dirent *e = readdir(d)) n += e->d_name[0] != '.';
            closedir(d);
        }
        return n;
    }
    int inkNear(int x, int y, int r) {
        XImage *im = canvasImage();
        int n = countInk(im, x - r - 3, y - r - 3, x + r + 3, y + r + 3, [](int, int) { return true; }).all;
        XDestroyImage(im);
        return n;
    }
};

}  // namespace

TEST_F(LatexViewTest, ToggleFollowsChangesAndLastDrawingWins) {
    Widget toggle = latexToggle();
    EXPECT_EQ(labelOf(toggle), "LaTeX");
    circle(100, 100, 10);
    canvasMove(490, 590);
    controlKey(appContext, "l");
    EXPECT_TRUE(booleanResource(toggle, XtNstate));
    EXPECT_TRUE(latexRunning());
    EXPECT_EQ(labelOf(toggle), "LaTeX\u2026");
    // Two changes while the first run goes on: one more run, for the last.
    circle(300, 100, 10);
    circle(300, 300, 10);
    // Only the overlay's area is redrawn: a mark beyond it stays.
    Display *d = XtDisplay(canvas);
    XFillRectangle(d, XtWindow(canvas), DefaultGC(d, DefaultScreen(d)), 470, 560, 4, 4);
    waitForLatex();
    EXPECT_EQ(labelOf(toggle), "LaTeX");
    XRectangle area = overlayArea();
    EXPECT_LT(area.x + area.width, 470);
    EXPECT_LT(area.y + area.height, 560);
    XImage *im = canvasImage();
    EXPECT_NE(XGetPixel(im, 471, 561), canvasBackground());
    XDestroyImage(im);
    EXPECT_GT(inkNear(100, 100, 10), 20);
    EXPECT_GT(inkNear(300, 300, 10), 20);
    EXPECT_EQ(filesLeft(), 0);

    // A shift moves the overlay with the drawing, without a run.
    XRectangle before = overlayArea();
    pressButton(shiftButton);
    pressButton(find("*shiftShell*right"));
    EXPECT_FALSE(latexRunning());
    EXPECT_EQ(overlayArea().x, before.x + 10);
    EXPECT_GT(inkNear(310, 300, 10), 20);
    pressButton(find("*shiftShell*done"));

    // Off, with a click on the toggle: the overlay goes.
    pressButton(toggle);
    waitForLatex();
    EXPECT_FALSE(booleanResource(toggle, XtNstate));
    EXPECT_EQ(inkNear(310, 300, 10), 0);
    EXPECT_EQ(filesLeft(), 0);
}

TEST_F(LatexViewTest, LatexErrorTurnsTheToggleOffWithItsFirstErrorLine) {
    circle(100, 100, 10);
    text(200, 200, "x^2");
    latexOn();
    EXPECT_FALSE(booleanResource(latexToggle(), XtNstate));
    EXPECT_EQ(messageText(), "LaTeX error (line 4): Missing $ inserted.");
    EXPECT_FALSE(overlayShown());
    EXPECT_EQ(inkNear(100, 100, 10), 0);
    EXPECT_EQ(filesLeft(), 0);
}

TEST_F(LatexViewTest, UndefinedMacroIsNamedAndTheRestShown) {
    circle(100, 100, 10);
    text(200, 200, "a \\foo b");
    latexOn();
    EXPECT_TRUE(booleanResource(latexToggle(), XtNstate));
    EXPECT_EQ(messageText(), "LaTeX: undefined \\foo (line 4)");
    EXPECT_GT(inkNear(100, 100, 10), 20);
}

TEST_F(LatexViewTest, MissingLatexIsToldAndTheToggleGoesOff) {
    circle(100, 100, 10);
    std::string path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", "", 1);
    latexOn();
    setenv("PATH", path.c_str(), 1);
    EXPECT_FALSE(booleanResource(latexToggle(), XtNstate));
    EXPECT_EQ(messageText(), "latex not found");
    EXPECT_EQ(filesLeft(), 0);
}

// The busy label's ellipsis is outside the buttons' Latin-1 font. In the
// test server that font is misc-fixed bold, 7 pixels a character, where
// the ellipsis is three one-pixel dots on the baseline, two pixels apart,
// the first three pixels right of the X's last ink; the ellipsis's UTF-8
// bytes read as Latin-1 drew "â", an empty cell and "¦" instead, and
// widened the button by three characters.
TEST_F(LatexViewTest, BusyLabelEndsInAnEllipsisAndKeepsTheButtonsWidth) {
    Widget toggle = latexToggle();
    Dimension idleWidth = widthOf(toggle);
    std::vector<XPoint> idleInk = labelInk(toggle);
    ASSERT_FALSE(idleInk.empty());
    short right = 0, baseline = 0;
    for (XPoint p : idleInk) right = std::max(right, p.x), baseline = std::max(baseline, p.y);

    circle(100, 100, 10);
    canvasMove(490, 590);
    controlKey(appContext, "l");
    ASSERT_TRUE(latexRunning());
    EXPECT_EQ(widthOf(toggle), idleWidth);
    std::vector<XPoint> busyInk = labelInk(toggle), dots;
    size_t same = 0;
    for (XPoint p : busyInk) {
        if (p.x > right)
            dots.push_back(p);
        else
            same += std::any_of(idleInk.begin(), idleInk.end(), [&](XPoint q) { return q.x == p.x && q.y == p.y; });
    }
    EXPECT_EQ(same, idleInk.size());  // "LaTeX" unchanged and in place
    EXPECT_EQ(busyInk.size(), idleInk.size() + dots.size());
    ASSERT_EQ(dots.size(), 3u);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(dots[i].x, right + 3 + 2 * i);
        EXPECT_EQ(dots[i].y, baseline);
    }
    waitForLatex();
    EXPECT_EQ(widthOf(toggle), idleWidth);
    EXPECT_EQ(labelInk(toggle).size(), idleInk.size());
}
