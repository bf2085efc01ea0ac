#include "canvas/LatexOverlay.h"

#include <X11/StringDefs.h>

#include <climits>
#include <cmath>
#include <cstdlib>

#include "canvas/Canvas.h"
#include "canvas/View.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"

namespace {

Pixel inkPixel = 0;
Pixmap pixmap = None;
GC copyGC = nullptr;
int width = 0, height = 0;
int imageX = 0, imageY = 0;
float anchorX = 0, anchorY = 0;  // zoom-1 pixels from the picture origin
float madeZoom = 0, madePixelsPerUnit = 0;
XRectangle painted = {0, 0, 0, 0};  // where it was last drawn

// Canvas pixel for a point given in zoom-1 pixels from the origin.
int toView(float a, float origin) {
    double v = std::floor((static_cast<double>(a) + origin) * zoomFactor);
    if (v < -30000) return -30000;
    if (v > 30000) return 30000;
    return static_cast<int>(v);
}

XRectangle currentArea() {
    int x = toView(anchorX, originX) - imageX, y = toView(anchorY, originY) - imageY;
    return {toCanvas(x), toCanvas(y), static_cast<unsigned short>(width), static_cast<unsigned short>(height)};
}

void damage(const XRectangle &r) {
    if (r.width == 0 || !canvasRealized()) return;
    XClearArea(XtDisplay(canvas), XtWindow(canvas), r.x, r.y, r.width, r.height, True);
}

void dropPixmap() {
    if (pixmap != None) XFreePixmap(XtDisplay(canvas), pixmap);
    pixmap = None;
    width = height = 0;
}

// The pixel for each coverage: a mix of background and ink by coverage
// on a true-colour visual, else the nearer of the two.
void mixTable(Display *d, Visual *visual, Colormap map, Pixel background, unsigned long table[256]) {
    XColor bg, ink;
    bg.pixel = background;
    ink.pixel = inkPixel;
    XQueryColor(d, map, &bg);
    XQueryColor(d, map, &ink);
    bool trueColour = visual->c_class == TrueColor;
    auto channel = [](unsigned long mask, double v16) {
        if (!mask) return 0UL;
        int shift = 0, bits = 0;
        while (!((mask >> shift) & 1)) shift++;
        while ((mask >> (shift + bits)) & 1) bits++;
        unsigned long v = static_cast<unsigned long>(std::lround(v16 / 65535.0 * ((1UL << bits) - 1)));
        return v << shift;
    };
    for (int c = 0; c < 256; c++) {
        if (!trueColour) {
            table[c] = c >= 128 ? inkPixel : background;
            continue;
        }
        double t = c / 255.0;
        table[c] = channel(visual->red_mask, bg.red + (ink.red - bg.red) * t) |
                   channel(visual->green_mask, bg.green + (ink.green - bg.green) * t) |
                   channel(visual->blue_mask, bg.blue + (ink.blue - bg.blue) * t);
    }
    table[0] = background;
    table[255] = inkPixel;
}

}  // namespace

void setOverlayInk(Pixel ink) { inkPixel = ink; }

void showOverlay(const LatexImage &image, const OverlayPlacement &place) {
    if (!canvasRealized()) return;
    Display *d = XtDisplay(canvas);
    Window w = XtWindow(canvas);
    XRectangle old = painted;
    dropPixmap();
    Pixel background = 0;
    Colormap map = None;
    Cardinal depth = 0;
    XtVaGetValues(canvas, XtNbackground, &background, XtNcolormap, &map, XtNdepth, &depth, nullptr);
    Visual *visual = DefaultVisualOfScreen(XtScreen(canvas));
    unsigned long table[256];
    mixTable(d, visual, map, background, table);
    XImage *x = XCreateImage(d, visual, depth, ZPixmap, 0, nullptr, static_cast<unsigned>(image.width),
                             static_cast<unsigned>(image.height), 32, 0);
    if (!x) return;
    x->data = static_cast<char *>(malloc(static_cast<size_t>(x->bytes_per_line) * image.height));
    if (!x->data) {
        XDestroyImage(x);
        return;
    }
    const unsigned char *c = image.coverage.data();
    for (int j = 0; j < image.height; j++)
        for (int i = 0; i < image.width; i++) XPutPixel(x, i, j, table[*c++]);
    pixmap = XCreatePixmap(d, w, static_cast<unsigned>(image.width), static_cast<unsigned>(image.height), depth);
    if (!copyGC) copyGC = XCreateGC(d, w, 0, nullptr);
    XSetClipMask(d, copyGC, None);
    XPutImage(d, pixmap, copyGC, x, 0, 0, 0, 0, static_cast<unsigned>(image.width), static_cast<unsigned>(image.height));
    XDestroyImage(x);
    width = image.width;
    height = image.height;
    imageX = place.imageX;
    imageY = place.imageY;
    madeZoom = zoomFactor;
    madePixelsPerUnit = pixelsPerUnit;
    anchorX = place.canvasX / zoomFactor - originX;
    anchorY = place.canvasY / zoomFactor - originY;
    painted = {0, 0, 0, 0};
    damage(old);
    damage(currentArea());
}

void moveOverlay(float canvasX, float canvasY) {
    float x = canvasX / zoomFactor - originX, y = canvasY / zoomFactor - originY;
    if (pixmap == None || (x == anchorX && y == anchorY)) return;
    XRectangle old = painted;
    anchorX = x;
    anchorY = y;
    painted = {0, 0, 0, 0};
    damage(old);
    damage(currentArea());
}

void hideOverlay() {
    if (pixmap == None) return;
    XRectangle old = painted;
    dropPixmap();
    painted = {0, 0, 0, 0};
    damage(old);
}

bool overlayShown() {
    return pixmap != None && madeZoom == zoomFactor && madePixelsPerUnit == pixelsPerUnit;
}

XRectangle overlayArea() { return currentArea(); }

void paintOverlay(Display *d, Window w, Region exposed) {
    if (!overlayShown()) return;
    XRectangle r = currentArea();
    if (exposed) XSetRegion(d, copyGC, exposed);
    XCopyArea(d, pixmap, w, copyGC, 0, 0, r.width, r.height, r.x, r.y);
    XSetClipMask(d, copyGC, None);
    painted = r;
}
