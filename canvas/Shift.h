// Moving the view over the picture, and centring the drawing.
#ifndef VEXILO_SHIFT_H
#define VEXILO_SHIFT_H

enum ShiftDirection { shiftUp = 0, shiftDown = 1, shiftLeft = 2, shiftRight = 3, shiftCentre = 4 };

typedef void (*ViewShiftHook)(int dx, int dy);

void shiftView(int direction);
void setViewShiftHook(ViewShiftHook fn);

#endif
