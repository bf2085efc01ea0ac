/*
 * Directory listing and name filters of the file selector.
 */
#include "DirScan.h"

#include <X11/IntrinsicP.h>
#include <dirent.h>
#include <pwd.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>

/*
 * Prototypes
 */
static Boolean MatchElement(const char *, const char *, size_t *, char);
static Boolean IsDirectory(const char *, const char *, Boolean *);

/*
 * Implementation
 */

/*
 * Matches the element at *index (an unmarked byte, a marked '?' or a
 * marked '[' class) against ch, which is never the name's end, and
 * moves *index past the element.
 */
static Boolean
MatchElement(const char *pattern, const char *marks, size_t *index, char ch)
{
    size_t i = *index;
    char c = pattern[i];

    *index = i + 1;
    if (!marks[i] || (c != '?' && c != '['))
        return c == ch;
    if (c == '?')
        return True;

    size_t j = i + 1;
    Boolean negate = False, found = False;
    if (pattern[j] == '!' || pattern[j] == '^' || pattern[j] == '~') {
        negate = True;
        j++;
    }
    if (pattern[j] == ']') {        /* a leading ']' is a member */
        found = ch == ']';
        j++;
    }
    while (pattern[j] && pattern[j] != ']') {
        signed char lo = (signed char)pattern[j];
        if (pattern[j + 1] == '-' && pattern[j + 2] && pattern[j + 2] != ']') {
            signed char hi = (signed char)pattern[j + 2];
            if (lo <= (signed char)ch && (signed char)ch <= hi)
                found = True;
            j += 3;
        } else {
            if (lo == (signed char)ch)
                found = True;
            j++;
        }
    }
    if (!pattern[j])                /* no closing ']': a literal '[' */
        return ch == '[';
    *index = j + 1;
    return found != negate;
}

/*
 * Every element but '*' takes exactly one byte of the name, so going back
 * to the latest '*' alone finds every match that full backtracking would,
 * in time linear in the product of the lengths.
 */
Boolean
WildcardMatch(const char *pattern, const char *marks, const char *name)
{
    if (!pattern || !name)
        return False;
    if (!marks)
        return strcmp(pattern, name) == 0;

    size_t pi = 0, ni = 0;
    size_t star_pi = SIZE_MAX, star_ni = 0;
    for (;;) {
        if (pattern[pi] == '*' && marks[pi]) {
            while (pattern[pi] == '*' && marks[pi])
                pi++;
            if (!pattern[pi])
                return True;
            star_pi = pi;
            star_ni = ni;
            continue;
        }
        if (!pattern[pi]) {
            if (!name[ni])
                return True;
        } else if (name[ni]) {
            size_t next = pi;
            if (MatchElement(pattern, marks, &next, name[ni])) {
                pi = next;
                ni++;
                continue;
            }
        }
        /* The rest after a '*' is never tried against an empty remainder. */
        if (star_pi == SIZE_MAX || !name[star_ni] || !name[star_ni + 1])
            return False;
        pi = star_pi;
        ni = ++star_ni;
    }
}

char *
WildcardMarks(const char *pattern)
{
    size_t n = strlen(pattern);
    char *marks = XtMalloc(n + 1);

    for (size_t i = 0; i < n; i++)
        marks[i] = pattern[i] == '*' || pattern[i] == '?' || pattern[i] == '[';
    marks[n] = 0;
    return marks;
}

Boolean
ExpandPath(const char *text, const char *directory, char *path)
{
    std::string p;

    path[0] = '\0';
    if (text[0] == '$') {
        const char *slash = strchr(text, '/');
        std::string name(text + 1, slash ? (size_t)(slash - text - 1) : strlen(text + 1));
        const char *value = getenv(name.c_str());
        if (value) {
            p = value;
            if (slash)
                p += slash;
        }
    } else if (text[0] == '~') {
        const char *home = getenv("HOME");
        if ((text[1] == '/' || text[1] == '\0') && home) {
            p = std::string(home) + (text + 1);
        } else {
            const char *slash = strchr(text, '/');
            std::string user(text + 1, slash ? (size_t)(slash - text - 1) : strlen(text + 1));
            struct passwd *pw = getpwnam(user.c_str());
            if (pw && pw->pw_dir) {
                p = pw->pw_dir;
                if (slash)
                    p += slash;
            }
        }
    } else if (text[0] == '/') {
        p = text;
    }

    /*
     * Anything else, including a variable or home directory that expands
     * to a relative name, is taken relative to the directory.
     */
    if (p.empty() || p[0] != '/') {
        std::string rest = p.empty() ? std::string(text) : p;
        p = strcmp(directory, "/") == 0 ? std::string() : std::string(directory);
        p += '/';
        p += rest;
    }
    if (p.size() >= DirScanPathMax)
        return False;
    memcpy(path, p.c_str(), p.size() + 1);
    return True;
}

char *
NormalizePath(const char *path)
{
    size_t n = strlen(path), o = 0, i = 0;
    char *out = XtMalloc(n + 2);

    while (i < n) {
        const char *s = path + i;
        if (s[0] != '/') {
            out[o++] = s[0];
            i++;
        } else if (s[1] == '/') {
            i++;
        } else if (s[1] == '.' && s[2] == '\0') {
            break;
        } else if (s[1] == '.' && s[2] == '/') {
            i += 2;
        } else if (s[1] == '.' && s[2] == '.' && (s[3] == '\0' || s[3] == '/')) {
            while (o > 0 && out[--o] != '/')
                ;
            i += 3;
        } else {
            out[o++] = '/';
            i++;
        }
    }
    if (o == 0)
        out[o++] = '/';
    while (o > 1 && out[o - 1] == '/')
        o--;
    out[o] = '\0';
    return out;
}

/*
 * Reads the status of directory followed by name. False when it cannot be
 * read, a joined path too long for the system included.
 */
static Boolean
IsDirectory(const char *directory, const char *name, Boolean *is_directory)
{
    char path[DirScanPathMax];
    struct stat st;
    int n = snprintf(path, sizeof path, "%s%s", directory, name);

    *is_directory = False;
    if (n < 0 || (size_t)n >= sizeof path || stat(path, &st) != 0)
        return False;
    *is_directory = S_ISDIR(st.st_mode);
    return True;
}

static char *
CopyName(const char *name, Boolean slash)
{
    size_t n = strlen(name);
    char *copy = XtMalloc(n + 2);

    memcpy(copy, name, n);
    if (slash)
        copy[n++] = '/';
    copy[n] = '\0';
    return copy;
}

String *
ListDirectory(const char *directory, const char *pattern, Boolean show_dot_files,
              Boolean filter_directory_names, Cardinal *count_return)
{
    struct dirent **entries = NULL;
    int n;

    *count_return = 0;
    if (!pattern || !*pattern)
        pattern = "*";
    n = scandir(directory, &entries, NULL, alphasort);
    if (n <= 0) {
        if (n == 0)
            free(entries);
        return NULL;
    }

    char *marks = WildcardMarks(pattern);
    String *items = (String *)XtMalloc((Cardinal)((size_t)(n + 1) * sizeof(String)));
    Cardinal count = 0;
    for (int i = 0; i < n; i++) {
        const char *name = entries[i]->d_name;
        Boolean is_directory;

        if (!show_dot_files && name[0] == '.' && strcmp(name, ".") != 0 && strcmp(name, "..") != 0) {
            /* hidden: no stat */
        } else if (WildcardMatch(pattern, marks, name)) {
            /* A name that vanished since scandir is listed as a plain file. */
            IsDirectory(directory, name, &is_directory);
            items[count++] = CopyName(name, is_directory);
        } else if (!filter_directory_names) {
            if (IsDirectory(directory, name, &is_directory) && is_directory)
                items[count++] = CopyName(name, True);
        }
        free(entries[i]);
    }
    free(entries);
    XtFree(marks);
    items[count] = NULL;
    *count_return = count;
    return items;
}

void
FreeDirectoryList(String *items)
{
    if (!items)
        return;
    for (String *p = items; *p; p++)
        XtFree((char *)*p);
    XtFree((char *)items);
}
