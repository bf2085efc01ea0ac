#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "harness/Files.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Units.h"
#include "picfile/Writer.h"
#include "shell/LoadPicture.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> messages;
void record(const char *text) { messages.push_back(text); }

void useScale(float zoom, float value = 1, int index = 0) {
    unitValue = value;
    unitIndex = index;
    setUnitScale(value * unitTable[index].points);
    zoomFactor = zoom;
}

// Builds records from picture coordinates (units, y upwards), placed on
// the canvas at the current zoom and scale as the editor would hold them.
struct Drawing {
    float ox = 120, oy = 400;  // the canvas position of picture (0,0), in units
    static float s() { return zoomFactor * pixelsPerUnit; }
    float X(float px) const { return (ox + px) * s(); }
    float Y(float py) const { return (oy - py) * s(); }
    static ObjRecord *add(ObjType type) {
        ObjRecord *r = ObjNew(type);
        linkObject(r);
        return r;
    }
    void segment(ObjType type, float x1, float y1, float x2, float y2) const {
        ObjRecord *r = add(type);
        r->x = X(x1), r->y = Y(y1), r->x2 = X(x2), r->y2 = Y(y2);
    }
    // A box by its lower-left corner and size; x3 is the dash length or
    // the corner radius.
    void box(ObjType type, float x, float y, float w, float h, int flags = posCentred,
             const char *text = "", float x3 = 5) const {
        ObjRecord *r = add(type);
        r->x = X(x), r->y = Y(y + h), r->x2 = w * s(), r->y2 = h * s(), r->x3 = x3 * s();
        if (type != ObjFilledBox && type != ObjOval) {
            r->flags = flags;
            ObjSetText(r, text);
        }
    }
    void text(float x, float y, int flags, const char *text) const { box(ObjText, x, y, 0, 0, flags, text); }
    void circle(ObjType type, float cx, float cy, float radius) const {
        ObjRecord *r = add(type);
        r->x = X(cx), r->y = Y(cy), r->x2 = radius * s();
    }
    void bezier(float x1, float y1, float cx, float cy, float x2, float y2) const {
        ObjRecord *r = add(ObjBezier);
        r->x = X(x1), r->y = Y(y1), r->x2 = X(cx), r->y2 = Y(cy), r->x3 = X(x2), r->y3 = Y(y2);
    }
};

void writeFile(const fs::path &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::vector<std::string> linesOf(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Every name in a directory with the contents of its plain files and the
// targets of its links.
std::map<std::string, std::string> listing(const fs::path &dir) {
    std::map<std::string, std::string> names;
    for (const auto &entry : fs::directory_iterator(dir)) {
        std::string &what = names[entry.path().filename()];
        if (entry.is_symlink())
            what = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            what = harness::readFile(entry.path());
        else
            what = "(directory)";
    }
    return names;
}

// The geometry of every record, to see that a save leaves it alone.
std::vector<std::vector<float>> geometry() {
    std::vector<std::vector<float>> all;
    for (const ObjRecord *r = objectList; r; r = r->next) all.push_back({r->x, r->y, r->x2, r->y2, r->x3, r->y3});
    return all;
}

// What a save did, in one comparable line.
std::string outcome(bool saved, const std::vector<std::vector<float>> &before) {
    std::string s = saved ? "saved" : "refused";
    for (const std::string &m : messages) s += "|" + m;
    s += modified ? "|modified" : "|clean";
    s += geometry() == before ? "|same" : "|moved";
    return s;
}

// Runs body in a child process and returns the text it produced; the
// child's resource limits and mounts end with it.
std::string inChild(const std::function<std::string()> &body) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return "pipe failed";
    fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0) return "fork failed";
    if (pid == 0) {
        close(pipeFds[0]);
        std::string result = body();
        ssize_t n = write(pipeFds[1], result.data(), result.size());
        _exit(n == static_cast<ssize_t>(result.size()) ? 0 : 3);
    }
    close(pipeFds[1]);
    std::string result;
    char buf[512];
    for (ssize_t n; (n = read(pipeFds[0], buf, sizeof buf)) > 0;) result.append(buf, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child ended with status " + std::to_string(status);
    return result;
}

class WriterTest : public testing::Test {
protected:
    void SetUp() override {
        dir = harness::scratchDir();
        messages.clear();
        useScale(1);
        modified = true;
    }
    void TearDown() override {
        freeAllObjects();
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }
    bool save(const fs::path &path) { return savePicture(path.c_str(), record, ".old"); }
    fs::path dir;
};

using Writer = WriterTest;
using WriterFailure = WriterTest;
using WriterPaths = WriterTest;

}  // namespace

TEST_F(Writer, WritesTheExampleByteForByte) {
    Drawing d;
    d.segment(ObjLine, 0, 0, 30, 10);
    d.circle(ObjCircle, 50, 20, 5);
    d.box(ObjFramedBox, 10, 30, 20, 10, posCentred, "Hi");
    d.text(5, 45, posBottom | posLeft, "A");
    auto before = geometry();

    ASSERT_TRUE(save(dir / "pic.tex"));
    EXPECT_EQ(harness::readFile(dir / "pic.tex"),
              "{% Picture saved by vexilo 2.4.1\n"
              "\\unitlength=1.000000pt\n"
              "\\begin{picture}(55.00,45.00)(0.00,0.00)\n"
              "\\put(5.00,45.00){\\makebox(0.00,0.00)[bl]{A}}\n"
              "\\put(10.00,30.00){\\framebox(20.00,10.00){Hi}}\n"
              "\\put(50.00,20.00){\\circle{10.00}}\n"
              "\\put(0.00,0.00){\\line(3,1){30.00}}\n"
              "\\end{picture}}\n");
    EXPECT_EQ(outcome(true, before), "saved|clean|same");
    EXPECT_FALSE(fs::exists(dir / "pic.tex.old"));  // there was no old file
}

TEST_F(Writer, EdgeCasesAsTheyAreWritten) {
    struct Case {
        std::string name;
        std::function<void(Drawing &)> draw;
        std::vector<std::string> lines;  // each must be a line of the file
    };
    std::vector<Case> cases = {
        {"lone text",
         [](Drawing &d) { d.text(5, 45, posBottom | posLeft, "A"); },
         {"\\begin{picture}(0.00,0.00)(0.00,0.00)", "\\put(0.00,0.00){\\makebox(0.00,0.00)[bl]{A}}"}},
        {"centred framed box",
         [](Drawing &d) { d.box(ObjFramedBox, 10, 30, 20, 10, posCentred, "Hi"); },
         {"\\put(0.00,0.00){\\framebox(20.00,10.00){Hi}}"}},
        {"top-right framed box",
         [](Drawing &d) { d.box(ObjFramedBox, 10, 30, 20, 10, posTop | posRight, "Hi"); },
         {"\\put(0.00,0.00){\\framebox(20.00,10.00)[tr]{Hi}}"}},
        {"lone circle",
         [](Drawing &d) { d.circle(ObjCircle, 50, 20, 5); },
         {"\\begin{picture}(10.00,10.00)(0.00,0.00)", "\\put(5.00,5.00){\\circle{10.00}}"}},
        {"lone disc", [](Drawing &d) { d.circle(ObjDisc, 50, 20, 5); }, {"\\put(5.00,5.00){\\circle*{10.00}}"}},
        {"oval centre",
         [](Drawing &d) { d.box(ObjOval, 7, 3, 40, 20, 0, "", 10); },
         {"\\begin{picture}(40.00,20.00)(0.00,0.00)", "\\put(20.00,10.00){\\oval(40.00,20.00)}"}},
        {"rule",
         [](Drawing &d) { d.box(ObjFilledBox, 0, 0, 20, 10); },
         {"\\put(0.00,0.00){\\rule{20.00\\unitlength}{10.00\\unitlength}}"}},
        {"dash length read from a file",
         [](Drawing &d) { d.box(ObjDashedBox, 0, 0, 20, 10, posCentred, "Hi", 2); },
         {"\\put(0.00,0.00){\\dashbox{2.00}(20.00,10.00){Hi}}"}},
        {"dash length entered on the canvas",
         [](Drawing &d) { d.box(ObjDashedBox, 0, 0, 20, 10, posBottom, "", 5); },
         {"\\put(0.00,0.00){\\dashbox{5.00}(20.00,10.00)[b]{}}"}},
        {"vertical vector",
         [](Drawing &d) { d.segment(ObjVector, 10, 40, 10, 0); },
         {"\\begin{picture}(0.00,40.00)(0.00,0.00)", "\\put(0.00,40.00){\\vector(0,-1){40.00}}"}},
        {"near-vertical line",
         [](Drawing &d) { d.segment(ObjLine, 0, 0, 0.004f, 30); },
         {"\\put(0.00,0.00){\\line(0,1){30.00}}"}},
        {"line too steep for the search",
         [](Drawing &d) { d.segment(ObjLine, 0, 0, 0.5f, 30); },
         {"\\put(0.00,0.00){\\line(0,1){30.00}}"}},
        {"newest object first",
         [](Drawing &d) {
             d.segment(ObjLine, 0, 0, 20, 0);
             d.segment(ObjVector, 20, 10, 0, 10);
         },
         {"\\put(20.00,10.00){\\vector(-1,0){20.00}}", "\\put(0.00,0.00){\\line(1,0){20.00}}"}},
        {"bezier with its control point beyond the box",
         [](Drawing &d) { d.bezier(0, 0, 10, 20, 20, 0); },
         {"\\begin{picture}(20.00,10.00)(0.00,0.00)", "\\qbezier(0.00,0.00)(10.00,20.00)(20.00,0.00)"}},
        // A bare percent sign would make the rest of the line a comment.
        {"text with braces and percent",
         [](Drawing &d) { d.text(0, 0, posCentred, "50% {off}"); },
         {"\\put(0.00,0.00){\\makebox(0.00,0.00){50\\% {off}}}"}},
        {"text with escaped and bare percent signs",
         [](Drawing &d) { d.text(0, 0, posCentred, "\\%a%\\\\%%"); },
         {"\\put(0.00,0.00){\\makebox(0.00,0.00){\\%a\\%\\\\\\%\\%}}"}},
        // An unmatched brace would end the group early or swallow what
        // follows: it is left out.
        {"text with unmatched braces",
         [](Drawing &d) { d.text(0, 0, posCentred, "}a{b\\"); },
         {"\\put(0.00,0.00){\\makebox(0.00,0.00){ab}}"}},
        // The box comes from the objects whatever their size, also when
        // every coordinate lies beyond a million units.
        {"objects a million units away",
         [](Drawing &d) {
             d.segment(ObjLine, 2000000, 3000000, 2000100, 3000000);
             d.circle(ObjCircle, 2000100, 3000000, 20);
         },
         {"\\begin{picture}(120.00,40.00)(0.00,0.00)", "\\put(0.00,20.00){\\line(1,0){100.00}}",
          "\\put(100.00,20.00){\\circle{40.00}}"}},
        // A unit that six decimals cannot hold gets the digits it needs;
        // one they hold keeps its six.
        {"a tiny unit length",
         [](Drawing &d) {
             useScale(1, 0.0000004f, 4);
             d.segment(ObjLine, 0, 0, 10, 0);
         },
         {"\\unitlength=0.0000004in"}},
        {"a unit length of seven digits",
         [](Drawing &d) {
             useScale(1, 0.1234567f, 1);
             d.segment(ObjLine, 0, 0, 10, 0);
         },
         {"\\unitlength=0.1234567cm"}},
        {"a unit length that six decimals hold",
         [](Drawing &d) {
             useScale(1, 0.1f, 1);
             d.segment(ObjLine, 0, 0, 10, 0);
         },
         {"\\unitlength=0.100000cm"}},
        {"two and a half millimetres at zoom 2",
         [](Drawing &d) {
             useScale(2, 2.5f, 2);  // 7.5 pixels a unit
             d.segment(ObjLine, 0, 0, 10, 0);
             d.box(ObjFilledBox, 0, 5, 4, 2.5f);
         },
         {"\\unitlength=2.500000mm", "\\begin{picture}(10.00,7.50)(0.00,0.00)",
          "\\put(0.00,5.00){\\rule{4.00\\unitlength}{2.50\\unitlength}}", "\\put(0.00,0.00){\\line(1,0){10.00}}"}},
    };
    const struct {
        int flags;
        const char *letters;
    } positions[] = {{posTop | posLeft, "[tl]"},    {posTop | posHCenter, "[t]"},    {posTop | posRight, "[tr]"},
                     {posVCenter | posLeft, "[l]"}, {posCentred, ""},                {posVCenter | posRight, "[r]"},
                     {posBottom | posLeft, "[bl]"}, {posBottom | posHCenter, "[b]"}, {posBottom | posRight, "[br]"}};
    for (const auto &p : positions)
        cases.push_back({"text position " + std::to_string(p.flags),
                         [p](Drawing &d) { d.text(3, 4, p.flags, "A"); },
                         {std::string("\\put(0.00,0.00){\\makebox(0.00,0.00)") + p.letters + "{A}}"}});

    int n = 0;
    for (const Case &c : cases) {
        freeAllObjects();
        useScale(1);
        Drawing d;
        c.draw(d);
        fs::path path = dir / ("case" + std::to_string(n++) + ".tex");
        ASSERT_TRUE(save(path)) << c.name;
        std::vector<std::string> lines = linesOf(harness::readFile(path));
        for (const std::string &expected : c.lines)
            EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end())
                << c.name << ": no line " << expected << " in\n"
                << harness::readFile(path);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(Writer, SameFileAtZoomOneAndTwo) {
    useScale(1, 1, 2);  // millimetres: 3 pixels a unit
    Drawing d;
    d.segment(ObjLine, 0.4f, 1.7f, 60.4f, 11.7f);
    d.box(ObjDashedBox, 3.3f, 8.9f, 21.7f, 13.1f, posTop, "x", 1.7f);
    d.box(ObjOval, 5.5f, 6.6f, 17.1f, 9.9f, 0, "", 3.3f);
    d.circle(ObjDisc, 33.3f, 44.4f, 2.2f);
    d.bezier(0.1f, 0.2f, 70.3f, -9.4f, 40.5f, 30.6f);
    ASSERT_TRUE(save(dir / "zoom1.tex"));
    // What the zoom dialog does on a change from 1 to 2.
    rescaleAll(1.0f / zoomFactor);
    zoomFactor = 2;
    rescaleAll(zoomFactor);
    ASSERT_TRUE(save(dir / "zoom2.tex"));
    EXPECT_EQ(harness::readFile(dir / "zoom1.tex"), harness::readFile(dir / "zoom2.tex"));
}

TEST_F(Writer, SecondSaveMovesTheFirstFileToTheBackup) {
    Drawing d;
    d.segment(ObjLine, 0, 0, 10, 0);
    ASSERT_TRUE(save(dir / "pic.tex"));
    std::string first = harness::readFile(dir / "pic.tex");
    d.circle(ObjCircle, 0, 0, 5);
    modified = true;
    ASSERT_TRUE(save(dir / "pic.tex"));
    std::string second = harness::readFile(dir / "pic.tex");
    EXPECT_NE(first, second);
    EXPECT_EQ(listing(dir), (std::map<std::string, std::string>{{"pic.tex", second}, {"pic.tex.old", first}}));
    EXPECT_FALSE(modified);

    d.circle(ObjDisc, 0, 0, 5);
    ASSERT_TRUE(save(dir / "pic.tex"));
    EXPECT_EQ(harness::readFile(dir / "pic.tex.old"), second);  // the earlier backup is replaced
}

TEST_F(Writer, NothingToSaveMakesNoFileAndNoBackup) {
    EXPECT_FALSE(save(dir / "new.tex"));
    writeFile(dir / "old.tex", "old picture\n");
    EXPECT_FALSE(save(dir / "old.tex"));
    EXPECT_EQ(messages, (std::vector<std::string>{"Nothing to save", "Nothing to save"}));
    EXPECT_EQ(listing(dir), (std::map<std::string, std::string>{{"old.tex", "old picture\n"}}));
    EXPECT_TRUE(modified);
}

TEST_F(Writer, PermissionsFollowTheOldFileOrTheUmask) {
    Drawing d;
    d.segment(ObjLine, 0, 0, 10, 0);
    mode_t oldMask = umask(027);
    ASSERT_TRUE(save(dir / "new.tex"));
    umask(022);
    writeFile(dir / "old.tex", "old\n");
    chmod((dir / "old.tex").c_str(), 0604);
    // Root saving another user's file leaves it that user's.
    bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown((dir / "old.tex").c_str(), 65534, 65534), 0);
    }
    ASSERT_TRUE(save(dir / "old.tex"));
    umask(oldMask);
    struct stat st;
    ASSERT_EQ(stat((dir / "new.tex").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(stat((dir / "old.tex").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
    }
}

TEST_F(Writer, NumbersUseAPointWhateverTheLocale) {
    Drawing d;
    d.segment(ObjLine, 0.25f, 0, 30.25f, 10);
    d.circle(ObjCircle, 1e20f, 2.5f, 1.75f);  // beyond what is formatted by hand
    useScale(1, 0.5f, 0);
    ASSERT_TRUE(save(dir / "c.tex"));

    const char *comma = setlocale(LC_ALL, "de_DE.UTF-8");
    std::string made = (dir / "locales").string();
    if (!comma) {
        fs::create_directory(made);
        std::string cmd = "localedef -i de_DE -f UTF-8 '" + made + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (system(cmd.c_str()) == 0) {
            setenv("LOCPATH", made.c_str(), 1);
            comma = setlocale(LC_ALL, "de_DE.UTF-8");
        }
    }
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed or can be made with localedef";
    char probe[16];
    snprintf(probe, sizeof probe, "%.2f", 3.25);
    bool saved = save(dir / "de.tex");
    setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
    ASSERT_STREQ(probe, "3,25");  // the locale is really in force
    ASSERT_TRUE(saved);
    EXPECT_EQ(harness::readFile(dir / "de.tex"), harness::readFile(dir / "c.tex"));
    EXPECT_NE(harness::readFile(dir / "c.tex").find("\\unitlength=0.500000pt"), std::string::npos);
}

TEST_F(Writer, HugeAndUndefinedCoordinatesAreWrittenSafely) {
    Drawing d;
    const float values[] = {FLT_MAX, -FLT_MAX, 1e30f, INFINITY, -INFINITY, NAN, 0, 1e-30f};
    for (float v : values) {
        ObjRecord *line = Drawing::add(ObjLine);
        line->x = v, line->y = 0, line->x2 = 1, line->y2 = v;
        for (ObjType type : {ObjFramedBox, ObjCircle, ObjOval, ObjBezier, ObjDashedBox}) {
            ObjRecord *r = Drawing::add(type);
            r->x = r->y = r->x2 = r->y2 = r->x3 = v;
            if (type == ObjBezier) r->y3 = v;
            if (type == ObjFramedBox || type == ObjDashedBox) r->flags = posTop | posLeft;
        }
    }
    int count = countObjects();
    ASSERT_TRUE(save(dir / "huge.tex"));
    std::string text = harness::readFile(dir / "huge.tex");
    EXPECT_EQ(linesOf(text).size(), static_cast<size_t>(count + 4));
    EXPECT_EQ(text.back(), '\n');

    // Every line as LaTeX reads it: each argument a decimal constant (an
    // optional minus, digits, a point, two digits), none beyond 1e9.
    const std::string n = "-?[0-9]+\\.[0-9]{2}", pair = "\\(" + n + "," + n + "\\)";
    const std::regex shapes[] = {
        std::regex("\\{% Picture saved by vexilo 2\\.4\\.1"),
        std::regex("\\\\unitlength=1\\.000000pt"),
        std::regex("\\\\begin\\{picture\\}" + pair + "\\(0\\.00,0\\.00\\)"),
        std::regex("\\\\put" + pair + "\\{\\\\line\\(-?[0-9]+,-?[0-9]+\\)\\{" + n + "\\}\\}"),
        std::regex("\\\\put" + pair + "\\{\\\\(framebox|dashbox\\{" + n + "\\})" + pair + "\\[tl\\]\\{\\}\\}"),
        std::regex("\\\\put" + pair + "\\{\\\\circle\\{" + n + "\\}\\}"),
        std::regex("\\\\put" + pair + "\\{\\\\oval" + pair + "\\}"),
        std::regex("\\\\qbezier" + pair + pair + pair),
        std::regex("\\\\end\\{picture\\}\\}"),
    };
    const std::regex number("-?[0-9]+\\.[0-9]+");
    for (const std::string &line : linesOf(text)) {
        bool known = false;
        for (const std::regex &shape : shapes) known = known || std::regex_match(line, shape);
        EXPECT_TRUE(known) << line;
        if (line[0] == '{') continue;  // the version
        for (std::sregex_iterator m(line.begin(), line.end(), number), end; m != end; ++m)
            EXPECT_LE(std::fabs(std::stod(m->str())), 1e9) << line;
    }
    // The reader takes every number back without a warning.
    testing::internal::CaptureStderr();
    EXPECT_TRUE(loadPicture((dir / "huge.tex").c_str(), record));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(countObjects(), count);
}

TEST_F(Writer, UnknownTypeIsReportedAndSkipped) {
    ObjRecord rec{};
    rec.type = static_cast<ObjType>(42);
    FILE *file = tmpfile();
    ASSERT_NE(file, nullptr);
    testing::internal::CaptureStderr();
    ObjSave(&rec, file, 0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ObjSave: unknown type 42\n");
    EXPECT_EQ(ftell(file), 0);
    fclose(file);
}

TEST(WriterNumbers, FixedPointMatchesPrintf) {
    std::vector<double> values = {0,     -0.0,   0.005, 0.015,  0.125, 0.375,  2.675f, -0.001, 1.005,
                                  0.045, 1e15,   -1e15, 4.5e13, 1e20,  FLT_MAX, DBL_MAX, -DBL_MAX, NAN,
                                  -NAN,  INFINITY, -INFINITY, 45035996.27370496, 0.5, 1.5, 2.5};
    std::mt19937 random(4);
    std::uniform_real_distribution<float> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-12, 18);
    for (int i = 0; i < 200000; i++) {
        float f = std::ldexp(mantissa(random), exponent(random) * 2);
        values.push_back(f);
        values.push_back(static_cast<double>(f) + mantissa(random) / 2.0);  // doubles such as an oval's centre
        values.push_back(std::nearbyint(f * 200.0f) / 200.0);                // near or on a tie
    }
    for (double v : values) {
        for (int decimals : {2, 6}) {
            char expected[400], got[400];
            snprintf(expected, sizeof expected, "%.*f", decimals, v);
            *formatFixed(got, v, decimals) = '\0';
            ASSERT_STREQ(got, expected) << "value " << v << ", " << decimals << " decimals";
        }
    }
}

TEST(Slope, SearchExamples) {
    const struct {
        float dx, dy;
        int a, b;
        float length;
    } cases[] = {
        {30, 10, 3, 1, 30},   {-30, -10, -3, -1, 30}, {30, 20, 3, 2, 30},    {20, 30, 2, 3, 20},
        {100, 66, 3, 2, 100}, {33, 100, 1, 3, 33},    {10, 7, 10, 7, 10},    {0, -20, 0, -1, 20},
        {-20, 0, -1, 0, 20},  {0.004f, 30, 0, 1, 30}, {6, -1, 6, -1, 6},     {-1, 6, -1, 6, 1},
        {1, 40, 1, 40, 1},    // still within the 50 rounds
        {0.5f, 30, 0, 1, 30}, // too steep: written as the vertical it nearly is
        {-0.5f, -30, 0, -1, 30}, {1, 60, 0, 1, 60},
    };
    for (const auto &c : cases) {
        // Start away from the origin: only the differences count.
        Slope s = findSlope(7, 9, 7 + c.dx, 9 + c.dy);
        EXPECT_EQ(s.a, c.a) << c.dx << "," << c.dy;
        EXPECT_EQ(s.b, c.b) << c.dx << "," << c.dy;
        EXPECT_NEAR(s.length, c.length, 1e-4) << c.dx << "," << c.dy;
    }
}

TEST_F(WriterFailure, DirectoryThatDoesNotExist) {
    Drawing d;
    d.segment(ObjLine, 0, 0, 10, 0);
    auto before = geometry();
    EXPECT_EQ(outcome(save(dir / "missing" / "pic.tex"), before),
              "refused|Can't open file " + (dir / "missing" / "pic.tex").string() +
                  ": No such file or directory|modified|same");
    EXPECT_TRUE(listing(dir).empty());
}

// As an ordinary user, for whom permission bits count (the tests run as
// root): a file he may write in a directory he may not is written in
// place; a write that fails part-way puts the old contents back.
TEST_F(WriterFailure, DirectoryThatCannotBeWritten) {
    Drawing d;
    d.segment(ObjLine, 0, 0, 10, 0);
    writeFile(dir / "pic.tex", "old picture\n");
    writeFile(dir / "pic.tex.old", "older picture\n");
    writeFile(dir / "locked.tex", "locked picture\n");
    chmod((dir / "locked.tex").c_str(), 0444);
    bool root = geteuid() == 0;
    for (const char *name : {"pic.tex", "pic.tex.old", "locked.tex"}) {
        if (root) {
            ASSERT_EQ(chown((dir / name).c_str(), 65534, 65534), 0);
        }
    }
    chmod(dir.c_str(), root ? 0755 : 0555);  // root's directory, or one of the user's made read-only

    std::string result = inChild([&] {
        if (root && setresuid(65534, 65534, 65534) != 0) return std::string("setresuid failed");
        std::string report;
        auto attempt = [&](const char *name) {
            messages.clear();
            modified = true;
            auto drawing = geometry();
            report += "[" + outcome(save(dir / name), drawing) + "]";
        };
        attempt("locked.tex");
        // A limit on the file size makes the write fail past 100 bytes.
        struct rlimit rl;
        getrlimit(RLIMIT_FSIZE, &rl);
        rl.rlim_cur = 100;
        signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0) return std::string("setrlimit failed");
        for (int i = 0; i < 20; i++) d.segment(ObjLine, 0, i, 10, i);
        attempt("pic.tex");
        report += harness::readFile(dir / "pic.tex") == "old picture\n" ? " kept" : " CHANGED";
        rl.rlim_cur = rl.rlim_max;
        setrlimit(RLIMIT_FSIZE, &rl);
        freeAllObjects();
        d.segment(ObjLine, 0, 0, 10, 0);
        attempt("pic.tex");
        return report;
    });
    EXPECT_EQ(result, "[refused|Can't open file " + (dir / "locked.tex").string() +
                          ": Permission denied|modified|same]"
                          "[refused|Can't write file " +
                          (dir / "pic.tex").string() + ": File too large|modified|same] kept"
                      "[saved|Saved; no backup was kept (" + dir.string() + ": Permission denied)|clean|same]");
    std::string saved = harness::readFile(dir / "pic.tex");
    EXPECT_EQ(saved.rfind("{% Picture saved by vexilo", 0), 0u);
    EXPECT_NE(saved.find("\\put(0.00,0.00){\\line(1,0){10.00}}"), std::string::npos) << saved;
    EXPECT_EQ(listing(dir), (std::map<std::string, std::string>{{"pic.tex", saved},
                                                                {"pic.tex.old", "older picture\n"},
                                                                {"locked.tex", "locked picture\n"}}));
    struct stat st;
    ASSERT_EQ(stat((dir / "pic.tex").c_str(), &st), 0);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
    }
}

TEST_F(WriterFailure, WriteErrorsKeepTheOldFile) {
    Drawing d;
    for (int i = 0; i < 3000; i++) d.segment(ObjLine, i, 0, i + 30, 10);  // over 100 kB
    writeFile(dir / "pic.tex", "old picture\n");
    writeFile(dir / "pic.tex.old", "older picture\n");
    auto files = listing(dir);
    auto before = geometry();
    // A file size limit makes writes fail past it, as a full disk does.
    for (rlim_t limit : {0, 100, 10000, 70000}) {
        std::string result = inChild([&] {
            struct rlimit rl;
            getrlimit(RLIMIT_FSIZE, &rl);
            rl.rlim_cur = limit;
            signal(SIGXFSZ, SIG_IGN);
            if (setrlimit(RLIMIT_FSIZE, &rl) != 0) return std::string("setrlimit failed");
            return outcome(save(dir / "pic.tex"), before);
        });
        EXPECT_EQ(result, "refused|Can't write file " + (dir / "pic.tex").string() + ": File too large|modified|same")
            << "limit " << limit;
        EXPECT_EQ(listing(dir), files) << "limit " << limit;
    }
    // Without the limit the same save goes through.
    EXPECT_EQ(outcome(save(dir / "pic.tex"), before), "saved|clean|same");
    EXPECT_EQ(harness::readFile(dir / "pic.tex.old"), "old picture\n");
}

TEST_F(WriterFailure, ReadOnlyAndFullFileSystems) {
    // A small file system of its own, mounted in a mount namespace of the
    // child so that nothing outside sees it.
    std::string result = inChild([&]() -> std::string {
        uid_t uid = geteuid();
        gid_t gid = getegid();
        if (unshare(CLONE_NEWNS) != 0) {
            if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return std::string("skip: unshare: ") + strerror(errno);
            writeFile("/proc/self/setgroups", "deny");
            writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
            writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
        }
        if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("vexilo-test", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
            return std::string("skip: mount: ") + strerror(errno);

        std::string report;
        auto saveAndReport = [&] {
            auto before = geometry();
            modified = true;
            messages.clear();
            bool saved = save(dir / "pic.tex");
            report += "[" + outcome(saved, before) + "]";
        };
        Drawing d;
        d.segment(ObjLine, 0, 0, 10, 0);
        saveAndReport();
        d.segment(ObjLine, 0, 0, 20, 0);
        saveAndReport();  // now with a backup
        auto files = listing(dir);

        for (int i = 0; i < 3000; i++) d.segment(ObjVector, i, 0, i + 40, 10);  // well over 64 kB
        saveAndReport();
        report += listing(dir) == files ? " unchanged" : " CHANGED";

        if (mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            return std::string("skip: remount: ") + strerror(errno);
        freeAllObjects();
        d.segment(ObjLine, 0, 0, 5, 0);
        saveAndReport();
        report += listing(dir) == files ? " unchanged" : " CHANGED";
        return report;
    });
    if (result.rfind("skip: ", 0) == 0) GTEST_SKIP() << "no private tmpfs to be had (" << result << ")";
    EXPECT_EQ(result,
              "[saved|clean|same][saved|clean|same]"
              "[refused|Can't write file " +
                  (dir / "pic.tex").string() +
                  ": No space left on device|modified|same] unchanged"
                  "[refused|Can't open file " +
                  (dir / "pic.tex").string() + ": Read-only file system|modified|same] unchanged");
}

TEST_F(WriterPaths, SymbolicLinksAreWrittenThrough) {
    Drawing d;
    d.segment(ObjLine, 0, 0, 10, 0);
    fs::create_directory(dir / "real");
    writeFile(dir / "real" / "pic.tex", "old picture\n");
    fs::create_symlink("real/pic.tex", dir / "link.tex");
    fs::create_symlink("link.tex", dir / "chain.tex");
    fs::create_symlink("real/fresh.tex", dir / "dangling.tex");

    ASSERT_TRUE(save(dir / "chain.tex"));
    std::string saved = harness::readFile(dir / "real" / "pic.tex");
    EXPECT_EQ(saved.rfind("{% Picture saved by vexilo", 0), 0u);
    EXPECT_EQ(harness::readFile(dir / "real" / "pic.tex.old"), "old picture\n");
    EXPECT_TRUE(fs::is_symlink(dir / "link.tex"));
    EXPECT_TRUE(fs::is_symlink(dir / "chain.tex"));
    EXPECT_EQ(fs::read_symlink(dir / "link.tex").string(), "real/pic.tex");

    ASSERT_TRUE(save(dir / "dangling.tex"));
    EXPECT_EQ(harness::readFile(dir / "real" / "fresh.tex"), saved);
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.tex"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(WriterPaths, PathsThatCannotTakeAPicture) {
    Drawing d;
    d.segment(ObjLine, 0, 0, 10, 0);
    auto before = geometry();
    fs::create_directory(dir / "sub");
    writeFile(dir / "sub" / "inside.tex", "kept\n");
    fs::create_symlink("loop-b.tex", dir / "loop-a.tex");
    fs::create_symlink("loop-a.tex", dir / "loop-b.tex");
    auto files = listing(dir);

    const struct {
        fs::path path;
        std::string why;
    } cases[] = {
        {dir / "sub", "Is a directory"},
        {dir / "sub/", "Is a directory"},
        {dir / "loop-a.tex", "Too many levels of symbolic links"},
    };
    for (const auto &c : cases) {
        messages.clear();
        EXPECT_EQ(outcome(save(c.path), before), "refused|Can't open file " + c.path.string() + ": " + c.why + "|modified|same")
            << c.path;
        EXPECT_EQ(listing(dir), files) << c.path;
    }
    messages.clear();
    EXPECT_EQ(outcome(savePicture("", record, ".old"), before),
              "refused|Can't open file: No such file or directory|modified|same");
    EXPECT_EQ(harness::readFile(dir / "sub" / "inside.tex"), "kept\n");
}

// Whether the old file can be kept or not, the picture is saved; the
// message says that no backup was kept and why.
TEST_F(WriterPaths, BackupThatCannotBeMadeDoesNotStopTheSave) {
    Drawing d;
    d.segment(ObjLine, 0, 0, 10, 0);
    auto before = geometry();
    std::string longName(252, 'p');  // fits NAME_MAX, but its backup name does not
    const struct {
        std::string name;
        std::function<void()> prepare;
        std::string result;
    } cases[] = {
        {longName, [] {}, "saved|Saved; no backup was kept (" + (dir / longName).string() + ".old: File name too long)|clean|same"},
        {"busy.tex", [&] { fs::create_directory(dir / "busy.tex.old"); },
         "saved|Saved; no backup was kept (" + (dir / "busy.tex.old").string() + ": Is a directory)|clean|same"},
    };
    for (const auto &c : cases) {
        writeFile(dir / c.name, "old picture\n");
        c.prepare();
        auto files = listing(dir);
        messages.clear();
        modified = true;
        EXPECT_EQ(outcome(save(dir / c.name), before), c.result) << c.name;
        std::string saved = harness::readFile(dir / c.name);
        EXPECT_EQ(saved.rfind("{% Picture saved by vexilo", 0), 0u) << c.name;
        files[c.name] = saved;  // nothing else changed, no temporary file left
        EXPECT_EQ(listing(dir), files) << c.name;
    }
}
