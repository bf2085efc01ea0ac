// Drawing objects on the canvas window, and their XOR outlines.
#ifndef VEXILO_RENDER_H
#define VEXILO_RENDER_H

#include <X11/Xlib.h>
#include "objects/ObjRecord.h"

// Created by the canvas once its window exists.
extern GC drawGC;               // copy mode, line width 1, the text font
extern GC dashGC;               // as drawGC with on-off dashes
extern GC rubberGC;             // XOR of foreground and background
extern XFontStruct *textFont;   // measures the text of objects

void ObjDraw(const ObjRecord *rec, Display *display, Drawable drawable);
void ObjRubber(ObjType type, Display *display, Drawable drawable, const XPoint *points, int count);

#endif
