// Start-up: the toolkit, the resources, the whole main window.
#ifndef VEXILO_STARTUP_H
#define VEXILO_STARTUP_H

// Runs the whole start-up short of the main loop: everything up to the
// title. Tests drive the program from here.
void startVexilo(int argc, char **argv);
// Enters the toolkit's main loop; does not return.
[[noreturn]] void runVexilo();

#endif
