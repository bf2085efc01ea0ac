#include "shell/LabelBitmaps.h"

#include <X11/StringDefs.h>
#include <X11/Xatom.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// UTF-8 to two-byte characters; false on anything else or beyond 16 bits.
bool decode(const char *text, std::vector<XChar2b> *out) {
    for (const unsigned char *s = reinterpret_cast<const unsigned char *>(text); *s;) {
        unsigned c = *s++;
        int more = c < 0x80 ? 0 : (c & 0xe0) == 0xc0 ? 1 : (c & 0xf0) == 0xe0 ? 2 : -1;
        if (more < 0) return false;
        if (more) c &= 0x3f >> more;
        for (; more > 0; more--, s++) {
            if ((*s & 0xc0) != 0x80) return false;
            c = c << 6 | (*s & 0x3f);
        }
        out->push_back(XChar2b{static_cast<unsigned char>(c >> 8), static_cast<unsigned char>(c & 0xff)});
    }
    return true;
}

bool hasGlyph(const XFontStruct *f, XChar2b c) {
    if (c.byte1 < f->min_byte1 || c.byte1 > f->max_byte1 || c.byte2 < f->min_char_or_byte2 ||
        c.byte2 > f->max_char_or_byte2)
        return false;
    if (!f->per_char) return true;
    unsigned cols = f->max_char_or_byte2 - f->min_char_or_byte2 + 1;
    const XCharStruct &g = f->per_char[(c.byte1 - f->min_byte1) * cols + c.byte2 - f->min_char_or_byte2];
    return g.width || g.lbearing || g.rbearing || g.ascent || g.descent;
}

// The font's name with its character set replaced: "" when it has no
// full XLFD name (fourteen hyphens, the registry after the thirteenth).
std::string unicodeVariant(Display *d, XFontStruct *font) {
    unsigned long atom;
    if (!XGetFontProperty(font, XA_FONT, &atom)) return "";
    char *name = XGetAtomName(d, atom);
    std::string s = name ? name : "";
    XFree(name);
    if (std::count(s.begin(), s.end(), '-') != 14) return "";
    size_t at = 0;
    for (int i = 0; i < 13; i++) at = s.find('-', at) + 1;
    return s.substr(0, at) + "iso10646-1";
}

}  // namespace

bool makeLabelBitmaps(Widget button, const char *const *labels, int count, Pixmap *bitmaps) {
    Display *d = XtDisplay(button);
    XFontStruct *own = nullptr;
    XtVaGetValues(button, XtNfont, &own, nullptr);
    if (!own) return false;
    std::string name = unicodeVariant(d, own);
    XFontStruct *font = name.empty() ? nullptr : XLoadQueryFont(d, name.c_str());
    if (!font) return false;
    std::vector<std::vector<XChar2b>> texts(count);
    int width = 1;
    bool ok = true;
    for (int i = 0; i < count && ok; i++) {
        ok = decode(labels[i], &texts[i]) &&
             std::all_of(texts[i].begin(), texts[i].end(), [&](XChar2b c) { return hasGlyph(font, c); });
        if (ok) width = std::max(width, XTextWidth16(font, texts[i].data(), static_cast<int>(texts[i].size())));
    }
    if (ok) {
        // The height and baseline of the button's own font, so the text
        // stands where the font would draw it.
        int height = std::max(1, own->max_bounds.ascent + own->max_bounds.descent);
        Window root = RootWindowOfScreen(XtScreen(button));
        for (int i = 0; i < count; i++) {
            bitmaps[i] = XCreatePixmap(d, root, width, height, 1);
            GC gc = XCreateGC(d, bitmaps[i], 0, nullptr);
            XSetForeground(d, gc, 0);
            XFillRectangle(d, bitmaps[i], gc, 0, 0, width, height);
            XSetForeground(d, gc, 1);
            XSetFont(d, gc, font->fid);
            XDrawString16(d, bitmaps[i], gc, 0, own->max_bounds.ascent, texts[i].data(),
                          static_cast<int>(texts[i].size()));
            XFreeGC(d, gc);
        }
    }
    XFreeFont(d, font);
    return ok;
}
