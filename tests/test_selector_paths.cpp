// Name filters, path expansion and directory listing of the file
// selector, without a display.
#include "selector_support.h"

#include <dlfcn.h>
#include <pwd.h>

#include <string>
#include <vector>

#include "selector/DirScan.h"

using selector_test::TempTree;

// Counts the stat calls the listing makes.
static int statCalls = 0;
extern "C" int stat(const char *path, struct stat *buf) noexcept {
    using StatFn = int (*)(const char *, struct stat *);
    static StatFn real = reinterpret_cast<StatFn>(dlsym(RTLD_NEXT, "stat"));
    statCalls++;
    return real(path, buf);
}

namespace {

bool match(const char *pattern, const char *name) {
    char *marks = WildcardMarks(pattern);
    bool result = WildcardMatch(pattern, marks, name);
    XtFree(marks);
    return result;
}

TEST(SelectorPaths, WildcardMatch) {
    struct Case {
        const char *pattern, *name;
        bool matches;
    } cases[] = {
        {"[!a-c]*", "d.tex", true}, {"[!a-c]*", "A", true}, {"[!a-c]*", "b", false},
        {"[^a-c]", "d", true},      {"[~a-c]", "a", false}, {"[]x]", "]", true},
        {"[]x]", "x", true},        {"[]x]", "y", false},   {"[a-]", "a", true},
        {"[a-]", "-", true},        {"[a-]", "b", false},   {"[-a]", "-", true},
        {"[abc", "[abc", true},     {"[abc", "a", false},   {"[abc", "[", false},
        {"[a-", "[a-", true},       {"[a-", "a", false},    {"[", "[", true},
        {"[]", "[]", true},         {"[!]", "[!]", true},   {"a*", "a", true},
        {"a*", "abc", true},        {"a*", "ba", false},    {"*b", "", false},
        {"*b", "a", false},         {"*b", "b", true},      {"*b", "ab", true},
        {"*", "", true},            {"**", "x", true},      {"", "", true},
        {"", "a", false},           {"?", "", false},       {"?", "x", true},
        {"?", "xy", false},         {"*.tex", "a.tex", true}, {"*.tex", ".tex", true},
        {"*.tex", "a.texx", false}, {"*.tex", "a.TEX", false}, {"?a*/b", ".ax/b", true},
        {"*a*a*b", "aaab", true},   {"*a*a*b", "aaaa", false}, {"[a-c]?[x-z]", "b.y", true},
        // Ranges compare signed bytes: 0x80 lies below 'a'.
        {"[\x01-z]", "\x80", false}, {"[\x80-a]", "\x90", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(match(c.pattern, c.name), c.matches) << "'" << c.pattern << "' against '" << c.name << "'";

    // Without marks the pattern is plain text; unmarked bytes match themselves.
    EXPECT_TRUE(WildcardMatch("*", nullptr, "*"));
    EXPECT_FALSE(WildcardMatch("*", nullptr, "a"));
    const char plain[] = {0, 1, 0};
    EXPECT_TRUE(WildcardMatch("?*", plain, "?x"));
    EXPECT_FALSE(WildcardMatch("?*", plain, "ax"));

    // Many stars against a long name that cannot match end quickly.
    std::string name(4000, 'a');
    EXPECT_FALSE(match("*a*a*a*a*a*a*a*a*a*a*b", name.c_str()));
}

TEST(SelectorPaths, ExpandPath) {
    setenv("HOME", "/home/u", 1);
    setenv("VEXILO_RELATIVE", "rel/dir", 1);
    unsetenv("VEXILO_UNSET");
    const struct passwd *root = getpwnam("root");
    ASSERT_NE(root, nullptr);
    const std::string rootHome = root->pw_dir;

    struct Case {
        const char *text, *directory;
        std::string expanded;
    } cases[] = {
        {"~", "/home/u/", "/home/u"},
        {"~/x", "/home/u/", "/home/u/x"},
        {"$HOME/x", "/", "/home/u/x"},
        {"$HOME", "/", "/home/u"},
        {"~root/x", "/", rootHome + "/x"},
        {"~root", "/", rootHome},
        {"x", "/home/u/", "/home/u//x"},
        {"x", "/", "/x"},
        {"", "/home/u/", "/home/u//"},
        {"/abs/name", "/home/u/", "/abs/name"},
        {"~no-such-user-vexilo/x", "/d/", "/d//~no-such-user-vexilo/x"},
        {"$VEXILO_UNSET/x", "/d/", "/d//$VEXILO_UNSET/x"},
        {"$VEXILO_RELATIVE/x", "/d/", "/d//rel/dir/x"},
        {"$", "/d/", "/d//$"},
    };
    for (const Case &c : cases) {
        char path[DirScanPathMax];
        ASSERT_TRUE(ExpandPath(c.text, c.directory, path)) << c.text;
        EXPECT_EQ(path, c.expanded) << "'" << c.text << "' in " << c.directory;
    }

    unsetenv("HOME");
    char path[DirScanPathMax];
    ASSERT_TRUE(ExpandPath("~/x", "/d/", path));
    EXPECT_EQ(std::string(path), "/d//~/x") << "no HOME and no user named ''";
}

TEST(SelectorPaths, ExpandPathRefusesPathsLongerThanTheSystemTakes) {
    char path[DirScanPathMax];
    std::string fits = "/" + std::string(DirScanPathMax - 2, 'a');
    EXPECT_TRUE(ExpandPath(fits.c_str(), "/", path));
    EXPECT_EQ(std::string(path), fits);

    std::string tooLong = fits + "a";
    EXPECT_FALSE(ExpandPath(tooLong.c_str(), "/", path));
    EXPECT_STREQ(path, "");
    std::string directory = "/" + std::string(DirScanPathMax - 4, 'd') + "/";
    EXPECT_FALSE(ExpandPath("name", directory.c_str(), path));
    setenv("VEXILO_LONG", tooLong.c_str(), 1);
    EXPECT_FALSE(ExpandPath("$VEXILO_LONG", "/", path));
}

TEST(SelectorPaths, NormalizePath) {
    struct Case {
        const char *path, *normal;
    } cases[] = {
        {"/home/u//../v/./w/", "/home/v/w"}, {"/a/b/../c/./d//", "/a/c/d"}, {"/..", "/"},
        {"//", "/"},  {"/", "/"},  {"", "/"},  {"/a/.", "/a"},  {"/a/..", "/"},
        {"/a/b/..", "/a"},  {"/../../a", "/a"},  {"/.../.x/..x", "/.../.x/..x"},
        {"/a/./", "/a"},  {"/a//", "/a"},  {"/a/b/../../..", "/"},
    };
    for (const Case &c : cases) {
        char *normal = NormalizePath(c.path);
        EXPECT_STREQ(normal, c.normal) << "'" << c.path << "'";
        XtFree(normal);
    }
}

std::vector<std::string> listing(const std::string &dir, const char *pattern, bool dots, bool filterDirs,
                                 int *stats = nullptr) {
    Cardinal count = 99;
    statCalls = 0;
    String *items = ListDirectory(dir.c_str(), pattern, dots, filterDirs, &count);
    if (stats) *stats = statCalls;
    std::vector<std::string> names;
    if (!items) {
        EXPECT_EQ(count, 0u);
        return {"(unreadable)"};
    }
    for (String *p = items; *p; p++) names.push_back(*p);
    EXPECT_EQ(names.size(), count);
    FreeDirectoryList(items);
    return names;
}

TEST(SelectorPaths, ListDirectory) {
    TempTree tree;
    for (const char *f : {"a.tex", "Makefile", ".profile", "b.txt", "[x].tex"}) tree.file(f);
    tree.directory("sub");
    tree.directory("dir.tex");
    tree.directory(".hidden");
    symlink(tree.path("sub").c_str(), tree.path("link").c_str());
    symlink("/nonexistent/target", tree.path("dangling.tex").c_str());

    using Names = std::vector<std::string>;
    struct Case {
        const char *pattern;
        bool dots, filterDirs;
        Names names;
    } cases[] = {
        {"*", true, true,
         {"./", "../", ".hidden/", ".profile", "Makefile", "[x].tex", "a.tex", "b.txt", "dangling.tex",
          "dir.tex/", "link/", "sub/"}},
        {"", true, true,
         {"./", "../", ".hidden/", ".profile", "Makefile", "[x].tex", "a.tex", "b.txt", "dangling.tex",
          "dir.tex/", "link/", "sub/"}},
        {"*", false, true,
         {"./", "../", "Makefile", "[x].tex", "a.tex", "b.txt", "dangling.tex", "dir.tex/", "link/", "sub/"}},
        {"*.tex", true, true, {"[x].tex", "a.tex", "dangling.tex", "dir.tex/"}},
        {"*.tex", true, false,
         {"./", "../", ".hidden/", "[x].tex", "a.tex", "dangling.tex", "dir.tex/", "link/", "sub/"}},
        {"*.tex", false, false, {"./", "../", "[x].tex", "a.tex", "dangling.tex", "dir.tex/", "link/", "sub/"}},
        {"[[]*", true, true, {"[x].tex"}},
        {"nothing", true, true, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(listing(tree.dir(), c.pattern, c.dots, c.filterDirs), c.names)
            << "'" << c.pattern << "' dots " << c.dots << " filterDirs " << c.filterDirs;
}

TEST(SelectorPaths, ListingStatsEachShownNameOnce) {
    TempTree tree;
    for (int i = 0; i < 50; i++) tree.file("f" + std::to_string(i) + (i % 2 ? ".tex" : ".log"));
    for (int i = 0; i < 5; i++) tree.directory("d" + std::to_string(i));
    tree.file(".hidden");

    struct Case {
        const char *pattern;
        bool dots, filterDirs;
        int stats;
    } cases[] = {
        {"*", true, true, 50 + 5 + 3},   // every name, ".", ".." and ".hidden"
        {"*", false, true, 50 + 5 + 2},  // the hidden file is skipped unread
        {"*.tex", true, true, 25},       // only the names that match
        {"*.tex", true, false, 50 + 5 + 3},
    };
    for (const Case &c : cases) {
        int stats = 0;
        listing(tree.dir(), c.pattern, c.dots, c.filterDirs, &stats);
        EXPECT_EQ(stats, c.stats) << "'" << c.pattern << "' dots " << c.dots << " filterDirs " << c.filterDirs;
    }
}

TEST(SelectorPaths, UnreadableOrMissingDirectoryListsNothing) {
    selector_test::runAsOrdinaryUser();
    TempTree tree;
    tree.directory("locked", 0);
    tree.file("a.tex");
    const std::vector<std::string> unreadable = {"(unreadable)"};
    EXPECT_EQ(listing(tree.path("locked") + "/", "*", true, true), unreadable);
    EXPECT_EQ(listing(tree.path("missing") + "/", "*", true, true), unreadable);
    EXPECT_EQ(listing("/" + std::string(DirScanPathMax, 'x') + "/", "*", true, true), unreadable);
    EXPECT_EQ(listing(tree.dir(), "*.tex", true, true), std::vector<std::string>{"a.tex"});
}

}  // namespace
