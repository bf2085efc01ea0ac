// Object records and the object list: the drawing as the editor holds it.
#ifndef VEXILO_OBJRECORD_H
#define VEXILO_OBJRECORD_H

#include <X11/Xlib.h>
#include <cstddef>
#include <cstdint>
#include <string>

// What an object record holds; the value is also the index of the
// picture command it is written as.
enum ObjType : int32_t {
    ObjLine = 0,       // \line: start, end
    ObjVector = 1,     // \vector: start, tip
    ObjFramedBox = 2,  // \framebox: opposite corners
    ObjDashedBox = 3,  // \dashbox: opposite corners
    ObjFilledBox = 4,  // \rule: opposite corners
    ObjCircle = 5,     // \circle: centre, a point on the circle
    ObjDisc = 6,       // \circle*: centre, a point on the circle
    ObjOval = 7,       // \oval: opposite corners
    ObjText = 8,       // \makebox: the reference point
    ObjBezier = 9,     // \qbezier: start, end, control point
    ObjMultiput = 10,  // \multiput: its point, the point of its last copy
    ObjVerbatim = 11   // source kept as read: its point
};

const int objTypeCount = 12;

// What a verbatim record's source is: written unchanged after the point's
// \put or \multiput, or written alone (a declaration, a comment).
enum VerbatimKind : int32_t { verbatimPlain = 0, verbatimPut = 1, verbatimMultiput = 2 };

// Text position flags of the text-bearing types.
enum PositionFlags : int32_t {
    posLeft = 0x01,
    posHCenter = 0x02,
    posRight = 0x04,
    posTop = 0x10,
    posVCenter = 0x20,
    posBottom = 0x40,
    posCentred = posHCenter | posVCenter  // 34, the default
};

// Parts of an oval, a bit set; none set is the whole oval.
enum OvalPart : int32_t { ovalTop = 0x01, ovalBottom = 0x02, ovalLeft = 0x04, ovalRight = 0x08 };

// Shadow kinds of the text-bearing box types (kept, never drawn or saved).
enum ShadowKind : int32_t { noShadow = 0, framedShadow = 1, filledShadow = 2 };

// One object of the drawing. Coordinates are canvas pixels at the current
// zoom, y downwards. Which fields a type uses:
//   line, vector:      (x,y) start, (x2,y2) end
//   framed, filled:    (x,y) top-left corner, x2 width, y2 height
//   dashed box:        as framed, x3 dash length
//   circle, disc:      (x,y) centre, x2 radius
//   oval:              as framed, x3 corner radius
//   text:              (x,y) reference point, x2 = y2 = 0
//   bezier:            (x,y) start, (x2,y2) control point, (x3,y3) end
//   multiput:          (x,y) the point of the first copy, (x2,y2) the step
//                      to the next, count copies of the body's records
//                      (which hold the first copy's place)
//   verbatim:          (x,y) its \put point (for a plain one, where its
//                      placeholder is drawn), part its VerbatimKind,
//                      source the text that follows the point
// Width and height are never negative.
//
// The fields after text hold what a file may give beyond the editor's own
// form; zero in all of them is what the editor writes by itself, so a
// record from ObjNew draws and saves as before.
//
// A record owns its body. Copy a record deeply with
//     ObjRecord *copy = ObjNew(rec->type); ObjCopy(rec, copy);
// and release it with ObjFree, which releases its body, text and source too.
struct ObjRecord {
    ObjType type;
    ObjRecord *next;  // the next older record; NULL at the end of the list
    float x, y;
    float x2, y2;
    float x3;
    union {
        float y3;       // ObjBezier
        int32_t flags;  // the text-bearing types
    };
    int32_t shadow;
    char *text;          // the text of the text-bearing types, of any length; owned (NULL: empty)
    int32_t thickLines;  // 1 when drawn under \thicklines, 0 under \thinlines
    float lineWidth;     // \linethickness in points; 0: what the lines above give
    int32_t part;        // OvalPart bits of an oval; 0 the whole oval
    int32_t dots;        // a Bezier's point count; 0 a solid curve
    int32_t count;       // copies of a multiput
    ObjRecord *body;     // a multiput's records, in file order
    char *source;        // a verbatim record's text, of any length; owned
};

// Line thickness in LaTeX's terms: \thinlines 0.4pt, \thicklines 0.8pt,
// or a \linethickness that replaces the width they give.
const float thinLinePoints = 0.4f;
const float thickLinePoints = 0.8f;
float lineWidthPoints(const ObjRecord *rec);

// The drawing, newest record first. The list owns its records.
extern ObjRecord *objectList;

// True when the drawing has changed since the last New, Load or Save.
extern bool modified;

// The points of the object being entered or dragged: at most three.
extern XPoint pointBuffer[3];

ObjRecord *ObjNew(ObjType type);
void ObjFree(ObjRecord *rec);
void ObjCopy(const ObjRecord *src, ObjRecord *dst);
void ObjStore(ObjRecord *rec, const XPoint *points);
void ObjRetrieve(const ObjRecord *rec, XPoint *points, int *count);
void ObjMove(ObjRecord *rec, float dx, float dy);
// The text of a record; "" when it has none.
const char *ObjGetText(const ObjRecord *rec);
// Gives rec a copy of text in place of its own.
void ObjSetText(ObjRecord *rec, const char *text);
// A record copied byte for byte from another gets a text and a source of
// its own, so that it can be freed apart.
void ObjOwnStrings(ObjRecord *rec);
// A verbatim record holding a copy of the n bytes of text.
ObjRecord *ObjNewVerbatim(VerbatimKind kind, const char *text, size_t n);

// Frees a list of records linked through next.
void ObjFreeList(ObjRecord *list);
// Calls fn for every record drawn: a multiput's body once per copy, moved
// to that copy's place (records handed to fn are temporary).
void forEachDrawn(const ObjRecord *rec, void (*fn)(const ObjRecord *, void *), void *data);

// List operations.
void linkObject(ObjRecord *rec);         // put rec at the head
void unlinkObject(ObjRecord *rec);       // take rec out (not freed)
void freeAllObjects();                   // ObjFree every record; empty list and history
void reverseObjects();                   // head becomes the oldest record
ObjRecord *reverseList(ObjRecord *list); // the same records linked the other way
int countObjects();

// Makes a text safe to write between braces and to read back: every brace
// that opens a group gets its closing one and the other way round, by
// dropping the unmatched ones; a backslash escapes the character after
// it, so a lone backslash at the end is dropped. In place.
void balanceText(char *text);
void balanceText(std::string &text);
// Makes every bare "%" of a text "\%", which LaTeX takes as a percent sign
// instead of the start of a comment; an escaped one stays as it is, and
// so does one with a line end after it in the text (a comment that ends
// within the text). The result is cut to fit size bytes, never between a
// backslash and what it escapes. In place.
void escapePercents(char *text, size_t size);
// The same without a limit.
void escapePercents(std::string &text);

// A coordinate as a 16-bit canvas coordinate: truncated toward zero and
// clamped to the range of a short, so far-away objects and pointer
// positions never wrap; not a number gives 0. The one such clamp.
short toCanvas(double v);

#endif
