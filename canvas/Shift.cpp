#include "canvas/Shift.h"

#include <cmath>

#include "canvas/Canvas.h"
#include "canvas/View.h"
#include "objects/Constrain.h"
#include "objects/Extent.h"
#include "objects/History.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"

static ViewShiftHook viewShiftHook = nullptr;

void setViewShiftHook(ViewShiftHook fn) { viewShiftHook = fn; }

// Truncates toward zero, keeping absurd values in range.
static int wholePixels(double v) {
    if (!(std::fabs(v) < 1e9)) return std::isnan(v) ? 0 : (v > 0 ? 1000000000 : -1000000000);
    return static_cast<int>(v);
}

// The move that centres the drawing's bounding box on the canvas, its
// lower-left corner on a multiple of the grid step.
static void centringMove(float *dx, float *dy) {
    *dx = *dy = 0;
    float box[4];
    if (!drawingExtent(box)) return;
    float minX = box[0], minY = box[1], maxX = box[2], maxY = box[3];
    int w = canvasWidth(), h = canvasHeight();
    int left = wholePixels((w - maxX - minX) * 0.5 + minX);
    int bottom = wholePixels((h - maxY - minY) * 0.5 + maxY);
    float g = fieldNumber(gridText, 1.0f) * zoomFactor * pixelsPerUnit;
    if (!(std::fabs(g) > 1e-6f) || !std::isfinite(g)) g = 1.0f;  // no step to snap to
    g = std::fabs(g);
    while (4 * g > w || 4 * g > h) g /= 10;
    short sx = toCanvas(left), sy = toCanvas(bottom);
    float fx, fy;
    snapToSpacing(&sx, &sy, &fx, &fy, g);
    *dx = sx - minX;
    *dy = sy - maxY;
}

void shiftView(int direction) {
    float d = fieldNumber(offsetText, 1.0f) * zoomFactor * pixelsPerUnit;
    float dx = 0, dy = 0;
    switch (direction) {
    case shiftUp: dy = -d; break;
    case shiftDown: dy = d; break;
    case shiftLeft: dx = -d; break;
    case shiftRight: dx = d; break;
    case shiftCentre: centringMove(&dx, &dy); break;
    default: break;
    }
    for (ObjRecord *r = objectList; r; r = r->next) ObjMove(r, dx, dy);
    forEachHeldRecord([dx, dy](ObjRecord *r) { ObjMove(r, dx, dy); });
    originX += dx / zoomFactor;
    originY += dy / zoomFactor;
    if (viewShiftHook) viewShiftHook(wholePixels(dx), wholePixels(dy));
    clearCanvas(true);
}
