// Pick mode: selecting objects, grips to move and resize them, copy, delete.
#ifndef VEXILO_PICK_H
#define VEXILO_PICK_H

#include <X11/Intrinsic.h>
#include "objects/ObjRecord.h"

// The selected object; NULL when none is selected, and when several are
// (canvas/Selection.h).
extern ObjRecord *selectedObj;

// What one grip widget edits: the point points[index] of an object whose
// points are the first count of points.
struct GripSlot {
    Widget grip;
    ObjRecord *obj;
    int index;
    int count;
    XPoint *points;
};

const int gripCount = 7;
// Slots 0-3: a box's corners (top-left, top-right, bottom-left,
// bottom-right); 4-6: the points of a line, vector, text or Bezier;
// 5 alone: a circle's radius point.
extern GripSlot gripSlots[gripCount];
extern XPoint gripPoints[3];   // the selected object's points
extern XPoint gripCorners[3];  // a box's other diagonal: top-right, bottom-left
// A grip's window is placed this far up and left of its point.
extern int gripHalfWidth;
extern int gripHalfHeight;

void createGrips();
void pickAt(int x, int y);
void showGrips(ObjRecord *rec);
void hideGrips();
void deselect();
// Every grip's callback; slot is its GripSlot, call the GripCallData.
void gripCallback(Widget w, XtPointer slot, XtPointer call);
void gripsFollowShift(int dx, int dy);
// Ends a grip drag, a band or a group move under way without a change:
// the outline goes, the grips return to the object.
void abandonDrag();
// Copy and Delete act on the selection, one object or several; the bell
// when nothing is selected.
void copyCommand(Widget w, XtPointer client, XtPointer call);
void deleteCommand(Widget w, XtPointer client, XtPointer call);
// Moves the selection by (dx, dy) canvas pixels, one undo step; the bell
// when nothing is selected.
void moveSelection(float dx, float dy);

#endif
