#include "objects/Extent.h"

#include <algorithm>
#include <cstdio>

// Widens [lo, hi] by the extreme value of the quadratic Bezier coordinate
// when the control coordinate q lies outside it.
static void bezierExtreme(float s, float q, float e, float *lo, float *hi) {
    if (q >= *lo && q <= *hi) return;
    float t = static_cast<float>(static_cast<double>(e - q) / ((e + s) - 2 * q));
    // In exact arithmetic t lies in [0, 1]; rounding in a nearly straight
    // curve could throw it far off and the box with it.
    if (!(t >= 0)) t = 0;
    if (t > 1) t = 1;
    float v = s * t * t + 2 * q * t * (1 - t) + e * (1 - t) * (1 - t);
    if (v >= *lo)
        *hi = v;
    else
        *lo = v;
}

void ObjGetExtent(const ObjRecord *rec, float extent[4]) {
    switch (rec->type) {
    case ObjLine:
    case ObjVector:
        extent[0] = std::min(rec->x, rec->x2);
        extent[1] = std::min(rec->y, rec->y2);
        extent[2] = std::max(rec->x, rec->x2);
        extent[3] = std::max(rec->y, rec->y2);
        break;
    case ObjFramedBox:
    case ObjDashedBox:
    case ObjFilledBox:
    case ObjOval:
    case ObjText:
        extent[0] = rec->x;
        extent[1] = rec->y;
        extent[2] = rec->x + rec->x2;
        extent[3] = rec->y + rec->y2;
        break;
    case ObjCircle:
    case ObjDisc:
        extent[0] = rec->x - rec->x2;
        extent[1] = rec->y - rec->x2;
        extent[2] = rec->x + rec->x2;
        extent[3] = rec->y + rec->x2;
        break;
    case ObjBezier:
        extent[0] = std::min(rec->x, rec->x3);
        extent[1] = std::min(rec->y, rec->y3);
        extent[2] = std::max(rec->x, rec->x3);
        extent[3] = std::max(rec->y, rec->y3);
        bezierExtreme(rec->x, rec->x2, rec->x3, &extent[0], &extent[2]);
        bezierExtreme(rec->y, rec->y2, rec->y3, &extent[1], &extent[3]);
        break;
    default:
        fprintf(stderr, "ObjGetExtent: unknown type %d\n", rec->type);
        break;
    }
}

bool ObjHit(const ObjRecord *rec, float px, float py) {
    float e[4];
    ObjGetExtent(rec, e);
    return double(e[0]) - 3 <= px && px <= double(e[2]) + 3 && double(e[1]) - 3 <= py &&
           py <= double(e[3]) + 3;
}
