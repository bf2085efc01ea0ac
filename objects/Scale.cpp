#include "objects/Scale.h"

float zoomFactor = 1.0f;
float pixelsPerUnit = 1.0f;
float unitPt = 1.0f;
