// vexilo: an editor for LaTeX picture drawings.
#include "shell/Startup.h"

int main(int argc, char **argv) {
    startVexilo(argc, argv);
    runVexilo();
    return 0;
}
