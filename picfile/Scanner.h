// Splitting picture source into tokens.
#ifndef VEXILO_SCANNER_H
#define VEXILO_SCANNER_H

#include <cstdio>

enum TokenCode {
    tokEnd = 0,
    tokBeginPicture = 1,
    tokEndPicture = 2,
    tokText = 3,
    tokPosition = 4,
    tokNumber = 5,
    tokPut = 6,
    tokFramebox = 7,
    tokDashbox = 8,
    tokLine = 9,
    tokVector = 10,
    tokCircle = 11,
    tokDisc = 12,
    tokOval = 13,
    tokRule = 14,
    tokMakebox = 15,
    tokBezierCount = 16,  // \bezier, or \qbezier[ : a point count follows
    tokQbezier = 17,
    tokUnitNumber = 20,   // the number of a \unitlength assignment
    tokUnit = 21,
    tokUnitlength = 22,   // \unitlength used as a unit
    tokThicklines = 23,
    tokThinlines = 24
};

// Token values, valid until the next call of nextToken.
extern float tokenNumber;
extern int tokenUnit;
extern char tokenText[128];
// The line being read, counted from 1.
extern int lineNumber;

void startScan(FILE *file);
int nextToken();
// True when reading the file failed; the scan then ended as if at its end.
bool scanReadFailed();

#endif
