// Reading and writing picture files with the model alone: no canvas, no
// shell, no X display.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "harness/Files.h"
#include "harness/Latex.h"
#include "objects/Extent.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Reader.h"
#include "picfile/Units.h"
#include "picfile/Writer.h"

namespace {

std::string warnings;

// The picture of a text, at zoom 1 in canvas pixels, as the drawing.
void read(const std::string &text) {
    freeAllObjects();
    unitValue = 1, unitIndex = 0;
    setUnitScale(1);
    zoomFactor = 1;
    FILE *f = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
    testing::internal::CaptureStderr();
    Picture p = readPicture(f);
    warnings = testing::internal::GetCapturedStderr();
    fclose(f);
    objectList = p.objects;
    rescaleAll(pixelsPerUnit);
}

void quiet(const char *) {}

// The drawing as saved, without the header line.
std::string saved() {
    std::string dir = harness::scratchDir();
    std::string path = dir + "/p.tex";
    EXPECT_TRUE(savePicture(path.c_str(), quiet, ".old"));
    std::string text = harness::readFile(path);
    std::string command = "rm -rf " + dir;
    (void)system(command.c_str());
    return text.substr(text.find('\n') + 1);
}

const std::string begin = "\\begin{picture}(0,0)\n";

}  // namespace

TEST(ModelPicture, ConstructsComeBackInTheirOwnForm) {
    struct {
        std::string body;
        std::string written;  // the lines after \begin{picture}
    } cases[] = {
        // Several objects in one \put, and nested \puts whose offsets add.
        {"\\put(20,20){\\circle{30}\\vector(0,1){15}\\circle*{5}}",
         "\\put(15.00,15.00){\\circle{30.00}}\n\\put(15.00,15.00){\\vector(0,1){15.00}}\n"
         "\\put(15.00,15.00){\\circle*{5.00}}\n"},
        {"\\put(10,0){\\put(5,1){\\line(1,0){4}}\\put(1,2){x}}",
         "\\put(4.00,0.00){\\line(1,0){4.00}}\n\\put(0.00,1.00){\\makebox(0.00,0.00)[bl]{x}}\n"},
        // A \multiput, also with a body of several objects and a \put in it.
        {"\\multiput(0,0)(10,5){4}{\\circle*{2}}",
         "\\multiput(1.00,1.00)(10.00,5.00){4}{\\circle*{2.00}}\n"},
        {"\\multiput(0,0)(3,0){2}{\\line(0,1){2}\\put(1,0){\\line(1,0){1}}}",
         "\\multiput(0.00,0.00)(3.00,0.00){2}{\\line(0,1){2.00}\\put(1.00,0.00){\\line(1,0){1.00}}}\n"},
        // Oval parts; dotted Bezier curves of both forms.
        {"\\put(10,10){\\oval(20,10)[tl]}\\put(10,10){\\oval(20,10)[b]}",
         "\\put(10.00,5.00){\\oval(20.00,10.00)[tl]}\n\\put(10.00,5.00){\\oval(20.00,10.00)[b]}\n"},
        {"\\qbezier[30](0,0)(10,20)(20,0)\\bezier{12}(0,0)(5,5)(10,0)",
         "\\qbezier[30](0.00,0.00)(10.00,20.00)(20.00,0.00)\n\\qbezier[12](0.00,0.00)(5.00,5.00)(10.00,0.00)\n"},
        // Line thickness: kept per object, its declarations written where it changes.
        {"\\thicklines\\put(0,0){\\line(1,0){5}}{\\linethickness{2pt}\\put(0,1){\\line(1,0){5}}}"
         "\\put(0,2){\\line(1,0){5}}\\thinlines\\put(0,3){\\line(1,0){5}}",
         "\\thicklines\n\\put(0.00,0.00){\\line(1,0){5.00}}\n\\linethickness{2.000pt}\n"
         "\\put(0.00,1.00){\\line(1,0){5.00}}\n\\thicklines\n\\put(0.00,2.00){\\line(1,0){5.00}}\n"
         "\\thinlines\n\\put(0.00,3.00){\\line(1,0){5.00}}\n"},
        // \rule with a raise, lengths in units, a box saved and used.
        {"\\sbox{\\dot}{\\rule[-1pt]{2pt}{2pt}}\\put(5,5){\\usebox{\\dot}}\\put(0,0){\\rule{1mm}{.5ex}}",
         "\\put(5.00,4.00){\\rule{2.00\\unitlength}{2.00\\unitlength}}\n"
         "\\put(0.00,0.00){\\rule{2.85\\unitlength}{2.15\\unitlength}}\n"},
        // A dashed box keeps its dash length.
        {"\\put(0,0){\\dashbox{1.5}(10,4)[t]{d}}", "\\put(0.00,0.00){\\dashbox{1.50}(10.00,4.00)[t]{d}}\n"},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.body);
        read(begin + c.body + "\n\\end{picture}\n");
        EXPECT_EQ(warnings, "");
        std::string out = saved();
        out = out.substr(out.find('\n') + 1);  // past \unitlength
        out = out.substr(out.find('\n') + 1);  // past \begin{picture}
        out = out.substr(0, out.rfind("\\end{picture}"));
        EXPECT_EQ(out, c.written);
    }
    freeAllObjects();
}

namespace {

// The lines of the saved drawing between \begin{picture} and \end{picture}.
std::string savedBody() {
    std::string out = saved();
    out = out.substr(out.find('\n') + 1);  // past \unitlength
    out = out.substr(out.find('\n') + 1);  // past \begin{picture}
    return out.substr(0, out.rfind("\\end{picture}"));
}

}  // namespace

TEST(ModelPicture, WhatTheModelCannotHoldIsKeptAsWritten) {
    struct {
        std::string body;
        std::string written;  // the lines after \begin{picture}
        int verbatim;         // verbatim records read
    } cases[] = {
        // A \put whose body begins with a command: its point is written
        // from the drawing's corner like any other, its body unchanged.
        {"\\put(0,0){\\line(1,0){20}}\n\\put(10,10){\\color{red}\\circle{5}}",
         "\\put(0.00,0.00){\\line(1,0){20.00}}\n\\put(10.00,10.00){\\color{red}\\circle{5}}\n", 1},
        {"\\put(5,5){\\line(1,0){20}}\\multiput(5,25)(10,0){3}{\\shortstack{a\\\\b}}",
         "\\put(0.00,0.00){\\line(1,0){20.00}}\n\\multiput(0.00,20.00)(10,0){3}{\\shortstack{a\\\\b}}\n", 1},
        // Comments and declarations between objects, in their order; a
        // declaration and its argument are one piece.
        {"% first\n\\put(0,0){\\line(1,0){5}} % after it\n\\color{blue}\n\\graphpaper(0,0)(5,5)\n"
         "\\qbezier(0,0)(1,1)(2,0)",
         "% first\n\\put(0.00,0.00){\\line(1,0){5.00}}\n% after it\n\\color{blue}\n\\graphpaper(0,0)(5,5)\n"
         "\\qbezier(0.00,0.00)(1.00,1.00)(2.00,0.00)\n",
         4},
        // An unknown box and a multiput without body stay as written.
        {"\\put(0,0){\\usebox{\\nobox}}", "\\put(0.00,0.00){\\usebox{\\nobox}}\n", 1},
        // A stray closing brace would end the picture's group: left out.
        {"\\put(0,0){\\line(1,0){5}}}", "\\put(0.00,0.00){\\line(1,0){5.00}}\n", 0},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.body);
        read(begin + c.body + "\n\\end{picture}\n");
        int verbatim = 0;
        for (const ObjRecord *r = objectList; r; r = r->next) verbatim += r->type == ObjVerbatim;
        EXPECT_EQ(verbatim, c.verbatim);
        EXPECT_EQ(savedBody(), c.written);
    }
    freeAllObjects();
}

TEST(ModelPicture, VerbatimRecordsMoveCopyAndFreeWithTheirSource) {
    read(begin + "\\put(0,0){\\line(1,0){20}}\\put(10,10){\\frame{x}}\n\\end{picture}\n");
    ObjRecord *kept = objectList->next;
    ASSERT_EQ(kept->type, ObjVerbatim);
    EXPECT_EQ(kept->part, verbatimPut);
    EXPECT_STREQ(kept->source, "{\\frame{x}}");
    // A copy owns a source of its own; ObjCopy over it releases the old one.
    ObjRecord *copy = ObjNew(ObjVerbatim);
    ObjCopy(kept, copy);
    ObjCopy(kept, copy);
    ASSERT_NE(copy->source, kept->source);
    EXPECT_STREQ(copy->source, kept->source);
    // Moved by 5 units right and 2 up: the point changes, the body does not.
    ObjMove(copy, 5 * pixelsPerUnit, -2 * pixelsPerUnit);
    linkObject(copy);
    EXPECT_EQ(savedBody(),
              "\\put(15.00,12.00){\\frame{x}}\n\\put(0.00,0.00){\\line(1,0){20.00}}\n\\put(10.00,10.00){\\frame{x}}\n");
    // Deleting one leaves the other whole.
    unlinkObject(kept);
    ObjFree(kept);
    EXPECT_EQ(savedBody(), "\\put(15.00,12.00){\\frame{x}}\n\\put(0.00,0.00){\\line(1,0){20.00}}\n");
    // Its placeholder is hit above and right of its point, not below it.
    EXPECT_TRUE(ObjHit(copy, copy->x + 40, copy->y - 8));
    EXPECT_FALSE(ObjHit(copy, copy->x + 40, copy->y + 20));
    freeAllObjects();
}

// ---------------------------------------------------------------------
// Pictures inside files of other material.

namespace {

std::string collection() {
    const char *dir = getenv("VEXILO_SOURCE_DIR");
    return std::string(dir ? dir : ".") + "/tests/pictures/";
}

// The drawing written in place of its picture.
std::string writtenInPlace(InPlace *place) {
    inPlace = place;
    char *out = nullptr;
    size_t size = 0;
    FILE *f = open_memstream(&out, &size);
    EXPECT_TRUE(writeDrawing(f));
    fclose(f);
    inPlace = nullptr;
    std::string result(out, size);
    free(out);
    return result;
}

// The text read and saved in place, at zoom 1, without edits unless edit
// is given.
std::string savedInPlace(const std::string &text, Picture *picture, int which = 0,
                         void (*edit)() = nullptr) {
    freeAllObjects();
    unitValue = 1, unitIndex = 0;
    setUnitScale(1);
    zoomFactor = 1;
    testing::internal::CaptureStderr();
    *picture = readPictureText(text, which);
    warnings = testing::internal::GetCapturedStderr();
    objectList = picture->objects;
    picture->objects = nullptr;
    rescaleAll(pixelsPerUnit);
    if (edit) edit();
    InPlace place;
    EXPECT_TRUE(surroundingsOf(*picture, &place));
    std::string result = writtenInPlace(&place);
    freeAllObjects();
    return result;
}

// What lies before the part of the file a save may replace.
std::string untouchedBefore(const Picture &p) {
    return p.text.substr(0, p.unitEnd > p.unitBegin ? p.unitBegin : p.begin);
}

}  // namespace

TEST(InPlace, PicturesOfAFileAreFoundOutsideComments) {
    std::string text =
        "% \\begin{picture} in a comment\n\\begin{picture}(1,1)\\end{picture}\n"
        "100\\% \\begin{picture}(2,2)\\put(0,0){x}\\end{picture}\n\\begin{picture}(3,3)";
    std::vector<PictureSpan> spans = findPictures(text);
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(text.substr(spans[0].begin, spans[0].end - spans[0].begin), "\\begin{picture}(1,1)\\end{picture}");
    EXPECT_EQ(text.substr(spans[1].begin, 15), "\\begin{picture}");
    EXPECT_TRUE(spans[1].closed);
    EXPECT_FALSE(spans[2].closed);
    EXPECT_EQ(spans[2].end, text.size());
}

TEST(InPlace, TheFirstPictureWithObjectsIsTakenUnlessOneIsChosen) {
    std::string text =
        "Text.\n\\begin{picture}(10,10)\\end{picture}\nMore text.\n"
        "\\unitlength=2pt\n\\begin{picture}(10,10)\\put(0,0){\\line(1,0){10}}\\end{picture}\n"
        "\\begin{picture}(5,5)\\put(0,0){\\circle{4}}\\put(1,1){\\circle{2}}\\end{picture}\nEnd.\n";
    struct {
        int which, index, objects;
    } cases[] = {{0, 2, 1}, {1, 1, 0}, {3, 3, 2}, {9, 3, 2}};
    for (auto &c : cases) {
        SCOPED_TRACE(c.which);
        unitValue = 1, unitIndex = 0;
        setUnitScale(1);
        testing::internal::CaptureStderr();
        Picture p = readPictureText(text, c.which);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(p.index, c.index);
        EXPECT_EQ(p.count, 3);
        int n = 0;
        for (ObjRecord *r = p.objects; r; r = r->next) n++;
        EXPECT_EQ(n, c.objects);
        ObjFreeList(p.objects);
    }
    // The second picture's \unitlength is the one next to it, written as
    // the file wrote it while it holds.
    Picture p;
    std::string out = savedInPlace(text, &p);
    EXPECT_EQ(out,
              "Text.\n\\begin{picture}(10,10)\\end{picture}\nMore text.\n"
              "\\unitlength=2pt\n\\begin{picture}(10,10)\n"
              "\\put(0.00,0.00){\\line(1,0){10.00}}\n\\end{picture}\n"
              "\\begin{picture}(5,5)\\put(0,0){\\circle{4}}\\put(1,1){\\circle{2}}\\end{picture}\nEnd.\n");
    // Another unit is written in a form every TeX takes.
    testing::internal::CaptureStderr();
    p = readPictureText(text);
    testing::internal::GetCapturedStderr();
    InPlace place;
    ASSERT_TRUE(surroundingsOf(p, &place));
    objectList = p.objects;
    unitValue = 3;
    out = writtenInPlace(&place);
    freeAllObjects();
    EXPECT_NE(out.find("More text.\n\\setlength{\\unitlength}{3.000000pt}\n\\begin{picture}(10,10)\n"),
              std::string::npos);
}

TEST(InPlace, EveryByteOutsideThePictureOfTheCollectionComesBack) {
    int inPlaceFiles = 0;
    for (const char *name : {"bezier-curves.tex", "crlf-blanks.tex", "fig2dev-arrows.tex", "fig2dev-curves.tex",
                             "fig2dev-shapes.tex", "fig2dev-long-label.tex", "gnuplot-style-plot.tex", "kept-verbatim.tex",
                             "manual-objects.tex", "nested-multiput.tex", "text-positions.tex",
                             "unitlength-forms.tex", "verbatim-only.tex"}) {
        SCOPED_TRACE(name);
        std::string text = harness::readFile(collection() + name);
        // Inside a document, with text before and after it.
        text = "\\documentclass{article}\n\\begin{document}\nBefore, 50\\% {in braces}.\n" + text +
               "After % a comment\n\\end{document}\n";
        Picture p;
        std::string out = savedInPlace(text, &p);
        std::string before = untouchedBefore(p), after = text.substr(p.end);
        ASSERT_GE(out.size(), before.size() + after.size());
        EXPECT_EQ(out.substr(0, before.size()), before);
        EXPECT_EQ(out.substr(out.size() - after.size()), after);
        inPlaceFiles++;
    }
    EXPECT_EQ(inPlaceFiles, 13);
}

TEST(InPlace, APictureOfOnlyVerbatimMaterialComesBackButForItsPoints) {
    std::string text = harness::readFile(collection() + "verbatim-only.tex");
    Picture p;
    std::string out = savedInPlace(text, &p);
    EXPECT_EQ(warnings, "");
    // The file's frame is kept: the points are the file's, in two decimals.
    std::string expected = text;
    for (auto r : {std::make_pair("\\put(10,10)", "\\put(10.00,10.00)"),
                   std::make_pair("\\put(60,10)", "\\put(60.00,10.00)"),
                   std::make_pair("\\multiput(10,50)", "\\multiput(10.00,50.00)")})
        expected.replace(expected.find(r.first), strlen(r.first), r.second);
    EXPECT_EQ(out, expected);
}

TEST(InPlace, BadInputIsNamedAndNothingOutsideChanges) {
    struct {
        std::string text;
        std::string problem;  // empty: the picture can be saved in place
    } cases[] = {
        // No \end{picture}: the picture runs to the end of the file, which
        // a save closes.
        {"Text.\n\\begin{picture}(10,10)\\put(0,0){\\line(1,0){10}}\n", ""},
        // Inside a macro's definition: its parameters cannot be kept.
        {"\\newcommand{\\pic}[1]{\\begin{picture}(10,10)\\put(0,0){\\line(1,0){#1}}\\end{picture}}\n",
         "The picture is part of a macro definition"},
        // In a macro's argument, which is fine.
        {"\\fbox{\\begin{picture}(10,10)\\put(0,0){\\line(1,0){10}}\\end{picture}}\n", ""},
        // Braces that open in the picture and close after it.
        {"\\begin{picture}(10,10){\\put(0,0){\\line(1,0){10}}\\end{picture}}\n",
         "The braces of the picture do not balance"},
        // A \unitlength without its unit just before the picture: the
        // picture's own line is still found and kept.
        {"\\unitlength=2\n\\begin{picture}(10,10)\\put(0,0){\\line(1,0){10}}\\end{picture}\n", ""},
        // An escaped % before the picture is no comment; \\ (a line break)
        // followed by letters is no command.
        {"100\\% \\begin{picture}(10,10)\n\\put(0,0){\\line(1,0){10}}\n\\end{picture}\n", ""},
        {"Text\\\\begin{picture} is text.\n\\begin{picture}(10,10)\\put(0,0){\\line(1,0){10}}\\end{picture}\n", ""},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.text);
        unitValue = 1, unitIndex = 0;
        setUnitScale(1);
        testing::internal::CaptureStderr();
        Picture p = readPictureText(c.text, 0);
        std::string stderrText = testing::internal::GetCapturedStderr();
        EXPECT_EQ(p.problem, c.problem);
        ObjFreeList(p.objects);
        p.objects = nullptr;
        if (!c.problem.empty()) {
            InPlace place;
            EXPECT_FALSE(surroundingsOf(p, &place));
            ASSERT_FALSE(p.warnings.empty());
            EXPECT_EQ(p.warnings.back(), c.problem + "; it cannot be saved in its file");
            continue;
        }
        Picture q;
        std::string out = savedInPlace(c.text, &q);
        EXPECT_EQ(out.substr(0, q.begin), c.text.substr(0, q.begin));
        EXPECT_EQ(out.substr(out.size() - (c.text.size() - q.end)), c.text.substr(q.end));
        EXPECT_NE(out.find("\\begin{picture}(10,10)"), std::string::npos);
        EXPECT_NE(out.find("\\end{picture}"), std::string::npos);
    }
}

namespace {

// A line from the picture point (0, 0) to (10, 0) in a drawing at zoom 1.
void drawLine() {
    ObjRecord *line = ObjNew(ObjLine);
    line->x2 = 10 * pixelsPerUnit;
    linkObject(line);
}

const std::string ownLine =
    "{% Picture saved by vexilo 2.4.1\n\\unitlength=1.000000pt\n\\begin{picture}(10.00,0.00)(0.00,0.00)\n"
    "\\put(0.00,0.00){\\line(1,0){10.00}}\n\\end{picture}}\n";

}  // namespace

TEST(InPlace, AFileWithoutAPictureKeepsItsTextAndGetsThePictureAdded) {
    struct {
        std::string text, saved;
    } cases[] = {
        {"\\documentclass{article}\n\\begin{document}\nText.\n\\end{document}\n% after\n",
         "\\documentclass{article}\n\\begin{document}\nText.\n\n" + ownLine + "\\end{document}\n% after\n"},
        // The last \end{document} outside comments.
        {"Text.\\end{document}\n% \\end{document}\n",
         "Text.\n\n" + ownLine + "\\end{document}\n% \\end{document}\n"},
        {"A chapter without a line end", "A chapter without a line end\n\n" + ownLine},
        {"A paragraph.\n\n", "A paragraph.\n\n" + ownLine},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.text);
        Picture p;
        std::string out = savedInPlace(c.text, &p, 0, drawLine);
        EXPECT_EQ(p.count, 0);
        EXPECT_EQ(out, c.saved);
        // Read back, the added picture is edited in its place: saved again
        // without edits, the file stays as it is.
        Picture q;
        EXPECT_EQ(savedInPlace(out, &q), out);
        EXPECT_EQ(q.count, 1);
    }
    // A blank file has nothing to keep: the editor's own form.
    Picture blank = readPictureText(" \n\n");
    InPlace place;
    EXPECT_FALSE(surroundingsOf(blank, &place));
}

TEST(InPlace, AChapterWithAnAddedPictureCompiles) {
    Picture p;
    std::string out = savedInPlace("Some text of a chapter, 50\\% of it.", &p, 0, drawLine);
    std::string dir = harness::scratchDir();
    std::ofstream(dir + "/picture.tex") << out;
    EXPECT_EQ(harness::latexFailure(dir, "picture"), "");
}

TEST(InPlace, ALongLabelOfFig2devComesBackByteForByte) {
    std::string text = harness::readFile(collection() + "fig2dev-long-label.tex");
    const std::string label =
        "{\\smash{{\\SetFigFont{10}{12.0}{\\rmdefault}{\\mddefault}{\\updefault}{\\color[rgb]{0,0,0}A label as long "
        "as a whole sentence under a figure, which runs on past the hundred and twenty-seven characters that a "
        "text once held.}%\n}}}";
    ASSERT_NE(text.find(label), std::string::npos);
    Picture p;
    std::string out = savedInPlace(text, &p);
    EXPECT_NE(out.find("\\makebox(0.00,0.00)[bl]" + label + "}\n"), std::string::npos) << out;
    // Saved again, nothing changes.
    Picture q;
    EXPECT_EQ(savedInPlace(out, &q), out);
}
