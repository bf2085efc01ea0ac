// Unit lengths: the \unitlength, its parsing, and the scale it gives.
#ifndef VEXILO_UNITS_H
#define VEXILO_UNITS_H

#include "objects/ObjRecord.h"

struct UnitEntry {
    const char *name;  // two lower-case letters, as written into files
    float points;      // TeX points per unit
};

const int unitCount = 11;
extern const UnitEntry unitTable[unitCount];  // pt cm mm pc in bp dd cc sp em ex

// The largest magnitude of a number in a picture file: the reader holds
// the numbers it reads to it, the writer those it writes, so that every
// number written is read back as written.
const float largestNumber = 1e9f;

extern float unitValue;  // the number of the current \unitlength
extern int unitIndex;    // its row of unitTable

// Reads a length such as "1.0pt", "0.5 mm" or "2CM" into unitValue and
// unitIndex; on failure sets 1.0 pt and returns false.
bool parseUnitLength(const char *text);
// A length such as "1.5pt" or "0.3 mm" in points; 0 when the text holds
// no positive length TeX can hold. Touches no state.
float lengthPoints(const char *text);
// True for a length TeX can hold, from 1sp to \maxdimen (16383.99998pt).
bool unitLengthInRange(float points);
// Sets unitPt and pixelsPerUnit from a length in points.
void setUnitScale(float points);
void ObjRescale(ObjRecord *rec, float factor);
// Every record of the drawing, those the undo history keeps too.
void rescaleAll(float factor);

#endif
