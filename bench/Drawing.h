// A large drawing of every object type for the benchmarks, with what
// files from other tools hold: multiputs, thickness, oval parts, dots.
#ifndef VEXILO_BENCH_DRAWING_H
#define VEXILO_BENCH_DRAWING_H

#include <cstdio>
#include <string>

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
        case ObjMultiput: {
            // Ten copies of a tick mark and a dot, as plots write them.
            r->x2 = 3.5f, r->y2 = -1.25f, r->count = 10;
            ObjRecord *tick = ObjNew(ObjFilledBox);
            tick->x = x, tick->y = y, tick->x2 = 0.6f, tick->y2 = 7.5f;
            ObjRecord *dot = ObjNew(ObjDisc);
            dot->x = x, dot->y = y, dot->x2 = 1.5f;
            tick->next = dot;
            r->body = tick;
            break;
        }
        default:  // boxes, oval, text
            r->x2 = type == ObjText ? 0 : 45.5f;
            r->y2 = type == ObjText ? 0 : 22.5f;
            r->x3 = 7.5f;
            if (type != ObjFilledBox && type != ObjOval) {
                r->flags = i % 2 ? posCentred : posBottom | posLeft;
                ObjSetText(r, ("Text " + std::to_string(i)).c_str());
            }
            break;
        }
        // Beyond the editor's own form: thick lines, a line thickness,
        // oval parts, dotted curves.
        if (i % 3 == 0) r->thickLines = 1;
        if (i % 7 == 0) r->lineWidth = 1.5f;
        if (type == ObjOval && i % 2) r->part = ovalTop | ovalLeft;
        if (type == ObjBezier && i % 2) r->dots = 40;
        linkObject(r);
    }
}

#endif
