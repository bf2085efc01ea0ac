#include "canvas/Decorations.h"

#include <X11/StringDefs.h>
#include <X11/Xaw/Toggle.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/View.h"
#include "objects/Constrain.h"
#include "objects/Scale.h"

bool rulerOn = false;
bool crossOn = false;
bool crossVisible = false;
int lastPointerX = -1;
int lastPointerY = -1;
// Where the cross-hair lines are while crossVisible.
static int crossX, crossY;
static Widget coordDisplay = nullptr;  // the label the handlers were installed with

void installDecorationHandlers(Widget w, Widget coordLabel) {
    coordDisplay = coordLabel;
    XtAddEventHandler(w, EnterWindowMask | PointerMotionMask, False, trackPointer, coordLabel);
    XtAddEventHandler(w, LeaveWindowMask, False, leavePointer, coordLabel);
    XtAddEventHandler(w, ExposureMask, False, redrawDecorations, nullptr);
}

void initCrossHair() {
    crossVisible = false;
    lastPointerX = lastPointerY = -1;
}

// A coordinate as shown with one decimal: one that rounds to zero is
// shown as 0.0, never as -0.0.
static float shown(float v) { return v > -0.05f && v < 0.05f ? 0.0f : v; }

void trackPointer(Widget w, XtPointer coordLabel, XEvent *event, Boolean *) {
    if (event->type != MotionNotify && event->type != EnterNotify) return;
    short x = toCanvas(event->type == MotionNotify ? event->xmotion.x : event->xcrossing.x);
    short y = toCanvas(event->type == MotionNotify ? event->xmotion.y : event->xcrossing.y);
    snapPoint(&x, &y);
    if (x == lastPointerX && y == lastPointerY) return;
    showCoordinates(x, y);
    if (crossOn) moveCross(w, x, y, true);
    lastPointerX = x;
    lastPointerY = y;
}

void showCoordinates(int x, int y) {
    if (!coordDisplay) return;
    float px, py;
    windowToPicture(x, y, &px, &py);
    char text[128];  // room for two floats of any size
    snprintf(text, sizeof text, "x=%6.1f y=%6.1f", shown(px), shown(py));
    XtVaSetValues(coordDisplay, XtNlabel, text, nullptr);
}

void leavePointer(Widget w, XtPointer coordLabel, XEvent *, Boolean *) {
    XtVaSetValues(static_cast<Widget>(coordLabel), XtNlabel, "", nullptr);
    if (crossOn) moveCross(w, 0, 0, false);
    lastPointerX = lastPointerY = -1;
}

// The two lines through (x, y) across the whole canvas; XOR, so drawing
// them again removes them.
static void crossLines(Widget w, int x, int y) {
    Dimension width = 0, height = 0;
    XtVaGetValues(w, XtNwidth, &width, XtNheight, &height, nullptr);
    XDrawLine(XtDisplay(w), XtWindow(w), crossGC, x, 0, x, height);
    XDrawLine(XtDisplay(w), XtWindow(w), crossGC, 0, y, width, y);
}

void moveCross(Widget w, int x, int y, bool show) {
    if (crossVisible) crossLines(w, crossX, crossY);
    crossVisible = show;
    if (show) {
        crossLines(w, x, y);
        crossX = x;
        crossY = y;
    }
}

void redrawDecorations(Widget w, XtPointer, XEvent *event, Boolean *) {
    if (event->type != Expose || event->xexpose.count != 0) return;
    // Only the exposed area lost the marks: the rest of the canvas still
    // shows them, under XOR lines that copy-mode ticks would spoil, and
    // with the part of the cross-hair that the next move must remove.
    clipToExposedArea(rulerGC);
    if (rulerOn) drawRuler();
    if (gridOn) drawGrid();
    unclip(rulerGC);
    if (crossVisible) {
        clipToExposedArea(crossGC);
        crossLines(w, crossX, crossY);
        unclip(crossGC);
    }
}

// One ruler label: its picture coordinate with one decimal.
static void rulerLabel(float value, char *text, size_t size) { snprintf(text, size, "%.1f", shown(value)); }

void drawRuler() {
    if (!canvasRealized()) return;
    Display *d = XtDisplay(canvas);
    Window win = XtWindow(canvas);
    float s = 5 * zoomFactor;
    float nx = canvasWidth() / s, ny = canvasHeight() / s;
    char text[64];
    int dir, fontAscent, fontDescent;
    XCharStruct ink;
    for (int i = 1; i < nx; i++) {
        int p = static_cast<int>(i * s + 0.5);
        if (i % 10 == 0) {
            XDrawLine(d, win, rulerGC, p, 0, p, 7);
            float px, py;
            windowToPicture(p, 0, &px, &py);
            rulerLabel(px, text, sizeof text);
            int n = static_cast<int>(strlen(text));
            XTextExtents(rulerFont, text, n, &dir, &fontAscent, &fontDescent, &ink);
            XDrawString(d, win, rulerGC, p - ink.width / 2, ink.ascent + 10, text, n);
        } else {
            XDrawLine(d, win, rulerGC, p, 0, p, i % 5 == 0 ? 4 : 2);
        }
    }
    for (int i = 1; i < ny; i++) {
        int p = static_cast<int>(i * s + 0.5);
        if (i % 10 == 0) {
            XDrawLine(d, win, rulerGC, 0, p, 7, p);
            float px, py;
            windowToPicture(0, p, &px, &py);
            rulerLabel(py, text, sizeof text);
            int n = static_cast<int>(strlen(text));
            XTextExtents(rulerFont, text, n, &dir, &fontAscent, &fontDescent, &ink);
            XDrawString(d, win, rulerGC, 10, p + ink.ascent - (ink.ascent + ink.descent) / 2, text, n);
        } else {
            XDrawLine(d, win, rulerGC, 0, p, i % 5 == 0 ? 4 : 2, p);
        }
    }
}

void drawGrid() {
    if (!canvasRealized()) return;
    float g = gridDistance * zoomFactor * pixelsPerUnit;
    if (!(g >= 4) || std::isinf(g)) return;
    int width = canvasWidth(), height = canvasHeight();
    int cols = static_cast<int>(width / g), rows = static_cast<int>(height / g);
    std::vector<XSegment> segments;
    segments.reserve(2 * static_cast<size_t>(cols + 1) * (rows + 1));
    for (int i = 0; i <= cols; i++) {
        for (int j = 0; j <= rows; j++) {
            short x = static_cast<short>(i * g + 0.5), y = static_cast<short>(j * g + 0.5);
            segments.push_back({static_cast<short>(x - 1), y, static_cast<short>(x + 1), y});
            segments.push_back({x, static_cast<short>(y - 1), x, static_cast<short>(y + 1)});
        }
    }
    XDrawSegments(XtDisplay(canvas), XtWindow(canvas), rulerGC, segments.data(),
                  static_cast<int>(segments.size()));
}

static bool toggleState(Widget toggle) {
    Boolean state = False;
    XtVaGetValues(toggle, XtNstate, &state, nullptr);
    return state;
}

void gridToggled(Widget toggle, XtPointer, XtPointer) {
    gridOn = toggleState(toggle);
    if (gridOn) {
        // No number (nor "inf" or "nan"): the last distance stays.
        float d = fieldNumber(gridText, NAN);
        if (!std::isnan(d) && setGridDistance(d)) {
            drawGrid();
        } else {
            gridOn = false;
            XtVaSetValues(toggle, XtNstate, False, nullptr);
        }
    }
    if (!gridOn) clearCanvas(true);
}

void rulerToggled(Widget toggle, XtPointer, XtPointer) {
    rulerOn = toggleState(toggle);
    if (rulerOn)
        drawRuler();
    else
        clearCanvas(true);
}
