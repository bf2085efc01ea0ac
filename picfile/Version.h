// The program's version strings: the window title and the header line of
// every saved picture show them as "2.4.1".
#ifndef VEXILO_VERSION_H
#define VEXILO_VERSION_H

const char versionMajor[] = "2";
const char versionMinor[] = "4.1";

#endif
