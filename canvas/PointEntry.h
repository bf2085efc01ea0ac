// Drawing modes and entering the points of a new object on the canvas.
#ifndef VEXILO_POINTENTRY_H
#define VEXILO_POINTENTRY_H

#include <X11/Intrinsic.h>
#include "objects/ObjRecord.h"

const int pickMode = 12;
const int textMode = 9;

extern int graphMode;     // the current drawing mode: 0 to 9 draw, 12 pick
extern int pointCount;    // fixed points of the object being entered
extern const int modeType[14];  // the ObjType each mode creates, -1 for none

// Registers the canvas actions and overrides the canvas translations.
void registerCanvasActions(XtAppContext app, Widget canvas);
// Keeps the entry's outline on the canvas through exposures; installed
// after every other expose handler of the canvas.
void installOutlineRedraw(Widget canvas);
void trackPoint(int x, int y);
void setDrawMode(Widget w, XtPointer mode, XtPointer call);
void cancelEntry(Widget w, XtPointer client, XtPointer call);

#endif
