#include "shell/LatexView.h"

#include <X11/StringDefs.h>
#include <X11/Xaw/Form.h>
#include <X11/Xaw/Toggle.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "canvas/Canvas.h"
#include "canvas/LatexOverlay.h"
#include "objects/Extent.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/LatexImage.h"
#include "picfile/LatexRun.h"
#include "picfile/Writer.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"
#include "shell/Keys.h"
#include "shell/LabelBitmaps.h"

namespace {

struct ViewResources {
    Pixel latexColor;
};
ViewResources viewResources;
XtResource viewResourceList[] = {
    {"latexColor", "LatexColor", XtRPixel, sizeof(Pixel), XtOffsetOf(ViewResources, latexColor), XtRString,
     (XtPointer) "LightSkyBlue"},
};

XtAppContext appContext_ = nullptr;
Widget toggle = nullptr;
std::string idleLabel = "LaTeX";
std::string busyLabel = "LaTeX\u2026";  // shown while a run goes on
Pixmap labelBitmaps[2] = {None, None};  // idle, busy: how they are drawn
bool on = false;
bool checkPending = false;

// The run going on: its child, the pipe it reports on, what it renders.
pid_t runPid = -1;
int runFd = -1;
XtInputId runInput = 0;
std::string runBytes;
std::string runKey;
OverlayPlacement runPlace;

std::string shownKey;    // what the overlay shows: picture and scale
std::string lastNotice;  // the last undefined-macro message, told once

// The drawing as it would be saved.
std::string pictureText() {
    char *data = nullptr;
    size_t size = 0;
    FILE *f = open_memstream(&data, &size);
    if (!f) return "";
    bool ok = writeDrawing(f);
    fclose(f);
    std::string text = ok && data ? std::string(data, size) : std::string();
    free(data);
    return text;
}

// The longest text of the drawing: texts are the ink that can reach far
// beyond the picture's box.
size_t longestText(const ObjRecord *list = objectList) {
    size_t n = 0;
    for (const ObjRecord *r = list; r; r = r->next) {
        if (r->type == ObjText || r->type == ObjFramedBox || r->type == ObjDashedBox)
            n = std::max(n, strlen(ObjGetText(r)));
        if (r->type == ObjMultiput) n = std::max(n, longestText(r->body));
    }
    return n;
}

void setLabel(bool busy) {
    XtVaSetValues(toggle, XtNlabel, (busy ? busyLabel : idleLabel).c_str(), XtNbitmap, labelBitmaps[busy], nullptr);
}

// The buttons' font is Latin-1, without the ellipsis of the busy label:
// both labels are drawn as bitmaps of one width from its Unicode variant,
// or, where there is none, the busy label ends in three periods. The
// button keeps the busy label's width, so the menu line never moves.
void setUpLabels() {
    String label = nullptr;
    XtVaGetValues(toggle, XtNlabel, &label, nullptr);
    if (label) idleLabel = label;
    busyLabel = idleLabel + "\u2026";
    const char *labels[] = {idleLabel.c_str(), busyLabel.c_str()};
    labelBitmaps[0] = labelBitmaps[1] = None;
    if (!makeLabelBitmaps(toggle, labels, 2, labelBitmaps)) busyLabel = idleLabel + "...";
    setLabel(true);
    XtVaSetValues(toggle, XtNresize, False, nullptr);
    setLabel(false);
}

void turnOff(const char *why) {
    on = false;
    XtVaSetValues(toggle, XtNstate, False, nullptr);
    hideOverlay();
    shownKey.clear();
    if (why) showMessage(why);
}

void runEnded();

void readRun(XtPointer, int *fd, XtInputId *) {
    char buf[65536];
    for (;;) {
        ssize_t n = read(*fd, buf, sizeof buf);
        if (n > 0) {
            runBytes.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        break;  // end of file or a broken pipe: the child is done
    }
    runEnded();
}

void startRun(const std::string &key, const std::string &picture, const float box[4]) {
    double perPoint = pixelsPerUnit * zoomFactor / (unitPt > 0 ? unitPt : 1.0f);
    LatexRequest r;
    r.picture = picture;
    r.scale = latexScale(perPoint);
    double pixelsPerPt = r.scale.resolution / 72.27;
    // Room around the box for texts and arrow heads, within what an X
    // pixmap and a TeX dimension hold.
    int limit = static_cast<int>(std::min(8192.0, 15000 * pixelsPerPt));
    int margin = static_cast<int>(std::min(1024.0, std::ceil((36 + 10.0 * longestText()) * pixelsPerPt)));
    int boxW = static_cast<int>(std::ceil(std::min<double>(box[2] - box[0], limit)));
    int boxH = static_cast<int>(std::ceil(std::min<double>(box[3] - box[1], limit)));
    r.width = std::min(limit, boxW + 2 * margin + 1);
    r.height = std::min(limit, boxH + 2 * margin + 1);
    r.originX = std::min(margin, limit - 1);
    r.originY = std::min(margin + boxH, limit - 1);
    int fd = -1;
    pid_t pid = startLatexRun(r, &fd);
    if (pid < 0) {
        turnOff("Can't start LaTeX");
        return;
    }
    runPid = pid;
    runFd = fd;
    runBytes.clear();
    runKey = key;
    runPlace = {box[0], box[3], r.originX, r.originY};
    runInput = XtAppAddInput(appContext_, fd, reinterpret_cast<XtPointer>(XtInputReadMask), readRun, nullptr);
    setLabel(true);
}

std::string lineNote(int line) { return line > 0 ? " (line " + std::to_string(line) + ")" : ""; }

void runEnded() {
    XtRemoveInput(runInput);
    close(runFd);
    runFd = -1;
    int status;
    while (waitpid(runPid, &status, 0) < 0 && errno == EINTR) {
    }
    runPid = -1;
    setLabel(false);
    if (!on) return;  // switched off meanwhile: the result is not wanted

    LatexOutput out = parseLatexOutput(runBytes);
    runBytes.clear();
    LatexProblem problem = readLatexLog(out.log);
    std::string why;
    if (!out.complete)
        why = "LaTeX stopped without a result";
    else if (out.latex == toolNoRoom)
        why = "No room for LaTeX's temporary files";
    else if (out.latex == toolMissing)
        why = "latex not found";
    else if (problem.kind == LatexProblem::error)
        why = "LaTeX error" + lineNote(problem.line) + ": " + problem.text;
    else if (out.dvipng == toolMissing)
        why = "dvipng not found";
    else if (out.latex != toolDone && problem.kind == LatexProblem::none)
        why = "latex failed";
    else if (out.dvipng != toolDone)
        why = "dvipng failed";
    LatexImage image;
    if (why.empty() && !decodeLatexImage(out.png, &image)) why = "dvipng made no readable image";
    if (!why.empty()) {
        turnOff(why.c_str());
        return;
    }
    showOverlay(image, runPlace);
    shownKey = runKey;
    if (problem.kind == LatexProblem::undefinedMacro) {
        std::string notice = "LaTeX: undefined " + problem.text + lineNote(problem.line);
        if (notice != lastNotice) showMessage(notice.c_str());
        lastNotice = notice;
    } else {
        lastNotice.clear();
    }
    latexCheck();  // the drawing may have changed during the run
}

Boolean checkWork(XtPointer) {
    checkPending = false;
    latexCheck();
    return True;
}

// Every action may change the drawing; look once it is done and the
// editor is idle. Pointer motion and crossing only track the pointer or
// drag: what they change is looked at when the button is released.
void afterAction(Widget, XtPointer, String, XEvent *event, String *, Cardinal *) {
    if (event && (event->type == MotionNotify || event->type == EnterNotify || event->type == LeaveNotify))
        return;
    if (on && !checkPending) {
        checkPending = true;
        XtAppAddWorkProc(appContext_, checkWork, nullptr);
    }
}

void toggled(Widget w, XtPointer, XtPointer) {
    Boolean state = False;
    XtVaGetValues(w, XtNstate, &state, nullptr);
    on = state;
    lastNotice.clear();
    if (on) {
        latexCheck();
    } else {
        hideOverlay();
        shownKey.clear();
    }
}

}  // namespace

Widget createLatexToggle(Widget after) {
    XtAccelerators accelerators = readAccelerators(menuLine, "latex", "Toggle");  // Ctrl+L
    toggle = XtVaCreateManagedWidget("latex", toggleWidgetClass, menuLine, XtNfromHoriz, after, XtNleft,
                                     XtChainLeft, XtNright, XtChainLeft, XtNaccelerators, accelerators, nullptr);
    setUpLabels();
    XtAddCallback(toggle, XtNcallback, toggled, nullptr);
    return toggle;
}

void initLatexView(XtAppContext app) {
    appContext_ = app;
    XtGetApplicationResources(topLevel, &viewResources, viewResourceList, XtNumber(viewResourceList), nullptr, 0);
    setOverlayInk(viewResources.latexColor);
    setUnderlayPainter(paintOverlay);
    XtInstallAccelerators(canvas, toggle);
    XtInstallAccelerators(menuLine, toggle);
    XtAppAddActionHook(app, afterAction, nullptr);
}

bool latexRunning() { return runPid >= 0; }

void latexCheck() {
    if (!on || runPid >= 0) return;  // a run re-checks when it ends
    float box[4];
    std::string picture = pictureText();
    if (picture.empty() || !drawingExtent(box)) {
        hideOverlay();
        shownKey.clear();
        return;
    }
    LatexScale s = latexScale(pixelsPerUnit * zoomFactor / (unitPt > 0 ? unitPt : 1.0f));
    std::string key = picture + "@" + std::to_string(s.dpi) + "x" + std::to_string(s.mag) + "/" +
                      std::to_string(longestText());
    if (key == shownKey) {
        if (overlayShown()) moveOverlay(box[0], box[3]);  // the same picture, maybe moved as a whole
        return;
    }
    startRun(key, picture, box);
}
