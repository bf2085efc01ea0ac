#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "picfile/Scanner.h"

namespace {

// The tokens of a text, each as its code with its value: "5(2.5)",
// "21(0)", "3'text'", "4'bl'".
std::string scan(const std::string &input, std::string *err = nullptr, std::string *out = nullptr) {
    FILE *f = fmemopen(const_cast<char *>(input.data()), input.size(), "r");
    startScan(f);
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    std::string tokens;
    for (int t; (t = nextToken()) != tokEnd;) {
        if (!tokens.empty()) tokens += " ";
        char buf[200];
        if (t == tokNumber || t == tokUnitNumber)
            snprintf(buf, sizeof buf, "%d(%g)", t, tokenNumber);
        else if (t == tokUnit)
            snprintf(buf, sizeof buf, "%d(%d)", t, tokenUnit);
        else if (t == tokPosition || t == tokUsebox || t == tokSavebox)
            snprintf(buf, sizeof buf, "%d'%s'", t, tokenText);
        else
            snprintf(buf, sizeof buf, "%d", t);
        tokens += buf;
        if (t == tokText || t == tokPutText) tokens += "'" + tokenString + "'";
    }
    EXPECT_EQ(nextToken(), tokEnd);  // and on returning 0
    std::string e = testing::internal::GetCapturedStderr(), o = testing::internal::GetCapturedStdout();
    if (err) *err = e;
    if (out) *out = o;
    fclose(f);
    return tokens;
}

const std::string body = "\\begin{picture}(0,0)\n";

}  // namespace

TEST(Scanner, TokensOfTheEditorsOwnFiles) {
    std::string file =
        "{% Picture saved by vexilo 2.4.1\n\\unitlength=1.000000pt\n"
        "\\begin{picture}(55.00,45.00)(0.00,0.00)\n"
        "\\put(5.00,45.00){\\makebox(0.00,0.00)[bl]{A}}\n"
        "\\put(10.00,30.00){\\dashbox{2.00}(20.00,10.00){Hi}}\n"
        "\\put(50.00,20.00){\\circle*{10.00}}\n"
        "\\put(0.00,0.00){\\vector(3,-1){30.00}}\n"
        "\\put(1.00,2.00){\\rule{20.00\\unitlength}{10.00\\unitlength}}\n"
        "\\put(20.00,10.00){\\oval(40.00,20.00)}\n"
        "\\qbezier(1.00,2.00)(3.00,4.00)(5.00,6.00)\n"
        "\\end{picture}}\n";
    std::string err;
    EXPECT_EQ(scan(file, &err),
              "20(1) 21(0) 1 5(55) 5(45) 5(0) 5(0) "
              "6 5(5) 5(45) 30 15 5(0) 5(0) 4'bl' 3'A' 31 "
              "6 5(10) 5(30) 30 8 30 5(2) 31 5(20) 5(10) 3'Hi' 31 "
              "6 5(50) 5(20) 30 12 30 5(10) 31 31 "
              "6 5(0) 5(0) 30 10 5(3) 5(-1) 30 5(30) 31 31 "
              "6 5(1) 5(2) 30 14 30 5(20) 22 31 30 5(10) 22 31 31 "
              "6 5(20) 5(10) 30 13 5(40) 5(20) 31 "
              "17 5(1) 5(2) 5(3) 5(4) 5(5) 5(6) 2 31");
    EXPECT_EQ(err, "");
    EXPECT_EQ(lineNumber, 12);  // after the last newline
}

TEST(Scanner, EdgeCases) {
    struct {
        std::string input;
        std::string tokens;
        std::string err;
        std::string out;
    } cases[] = {
        {"\\put(1,2){Hello}", "6 5(1) 5(2) 30 26'Hello'", "", ""},
        {"\\put(50,20){\\circle*{10}}", "6 5(50) 5(20) 30 12 30 5(10) 31 31", "", ""},
        {"\\put(1,2){\\rule{5pt}{3\\unitlength}}", "6 5(1) 5(2) 30 14 30 5(5) 21(0) 31 30 5(3) 22 31 31", "", ""},
        {"\\put(1,2){\\rule[-.2pt]{4ex}{1.5em}}", "6 5(1) 5(2) 30 29 5(-0.2) 21(0) 30 5(4) 21(10) 31 30 5(1.5) 21(9) 31 31", "", ""},
        {"\\qbezier[20](1,2)(3,4)(5,6)", "16 5(20) 5(1) 5(2) 5(3) 5(4) 5(5) 5(6)", "", ""},
        {"\\qbezier [20](1,2)(3,4)(5,6)", "16 5(20) 5(1) 5(2) 5(3) 5(4) 5(5) 5(6)", "", ""},
        {"\\qbezier(1,2)(3,4)(5,6)", "17 5(1) 5(2) 5(3) 5(4) 5(5) 5(6)", "", ""},
        {"\\bezier{20}(1,2)(3,4)(5,6)", "16 30 5(20) 31 5(1) 5(2) 5(3) 5(4) 5(5) 5(6)", "", ""},
        {"\\put(0,0){ {\\bf x}}", "6 5(0) 5(0) 30 26'{\\bf x}'", "", ""},
        {"\\put(0,0){\\framebox(2,1)[tr]{a{b{c}}d}}", "6 5(0) 5(0) 30 7 5(2) 5(1) 4'tr' 3'a{b{c}}d' 31", "", ""},
        {"\\put(0,0){two\nlines}x", "6 5(0) 5(0) 30 26'two\nlines'", "yylex: unrecognized char 'x' (0X78) in line 3\n", ""},
        {"\\put(0,0){\\dashbox{2}(10,5){x}}", "6 5(0) 5(0) 30 8 30 5(2) 31 5(10) 5(5) 3'x' 31", "", ""},
        {"\\put(1,2){}", "6 5(1) 5(2) 30 31", "", ""},
        {"\\put(0,0){a\\{b}", "6 5(0) 5(0) 30 26'a\\{b'", "", ""},  // an escaped brace opens no group
        {"\\put(0,0){\\}x}", "6 5(0) 5(0) 30 26'\\}x'", "", ""},
        // Several objects in one \put, and a \put in a \put.
        {"\\put(2,3){\\circle{3}\\put(1,0){\\vector(0,1){5}}}", "6 5(2) 5(3) 30 11 30 5(3) 31 6 5(1) 5(0) 30 10 5(0) 5(1) 30 5(5) 31 31 31", "", ""},
        {"\\multiput(1,2)(3,-4){5}{\\circle*{1}}", "27 5(1) 5(2) 5(3) 5(-4) 30 5(5) 31 30 12 30 5(1) 31 31", "", ""},
        {"\\put(1,1){\\usebox{\\plotpoint}}", "6 5(1) 5(1) 30 32'plotpoint' 31", "", ""},
        {"\\sbox{\\dot}{\\circle*{2}}\\oval(4,2)[tl]", "33'dot' 30 12 30 5(2) 31 31 13 5(4) 5(2) 4'tl'", "", ""},
        {"\\savebox{\\b}(1,2)[tl]{x}", "33'b' 5(1) 5(2) 4'tl' 30 26'x'", "", ""},
        {"\\put(0,0){\r\n\f\t\\vector(1,0){10}}", "6 5(0) 5(0) 30 10 5(1) 5(0) 30 5(10) 31 31", "", ""},
        {"\\put( - .5 , +3 ){\\line(1.,0){1}}", "6 5(-0.5) 5(3) 30 9 5(1) 5(0) 30 5(1) 31 31", "", ""},
        {"\\unitlength=2mm", "22 5(2) 21(2)", "yylex: unrecognized char '=' (0X3D) in line 2\n", ""},
        {"\\linethickness{1pt}", "28 30 5(1) 21(0) 31", "", ""},
        {"-.5 +3 . 5. +. PT Cm", "5(-0.5) 5(3) 5(0) 5(5) 5(0) 21(0) 21(1)", "", ""},
        {"\\thicklines\\thinlines", "23 24", "", ""},
        {"\\put(1,2)x{y}", "6 5(1) 5(2) 30 26'y'", "", "x"},
        {"\\put(1,2){\\line(1,0){5}}% a comment\n\\end{picture}", "6 5(1) 5(2) 30 9 5(1) 5(0) 30 5(5) 31 31 2", "", ""},
        {"\\put(1,2){a}% no newline", "6 5(1) 5(2) 30 26'a' 21(4)",
         "yylex: unrecognized char '%' (0X25) in line 2\nyylex: unrecognized char 'n' (0X6E) in line 2\n"
         "yylex: unrecognized char 'o' (0X6F) in line 2\nyylex: unrecognized char 'n' (0X6E) in line 2\n"
         "yylex: unrecognized char 'e' (0X65) in line 2\nyylex: unrecognized char 'w' (0X77) in line 2\n"
         "yylex: unrecognized char 'l' (0X6C) in line 2\nyylex: unrecognized char 'e' (0X65) in line 2\n",
         ""},
        {"\\put(0,0){abc", "6 5(0) 5(0) 30 26'abc'", "end of file in text on line 2\n", ""},
        {"\\put(0,0){\\framebox(1,1){", "6 5(0) 5(0) 30 7 5(1) 5(1) 3''", "end of file in text on line 2\n", ""},
        {"\xe9", "", "yylex: unrecognized char '\xe9' (0XFFFFFFE9) in line 2\n", ""},
    };
    for (auto &c : cases) {
        std::string err, out;
        EXPECT_EQ(scan(body + c.input, &err, &out), "1 5(0) 5(0)" + (c.tokens.empty() ? "" : " " + c.tokens))
            << c.input;
        EXPECT_EQ(err, c.err) << c.input;
        EXPECT_EQ(out, c.out) << c.input;
    }
}

TEST(Scanner, PreambleGivesOnlyTheUnitLength) {
    struct {
        std::string input;
        std::string tokens;
    } cases[] = {
        {"\\setlength{\\unitlength}{1.5 mm}\n\\begin{picture}", "20(1.5) 21(2) 1"},
        {"\\documentclass{article} 12pt \\unitlength=3CM x", "20(3) 21(1)"},
        {"\\unitlength =1pt\\begin{picture}", "20(1) 21(0) 1"},
        {"\\unitlength 1mm\\relax\\begin{picture}", "20(1) 21(2) 1"},
        {"\\unitlength1.5ex", "20(1.5) 21(10)"},
        {"\\setlength\\unitlength{4144sp}%\n", "20(4144) 21(8)"},
        {"\\setlength {\r\n\\unitlength } \n{ .5\tcm }", "20(0.5) 21(1)"},
        {"\\sbox{\\plotpoint}{\\rule[-0.200pt]{0.400pt}{0.400pt}}%\n\\unitlength=2pt",
         "33'plotpoint' 30 29 5(-0.2) 21(0) 30 5(0.4) 21(0) 31 30 5(0.4) 21(0) 31 31 20(2) 21(0)"},
        {"\\unitlength=1\n% comment pt\n  PT", "20(1) 21(0)"},
        {"no picture at all", ""},
    };
    for (auto &c : cases) EXPECT_EQ(scan(c.input), c.tokens) << c.input;
}

TEST(Scanner, LongTextsAreWhole) {
    std::string t300(300, 'b'), box5000(5000, 'c');
    std::string err;
    EXPECT_EQ(scan(body + "\\put(0,0){" + t300 + "}\n", &err), "1 5(0) 5(0) 6 5(0) 5(0) 30 26'" + t300 + "'");
    EXPECT_EQ(err, "");
    EXPECT_EQ(scan(body + "\\put(0,0){\\makebox(0,0){" + box5000 + "x}}", &err),
              "1 5(0) 5(0) 6 5(0) 5(0) 30 15 5(0) 5(0) 3'" + box5000 + "x' 31");
    EXPECT_EQ(err, "");
    std::string option(300, 'x');
    EXPECT_EQ(scan(body + "[" + option + "]"), "1 5(0) 5(0) 4'" + option.substr(0, 126) + "'");
}

TEST(Scanner, NoTokenIsTooLong) {
    std::string comment = "%" + std::string(1 << 20, 'z') + "\n";
    std::string blanks(100000, ' ');
    std::string digits(50000, '9');
    EXPECT_EQ(scan(body + comment + blanks + "\\put(1," + digits + "){x}"), "1 5(0) 5(0) 6 5(1) 5(inf) 30 26'x'");
    EXPECT_EQ(lineNumber, 3);
}

TEST(Scanner, ALastLineOfPercentSignsIsOrdinaryCharacters) {
    std::string err;
    EXPECT_EQ(scan(body + "\\put(1,2){%x}%%%% 5", &err), "1 5(0) 5(0) 6 5(1) 5(2) 30 26'%x' 5(5)");
    std::string percent = "yylex: unrecognized char '%' (0X25) in line 2\n";
    EXPECT_EQ(err, percent + percent + percent + percent);
    // and a comment before it still ends at its newline
    EXPECT_EQ(scan(body + "% 1\n2 %", &err), "1 5(0) 5(0) 5(2)");
    EXPECT_EQ(lineNumber, 3);
}

TEST(Scanner, BinaryDataIsSkippedWithMessages) {
    std::string data = body + std::string("\\put(1,2){\0x}", 13) + std::string("\0\x01", 2);
    std::string err;
    EXPECT_EQ(scan(data, &err), std::string("1 5(0) 5(0) 6 5(1) 5(2) 30 26'x'"));
    EXPECT_NE(err.find("(0X1) in line 2"), std::string::npos) << err;
}

TEST(Scanner, ANewScanForgetsTheOldInput) {
    std::string first = "\\begin{picture}\\put(1,2){unfinished", second = "\\unitlength=2pt";
    FILE *a = fmemopen(const_cast<char *>(first.data()), first.size(), "r");
    startScan(a);
    EXPECT_EQ(nextToken(), tokBeginPicture);
    EXPECT_EQ(nextToken(), tokPut);
    fclose(a);
    EXPECT_EQ(scan(second), "20(2) 21(0)");
}
