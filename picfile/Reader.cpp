#include "picfile/Reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "objects/Constrain.h"
#include "objects/Scale.h"
#include "picfile/Scanner.h"
#include "picfile/Units.h"
#include "picfile/Writer.h"

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
std::string pendingText;

int pushedBack = -1;

// Where the tokens taken lie in the source: the start of the last one,
// the end of the last one and of the one before, and the same of a token
// given back.
long takenStart, takenEnd, previousEnd, pushedStart, pushedEnd;

std::vector<std::string> *warningList;
// Set while pictures are only looked at: their warnings are not told.
bool quiet = false;

void tell(int line, const std::string &text) {
    if (!quiet) fprintf(stderr, "Warning(%d): %s\n", line, text.c_str());
    if (warningList) warningList->push_back("line " + std::to_string(line) + ": " + text);
}

// A warning of an item, told once it is known whether the item is kept as
// written: then the text it has for that case.
struct HeldWarning {
    int line;
    std::string text, whenKept;
};

// The command at the top of the picture body being read, with all it
// encloses.
struct Item {
    bool open = false;
    long start;
    int first;           // its first token
    ObjRecord *mark;     // the list's head before it
    int problems;        // the scanner's skips before it
    bool unmodelled;     // it holds something the model has no object for
    std::vector<HeldWarning> warnings;
    bool lossy() const { return unmodelled || scanProblems() != problems; }
} item;

void warn(const std::string &text, const std::string &whenKept) {
    if (item.open)
        item.warnings.push_back({lineNumber, text, whenKept});
    else
        tell(lineNumber, text);
}

void warn(const char *text) { warn(text, text); }

// Tells the warnings of the item, which is kept as written or not.
void tellItemWarnings(bool kept) {
    for (const HeldWarning &w : item.warnings) tell(w.line, kept ? w.whenKept : w.text);
    item.warnings.clear();
}

int next() {
    previousEnd = takenEnd;
    if (pushedBack >= 0) {
        int t = pushedBack;
        pushedBack = -1;
        takenStart = pushedStart, takenEnd = pushedEnd;
        return t;
    }
    int t = nextToken();
    takenStart = tokenStart, takenEnd = tokenEnd;
    return t;
}

void pushBack(int t) {
    pushedBack = t;
    pushedStart = takenStart, pushedEnd = takenEnd;
    takenEnd = previousEnd;
}

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
void keepAsWritten(std::string &text) {
    escapePercents(text);
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
        pendingText = tokenString;
        keepAsWritten(pendingText);
    } else {
        warn("text expected; assuming empty");
        pendingText.clear();
        forgetBoxText();
        giveBack(t);
    }
    ObjRecord *rec = makeBox(type, baseX, baseY, w, h);
    if (type == ObjDashedBox) rec->x3 = pendingX3;
    rec->flags = pendingFlags;
    ObjSetText(rec, pendingText.c_str());
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
    int t = next();
    if (t == tokUnit) {
        unitIndex = tokenUnit;
    } else {
        warn("unit not found, assuming pt");
        giveBack(t);  // it may be the \begin{picture} that follows
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
        std::string name = std::string("unknown box \\") + tokenText;
        warn(name + " skipped", name + " kept as written");
        item.unmodelled = true;
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
        std::string text = tokenString;
        keepAsWritten(text);
        ObjSetText(rec, text.c_str());
        // A \put's body that begins with a command is no text of the
        // model's: \color, \shortstack, a user's macro.
        if (t == tokPutText && tokenString.size() > 1 && tokenString[0] == '\\' &&
            isalpha(static_cast<unsigned char>(tokenString[1])))
            item.unmodelled = true;
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
        std::string name = std::string("unknown command \\") + tokenText;
        warn(name + " skipped", name + " kept as written");
        item.unmodelled = true;
        break;
    }
    default: break;  // stray numbers, units, options
    }
}


// ---------------------------------------------------------------------
// What the model cannot hold. Each command at the top of the picture
// body, with all it encloses, is an item; an item that drew a warning or
// whose characters the scanner skipped, or that made nothing the model
// keeps, becomes one verbatim record holding its source. So does any
// other material between items (comments).

const std::string *source;
int partsLost;
long gapStart;  // where the source after the last item begins


ObjRecord *lastVerbatim;  // the verbatim record made last, while it is the list's head
long lastVerbatimStart, lastVerbatimEnd;

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
// What the scanner passes over between the numbers of a command.
bool punctuation(char c) { return blank(c) || c == '(' || c == ')' || c == ',' || c == '[' || c == ']'; }

// True when the braces of the text close every group they open, outside
// comments and escapes: only such a text can be written back safely.
bool balanced(const char *text, size_t n) {
    int depth = 0;
    for (size_t i = 0; i < n; i++) {
        if (text[i] == '\\') i++;
        else if (text[i] == '%') while (i < n && text[i] != '\n') i++;
        else if (text[i] == '{') depth++;
        else if (text[i] == '}' && --depth < 0) return false;
    }
    return depth == 0;
}

// "(x,y)" after a command's name at text + *at: the point, and *at past it.
bool pointAfter(const std::string &text, size_t *at, float *x, float *y) {
    size_t i = *at;
    while (i < text.size() && blank(text[i])) i++;
    if (i >= text.size() || text[i] != '(') return false;
    size_t comma = text.find(',', i), close = text.find(')', i);
    if (comma == std::string::npos || close == std::string::npos || comma > close) return false;
    auto number = [&text](size_t from, size_t to, float *v) {
        std::string s = text.substr(from, to - from);
        std::string digits;
        for (char c : s)
            if (!blank(c)) digits += c;
        char *end;
        double d = strtod(digits.c_str(), &end);
        *v = static_cast<float>(d);
        return !digits.empty() && *end == '\0' && std::fabs(d) <= largestNumber;
    };
    if (!number(i + 1, comma, x) || !number(comma + 1, close, y)) return false;
    *at = close + 1;
    return true;
}

bool startsWith(const std::string &text, const char *name) {
    size_t n = strlen(name);
    return text.compare(0, n, name) == 0 && (text.size() == n || !isalpha(static_cast<unsigned char>(text[n])));
}

// A verbatim record of the source from start to end, at the list's head.
void keepVerbatim(long start, long end) {
    std::string text = source->substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
    VerbatimKind kind = verbatimPlain;
    float x = 0, y = 0;
    size_t at = 0;
    if (startsWith(text, "\\put")) {
        at = 4;
        if (pointAfter(text, &at, &x, &y)) kind = verbatimPut;
    } else if (startsWith(text, "\\multiput")) {
        at = 9;
        if (pointAfter(text, &at, &x, &y)) kind = verbatimMultiput;
    }
    // The point is kept apart only where a brace group (or, for a
    // \multiput, its step) follows it as the command needs.
    size_t body = at;
    while (body < text.size() && blank(text[body])) body++;
    if (kind == verbatimPut && (body >= text.size() || text[body] != '{' || text.back() != '}')) kind = verbatimPlain;
    if (kind == verbatimMultiput && (body >= text.size() || text[body] != '(' || text.back() != '}'))
        kind = verbatimPlain;
    if (kind == verbatimPlain) {
        at = 0;
        // Next to a plain verbatim record on its line, it is one piece
        // with it: \color and its {red}.
        if (lastVerbatim && topList == lastVerbatim && lastVerbatim->part == verbatimPlain) {
            bool adjacent = true;
            for (long i = lastVerbatimEnd; i < start && adjacent; i++)
                adjacent = punctuation((*source)[i]) && (*source)[i] != '\n';
            if (adjacent) {
                topList = lastVerbatim->next;
                ObjFree(lastVerbatim);
                lastVerbatim = nullptr;
                keepVerbatim(lastVerbatimStart, end);
                return;
            }
        }
    }
    if (!balanced(text.data(), text.size())) {
        lastVerbatim = nullptr;
        warn("unbalanced braces: part not kept");
        partsLost++;
        return;
    }
    ObjRecord *rec = ObjNewVerbatim(kind, text.data() + at, text.size() - at);
    rec->x = x, rec->y = -y;
    rec->thickLines = lineState.thick;
    rec->lineWidth = lineState.width;
    rec->next = topList;
    topList = rec;
    lastVerbatim = rec;
    lastVerbatimStart = start;
    lastVerbatimEnd = end;
}

// Material between items: kept when anything but the punctuation and
// blanks the scanner passes over is in it (a comment, stray text).
void keepGap(long start, long end) {
    while (start < end && punctuation((*source)[start])) start++;
    while (end > start && blank((*source)[end - 1])) end--;
    if (start < end) keepVerbatim(start, end);
}

// A plain verbatim record is drawn where the record before it is, the
// first ones where the first other record is.
void placePlainVerbatims(ObjRecord *list) {
    float x = 0, y = 0;
    for (ObjRecord *r = list; r; r = r->next)
        if (r->type != ObjVerbatim || r->part != verbatimPlain) {
            x = r->x, y = r->y;
            break;
        }
    for (ObjRecord *r = list; r; r = r->next) {
        if (r->type == ObjVerbatim && r->part == verbatimPlain)
            r->x = x, r->y = y;
        else
            x = r->x, y = r->y;
    }
}

// The closing parentheses and brackets of the last argument before end
// belong to it.
long pastClosing(long end) {
    for (long i = end; i < static_cast<long>(source->size()); i++) {
        char c = (*source)[i];
        if (c == ')' || c == ']') end = i + 1;
        else if (c != ' ' && c != '\t') break;
    }
    return end;
}

void startItem(int t) {
    keepGap(gapStart, takenStart);
    item.open = true;
    item.start = takenStart;
    item.first = t;
    item.mark = topList;
    item.warnings.clear();
    item.problems = scanProblems();
    item.unmodelled = false;
}

// Commands that make no record of their own and are kept all the same:
// what they declare goes into the records after them.
bool declaration(int t) {
    return t == tokThicklines || t == tokThinlines || t == tokLinethickness || t == tokSavebox || t == tokOpen ||
           t == tokUsebox;
}

void endItem() {
    item.open = false;
    long end = pastClosing(takenEnd);
    gapStart = end;
    bool made = topList != item.mark;
    // Kept as written: an item the model cannot hold whole, but a stray
    // "}" and a group of objects with a declaration the model has no
    // place for (fig2dev's \color around each object), whose objects stay
    // editable and whose declaration is counted as not kept; and an item
    // whose braces do not balance cannot be kept either.
    bool modelled = !item.lossy() && (made || declaration(item.first));
    bool verbatim = !modelled && item.first != tokClose && !(item.first == tokOpen && made);
    tellItemWarnings(verbatim && balanced(source->data() + item.start, static_cast<size_t>(end - item.start)));
    if (modelled) return;
    if (item.first == tokClose) {
        warn("unmatched } left out");
        return;
    }
    if (!verbatim) {
        partsLost++;
        return;
    }
    while (topList != item.mark) {  // what the model read of it goes
        ObjRecord *r = topList;
        topList = r->next;
        ObjFree(r);
    }
    keepVerbatim(item.start, end);
}

void resetReader() {
    item.open = false;
    item.warnings.clear();
    lastVerbatim = nullptr;
    partsLost = 0;
    gapStart = 0;
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

std::string warningSummary(const std::vector<std::string> &warnings, size_t shown) {
    if (warnings.empty()) return std::string();
    std::string text = warnings.size() == 1 ? std::string("1 warning while loading:")
                                            : std::to_string(warnings.size()) + " warnings while loading:";
    for (size_t i = 0; i < warnings.size() && i < shown; i++) text += "\n" + warnings[i];
    if (warnings.size() > shown) text += "\n...";
    return text;
}

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

namespace {

// Reads the picture of the text, up to its \end{picture}.
Picture readSource(std::string &text) {
    bool failed = false;
    FILE *memory = text.empty() ? fopen("/dev/null", "r") : fmemopen(&text[0], text.size(), "r");
    if (!memory) {
        Picture none;
        none.readFailed = true;
        return none;
    }
    Picture picture;
    source = &text;
    warningList = &picture.warnings;
    startScan(memory);
    resetReader();
    bool inBody = false;
    int t = next();
    while (t != tokEnd && t != tokEndPicture) {
        pendingFlags = posCentred;
        bool starts = inBody && frames.empty() && !item.open;
        if (starts) startItem(t);
        size_t warned = picture.warnings.size();
        handle(t);
        if (t == tokBeginPicture && !inBody) {
            inBody = true;
            // Where a broken header ends is not known, so the picture
            // cannot be put back between the parts of its file.
            if (picture.warnings.size() > warned) picture.problem = "The \\begin{picture} line is broken";
            // Records a broken saved box left before the picture are no
            // part of it; the file keeps them as written.
            while (!frames.empty()) closeFrame();
            ObjFreeList(topList);
            topList = nullptr;
            target = &topList;
            gapStart = pastClosing(takenEnd);
            picture.headerEnd = static_cast<size_t>(gapStart);
        } else if (item.open && frames.empty()) {
            endItem();
        }
        t = next();
    }
    if (t == tokEnd) warn("unexpected end of file");
    if (item.open) {
        // Its braces never closed: what was read of it stays modelled.
        if (item.lossy()) picture.partsLost++;
        item.open = false;
        tellItemWarnings(false);
    } else if (inBody) {
        keepGap(gapStart, takenStart);
    }
    // Groups the file left open end here: nothing read is lost.
    while (!frames.empty()) closeFrame();
    picture.objects = reverseList(topList);
    placePlainVerbatims(picture.objects);
    picture.readFailed = failed || scanReadFailed();
    picture.partsLost += partsLost;
    resetReader();
    fclose(memory);
    source = nullptr;
    warningList = nullptr;
    return picture;
}

// A \unitlength setting that ends where the picture begins, but for
// blanks, \relax and a "%": the one that belongs to it.
void findUnitSetting(const std::string &text, size_t begin, Picture *picture) {
    size_t from = begin > 400 ? begin - 400 : 0;
    std::string before = text.substr(from, begin - from);
    static const std::regex setting(
        "(\\\\setlength\\s*(\\{\\s*\\\\unitlength\\s*\\}|\\\\unitlength)\\s*\\{[^{}]*\\}"
        "|\\\\unitlength\\s*=?\\s*[-+]?[0-9]*\\.?[0-9]*\\s*[a-zA-Z]{2})"
        "(\\s*\\\\relax)?\\s*%?\\s*$");
    std::smatch m;
    if (!std::regex_search(before, m, setting)) return;
    picture->unitBegin = from + static_cast<size_t>(m.position(0));
    picture->unitEnd = picture->unitBegin + static_cast<size_t>(m.length(1));
}

// True when the text holds a "#" outside comments: a macro's parameter.
bool holdsParameter(const std::string &text) {
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\\') i++;
        else if (text[i] == '%') while (i < text.size() && text[i] != '\n') i++;
        else if (text[i] == '#') return true;
    }
    return false;
}

const char ownHeader[] = "{% Picture saved by vexilo";

// Picture number k (from 0) of the spans: the text before it with the
// pictures before it blanked out (their lines stay, so line numbers and
// offsets are those of the file), and the picture itself.
Picture readSpan(const std::string &whole, const std::vector<PictureSpan> &spans, size_t k) {
    std::string input = whole.substr(0, spans[k].end);
    for (size_t j = 0; j < k; j++)
        for (size_t i = spans[j].begin; i < spans[j].end; i++)
            if (input[i] != '\n') input[i] = ' ';
    Picture picture = readSource(input);
    picture.index = static_cast<int>(k) + 1;
    picture.count = static_cast<int>(spans.size());
    picture.begin = spans[k].begin;
    picture.end = spans[k].end;
    findUnitSetting(whole, spans[k].begin, &picture);
    std::string env = whole.substr(spans[k].begin, spans[k].end - spans[k].begin);
    picture.ownForm = whole.compare(0, sizeof ownHeader - 1, ownHeader) == 0 && spans.size() == 1;
    if (!spans[k].closed) {
        picture.warnings.push_back("\\begin{picture} without \\end{picture}: the picture runs to the end of the file");
    } else if (holdsParameter(env)) {
        picture.problem = "The picture is part of a macro definition";
        picture.soundAlone = false;  // its parameters mean nothing outside it
    } else if (!balanced(env.data(), env.size())) {
        picture.problem = "The braces of the picture do not balance";
    }
    if (!picture.problem.empty()) picture.warnings.push_back(picture.problem + "; it cannot be saved in its file");
    return picture;
}

}  // namespace

std::vector<PictureSpan> findPictures(const std::string &text) {
    std::vector<PictureSpan> spans;
    static const char beginName[] = "\\begin{picture}", endName[] = "\\end{picture}";
    const size_t beginLength = sizeof beginName - 1, endLength = sizeof endName - 1;
    bool inside = false;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (c == '%') {
            while (i < text.size() && text[i] != '\n') i++;
        } else if (c == '\\') {
            if (!inside && text.compare(i, beginLength, beginName) == 0) {
                inside = true;
                start = i;
                i += beginLength - 1;
            } else if (inside && text.compare(i, endLength, endName) == 0) {
                inside = false;
                spans.push_back({start, i + endLength, true});
                i += endLength - 1;
            } else {
                i++;  // an escaped character, \% among them
            }
        }
    }
    if (inside) spans.push_back({start, text.size(), false});
    return spans;
}

Picture readPictureText(const std::string &whole, int which) {
    std::vector<PictureSpan> spans = findPictures(whole);
    if (spans.empty()) {
        std::string text = whole;
        Picture picture = readSource(text);
        picture.text = whole;
        // Objects read where no picture environment was found: where they
        // stand in the file is not known.
        if (picture.objects) {
            picture.problem = "The picture's place in the file is not known";
            picture.warnings.push_back(picture.problem + "; it cannot be saved in its file");
        }
        return picture;
    }
    size_t k = 0;
    if (which > 0) {
        k = static_cast<size_t>(which) <= spans.size() ? static_cast<size_t>(which) - 1 : spans.size() - 1;
    } else {
        // The first picture that holds objects; the others are not told of.
        quiet = true;
        for (k = 0; k + 1 < spans.size(); k++) {
            Picture trial = readSpan(whole, spans, k);
            bool holds = trial.objects != nullptr;
            ObjFreeList(trial.objects);
            if (holds) break;
        }
        quiet = false;
    }
    Picture picture = readSpan(whole, spans, k);
    picture.text = whole;
    return picture;
}

std::vector<PictureEntry> listPictures(const std::string &text) {
    std::vector<PictureEntry> entries;
    std::vector<PictureSpan> spans = findPictures(text);
    // A \unitlength the file sets would become current: the current one
    // is put back.
    float value = unitValue, pt = unitPt, pixels = pixelsPerUnit;
    int index = unitIndex;
    quiet = true;
    for (size_t k = 0; k < spans.size(); k++) {
        Picture picture = readSpan(text, spans, k);
        int objects = 0;
        for (ObjRecord *r = picture.objects; r; r = r->next) objects++;
        ObjFreeList(picture.objects);
        int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + spans[k].begin, '\n'));
        entries.push_back({line, objects});
    }
    quiet = false;
    unitValue = value, unitIndex = index, unitPt = pt, pixelsPerUnit = pixels;
    return entries;
}

namespace {

// Where a picture goes into a file that holds none: before its last
// \end{document} outside comments, else at its end.
size_t placeForPicture(const std::string &text) {
    static const char endName[] = "\\end{document}";
    size_t place = text.size();
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '%') {
            while (i < text.size() && text[i] != '\n') i++;
        } else if (text[i] == '\\') {
            if (text.compare(i, sizeof endName - 1, endName) == 0) place = i;
            i++;
        }
    }
    return place;
}

// The text before an added picture ends with an empty line, so the
// picture is a paragraph of its own.
std::string endParagraph(const std::string &text) {
    size_t n = text.size();
    if (n == 0 || (n >= 2 && text[n - 1] == '\n' && text[n - 2] == '\n')) return text;
    return text + (text[n - 1] == '\n' ? "\n" : "\n\n");
}

bool blankText(const std::string &text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return blank(c); });
}

}  // namespace

bool surroundingsOf(const Picture &p, InPlace *place) {
    if (!p.problem.empty() || p.ownForm) return false;
    place->originX = place->originY = 0;
    if (p.count == 0) {
        // A file without a picture keeps all its text; a blank one is
        // written in the editor's own form.
        if (blankText(p.text)) return false;
        size_t at = placeForPicture(p.text);
        place->added = true;
        place->before = endParagraph(p.text.substr(0, at));
        place->unitNext = false;
        place->between.clear();
        place->header.clear();
        place->after = p.text.substr(at);
        return true;
    }
    place->added = false;
    bool unitNext = p.unitEnd > p.unitBegin;
    size_t cut = unitNext ? p.unitBegin : p.begin;
    place->before = p.text.substr(0, cut);
    place->unitNext = unitNext;
    place->between = unitNext ? p.text.substr(p.unitEnd, p.begin - p.unitEnd) : std::string();
    place->unitSetting = unitNext ? p.text.substr(p.unitBegin, p.unitEnd - p.unitBegin) : std::string();
    place->unitValue = unitValue;
    place->unitIndex = unitIndex;
    place->header = p.text.substr(p.begin, p.headerEnd > p.begin ? p.headerEnd - p.begin : 0);
    place->after = p.end < p.text.size() ? p.text.substr(p.end) : std::string();
    return true;
}

bool readText(FILE *file, std::string *text) {
    char block[65536];
    size_t n;
    while ((n = fread(block, 1, sizeof block, file)) > 0) text->append(block, n);
    return ferror(file) == 0;
}

Picture readPicture(FILE *file, int which) {
    // The whole source is kept, so that what cannot be modelled is kept
    // as written and the file around the picture can be written back.
    std::string text;
    bool failed = !readText(file, &text);
    Picture picture = readPictureText(text, which);
    picture.readFailed = picture.readFailed || failed;
    return picture;
}
