#include "objects/Constrain.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "objects/Scale.h"

SlopeEntry lineSlopes[24];
SlopeEntry vectorSlopes[12];
const int circleDiameters[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                               20, 24, 28, 32, 36, 40, -1};
const int discDiameters[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, -1};

bool gridOn = false;
bool snapOn = false;
bool unlimitedSlopes = false;
bool unlimitedDiameters = false;
bool unlimitedLengths = false;
float gridDistance = 10.0f;

// Truncation toward zero, held to the range of the target type so that
// far-away points never overflow.
static int truncInt(double v) {
    if (!(v > INT_MIN)) return std::isnan(v) ? 0 : INT_MIN;
    if (!(v < INT_MAX)) return INT_MAX;
    return static_cast<int>(v);
}

static void insertSlope(SlopeEntry *table, float s, float x, float y) {
    int i = 0;
    while (table[i].slope != slopeEndMarker && table[i].slope < s) i++;
    if (table[i].slope == s) return;
    int end = i;
    while (table[end].slope != slopeEndMarker) end++;
    for (int k = end; k >= i; k--) table[k + 1] = table[k];
    table[i] = {s, x, y};
}

static int gcd(int a, int b) { return b == 0 ? a : gcd(b, a % b); }

void buildSlopeTable(SlopeEntry *table, int n) {
    table[0] = {slopeEndMarker, 0, 0};
    for (int a = n; a >= 1; a--) {
        for (int b = n; b >= 1; b--) {
            int g = gcd(a, b);
            insertSlope(table, static_cast<float>(a) / b, static_cast<float>(b / g), static_cast<float>(a / g));
            insertSlope(table, static_cast<float>(b) / a, static_cast<float>(a / g), static_cast<float>(b / g));
        }
    }
}

// One coordinate to the nearest multiple of the spacing, halves upward;
// returns the multiple before the final rounding.
static float snapCoordinate(short *v, float spacing) {
    int n = truncInt(static_cast<float>(*v / spacing) + 0.5);
    float multiple = n * spacing;
    *v = toCanvas(truncInt(multiple + 0.5));
    return multiple;
}

static float gridSpacing() { return gridDistance * zoomFactor * pixelsPerUnit; }

void snapToSpacing(short *x, short *y, float *sx, float *sy, float spacing) {
    *sx = snapCoordinate(x, spacing);
    *sy = snapCoordinate(y, spacing);
}

void snapPoint(short *x, short *y) {
    if (!(snapOn && gridOn)) return;
    float sx, sy;
    snapToSpacing(x, y, &sx, &sy, gridSpacing());
}

int roundDiameter(double d, float scale, const int *table) {
    if (unlimitedDiameters) return truncInt(d);
    int p = truncInt(unitPt * (d / scale) / pixelsPerUnit);
    int k = 0;
    while (table[k] != -1 && table[k] < p) k++;
    int t;
    if (k == 0)
        t = table[0];
    else if (table[k] == -1)
        t = table[k - 1];
    else
        t = (p - table[k - 1]) >= (table[k] - p) ? table[k] : table[k - 1];
    return truncInt(pixelsPerUnit * (scale * t) / unitPt);
}

void roundCircle(int cx, int cy, short *px, short *py, float scale, const int *table) {
    double dx = *px - cx, dy = *py - cy;
    double d = 2 * std::sqrt(dx * dx + dy * dy);
    int g = roundDiameter(d, scale, table);
    *px = toCanvas(static_cast<long>(cx) + (static_cast<long>(g) + 1) / 2);
    *py = toCanvas(cy);
}

double ovalCornerPoints(double side) {
    // A side a whole number of steps long in the file may fall a hair
    // short in floats.
    double steps = std::floor(side / 4 + 1e-4);
    if (!(steps >= 1)) return side > 0 ? side : 0;
    return 4 * std::fmin(steps, 10);
}

int ovalCornerDiameter(double side, float scale) {
    double points = ovalCornerPoints(unitPt * (side / scale) / pixelsPerUnit);
    return truncInt(pixelsPerUnit * (scale * points) / unitPt);
}

bool setGridDistance(float distance) {
    gridDistance = distance;
    return distance * zoomFactor * pixelsPerUnit >= 4.0f;
}

void enforceMinLength(int fx, int fy, short *mx, short *my) {
    if (unlimitedLengths || *mx == fx || *my == fy) return;
    int m = truncInt(static_cast<float>(zoomFactor * 10 * pixelsPerUnit / unitPt) + 0.5);
    if (std::abs(*mx - fx) >= m) return;
    long nx = *mx >= fx ? static_cast<long>(fx) + m : static_cast<long>(fx) - m;
    long ny = fy + static_cast<long>(*my - fy) * (nx - fx) / (*mx - fx);
    *mx = toCanvas(nx);
    *my = toCanvas(ny);
}

// Turns the moving end M of a line from F to the nearest slope of the table.
// Returns false when the line became horizontal or vertical, which ends
// the rules.
static bool nearestSlope(const SlopeEntry *table, const XPoint &f, XPoint &m) {
    int dx = m.x - f.x, dy = m.y - f.y;
    float s = static_cast<float>(dy) / dx;
    float a = std::fabs(s);
    int k = 0;
    while (table[k].slope != slopeEndMarker && table[k].slope < a) k++;
    int j;
    if (table[k].slope == slopeEndMarker) {
        if (a > 2 * table[k - 1].slope) {
            m.x = f.x;
            return false;
        }
        j = k - 1;
    } else if (k == 0) {
        if (a < 0.5f * table[0].slope) {
            m.y = f.y;
            return false;
        }
        j = 0;
    } else {
        j = (table[k].slope - a) > (a - table[k - 1].slope) ? k - 1 : k;
    }
    float sx = (s > 0 ? 1.0f : -1.0f) * table[j].x;
    float candX = f.x + (dy / table[j].y) * sx;
    float candY = f.y + (dx / sx) * table[j].y;
    if (std::fabs(candY - m.y) <= std::fabs(candX - m.x))
        m.y = toCanvas(truncInt(candY));
    else
        m.x = toCanvas(truncInt(candX));
    return true;
}

void ObjConstrain(ObjType type, XPoint *points, int count, int index) {
    XPoint &m = points[index];
    snapPoint(&m.x, &m.y);
    switch (type) {
    case ObjCircle:
    case ObjDisc:
        if (count == 2 && index == 1)
            roundCircle(points[0].x, points[0].y, &m.x, &m.y, zoomFactor,
                        type == ObjCircle ? circleDiameters : discDiameters);
        break;
    case ObjLine:
    case ObjVector: {
        if (count != 2) break;
        const XPoint &f = points[1 - index];
        if (m.x == f.x || m.y == f.y) break;  // horizontal and vertical are always allowed
        if (!unlimitedSlopes && !nearestSlope(type == ObjLine ? lineSlopes : vectorSlopes, f, m)) break;
        enforceMinLength(f.x, f.y, &m.x, &m.y);
        break;
    }
    default:
        break;
    }
}
