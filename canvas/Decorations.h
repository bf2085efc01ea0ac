// Placing aids drawn on the canvas: grid, ruler, cross-hair, and the
// pointer's picture coordinates in the coordinate label.
#ifndef VEXILO_DECORATIONS_H
#define VEXILO_DECORATIONS_H

#include <X11/Intrinsic.h>

extern bool rulerOn;
extern bool crossOn;
extern bool crossVisible;   // the cross-hair lines are on the canvas
extern int lastPointerX;    // canvas position of the last pointer event,
extern int lastPointerY;    // -1 while the pointer is outside

// Installs the pointer and expose handlers; coord shows the coordinates.
void installDecorationHandlers(Widget canvas, Widget coord);
void initCrossHair();
void trackPointer(Widget w, XtPointer coord, XEvent *event, Boolean *dispatch);
// Shows the canvas point (x, y) in picture coordinates in the label the
// handlers were installed with.
void showCoordinates(int x, int y);
void leavePointer(Widget w, XtPointer coord, XEvent *event, Boolean *dispatch);
void redrawDecorations(Widget w, XtPointer client, XEvent *event, Boolean *dispatch);
void drawRuler();
void drawGrid();
void moveCross(Widget canvas, int x, int y, bool show);
void gridToggled(Widget toggle, XtPointer client, XtPointer call);
void rulerToggled(Widget toggle, XtPointer client, XtPointer call);

#endif
