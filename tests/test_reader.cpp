#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "canvas/View.h"
#include "harness/Files.h"
#include "objects/Extent.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "shell/LoadPicture.h"
#include "picfile/Scanner.h"
#include "picfile/Units.h"
#include "picfile/Writer.h"

namespace {

std::vector<std::string> messages;
void sink(const char *text) { messages.push_back(text); }

struct ReaderTest : testing::Test {
    std::string dir;
    void SetUp() override {
        dir = harness::scratchDir();
        messages.clear();
        zoomFactor = 1;
        snprintf(gridText, fieldTextSize, "10");
        snprintf(offsetText, fieldTextSize, "10");
        setDefaultUnitLength("1pt");
        resetPicture();
    }
    void TearDown() override {
        freeAllObjects();
        std::string command = "rm -rf " + dir;
        (void)system(command.c_str());
    }
    std::string file(const std::string &name, const std::string &text) {
        std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // Loads a picture body; returns the warnings written.
    std::string load(const std::string &body, const std::string &preamble = "") {
        std::string path = file("p.tex", preamble + "\\begin{picture}(0,0)\n" + body + "\n\\end{picture}\n");
        testing::internal::CaptureStderr();
        EXPECT_TRUE(loadPicture(path.c_str(), sink));
        return testing::internal::GetCapturedStderr();
    }
};

// Picture coordinates of a record's canvas x or y, through the view.
float px(float x) {
    float p, unused;
    windowToPicture(x, 0, &p, &unused);
    return p;
}
float py(float y) {
    float unused, p;
    windowToPicture(0, y, &unused, &p);
    return p;
}
float length(float v) { return px(v) - px(0); }

// Every record of the drawing in picture units, relative to the lower-left
// corner of the drawing's box, as a file holds them.
std::vector<std::vector<float>> geometry() {
    float xmin = 1e9f, ymax = -1e9f;
    for (const ObjRecord *r = objectList; r; r = r->next) {
        float e[4];
        ObjGetExtent(r, e);
        xmin = std::min(xmin, e[0]);
        ymax = std::max(ymax, e[3]);
    }
    std::vector<std::vector<float>> all;
    for (const ObjRecord *r = objectList; r; r = r->next) {
        float s = zoomFactor * pixelsPerUnit;
        std::vector<float> v = {static_cast<float>(r->type), (r->x - xmin) / s, (ymax - r->y) / s};
        switch (r->type) {
        case ObjLine:
        case ObjVector: v.insert(v.end(), {(r->x2 - xmin) / s, (ymax - r->y2) / s}); break;
        case ObjCircle:
        case ObjDisc: v.push_back(r->x2 / s); break;
        case ObjBezier:
            v.insert(v.end(), {(r->x2 - xmin) / s, (ymax - r->y2) / s, (r->x3 - xmin) / s, (ymax - r->y3) / s});
            break;
        case ObjDashedBox: v.push_back(r->x3 / s); /* fall through */
        default: v.insert(v.end(), {r->x2 / s, r->y2 / s, static_cast<float>(r->flags)}); break;
        }
        all.push_back(v);
    }
    return all;
}

}  // namespace

TEST_F(ReaderTest, ObjectsAsTheFileGivesThem) {
    struct {
        std::string body;
        ObjType type;
        std::vector<float> values;  // x, y, then per type (picture units)
    } cases[] = {
        {"\\put(10,20){\\circle{7}}", ObjCircle, {10, 20, 3.5f}},
        {"\\put(10,20){\\circle*{17}}", ObjDisc, {10, 20, 8.5f}},  // not rounded to a \circle* size
        {"\\put(0,0){\\line(1,2){10}}", ObjLine, {0, 0, 10, 20}},
        {"\\put(0,0){\\vector(-1,2){10}}", ObjVector, {0, 0, -10, 20}},
        {"\\put(0,0){\\line(0,-1){10}}", ObjLine, {0, 0, 0, -10}},
        {"\\put(0,0){\\line(0,0){10}}", ObjLine, {0, 0, 0, -10}},
        {"\\put(0,0){\\line(3,-1){30}}", ObjLine, {0, 0, 30, -10}},
        {"\\put(50,20){\\oval(40,20)}", ObjOval, {30, 30, 40, 20, 10}},  // top-left corner; corner radius
        {"\\put(50,20){\\oval(60,30)}", ObjOval, {20, 35, 60, 30, 14}},  // 28 pt, LaTeX's largest corner
        {"\\put(50,20){\\oval(50,31)}", ObjOval, {25, 35.5f, 50, 31, 14}},
        {"\\put(0,0){\\framebox(20,10)[tl]{Hi}}", ObjFramedBox, {0, 10, 20, 10, posTop | posLeft}},
        {"\\put(0,0){\\framebox(20,10)[rb]{Hi}}", ObjFramedBox, {0, 10, 20, 10, posBottom | posRight}},
        {"\\put(0,0){\\framebox(20,10)[tb]{Hi}}", ObjFramedBox, {0, 10, 20, 10, posBottom | posHCenter}},
        {"\\put(0,0){\\framebox(20,10)[x]{Hi}}", ObjFramedBox, {0, 10, 20, 10, posCentred}},
        {"\\put(5,6){\\dashbox{2}(20,10){Hi}}", ObjDashedBox, {5, 16, 20, 10, 2}},
        {"\\put(10,20){\\makebox(30,10){x}}", ObjText, {10, 30, 30, 10, posCentred}},  // \put point is the lower left
        {"\\put(3,4){plain}", ObjText, {3, 4, 0, 0, posBottom | posLeft}},
        {"\\put(1,2){\\rule{5pt}{3\\unitlength}}", ObjFilledBox, {1, 5, 5, 3}},
        // The raise lowers the rule's corner below the point: a tick mark of gnuplot's.
        {"\\put(10,10){\\rule[-0.200pt]{0.400pt}{4.818pt}}", ObjFilledBox, {10, 14.618f, 0.4f, 4.818f}},
        {"\\put(10,10){\\rule[1pt]{2pt}{.5\\unitlength}}", ObjFilledBox, {10, 11.5f, 2, 0.5f}},
        {"\\put(0,0){\\framebox(-20,10){neg}}", ObjFramedBox, {-20, 10, 20, 10, posCentred}},
        {"\\qbezier(1,2)(3,4)(5,6)", ObjBezier, {1, 2, 3, 4, 5, 6}},
        {"\\bezier{9}(1,2)(3,4)(5,6)", ObjBezier, {1, 2, 3, 4, 5, 6}},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.body);
        std::string warnings = load(c.body);
        EXPECT_EQ(warnings, "");
        ASSERT_EQ(countObjects(), 1);
        const ObjRecord *r = objectList;
        EXPECT_EQ(r->type, c.type);
        std::vector<float> got = {px(r->x), py(r->y)};
        switch (r->type) {
        case ObjLine:
        case ObjVector: got.insert(got.end(), {px(r->x2), py(r->y2)}); break;
        case ObjCircle:
        case ObjDisc: got.push_back(length(r->x2)); break;
        case ObjOval: got.insert(got.end(), {length(r->x2), length(r->y2), length(r->x3)}); break;
        case ObjFilledBox: got.insert(got.end(), {length(r->x2), length(r->y2)}); break;
        case ObjDashedBox: got.insert(got.end(), {length(r->x2), length(r->y2), length(r->x3)}); break;
        case ObjBezier: got.insert(got.end(), {px(r->x2), py(r->y2), px(r->x3), py(r->y3)}); break;
        default: got.insert(got.end(), {length(r->x2), length(r->y2), static_cast<float>(r->flags)}); break;
        }
        ASSERT_EQ(got.size(), c.values.size());
        for (size_t i = 0; i < got.size(); i++) EXPECT_NEAR(got[i], c.values[i], 1e-3) << "value " << i;
        EXPECT_GE(r->x2, 0);
        if (r->type != ObjLine && r->type != ObjVector && r->type != ObjBezier) {
            EXPECT_GE(r->y2, 0);
        }
        EXPECT_FALSE(modified);
    }
}

TEST_F(ReaderTest, WarningsForWhatIsMissing) {
    struct {
        std::string body;
        std::string warnings;
        int objects;
    } cases[] = {
        // The brace that ends the \put in place of the text still ends it;
        // the circle's "{2}" is its diameter.
        {"\\put(0,0){\\framebox(20,10)}\n\\put(5,5){\\circle{2}}", "Warning(2): text expected; assuming empty\n", 2},
        {"\\put(0){x}\n\\put(1,1){y}", "Warning(2): missing coord of \\put, assuming 0.0\n", 2},
        {"\\put(0,0){\\line(pt,1){10}}", "Warning(2): missing coord: \\line, assuming 0.0\n", 1},
        {"\\put(0,0){\\circle{pt}}", "Warning(2): missing diameter, assuming 1.0\n", 1},
        {"\\put(0,0){\\rule{2}{3}{4}pt}",
         "Warning(2): missing unit, assuming \\unitlength\nWarning(2): missing unit, assuming \\unitlength\n", 1},
        {"\\thicklines\\thinlines", "", 0},
        // What cannot be read is kept as written.
        {"\\put(0,0){\\usebox{\\nobox}}\\multiput(0,0)(1,1){3}{x}", "Warning(2): unknown box \\nobox kept as written\n", 2},
        {"\\graphpaper(0,0)(10,10)", "Warning(2): unknown command \\graphpaper kept as written\n", 1},
        {"\\multiput(0,0)(1,1){3}", "Warning(3): missing body of \\multiput\n", 1},
        {"\\linethickness{99999pt}\\put(0,0){\\line(1,0){1}}", "Warning(2): \\linethickness out of range; using 16383pt\n", 1},
        // Copies of copies multiply; the inner count gives way.
        {"\\multiput(0,0)(1,0){1000}{\\multiput(0,0)(0,1){1000}{x}}", "Warning(2): too many copies; using 100000\n", 1},
        // A command the picture has no use for is named once; what it draws
        // after it still loads, the command itself is not kept.
        {"{\\color[rgb]{0,0,0}\\put(0,0){x}}", "Warning(2): unknown command \\color skipped\n", 1},
        {"\\put(1,2){\\oval(pt,5)}", "Warning(2): missing extent of oval, assuming 0.0\n", 1},
        {"\\qbezier[pt](1,2)(3,4)(5,6)", "Warning(2): missing number in bezier\n", 1},
        {"\\put(1,99999999999999999999999999999999999999999){x}", "Warning(2): number out of range; using 1e9\n", 1},
        // \end{picture} in place of the length still ends the picture.
        {"\\put(1,2){\\line(1,0)", "Warning(3): missing length, assuming 100.0\n", 1},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(load(c.body), c.warnings);
        EXPECT_EQ(countObjects(), c.objects);
    }
    load("\\multiput(0,0)(1,0){1000}{\\multiput(0,0)(0,1){1000}{x}}");
    ASSERT_EQ(objectList->type, ObjMultiput);
    EXPECT_EQ(objectList->count, 1000);
    ASSERT_NE(objectList->body, nullptr);
    EXPECT_EQ(objectList->body->count, 100);
    load("\\put(0,0){\\framebox(20,10)}\n\\put(5,5){\\circle{2}}");
    ASSERT_EQ(countObjects(), 2);
    // The circle is at its own point, 5 units right of the box's corner.
    EXPECT_EQ(objectList->next->type, ObjCircle);
    EXPECT_EQ(objectList->next->x, objectList->x + 5);
    EXPECT_EQ(objectList->next->x2, 1);
}

// Numbers beyond what a float holds in every place a number is taken,
// at the smallest and the largest \unitlength: every record is finite.
TEST_F(ReaderTest, NumbersBeyondRangeGiveFiniteRecords) {
    const std::string h(400, '9'), m = "-" + h;
    const std::string body = "\\put(" + h + "," + m + "){\\line(" + h + ",1){" + h + "}}\n" +
                             "\\put(" + m + "," + h + "){\\vector(1," + m + "){" + h + "}}\n" +
                             "\\put(0,0){\\circle{" + h + "}}\\put(0,0){\\circle*{" + m + "}}\n" +
                             "\\put(1,1){\\oval(" + h + "," + m + ")}\n" +
                             "\\put(1,1){\\framebox(" + m + "," + h + ")[tl]{a}}\n" +
                             "\\put(1,1){\\dashbox{" + h + "}(" + h + "," + h + "){b}}\n" +
                             "\\put(1,1){\\makebox(" + h + "," + h + "){c}}\n" +
                             "\\put(1,1){\\rule{" + h + "in}{" + m + "\\unitlength}}\n" +
                             "\\qbezier(" + h + "," + m + ")(" + m + "," + h + ")(" + h + "," + h + ")\n";
    for (const char *unit : {"\\unitlength=1sp\n", "\\unitlength=16383pt\n"}) {
        SCOPED_TRACE(unit);
        load(body, unit);
        ASSERT_EQ(countObjects(), 10);
        for (const ObjRecord *r = objectList; r; r = r->next) {
            EXPECT_TRUE(std::isfinite(r->x) && std::isfinite(r->y) && std::isfinite(r->x2) &&
                        std::isfinite(r->y2) && std::isfinite(r->x3))
                << "type " << r->type << ": " << r->x << " " << r->y << " " << r->x2 << " " << r->y2 << " " << r->x3;
            if (r->type == ObjBezier) {
                EXPECT_TRUE(std::isfinite(r->y3));
            }
        }
    }
}

TEST_F(ReaderTest, DefaultsOfMissingLengthsAreInPixels) {
    // An empty dash length; a unit in its place throws the rest of the
    // box into characters the scanner skips, and the box is kept as
    // written (a verbatim record).
    load("\\put(0,0){\\line(1,0)}\n\\put(0,0){\\dashbox{}(10,10){x}}", "\\unitlength=2pt\n");
    ASSERT_EQ(countObjects(), 2);
    EXPECT_FLOAT_EQ(objectList->x2 - objectList->x, 100);  // 100 canvas pixels at zoom 1
    EXPECT_FLOAT_EQ(objectList->next->x3, 5);
}

TEST_F(ReaderTest, UnitLengthOfThePreamble) {
    std::string warnings = load("\\put(0,0){\\rule{2mm}{1pt}}", "\\setlength{\\unitlength}{1mm}\n");
    EXPECT_EQ(warnings, "");
    EXPECT_EQ(unitIndex, 2);
    EXPECT_EQ(pixelsPerUnit, 3.0f);
    // Lengths in units of their own count in TeX points, not in the
    // canvas's rounded scale.
    EXPECT_NEAR(length(objectList->x2), 2, 1e-5);
    EXPECT_NEAR(length(objectList->y2), 1 / 2.8452756, 1e-5);

    warnings = load("\\put(0,0){x}", "\\setlength{\\unitlength}{0pt}\n");
    EXPECT_EQ(warnings, "Warning(1): \\unitlength was 0; is 1 now\n");
    EXPECT_EQ(unitValue, 1.0f);
    EXPECT_EQ(unitIndex, 0);

    warnings = load("\\put(0,0){x}", "\\unitlength=-2cm\n");
    EXPECT_EQ(warnings, "Warning(1): negative \\unitlength; using its magnitude\n");
    EXPECT_EQ(unitValue, 2.0f);
    EXPECT_EQ(unitIndex, 1);

    warnings = load("\\put(0,0){x}", "\\unitlength=20000pt\n");
    EXPECT_EQ(warnings, "Warning(1): \\unitlength out of range; using 1pt\n");
    EXPECT_EQ(unitValue, 1.0f);
    EXPECT_EQ(pixelsPerUnit, 1.0f);

    // The token taken in place of the unit, \begin{picture} here, is dropped.
    warnings = load("\\put(0,0){x}", "\\unitlength=3 \\par\n");
    EXPECT_EQ(warnings, "Warning(2): unit not found, assuming pt\n");
    EXPECT_EQ(unitValue, 3.0f);
    EXPECT_EQ(unitIndex, 0);
}

TEST_F(ReaderTest, NothingLoadedRestoresTheDefaultUnit) {
    std::string path = file("none.tex", "\\unitlength=1cm\nno picture here\n");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(loadPicture(path.c_str(), sink));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning(3): unexpected end of file\n");
    EXPECT_EQ(messages, std::vector<std::string>{"Nothing was loaded"});
    EXPECT_EQ(objectList, nullptr);
    EXPECT_EQ(unitIndex, 0);
    EXPECT_EQ(pixelsPerUnit, 1.0f);
}

TEST_F(ReaderTest, FilesThatCannotBeOpenedChangeNothing) {
    ObjRecord *kept = ObjNew(ObjLine);
    linkObject(kept);
    modified = true;
    std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path, reason;
    } cases[] = {
        {dir + "/missing.tex", "No such file or directory"},
        {dir, "Is a directory"},
        {"/dev/zero", "Not a regular file"},
        {fifo, "Not a regular file"},
    };
    for (const Case &c : cases) {
        const std::string &path = c.path;
        SCOPED_TRACE(path);
        messages.clear();
        EXPECT_FALSE(loadPicture(path.c_str(), sink));
        EXPECT_EQ(messages, std::vector<std::string>{"Can't open file " + path + ": " + c.reason});
        EXPECT_EQ(objectList, kept);
        EXPECT_TRUE(modified);
    }
}

TEST_F(ReaderTest, LongTextsComeBackWhole) {
    testing::internal::CaptureStderr();
    std::string path = file("long.tex", "\\begin{picture}(0,0)\n\\put(0,0){" + std::string(2000, 'w') + "}\n\\end{picture}");
    ASSERT_TRUE(loadPicture(path.c_str(), sink));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(std::string(objectList->text), std::string(2000, 'w'));
    // Saved in a box, it comes back whole.
    std::string saved = dir + "/saved.tex";
    ASSERT_TRUE(savePicture(saved.c_str(), sink, ".old"));
    EXPECT_NE(harness::readFile(saved).find("{" + std::string(2000, 'w') + "}}\n"), std::string::npos);
    ASSERT_TRUE(loadPicture(saved.c_str(), sink));
    EXPECT_EQ(std::string(objectList->text), std::string(2000, 'w'));
}

// A bare percent sign in a text is held as the writer writes it, "\%",
// in a text of any length: the text comes back from its file unchanged.
TEST_F(ReaderTest, PercentSignsInTextsAreHeldEscaped) {
    std::string long126 = std::string(125, 'w') + "%";
    struct {
        std::string body, text;
    } cases[] = {
        {"\\put(0,0){50% off}", "50\\% off"},
        {"\\put(0,0){\\framebox(10,5){a\\%b%}}", "a\\%b\\%"},
        {"\\put(0,0){" + long126 + "x}", std::string(125, 'w') + "\\%x"},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.body);
        load(c.body);
        ASSERT_EQ(countObjects(), 1);
        EXPECT_EQ(std::string(objectList->text), c.text);
        std::string saved = dir + "/saved.tex";
        ASSERT_TRUE(savePicture(saved.c_str(), sink, ".old"));
        ASSERT_TRUE(loadPicture(saved.c_str(), sink));
        EXPECT_EQ(std::string(objectList->text), c.text);
    }
}

TEST_F(ReaderTest, BinaryAndHugeInputLoadWithoutHarm) {
    std::string binary = "\\begin{picture}(0,0)\n\\put(1,2){\\circle{4}}";
    for (int i = 0; i < 4096; i++) binary += static_cast<char>((i * 131 + 7) % 256);
    std::string withNul("\\begin{picture}(0,0)\\put(1,2){a\0b}\0\0\\put(3,4){\\line(1,0){5}}\\end{picture}", 70);
    std::string longLine = "\\begin{picture}(0,0)\\put(0,0){\\line(1,0){10}}" + std::string(1 << 20, ' ') +
                           "\\put(5,5){x}\\end{picture}";
    std::string far = "\\unitlength=1cm\\begin{picture}(0,0)\\put(100000,0){\\line(1,0){10}}"
                      "\\put(-100000,-100000){\\oval(1e,3)}\\put(0,0){\\circle{100000}}\\end{picture}";
    for (const std::string &text : {binary, withNul, longLine, far}) {
        std::string path = file("odd.tex", text);
        testing::internal::CaptureStderr();
        EXPECT_TRUE(loadPicture(path.c_str(), sink));
        testing::internal::GetCapturedStderr();
        EXPECT_NE(objectList, nullptr);
        for (const ObjRecord *r = objectList; r; r = r->next) {
            EXPECT_TRUE(std::isfinite(r->x) && std::isfinite(r->y) && std::isfinite(r->x2));
            EXPECT_GE(r->type == ObjLine || r->type == ObjVector || r->type == ObjBezier ? 0 : r->x2, 0);
        }
    }
    EXPECT_EQ(countObjects(), 3);  // of the last file
}

// A drawing of every type, its points given in units of scale pixels.
static void buildDrawing(float scale) {
    auto add = [](ObjType type, std::initializer_list<XPoint> points, const char *text = "", int flags = posCentred) {
        ObjRecord *r = ObjNew(type);
        linkObject(r);
        ObjStore(r, std::data(points));
        ObjSetText(r, text);
        if (type == ObjFramedBox || type == ObjDashedBox || type == ObjText) r->flags = flags;
    };
    auto p = [scale](int x, int y) { return XPoint{static_cast<short>(x * scale), static_cast<short>(y * scale)}; };
    add(ObjLine, {p(10, 100), p(70, 80)});
    add(ObjVector, {p(200, 50), p(200, 150)});
    add(ObjFramedBox, {p(20, 20), p(80, 50)}, "Framed", 17);
    add(ObjDashedBox, {p(100, 20), p(160, 50)}, "dashed {x}", 68);
    add(ObjFilledBox, {p(30, 160), p(50, 170)});
    add(ObjCircle, {p(120, 120), p(140, 120)});
    add(ObjDisc, {p(160, 120), p(166, 120)});
    add(ObjOval, {p(10, 200), p(90, 240)});
    add(ObjText, {p(150, 200)}, "$x^2$", 65);
    add(ObjBezier, {p(10, 260), p(110, 260), p(60, 300)});
}

TEST_F(ReaderTest, SaveThenLoadGivesTheSameDrawing) {
    for (const char *unit : {"1pt", "1mm", "1cm"}) {
        for (float zoom : {1.0f, 2.0f}) {
            SCOPED_TRACE(std::string(unit) + " at zoom " + std::to_string(zoom));
            zoomFactor = zoom;
            setDefaultUnitLength(unit);
            resetPicture();
            buildDrawing(zoom / (unitIndex == 1 ? 10 : 1));  // as entered with the pointer
            auto before = geometry();
            std::string path = dir + "/drawing.tex";
            ASSERT_TRUE(savePicture(path.c_str(), sink, ".old"));
            ASSERT_TRUE(loadPicture(path.c_str(), sink));
            auto after = geometry();
            ASSERT_EQ(after.size(), before.size());
            for (size_t i = 0; i < before.size(); i++) {
                ASSERT_EQ(after[i].size(), before[i].size()) << "object " << i;
                for (size_t k = 0; k < before[i].size(); k++)
                    // Each value and the box corner it is measured from are
                    // both rounded to two decimals in the file.
                    EXPECT_NEAR(after[i][k], before[i][k], 0.0101) << "object " << i << " value " << k;
            }
            EXPECT_TRUE(messages.empty());
        }
    }
}

TEST_F(ReaderTest, LoadThenSaveGivesTheSameFile) {
    for (const char *unit : {"1pt", "1mm", "1cm"}) {
        for (float zoom : {1.0f, 2.0f}) {
            SCOPED_TRACE(std::string(unit) + " at zoom " + std::to_string(zoom));
            zoomFactor = zoom;
            setDefaultUnitLength(unit);
            resetPicture();
            buildDrawing(zoom * pixelsPerUnit / 2);  // in half units, as files hold them
            std::string first = dir + "/first.tex", second = dir + "/second.tex";
            ASSERT_TRUE(savePicture(first.c_str(), sink, ".old"));
            ASSERT_TRUE(loadPicture(first.c_str(), sink));
            ASSERT_TRUE(savePicture(second.c_str(), sink, ".old"));
            EXPECT_EQ(harness::readFile(second), harness::readFile(first));
        }
    }
    std::string example = std::string(getenv("VEXILO_SOURCE_DIR") ? getenv("VEXILO_SOURCE_DIR") : ".") +
                          "/examples/diagram.tex";
    setDefaultUnitLength("1pt");
    ASSERT_TRUE(loadPicture(example.c_str(), sink));
    std::string copy = dir + "/diagram.tex";
    ASSERT_TRUE(savePicture(copy.c_str(), sink, ".old"));
    EXPECT_EQ(harness::readFile(copy), harness::readFile(example));
}

// Reading as an ordinary user, where permission bits count even when the
// tests run as root.
static void loadAsNobody(const std::string &path) {
    if (geteuid() == 0 && setresuid(65534, 65534, 65534) != 0) exit(3);
    messages.clear();
    bool loaded = loadPicture(path.c_str(), sink);
    exit(!loaded && messages == std::vector<std::string>{"Can't open file " + path + ": Permission denied"} ? 0 : 4);
}

TEST_F(ReaderTest, UnreadableFileIsRefused) {
    std::string path = file("secret.tex", "\\begin{picture}(0,0)\\put(0,0){x}\\end{picture}");
    chmod(path.c_str(), 0);
    chmod(dir.c_str(), 0755);
    EXPECT_EXIT(loadAsNobody(path), testing::ExitedWithCode(0), "");
}

TEST_F(ReaderTest, AHundredMegabyteFileLoads) {
    std::string path = dir + "/big.tex";
    {
        std::ofstream out(path, std::ios::binary);
        out << "\\begin{picture}(0,0)\n\\put(0,0){\\line(1,0){10}}\n";
        std::string comment = "% " + std::string(1000, 'c') + "\n";
        for (int i = 0; i < 100 * 1024; i++) out << comment;
        out << "\\put(5,5){\\circle{4}}\n\\end{picture}\n";
    }
    testing::internal::CaptureStderr();
    ASSERT_TRUE(loadPicture(path.c_str(), sink));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // The comments between the two objects are kept, as one verbatim record.
    EXPECT_EQ(countObjects(), 3);
    // Reading stops on \end{picture}, the file's last line.
    EXPECT_EQ(lineNumber, 100 * 1024 + 4);
}

// Saving what was loaded settles at once: the second round gives the bytes
// of the first, for every object type at any unit length.
TEST_F(ReaderTest, SavingReachesAFixedPoint) {
    const char *bodies[] = {
        "\\put(0.1667,0.3333){\\line(1,0){.1667}}",
        "\\put(0,0){\\line(2,-1){1.3333}}",
        "\\put(0.05,0){\\vector(0,1){0.8333}}",
        "\\put(0,0){\\vector(-3,2){0.6667}}",
        "\\put(0.1667,0.2){\\framebox(0.6667,0.3333)[tl]{A}}",
        "\\put(0,0){\\dashbox{0.0333}(1.1667,0.1667){B}}",
        "\\put(0.0833,0.0833){\\rule{0.1667\\unitlength}{1.0001\\unitlength}}",
        "\\put(0.5,0.5){\\circle{0.1667}}",
        "\\put(0.5,0.5){\\circle*{0.0667}}",
        "\\put(0.5,0.5){\\oval(1.0,0.1667)}",
        "\\put(0.3333,0.1667){\\makebox(0,0)[br]{C}}",
        "\\put(0.1,0.1){\\makebox(0.5,0.25){D}}",
        "\\qbezier(0,0)(0.6667,1.1667)(1.0,0.1667)",
        "\\put(0,0){\\line(1,0){1.00}}\\put(0.5,0.5){\\circle{0.1667}}\\put(0.1667,0){\\oval(0.3333,0.6667)}",
        "\\put(0.5,0.5){\\oval(1.0,0.1667)[tl]}",
        "\\multiput(0.1667,0.3333)(0.3333,-0.1667){3}{\\circle{0.1667}\\put(0.05,0.0333){\\line(2,1){0.3333}}}",
        "\\multiput(0,0)(0.1667,0){2}{\\multiput(0.0333,0)(0,0.2333){3}{\\framebox(0.1,0.0667){x}}}",
    };
    const char *units[] = {"1pt", "5cm", "0.5mm", "2.5pc", "0.3in", "12bp", "7dd", "1cc", "1000sp", "3em", "100pt"};
    for (const char *unit : units) {
        for (const char *body : bodies) {
            SCOPED_TRACE(std::string(unit) + ": " + body);
            load(body, std::string("\\unitlength=") + unit + "\n");
            ASSERT_NE(objectList, nullptr);
            std::string first = dir + "/first.tex", second = dir + "/second.tex";
            ASSERT_TRUE(savePicture(first.c_str(), sink, ".old"));
            ASSERT_TRUE(loadPicture(first.c_str(), sink));
            ASSERT_TRUE(savePicture(second.c_str(), sink, ".old"));
            EXPECT_EQ(harness::readFile(second), harness::readFile(first));
        }
    }
    EXPECT_TRUE(messages.empty());
}
