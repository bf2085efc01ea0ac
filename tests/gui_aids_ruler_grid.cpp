// The ruler and the grid on the canvas, and switching them in the settings.
#include <gtest/gtest.h>

#include <X11/StringDefs.h>
#include <X11/Xaw/Toggle.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/Decorations.h"
#include "harness/Editor.h"
#include "objects/Constrain.h"
#include "objects/Scale.h"
#include "shell/Globals.h"

using namespace harness;

namespace {

const int W = 500, H = 600;

// Starts with these resources, the settings dialog beside the main window
// and the canvas above the pane grip, so that every canvas pixel shows.
void start(std::initializer_list<std::string> resources) {
    std::vector<std::string> args = {"-xrm", "*optionsShell.geometry: +620+0"};
    for (const std::string &r : resources) args.insert(args.end(), {"-xrm", r});
    startEditor(args);
    XRaiseWindow(XtDisplay(canvas), XtWindow(canvas));
    idle();
}

struct Image {
    XImage *image = canvasImage();
    ~Image() { XDestroyImage(image); }
    bool ink(int x, int y) const { return XGetPixel(image, x, y) != canvasBackground(); }
    std::set<std::pair<int, int>> inkPixels() const {
        std::set<std::pair<int, int>> p;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                if (ink(x, y)) p.insert({x, y});
        return p;
    }
};

// Columns with ink in canvas row y, and rows with ink in column x.
std::vector<int> inkInRow(const Image &im, int y) {
    std::vector<int> v;
    for (int x = 0; x < W; x++)
        if (im.ink(x, y)) v.push_back(x);
    return v;
}
std::vector<int> inkInColumn(const Image &im, int x) {
    std::vector<int> v;
    for (int y = 0; y < H; y++)
        if (im.ink(x, y)) v.push_back(y);
    return v;
}

// The positions from 1 to last whose remainder by five is one of those
// given: the ticks of a ruler, worked out by hand for each zoom.
std::vector<int> positions(int last, const std::vector<int> &remainders) {
    std::vector<int> v;
    for (int p = 1; p <= last; p++)
        if (std::find(remainders.begin(), remainders.end(), p % 5) != remainders.end()) v.push_back(p);
    return v;
}

// The canvas within r shows text alone, drawn at (x, baseline) in the
// ruler font.
::testing::AssertionResult showsText(const Image &im, const char *text, int x, int baseline, XRectangle r) {
    Display *d = XtDisplay(canvas);
    Pixmap p = XCreatePixmap(d, XtWindow(canvas), r.width, r.height, im.image->depth);
    GC gc = XCreateGC(d, p, 0, nullptr);
    XSetForeground(d, gc, canvasBackground());
    XFillRectangle(d, p, gc, 0, 0, r.width, r.height);
    XSetForeground(d, gc, canvasForeground());
    XSetFont(d, gc, rulerFont->fid);
    XDrawString(d, p, gc, x - r.x, baseline - r.y, text, static_cast<int>(strlen(text)));
    XImage *expected = XGetImage(d, p, 0, 0, r.width, r.height, AllPlanes, ZPixmap);
    int differing = 0;
    for (int y = 0; y < r.height; y++)
        for (int i = 0; i < r.width; i++)
            if ((XGetPixel(expected, i, y) != canvasBackground()) != im.ink(r.x + i, r.y + y)) differing++;
    XDestroyImage(expected);
    XFreeGC(d, gc);
    XFreePixmap(d, p);
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ from '" << text << "'";
}

int textWidth(const char *text, int *ascent, int *descent) {
    int dir, fa, fd;
    XCharStruct ink;
    XTextExtents(rulerFont, text, static_cast<int>(strlen(text)), &dir, &fa, &fd, &ink);
    *ascent = ink.ascent;
    *descent = ink.descent;
    return ink.width;
}

bool blank(const Image &im, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            if (im.ink(x, y)) return false;
    return true;
}

}  // namespace

TEST(AidsRuler, FirstLabelsShowPictureCoordinatesOfTheirTicks) {
    start({"*initRuler: True"});
    Image im;
    int ascent, descent;
    int width = textWidth("50.0", &ascent, &descent);
    int left = 50 - width / 2;
    EXPECT_TRUE(showsText(im, "50.0", left, ascent + 10, {30, 8, 50, 30}));
    EXPECT_TRUE(blank(im, 8, 8, left - 1, 38)) << "a label left of x 50";

    width = textWidth("550.0", &ascent, &descent);
    int baseline = 50 + ascent - (ascent + descent) / 2;
    EXPECT_TRUE(showsText(im, "550.0", 10, baseline, {8, 40, 60, 20}));
    EXPECT_TRUE(blank(im, 8, 25, 70, baseline - ascent - 1)) << "a label above y 50";
}

// Ticks every five zoom-1 pixels, rounded to a whole pixel: every 5
// pixels at 100%; every 1.25 at 25%, at 1.25 + 0.5 = 1.75 -> 1, 3, 4, 5,
// 6, 8, ..., so every position but those 2 past a multiple of five.
struct TickCase {
    const char *zoom;
    size_t top, left;        // number of ticks
    std::vector<int> first;  // positions of the first six
    int lastTop, lastLeft;   // the last positions along the edges
    std::vector<int> remainders;
};
std::ostream &operator<<(std::ostream &o, const TickCase &c) { return o << "zoom " << c.zoom; }

class AidsRulerTicks : public testing::TestWithParam<TickCase> {};

TEST_P(AidsRulerTicks, FallOnRoundedMultiplesOfFiveZoomOnePixels) {
    start({"*initRuler: True", std::string("*initZoomFactor: ") + GetParam().zoom});
    Image im;
    std::vector<int> top = inkInRow(im, 0), left = inkInColumn(im, 0);
    EXPECT_EQ(top.size(), GetParam().top);
    EXPECT_EQ(left.size(), GetParam().left);
    EXPECT_EQ(std::vector<int>(top.begin(), top.begin() + 6), GetParam().first);
    EXPECT_EQ(top, positions(GetParam().lastTop, GetParam().remainders));
    EXPECT_EQ(left, positions(GetParam().lastLeft, GetParam().remainders));
}

INSTANTIATE_TEST_SUITE_P(Zooms, AidsRulerTicks,
                         testing::Values(TickCase{"100", 99, 119, {5, 10, 15, 20, 25, 30}, 495, 595, {0}},
                                         TickCase{"25", 399, 479, {1, 3, 4, 5, 6, 8}, 499, 599, {0, 1, 3, 4}}));

TEST(AidsRuler, EveryTenthTickIsEightPixelsLongEveryFifthFiveTheOthersThree) {
    start({"*initRuler: True"});
    Image im;
    for (int i = 1; i < 100; i++) {
        int p = 5 * i, length = i % 10 == 0 ? 8 : i % 5 == 0 ? 5 : 3;
        EXPECT_TRUE(im.ink(p, length - 1) && !im.ink(p, length)) << "top tick " << i;
        EXPECT_TRUE(im.ink(length - 1, p) && !im.ink(length, p)) << "left tick " << i;
    }
}

TEST(AidsGrid, DistanceTenShowsFiftyOneBySixtyOneCrosses) {
    start({"*initGrid: True"});
    std::set<std::pair<int, int>> expected;
    for (int i = 0; i <= 50; i++)
        for (int j = 0; j <= 60; j++)
            for (auto [dx, dy] : {std::pair{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                int x = 10 * i + dx, y = 10 * j + dy;
                if (x >= 0 && y >= 0 && x < W && y < H) expected.insert({x, y});
            }
    EXPECT_EQ(Image().inkPixels(), expected);
}

struct SwitchCase {
    const char *zoom;
    const char *distance;
    bool on;
};
std::ostream &operator<<(std::ostream &o, const SwitchCase &c) {
    return o << "zoom " << c.zoom << ", distance '" << c.distance << "'";
}

class AidsGridSwitch : public testing::TestWithParam<SwitchCase> {};

// The distance typed into the settings counts when the grid is switched
// on; less than 4 pixels, or no number, switches it off again.
TEST_P(AidsGridSwitch, NeedsANumberOfAtLeastFourPixels) {
    start({std::string("*initZoomFactor: ") + GetParam().zoom});
    pressButton(optionsButton);
    typeInto(valueField, GetParam().distance);
    float before = gridDistance;
    pressButton(rasterOnToggle);
    EXPECT_EQ(gridOn, GetParam().on);
    EXPECT_EQ(booleanResource(rasterOnToggle, XtNstate), GetParam().on);
    EXPECT_EQ(inkInRow(Image(), 0).empty(), !GetParam().on);
    float typed = 0;
    if (sscanf(GetParam().distance, "%f", &typed) != 1 || !std::isfinite(typed)) {
        EXPECT_EQ(gridDistance, before);  // no number: the last distance stays
    }
}

INSTANTIATE_TEST_SUITE_P(Distances, AidsGridSwitch,
                         testing::Values(SwitchCase{"100", "3", false}, SwitchCase{"200", "3", true},
                                         SwitchCase{"100", "abc", false}, SwitchCase{"100", "inf", false},
                                         SwitchCase{"100", "nan", false}, SwitchCase{"100", "4", true}));

class AidsStartGrid : public testing::TestWithParam<SwitchCase> {};

TEST_P(AidsStartGrid, InitialGridNeedsFourPixelsAtTheStartZoom) {
    start({"*initGrid: True", std::string("*initZoomFactor: ") + GetParam().zoom,
           std::string("*initGridDistance: ") + GetParam().distance});
    EXPECT_EQ(gridOn, GetParam().on);
    EXPECT_EQ(booleanResource(rasterOnToggle, XtNstate), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(Distances, AidsStartGrid,
                         testing::Values(SwitchCase{"100", "3", false}, SwitchCase{"200", "3", true}));

struct OffCase {
    const char *resource;
    Widget *toggle;
};
std::ostream &operator<<(std::ostream &o, const OffCase &c) { return o << c.resource; }

class AidsSwitchOff : public testing::TestWithParam<OffCase> {};

TEST_P(AidsSwitchOff, RedrawsTheDrawingWithoutTheMarks) {
    start({std::string(GetParam().resource) + ": True"});
    std::set<std::pair<int, int>> marks = Image().inkPixels();
    ASSERT_FALSE(marks.empty());
    chooseMenu("draw", "filled");
    canvasClick(200, 200);
    canvasClick(300, 260);
    std::set<std::pair<int, int>> drawing = Image().inkPixels();
    pressButton(optionsButton);
    pressButton(*GetParam().toggle);
    // What remains is the filled box alone: the rectangle around the ink
    // that was not a mark.
    int x0 = W, y0 = H, x1 = 0, y1 = 0;
    for (auto [x, y] : drawing)
        if (!marks.count({x, y}))
            x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    std::set<std::pair<int, int>> box;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) box.insert({x, y});
    EXPECT_FALSE(gridOn || rulerOn);
    EXPECT_EQ(Image().inkPixels(), box);
}

INSTANTIATE_TEST_SUITE_P(Marks, AidsSwitchOff,
                         testing::Values(OffCase{"*initRuler", &linealToggle},
                                         OffCase{"*initGrid", &rasterOnToggle}));

TEST(AidsNew, RedrawsGridAndRulerWithTheTypedDistance) {
    start({"*initGrid: True", "*initRuler: True"});
    Image marks;
    chooseMenu("draw", "filled");
    canvasClick(200, 200);
    canvasClick(300, 260);
    chooseMenu("file", "new");
    pressButton(confirmButton);  // discard the box
    ASSERT_EQ(countObjects(), 0);
    EXPECT_EQ(Image().inkPixels(), marks.inkPixels());

    // A distance typed into the field counts from the next New on.
    pressButton(optionsButton);
    typeInto(valueField, "20");
    EXPECT_EQ(Image().inkPixels(), marks.inkPixels());
    chooseMenu("file", "new");
    EXPECT_EQ(gridDistance, 20.0f);
    Image im;
    for (int x = 20; x < 480; x += 10) EXPECT_EQ(im.ink(x, 300), x % 20 == 0) << x;
}
