#include "canvas/PointEntry.h"

#include <cstdio>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/Selection.h"
#include "canvas/View.h"
#include "objects/Constrain.h"
#include "objects/Extent.h"
#include "objects/History.h"
#include "objects/Render.h"
#include "shell/TextPlacement.h"

int graphMode = pickMode;
int pointCount = 0;
const int modeType[modeCount] = {ObjLine,   ObjVector,    ObjCircle,    ObjDisc,      ObjOval, ObjBezier, ObjFramedBox,
                          ObjDashedBox, ObjFilledBox, ObjText, -1, -1, -1, -1};

static void trackItAct(Widget, XEvent *, String *, Cardinal *);
static void setPointAct(Widget, XEvent *, String *, Cardinal *);
static void abortObjectAct(Widget, XEvent *, String *, Cardinal *);
static void startBandAct(Widget, XEvent *, String *, Cardinal *);
static void togglePickAct(Widget, XEvent *, String *, Cardinal *);
static void startGroupMoveAct(Widget, XEvent *, String *, Cardinal *);
static void endGroupMoveAct(Widget, XEvent *, String *, Cardinal *);

static XtActionsRec canvasActions[] = {
    {"track-it", trackItAct},
    {"set-point", setPointAct},
    {"abort-object", abortObjectAct},
    {"start-band", startBandAct},
    {"toggle-pick", togglePickAct},
    {"start-group-move", startGroupMoveAct},
    {"end-group-move", endGroupMoveAct},
};

// In pick mode a press of button 1 on empty canvas starts a rubber band,
// one of button 2 on a selection of several moves it, and Shift with
// button 1 adds an object to the selection or takes it out.
static const char canvasTranslations[] =
    "\t\t\tShift<Btn1Up>:toggle-pick()\n"
    "\t\t\t<Btn1Down>:start-band()\n"
    "\t\t\t<Btn1Up>:set-point()\n"
    "\t\t\t<Btn2Down>:start-group-move()\n"
    "\t\t\t<Btn2Up>:end-group-move() abort-object()\n"
    "\t\t\t<Btn3Up>:abort-object()\n"
    "\t\t\t<Motion>:track-it()";

void registerCanvasActions(XtAppContext app, Widget w) {
    XtAppAddActions(app, canvasActions, XtNumber(canvasActions));
    XtOverrideTranslations(w, XtParseTranslationTable(canvasTranslations));
}

static ObjType currentType() { return static_cast<ObjType>(modeType[graphMode]); }

// Draws, or being XOR removes, the outline of the entry: the fixed points
// and the pending one.
static void rubber() {
    ObjRubber(currentType(), XtDisplay(canvas), XtWindow(canvas), pointBuffer, pointCount + 1);
}

void trackPoint(int x, int y) {
    XPoint &pending = pointBuffer[pointCount];
    XPoint old = pending;
    pending.x = toCanvas(x);
    pending.y = toCanvas(y);
    ObjConstrain(currentType(), pointBuffer, pointCount + 1, pointCount);
    if (pending.x == old.x && pending.y == old.y) return;
    XPoint moved = pending;
    pending = old;
    rubber();
    pending = moved;
    rubber();
}

static void createObject() {
    ObjRecord *rec = ObjNew(currentType());
    ObjStore(rec, pointBuffer);
    applyChosenThickness(rec);
    addObject(rec);
    ObjDraw(rec, XtDisplay(canvas), XtWindow(canvas));
}

static void trackItAct(Widget, XEvent *event, String *, Cardinal *) {
    int x = event->xmotion.x, y = event->xmotion.y;
    if (graphMode == pickMode) {
        moveBand(x, y);
        moveGroup(x, y);
    }
    trackPoint(x, y);
}

static void setPointAct(Widget, XEvent *event, String *, Cardinal *) {
    int x = event->xbutton.x, y = event->xbutton.y;
    if (graphMode == textMode) {
        pointBuffer[0].x = toCanvas(x);
        pointBuffer[0].y = toCanvas(y);
        snapPoint(&pointBuffer[0].x, &pointBuffer[0].y);
        pointCount = 1;
        openTextPlacement("Text Placement", False);
        return;
    }
    if (graphMode == pickMode) {
        if (!endBand(x, y)) pickAt(x, y);
        return;
    }
    if (graphMode < 0 || graphMode >= modeCount || modeType[graphMode] < 0) {
        fprintf(stderr, "warning: setPointAct: unallowed graphMode\n");
        return;
    }
    trackPoint(x, y);
    rubber();
    pointCount++;
    switch (currentType()) {
    case ObjLine:
    case ObjVector:
        if (pointCount == 2) {
            createObject();
            pointBuffer[0] = pointBuffer[1];
            pointCount = 1;
        }
        break;
    case ObjBezier:
        if (pointCount == 3) {
            createObject();
            pointCount = 0;
        }
        break;
    case ObjFramedBox:
    case ObjDashedBox:
        if (pointCount == 2) {
            openTextPlacement(currentType() == ObjFramedBox ? "Framed Box Text Placement"
                                                            : "Dashed Box Text Placement",
                              True);
            return;
        }
        break;
    default:  // circle, disc, oval, filled box
        if (pointCount == 2) {
            createObject();
            pointCount = 0;
        }
        break;
    }
    rubber();
}

static void abortObjectAct(Widget w, XEvent *, String *, Cardinal *) {
    abandonGroupActions();  // Escape ends a band or a group move too
    cancelEntry(w, nullptr, nullptr);
}

// The object a click at (x, y) picks first: the newest there.
static ObjRecord *topObjectAt(int x, int y) {
    for (ObjRecord *rec = objectList; rec; rec = rec->next)
        if (ObjHit(rec, x, y)) return rec;
    return nullptr;
}

static void startBandAct(Widget, XEvent *event, String *, Cardinal *) {
    if (graphMode == pickMode && !topObjectAt(event->xbutton.x, event->xbutton.y))
        startBand(event->xbutton.x, event->xbutton.y);
}

static void togglePickAct(Widget w, XEvent *event, String *params, Cardinal *count) {
    if (graphMode != pickMode) return setPointAct(w, event, params, count);
    int x = event->xbutton.x, y = event->xbutton.y;
    if (endBand(x, y)) return;
    if (ObjRecord *rec = topObjectAt(x, y)) toggleSelected(rec);
}

static void startGroupMoveAct(Widget, XEvent *event, String *, Cardinal *) {
    if (graphMode == pickMode) startGroupMove(event->xbutton.x, event->xbutton.y);
}

static void endGroupMoveAct(Widget, XEvent *, String *, Cardinal *) { endGroupMove(); }

void cancelEntry(Widget, XtPointer, XtPointer) {
    if (graphMode == pickMode) return;
    rubber();
    pointCount = 0;
}

void setDrawMode(Widget, XtPointer mode, XtPointer) {
    bool entering = graphMode != pickMode && pointCount > 0;
    if (graphMode != pickMode) rubber();
    graphMode = static_cast<int>(reinterpret_cast<long>(mode));
    pointCount = 0;
    if (graphMode == pickMode) deselect();
    // The menu has just popped down over the canvas, exposing part of the
    // outline that was removed above: only a full redraw leaves no trace.
    if (entering) clearCanvas(true);
}

// After an exposure the outline of the entry is gone from the exposed
// area; drawing it there again keeps the XOR outline whole.
static void redrawOutline(Widget, XtPointer, XEvent *event, Boolean *) {
    if (event->type != Expose || event->xexpose.count != 0) return;
    if (graphMode == pickMode || pointCount == 0 || !exposedArea()) return;
    // While the text dialog is up for the entered object, its outline has
    // only the fixed points.
    bool dialogUp = (graphMode == textMode && pointCount == 1) ||
                    ((currentType() == ObjFramedBox || currentType() == ObjDashedBox) && pointCount == 2);
    clipToExposedArea(rubberGC);
    ObjRubber(currentType(), XtDisplay(canvas), XtWindow(canvas), pointBuffer, pointCount + (dialogUp ? 0 : 1));
    unclip(rubberGC);
}

void installOutlineRedraw(Widget w) { XtAddEventHandler(w, ExposureMask, False, redrawOutline, nullptr); }
