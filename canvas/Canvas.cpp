#include "canvas/Canvas.h"

#include <X11/StringDefs.h>
#include <cstdio>

#include "canvas/View.h"
#include "objects/ObjRecord.h"
#include "objects/Render.h"
#include "picfile/Units.h"

Widget canvas = nullptr;
GC crossGC = nullptr;
GC rulerGC = nullptr;
XFontStruct *rulerFont = nullptr;

Widget createCanvas(Widget parent, const char *unitLength, float initOffset) {
    canvas = XtVaCreateManagedWidget("canvas", compositeWidgetClass, parent, XtNwidth, 500, XtNheight,
                                     600, nullptr);
    // The first expose handler: objects are drawn before ruler and grid.
    XtAddEventHandler(canvas, ExposureMask, False, redrawObjects, nullptr);
    freeAllObjects();
    setDefaultUnitLength(unitLength);
    if (!parseDefaultUnit(unitLength)) {
        fprintf(stderr, "vexilo: don't understand default \\unitlength=\"%s\"; using 1.0pt\n", unitLength);
        parseUnitLength("1.0pt");
    }
    setUnitScale(unitValue * unitTable[unitIndex].points);
    snprintf(offsetText, sizeof offsetText, "%.2f", initOffset);
    return canvas;
}

// Draws in the foreground colour by XOR, so a second drawing removes it.
static GC xorGC(Display *display, Window window, Pixel foreground, Pixel background) {
    XGCValues v;
    v.function = GXxor;
    v.foreground = foreground ^ background;
    return XCreateGC(display, window, GCFunction | GCForeground, &v);
}

void createDrawingGCs(Display *display, Window window, XFontStruct *font, Pixel foreground,
                      Pixel background, float initGridDistance) {
    textFont = font;
    rubberGC = xorGC(display, window, foreground, background);
    // The width of drawGC: an outline XOR-drawn over an object (a grip's
    // drag starts so) covers exactly its pixels and leaves none behind.
    XSetLineAttributes(display, rubberGC, 1, LineSolid, CapButt, JoinMiter);
    // Outlines away from their objects need no such care: the server's
    // fastest lines.
    thinRubberGC = xorGC(display, window, foreground, background);
    XGCValues v;
    v.function = GXcopy;
    v.foreground = foreground;
    v.background = background;
    v.line_width = 1;
    v.font = font->fid;
    unsigned long mask = GCFunction | GCForeground | GCBackground | GCLineWidth | GCFont;
    drawGC = XCreateGC(display, window, mask, &v);
    v.line_style = LineOnOffDash;
    dashGC = XCreateGC(display, window, mask | GCLineStyle, &v);
    snprintf(gridText, sizeof gridText, "%.2f", initGridDistance);
}

void createDecorationGCs(XFontStruct *font, Pixel foreground, Pixel background) {
    Display *display = XtDisplay(canvas);
    Window window = XtWindow(canvas);
    rulerFont = font;
    crossGC = xorGC(display, window, foreground, background);
    XGCValues v;
    v.function = GXcopy;
    v.foreground = foreground;
    v.font = font->fid;
    rulerGC = XCreateGC(display, window, GCFunction | GCForeground | GCFont, &v);
}

// The area of the current series of Expose events. The handlers of the
// series' last event draw only there, so XOR drawings outside it (an
// outline, the cross-hair) keep their pixels.
static Region exposed = nullptr;
static bool seriesComplete = true;
static UnderlayPainter underlayPainter = nullptr;
static OverlayPainter overlayPainter = nullptr;

void setUnderlayPainter(UnderlayPainter painter) { underlayPainter = painter; }
void setOverlayPainter(OverlayPainter painter) { overlayPainter = painter; }

Region exposedArea() { return exposed; }

void clipToExposedArea(GC gc) {
    if (exposed) XSetRegion(XtDisplay(canvas), gc, exposed);
}

void unclip(GC gc) { XSetClipMask(XtDisplay(canvas), gc, None); }

void redrawObjects(Widget w, XtPointer, XEvent *event, Boolean *) {
    if (event->type != Expose) return;
    if (seriesComplete) {
        if (exposed) XDestroyRegion(exposed);
        exposed = XCreateRegion();
        seriesComplete = false;
    }
    XRectangle r = {static_cast<short>(event->xexpose.x), static_cast<short>(event->xexpose.y),
                    static_cast<unsigned short>(event->xexpose.width),
                    static_cast<unsigned short>(event->xexpose.height)};
    XUnionRectWithRegion(&r, exposed, exposed);
    if (event->xexpose.count != 0) return;
    seriesComplete = true;
    if (underlayPainter) underlayPainter(XtDisplay(w), XtWindow(w), exposed);
    clipToExposedArea(drawGC);
    clipToExposedArea(dashGC);
    beginObjBatch();
    for (const ObjRecord *rec = objectList; rec; rec = rec->next) ObjDraw(rec, XtDisplay(w), XtWindow(w));
    endObjBatch(XtDisplay(w), XtWindow(w));
    if (overlayPainter) overlayPainter(XtDisplay(w), XtWindow(w), exposed);
    unclip(drawGC);
    unclip(dashGC);
}

static Dimension canvasDimension(const char *name, Dimension fallback) {
    if (!canvas) return fallback;
    Dimension d = 0;
    XtVaGetValues(canvas, name, &d, nullptr);
    return d;
}

int canvasWidth() { return canvasDimension(XtNwidth, 500); }
int canvasHeight() { return canvasDimension(XtNheight, 600); }
bool canvasRealized() { return canvas && XtIsRealized(canvas); }

void clearCanvas(bool exposures) {
    if (canvasRealized()) XClearArea(XtDisplay(canvas), XtWindow(canvas), 0, 0, 0, 0, exposures);
}
