// The editor started on a private X server, for the benchmarks that
// need a display.
#ifndef VEXILO_BENCH_XBENCH_H
#define VEXILO_BENCH_XBENCH_H

#include <X11/Intrinsic.h>

#include "harness/XServer.h"
#include "shell/Globals.h"
#include "shell/Startup.h"

inline void startEditorForBench() {
    harness::privateDisplay();
    static char name[] = "vexilo";
    static char *argv[] = {name, nullptr};
    startVexilo(1, argv);
    harness::pump(appContext);
}

// Handles every event the server has sent, then waits until the server
// has carried out every request.
inline void drainEvents() {
    Display *d = XtDisplay(topLevel);
    XSync(d, False);
    while (XtAppPending(appContext) & XtIMXEvent) XtAppProcessEvent(appContext, XtIMXEvent);
    XSync(d, False);
}

#endif
