// The scale between picture units, TeX points and canvas pixels.
// Set by the view (zoom) and by the unit length; read by every layer.
#ifndef VEXILO_SCALE_H
#define VEXILO_SCALE_H

extern float zoomFactor;     // canvas zoom, 0.25 to 4.0
extern float pixelsPerUnit;  // canvas pixels per picture unit at zoom 1
extern float unitPt;         // the \unitlength in TeX points

#endif
