#include "canvas/Selection.h"

#include <X11/StringDefs.h>
#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "canvas/Canvas.h"
#include "canvas/Decorations.h"
#include "canvas/Pick.h"
#include "objects/Constrain.h"
#include "objects/Extent.h"
#include "objects/History.h"
#include "objects/Render.h"

static std::vector<ObjRecord *> group;  // two or more, or none
static std::unordered_set<const ObjRecord *> members;
static bool membersLeft = false;  // forgetSelected took some out of members only

static bool banding = false;   // button 1 went down on empty canvas
static bool bandAbandoned = false;  // the band was ended before button 1 came up
static bool bandShown = false; // the band's outline is on the canvas, at bandDrawn
static XPoint bandStart, bandEnd, bandDrawn;

static bool moving = false;    // button 2 went down on an object of the group
static bool moveShown = false; // the group's outlines are on the canvas, moved by shownDx, shownDy
static XPoint moveAnchor;      // the reference point of the object pressed
static XPoint movePoint;       // where the pointer has taken it, unsnapped
static XPoint moveLast;        // the previous event position
static int targetDx, targetDy; // the move the pointer asks for, snapped
static int shownDx, shownDy;

// A mark: a square of 7 pixels in the background colour with a frame in
// the foreground colour, seen on a filled object as on empty canvas.
const int markHalf = 3;
static GC markGC = nullptr;  // fills the inside of the marks

static XRectangle markBox(const ObjRecord *rec) {
    return {toCanvas(toCanvas(rec->x) - markHalf), toCanvas(toCanvas(rec->y) - markHalf), 2 * markHalf + 1,
            2 * markHalf + 1};
}

// The overlay painter: drawGC is clipped to the exposed area already.
static void paintMarks(Display *display, Window window, Region exposed) {
    if (group.empty()) return;
    if (!markGC) {
        XGCValues v;
        Pixel background = 0;
        XtVaGetValues(canvas, XtNbackground, &background, nullptr);
        v.foreground = background;
        markGC = XCreateGC(display, window, GCForeground, &v);
    }
    std::vector<XRectangle> boxes;
    boxes.reserve(group.size());
    for (const ObjRecord *rec : group) boxes.push_back(markBox(rec));
    if (exposed) XSetRegion(display, markGC, exposed);
    XFillRectangles(display, window, markGC, boxes.data(), static_cast<int>(boxes.size()));
    XSetClipMask(display, markGC, None);
    for (XRectangle &b : boxes) b.width--, b.height--;
    XDrawRectangles(display, window, drawGC, boxes.data(), static_cast<int>(boxes.size()));
}

// The marks of these records have come or gone: a few are redrawn where
// they are, many with the whole canvas.
static void refreshMarks(const std::vector<const ObjRecord *> &changed) {
    if (changed.empty() || !canvasRealized()) return;
    if (changed.size() > 4) {
        clearCanvas(true);
        return;
    }
    for (const ObjRecord *rec : changed) {
        XRectangle b = markBox(rec);
        XClearArea(XtDisplay(canvas), XtWindow(canvas), b.x, b.y, b.width, b.height, True);
    }
}

int groupSize() { return static_cast<int>(group.size()); }

bool inGroup(const ObjRecord *rec) { return members.count(rec) > 0; }

void clearGroup() {
    abandonGroupActions();
    if (group.empty()) return;
    std::vector<const ObjRecord *> changed(group.begin(), group.end());
    group.clear();
    members.clear();
    refreshMarks(changed);
}

void selectObjects(std::vector<ObjRecord *> records) {
    abandonDrag();
    std::unordered_set<const ObjRecord *> now;
    if (records.size() > 1) now.insert(records.begin(), records.end());
    std::vector<const ObjRecord *> changed;
    for (const ObjRecord *rec : group)
        if (!now.count(rec)) changed.push_back(rec);
    for (const ObjRecord *rec : now)
        if (!members.count(rec)) changed.push_back(rec);
    hideGrips();
    selectedObj = nullptr;
    group.clear();
    members = std::move(now);
    if (records.size() == 1) {
        selectedObj = records[0];
        showGrips(selectedObj);
    } else if (records.size() > 1) {
        group = std::move(records);
    }
    refreshMarks(changed);
}

void selectAll() {
    std::vector<ObjRecord *> all;
    for (ObjRecord *rec = objectList; rec; rec = rec->next) all.push_back(rec);
    selectObjects(std::move(all));
}

void toggleSelected(ObjRecord *rec) {
    std::vector<ObjRecord *> now = group;
    if (now.empty() && selectedObj) now.push_back(selectedObj);
    auto at = std::find(now.begin(), now.end(), rec);
    if (at != now.end())
        now.erase(at);
    else
        now.push_back(rec);
    selectObjects(std::move(now));
}

void forgetSelected(ObjRecord *rec) {
    if (rec == selectedObj)
        deselect();
    else if (members.erase(rec))
        membersLeft = true;
}

void settleSelection() {
    if (!membersLeft) return;
    membersLeft = false;
    group.erase(std::remove_if(group.begin(), group.end(), [](ObjRecord *rec) { return !members.count(rec); }),
                group.end());
    if (group.size() == 1) selectObjects({group[0]});
}

// True when a later motion of the pointer over the canvas is queued
// already: drawing for this one would only be undone at once. Nothing
// leaves the queue.
static Bool noteCanvasMotion(Display *, XEvent *event, XPointer found) {
    if (event->type == MotionNotify && event->xmotion.window == XtWindow(canvas))
        *reinterpret_cast<bool *>(found) = true;
    return False;
}

static bool laterMotionQueued() {
    bool found = false;
    XEvent event;
    XCheckIfEvent(XtDisplay(canvas), &event, noteCanvasMotion, reinterpret_cast<XPointer>(&found));
    return found;
}

static void bandOutline() {
    XDrawRectangle(XtDisplay(canvas), XtWindow(canvas), rubberGC, std::min(bandStart.x, bandDrawn.x),
                   std::min(bandStart.y, bandDrawn.y), std::abs(bandDrawn.x - bandStart.x),
                   std::abs(bandDrawn.y - bandStart.y));
}

// The group's outlines moved by the shown vector; XOR, drawn twice.
static void groupOutlines() {
    ObjRubberAll(group.data(), group.size(), shownDx, shownDy, XtDisplay(canvas), XtWindow(canvas));
}

// Takes the band's or the move's outline off the canvas and ends it.
static void stopActions() {
    if (bandShown) bandOutline();
    if (moveShown) groupOutlines();
    banding = bandShown = moving = moveShown = false;
}

void abandonGroupActions() {
    if (banding) bandAbandoned = true;
    stopActions();
}

void startBand(int x, int y) {
    stopActions();
    banding = true;
    bandAbandoned = false;
    bandStart = bandEnd = {toCanvas(x), toCanvas(y)};
}

void moveBand(int x, int y) {
    if (!banding) return;
    bandEnd = {toCanvas(x), toCanvas(y)};
    if (laterMotionQueued()) return;
    if (bandShown && bandEnd.x == bandDrawn.x && bandEnd.y == bandDrawn.y) return;
    if (bandShown) bandOutline();
    bandDrawn = bandEnd;
    bandOutline();
    bandShown = true;
}

bool endBand(int x, int y) {
    if (bandAbandoned) {  // its release is no click
        bandAbandoned = false;
        return true;
    }
    if (!banding) return false;
    stopActions();
    bandEnd = {toCanvas(x), toCanvas(y)};
    // A press and release a pixel or two apart is a click.
    if (std::abs(bandEnd.x - bandStart.x) < 3 && std::abs(bandEnd.y - bandStart.y) < 3) return false;
    float left = std::min(bandStart.x, bandEnd.x), right = std::max(bandStart.x, bandEnd.x);
    float top = std::min(bandStart.y, bandEnd.y), bottom = std::max(bandStart.y, bandEnd.y);
    std::vector<ObjRecord *> inside;
    for (ObjRecord *rec = objectList; rec; rec = rec->next) {
        float e[4];
        ObjGetExtent(rec, e);
        if (e[0] >= left && e[2] <= right && e[1] >= top && e[3] <= bottom) inside.push_back(rec);
    }
    selectObjects(std::move(inside));
    return true;
}

bool startGroupMove(int x, int y) {
    if (group.empty()) return false;
    ObjRecord *hit = nullptr;
    for (ObjRecord *rec = objectList; rec && !hit; rec = rec->next)
        if (inGroup(rec) && ObjHit(rec, x, y)) hit = rec;
    if (!hit) return false;
    abandonGroupActions();
    moving = true;
    moveAnchor = movePoint = {toCanvas(hit->x), toCanvas(hit->y)};
    moveLast = {toCanvas(x), toCanvas(y)};
    targetDx = targetDy = 0;
    return true;
}

// As a grip's move: the pressed object's reference point follows the
// pointer, snapped, and every object moves by the same vector.
void moveGroup(int x, int y) {
    if (!moving) return;
    movePoint = {toCanvas(movePoint.x + x - moveLast.x), toCanvas(movePoint.y + y - moveLast.y)};
    moveLast = {toCanvas(x), toCanvas(y)};
    XPoint q = movePoint;
    snapPoint(&q.x, &q.y);
    targetDx = q.x - moveAnchor.x;
    targetDy = q.y - moveAnchor.y;
    if (laterMotionQueued()) return;
    if (moveShown && targetDx == shownDx && targetDy == shownDy) return;
    if (moveShown) groupOutlines();
    shownDx = targetDx;
    shownDy = targetDy;
    groupOutlines();
    moveShown = true;
}

void endGroupMove() {
    if (!moving) return;
    int dx = targetDx, dy = targetDy;
    stopActions();
    if (dx != 0 || dy != 0) moveGroupBy(static_cast<float>(dx), static_cast<float>(dy));
}

void copyGroup() {
    abandonGroupActions();
    // Oldest first, so the copies keep their originals' order.
    std::vector<ObjRecord *> originals;
    for (ObjRecord *rec = objectList; rec; rec = rec->next)
        if (inGroup(rec)) originals.push_back(rec);
    std::vector<ObjRecord *> copies;
    openStep();
    for (auto it = originals.rbegin(); it != originals.rend(); ++it) {
        ObjRecord *copy = ObjNew((*it)->type);
        ObjCopy(*it, copy);
        ObjMove(copy, 10, 10);
        addObject(copy);
        ObjDraw(copy, XtDisplay(canvas), XtWindow(canvas));
        copies.push_back(copy);
    }
    closeStep();
    selectObjects(std::move(copies));
}

void deleteGroup() {
    abandonGroupActions();
    removeObjects([](const ObjRecord *rec) { return inGroup(rec); });  // the history keeps them
    group.clear();
    members.clear();
    clearCanvas(true);
}

void moveGroupBy(float dx, float dy) {
    abandonGroupActions();
    openStep();
    for (ObjRecord *rec : group) {
        changeObject(rec);
        ObjMove(rec, dx, dy);
    }
    closeStep();
    // The objects at their old places and the marks go with the redraw.
    clearCanvas(true);
}

static void redrawOutlines(Widget, XtPointer, XEvent *event, Boolean *) {
    if (event->type != Expose || event->xexpose.count != 0 || !exposedArea()) return;
    if (!bandShown && !moveShown) return;
    clipToExposedArea(rubberGC);
    clipToExposedArea(thinRubberGC);
    if (bandShown) bandOutline();
    if (moveShown) groupOutlines();
    unclip(rubberGC);
    unclip(thinRubberGC);
}

void installSelectionRedraw(Widget w) {
    setOverlayPainter(paintMarks);
    XtAddEventHandler(w, ExposureMask, False, redrawOutlines, nullptr);
}
