// Any text as a \unitlength: parsed or refused, and the scale it gives is
// always usable.
#include <cmath>
#include <cstdint>
#include <string>

#include "objects/Scale.h"
#include "picfile/Units.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size);
    bool accepted = parseUnitLength(text.c_str());
    if (!accepted && (unitValue != 1.0f || unitIndex != 0)) __builtin_trap();
    if (unitIndex < 0 || unitIndex >= unitCount) __builtin_trap();
    setUnitScale(unitValue * unitTable[unitIndex].points);
    if (!std::isfinite(pixelsPerUnit) || pixelsPerUnit <= 0) __builtin_trap();
    return 0;
}
