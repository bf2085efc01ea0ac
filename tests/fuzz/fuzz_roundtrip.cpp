// Any bytes as a picture file: whatever the reader makes of it, the writer
// saves, and reading that file again gives the same records.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "FuzzFiles.h"
#include "canvas/View.h"
#include "objects/Extent.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "shell/LoadPicture.h"
#include "picfile/Writer.h"

struct Shape {
    int type, flags;
    std::string text;
    std::vector<float> values;  // picture units from the drawing's top left
};

// The largest coordinate of any record seen, in picture units: the floats
// of the records are only as fine as that allows.
static float largest = 0;

// The file rounds to two decimals: a value and the corner it is measured
// from each lose up to 0.005, an oval's corner (its centre less half its
// rounded width) up to 0.0075. Records far from the origin lose a few
// float steps on every move and scaling.
static std::vector<Shape> shapes() {
    float xmin = INFINITY, ymin = INFINITY;
    // The reference corner leaves out the ends of lines, which may move,
    // and the copies of a multiput, whose rounded step adds up over them.
    for (const ObjRecord *r = objectList; r; r = r->next) {
        float e[4] = {r->x, r->y, r->x, r->y};
        if (r->type != ObjLine && r->type != ObjVector && r->type != ObjMultiput) ObjGetExtent(r, e);
        xmin = std::min(xmin, e[0]);
        ymin = std::min(ymin, e[1]);
    }
    float s = zoomFactor * pixelsPerUnit;
    for (const ObjRecord *r = objectList; r; r = r->next)
        for (float v : {r->x, r->y, r->x2, r->y2, r->x3, r->type == ObjBezier ? r->y3 : 0.0f})
            largest = std::max(largest, std::fabs(v) / s);
    // A multiput's body reaches farther than its own fields tell, and the
    // picture's frame is measured from the whole drawing.
    float whole[4];
    if (drawingExtent(whole))
        for (float v : whole) largest = std::max(largest, std::fabs(v) / s);
    std::vector<Shape> all;
    for (const ObjRecord *r = objectList; r; r = r->next) {
        bool text = r->type == ObjFramedBox || r->type == ObjDashedBox || r->type == ObjText;
        Shape shape{r->type, text ? r->flags : 0, text ? ObjGetText(r) : "", {(r->x - xmin) / s, (r->y - ymin) / s}};
        bool points = r->type == ObjLine || r->type == ObjVector || r->type == ObjBezier;
        if (r->type == ObjMultiput) shape.flags = r->count;
        shape.values.push_back(points ? (r->x2 - xmin) / s : r->x2 / s);
        if (r->type != ObjCircle && r->type != ObjDisc) shape.values.push_back(points ? (r->y2 - ymin) / s : r->y2 / s);
        if (r->type == ObjBezier) shape.values.insert(shape.values.end(), {(r->x3 - xmin) / s, (r->y3 - ymin) / s});
        if (r->type == ObjDashedBox) shape.values.push_back(r->x3 / s);
        all.push_back(shape);
    }
    return all;
}

static bool near(float a, float b) { return std::fabs(a - b) <= 0.0151f + 1e-6f * largest; }

static void same(const std::vector<Shape> &a, const std::vector<Shape> &b, bool slopesMayRound) {
    if (a.size() != b.size()) __builtin_trap();
    for (size_t i = 0; i < a.size(); i++) {
        if (a[i].type != b[i].type || a[i].flags != b[i].flags || a[i].text != b[i].text ||
            a[i].values.size() != b[i].values.size())
            __builtin_trap();
        bool line = a[i].type == ObjLine || a[i].type == ObjVector;
        for (size_t k = 0; k < a[i].values.size(); k++) {
            if (slopesMayRound && line && k >= 2) continue;
            if (!near(a[i].values[k], b[i].values[k])) {
                if (getenv("VEXILO_FUZZ_VERBOSE"))
                    fprintf(stderr, "object %zu value %zu: %.9g against %.9g (largest %g)\n", i, k, a[i].values[k],
                            b[i].values[k], largest);
                __builtin_trap();
            }
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static char dir[] = "roundtrip-XXXXXX";  // in the working directory, the build's
    static char saved[sizeof dir + 16];
    if (!saved[0]) {
        mkdtemp(dir);
        snprintf(saved, sizeof saved, "%s/saved.tex", dir);
        atexit([] {
            unlink(saved);
            rmdir(dir);
        });
    }
    std::string input = inputFile(data, size);
    snprintf(gridText, fieldTextSize, "10");
    largest = 0;
    std::vector<Shape> first, second, third;
    bool wrote = false, keptVerbatim = false;
    setDefaultUnitLength("1pt");
    loadPicture(input.c_str(), ignoreMessage);
    first = shapes();
    for (const ObjRecord *r = objectList; r; r = r->next) keptVerbatim |= r->type == ObjVerbatim;
    if (objectList && savePicture(saved, ignoreMessage, "")) {
        wrote = true;
        loadPicture(saved, ignoreMessage);
        second = shapes();
        savePicture(saved, ignoreMessage, "");
        loadPicture(saved, ignoreMessage);
        third = shapes();
    }
    if (getenv("VEXILO_FUZZ_VERBOSE")) {
        for (auto *list : {&first, &second, &third}) {
            fprintf(stderr, "--\n");
            for (const Shape &sh : *list) {
                fprintf(stderr, "%d %d '%s':", sh.type, sh.flags, sh.text.c_str());
                for (float v : sh.values) fprintf(stderr, " %.9g", v);
                fprintf(stderr, "\n");
            }
        }
    }
    if (!objectList) return 0;
    if (!wrote) __builtin_trap();
    // Material kept as written is read anew from the saved file, where a
    // command the input left unfinished takes its arguments from the next
    // line: such a drawing need not come back the same, not even from a
    // saved file ("\put()(3,4)" without its object takes one more line at
    // every reading).
    if (keptVerbatim) {
        freeAllObjects();
        return 0;
    }
    // Numbers beyond 1e9 are held to it, with a warning, when read: a
    // drawing that reaches that far cannot come back unchanged.
    if (largest > 1e8f) {
        freeAllObjects();
        return 0;
    }
    // A line read with a direction the writer's search cannot express (a
    // pair beyond 50) is written with the nearest one it finds: its end
    // may move once, and from then on the file carries it unchanged.
    same(first, second, true);
    same(second, third, false);
    freeAllObjects();
    return 0;
}
