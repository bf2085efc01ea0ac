// Drawing objects on the canvas window, and their XOR outlines.
#ifndef VEXILO_RENDER_H
#define VEXILO_RENDER_H

#include <X11/Xlib.h>
#include <cstddef>
#include "objects/ObjRecord.h"

// Created by the canvas once its window exists.
extern GC drawGC;               // copy mode, line width 1, the text font
extern GC dashGC;               // as drawGC with on-off dashes
extern GC rubberGC;             // XOR of foreground and background
extern GC thinRubberGC;         // as rubberGC with zero-width lines: many outlines at once
extern XFontStruct *textFont;   // measures the text of objects

void ObjDraw(const ObjRecord *rec, Display *display, Drawable drawable);
// Between these, ObjDraw gathers shapes and the end sends them together:
// a redraw of many objects in a few requests.
void beginObjBatch();
void endObjBatch(Display *display, Drawable drawable);
void ObjRubber(ObjType type, Display *display, Drawable drawable, const XPoint *points, int count);
// The outlines of n records, each moved by (dx, dy) pixels, as ObjRubber
// draws them (a record of one point shows a small square there) but with
// thinRubberGC, in few requests however many there are: a large selection
// follows the pointer.
void ObjRubberAll(const ObjRecord *const *records, size_t n, int dx, int dy, Display *display,
                  Drawable drawable);

#endif
