// Selections of several objects in pick mode: the set and the marks that
// show it, the rubber band that makes one, and moving, copying and
// deleting all of its objects as one step.
//
// A selection of one object is pick mode's selectedObj with its grips.
// The set here holds two or more objects or none, never one; while it
// holds any, selectedObj is NULL. Each of its objects shows a small mark
// at its reference point, painted with the objects at every redraw.
#ifndef VEXILO_SELECTION_H
#define VEXILO_SELECTION_H

#include <X11/Intrinsic.h>
#include <vector>

#include "objects/ObjRecord.h"

// Objects in the selection of several; 0 while one or none is selected.
int groupSize();
bool inGroup(const ObjRecord *rec);
// Selects the records, each of the drawing: none, one (with its grips) or
// several (with marks). What was selected before is dropped.
void selectObjects(std::vector<ObjRecord *> records);
// Every object of the drawing.
void selectAll();
// Adds rec to the selection, or takes it out when it is in.
void toggleSelected(ObjRecord *rec);
// Drops the selection of several, and ends a band or group move under way.
void clearGroup();
// For undo and redo: rec has left the drawing (the history keeps it) and
// leaves the selection. After the step, settleSelection makes a selection
// left with one object that object's selection.
void forgetSelected(ObjRecord *rec);
void settleSelection();

// The rubber band: button 1 pressed on empty canvas, dragged, released.
void startBand(int x, int y);
void moveBand(int x, int y);
// Selects every object whose extent lies wholly inside the band. A band
// never dragged is a click: false, and the caller picks as usual.
bool endBand(int x, int y);

// Moving the selection of several with button 2 pressed on one of its
// objects: false when (x, y) lies on none of them.
bool startGroupMove(int x, int y);
void moveGroup(int x, int y);
void endGroupMove();
// Ends a band or a group move under way without a change.
void abandonGroupActions();

// Copy, Delete and the arrow keys on the selection of several: one undo
// step each. The copies become the selection.
void copyGroup();
void deleteGroup();
void moveGroupBy(float dx, float dy);

// Paints the marks with the objects and keeps the band's and the move's
// outlines through exposures.
void installSelectionRedraw(Widget canvas);

#endif
