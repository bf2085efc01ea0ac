// Typesetting the drawing with the real LaTeX tools: the document around
// the picture, the resolution dvipng is run at, the child process that
// runs latex and dvipng in a private temporary directory, and reading
// what it reports back.
#ifndef VEXILO_LATEXRUN_H
#define VEXILO_LATEXRUN_H

#include <sys/types.h>

#include <string>

// dvipng's resolution is a whole number of dots per inch (-D) times a
// magnification in thousandths (-x); the pair closest to the wanted
// resolution.
struct LatexScale {
    int dpi;
    int mag;
    double resolution;  // dpi * mag / 1000: image pixels per inch
};
LatexScale latexScale(double pixelsPerPoint);

// One rendering: the picture source as it is saved, the scale, and the
// image: its size and the pixel the picture's origin (its lower-left
// corner) lands on. The rest of the image is margin for ink outside the
// picture's box (texts, arrow heads).
struct LatexRequest {
    std::string picture;
    LatexScale scale;
    int originX, originY;
    int width, height;
};

// The document that \inputs picture.tex and ships it out alone, its
// origin at the request's pixel.
std::string latexDocument(const LatexRequest &request);

// Forks the child that writes picture.tex and the document into a new
// directory below $TMPDIR (or /tmp), runs latex and dvipng there, sends
// back what they made and removes the directory. Returns the child's
// process id and, in *fd, the non-blocking read end of the pipe it
// reports on (end of file when it is done); -1 when no child could be
// started.
pid_t startLatexRun(const LatexRequest &request, int *fd);

enum ToolStatus : unsigned char {
    toolDone = 0,     // ran and exited with status 0
    toolFailed = 1,   // ran and failed (or was stopped after a minute)
    toolMissing = 2,  // could not be run: not on the PATH
    toolNotRun = 3,   // not needed: an earlier step failed
    toolNoRoom = 4    // no temporary directory or files
};

// What the child sent: how each tool ended, LaTeX's log and the image.
struct LatexOutput {
    bool complete = false;  // the whole report arrived
    ToolStatus latex = toolNotRun, dvipng = toolNotRun;
    std::string log, png;
};
LatexOutput parseLatexOutput(const std::string &bytes);

// The first problem in a LaTeX log. An undefined control sequence is
// told apart, with the macro's name, since LaTeX typesets the rest.
struct LatexProblem {
    enum Kind { none, undefinedMacro, error } kind = none;
    std::string text;  // the error line without "! ", or the macro's name
    int line = 0;      // the input line it was found on; 0 when unknown
};
LatexProblem readLatexLog(const std::string &log);

#endif
