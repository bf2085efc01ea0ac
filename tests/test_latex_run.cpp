// Running LaTeX for the canvas: resolution, document, the child's report,
// LaTeX's log and the image.
#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <string>

#include "picfile/LatexImage.h"
#include "picfile/LatexRun.h"

TEST(LatexScale, ReachesTheWantedResolutionExactly) {
    struct {
        double pixelsPerPoint;
        long dotsTimesMag;  // dpi * mag, 1000 times the resolution
    } cases[] = {
        {1.0, 72270},                 // 1 pt at zoom 100 %
        {2.0, 144540},                // zoom 200 %
        {0.25, 18067},                // zoom 25 %: 18.0675 has no exact pair; the nearest
        {30 / 28.452755, 76200},      // 1 cm shown as 30 pixels: 76.2 dpi
    };
    for (const auto &c : cases) {
        LatexScale s = latexScale(c.pixelsPerPoint);
        EXPECT_EQ(static_cast<long>(s.dpi) * s.mag, c.dotsTimesMag) << c.pixelsPerPoint;
        EXPECT_DOUBLE_EQ(s.resolution, s.dpi * s.mag / 1000.0);
    }
}

TEST(LatexDocument, PutsThePictureOriginOnTheRequestedPixel) {
    LatexRequest r;
    r.scale = {73, 990, 72.27};
    r.originX = 36;
    r.originY = 140;
    std::string doc = latexDocument(r);
    EXPECT_NE(doc.find("\\input{picture}"), std::string::npos);
    EXPECT_NE(doc.find("\\hoffset=36.00000pt \\voffset=140.00000pt"), std::string::npos) << doc;
    r.scale = {146, 990, 144.54};  // two pixels a point
    EXPECT_NE(latexDocument(r).find("\\hoffset=18.00000pt \\voffset=70.00000pt"), std::string::npos);
}

TEST(LatexOutput, ReadsTheChildsReport) {
    std::string bytes("\x00\x02\x03\x00\x00\x00logPNG", 12);
    LatexOutput out = parseLatexOutput(bytes);
    EXPECT_TRUE(out.complete);
    EXPECT_EQ(out.latex, toolDone);
    EXPECT_EQ(out.dvipng, toolMissing);
    EXPECT_EQ(out.log, "log");
    EXPECT_EQ(out.png, "PNG");
    for (std::string broken : {std::string(), std::string("\x00\x00\x09\x00\x00\x00log", 9),
                               std::string("\x07\x00\x00\x00\x00\x00", 6)})
        EXPECT_FALSE(parseLatexOutput(broken).complete);
}

TEST(LatexLog, FindsTheFirstProblem) {
    struct {
        const char *log;
        LatexProblem::Kind kind;
        const char *text;
        int line;
    } cases[] = {
        {"This is pdfTeX\n(./doc.tex\n[1] )\nOutput written on doc.dvi (1 page, 196 bytes).\n", LatexProblem::none, "", 0},
        {"(./picture.tex\n! Missing $ inserted.\n<inserted text> \n                $\nl.4 ...{\\makebox(0.00,0.00){x^\n"
         "                                                  2}}\n! Missing $ inserted.\nl.5 \\end\n",
         LatexProblem::error, "Missing $ inserted.", 4},
        // A macro used in an argument: the innermost context ends with it.
        {"! Undefined control sequence.\n<argument> a \\foo \n                  b\nl.4 ...0,0.00){\\makebox(0.00,0.00){a \\foo b}}\n",
         LatexProblem::undefinedMacro, "\\foo", 4},
        {"! Undefined control sequence.\nl.7 \\put(1,2){\\bar\n                 }}\n", LatexProblem::undefinedMacro, "\\bar", 7},
        // Undefined macros are borne with; the first other error is not.
        {"! Undefined control sequence.\nl.4 \\foo\n\n! LaTeX Error: Bad \\line or \\vector argument.\n\nl.6 ...\\line(10,7){3.00}}\n",
         LatexProblem::error, "LaTeX Error: Bad \\line or \\vector argument.", 6},
        {"! Emergency stop.\n<*> doc.tex\n", LatexProblem::error, "Emergency stop.", 0},
    };
    for (const auto &c : cases) {
        LatexProblem p = readLatexLog(c.log);
        EXPECT_EQ(p.kind, c.kind) << c.log;
        EXPECT_EQ(p.text, c.text) << c.log;
        EXPECT_EQ(p.line, c.line) << c.log;
    }
}

TEST(LatexImage, DecodesInkCoverage) {
    png_image p;
    memset(&p, 0, sizeof p);
    p.version = PNG_IMAGE_VERSION;
    p.width = 3;
    p.height = 2;
    p.format = PNG_FORMAT_GRAY;
    const unsigned char gray[6] = {255, 0, 128, 255, 255, 64};
    png_alloc_size_t size = 0;
    ASSERT_TRUE(png_image_write_to_memory(&p, nullptr, &size, 0, gray, 0, nullptr));
    std::string png(size, '\0');
    ASSERT_TRUE(png_image_write_to_memory(&p, &png[0], &size, 0, gray, 0, nullptr));
    png.resize(size);

    LatexImage image;
    ASSERT_TRUE(decodeLatexImage(png, &image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.coverage, (std::vector<unsigned char>{0, 255, 127, 0, 0, 191}));
    EXPECT_FALSE(decodeLatexImage(png, &image, 5));  // more pixels than allowed
    EXPECT_EQ(image.width, 0);
    EXPECT_FALSE(decodeLatexImage("not a PNG at all", &image));
    EXPECT_FALSE(decodeLatexImage(png.substr(0, png.size() / 2), &image));
}
