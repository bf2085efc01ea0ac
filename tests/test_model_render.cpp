// The picture collection of tests/pictures through load and save: LaTeX
// must draw the saved file as it draws the original. Both are rendered
// with latex and dvipng, cropped to their ink, and compared with a
// tolerance of one pixel; at most 2 % of the ink may differ, and the
// saved file may give no LaTeX error the original did not give.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "harness/Files.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Reader.h"
#include "picfile/Units.h"
#include "picfile/Writer.h"

namespace fs = std::filesystem;

namespace {

// A grey image: true where there is ink.
struct Ink {
    int width = 0, height = 0;
    std::vector<bool> dark;
    bool at(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height && dark[y * width + x]; }
    long count() const {
        long n = 0;
        for (bool d : dark) n += d;
        return n;
    }
};

int run(const std::string &command) {
    int status = system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The document both renderings use: what fig2dev's output needs besides
// the picture (colour, its font macro, which the picture defines only
// for itself) and no page number.
void writeDocument(const std::string &dir) {
    std::ofstream(dir + "/doc.tex")
        << "\\documentclass{article}\n\\usepackage{color}\n\\pagestyle{empty}\n"
           "\\makeatletter\\gdef\\SetFigFont#1#2#3#4#5{\\reset@font\\fontsize{#1}{#2pt}"
           "\\fontfamily{#3}\\fontseries{#4}\\fontshape{#5}\\selectfont}\\makeatother\n"
           "\\begin{document}\n\\input{picture}\n\\end{document}\n";
}

// Renders picture.tex of dir; returns the LaTeX errors ("! ..." lines).
std::vector<std::string> render(const std::string &dir, Ink *ink) {
    writeDocument(dir);
    run("cd '" + dir + "' && latex -interaction=nonstopmode doc.tex >run.log 2>&1 </dev/null");
    std::vector<std::string> errors;
    std::istringstream log(harness::readFile(dir + "/doc.log"));
    for (std::string line; std::getline(log, line);)
        if (line.rfind("! ", 0) == 0) errors.push_back(line);
    EXPECT_EQ(run("cd '" + dir + "' && dvipng -q -T tight -D 200 -o page.png doc.dvi >/dev/null 2>&1 && "
                  "convert page.png -colorspace Gray -compress none page.pgm"),
              0)
        << dir;
    std::istringstream pgm(harness::readFile(dir + "/page.pgm"));
    std::string magic;
    int maxValue = 0;
    pgm >> magic >> ink->width >> ink->height >> maxValue;
    ink->dark.assign(static_cast<size_t>(ink->width) * ink->height, false);
    for (size_t i = 0; i < ink->dark.size(); i++) {
        int v = maxValue;
        pgm >> v;
        ink->dark[i] = v < maxValue / 2;
    }
    return errors;
}

// Ink of a that b, moved by (ox, oy), has nowhere within one pixel.
long unmatched(const Ink &a, const Ink &b, int ox, int oy) {
    long n = 0;
    for (int y = 0; y < a.height; y++)
        for (int x = 0; x < a.width; x++) {
            if (!a.at(x, y)) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; dy++)
                for (int dx = -1; dx <= 1 && !near; dx++) near = b.at(x + dx - ox, y + dy - oy);
            n += !near;
        }
    return n;
}

// The ink that differs, in percent of all ink of both. Each image is
// cropped to its ink, and a shift of the whole by less than a pixel can
// move a crop edge by one: the images are laid over each other as they
// fit best within one pixel.
double differingInk(const Ink &a, const Ink &b) {
    long best = -1;
    for (int oy = -1; oy <= 1; oy++)
        for (int ox = -1; ox <= 1; ox++) {
            long n = unmatched(a, b, ox, oy) + unmatched(b, a, -ox, -oy);
            if (best < 0 || n < best) best = n;
        }
    return 100.0 * best / (a.count() + b.count());
}

void quiet(const char *) {}

// Loads the picture file and saves it as the editor does.
void loadAndSave(const std::string &from, const std::string &to) {
    freeAllObjects();
    unitValue = 1, unitIndex = 0;
    setUnitScale(1);
    zoomFactor = 1;
    FILE *f = openPictureFile(from.c_str());
    ASSERT_NE(f, nullptr) << from;
    testing::internal::CaptureStderr();
    Picture picture = readPicture(f);
    std::string warnings = testing::internal::GetCapturedStderr();
    fclose(f);
    objectList = picture.objects;
    rescaleAll(pixelsPerUnit);
    ASSERT_TRUE(savePicture(to.c_str(), quiet, ".old")) << warnings;
    freeAllObjects();
}

std::string sourceDir() {
    const char *dir = getenv("VEXILO_SOURCE_DIR");
    return dir ? dir : ".";
}

}  // namespace

TEST(PictureCollection, LoadThenSaveDrawsTheSame) {
    ASSERT_EQ(run("command -v latex >/dev/null && command -v dvipng >/dev/null && command -v convert >/dev/null"), 0)
        << "the test needs latex, dvipng and ImageMagick's convert (scripts/install-deps installs them)";
    std::vector<fs::path> files;
    for (const auto &entry : fs::directory_iterator(sourceDir() + "/tests/pictures"))
        if (entry.path().extension() == ".tex") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 6u);
    std::string dir = harness::scratchDir();
    double total = 0, worst = 0;
    for (const fs::path &file : files) {
        SCOPED_TRACE(file.filename().string());
        std::string original = dir + "/original", saved = dir + "/saved";
        fs::create_directories(original);
        fs::create_directories(saved);
        fs::copy_file(file, original + "/picture.tex", fs::copy_options::overwrite_existing);
        loadAndSave(file, saved + "/picture.tex");
        Ink before, after;
        std::vector<std::string> errorsBefore = render(original, &before);
        std::vector<std::string> errorsAfter = render(saved, &after);
        for (const std::string &e : errorsAfter)
            EXPECT_NE(std::find(errorsBefore.begin(), errorsBefore.end(), e), errorsBefore.end())
                << "a new LaTeX error: " << e << "\n" << harness::readFile(saved + "/picture.tex");
        ASSERT_GT(before.count() + after.count(), 0);
        double differing = differingInk(before, after);
        total += differing;
        worst = std::max(worst, differing);
        printf("%-28s ink differing %6.2f %%\n", file.filename().c_str(), differing);
        EXPECT_LE(differing, 2.0) << harness::readFile(saved + "/picture.tex");
    }
    printf("mean %.2f %%, worst %.2f %% over %zu files\n", total / files.size(), worst, files.size());
    (void)run("rm -rf '" + dir + "'");
}

TEST(PictureCollection, AnEditInPlaceDrawsTheOriginalPlusTheEdit) {
    std::string dir = harness::scratchDir();
    for (const char *name : {"kept-verbatim.tex", "manual-objects.tex"}) {
        SCOPED_TRACE(name);
        std::string text = harness::readFile(sourceDir() + "/tests/pictures/" + name);
        freeAllObjects();
        unitValue = 1, unitIndex = 0;
        setUnitScale(1);
        zoomFactor = 1;
        testing::internal::CaptureStderr();
        Picture picture = readPictureText(text, 0);
        testing::internal::GetCapturedStderr();
        objectList = picture.objects;
        rescaleAll(pixelsPerUnit);
        // The edit: a circle of diameter 20 around the file's point (30, 50).
        ObjRecord *circle = ObjNew(ObjCircle);
        circle->x = 30 * pixelsPerUnit, circle->y = -50 * pixelsPerUnit, circle->x2 = 10 * pixelsPerUnit;
        linkObject(circle);
        InPlace place;
        ASSERT_TRUE(surroundingsOf(picture, &place));
        inPlace = &place;
        std::string edited = dir + "/edited", expected = dir + "/expected";
        fs::create_directories(edited);
        fs::create_directories(expected);
        ASSERT_TRUE(savePicture((edited + "/picture.tex").c_str(), quiet, ".old"));
        inPlace = nullptr;
        freeAllObjects();
        std::string plus = text;
        plus.insert(plus.find("\\end{picture}"), "\\put(30,50){\\circle{20}}\n");
        std::ofstream(expected + "/picture.tex") << plus;
        Ink want, got;
        std::vector<std::string> errorsWanted = render(expected, &want);
        std::vector<std::string> errorsGot = render(edited, &got);
        EXPECT_EQ(errorsGot, errorsWanted);
        double differing = differingInk(want, got);
        printf("%-28s edited in place: ink differing %6.2f %%\n", name, differing);
        EXPECT_LE(differing, 2.0) << harness::readFile(edited + "/picture.tex");
    }
    (void)run("rm -rf '" + dir + "'");
}
