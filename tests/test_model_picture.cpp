// Reading and writing picture files with the model alone: no canvas, no
// shell, no X display.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "harness/Files.h"
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
