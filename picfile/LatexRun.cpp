#include "picfile/LatexRun.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "picfile/Writer.h"

LatexScale latexScale(double pixelsPerPoint) {
    double want = 72.27 * pixelsPerPoint;
    if (!(want > 0.01)) want = 0.01;
    if (want > 100000) want = 100000;
    LatexScale best = {1, 1000, 1.0};
    double bestError = -1;
    long centre = std::lround(want);
    for (long dpi = centre - 25; dpi <= centre + 25; dpi++) {
        if (dpi < 1) continue;
        long mag = std::lround(1000 * want / dpi);
        if (mag < 1) mag = 1;
        double resolution = dpi * mag / 1000.0;
        double error = std::fabs(resolution - want);
        if (bestError < 0 || error < bestError) {
            best = {static_cast<int>(dpi), static_cast<int>(mag), resolution};
            bestError = error;
        }
    }
    return best;
}

// A length in TeX points for a number of image pixels, "." whatever the locale.
static std::string points(int pixels, double resolution) {
    char s[340];
    *formatFixed(s, pixels * 72.27 / resolution, 5) = '\0';
    return std::string(s) + "pt";
}

std::string latexDocument(const LatexRequest &r) {
    // The primitive \shipout puts the box's top-left corner at (\hoffset,
    // \voffset); with no height, that corner is the picture's origin.
    return "\\documentclass{article}\n"
           "\\begin{document}\n"
           "\\setbox0=\\hbox{\\input{picture}}%\n"
           "\\ht0=0pt \\dp0=0pt\n"
           "\\hoffset=" + points(r.originX, r.scale.resolution) +
           " \\voffset=" + points(r.originY, r.scale.resolution) + "\n"
           "\\csname tex_shipout:D\\endcsname\\box0\n"
           "\\end{document}\n";
}

// ---------------------------------------------------------------------
// The child process. It allocates only before it starts a tool and runs
// on the copy of the parent's memory that fork gave it.

namespace {

bool writeAll(int fd, const void *data, size_t n) {
    const char *p = static_cast<const char *>(data);
    while (n > 0) {
        ssize_t k = write(fd, p, n);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return false;
        p += k;
        n -= static_cast<size_t>(k);
    }
    return true;
}

bool writeFile(const std::string &path, const std::string &text) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = writeAll(fd, text.data(), text.size());
    return close(fd) == 0 && ok;
}

std::string readWhole(const std::string &path) {
    std::string text;
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return text;
    char buf[65536];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) text.append(buf, static_cast<size_t>(n));
    close(fd);
    return text;
}

// Runs a tool in the current directory, its output in tools.out, its
// input empty; a tool that runs for more than a minute is stopped.
ToolStatus runTool(const std::vector<std::string> &args) {
    std::vector<char *> argv;
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    int out = open("tools.out", O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    pid_t pid = fork();
    if (pid < 0) return toolFailed;
    if (pid == 0) {
        if (in >= 0) dup2(in, 0);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        signal(SIGPIPE, SIG_DFL);
        alarm(60);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (out >= 0) close(out);
    if (in >= 0) close(in);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return toolFailed;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return toolDone;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return toolMissing;
    return toolFailed;
}

void removeDirectory(const std::string &dir) {
    if (DIR *d = opendir(dir.c_str())) {
        while (struct dirent *e = readdir(d))
            if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0)
                unlink((dir + "/" + e->d_name).c_str());
        closedir(d);
    }
    rmdir(dir.c_str());
}

void report(int fd, ToolStatus latex, ToolStatus dvipng, const std::string &log, const std::string &png) {
    unsigned char head[6] = {latex, dvipng};
    uint32_t n = static_cast<uint32_t>(log.size());
    memcpy(head + 2, &n, 4);
    if (writeAll(fd, head, sizeof head) && writeAll(fd, log.data(), log.size()))
        writeAll(fd, png.data(), png.size());
}

[[noreturn]] void child(const LatexRequest &r, const std::string &document, int fd) {
    signal(SIGPIPE, SIG_IGN);  // a parent that went away must not stop the clean-up
    const char *tmp = getenv("TMPDIR");
    std::string dir = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/vexilo-latex-XXXXXX";
    if (!mkdtemp(&dir[0])) {
        report(fd, toolNoRoom, toolNotRun, "", "");
        _exit(0);
    }
    ToolStatus latex = toolNoRoom, dvipng = toolNotRun;
    std::string log, png;
    if (chdir(dir.c_str()) == 0 && writeFile("picture.tex", r.picture) && writeFile("doc.tex", document)) {
        // Fonts come from the installed tree only: nothing is generated
        // into the user's home directory.
        setenv("MKTEXPK", "0", 1);
        setenv("MKTEXTFM", "0", 1);
        setenv("MKTEXFMT", "0", 1);
        setenv("openout_any", "p", 1);
        latex = runTool({"latex", "-no-shell-escape", "-interaction=nonstopmode", "doc.tex"});
        log = readWhole("doc.log");
        if (latex != toolMissing && access("doc.dvi", F_OK) == 0) {
            char size[700];
            char *e = formatFixed(size, r.width / static_cast<double>(r.scale.dpi), 6);
            e = stpcpy(e, "in,");
            e = formatFixed(e, r.height / static_cast<double>(r.scale.dpi), 6);
            strcpy(e, "in");
            dvipng = runTool({"dvipng", "-q", "-D", std::to_string(r.scale.dpi), "-x", std::to_string(r.scale.mag),
                              "-O", "0in,0in", "-T", size, "-bg", "rgb 1 1 1", "-fg", "rgb 0 0 0", "-z", "1",
                              "-o", "doc.png", "doc.dvi"});
            if (dvipng == toolDone) png = readWhole("doc.png");
        }
    }
    (void)!chdir("/");
    removeDirectory(dir);
    report(fd, latex, dvipng, log, png);
    _exit(0);
}

}  // namespace

pid_t startLatexRun(const LatexRequest &request, int *fd) {
    std::string document = latexDocument(request);
    int p[2];
    if (pipe2(p, O_CLOEXEC) != 0) return -1;
    pid_t pid = fork();
    if (pid < 0) {
        close(p[0]);
        close(p[1]);
        return -1;
    }
    if (pid == 0) {
        close(p[0]);
        child(request, document, p[1]);
    }
    close(p[1]);
    fcntl(p[0], F_SETFL, fcntl(p[0], F_GETFL) | O_NONBLOCK);
    *fd = p[0];
    return pid;
}

LatexOutput parseLatexOutput(const std::string &bytes) {
    LatexOutput out;
    if (bytes.size() < 6) return out;
    uint32_t n;
    memcpy(&n, bytes.data() + 2, 4);
    if (bytes[0] > toolNoRoom || bytes[1] > toolNoRoom || n > bytes.size() - 6) return out;
    out.latex = static_cast<ToolStatus>(bytes[0]);
    out.dvipng = static_cast<ToolStatus>(bytes[1]);
    out.log = bytes.substr(6, n);
    out.png = bytes.substr(6 + n);
    out.complete = true;
    return out;
}

// ---------------------------------------------------------------------
// The log.

// The control sequence a context line ends with: LaTeX shows the input
// up to the token it could not use.
static std::string lastControlSequence(const std::string &context) {
    size_t end = context.find_last_not_of(" \r");
    if (end == std::string::npos) return "";
    size_t start = end + 1;
    while (start > 0 && (isalpha(static_cast<unsigned char>(context[start - 1])) || context[start - 1] == '@'))
        start--;
    if (start == end + 1 && end > 0 && context[end - 1] == '\\') return context.substr(end - 1, 2);
    if (start > 0 && context[start - 1] == '\\') return context.substr(start - 1, end + 2 - start);
    return "";
}

LatexProblem readLatexLog(const std::string &log) {
    LatexProblem firstUndefined, problem;
    size_t pos = 0;
    while (pos < log.size()) {
        size_t eol = log.find('\n', pos);
        if (eol == std::string::npos) eol = log.size();
        std::string line = log.substr(pos, eol - pos);
        pos = eol + 1;
        if (line.compare(0, 2, "! ") != 0) continue;
        LatexProblem p;
        p.text = line.substr(2);
        // The context follows, innermost first, each level's text up to
        // the token TeX took last; the input line is "l.<n> <text>".
        size_t firstEnd = log.find('\n', pos);
        std::string context = log.substr(pos, firstEnd == std::string::npos ? std::string::npos : firstEnd - pos);
        if (context.compare(0, 2, "l.") == 0) context = context.substr(context.find(' ') == std::string::npos ? context.size() : context.find(' '));
        for (size_t q = pos; q < log.size();) {
            size_t e = log.find('\n', q);
            if (e == std::string::npos) e = log.size();
            std::string next = log.substr(q, e - q);
            q = e + 1;
            if (next.compare(0, 2, "! ") == 0) break;
            if (next.size() > 2 && next[0] == 'l' && next[1] == '.' && isdigit(static_cast<unsigned char>(next[2]))) {
                p.line = atoi(next.c_str() + 2);
                break;
            }
        }
        std::string macro = p.text == "Undefined control sequence." ? lastControlSequence(context) : "";
        if (!macro.empty()) {
            if (firstUndefined.kind == LatexProblem::none) {
                firstUndefined = p;
                firstUndefined.kind = LatexProblem::undefinedMacro;
                firstUndefined.text = macro;
            }
            continue;
        }
        problem = p;
        problem.kind = LatexProblem::error;
        return problem;
    }
    return firstUndefined;
}
