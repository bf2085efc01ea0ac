#include "canvas/Pick.h"

#include <X11/IntrinsicP.h>  // XtMoveWidget
#include <X11/StringDefs.h>
#include <X11/Xaw/Grip.h>
#include <cstring>
#include <initializer_list>

#include "canvas/Canvas.h"
#include "canvas/Decorations.h"
#include "canvas/Selection.h"
#include "canvas/Shift.h"
#include "objects/Constrain.h"
#include "objects/Extent.h"
#include "objects/History.h"
#include "objects/Render.h"

ObjRecord *selectedObj = nullptr;
XPoint gripPoints[3];
XPoint gripCorners[3];
int gripHalfWidth = 0;
int gripHalfHeight = 0;

GripSlot gripSlots[gripCount] = {
    {nullptr, nullptr, 0, 2, gripPoints},  {nullptr, nullptr, 0, 2, gripCorners},
    {nullptr, nullptr, 1, 2, gripCorners}, {nullptr, nullptr, 1, 2, gripPoints},
    {nullptr, nullptr, 0, 1, gripPoints},  {nullptr, nullptr, 1, 2, gripPoints},
    {nullptr, nullptr, 2, 3, gripPoints},
};

static XPoint dragLast;   // event position of the drag's previous action, grip window coordinates
static XPoint dragPoint;  // the dragged point as the pointer moved it, unsnapped
// The slot whose drag is under way. Motion and release reach a grip without
// its press when the button went down outside the program: they move nothing.
static GripSlot *dragSlot = nullptr;
static XPoint dragStart[3];  // the slot's points when the drag started
static bool dragShown;       // the drag's outline is on the canvas
// The slot pressed with Shift and button 1: its release adds the object to
// the selection or takes it out, and nothing is dragged.
static GripSlot *toggleSlot = nullptr;

static const char gripTranslations[] =
    "Shift<Btn1Down>:\tGripAction(start-toggle)\n"
    "<Btn1Down>:\tGripAction(start-resize)\n"
    "<Btn1Motion>:\tGripAction(do-resize)\n"
    "<Btn1Up>:\tGripAction(end-resize)\n"
    "<Btn2Down>:\tGripAction(start-move)\n"
    "<Btn2Motion>:\tGripAction(do-move)\n"
    "<Btn2Up>:\tGripAction(end-move)";

void createGrips() {
    XtTranslations translations = XtParseTranslationTable(gripTranslations);
    for (GripSlot &slot : gripSlots) {
        // Not managed: the canvas lays nothing out; grips are mapped and
        // moved directly.
        slot.grip = XtVaCreateWidget("grip", gripWidgetClass, canvas, XtNtranslations, translations, nullptr);
        XtAddCallback(slot.grip, XtNcallback, gripCallback, &slot);
        if (XtIsRealized(canvas)) XtRealizeWidget(slot.grip);
    }
    Dimension width = 0, height = 0, border = 0;
    XtVaGetValues(gripSlots[0].grip, XtNwidth, &width, XtNheight, &height, XtNborderWidth, &border, nullptr);
    gripHalfWidth = width / 2 + border;
    gripHalfHeight = height / 2 + border;
    modified = false;
    selectedObj = nullptr;
    setViewShiftHook(gripsFollowShift);
}

static void placeGrip(const GripSlot &slot) {
    const XPoint &p = slot.points[slot.index];
    XtMoveWidget(slot.grip, static_cast<Position>(p.x - gripHalfWidth), static_cast<Position>(p.y - gripHalfHeight));
}

static void showGrip(int i) {
    placeGrip(gripSlots[i]);
    if (XtIsRealized(gripSlots[i].grip)) XMapWindow(XtDisplay(gripSlots[i].grip), XtWindow(gripSlots[i].grip));
}

// The corners a box's grips 1 and 2 sit on, from its top-left and
// bottom-right corners.
static void fillCorners() {
    gripCorners[0].x = gripPoints[1].x;
    gripCorners[0].y = gripPoints[0].y;
    gripCorners[1].x = gripPoints[0].x;
    gripCorners[1].y = gripPoints[1].y;
}

static bool isBox(int type) {
    return type == ObjFramedBox || type == ObjDashedBox || type == ObjFilledBox || type == ObjOval;
}

void showGrips(ObjRecord *rec) {
    if (rec->type < 0 || rec->type >= objTypeCount) return;
    int n = 0;
    ObjRetrieve(rec, gripPoints, &n);
    switch (rec->type) {
    case ObjCircle:
    case ObjDisc:
        gripSlots[5].obj = rec;
        gripSlots[5].count = 2;
        showGrip(5);
        break;
    case ObjLine:
    case ObjVector:
    case ObjText:
    case ObjVerbatim:  // its point moves it
    case ObjBezier:
    case ObjMultiput:  // its first copy's point moves it, its last one's sets the step
        for (int i = 4; i < 7; i++) gripSlots[i].obj = rec;
        gripSlots[4].count = 1;
        showGrip(4);
        if (n >= 2) {
            showGrip(5);
            gripSlots[4].count = gripSlots[5].count = 2;
        }
        if (n >= 3) {
            showGrip(6);
            gripSlots[4].count = gripSlots[5].count = gripSlots[6].count = 3;
        }
        break;
    default:  // the boxes and ovals
        fillCorners();
        for (int i = 0; i < 4; i++) {
            gripSlots[i].obj = rec;
            showGrip(i);
        }
        break;
    }
}

void hideGrips() {
    for (GripSlot &slot : gripSlots) {
        if (slot.grip && XtIsRealized(slot.grip)) XUnmapWindow(XtDisplay(slot.grip), XtWindow(slot.grip));
        slot.obj = nullptr;
    }
    dragSlot = toggleSlot = nullptr;
}

void deselect() {
    hideGrips();
    selectedObj = nullptr;
    clearGroup();
}

void pickAt(int x, int y) {
    if (!objectList) return;
    // A click picks one object: a selection of several goes.
    clearGroup();
    // The first hit after the selection, newest first; wrapping round to
    // the first hit, so repeated clicks cycle through what lies there.
    ObjRecord *first = nullptr, *choice = nullptr;
    bool afterSelected = false;
    for (ObjRecord *rec = objectList; rec; rec = rec->next) {
        if (!ObjHit(rec, x, y)) continue;
        if (!first) first = rec;
        if (afterSelected) {
            choice = rec;
            break;
        }
        if (rec == selectedObj) afterSelected = true;
    }
    if (!choice) choice = first;
    if (choice == selectedObj) return;
    if (selectedObj) hideGrips();
    selectedObj = choice;
    if (choice) showGrips(choice);
}

static void outline(const GripSlot &slot) {
    ObjRubber(slot.obj->type, XtDisplay(canvas), XtWindow(canvas), slot.points, slot.count);
}

static bool samePoints(const XPoint *a, const XPoint *b, int n) {
    for (int i = 0; i < n; i++)
        if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    return true;
}

static bool eventPosition(const XEvent *event, int *x, int *y) {
    switch (event->type) {
    case KeyPress:
    case KeyRelease: *x = event->xkey.x, *y = event->xkey.y; return true;
    case ButtonPress:
    case ButtonRelease: *x = event->xbutton.x, *y = event->xbutton.y; return true;
    case MotionNotify: *x = event->xmotion.x, *y = event->xmotion.y; return true;
    case EnterNotify:
    case LeaveNotify: *x = event->xcrossing.x, *y = event->xcrossing.y; return true;
    default: return false;
    }
}

// One step of a drag: the dragged point follows the pointer, snapped, and
// either alone under the object's rules (resize) or with all the others
// (move); the outline follows.
static void dragStep(GripSlot &slot, bool resize, int ex, int ey) {
    XPoint &point = slot.points[slot.index];
    dragPoint.x = toCanvas(dragPoint.x + ex - dragLast.x);
    dragPoint.y = toCanvas(dragPoint.y + ey - dragLast.y);
    XPoint q = dragPoint;
    snapPoint(&q.x, &q.y);
    if (dragPoint.x != point.x || dragPoint.y != point.y) {
        outline(slot);
        if (resize) {
            point = q;
            ObjConstrain(slot.obj->type, slot.points, slot.count, slot.index);
        } else {
            int mx = q.x - point.x, my = q.y - point.y;
            for (int i = 0; i < slot.count; i++) {
                slot.points[i].x = toCanvas(slot.points[i].x + mx);
                slot.points[i].y = toCanvas(slot.points[i].y + my);
            }
        }
        outline(slot);
        dragShown = true;
        showCoordinates(point.x, point.y);
    }
    dragLast.x = toCanvas(ex);
    dragLast.y = toCanvas(ey);
}

void gripCallback(Widget, XtPointer client, XtPointer call) {
    GripSlot &slot = *static_cast<GripSlot *>(client);
    const XawGripCallData data = static_cast<XawGripCallData>(call);
    int ex, ey;
    if (!data || data->num_params < 1 || !data->event || !eventPosition(data->event, &ex, &ey)) return;
    if (!slot.obj) return;
    const char *p = data->params[0];
    if (strcmp(p, "start-toggle") == 0) {
        toggleSlot = &slot;
    } else if (toggleSlot == &slot && strncmp(p, "end", 3) == 0) {
        toggleSlot = nullptr;
        toggleSelected(slot.obj);
    } else if (strncmp(p, "start", 5) == 0) {
        dragSlot = &slot;
        dragShown = false;
        dragLast.x = toCanvas(ex);
        dragLast.y = toCanvas(ey);
        dragPoint = slot.points[slot.index];
        for (int i = 0; i < slot.count; i++) dragStart[i] = slot.points[i];
    } else if (strncmp(p, "do", 2) == 0) {
        if (dragSlot != &slot) return;
        dragStep(slot, strlen(p) > 3 && strcmp(p + 3, "resize") == 0, ex, ey);
    } else if (strncmp(p, "end", 3) == 0) {
        if (dragSlot != &slot) return;
        dragSlot = nullptr;
        ObjRecord *rec = slot.obj;
        outline(slot);
        // A drag that ends where it began changes nothing.
        if (!samePoints(slot.points, dragStart, slot.count)) {
            changeObject(rec);
            ObjStore(rec, slot.points);
        }
        ObjDraw(rec, XtDisplay(canvas), XtWindow(canvas));
        showGrips(rec);
        // The label showed the dragged point: the next pointer event
        // shows the pointer again, wherever it is.
        lastPointerX = lastPointerY = -1;
    }
}

void abandonDrag() {
    abandonGroupActions();
    if (!dragSlot) return;
    if (dragShown) outline(*dragSlot);
    dragSlot = nullptr;
    // The slot's points return to the object's.
    if (selectedObj) showGrips(selectedObj);
}

void gripsFollowShift(int dx, int dy) {
    if (selectedObj) {
        // The record itself moved by the exact amount: taking its points
        // again keeps fractions of a pixel from adding up between grips
        // and object.
        int n = 0;
        ObjRetrieve(selectedObj, gripPoints, &n);
        if (isBox(selectedObj->type)) fillCorners();
    } else {
        for (XPoint *points : {gripPoints, gripCorners})
            for (int i = 0; i < 3; i++) {
                points[i].x = toCanvas(points[i].x + dx);
                points[i].y = toCanvas(points[i].y + dy);
            }
    }
    for (const GripSlot &slot : gripSlots)
        if (slot.grip) placeGrip(slot);
}

// Whether Copy, Delete and the arrow keys have something to act on; the
// bell when not. A drag or move under way ends first.
static bool haveSelection() {
    if (!objectList || (!selectedObj && !groupSize())) {
        XBell(XtDisplay(canvas), 0);
        return false;
    }
    abandonDrag();
    return true;
}

void copyCommand(Widget, XtPointer, XtPointer) {
    if (!haveSelection()) return;
    if (groupSize()) return copyGroup();
    hideGrips();
    ObjRecord *copy = ObjNew(selectedObj->type);
    ObjCopy(selectedObj, copy);
    ObjMove(copy, 10, 10);
    addObject(copy);
    selectedObj = copy;
    showGrips(copy);
    ObjDraw(copy, XtDisplay(canvas), XtWindow(canvas));
}

void deleteCommand(Widget, XtPointer, XtPointer) {
    if (!haveSelection()) return;
    if (groupSize()) return deleteGroup();
    hideGrips();
    removeObject(selectedObj);  // the history keeps it
    selectedObj = nullptr;
    clearCanvas(true);
}

void moveSelection(float dx, float dy) {
    if (!haveSelection()) return;
    if (groupSize()) return moveGroupBy(dx, dy);
    changeObject(selectedObj);
    ObjMove(selectedObj, dx, dy);
    showGrips(selectedObj);
    clearCanvas(true);
}
