// The view: where the picture origin lies on the canvas, the transform
// between canvas pixels and picture coordinates, and resetting the picture.
#ifndef VEXILO_VIEW_H
#define VEXILO_VIEW_H

#include "objects/ObjRecord.h"

// Window position of the picture origin, in zoom-1 pixels.
extern float originX;
extern float originY;

// Texts of the settings fields, edited in place by their dialogs:
// at most 10 characters and the NUL each.
const int fieldTextSize = 11;
extern char gridText[fieldTextSize];    // grid distance in picture units
extern char offsetText[fieldTextSize];  // shift step in picture units
extern char zoomText[fieldTextSize];    // zoom in percent
extern char thicknessText[fieldTextSize];  // line thickness of new objects, a length; empty for none

// \thicklines for new objects, else \thinlines.
extern bool thickLinesOn;
// Gives a new object the line thickness chosen in the settings.
void applyChosenThickness(ObjRecord *rec);

// The zoom rule: percent / 100 clamped to 0.25 .. 4, 1 when no number.
float zoomFromText(const char *text);

// The picture coordinates of a canvas position (a pixel, or a record's
// float coordinates).
void windowToPicture(float wx, float wy, float *px, float *py);
void resetOrigin();
void resetPicture();

// Keeps the default \unitlength text for resets.
// Parses a default \unitlength; a negative length is refused too.
bool parseDefaultUnit(const char *text);
void setDefaultUnitLength(const char *text);
const char *defaultUnitLength();

// A number read from a field text with "%f", or fallback when none.
float fieldNumber(const char *text, float fallback);

#endif
