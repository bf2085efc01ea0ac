// The canvas widget, its graphics contexts and its redisplay.
#ifndef VEXILO_CANVAS_H
#define VEXILO_CANVAS_H

#include <X11/Intrinsic.h>

extern Widget canvas;  // the drawing area; NULL before createCanvas

extern GC crossGC;               // XOR: the cross-hair
extern GC rulerGC;               // copy mode: ruler ticks, labels, grid
extern XFontStruct *rulerFont;   // measures the ruler labels

Widget createCanvas(Widget parent, const char *defaultUnitLength, float initOffset);
void createDrawingGCs(Display *display, Window window, XFontStruct *font,
                      Pixel foreground, Pixel background, float initGridDistance);
void createDecorationGCs(XFontStruct *font, Pixel foreground, Pixel background);
void redrawObjects(Widget w, XtPointer client, XEvent *event, Boolean *dispatch);
// Paints what lies under the objects (LaTeX's rendering) in the exposed
// area at every redraw, before the objects.
typedef void (*UnderlayPainter)(Display *display, Window window, Region exposed);
void setUnderlayPainter(UnderlayPainter painter);
// Paints what lies over the objects (pick mode's marks) in the exposed
// area at every redraw, right after them, below grid, ruler and outlines.
using OverlayPainter = UnderlayPainter;
void setOverlayPainter(OverlayPainter painter);
// While the last Expose event of a series is handled: the area it exposed.
// Handlers after redrawObjects clip their drawing to it.
Region exposedArea();
void clipToExposedArea(GC gc);
void unclip(GC gc);

// The canvas's current size; 500 x 600 while there is no canvas widget.
int canvasWidth();
int canvasHeight();
bool canvasRealized();
// Clears the whole canvas window, asking for exposures or not;
// does nothing while the canvas is not realized.
void clearCanvas(bool exposures);

#endif
