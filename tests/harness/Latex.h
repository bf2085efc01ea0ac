// Running LaTeX on a saved picture.
#ifndef VEXILO_TEST_LATEX_H
#define VEXILO_TEST_LATEX_H

#include <string>

namespace harness {

// Compiles, in directory dir, a document that \inputs the picture file
// picture.tex. Returns "" when latex made a DVI file without error, else
// what went wrong: that latex is missing, or its log.
std::string latexFailure(const std::string &dir, const std::string &picture);

}  // namespace harness

#endif
