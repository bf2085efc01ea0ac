#include "picfile/Reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "canvas/Shift.h"
#include "canvas/View.h"
#include "objects/Constrain.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Scanner.h"
#include "picfile/Units.h"

// What the current command has read so far. Like the \put point these keep
// their values from one command to the next.
static float putX, putY;  // picture units, y upwards
static float pendingX3;
static int pendingFlags;
static char pendingText[objTextSize];

// Numbers beyond this have no place in a drawing; they are held to it so
// that no later arithmetic overflows.
const float largestNumber = 1e9f;

static void warn(const char *text) { fprintf(stderr, "Warning(%d): %s\n", lineNumber, text); }

// The next token as a number, or the default with the warning. The token
// taken is dropped either way.
static float readNumber(float fallback, const char *warning) {
    if (nextToken() != tokNumber) {
        warn(warning);
        return fallback;
    }
    if (!(std::fabs(tokenNumber) <= largestNumber)) {
        warn("number out of range; using 1e9");
        return tokenNumber < 0 ? -largestNumber : largestNumber;
    }
    return tokenNumber;
}

static ObjRecord *makeRecord(ObjType type) {
    ObjRecord *rec = ObjNew(type);
    linkObject(rec);
    return rec;
}

// A box-like record whose \put point (x, y) is its lower-left corner. A
// negative size counts from the other side, covering the same area.
static ObjRecord *makeBox(ObjType type, float x, float y, float w, float h) {
    if (w < 0) x += w, w = -w;
    if (h < 0) y += h, h = -h;
    ObjRecord *rec = makeRecord(type);
    rec->x = x;
    rec->y = -(y + h);
    rec->x2 = w;
    rec->y2 = h;
    return rec;
}

static void applyPosition(const char *letters) {
    const int vertical = posTop | posVCenter | posBottom, horizontal = posLeft | posHCenter | posRight;
    for (const char *c = letters; *c; c++) {
        switch (*c) {
        case 't': pendingFlags = (pendingFlags & ~vertical) | posTop; break;
        case 'b': pendingFlags = (pendingFlags & ~vertical) | posBottom; break;
        case 'l': pendingFlags = (pendingFlags & ~horizontal) | posLeft; break;
        case 'r': pendingFlags = (pendingFlags & ~horizontal) | posRight; break;
        default: break;
        }
    }
}

// \framebox, \dashbox and \makebox: size, position letters, text.
static void boxSequence(ObjType type) {
    float w = readNumber(0, "missing extent of box, assuming 0.0");
    float h = readNumber(0, "missing extent of box, assuming 0.0");
    int t = nextToken();
    if (t == tokPosition) {
        applyPosition(tokenText);
        t = nextToken();
    }
    if (t == tokText) {
        snprintf(pendingText, sizeof pendingText, "%s", tokenText);
        balanceText(pendingText);  // a text cut short or ended by the file's end
    } else {
        warn("text expected; assuming empty");
        pendingText[0] = '\0';
    }
    ObjRecord *rec = makeBox(type, putX, putY, w, h);
    if (type == ObjDashedBox) rec->x3 = pendingX3;
    rec->flags = pendingFlags;
    memcpy(rec->text, pendingText, sizeof rec->text);
}

// The end of \line(dx,dy){l} from the \put point: l is the horizontal
// extent, or the vertical one of a vertical line.
static void makeLine(ObjType type, float dx, float dy, float l) {
    float ex, ey;
    if (dx == 0) {
        ex = putX;
        ey = dy > 0 ? putY + l : putY - l;
    } else {
        ex = dx > 0 ? putX + l : putX - l;
        ey = putY + l * dy / std::fabs(dx);
        if (!std::isfinite(ey)) ey = ey > 0 ? largestNumber : -largestNumber;
    }
    ObjRecord *rec = makeRecord(type);
    rec->x = putX;
    rec->y = -putY;
    rec->x2 = ex;
    rec->y2 = -ey;
}

static short toShort(double v) { return static_cast<short>(v < SHRT_MIN ? SHRT_MIN : v > SHRT_MAX ? SHRT_MAX : v); }

// An oval's corner radius in picture units: half the allowed \circle size
// nearest to its smaller side, worked out in zoom-1 pixels.
static float ovalCorner(float ox, float oy, float w, float h) {
    float s = pixelsPerUnit;
    double cx = std::trunc(ox * s), cy = std::trunc(oy * s);
    double px = std::trunc(s * (ox + std::min(w, h) / 2.0));
    // Far from the origin the points no longer fit a canvas point: the
    // radius depends only on their distance, so measure from zero.
    if (std::fabs(cx) > SHRT_MAX || std::fabs(cy) > SHRT_MAX || std::fabs(px) > SHRT_MAX) {
        px -= cx;
        cx = cy = 0;
        ox = 0;
    }
    short x = toShort(px), y = toShort(cy);
    roundCircle(static_cast<int>(cx), static_cast<int>(cy), &x, &y, 1.0f, circleDiameters);
    return x / s - ox;
}

static void readUnitLength() {
    unitValue = tokenNumber;
    if (unitValue == 0) {
        unitValue = 1.0f;
        warn("\\unitlength was 0; is 1 now");
    } else if (unitValue < 0) {
        unitValue = -unitValue;
        warn("negative \\unitlength; using its magnitude");
    }
    if (nextToken() == tokUnit) {
        unitIndex = tokenUnit;
    } else {
        warn("unit not found, assuming pt");
        unitIndex = 0;
    }
    if (!unitLengthInRange(unitValue * unitTable[unitIndex].points)) {
        warn("\\unitlength out of range; using 1pt");
        unitValue = 1.0f;
        unitIndex = 0;
    }
    setUnitScale(unitValue * unitTable[unitIndex].points);
}

// A length of \rule: a number and its unit.
static float ruleLength() {
    float v = readNumber(0, "missing extent of rule, assuming 0.0");
    int t = nextToken();
    if (t == tokUnit)
        v *= unitTable[tokenUnit].points / pixelsPerUnit;
    else if (t != tokUnitlength)
        warn("missing unit, assuming \\unitlength");
    return v;
}

// Handles the command of token t; returns the next token to handle.
static int handle(int t) {
    switch (t) {
    case tokBeginPicture:
        readNumber(0, "error in \\begin{picture} line");
        readNumber(0, "error in \\begin{picture} line");
        t = nextToken();
        if (t != tokNumber) return t;
        readNumber(0, "error in \\begin{picture} line");
        break;
    case tokText: {
        ObjRecord *rec = makeBox(ObjText, putX, putY, 0, 0);
        rec->flags = posBottom | posLeft;
        snprintf(rec->text, sizeof rec->text, "%s", tokenText);
        balanceText(rec->text);
        break;
    }
    case tokPut:
        putX = readNumber(0, "missing coord of \\put, assuming 0.0");
        putY = readNumber(0, "missing coord of \\put, assuming 0.0");
        break;
    case tokFramebox: boxSequence(ObjFramedBox); break;
    case tokDashbox:
        pendingX3 = readNumber(5 / pixelsPerUnit, "missing dashlength, assuming 5.0");
        boxSequence(ObjDashedBox);
        break;
    case tokMakebox: boxSequence(ObjText); break;
    case tokLine:
    case tokVector: {
        float dx = readNumber(0, "missing coord: \\line, assuming 0.0");
        float dy = readNumber(0, "missing coord: \\line, assuming 0.0");
        float l = readNumber(100 / pixelsPerUnit, "missing length, assuming 100.0");
        makeLine(t == tokLine ? ObjLine : ObjVector, dx, dy, l);
        break;
    }
    case tokCircle:
    case tokDisc: {
        float d = readNumber(1 / pixelsPerUnit, "missing diameter, assuming 1.0");
        ObjRecord *rec = makeRecord(t == tokCircle ? ObjCircle : ObjDisc);
        rec->x = putX;
        rec->y = -putY;
        rec->x2 = std::fabs(d) / 2;
        break;
    }
    case tokOval: {
        float w = std::fabs(readNumber(0, "missing extent of oval, assuming 0.0"));
        float h = std::fabs(readNumber(0, "missing extent of oval, assuming 0.0"));
        putX = static_cast<float>(putX - w / 2.0);
        putY = static_cast<float>(putY - h / 2.0);
        ObjRecord *rec = makeBox(ObjOval, putX, putY, w, h);
        rec->x3 = ovalCorner(putX, putY, w, h);
        break;
    }
    case tokRule: {
        float w = ruleLength();
        float h = ruleLength();
        makeBox(ObjFilledBox, putX, putY, w, h);
        break;
    }
    case tokBezierCount:
        readNumber(0, "missing number in bezier");
        /* fall through */
    case tokQbezier: {
        float p[6];
        for (float &v : p) v = readNumber(0, "missing coord in bezier, assuming 0.0");
        putX = p[0], putY = p[1];
        ObjRecord *rec = makeRecord(ObjBezier);
        rec->x = p[0], rec->y = -p[1];
        rec->x2 = p[2], rec->y2 = -p[3];
        rec->x3 = p[4], rec->y3 = -p[5];
        break;
    }
    case tokUnitNumber: readUnitLength(); break;
    case tokThicklines: warn("Ignoring \\thicklines command"); break;
    case tokThinlines: warn("Ignoring \\thinlines command"); break;
    default: break;  // stray numbers, units, options
    }
    return nextToken();
}

// Opens a regular file for reading; anything else (a directory, a device,
// a pipe) is refused. Opening never waits on a pipe.
static FILE *openPicture(const char *path) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *file = fdopen(fd, "r");
    if (!file) close(fd);
    return file;
}

bool loadPicture(const char *path, MessageSink sink) {
    FILE *file = openPicture(path);
    if (!file) {
        sink("Can't open file");
        return false;
    }
    startScan(file);
    resetPicture();
    int t = nextToken();
    while (t != tokEnd && t != tokEndPicture) {
        pendingFlags = posCentred;
        t = handle(t);
    }
    bool failed = scanReadFailed();
    if (t == tokEnd) warn("unexpected end of file");
    fclose(file);
    if (failed) sink("Can't read file");
    if (!objectList) {
        if (!failed) sink("Nothing was loaded");
        resetPicture();
        return true;
    }
    reverseObjects();
    for (ObjRecord *r = objectList; r; r = r->next) ObjRescale(r, zoomFactor * pixelsPerUnit);
    originY = 0;
    shiftView(shiftCentre);
    modified = false;
    return true;
}
