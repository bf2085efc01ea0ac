#include "harness/Latex.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "harness/Files.h"

namespace harness {

std::string latexFailure(const std::string &dir, const std::string &picture) {
    if (system("command -v latex >/dev/null 2>&1") != 0)
        return "latex not found: the tests need Debian's texlive-latex-base (scripts/install-deps installs it)";
    std::ofstream(dir + "/doc.tex") << "\\documentclass{article}\n\\begin{document}\n\\input{" << picture
                                    << "}\n\\end{document}\n";
    std::string cmd = "cd '" + dir + "' && latex -interaction=nonstopmode -halt-on-error doc.tex >run.log 2>&1 </dev/null";
    int status = system(cmd.c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && access((dir + "/doc.dvi").c_str(), F_OK) == 0) return "";
    return "latex failed:\n" + readFile(dir + "/run.log");
}

}  // namespace harness
