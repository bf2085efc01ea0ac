/*
 * Directory listing and name filters of the file selector: reading a
 * directory through a wildcard filter, and turning typed text into an
 * absolute, normalised path.
 */
#ifndef _DirScan_h
#define _DirScan_h

#include <X11/Intrinsic.h>
#include <limits.h>

/*
 * Room for one path, the terminator included. Longer paths are refused
 * by the functions below, never cut short.
 */
#define DirScanPathMax PATH_MAX

/*
 * Matches name against pattern. marks holds, for each byte of pattern
 * and one more, 1 where the byte keeps its wildcard meaning ('*', '?',
 * '[') and 0 elsewhere; without marks (NULL) the two must be equal.
 */
Boolean WildcardMatch(const char *pattern, const char *marks, const char *name);

/*
 * Marks every '*', '?' and '[' of pattern as active. The result is
 * XtMalloc'ed, strlen(pattern) + 1 bytes.
 */
char *WildcardMarks(const char *pattern);

/*
 * Expands "$VAR/...", "~/...", "~user/..." and relative names against
 * directory (absolute, ending in '/') into path, which holds
 * DirScanPathMax bytes. An unset variable or unknown user leaves the text
 * a relative name. Returns False, with path empty, when the result would
 * not fit.
 */
Boolean ExpandPath(const char *text, const char *directory, char *path);

/*
 * Removes empty, "." and ".." components and trailing slashes from path.
 * Returns a new XtMalloc'ed string; "/" when nothing is left.
 */
char *NormalizePath(const char *path);

/*
 * Lists directory (absolute, ending in '/') in byte order: the names that
 * pass pattern ("" or NULL for "*"), every directory too when
 * filter_directory_names is False, dot files only when show_dot_files is
 * True ("." and ".." always). Directories carry a trailing '/'. Returns a
 * NULL-terminated XtMalloc'ed array of XtMalloc'ed strings and its length
 * in count_return, or NULL when the directory cannot be read or is empty.
 */
String *ListDirectory(const char *directory, const char *pattern, Boolean show_dot_files,
                      Boolean filter_directory_names, Cardinal *count_return);

/* Frees an array made by ListDirectory; NULL is allowed. */
void FreeDirectoryList(String *items);

#endif /* _DirScan_h */
