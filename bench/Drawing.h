// A large drawing of every object type for the benchmarks.
#ifndef VEXILO_BENCH_DRAWING_H
#define VEXILO_BENCH_DRAWING_H

#include <cstdio>

#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Units.h"

// Canvas coordinates at zoom 1.5 and 1 mm, with fractions as after a zoom.
inline void buildDrawing(int count) {
    freeAllObjects();
    unitValue = 1, unitIndex = 2;
    setUnitScale(unitTable[2].points);
    zoomFactor = 1.5f;
    for (int i = 0; i < count; i++) {
        ObjType type = static_cast<ObjType>(i % objTypeCount);
        ObjRecord *r = ObjNew(type);
        float x = static_cast<float>(i % 997) * 1.37f, y = static_cast<float>(i % 991) * 0.73f;
        r->x = x, r->y = y;
        switch (type) {
        case ObjLine:
        case ObjVector:
            r->x2 = x + 30 + static_cast<float>(i % 7) * 4.5f;
            r->y2 = y - 10 - static_cast<float>(i % 5) * 9;
            break;
        case ObjBezier:
            r->x2 = x + 40, r->y2 = y - 60, r->x3 = x + 90, r->y3 = y + 15;
            break;
        case ObjCircle:
        case ObjDisc:
            r->x2 = 4.5f + static_cast<float>(i % 9);
            break;
        default:  // boxes, oval, text
            r->x2 = type == ObjText ? 0 : 45.5f;
            r->y2 = type == ObjText ? 0 : 22.5f;
            r->x3 = 7.5f;
            if (type != ObjFilledBox && type != ObjOval) {
                r->flags = i % 2 ? posCentred : posBottom | posLeft;
                snprintf(r->text, sizeof r->text, "Text %d", i);
            }
            break;
        }
        linkObject(r);
    }
}

#endif
