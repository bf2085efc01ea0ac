// Where an object lies: its bounding box and the pointer test on it.
#ifndef VEXILO_EXTENT_H
#define VEXILO_EXTENT_H

#include "objects/ObjRecord.h"

// xmin, ymin, xmax, ymax in canvas pixels (y downwards: ymin is the top).
void ObjGetExtent(const ObjRecord *rec, float extent[4]);
// The box of the part of an oval that is drawn (the whole box for a whole
// oval), canvas pixels like ObjGetExtent.
void ovalPartBox(const ObjRecord *rec, float box[4]);
// The bounding box of the whole drawing, in the same terms, taken from
// the objects whatever their size; false (and extent untouched) for an
// empty drawing or one without a defined extent.
bool drawingExtent(float extent[4]);
// A box around several extents: start empty, widen by each extent.
// Undefined (NaN) values widen nothing, so a box stays empty when no
// extent had a defined value.
void emptyBox(float box[4]);
void widenBox(float box[4], const float extent[4]);
bool boxIsEmpty(const float box[4]);

// The placeholder of a verbatim record on the canvas, in pixels, with its
// point at the lower-left corner. Its extent is the point alone: what the
// source draws is not known, and a picture's size must not depend on the
// zoom.
const int verbatimBoxWidth = 80;
const int verbatimBoxHeight = 16;
// True when (px, py) lies in the bounding box widened by 3 pixels (for a
// verbatim record, its placeholder).
bool ObjHit(const ObjRecord *rec, float px, float py);

#endif
