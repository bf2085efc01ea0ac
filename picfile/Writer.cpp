#include "picfile/Writer.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

static char *formatWithPrintf(char *out, double v, int decimals) {
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
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

// One output line, built in place and written with a single call.
class Line {
public:
    Line &put(const char *s) {
        size_t n = strlen(s);
        return put(s, n);
    }
    Line &put(const char *s, size_t n) {
        if (n > room()) n = room();
        memcpy(end_, s, n);
        end_ += n;
        return *this;
    }
    Line &num(double v) {  // "%.2f" of a number as a file may hold it
        if (room() < 330) return *this;
        end_ = formatFixed(end_, fileNumber(v), 2);
        return *this;
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
        while (n && room()) *end_++ = s[--n];
        return *this;
    }
    Line &pair(double a, double b) {  // "(%.2f,%.2f)"
        return put("(").num(a).put(",").num(b).put(")");
    }
    Line &append(const Line &other) { return put(other.buf_, static_cast<size_t>(other.end_ - other.buf_)); }
    bool is(const char *s) const {
        return static_cast<size_t>(end_ - buf_) == strlen(s) && memcmp(buf_, s, strlen(s)) == 0;
    }
    void write(FILE *file) const { fwrite(buf_, 1, static_cast<size_t>(end_ - buf_), file); }

private:
    size_t room() const { return static_cast<size_t>(buf_ + sizeof buf_ - end_); }
    char buf_[2048];
    char *end_ = buf_;
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
// group early or swallow what follows, are left out.
void putText(Line &line, const ObjRecord *rec) {
    char text[objTextSize];
    size_t n = strnlen(rec->text, objTextSize - 1);
    memcpy(text, rec->text, n);
    text[n] = '\0';
    balanceText(text);
    line.put("{").put(text, strlen(text)).put("}");
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
        Slope s = findSlope(x1, y1, x2, y2);
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

}  // namespace

void ObjSave(const ObjRecord *rec, FILE *file, float xmin, float ymax) {
    if (!knownType(rec)) {
        fprintf(stderr, "ObjSave: unknown type %d\n", rec->type);
        return;
    }
    if (rec->type == ObjMultiput)
        saveMultiput(rec, file, xmin, ymax, false);
    else
        saveSimple(rec, file, xmin, ymax, false);
}

// ---------------------------------------------------------------------
// The file.

namespace {

void tell(MessageSink sink, const char *text) {
    if (sink) sink(text);
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
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) return false;
        link.resize(static_cast<size_t>(n));
        size_t slash = p.rfind('/');
        if (link[0] != '/' && slash != std::string::npos) link = p.substr(0, slash + 1) + link;
        p = link;
    }
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

// The record in picture units (y still downwards), in *copy. A
// multiput's body is copied too, into records the caller frees with
// ObjFreeList(copy->body).
void inPictureUnits(const ObjRecord *rec, float factor, ObjRecord *copy) {
    memcpy(copy, rec, sizeof *copy);
    if (rec->type == ObjMultiput) {
        copy->body = nullptr;
        ObjCopy(rec, copy);
    }
    ObjRescale(copy, factor);
}

// Everything from the header to the closing line; false once a write
// has failed.
bool writePicture(FILE *file) {
    float factor = 1.0f / (pixelsPerUnit * zoomFactor);
    ObjRecord copy;
    float xmin = 1000000, ymin = 1000000, xmax = -1000000, ymax = -1000000;
    for (const ObjRecord *r = objectList; r; r = r->next) {
        inPictureUnits(r, factor, &copy);
        float e[4];
        ObjGetExtent(&copy, e);
        ObjFreeList(copy.body);
        if (e[0] < xmin) xmin = e[0];
        if (e[1] < ymin) ymin = e[1];
        if (e[2] > xmax) xmax = e[2];
        if (e[3] > ymax) ymax = e[3];
    }

    char value[330];
    *formatFixed(value, unitValue, 6) = '\0';
    const char *unit = unitIndex >= 0 && unitIndex < unitCount ? unitTable[unitIndex].name : "pt";
    fprintf(file, "{%% Picture saved by vexilo %s.%s\n\\unitlength=%s%s\n", versionMajor,
            versionMinor, value, unit);
    written = {0, 0};
    Line size;
    size.put("\\begin{picture}").pair(xmax - xmin, ymax - ymin).put("(0.00,0.00)\n").write(file);

    for (const ObjRecord *r = objectList; r; r = r->next) {
        inPictureUnits(r, factor, &copy);
        ObjSave(&copy, file, xmin, ymax);
        ObjFreeList(copy.body);
        if (ferror(file)) return false;  // no use writing on into a full disk
    }
    fputs("\\end{picture}}\n", file);
    return !ferror(file);
}

}  // namespace

bool writeDrawing(FILE *file) { return objectList && writePicture(file); }

bool savePicture(const char *path, MessageSink sink, const char *suffix) {
    if (!objectList) {
        tell(sink, "Nothing to save");
        return false;
    }
    std::string target;
    if (!path || !*path || !resolveLinks(path, &target) || target.back() == '/') {
        tell(sink, "Can't open file");
        return false;
    }
    // Only a plain file is replaced, and only one the user may write.
    struct stat old;
    bool exists = stat(target.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)) {
        tell(sink, "Can't open file");
        return false;
    }

    // The new picture goes to a file of its own beside the old one, so
    // that the final rename is within one file system.
    std::string dir = directoryOf(target);
    std::string temp = dir + (dir == "/" ? "" : "/") + ".vexilo-XXXXXX";
    int fd = mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0) {
        tell(sink, "Can't open file");
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
    FILE *file = fdopen(fd, "w");
    if (!file) {
        close(fd);
    } else {
        static char buffer[1 << 16];
        setvbuf(file, buffer, _IOFBF, sizeof buffer);
        written = writePicture(file) && fflush(file) == 0;
        // A file system that cannot sync has still taken the data.
        if (written && fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) written = false;
        if (fclose(file) != 0) written = false;
    }
    if (!written) {
        unlink(temp.c_str());
        tell(sink, "Can't write file");
        return false;
    }

    std::string backup = target + (suffix ? suffix : "");
    if (exists && backup != target && rename(target.c_str(), backup.c_str()) != 0) {
        // No backup, no replacing: the old contents would be lost.
        unlink(temp.c_str());
        tell(sink, "Can't write file");
        return false;
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        if (exists && backup != target) rename(backup.c_str(), target.c_str());
        unlink(temp.c_str());
        tell(sink, "Can't write file");
        return false;
    }
    syncDirectory(dir);
    markSaved();
    return true;
}
