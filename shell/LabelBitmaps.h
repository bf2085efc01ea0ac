// Button labels with characters beyond Latin-1 (an ellipsis) for Athena
// buttons whose font is ISO 8859-1: the labels are drawn into one-bit
// pixmaps with the ISO 10646 variant of the button's font and shown as
// the button's bitmap.
#ifndef VEXILO_LABELBITMAPS_H
#define VEXILO_LABELBITMAPS_H

#include <X11/Intrinsic.h>

// Draws the UTF-8 labels into count pixmaps of one size, fit for the
// widest, with the text where the button's font puts its own. False, and
// nothing made, when the font has no such variant or it lacks a character.
bool makeLabelBitmaps(Widget button, const char *const *labels, int count, Pixmap *bitmaps);

#endif
