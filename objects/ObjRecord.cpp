#include "objects/ObjRecord.h"

#include <X11/Intrinsic.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "objects/Constrain.h"
#include "objects/History.h"
#include "objects/Scale.h"

ObjRecord *objectList = nullptr;
bool modified = false;
XPoint pointBuffer[3];

short toCanvas(double v) {
    if (!(v > SHRT_MIN)) return std::isnan(v) ? 0 : SHRT_MIN;
    if (!(v < SHRT_MAX)) return SHRT_MAX;
    return static_cast<short>(v);
}

static void unknownType(const char *operation, int type) {
    fprintf(stderr, "%s: Unknown type %d\n", operation, type);
    exit(1);
}

ObjRecord *ObjNew(ObjType type) {
    ObjRecord *rec = reinterpret_cast<ObjRecord *>(XtMalloc(sizeof(ObjRecord)));
    memset(rec, 0, sizeof *rec);
    rec->type = type;
    return rec;
}

void ObjFree(ObjRecord *rec) {
    if (!rec) return;
    ObjFreeList(rec->body);
    XtFree(rec->source);
    XtFree(rec->text);
    XtFree(reinterpret_cast<char *>(rec));
}

static char *copyText(const char *text, size_t n) {
    char *copy = XtMalloc(static_cast<Cardinal>(n + 1));
    memcpy(copy, text, n);
    copy[n] = '\0';
    return copy;
}

const char *ObjGetText(const ObjRecord *rec) { return rec->text ? rec->text : ""; }

void ObjSetText(ObjRecord *rec, const char *text) {
    char *copy = copyText(text, strlen(text));
    XtFree(rec->text);
    rec->text = copy;
}

void ObjOwnStrings(ObjRecord *rec) {
    if (rec->text) rec->text = copyText(rec->text, strlen(rec->text));
    if (rec->source) rec->source = copyText(rec->source, strlen(rec->source));
}

ObjRecord *ObjNewVerbatim(VerbatimKind kind, const char *text, size_t n) {
    ObjRecord *rec = ObjNew(ObjVerbatim);
    rec->part = kind;
    rec->source = copyText(text, n);
    return rec;
}

void ObjFreeList(ObjRecord *list) {
    while (list) {
        ObjRecord *next = list->next;
        ObjFree(list);
        list = next;
    }
}

// A copy of every record of a list, in the same order.
static ObjRecord *copyList(const ObjRecord *list) {
    ObjRecord *head = nullptr, **tail = &head;
    for (const ObjRecord *r = list; r; r = r->next) {
        ObjRecord *copy = ObjNew(r->type);
        ObjCopy(r, copy);
        *tail = copy;
        tail = &copy->next;
    }
    return head;
}

void ObjCopy(const ObjRecord *src, ObjRecord *dst) {
    if (src == dst) return;
    ObjRecord *next = dst->next;
    ObjFreeList(dst->body);
    XtFree(dst->source);
    XtFree(dst->text);
    *dst = *src;
    dst->next = next;
    dst->body = copyList(src->body);
    ObjOwnStrings(dst);
}

float lineWidthPoints(const ObjRecord *rec) {
    if (rec->lineWidth > 0) return rec->lineWidth;
    return rec->thickLines ? thickLinePoints : thinLinePoints;
}

// The records drawn for rec, moved by (dx, dy).
static void drawnAt(const ObjRecord *rec, float dx, float dy, void (*fn)(const ObjRecord *, void *), void *data) {
    if (rec->type == ObjMultiput) {
        for (int i = 0; i < rec->count; i++)
            for (const ObjRecord *r = rec->body; r; r = r->next) drawnAt(r, dx + i * rec->x2, dy + i * rec->y2, fn, data);
    } else if (dx == 0 && dy == 0) {
        fn(rec, data);
    } else {
        ObjRecord copy;
        memcpy(&copy, rec, sizeof copy);  // no body to share: not a multiput
        ObjMove(&copy, dx, dy);
        fn(&copy, data);
    }
}

void forEachDrawn(const ObjRecord *rec, void (*fn)(const ObjRecord *, void *), void *data) {
    drawnAt(rec, 0, 0, fn, data);
}

// The smaller corner and the size of the box spanned by two points.
static void storeBox(ObjRecord *rec, const XPoint *p) {
    rec->x = std::min(p[0].x, p[1].x);
    rec->y = std::min(p[0].y, p[1].y);
    rec->x2 = std::abs(p[1].x - p[0].x);
    rec->y2 = std::abs(p[1].y - p[0].y);
}

void ObjStore(ObjRecord *rec, const XPoint *p) {
    switch (rec->type) {
    case ObjLine:
    case ObjVector:
        rec->x = p[0].x;
        rec->y = p[0].y;
        rec->x2 = p[1].x;
        rec->y2 = p[1].y;
        break;
    case ObjFramedBox:
    case ObjFilledBox:
        storeBox(rec, p);
        break;
    case ObjDashedBox:
        storeBox(rec, p);
        rec->x3 = 5.0f;
        break;
    case ObjOval: {
        storeBox(rec, p);
        int m = static_cast<int>(std::min(rec->x2, rec->y2));
        int g = unlimitedDiameters ? 2 * (m / 2) : ovalCornerDiameter(m, zoomFactor);
        rec->x3 = static_cast<float>((g + 1) / 2);
        break;
    }
    case ObjCircle:
    case ObjDisc:
        rec->x = p[0].x;
        rec->y = p[0].y;
        rec->x2 = std::abs(p[1].x - p[0].x);
        break;
    case ObjText:
        rec->x = p[0].x;
        rec->y = p[0].y;
        rec->x2 = rec->y2 = 0;
        break;
    case ObjVerbatim:
        rec->x = p[0].x;
        rec->y = p[0].y;
        break;
    case ObjBezier:
        rec->x = p[0].x;
        rec->y = p[0].y;
        rec->x3 = p[1].x;
        rec->y3 = p[1].y;
        rec->x2 = p[2].x;
        rec->y2 = p[2].y;
        break;
    case ObjMultiput: {
        // The first point moves the whole; the second, the last copy's
        // point, sets the step. Unchanged whole-pixel points keep the
        // fractions the record had.
        XPoint old[3];
        int n;
        ObjRetrieve(rec, old, &n);
        bool sameStep = p[1].x - p[0].x == old[1].x - old[0].x && p[1].y - p[0].y == old[1].y - old[0].y;
        ObjMove(rec, static_cast<float>(p[0].x - old[0].x), static_cast<float>(p[0].y - old[0].y));
        if (!sameStep && rec->count > 1) {
            rec->x2 = static_cast<float>(p[1].x - p[0].x) / (rec->count - 1);
            rec->y2 = static_cast<float>(p[1].y - p[0].y) / (rec->count - 1);
        }
        break;
    }
    default:
        unknownType("ObjStore", rec->type);
    }
}

void ObjRetrieve(const ObjRecord *rec, XPoint *p, int *count) {
    p[0].x = toCanvas(rec->x);
    p[0].y = toCanvas(rec->y);
    switch (rec->type) {
    case ObjLine:
    case ObjVector:
        p[1].x = toCanvas(rec->x2);
        p[1].y = toCanvas(rec->y2);
        *count = 2;
        break;
    case ObjFramedBox:
    case ObjDashedBox:
    case ObjFilledBox:
    case ObjOval:
        p[1].x = toCanvas(rec->x + rec->x2);
        p[1].y = toCanvas(rec->y + rec->y2);
        *count = 2;
        break;
    case ObjCircle:
    case ObjDisc:
        p[1].x = toCanvas(rec->x + rec->x2);
        p[1].y = toCanvas(rec->y);
        *count = 2;
        break;
    case ObjText:
    case ObjVerbatim:
        *count = 1;
        break;
    case ObjBezier:
        p[1].x = toCanvas(rec->x3);
        p[1].y = toCanvas(rec->y3);
        p[2].x = toCanvas(rec->x2);
        p[2].y = toCanvas(rec->y2);
        *count = 3;
        break;
    case ObjMultiput: {
        float last = static_cast<float>(rec->count > 1 ? rec->count - 1 : 0);
        p[1].x = toCanvas(rec->x + last * rec->x2);
        p[1].y = toCanvas(rec->y + last * rec->y2);
        *count = 2;
        break;
    }
    default:
        unknownType("ObjRetrieve", rec->type);
    }
}

void ObjMove(ObjRecord *rec, float dx, float dy) {
    rec->x += dx;
    rec->y += dy;
    switch (rec->type) {
    case ObjLine:
    case ObjVector:
        rec->x2 += dx;
        rec->y2 += dy;
        break;
    case ObjBezier:
        rec->x2 += dx;
        rec->x3 += dx;
        rec->y2 += dy;
        rec->y3 += dy;
        break;
    case ObjMultiput:
        for (ObjRecord *r = rec->body; r; r = r->next) ObjMove(r, dx, dy);
        break;
    default:
        break;
    }
}

void linkObject(ObjRecord *rec) {
    rec->next = objectList;
    objectList = rec;
}

void unlinkObject(ObjRecord *rec) {
    for (ObjRecord **p = &objectList; *p; p = &(*p)->next) {
        if (*p == rec) {
            *p = rec->next;
            rec->next = nullptr;
            return;
        }
    }
}

void freeAllObjects() {
    // The history points into the drawing; it goes with it.
    clearHistory();
    ObjFreeList(objectList);
    objectList = nullptr;
}

ObjRecord *reverseList(ObjRecord *list) {
    ObjRecord *reversed = nullptr;
    while (list) {
        ObjRecord *next = list->next;
        list->next = reversed;
        reversed = list;
        list = next;
    }
    return reversed;
}

void reverseObjects() { objectList = reverseList(objectList); }

int countObjects() {
    int n = 0;
    for (const ObjRecord *r = objectList; r; r = r->next) n++;
    return n;
}

// The text escaped, cut to at most limit bytes.
static std::string escaped(const char *text, size_t limit) {
    // A "%" with a line end after it in the text is a comment that ends
    // there, as files written by other programs use it; after the last
    // line end one would swallow the text's closing braces.
    const char *lastLineEnd = strrchr(text, '\n');
    size_t commentsEnd = lastLineEnd ? static_cast<size_t>(lastLineEnd - text) : 0;
    std::string out;
    for (size_t i = 0; text[i]; i++) {
        std::string piece(1, text[i]);
        if (text[i] == '%' && (!lastLineEnd || i > commentsEnd)) piece = "\\%";
        if (text[i] == '\\' && text[i + 1]) piece += text[++i];
        if (out.size() + piece.size() > limit) break;
        out += piece;
    }
    return out;
}

void escapePercents(char *text, size_t size) {
    if (size == 0) return;
    std::string out = escaped(text, size - 1);
    memcpy(text, out.c_str(), out.size() + 1);
}

void escapePercents(std::string &text) { text = escaped(text.c_str(), std::string::npos); }

void balanceText(std::string &text) {
    balanceText(&text[0]);
    text.resize(strlen(text.c_str()));
}

void balanceText(char *text) {
    size_t n = strlen(text);
    std::vector<bool> keep(n, true);
    std::vector<size_t> open;
    for (size_t i = 0; i < n; i++) {
        if (text[i] == '\\') {
            if (i + 1 < n) i++;        // an escaped character is no brace
            else keep[i] = false;      // nothing left to escape
        } else if (text[i] == '{') {
            open.push_back(i);
        } else if (text[i] == '}') {
            if (open.empty()) keep[i] = false;
            else open.pop_back();
        }
    }
    for (size_t i : open) keep[i] = false;
    size_t out = 0;
    for (size_t i = 0; i < n; i++)
        if (keep[i]) text[out++] = text[i];
    text[out] = '\0';
}
