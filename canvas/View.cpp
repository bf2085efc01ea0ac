#include "canvas/View.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Units.h"

float originX = 0.0f;
float originY = 0.0f;

char gridText[fieldTextSize];
char offsetText[fieldTextSize];
char zoomText[fieldTextSize];
char thicknessText[fieldTextSize];
bool thickLinesOn = false;

void applyChosenThickness(ObjRecord *rec) {
    rec->thickLines = thickLinesOn ? 1 : 0;
    rec->lineWidth = lengthPoints(thicknessText);
}

static std::string defaultUnit = "1.0pt";

void setDefaultUnitLength(const char *text) { defaultUnit = text ? text : ""; }
const char *defaultUnitLength() { return defaultUnit.c_str(); }

float fieldNumber(const char *text, float fallback) {
    float v;
    // "inf" and "nan" read as numbers, but no step or distance is made of them.
    return sscanf(text, "%f", &v) == 1 && std::isfinite(v) ? v : fallback;
}

float zoomFromText(const char *text) {
    float percent;
    if (sscanf(text, "%f", &percent) != 1) return 1.0f;
    float z = percent / 100;
    if (z < 0.25f) return 0.25f;
    if (z > 4.0f) return 4.0f;
    if (!(z == z)) return 1.0f;  // "nan" reads as a number but is no zoom
    return z;
}

void windowToPicture(float wx, float wy, float *px, float *py) {
    *px = (wx / zoomFactor - originX) / pixelsPerUnit;
    *py = -(wy / zoomFactor - originY) / pixelsPerUnit;
}

void resetOrigin() {
    float g = pixelsPerUnit * fieldNumber(gridText, 1.0f);
    double steps = canvasHeight() / static_cast<double>(zoomFactor * g);
    // A zero or absurd grid distance gives no whole steps, not a wrapped count.
    long n = std::isfinite(steps) && std::fabs(steps) < 1e9 ? static_cast<long>(steps) : 0;
    originX = 0;
    originY = n * g;
}

// A unit length below zero has no scale on the canvas, and one beyond what
// TeX can hold none in a file: both are refused. Zero is corrected later.
bool parseDefaultUnit(const char *text) {
    return parseUnitLength(text) &&
           (unitValue == 0 || (unitValue > 0 && unitLengthInRange(unitValue * unitTable[unitIndex].points)));
}

void resetPicture() {
    // Nothing may keep pointing into the records about to be freed: the
    // selection, its grips and the text dialog's target all go first.
    deselect();
    freeAllObjects();
    modified = false;
    clearCanvas(false);
    if (!parseDefaultUnit(defaultUnit.c_str())) parseUnitLength("1.0pt");
    setUnitScale(unitValue * unitTable[unitIndex].points);
    resetOrigin();
}
