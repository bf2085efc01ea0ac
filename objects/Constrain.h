// Picture-mode constraints: grid snapping, allowed slopes, allowed circle
// diameters and the minimum length of sloped lines.
#ifndef VEXILO_CONSTRAIN_H
#define VEXILO_CONSTRAIN_H

#include "objects/ObjRecord.h"

struct SlopeEntry {
    float slope;  // y / x
    float x;
    float y;
};

const float slopeEndMarker = 1000.0f;

extern SlopeEntry lineSlopes[24];    // limit 6: 23 entries and the end marker
extern SlopeEntry vectorSlopes[12];  // limit 4: 11 entries and the end marker
extern const int circleDiameters[];  // \circle sizes in points, ended by -1
extern const int discDiameters[];    // \circle* sizes in points, ended by -1

// Setting flags.
extern bool gridOn;              // the grid is shown; snapping is possible
extern bool snapOn;              // points snap while the grid is on
extern bool unlimitedSlopes;     // lines and vectors keep any slope
extern bool unlimitedDiameters;  // circle diameters are not rounded
extern bool unlimitedLengths;    // sloped lines may be shorter than 10 pt

// The grid spacing in picture units, as last given to setGridDistance.
extern float gridDistance;

void buildSlopeTable(SlopeEntry *table, int n);
void ObjConstrain(ObjType type, XPoint *points, int count, int index);
void snapPoint(short *x, short *y);
void snapToSpacing(short *x, short *y, float *sx, float *sy, float spacing);
int roundDiameter(double d, float scale, const int *table);
void roundCircle(int cx, int cy, short *px, short *py, float scale, const int *table);
// LaTeX's \oval rounds its corners with quarter circles whose diameter is
// the largest multiple of 4 pt not above the smaller side, at most 40 pt.
// For a side below 4 pt, where LaTeX's corners overlap, the side itself.
// In points from points, and in canvas pixels from pixels at a zoom.
double ovalCornerPoints(double side);
int ovalCornerDiameter(double side, float scale);
bool setGridDistance(float distance);
void enforceMinLength(int fx, int fy, short *mx, short *my);

#endif
