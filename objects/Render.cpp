#include "objects/Render.h"

#include <X11/Xmu/Drawing.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "objects/Extent.h"
#include "objects/Scale.h"

GC drawGC = nullptr;
GC dashGC = nullptr;
GC rubberGC = nullptr;
GC thinRubberGC = nullptr;
XFontStruct *textFont = nullptr;

const int bezierPoints = 26;

// A redraw of many objects sends the shapes drawn with the plain pen as
// one request per kind of shape instead of one per object: the server
// spends most of a redraw on handling requests, not on pixels. Every
// object is drawn in the same colour and mode, so the order of shapes
// does not change a pixel. The outlines of a selection's move are
// gathered the same way.
struct ShapeBatch {
    std::vector<XSegment> lines;
    std::vector<XRectangle> frames, dashedFrames, fills;
    std::vector<XArc> circles, discs;
};
static ShapeBatch batch;
static bool batching = false;
static int currentPen = 1;  // the width drawGC and dashGC have now

static bool batched() { return batching && currentPen == 1; }

static void drawLine(Display *display, Drawable drawable, int x1, int y1, int x2, int y2) {
    if (batched())
        batch.lines.push_back({static_cast<short>(x1), static_cast<short>(y1), static_cast<short>(x2),
                               static_cast<short>(y2)});
    else
        XDrawLine(display, drawable, drawGC, x1, y1, x2, y2);
}

static XRectangle rectangle(int x, int y, int w, int h) {
    return {static_cast<short>(x), static_cast<short>(y), static_cast<unsigned short>(w),
            static_cast<unsigned short>(h)};
}

static void drawFrame(Display *display, Drawable drawable, GC gc, int x, int y, int w, int h) {
    if (batched() && (gc == drawGC || gc == dashGC))
        (gc == drawGC ? batch.frames : batch.dashedFrames).push_back(rectangle(x, y, w, h));
    else
        XDrawRectangle(display, drawable, gc, x, y, w, h);
}

// Fills do not depend on the pen's width.
static void fillBox(Display *display, Drawable drawable, int x, int y, int w, int h) {
    if (batching)
        batch.fills.push_back(rectangle(x, y, w, h));
    else
        XFillRectangle(display, drawable, drawGC, x, y, w, h);
}

// Draws shapes in requests of a thousand, which every server takes.
template <typename Shape>
static void inChunks(int (*draw)(Display *, Drawable, GC, Shape *, int), Display *display, Drawable drawable,
                     GC gc, std::vector<Shape> &shapes) {
    const size_t chunk = 1000;
    for (size_t i = 0; i < shapes.size(); i += chunk)
        draw(display, drawable, gc, &shapes[i], static_cast<int>(std::min(chunk, shapes.size() - i)));
    std::vector<Shape>().swap(shapes);  // a large drawing's lists are not kept between redraws
}

void beginObjBatch() { batching = true; }

// Sends and empties the lists: dashed frames with dashed, the rest with gc.
static void sendShapes(ShapeBatch &b, Display *display, Drawable drawable, GC gc, GC dashed) {
    inChunks(XDrawSegments, display, drawable, gc, b.lines);
    inChunks(XDrawRectangles, display, drawable, gc, b.frames);
    inChunks(XDrawRectangles, display, drawable, dashed, b.dashedFrames);
    inChunks(XFillRectangles, display, drawable, gc, b.fills);
    inChunks(XDrawArcs, display, drawable, gc, b.circles);
    inChunks(XFillArcs, display, drawable, gc, b.discs);
}

void endObjBatch(Display *display, Drawable drawable) {
    batching = false;
    sendShapes(batch, display, drawable, drawGC, dashGC);
}

// The polyline of a quadratic Bezier: start p, control point q, end e.
static void bezierPolyline(double px, double py, double qx, double qy, double ex, double ey,
                           XPoint out[bezierPoints]) {
    double t = 0.0, s = 1.0;
    for (int i = 0; i < bezierPoints; i++) {
        out[i].x = toCanvas(t * t * px + 2 * t * s * qx + s * s * ex);
        out[i].y = toCanvas(t * t * py + 2 * t * s * qy + s * s * ey);
        t += 0.04;
        s -= 0.04;
    }
}

// A full circle's arc with its bounding box held to what the protocol can
// carry, so a huge radius never wraps around into garbage.
static XArc circleArc(int cx, int cy, int r) {
    long size = 2L * r;
    unsigned short extent = static_cast<unsigned short>(size < 0 ? 0 : size > 65535 ? 65535 : size);
    return {toCanvas(static_cast<double>(cx) - r), toCanvas(static_cast<double>(cy) - r), extent, extent, 0, 23040};
}

static void drawCircle(Display *display, Drawable drawable, GC gc, int cx, int cy, int r, bool filled) {
    XArc a = circleArc(cx, cy, r);
    if (gc == drawGC && (filled ? batching : batched()))
        (filled ? batch.discs : batch.circles).push_back(a);
    else if (filled)
        XFillArc(display, drawable, gc, a.x, a.y, a.width, a.height, a.angle1, a.angle2);
    else
        XDrawArc(display, drawable, gc, a.x, a.y, a.width, a.height, a.angle1, a.angle2);
}

static void drawVectorHead(const ObjRecord *rec, Display *display, Drawable drawable) {
    float dx = rec->x2 - rec->x, dy = rec->y2 - rec->y;
    float length = std::sqrt(dx * dx + dy * dy);
    if (!(length >= 1.0f)) return;
    float ux = dx / length, uy = dy / length, z = zoomFactor;
    XPoint head[3] = {
        {toCanvas(rec->x2), toCanvas(rec->y2)},
        {toCanvas(rec->x2 - z * (6 * ux + 3 * uy)), toCanvas(rec->y2 - z * (6 * uy - 3 * ux))},
        {toCanvas(rec->x2 - z * (6 * ux - 3 * uy)), toCanvas(rec->y2 - z * (6 * uy + 3 * ux))},
    };
    XFillPolygon(display, drawable, drawGC, head, 3, Convex, CoordModeOrigin);
}

static void measure(const char *text, int n, int *width, int *ascent, int *descent) {
    int direction, fontAscent, fontDescent;
    XCharStruct overall;
    XTextExtents(textFont, text, n, &direction, &fontAscent, &fontDescent, &overall);
    *width = overall.width;
    *ascent = overall.ascent;
    *descent = overall.descent;
}

// Boxes and texts: the frame, then as much of the text as fits (never
// fewer than 10 characters) at its position.
static void drawTextObject(const ObjRecord *rec, Display *display, Drawable drawable) {
    int x = toCanvas(rec->x), y = toCanvas(rec->y), w = toCanvas(rec->x2), h = toCanvas(rec->y2);
    if ((w != 0 || h != 0) && rec->type != ObjText)  // \makebox draws no frame
        drawFrame(display, drawable, rec->type == ObjDashedBox ? dashGC : drawGC, x, y, w, h);
    const char *text = ObjGetText(rec);
    int n = static_cast<int>(strnlen(text, INT_MAX));
    if (n == 0 || !textFont) return;
    int tw, a, d;
    if (w == 0 && n > 10) {
        n = 10;
    } else if (w > 0) {
        // More than the box can show is never measured: a text may be long.
        int narrowest = std::max(1, static_cast<int>(textFont->min_bounds.width));
        n = std::min(n, std::max(10, w / narrowest + 1));
    }
    measure(text, n, &tw, &a, &d);
    while (n > 10 && w < tw) measure(text, --n, &tw, &a, &d);
    int tx, ty;
    if (rec->flags & posLeft)
        tx = x + 1;
    else if (rec->flags & posRight)
        tx = x + w - tw - 1;
    else
        tx = x + (w - tw - 1) / 2;
    if (rec->flags & posTop)
        ty = y + a + 1;
    else if (rec->flags & posBottom)
        ty = y + h - d - 1;
    else
        ty = y + (a - d - 1 + h) / 2;
    XDrawString(display, drawable, drawGC, tx, ty, text, n);
}

// A verbatim record: a dotted box at its point and the start of its source.
static void drawVerbatim(const ObjRecord *rec, Display *display, Drawable drawable) {
    int x = toCanvas(rec->x), y = toCanvas(rec->y);
    drawFrame(display, drawable, dashGC ? dashGC : drawGC, x, y - verbatimBoxHeight, verbatimBoxWidth,
              verbatimBoxHeight);
    if (!textFont || !rec->source) return;
    char start[16];
    int n = 0;
    for (const char *c = rec->source; *c && n < static_cast<int>(sizeof start); c++)
        if (*c != '\n' && *c != '\r' && *c != '\t') start[n++] = *c;
    int tw, a, d;
    measure(start, n, &tw, &a, &d);
    while (n > 0 && tw > verbatimBoxWidth - 4) measure(start, --n, &tw, &a, &d);
    XDrawString(display, drawable, drawGC, x + 2, y - d - 2, start, n);
}

// The pen width of a record on the canvas, in pixels: its line thickness
// at the current unit and zoom. Widths of a pixel or less keep the
// graphics contexts' own width of 1.
static int penWidth(const ObjRecord *rec) {
    float pixels = lineWidthPoints(rec) / unitPt * pixelsPerUnit * zoomFactor;
    if (!(pixels > 1.5f)) return 1;
    return pixels > 1000 ? 1000 : static_cast<int>(pixels + 0.5f);
}

static void setPen(Display *display, int width) {
    currentPen = width;
    XGCValues v;
    v.line_width = width;
    XChangeGC(display, drawGC, GCLineWidth, &v);
    if (dashGC) XChangeGC(display, dashGC, GCLineWidth, &v);
}

// The part of an oval a part record asks for: its corners and the pieces
// of its sides within the part's box.
static void drawOvalPart(const ObjRecord *rec, Display *display, Drawable drawable) {
    int x = toCanvas(rec->x), y = toCanvas(rec->y), w = toCanvas(rec->x2), h = toCanvas(rec->y2);
    int r = toCanvas(rec->x3);
    r = std::max(0, std::min(r, std::min(w, h) / 2));
    float box[4];
    ovalPartBox(rec, box);
    int x0 = toCanvas(box[0]), y0 = toCanvas(box[1]), x1 = toCanvas(box[2]), y1 = toCanvas(box[3]);
    bool left = x0 == x, right = x1 == x + w, top = y0 == y, bottom = y1 == y + h;
    int d = 2 * r;
    if (top && left) XDrawArc(display, drawable, drawGC, x, y, d, d, 90 * 64, 90 * 64);
    if (top && right) XDrawArc(display, drawable, drawGC, x + w - d, y, d, d, 0, 90 * 64);
    if (bottom && left) XDrawArc(display, drawable, drawGC, x, y + h - d, d, d, 180 * 64, 90 * 64);
    if (bottom && right) XDrawArc(display, drawable, drawGC, x + w - d, y + h - d, d, d, 270 * 64, 90 * 64);
    int sx0 = std::max(x0, x + r), sx1 = std::min(x1, x + w - r);
    int sy0 = std::max(y0, y + r), sy1 = std::min(y1, y + h - r);
    if (top && sx0 <= sx1) drawLine(display, drawable, sx0, y, sx1, y);
    if (bottom && sx0 <= sx1) drawLine(display, drawable, sx0, y + h, sx1, y + h);
    if (left && sy0 <= sy1) drawLine(display, drawable, x, sy0, x, sy1);
    if (right && sy0 <= sy1) drawLine(display, drawable, x + w, sy0, x + w, sy1);
}

// A dotted Bezier: its points as dots of the pen's width.
static void drawDottedBezier(const ObjRecord *rec, int pen, Display *display, Drawable drawable) {
    int n = rec->dots < 2 ? 2 : rec->dots > 10000 ? 10000 : rec->dots;
    for (int i = 0; i < n; i++) {
        double t = static_cast<double>(i) / (n - 1), s = 1 - t;
        short px = toCanvas(s * s * rec->x + 2 * t * s * rec->x2 + t * t * rec->x3);
        short py = toCanvas(s * s * rec->y + 2 * t * s * rec->y2 + t * t * rec->y3);
        fillBox(display, drawable, px - pen / 2, py - pen / 2, pen, pen);
    }
}

static void drawOne(const ObjRecord *rec, void *target);

struct DrawTarget {
    Display *display;
    Drawable drawable;
};

void ObjDraw(const ObjRecord *rec, Display *display, Drawable drawable) {
    if (rec->type == ObjMultiput) {
        DrawTarget target = {display, drawable};
        forEachDrawn(rec, drawOne, &target);
        return;
    }
    int pen = penWidth(rec);
    if (pen != 1) setPen(display, pen);
    int x = toCanvas(rec->x), y = toCanvas(rec->y);
    switch (rec->type) {
    case ObjVector:
        drawVectorHead(rec, display, drawable);
        /* fall through */
    case ObjLine:
        drawLine(display, drawable, x, y, toCanvas(rec->x2), toCanvas(rec->y2));
        break;
    case ObjFramedBox:
    case ObjDashedBox:
    case ObjText:
        drawTextObject(rec, display, drawable);
        break;
    case ObjFilledBox:
        fillBox(display, drawable, x, y, toCanvas(rec->x2), toCanvas(rec->y2));
        break;
    case ObjVerbatim:
        drawVerbatim(rec, display, drawable);
        break;
    case ObjCircle:
    case ObjDisc: {
        drawCircle(display, drawable, drawGC, x, y, toCanvas(rec->x2), rec->type == ObjDisc);
        break;
    }
    case ObjOval: {
        if (rec->part) {
            drawOvalPart(rec, display, drawable);
            break;
        }
        // A corner wider than half a side would make Xmu round none at all.
        int w = toCanvas(rec->x2), h = toCanvas(rec->y2);
        int corner = std::max(0, std::min({static_cast<int>(toCanvas(rec->x3)), w / 2, h / 2}));
        XmuDrawRoundedRectangle(display, drawable, drawGC, x, y, w, h, corner, corner);
        break;
    }
    case ObjBezier: {
        if (rec->dots > 0) {
            drawDottedBezier(rec, pen, display, drawable);
            break;
        }
        XPoint line[bezierPoints];
        bezierPolyline(x, y, toCanvas(rec->x2), toCanvas(rec->y2), toCanvas(rec->x3), toCanvas(rec->y3),
                       line);
        XDrawLines(display, drawable, drawGC, line, bezierPoints, CoordModeOrigin);
        break;
    }
    default:
        fprintf(stderr, "ObjDraw: Unknown type %d\n", rec->type);
        abort();
    }
    if (pen != 1) setPen(display, 1);
}

static void drawOne(const ObjRecord *rec, void *target) {
    const DrawTarget *t = static_cast<const DrawTarget *>(target);
    ObjDraw(rec, t->display, t->drawable);
}

namespace {

// The one shape an outline is drawn as.
enum ShapeKind { noShape, lineShape, rectangleShape, arcShape, filledArcShape, curveShape };

struct RubberShape {
    XSegment line;
    XRectangle rectangle;
    XArc arc;
    XPoint curve[bezierPoints];
};

}  // namespace

// The outline of an object of type given by its first count points.
static ShapeKind rubberShape(ObjType type, const XPoint *p, int count, RubberShape *s) {
    if (count > 3) {
        fprintf(stderr, "ObjRubber: %d points illegal\n", count);
        return noShape;
    }
    if (count < 2) return noShape;
    if (count == 3) {
        if (type != ObjBezier) {
            fprintf(stderr, "ObjRubber: type %d illegal with 3 points\n", type);
            abort();
        }
        bezierPolyline(p[0].x, p[0].y, p[2].x, p[2].y, p[1].x, p[1].y, s->curve);
        return curveShape;
    }
    switch (type) {
    case ObjFramedBox:
    case ObjDashedBox:
    case ObjFilledBox:
    case ObjOval:
        s->rectangle = {std::min(p[0].x, p[1].x), std::min(p[0].y, p[1].y),
                        static_cast<unsigned short>(std::abs(p[1].x - p[0].x)),
                        static_cast<unsigned short>(std::abs(p[1].y - p[0].y))};
        return rectangleShape;
    case ObjLine:
    case ObjVector:
    case ObjBezier:
    case ObjMultiput:  // from the first copy's point to the last one's
        s->line = {p[0].x, p[0].y, p[1].x, p[1].y};
        return lineShape;
    case ObjCircle:
    case ObjDisc:
        s->arc = circleArc(p[0].x, p[0].y, std::abs(p[1].x - p[0].x));
        return type == ObjDisc ? filledArcShape : arcShape;
    default:
        fprintf(stderr, "ObjRubber: type %d illegal with 2 points\n", type);
        abort();
    }
}

void ObjRubber(ObjType type, Display *display, Drawable drawable, const XPoint *p, int count) {
    RubberShape s;
    switch (rubberShape(type, p, count, &s)) {
    case lineShape: XDrawSegments(display, drawable, rubberGC, &s.line, 1); break;
    case rectangleShape: XDrawRectangles(display, drawable, rubberGC, &s.rectangle, 1); break;
    case arcShape: XDrawArcs(display, drawable, rubberGC, &s.arc, 1); break;
    case filledArcShape: XFillArcs(display, drawable, rubberGC, &s.arc, 1); break;
    case curveShape: XDrawLines(display, drawable, rubberGC, s.curve, bezierPoints, CoordModeOrigin); break;
    case noShape: break;
    }
}

void ObjRubberAll(const ObjRecord *const *records, size_t n, int dx, int dy, Display *display,
                  Drawable drawable) {
    ShapeBatch outlines;
    for (size_t i = 0; i < n; i++) {
        const ObjRecord *rec = records[i];
        XPoint p[3];
        int count = 0;
        ObjRetrieve(rec, p, &count);
        for (int k = 0; k < count; k++) p[k] = {toCanvas(p[k].x + dx), toCanvas(p[k].y + dy)};
        if (count < 2) {  // a point alone: a small square around it
            outlines.frames.push_back({toCanvas(p[0].x - 2), toCanvas(p[0].y - 2), 4, 4});
            continue;
        }
        RubberShape s;
        switch (rubberShape(rec->type, p, count, &s)) {
        case lineShape: outlines.lines.push_back(s.line); break;
        case rectangleShape: outlines.frames.push_back(s.rectangle); break;
        case arcShape: outlines.circles.push_back(s.arc); break;
        case filledArcShape: outlines.discs.push_back(s.arc); break;
        case curveShape: XDrawLines(display, drawable, thinRubberGC, s.curve, bezierPoints, CoordModeOrigin); break;
        case noShape: break;
        }
    }
    sendShapes(outlines, display, drawable, thinRubberGC, thinRubberGC);
}
