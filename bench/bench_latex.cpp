// From a change of a 200-object drawing to LaTeX's updated rendering on
// the canvas: writing the picture, latex, dvipng, decoding, and the
// redraw of the area it covers.
#include <benchmark/benchmark.h>

#include <X11/StringDefs.h>
#include <X11/Xaw/Toggle.h>
#include <unistd.h>

#include <cstdio>

#include "bench/XBench.h"
#include "canvas/Canvas.h"
#include "canvas/LatexOverlay.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "shell/LatexView.h"

namespace {

// 200 objects LaTeX takes without complaint, spread over the canvas at
// zoom 1 and 1 pt: lines and vectors of drawable slopes, circles of sizes
// LaTeX has, ovals, boxes with texts, curves.
void buildLatexDrawing() {
    freeAllObjects();
    for (int i = 0; i < 200; i++) {
        float x = 20 + (i % 10) * 46.0f, y = 30 + (i / 10) * 28.0f;
        ObjRecord *r = ObjNew(static_cast<ObjType>(i % objTypeCount));
        r->x = x, r->y = y;
        switch (r->type) {
        case ObjLine: r->x2 = x + 30, r->y2 = y - 15; break;
        case ObjVector: r->x2 = x + 20, r->y2 = y - 20; break;
        case ObjCircle:
        case ObjDisc: r->x2 = 5; break;
        case ObjBezier: r->x2 = x + 15, r->y2 = y - 20, r->x3 = x + 30, r->y3 = y; break;
        default:
            r->x2 = r->type == ObjText ? 0 : 36;
            r->y2 = r->type == ObjText ? 0 : 16;
            r->x3 = 5;
            r->flags = posCentred;
            if (r->type != ObjFilledBox && r->type != ObjOval) ObjSetText(r, ("T" + std::to_string(i)).c_str());
        }
        linkObject(r);
    }
}

void waitForRendering() {
    while (latexRunning()) {
        usleep(1000);
        harness::pump(appContext);
    }
    drainEvents();
}

}  // namespace

static void BM_LatexOverlayAfterChange(benchmark::State &state) {
    startEditorForBench();
    buildLatexDrawing();
    Widget toggle = XtNameToWidget(topLevel, "topForm.menuLine.latex");
    XtVaSetValues(toggle, XtNstate, True, nullptr);
    XtCallCallbacks(toggle, XtNcallback, nullptr);
    waitForRendering();
    float step = 1;
    for (auto _ : state) {
        ObjMove(objectList, step, 0);  // one object moves a point
        step = -step;
        latexCheck();
        waitForRendering();
        if (!overlayShown()) {
            state.SkipWithError("LaTeX's rendering did not come");
            break;
        }
    }
    freeAllObjects();
}
BENCHMARK(BM_LatexOverlayAfterChange)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

BENCHMARK_MAIN();
