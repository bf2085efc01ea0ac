// Splitting picture source into tokens.
#ifndef VEXILO_SCANNER_H
#define VEXILO_SCANNER_H

#include <cstdio>
#include <string>

enum TokenCode {
    tokEnd = 0,
    tokBeginPicture = 1,
    tokEndPicture = 2,
    tokText = 3,          // a box's text: tokenString holds it
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
    tokThinlines = 24,
    tokPutText = 26,      // a \put's text up to the \put's closing brace, which it takes: tokenString
    tokMultiput = 27,
    tokLinethickness = 28,
    tokRuleRaise = 29,    // \rule followed by "[": a raise comes first
    tokOpen = 30,         // "{" of a group or an argument in the picture
    tokClose = 31,        // "}"
    tokUsebox = 32,       // \usebox{\name}: tokenText holds the name
    tokSavebox = 33,      // \sbox{\name} or \savebox{\name}: its contents follow
    tokUnknown = 34       // a command the picture has no use for: tokenText holds its name
};

// Token values, valid until the next call of nextToken.
extern float tokenNumber;
extern int tokenUnit;
extern char tokenText[128];
// The whole text of a text token (tokText, tokPutText), of any length.
extern std::string tokenString;
// The line being read, counted from 1.
extern int lineNumber;
// Byte offsets of the token last returned in the input: its first byte
// and the one after its last.
extern long tokenStart, tokenEnd;

void startScan(FILE *file);
int nextToken();
// The box whose text the scanner waits for has none: the next "{" opens a
// group again.
void forgetBoxText();
// Characters or text the scanner has skipped with a message of its own.
int scanProblems();
// True when reading the file failed; the scan then ended as if at its end.
bool scanReadFailed();

#endif
