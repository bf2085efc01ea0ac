#include "picfile/Writer.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "objects/Extent.h"
#include "objects/History.h"
#include "objects/Scale.h"
#include "picfile/Units.h"
#include "picfile/Version.h"


// ---------------------------------------------------------------------
// Numbers. printf's "%f" follows LC_NUMERIC and is slow; picture files
// need "." and are written a few numbers per object, so the common case
// is formatted here and only what this cannot do exactly goes to printf,
// under the C locale.

static const double powersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

static locale_t cNumeric() {
    static locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

static char *formatWithPrintf(char *out, double v, int decimals) {
    locale_t cLocale = cNumeric();
    locale_t old = cLocale ? uselocale(cLocale) : nullptr;
    int n = snprintf(out, 330, "%.*f", decimals, v);
    if (old) uselocale(old);
    if (n < 0) n = 0;
    if (n > 329) n = 329;
    if (!cLocale) {  // no C locale to be had: mend the decimal point by hand
        for (int i = 0; i < n; i++)
            if (out[i] == ',') out[i] = '.';
    }
    return out + n;
}

char *formatFixed(char *out, double v, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    double scale = powersOfTen[decimals];
    double s = v * scale;
    // Beyond 2^52 the scaled value has no half-units left to round with.
    if (!(std::fabs(s) < 4503599627370496.0)) return formatWithPrintf(out, v, decimals);
    // Round the exact v * scale to the nearest whole number, ties to even,
    // as printf does; s may itself be rounded, which matters only when it
    // lands exactly halfway, and then the product's error decides.
    double r = std::nearbyint(s);
    double half = s - r;
    if (half == 0.5 || half == -0.5) {
        double err = std::fma(v, scale, -s);
        if (half == 0.5 && err > 0) r += 1;
        if (half == -0.5 && err < 0) r -= 1;
    }
    if (std::signbit(v)) *out++ = '-';
    uint64_t units = static_cast<uint64_t>(std::fabs(r));
    uint64_t scaleInt = static_cast<uint64_t>(scale);
    uint64_t whole = units / scaleInt, frac = units % scaleInt;
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole);
    while (n) *out++ = digits[--n];
    if (decimals) {
        *out++ = '.';
        for (int i = decimals - 1; i >= 0; i--) {
            out[i] = static_cast<char>('0' + frac % 10);
            frac /= 10;
        }
        out += decimals;
    }
    return out;
}

// The \unitlength's number: six decimals, or as many more as it takes to
// read back as the same length (a tiny unit would otherwise read as 0).
static char *formatUnitValue(char *out, float v) {
    for (int decimals = 6; decimals <= 60; decimals++) {
        char *end = decimals <= 9 ? formatFixed(out, v, decimals) : formatWithPrintf(out, v, decimals);
        *end = '\0';
        double back = cNumeric() ? strtod_l(out, nullptr, cNumeric()) : strtod(out, nullptr);
        if (static_cast<float>(back) == v || !std::isfinite(v)) return end;
    }
    return formatFixed(out, v, 6);
}

// ---------------------------------------------------------------------
// Slopes.

Slope findSlope(float x1, float y1, float x2, float y2) {
    float dx = x2 - x1, dy = y2 - y1;
    float adx = std::fabs(dx), ady = std::fabs(dy);
    Slope vertical = {0, y1 <= y2 ? 1 : -1, ady};
    if (static_cast<double>(adx) < 0.005) return vertical;
    if (static_cast<double>(ady) < 0.005) return {x1 <= x2 ? 1 : -1, 0, adx};
    // Whole a >= 0, b >= 1 with a|dy| close to b|dx|; e = a|dy| - b|dx|.
    int a = 0, b = 1, bestA = 0, bestB = 0;
    float e = -adx, bestError = adx;
    bool found = false;
    for (int round = 0; round < 50; round++) {
        if (static_cast<double>(std::fabs(e)) < 0.005) {
            bestA = a, bestB = b, found = true;
            break;
        }
        if (std::fabs(e) < bestError) {
            bestA = a, bestB = b, found = true;
            bestError = std::fabs(e);
        }
        if (e < 0) {
            e += ady;
            a++;
        } else {
            e -= adx;
            b++;
        }
    }
    // Steeper than any pair the search reaches: LaTeX draws it best as
    // the vertical it nearly is, with its true height.
    if (!found) return vertical;
    return {x1 > x2 ? -bestA : bestA, y1 > y2 ? -bestB : bestB, adx};
}

// Where \line(a,b){length} from (0,0) ends, as a reader of the file puts it.
static void slopeEnd(const Slope &s, double length, double *ex, double *ey) {
    if (s.a == 0) {
        *ex = 0;
        *ey = s.b > 0 ? length : -length;
    } else {
        *ex = s.a > 0 ? length : -length;
        *ey = length * s.b / std::abs(s.a);
    }
}

static double hundredths(double v) { return std::nearbyint(v * 100); }

// A double as a float; beyond the float range it becomes an infinity.
static float narrow(double v) {
    if (v > FLT_MAX) return HUGE_VALF;
    if (v < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(v);
}

Slope writtenSlope(float x1, float y1, float x2, float y2) {
    Slope s = findSlope(x1, y1, x2, y2);
    // The line read back from the file runs exactly along the pair, with
    // the length in hundredths; the search on that line may settle on a
    // smaller pair, which is then the one to write.
    for (int round = 0; round < 8; round++) {
        s.length = narrow(hundredths(s.length) / 100);
        double ex, ey;
        slopeEnd(s, s.length, &ex, &ey);
        Slope again = findSlope(0, 0, narrow(ex), narrow(ey));
        if (again.a == s.a && again.b == s.b) break;
        s = again;
    }
    return s;
}

// ---------------------------------------------------------------------
// Object lines.

namespace {

// Not a number is written as 0 and magnitudes are held to largestNumber:
// "nan" or "inf" would stop LaTeX, and the reader takes back every
// number written.
double fileNumber(double v) {
    if (std::isnan(v)) return 0;
    return std::fmax(-largestNumber, std::fmin(v, largestNumber));
}

// One output line, built in place and written with a single call. A
// line longer than its buffer (a long text) goes on in memory of its own.
class Line {
public:
    Line &put(const char *s) {
        size_t n = strlen(s);
        return put(s, n);
    }
    Line &put(const char *s, size_t n) {
        if (n > room()) spill();
        if (!long_.empty()) {
            long_.append(s, n);
            return *this;
        }
        memcpy(end_, s, n);
        end_ += n;
        return *this;
    }
    Line &num(double v) {  // "%.2f" of a number as a file may hold it
        char s[330];
        char *end = formatFixed(s, fileNumber(v) + 0.0, 2);  // a zero is never written "-0.00"
        return put(s, static_cast<size_t>(end - s));
    }
    Line &integer(int v) {
        char s[16];
        int n = 0;
        unsigned u = v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v);
        do {
            s[n++] = static_cast<char>('0' + u % 10);
            u /= 10;
        } while (u);
        if (v < 0) s[n++] = '-';
        char digits[16];
        for (int i = 0; i < n; i++) digits[i] = s[n - 1 - i];
        return put(digits, static_cast<size_t>(n));
    }
    Line &pair(double a, double b) {  // "(%.2f,%.2f)"
        return put("(").num(a).put(",").num(b).put(")");
    }
    Line &append(const Line &other) { return put(other.data(), other.size()); }
    bool is(const char *s) const { return size() == strlen(s) && memcmp(data(), s, size()) == 0; }
    void write(FILE *file) const { fwrite(data(), 1, size(), file); }

private:
    const char *data() const { return long_.empty() ? buf_ : long_.data(); }
    size_t size() const { return long_.empty() ? static_cast<size_t>(end_ - buf_) : long_.size(); }
    size_t room() const { return static_cast<size_t>(buf_ + sizeof buf_ - end_); }
    // Moves what the buffer holds to long_, where the line goes on.
    void spill() {
        if (long_.empty()) long_.assign(buf_, static_cast<size_t>(end_ - buf_));
    }
    char buf_[2048];
    char *end_ = buf_;
    std::string long_;
};

// "[tl]" and the like; nothing for a centred text.
void putPosition(Line &line, int flags) {
    if (flags == posCentred) return;
    char s[4];
    int n = 0;
    s[n++] = '[';
    if (flags & posTop)
        s[n++] = 't';
    else if (flags & posBottom)
        s[n++] = 'b';
    if (flags & posLeft)
        s[n++] = 'l';
    else if (flags & posRight)
        s[n++] = 'r';
    line.put(s, static_cast<size_t>(n)).put("]");
}

// The text as stored, except that unmatched braces, which would end the
// group early or swallow what follows, are left out, and a bare "%",
// which would make the rest of the line a comment, is written "\%".
void putText(Line &line, const ObjRecord *rec) {
    std::string text = ObjGetText(rec);
    balanceText(text);
    escapePercents(text);
    line.put("{").put(text.data(), text.size()).put("}");
}

// The letters of an oval's part: "[tl]" and the like; nothing for a whole oval.
void putOvalPart(Line &line, int part) {
    if (!part) return;
    line.put("[");
    if (part & ovalTop) line.put("t");
    else if (part & ovalBottom) line.put("b");
    if (part & ovalLeft) line.put("l");
    else if (part & ovalRight) line.put("r");
    line.put("]");
}

// The line thickness in force at a point of the file being written.
struct Thickness {
    int thick;
    float width;
};
Thickness written;

// The declarations that bring the thickness in force from `written` to
// the record's: \thinlines or \thicklines (each also sets its own width),
// then a \linethickness of the record's own.
void putThickness(Line &line, const ObjRecord *rec) {
    Thickness want = {rec->thickLines ? 1 : 0, rec->lineWidth > 0 ? rec->lineWidth : 0};
    if (want.thick == written.thick && want.width == written.width) return;
    if (want.thick != written.thick || want.width == 0) {
        line.put(want.thick ? "\\thicklines\n" : "\\thinlines\n");
        written = {want.thick, 0};
    }
    if (want.width != written.width) {
        char value[330];
        *formatFixed(value, want.width, 3) = '\0';
        line.put("\\linethickness{").put(value).put("pt}\n");
        written.width = want.width;
    }
}

// The object's command without its \put, for the point the record is
// written from; (*px, *py) get that point. False for a Bezier, whose
// command carries its own points and stands without a \put.
bool putCommand(Line &line, const ObjRecord *rec, float xmin, float ymax, double *px, double *py) {
    // Record point (rx, ry) is written as (rx - xmin, ymax - ry), in floats.
    auto X = [xmin](float rx) { return static_cast<double>(rx - xmin); };
    auto Y = [ymax](float ry) { return static_cast<double>(ymax - ry); };
    switch (rec->type) {
    case ObjLine:
    case ObjVector: {
        float x1 = rec->x - xmin, y1 = ymax - rec->y;
        float x2 = rec->x2 - xmin, y2 = ymax - rec->y2;
        Slope s = writtenSlope(x1, y1, x2, y2);
        *px = x1, *py = y1;
        line.put(rec->type == ObjLine ? "\\line(" : "\\vector(");
        line.integer(s.a).put(",").integer(s.b).put("){").num(s.length).put("}");
        return true;
    }
    case ObjFramedBox:
    case ObjDashedBox:
    case ObjText:
        *px = X(rec->x), *py = Y(rec->y + rec->y2);
        if (rec->type == ObjFramedBox)
            line.put("\\framebox");
        else if (rec->type == ObjDashedBox)
            line.put("\\dashbox{").num(rec->x3).put("}");
        else
            line.put("\\makebox");
        line.pair(rec->x2, rec->y2);
        putPosition(line, rec->flags);
        putText(line, rec);
        return true;
    case ObjFilledBox:
        *px = X(rec->x), *py = Y(rec->y + rec->y2);
        line.put("\\rule{").num(rec->x2).put("\\unitlength}{").num(rec->y2).put("\\unitlength}");
        return true;
    case ObjCircle:
    case ObjDisc:
        *px = X(rec->x), *py = Y(rec->y);
        line.put(rec->type == ObjCircle ? "\\circle{" : "\\circle*{").num(2.0 * rec->x2).put("}");
        return true;
    case ObjOval:
        *px = static_cast<double>(rec->x) + rec->x2 / 2.0 - xmin;
        *py = ymax - (static_cast<double>(rec->y) + rec->y2 / 2.0);
        line.put("\\oval").pair(rec->x2, rec->y2);
        putOvalPart(line, rec->part);
        return true;
    case ObjBezier:
        line.put("\\qbezier");
        if (rec->dots > 0) line.put("[").integer(rec->dots).put("]");
        line.pair(X(rec->x), Y(rec->y)).pair(X(rec->x2), Y(rec->y2)).pair(X(rec->x3), Y(rec->y3));
        return false;
    default:
        return false;
    }
}

bool knownType(const ObjRecord *rec) { return rec->type >= 0 && rec->type < objTypeCount; }

void saveMultiput(const ObjRecord *rec, FILE *file, float xmin, float ymax, bool inBody);

// The line of an object that is not a multiput: its \put and command.
void saveSimple(const ObjRecord *rec, FILE *file, float xmin, float ymax, bool inBody) {
    Line line;
    putThickness(line, rec);
    Line command;
    double px = 0, py = 0;
    bool put = putCommand(command, rec, xmin, ymax, &px, &py);
    Line point;
    if (put) point.pair(px, py);
    if (put && !(inBody && point.is("(0.00,0.00)")))
        line.put("\\put").append(point).put("{").append(command).put("}");
    else
        line.append(command);
    if (!inBody) line.put("\n");
    line.write(file);
}

// \multiput(x,y)(dx,dy){n}{body}: the body's records are written from
// the multiput's point; one at that point needs no \put of its own.
void saveMultiput(const ObjRecord *rec, FILE *file, float xmin, float ymax, bool inBody) {
    Line head;
    putThickness(head, rec);
    head.put("\\multiput").pair(static_cast<double>(rec->x - xmin), static_cast<double>(ymax - rec->y));
    head.pair(rec->x2, -static_cast<double>(rec->y2)).put("{").integer(rec->count).put("}{");
    head.write(file);
    Thickness outside = written;
    for (const ObjRecord *r = rec->body; r; r = r->next) {
        if (!knownType(r)) continue;
        if (r->type == ObjMultiput) {
            Line open;
            open.put("\\put").pair(static_cast<double>(r->x - rec->x), static_cast<double>(rec->y - r->y)).put("{");
            open.write(file);
            saveMultiput(r, file, r->x, r->y, true);
            fputs("}", file);
        } else {
            saveSimple(r, file, rec->x, rec->y, true);
        }
    }
    written = outside;  // the body's declarations end with it
    fputs(inBody ? "}" : "}\n", file);
}

// Source kept as read: after its point's \put or \multiput, or alone.
void saveVerbatim(const ObjRecord *rec, FILE *file, float xmin, float ymax) {
    Line line;
    putThickness(line, rec);
    if (rec->part == verbatimPut || rec->part == verbatimMultiput) {
        line.put(rec->part == verbatimPut ? "\\put" : "\\multiput");
        line.pair(static_cast<double>(rec->x - xmin), static_cast<double>(ymax - rec->y));
    }
    line.write(file);
    if (rec->source) fputs(rec->source, file);
    fputs("\n", file);
}

}  // namespace

void ObjSave(const ObjRecord *rec, FILE *file, float xmin, float ymax) {
    if (!knownType(rec)) {
        fprintf(stderr, "ObjSave: unknown type %d\n", rec->type);
        return;
    }
    if (rec->type == ObjMultiput)
        saveMultiput(rec, file, xmin, ymax, false);
    else if (rec->type == ObjVerbatim)
        saveVerbatim(rec, file, xmin, ymax);
    else
        saveSimple(rec, file, xmin, ymax, false);
}

// ---------------------------------------------------------------------
// The file.

namespace {

void tell(MessageSink sink, const char *text) {
    if (sink) sink(text);
}

// "Can't open file" and the like, with the file and why.
void tellFailure(MessageSink sink, const char *what, const std::string &path, const char *reason) {
    tell(sink, (std::string(what) + (path.empty() ? "" : " " + path) + ": " + reason).c_str());
}

// The file a save really replaces: symbolic links are followed, so that
// a link keeps pointing at the picture. False for a loop.
bool resolveLinks(const std::string &path, std::string *target) {
    std::string p = path;
    for (int hops = 0; hops <= 40; hops++) {
        struct stat st;
        if (lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = p;
            return true;
        }
        std::string link(static_cast<size_t>(st.st_size) + 256, '\0');
        ssize_t n = readlink(p.c_str(), &link[0], link.size());
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) {
            if (n >= 0) errno = ENAMETOOLONG;
            return false;
        }
        link.resize(static_cast<size_t>(n));
        size_t slash = p.rfind('/');
        if (link[0] != '/' && slash != std::string::npos) link = p.substr(0, slash + 1) + link;
        p = link;
    }
    errno = ELOOP;
    return false;
}

std::string directoryOf(const std::string &path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t currentUmask() {
    mode_t mask = umask(0);
    umask(mask);
    return mask;
}

void syncDirectory(const std::string &dir) {
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// What the file says of a record, in hundredths of a unit: every point
// that a line of the file fixes, measured from ref (canvas pixels, y
// downwards), and every size rounded to hundredths. A line's end is where
// the written pair and length put it. Numbers taken only from what the
// file holds come out the same when the file is read back and saved again.
void inHundredths(const ObjRecord *rec, double scale, const double ref[2], ObjRecord *h) {
    auto hx = [&](double x) { return narrow(hundredths((x - ref[0]) / scale)); };
    auto hy = [&](double y) { return narrow(hundredths((y - ref[1]) / scale)); };
    auto size = [&](double v) { return narrow(hundredths(v / scale)); };
    memcpy(h, rec, sizeof *h);
    h->next = h->body = nullptr;
    double x = rec->x, y = rec->y, w = rec->x2, ht = rec->y2;
    switch (rec->type) {
    case ObjLine:
    case ObjVector: {
        Slope s = writtenSlope(0, 0, narrow((rec->x2 - x) / scale), narrow((y - rec->y2) / scale));
        double ex, ey;
        slopeEnd(s, hundredths(s.length), &ex, &ey);
        h->x = hx(x), h->y = hy(y);
        h->x2 = narrow(h->x + ex), h->y2 = narrow(h->y - ey);
        break;
    }
    case ObjCircle:
    case ObjDisc:
        h->x = hx(x), h->y = hy(y);
        h->x2 = narrow(hundredths(2 * w / scale) / 2);
        break;
    case ObjOval:  // the centre is written
        h->x2 = size(w), h->y2 = size(ht), h->x3 = size(rec->x3);
        h->x = hx(x + w / 2) - h->x2 / 2;
        h->y = hy(y + ht / 2) - h->y2 / 2;
        break;
    case ObjBezier:
        h->x = hx(x), h->y = hy(y);
        h->x2 = hx(w), h->y2 = hy(ht);
        h->x3 = hx(rec->x3), h->y3 = hy(rec->y3);
        break;
    case ObjMultiput: {  // its point and step; its body is written from the point
        h->x = hx(x), h->y = hy(y);
        h->x2 = size(w), h->y2 = size(ht);
        double point[2] = {x, y};
        ObjRecord **tail = &h->body;
        for (const ObjRecord *r = rec->body; r; r = r->next) {
            ObjRecord *q = ObjNew(r->type);
            inHundredths(r, scale, point, q);
            ObjOwnStrings(q);  // freed with the body
            ObjMove(q, h->x, h->y);
            *tail = q;
            tail = &q->next;
        }
        break;
    }
    default:  // boxes and texts: the lower-left corner is written
        h->x2 = size(w), h->y2 = size(ht), h->x3 = size(rec->x3);
        h->x = hx(x);
        h->y = hy(y + ht) - h->y2;
        break;
    }
}

// A record in hundredths as picture units measured from (x0, y0), in place.
void inUnitsFrom(ObjRecord *r, double x0, double y0) {
    auto ux = [x0](float v) { return narrow((v - x0) / 100); };
    auto uy = [y0](float v) { return narrow((v - y0) / 100); };
    auto us = [](float v) { return narrow(v / 100.0); };
    r->x = ux(r->x), r->y = uy(r->y);
    switch (r->type) {
    case ObjLine:
    case ObjVector: r->x2 = ux(r->x2), r->y2 = uy(r->y2); break;
    case ObjBezier: r->x2 = ux(r->x2), r->y2 = uy(r->y2), r->x3 = ux(r->x3), r->y3 = uy(r->y3); break;
    case ObjMultiput:
        r->x2 = us(r->x2), r->y2 = us(r->y2);
        for (ObjRecord *b = r->body; b; b = b->next) inUnitsFrom(b, x0, y0);
        break;
    default: r->x2 = us(r->x2), r->y2 = us(r->y2), r->x3 = us(r->x3); break;
    }
}

// The points of a record that its line fixes, canvas pixels.
int anchorsOf(const ObjRecord *r, double points[3][2]) {
    switch (r->type) {
    case ObjOval:
        points[0][0] = r->x + r->x2 / 2.0, points[0][1] = r->y + r->y2 / 2.0;
        return 1;
    case ObjFramedBox:
    case ObjDashedBox:
    case ObjFilledBox:
    case ObjText:
        points[0][0] = r->x, points[0][1] = static_cast<double>(r->y) + r->y2;
        return 1;
    case ObjBezier:
        points[1][0] = r->x2, points[1][1] = r->y2;
        points[2][0] = r->x3, points[2][1] = r->y3;
        points[0][0] = r->x, points[0][1] = r->y;
        return 3;
    default:
        points[0][0] = r->x, points[0][1] = r->y;
        return 1;
    }
}

// Everything from the header to the closing line; false once a write
// has failed.
// The picture in its file: what surrounds it as it was, the picture's
// own lines in the file's frame.
bool writeInPlace(FILE *file, const InPlace &place) {
    double scale = static_cast<double>(pixelsPerUnit) * zoomFactor;
    // Measured in hundredths from the file's own origin, so that reading
    // the file back and saving it again changes no number.
    const double fileOrigin[2] = {place.originX * scale, place.originY * scale};
    fwrite(place.before.data(), 1, place.before.size(), file);
    if (place.unitNext && unitValue == place.unitValue && unitIndex == place.unitIndex) {
        fwrite(place.unitSetting.data(), 1, place.unitSetting.size(), file);
    } else if (place.unitNext) {
        char value[400];
        *formatUnitValue(value, unitValue) = '\0';
        const char *unit = unitIndex >= 0 && unitIndex < unitCount ? unitTable[unitIndex].name : "pt";
        fprintf(file, "\\setlength{\\unitlength}{%s%s}", value, unit);
    }
    fwrite(place.between.data(), 1, place.between.size(), file);
    fwrite(place.header.data(), 1, place.header.size(), file);
    fputs("\n", file);
    written = {0, 0};
    ObjRecord h;
    for (const ObjRecord *r = objectList; r; r = r->next) {
        inHundredths(r, scale, fileOrigin, &h);
        inUnitsFrom(&h, 0, 0);
        ObjSave(&h, file, 0, 0);
        ObjFreeList(h.body);
        if (ferror(file)) return false;
    }
    fputs("\\end{picture}", file);
    fwrite(place.after.data(), 1, place.after.size(), file);
    return !ferror(file);
}

// The drawing in the editor's own form: a brace group that sets
// \unitlength and holds the picture.
bool writeOwnForm(FILE *file) {
    double scale = static_cast<double>(pixelsPerUnit) * zoomFactor;
    // Every number is measured from the smallest fixed point, itself
    // fixed by the file, so reading the file back changes none of them.
    double ref[2] = {HUGE_VAL, HUGE_VAL};
    for (const ObjRecord *r = objectList; r; r = r->next) {
        double points[3][2];
        for (int i = anchorsOf(r, points) - 1; i >= 0; i--) {
            ref[0] = std::fmin(ref[0], points[i][0]);
            ref[1] = std::fmin(ref[1], points[i][1]);
        }
    }
    for (double &v : ref)
        if (!std::isfinite(v)) v = 0;
    // The box of the drawing, in whole hundredths, from the objects alone.
    ObjRecord h;
    float box[4];
    emptyBox(box);
    for (const ObjRecord *r = objectList; r; r = r->next) {
        inHundredths(r, scale, ref, &h);
        float e[4];
        ObjGetExtent(&h, e);
        widenBox(box, e);
        ObjFreeList(h.body);
    }
    if (boxIsEmpty(box)) box[0] = box[1] = box[2] = box[3] = 0;
    double x0 = std::floor(box[0]), y0 = std::floor(box[1]), x1 = std::ceil(box[2]), y1 = std::ceil(box[3]);

    char value[400];
    *formatUnitValue(value, unitValue) = '\0';
    const char *unit = unitIndex >= 0 && unitIndex < unitCount ? unitTable[unitIndex].name : "pt";
    fprintf(file, "{%% Picture saved by vexilo %s.%s\n\\unitlength=%s%s\n", versionMajor,
            versionMinor, value, unit);
    written = {0, 0};
    Line size;
    size.put("\\begin{picture}").pair((x1 - x0) / 100, (y1 - y0) / 100).put("(0.00,0.00)\n").write(file);

    for (const ObjRecord *r = objectList; r; r = r->next) {
        // In picture units from the box's top-left corner.
        inHundredths(r, scale, ref, &h);
        inUnitsFrom(&h, x0, y0);
        ObjSave(&h, file, 0, narrow((y1 - y0) / 100));
        ObjFreeList(h.body);
        if (ferror(file)) return false;  // no use writing on into a full disk
    }
    fputs("\\end{picture}}\n", file);
    return !ferror(file);
}

// The picture replaces its environment in its file, or is put between
// the parts of a file that held none.
bool writePicture(FILE *file) {
    if (inPlace && !inPlace->added) return writeInPlace(file, *inPlace);
    if (inPlace) fwrite(inPlace->before.data(), 1, inPlace->before.size(), file);
    if (!writeOwnForm(file)) return false;
    if (inPlace) fwrite(inPlace->after.data(), 1, inPlace->after.size(), file);
    return !ferror(file);
}

void tellNoBackup(MessageSink sink, const std::string &reason) {
    tell(sink, ("Saved; no backup was kept (" + reason + ")").c_str());
}

// Writes all of data at the start of fd and cuts the file after it.
bool overwrite(int fd, const std::string &data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    if (ftruncate(fd, static_cast<off_t>(data.size())) != 0) return false;
    return fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// The save of a file whose directory takes no new file: the new picture
// overwrites the old one in place, every write checked; if one fails the
// old contents are written back. No backup can be made there.
bool saveInPlace(const std::string &path, const std::string &target, MessageSink sink, const std::string &reason) {
    int fd = open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const char *why = fd >= 0 && !S_ISREG(st.st_mode) ? "Not a regular file" : strerror(errno);
        if (fd >= 0) close(fd);
        tellFailure(sink, "Can't open file", path, why);
        return false;
    }
    std::string old, fresh;
    bool readAll = true;
    char chunk[1 << 16];
    int readError = 0;
    for (ssize_t n; (n = read(fd, chunk, sizeof chunk)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            readAll = false;
            readError = errno;
            break;
        }
        old.append(chunk, static_cast<size_t>(n));
    }
    char *text = nullptr;
    size_t length = 0;
    FILE *memory = readAll ? open_memstream(&text, &length) : nullptr;
    bool made = memory && writePicture(memory);
    if (memory && fclose(memory) != 0) made = false;
    if (made) fresh.assign(text, length);
    free(text);
    // Without the old contents in hand nothing is overwritten.
    if (!readAll || !made) {
        close(fd);
        if (readAll)
            tellFailure(sink, "Can't write file", path, strerror(ENOMEM));
        else
            tellFailure(sink, "Can't open file", path, strerror(readError));
        return false;
    }
    if (!overwrite(fd, fresh)) {
        int error = errno;
        overwrite(fd, old);
        close(fd);
        tellFailure(sink, "Can't write file", path, strerror(error));
        return false;
    }
    close(fd);
    markSaved();
    tellNoBackup(sink, reason);
    return true;
}

}  // namespace

InPlace *inPlace = nullptr;

bool writeDrawing(FILE *file) { return objectList && writePicture(file); }

bool savePicture(const char *path, MessageSink sink, const char *suffix) {
    if (!objectList) {
        tell(sink, "Nothing to save");
        return false;
    }
    std::string target;
    std::string name = path ? path : "";
    if (name.empty() || !resolveLinks(name, &target) || target.back() == '/') {
        const char *why = name.empty() ? strerror(ENOENT) : target.empty() ? strerror(errno) : strerror(EISDIR);
        tellFailure(sink, "Can't open file", name, why);
        return false;
    }
    // Only a plain file is replaced, and only one the user may write.
    struct stat old;
    bool exists = stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        tellFailure(sink, "Can't open file", name, S_ISDIR(old.st_mode) ? strerror(EISDIR) : "Not a regular file");
        return false;
    }
    if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        tellFailure(sink, "Can't open file", name, strerror(errno));
        return false;
    }

    // The new picture goes to a file of its own beside the old one, so
    // that the final rename is within one file system.
    std::string dir = directoryOf(target);
    std::string temp = dir + (dir == "/" ? "" : "/") + ".vexilo-XXXXXX";
    int fd = mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0) {
        // A file the user may write in a directory he may not: written
        // where it is, as the only way left.
        int error = errno;
        std::string reason = dir + ": " + strerror(error);
        if (exists) return saveInPlace(name, target, sink, reason);
        tellFailure(sink, "Can't open file", name, strerror(error));
        return false;
    }
    if (exists) {
        // The old owner where that is allowed (root saving another user's
        // file), else at least the old group; else the file is the saver's.
        if (old.st_uid != geteuid() || old.st_gid != getegid()) {
            bool owned = fchown(fd, old.st_uid, old.st_gid) == 0 ||
                         fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
            (void)owned;
        }
        fchmod(fd, old.st_mode & 07777);  // after fchown, which may clear set-id bits
    } else {
        fchmod(fd, 0666 & ~currentUmask());
    }

    bool written = false;
    int error = 0;  // why the write failed
    FILE *file = fdopen(fd, "w");
    if (!file) {
        error = errno;
        close(fd);
    } else {
        static char buffer[1 << 16];
        setvbuf(file, buffer, _IOFBF, sizeof buffer);
        errno = 0;
        written = writePicture(file) && fflush(file) == 0;
        if (!written) error = errno;
        // A file system that cannot sync has still taken the data.
        if (written && fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) written = false, error = errno;
        if (fclose(file) != 0 && written) written = false, error = errno;
    }
    if (!written) {
        unlink(temp.c_str());
        tellFailure(sink, "Can't write file", name, strerror(error ? error : EIO));
        return false;
    }

    // A backup that cannot be made (a directory in the way, a name too
    // long) does not stop the save; the user is told.
    std::string backup = target + (suffix ? suffix : "");
    bool backedUp = false;
    std::string noBackup;
    if (exists && backup != target) {
        backedUp = rename(target.c_str(), backup.c_str()) == 0;
        if (!backedUp) noBackup = backup + ": " + strerror(errno);
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        int failed = errno;
        if (backedUp) rename(backup.c_str(), target.c_str());
        unlink(temp.c_str());
        tellFailure(sink, "Can't write file", name, strerror(failed));
        return false;
    }
    syncDirectory(dir);
    markSaved();
    if (!noBackup.empty()) tellNoBackup(sink, noBackup);
    return true;
}
