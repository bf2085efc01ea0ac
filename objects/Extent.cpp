#include "objects/Extent.h"

#include <algorithm>
#include <cmath>
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

void ovalPartBox(const ObjRecord *rec, float box[4]) {
    box[0] = rec->x;
    box[1] = rec->y;
    box[2] = rec->x + rec->x2;
    box[3] = rec->y + rec->y2;
    float midX = rec->x + rec->x2 / 2, midY = rec->y + rec->y2 / 2;
    int horizontal = rec->part & (ovalLeft | ovalRight), vertical = rec->part & (ovalTop | ovalBottom);
    if (horizontal == ovalLeft) box[2] = midX;
    if (horizontal == ovalRight) box[0] = midX;
    if (vertical == ovalTop) box[3] = midY;
    if (vertical == ovalBottom) box[1] = midY;
}

// Every copy is the first one moved by a multiple of the step, so the
// first and the last copy span the whole.
static void multiputExtent(const ObjRecord *rec, float extent[4]) {
    extent[0] = extent[1] = 1e30f;
    extent[2] = extent[3] = -1e30f;
    if (!rec->body) {  // nothing drawn: the point alone
        extent[0] = extent[2] = rec->x;
        extent[1] = extent[3] = rec->y;
        return;
    }
    float last = static_cast<float>(rec->count > 1 ? rec->count - 1 : 0);
    for (const ObjRecord *r = rec->body; r; r = r->next) {
        float e[4];
        ObjGetExtent(r, e);
        for (float k : {0.0f, last}) {
            extent[0] = std::min(extent[0], e[0] + k * rec->x2);
            extent[1] = std::min(extent[1], e[1] + k * rec->y2);
            extent[2] = std::max(extent[2], e[2] + k * rec->x2);
            extent[3] = std::max(extent[3], e[3] + k * rec->y2);
        }
    }
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
    case ObjOval:
        ovalPartBox(rec, extent);
        break;
    case ObjFramedBox:
    case ObjDashedBox:
    case ObjFilledBox:
    case ObjText:
    case ObjVerbatim:
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
    case ObjMultiput:
        multiputExtent(rec, extent);
        break;
    default:
        fprintf(stderr, "ObjGetExtent: unknown type %d\n", rec->type);
        break;
    }
}

void emptyBox(float box[4]) {
    box[0] = box[1] = HUGE_VALF;
    box[2] = box[3] = -HUGE_VALF;
}

void widenBox(float box[4], const float e[4]) {
    if (e[0] < box[0]) box[0] = e[0];
    if (e[1] < box[1]) box[1] = e[1];
    if (e[2] > box[2]) box[2] = e[2];
    if (e[3] > box[3]) box[3] = e[3];
}

bool boxIsEmpty(const float box[4]) { return !(box[0] <= box[2] && box[1] <= box[3]); }

bool ObjHit(const ObjRecord *rec, float px, float py) {
    float e[4];
    ObjGetExtent(rec, e);
    if (rec->type == ObjVerbatim) e[1] -= verbatimBoxHeight, e[2] += verbatimBoxWidth;
    return double(e[0]) - 3 <= px && px <= double(e[2]) + 3 && double(e[1]) - 3 <= py &&
           py <= double(e[3]) + 3;
}

bool drawingExtent(float extent[4]) {
    float box[4];
    emptyBox(box);
    for (const ObjRecord *r = objectList; r; r = r->next) {
        float e[4];
        ObjGetExtent(r, e);
        widenBox(box, e);
    }
    if (boxIsEmpty(box)) return false;
    for (int i = 0; i < 4; i++) extent[i] = box[i];
    return true;
}
