// Any bytes as a picture file, through the scanner and the reader with no
// canvas: no crash, no overrun, and records that keep their invariants.
#include <cmath>
#include <cstring>

#include "FuzzFiles.h"
#include "canvas/View.h"
#include "objects/ObjRecord.h"
#include "shell/LoadPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string path = inputFile(data, size);
    snprintf(gridText, fieldTextSize, "10");
    bool loaded = false;
    loaded = loadPicture(path.c_str(), ignoreMessage);
    if (!loaded) __builtin_trap();
    for (const ObjRecord *r = objectList; r; r = r->next) {
        if (getenv("VEXILO_FUZZ_VERBOSE"))
            fprintf(stderr, "record %d: %g %g %g %g %g\n", r->type, r->x, r->y, r->x2, r->y2, r->x3);
        if (r->type < 0 || r->type >= objTypeCount) __builtin_trap();
        bool sized = r->type != ObjLine && r->type != ObjVector && r->type != ObjBezier && r->type != ObjMultiput;
        if (sized && (r->x2 < 0 || (r->type != ObjCircle && r->type != ObjDisc && r->y2 < 0))) __builtin_trap();
        if (!std::isfinite(r->x) || !std::isfinite(r->y)) __builtin_trap();
        bool texted = r->type == ObjText || r->type == ObjFramedBox || r->type == ObjDashedBox;
        if (texted && !r->text) __builtin_trap();  // the reader gives every text record its text
    }
    freeAllObjects();
    return 0;
}
