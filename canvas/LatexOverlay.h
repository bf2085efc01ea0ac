// LaTeX's rendering of the drawing, laid under the objects on the canvas
// in a light colour. It is kept as a pixmap on the server and follows the
// view: it is tied to a point of the drawing in zoom-1 pixels from the
// picture origin, so shifts move it; at another zoom or unit it is hidden
// until a rendering for that scale replaces it.
#ifndef VEXILO_LATEXOVERLAY_H
#define VEXILO_LATEXOVERLAY_H

#include <X11/Intrinsic.h>

#include "picfile/LatexImage.h"

// Where an image lies: canvas point (canvasX, canvasY) at the current
// view is image pixel (imageX, imageY).
struct OverlayPlacement {
    float canvasX, canvasY;
    int imageX, imageY;
};

// The colour of full ink; partly covered pixels get a mix of it and the
// canvas background.
void setOverlayInk(Pixel ink);
// Replaces the overlay, redrawing the canvas where the old one was and
// where the new one lies.
void showOverlay(const LatexImage &image, const OverlayPlacement &place);
// Ties the overlay to another canvas point (the drawing moved as a whole).
void moveOverlay(float canvasX, float canvasY);
// Removes the overlay, redrawing where it was.
void hideOverlay();
// True while an overlay for the current zoom and unit is there.
bool overlayShown();
// The canvas area the overlay covers (meaningful while overlayShown).
XRectangle overlayArea();
// The canvas's underlay painter.
void paintOverlay(Display *display, Window window, Region exposed);

#endif
