#include "picfile/Units.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "objects/History.h"
#include "objects/Scale.h"

const UnitEntry unitTable[unitCount] = {
    {"pt", 1.0f},
    {"cm", 28.452755f},           // 72.27 / 2.54 pt
    {"mm", 2.8452756f},           // 72.27 / 25.4 pt
    {"pc", 12.0f},
    {"in", 72.27f},
    {"bp", 1.00375f},             // 72.27 / 72 pt
    {"dd", 1.0700086f},           // 1238 / 1157 pt
    {"cc", 12.840104f},           // 12 dd
    {"sp", 0.0000152587890625f},  // 1/65536 pt
    {"em", 10.0f},                // a fixed 10 pt, not taken from any font
    {"ex", 4.30554f},             // the x-height of the 10 pt Computer Modern roman
};

float unitValue = 1.0f;
int unitIndex = 0;

// The number and the word after it, as "%f%3s" reads them, except that
// the number gives back an 'e' that starts no exponent ("1em").
static bool scanLength(const char *text, float *value, char word[4]) {
    if (!text) return false;
    char *end;
    *value = strtof(text, &end);
    if (end == text) return false;
    while (isspace(static_cast<unsigned char>(*end))) end++;
    int n = 0;
    while (n < 3 && end[n] && !isspace(static_cast<unsigned char>(end[n]))) word[n] = end[n], n++;
    word[n] = 0;
    return n > 0;
}

bool parseUnitLength(const char *text) {
    float value;
    char word[4];
    // A length that is not a finite number has no scale.
    if (scanLength(text, &value, word) && strlen(word) == 2 && std::isfinite(value)) {
        char name[3] = {static_cast<char>(tolower(static_cast<unsigned char>(word[0]))),
                        static_cast<char>(tolower(static_cast<unsigned char>(word[1]))), 0};
        for (int i = 0; i < unitCount; i++) {
            if (strcmp(name, unitTable[i].name) == 0) {
                unitValue = value;
                unitIndex = i;
                return true;
            }
        }
    }
    unitValue = 1.0f;
    unitIndex = 0;
    return false;
}

float lengthPoints(const char *text) {
    float value;
    char word[4];
    if (!scanLength(text, &value, word) || strlen(word) != 2) return 0;
    for (int i = 0; i < unitCount; i++) {
        if (tolower(static_cast<unsigned char>(word[0])) == unitTable[i].name[0] &&
            tolower(static_cast<unsigned char>(word[1])) == unitTable[i].name[1]) {
            float points = value * unitTable[i].points;
            return std::isfinite(points) && points > 0 && unitLengthInRange(points) ? points : 0;
        }
    }
    return 0;
}

bool unitLengthInRange(float points) { return points >= 1.0f / 65536 && points <= 16383.99998f; }

void setUnitScale(float points) {
    bool zero = points == 0.0f;
    if (zero || !std::isfinite(points)) {
        fprintf(stderr, zero ? "Warning: zero \\unitlength corrected to 1pt\n"
                             : "Warning: unusable \\unitlength corrected to 1pt\n");
        unitValue = 1.0f;
        unitIndex = 0;
        unitPt = 1.0f;
        pixelsPerUnit = 1.0f;
        return;
    }
    static const float candidates[] = {2, 2.5f, 3, 4, 5, 6, 7.5f, 8, 10};
    points = std::fabs(points);  // a negative length would have no logarithm
    float p = static_cast<float>(pow(10.0, floor(log10(static_cast<double>(points)))));
    float m = points / p;
    float best = 1.0f;
    float bestError = std::fmin(std::fabs(1.0f / m - 1.0f), 1.0f);  // the candidate 1
    for (float c : candidates) {
        float error = std::fabs(c / m - 1.0f);
        if (error < bestError) {
            best = c;
            bestError = error;
        }
    }
    unitPt = points;
    pixelsPerUnit = best * p;
}

void ObjRescale(ObjRecord *rec, float f) {
    rec->x *= f;
    rec->y *= f;
    switch (rec->type) {
    case ObjLine:
    case ObjVector:
    case ObjFramedBox:
    case ObjFilledBox:
    case ObjText:
        rec->x2 *= f;
        rec->y2 *= f;
        break;
    case ObjDashedBox:
    case ObjOval:
        rec->x2 *= f;
        rec->y2 *= f;
        rec->x3 *= f;
        break;
    case ObjCircle:
    case ObjDisc:
        rec->x2 *= f;
        break;
    case ObjBezier:
        rec->x2 *= f;
        rec->y2 *= f;
        rec->x3 *= f;
        rec->y3 *= f;
        break;
    case ObjVerbatim:  // its source does not change
        break;
    case ObjMultiput:
        rec->x2 *= f;
        rec->y2 *= f;
        for (ObjRecord *r = rec->body; r; r = r->next) ObjRescale(r, f);
        break;
    default:
        fprintf(stderr, "ObjRescale: Unknown type %d\n", rec->type);
        abort();
    }
}

void rescaleAll(float factor) {
    for (ObjRecord *r = objectList; r; r = r->next) ObjRescale(r, factor);
    forEachHeldRecord([factor](ObjRecord *r) { ObjRescale(r, factor); });
}
