// Where an object lies: its bounding box and the pointer test on it.
#ifndef VEXILO_EXTENT_H
#define VEXILO_EXTENT_H

#include "objects/ObjRecord.h"

// xmin, ymin, xmax, ymax in canvas pixels (y downwards: ymin is the top).
void ObjGetExtent(const ObjRecord *rec, float extent[4]);
// The box of the part of an oval that is drawn (the whole box for a whole
// oval), canvas pixels like ObjGetExtent.
void ovalPartBox(const ObjRecord *rec, float box[4]);
// The bounding box of the whole drawing, in the same terms; false (and
// extent untouched) for an empty drawing.
bool drawingExtent(float extent[4]);
// True when (px, py) lies in the bounding box widened by 3 pixels.
bool ObjHit(const ObjRecord *rec, float px, float py);

#endif
