#include "picfile/Reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "objects/Constrain.h"
#include "objects/Scale.h"
#include "picfile/Scanner.h"
#include "picfile/Units.h"

namespace {

// More copies than this of a \multiput are not drawn in any real picture.
const int largestCount = 100000;

// The line thickness in force: \thinlines or \thicklines, and a
// \linethickness in points (0 when none holds).
struct LineState {
    int thick;
    float width;
};

// An open brace group of the picture: what its closing brace gives back.
enum FrameKind { framePut, frameGroup, frameMultiput, frameSavebox };
struct Frame {
    FrameKind kind;
    float baseX, baseY;
    LineState state;
    ObjRecord **target;
    ObjRecord *record;  // the multiput being read, or the holder of a saved box's records
    std::string name;   // the saved box being read
};

// Where objects go: the point they are put at (the \put offsets in force,
// picture units, y upwards), the thickness, and the list records join.
float baseX, baseY;
LineState lineState;
ObjRecord *topList;
ObjRecord **target;
std::vector<Frame> frames;
// Boxes saved with \sbox or \savebox: records at the point (0, 0).
std::map<std::string, ObjRecord *> savedBoxes;

// What the current command has read so far. These keep their values from
// one command to the next.
float pendingX3;
int pendingFlags;
char pendingText[objTextSize];

int pushedBack = -1;

void warn(const char *text) { fprintf(stderr, "Warning(%d): %s\n", lineNumber, text); }

int next() {
    if (pushedBack >= 0) {
        int t = pushedBack;
        pushedBack = -1;
        return t;
    }
    return nextToken();
}

void pushBack(int t) { pushedBack = t; }

// Tokens that begin or end something of their own: taken in place of a
// number or a text they are handled in their turn, never dropped.
bool structural(int t) {
    return t != tokNumber && t != tokUnit && t != tokUnitlength && t != tokPosition && t != tokText &&
           t != tokUnknown;
}

// Drops a token taken in place of an argument, unless it stands for
// something of its own.
void giveBack(int t) {
    if (structural(t)) pushBack(t);
}

void openGroup();

// The "}" of an argument whose "{" was read; when something else comes,
// the brace stays open as a group.
void closeArgument() {
    int t = next();
    if (t != tokClose) {
        pushBack(t);
        openGroup();
    }
}

float inRange(float v) {
    if (!(std::fabs(v) <= largestNumber)) {
        warn("number out of range; using 1e9");
        return v < 0 ? -largestNumber : largestNumber;
    }
    return v;
}

// The next number, or the default with the warning. With braces, the
// number may stand in a group of its own, as in \circle{7}.
float readNumber(float fallback, const char *warning, bool braces = false) {
    int t = next();
    bool braced = braces && t == tokOpen;
    if (braced) t = next();
    if (t != tokNumber) {
        warn(warning);
        if (braced && t == tokClose) return fallback;
        giveBack(t);
        if (braced) openGroup();
        return fallback;
    }
    float v = inRange(tokenNumber);
    if (braced) closeArgument();
    return v;
}

// A length: a number and its unit (or \unitlength), in points. Without a
// unit the number is taken in units of \unitlength, with the warning.
float readLength(const char *missing, bool braces) {
    int t = next();
    bool braced = braces && t == tokOpen;
    if (braced) t = next();
    if (t != tokNumber) {
        warn(missing);
        if (braced && t == tokClose) return 0;
        giveBack(t);
        if (braced) openGroup();
        return 0;
    }
    float v = inRange(tokenNumber);
    t = next();
    if (t == tokUnit)
        v *= unitTable[tokenUnit].points;
    else if (t == tokUnitlength)
        v *= unitPt;
    else {
        warn("missing unit, assuming \\unitlength");
        v *= unitPt;
        giveBack(t);
    }
    if (braced) closeArgument();
    return v;
}

// A length in picture units.
float readUnits(const char *missing, bool braces) { return readLength(missing, braces) / unitPt; }

ObjRecord *makeRecord(ObjType type) {
    ObjRecord *rec = ObjNew(type);
    rec->thickLines = lineState.thick;
    rec->lineWidth = lineState.width;
    rec->next = *target;
    *target = rec;
    return rec;
}

// A box-like record whose point (x, y) is its lower-left corner. A
// negative size counts from the other side, covering the same area.
ObjRecord *makeBox(ObjType type, float x, float y, float w, float h) {
    if (w < 0) x += w, w = -w;
    if (h < 0) y += h, h = -h;
    ObjRecord *rec = makeRecord(type);
    rec->x = x;
    rec->y = -(y + h);
    rec->x2 = w;
    rec->y2 = h;
    return rec;
}

Frame &pushFrame(FrameKind kind) {
    frames.push_back(Frame{kind, baseX, baseY, lineState, target, nullptr, std::string()});
    return frames.back();
}

void openGroup() { pushFrame(frameGroup); }

// The "}" of the innermost group: what the group declared ends with it.
void closeFrame() {
    if (frames.empty()) return;  // a stray brace
    Frame f = frames.back();
    frames.pop_back();
    baseX = f.baseX, baseY = f.baseY;
    lineState = f.state;
    target = f.target;
    if (f.kind == frameMultiput) {
        ObjRecord *rec = f.record;
        rec->body = reverseList(rec->body);
        if (!rec->body || rec->count <= 0) {
            ObjFree(rec);  // draws nothing
            return;
        }
        rec->next = *target;
        *target = rec;
    } else if (f.kind == frameSavebox) {
        ObjRecord *&box = savedBoxes[f.name];
        ObjFreeList(box);
        box = reverseList(f.record->body);
        f.record->body = nullptr;
        ObjFree(f.record);
    }
}

// A text read is held as the writer writes it, so that it comes back the
// same: a bare "%" escaped (cut to what a record holds), and balanced
// braces (a text cut short or ended by the file's end may lack some).
void keepAsWritten(char *text) {
    escapePercents(text, objTextSize);
    balanceText(text);
}

void applyPosition(const char *letters) {
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

int ovalPart(const char *letters) {
    int part = 0;
    for (const char *c = letters; *c; c++) {
        switch (*c) {
        case 't': part |= ovalTop; break;
        case 'b': part |= ovalBottom; break;
        case 'l': part |= ovalLeft; break;
        case 'r': part |= ovalRight; break;
        default: break;
        }
    }
    // Both sides of an axis is no part on that axis.
    if ((part & (ovalTop | ovalBottom)) == (ovalTop | ovalBottom)) part &= ~(ovalTop | ovalBottom);
    if ((part & (ovalLeft | ovalRight)) == (ovalLeft | ovalRight)) part &= ~(ovalLeft | ovalRight);
    return part;
}

// \framebox, \dashbox and \makebox: size, position letters, text.
void boxSequence(ObjType type) {
    float w = readNumber(0, "missing extent of box, assuming 0.0");
    float h = readNumber(0, "missing extent of box, assuming 0.0");
    int t = next();
    if (t == tokPosition) {
        applyPosition(tokenText);
        t = next();
    }
    if (t == tokText) {
        snprintf(pendingText, sizeof pendingText, "%s", tokenText);
        keepAsWritten(pendingText);
    } else {
        warn("text expected; assuming empty");
        pendingText[0] = '\0';
        forgetBoxText();
        giveBack(t);
    }
    ObjRecord *rec = makeBox(type, baseX, baseY, w, h);
    if (type == ObjDashedBox) rec->x3 = pendingX3;
    rec->flags = pendingFlags;
    memcpy(rec->text, pendingText, sizeof rec->text);
}

// The end of \line(dx,dy){l} from the point: l is the horizontal extent,
// or the vertical one of a vertical line.
void makeLine(ObjType type, float dx, float dy, float l) {
    float ex, ey;
    if (dx == 0) {
        ex = baseX;
        ey = dy > 0 ? baseY + l : baseY - l;
    } else {
        ex = dx > 0 ? baseX + l : baseX - l;
        ey = baseY + l * dy / std::fabs(dx);
        if (!std::isfinite(ey)) ey = ey > 0 ? largestNumber : -largestNumber;
    }
    ObjRecord *rec = makeRecord(type);
    rec->x = baseX;
    rec->y = -baseY;
    rec->x2 = ex;
    rec->y2 = -ey;
}

// An oval's corner radius in picture units: half the quarter circles
// LaTeX draws in the corners of its smaller side.
float ovalCorner(float w, float h) {
    double side = std::min(w, h);
    if (unlimitedDiameters) return static_cast<float>(side / 2);
    return static_cast<float>(ovalCornerPoints(side * unitPt) / 2 / unitPt);
}

void readUnitLength() {
    unitValue = tokenNumber;
    if (unitValue == 0) {
        unitValue = 1.0f;
        warn("\\unitlength was 0; is 1 now");
    } else if (unitValue < 0) {
        unitValue = -unitValue;
        warn("negative \\unitlength; using its magnitude");
    }
    if (next() == tokUnit) {
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

int wholeCount(float v) {
    if (!(v > 0)) return 0;
    if (v > largestCount) {
        warn("too many copies; using 100000");
        return largestCount;
    }
    return static_cast<int>(v + 0.5f);
}

// \rule[raise]{width}{height}: its lower-left corner is raised above the point.
void readRule(bool raised) {
    float raise = raised ? readUnits("missing raise of rule, assuming 0.0", false) : 0;
    float w = readUnits("missing extent of rule, assuming 0.0", true);
    float h = readUnits("missing extent of rule, assuming 0.0", true);
    makeBox(ObjFilledBox, baseX, baseY + raise, w, h);
}

void readBezier(int dots) {
    float p[6];
    for (float &v : p) v = readNumber(0, "missing coord in bezier, assuming 0.0");
    ObjRecord *rec = makeRecord(ObjBezier);
    rec->x = baseX + p[0], rec->y = -(baseY + p[1]);
    rec->x2 = baseX + p[2], rec->y2 = -(baseY + p[3]);
    rec->x3 = baseX + p[4], rec->y3 = -(baseY + p[5]);
    rec->dots = dots;
}

void readMultiput() {
    float x = readNumber(0, "missing coord of \\multiput, assuming 0.0");
    float y = readNumber(0, "missing coord of \\multiput, assuming 0.0");
    float dx = readNumber(0, "missing step of \\multiput, assuming 0.0");
    float dy = readNumber(0, "missing step of \\multiput, assuming 0.0");
    int count = wholeCount(readNumber(0, "missing count of \\multiput, assuming 0", true));
    // Copies of copies multiply: a drawing holds at most largestCount of them.
    long above = 1;
    for (const Frame &f : frames)
        if (f.kind == frameMultiput) above *= f.record->count > 0 ? f.record->count : 1;
    if (count > 0 && above * count > largestCount) {
        warn("too many copies; using 100000");
        count = static_cast<int>(std::max(1L, largestCount / above));
    }
    int t = next();
    if (t != tokOpen) {
        warn("missing body of \\multiput");
        giveBack(t);
        return;
    }
    ObjRecord *rec = ObjNew(ObjMultiput);
    rec->thickLines = lineState.thick;
    rec->lineWidth = lineState.width;
    rec->x = baseX + x, rec->y = -(baseY + y);
    rec->x2 = dx, rec->y2 = -dy;
    rec->count = count;
    Frame &f = pushFrame(frameMultiput);
    f.record = rec;
    target = &rec->body;
    baseX += x, baseY += y;
}

void readSavebox() {
    std::string name = tokenText;
    int t = next();
    while (t == tokNumber || t == tokPosition) t = next();  // \savebox's size and position
    if (t != tokOpen) {
        warn("missing contents of saved box");
        giveBack(t);
        return;
    }
    Frame &f = pushFrame(frameSavebox);
    f.name = name;
    f.record = ObjNew(ObjMultiput);  // holds the box's records while they are read
    target = &f.record->body;
    baseX = baseY = 0;
}

void useBox() {
    auto box = savedBoxes.find(tokenText);
    if (box == savedBoxes.end()) {
        std::string text = std::string("unknown box \\") + tokenText + " skipped";
        warn(text.c_str());
        return;
    }
    for (const ObjRecord *r = box->second; r; r = r->next) {
        ObjRecord *copy = ObjNew(r->type);
        ObjCopy(r, copy);
        ObjMove(copy, baseX, -baseY);
        copy->next = *target;
        *target = copy;
    }
}

void readLinethickness() {
    float width = readLength("missing \\linethickness, assuming 0.4pt", true);
    if (!(width > 0)) width = thinLinePoints;
    if (!unitLengthInRange(width)) {
        warn("\\linethickness out of range; using 16383pt");
        width = 16383;
    }
    lineState.width = width;
}

void readPut() {
    float x = readNumber(0, "missing coord of \\put, assuming 0.0");
    float y = readNumber(0, "missing coord of \\put, assuming 0.0");
    int t = next();
    if (t != tokOpen) {
        warn("missing object of \\put");
        giveBack(t);
        return;
    }
    pushFrame(framePut);
    baseX += x, baseY += y;
}

// Handles the command of token t.
void handle(int t) {
    switch (t) {
    case tokBeginPicture:
        readNumber(0, "error in \\begin{picture} line");
        readNumber(0, "error in \\begin{picture} line");
        t = next();
        if (t != tokNumber) {
            pushBack(t);
            break;
        }
        readNumber(0, "error in \\begin{picture} line");
        break;
    case tokText:
    case tokPutText: {
        ObjRecord *rec = makeBox(ObjText, baseX, baseY, 0, 0);
        rec->flags = posBottom | posLeft;
        snprintf(rec->text, sizeof rec->text, "%s", tokenText);
        keepAsWritten(rec->text);
        if (t == tokPutText) closeFrame();
        break;
    }
    case tokPut: readPut(); break;
    case tokMultiput: readMultiput(); break;
    case tokOpen: openGroup(); break;
    case tokClose: closeFrame(); break;
    case tokFramebox: boxSequence(ObjFramedBox); break;
    case tokDashbox:
        pendingX3 = readNumber(5 / pixelsPerUnit, "missing dashlength, assuming 5.0", true);
        boxSequence(ObjDashedBox);
        break;
    case tokMakebox: boxSequence(ObjText); break;
    case tokLine:
    case tokVector: {
        float dx = readNumber(0, "missing coord: \\line, assuming 0.0");
        float dy = readNumber(0, "missing coord: \\line, assuming 0.0");
        float l = readNumber(100 / pixelsPerUnit, "missing length, assuming 100.0", true);
        makeLine(t == tokLine ? ObjLine : ObjVector, dx, dy, l);
        break;
    }
    case tokCircle:
    case tokDisc: {
        float d = readNumber(1 / pixelsPerUnit, "missing diameter, assuming 1.0", true);
        ObjRecord *rec = makeRecord(t == tokCircle ? ObjCircle : ObjDisc);
        rec->x = baseX;
        rec->y = -baseY;
        rec->x2 = std::fabs(d) / 2;
        break;
    }
    case tokOval: {
        float w = std::fabs(readNumber(0, "missing extent of oval, assuming 0.0"));
        float h = std::fabs(readNumber(0, "missing extent of oval, assuming 0.0"));
        int part = 0;
        int p = next();
        if (p == tokPosition)
            part = ovalPart(tokenText);
        else
            pushBack(p);
        // The point is the oval's centre, whatever part is drawn.
        float ox = static_cast<float>(baseX - w / 2.0), oy = static_cast<float>(baseY - h / 2.0);
        ObjRecord *rec = makeBox(ObjOval, ox, oy, w, h);
        rec->x3 = ovalCorner(w, h);
        rec->part = part;
        break;
    }
    case tokRule:
    case tokRuleRaise: readRule(t == tokRuleRaise); break;
    case tokBezierCount: {
        float n = readNumber(0, "missing number in bezier", true);
        readBezier(n > 0 ? wholeCount(n) : 0);
        break;
    }
    case tokQbezier: readBezier(0); break;
    case tokUnitNumber: readUnitLength(); break;
    case tokThicklines: lineState = {1, 0}; break;
    case tokThinlines: lineState = {0, 0}; break;
    case tokLinethickness: readLinethickness(); break;
    case tokSavebox: readSavebox(); break;
    case tokUsebox: useBox(); break;
    case tokUnknown: {
        std::string text = std::string("unknown command \\") + tokenText + " skipped";
        warn(text.c_str());
        break;
    }
    default: break;  // stray numbers, units, options
    }
}

void resetReader() {
    baseX = baseY = 0;
    lineState = {0, 0};
    topList = nullptr;
    target = &topList;
    frames.clear();
    pushedBack = -1;
    for (auto &box : savedBoxes) ObjFreeList(box.second);
    savedBoxes.clear();
}

}  // namespace

FILE *openPictureFile(const char *path, const char **reason) {
    const char *ignored;
    if (!reason) reason = &ignored;
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *reason = strerror(errno);
        return nullptr;
    }
    struct stat st;
    const char *refused = fstat(fd, &st) != 0   ? strerror(errno)
                          : S_ISDIR(st.st_mode)  ? strerror(EISDIR)
                          : !S_ISREG(st.st_mode) ? "Not a regular file"
                                                 : nullptr;
    if (refused) {
        *reason = refused;
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *file = fdopen(fd, "r");
    if (!file) {
        *reason = strerror(errno);
        close(fd);
    }
    return file;
}

Picture readPicture(FILE *file) {
    startScan(file);
    resetReader();
    int t = next();
    while (t != tokEnd && t != tokEndPicture) {
        pendingFlags = posCentred;
        handle(t);
        t = next();
    }
    if (t == tokEnd) warn("unexpected end of file");
    // Groups the file left open end here: nothing read is lost.
    while (!frames.empty()) closeFrame();
    Picture picture;
    picture.objects = reverseList(topList);
    picture.readFailed = scanReadFailed();
    resetReader();
    return picture;
}
