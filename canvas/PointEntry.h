// Drawing modes and entering the points of a new object on the canvas.
#ifndef VEXILO_POINTENTRY_H
#define VEXILO_POINTENTRY_H

#include <X11/Intrinsic.h>
#include "objects/ObjRecord.h"

// The drawing modes, the values of graphMode that the draw menu sets.
// 10, 11 and 13 are no mode: set-point refuses them.
enum DrawMode : int {
    lineMode = 0,
    vectorMode = 1,
    circleMode = 2,
    discMode = 3,
    roundedMode = 4,
    bezierMode = 5,
    framedMode = 6,
    dashedMode = 7,
    filledMode = 8,
    textMode = 9,
    pickMode = 12,
};
const int modeCount = 14;  // the size of modeType

extern int graphMode;     // the current DrawMode
extern int pointCount;    // fixed points of the object being entered
extern const int modeType[modeCount];  // the ObjType each mode creates, -1 for none

// Registers the canvas actions and overrides the canvas translations.
void registerCanvasActions(XtAppContext app, Widget canvas);
// Keeps the entry's outline on the canvas through exposures; installed
// after every other expose handler of the canvas.
void installOutlineRedraw(Widget canvas);
void trackPoint(int x, int y);
void setDrawMode(Widget w, XtPointer mode, XtPointer call);
void cancelEntry(Widget w, XtPointer client, XtPointer call);

#endif
