// The image dvipng makes, as ink coverage per pixel.
#ifndef VEXILO_LATEXIMAGE_H
#define VEXILO_LATEXIMAGE_H

#include <string>
#include <vector>

struct LatexImage {
    int width = 0, height = 0;
    std::vector<unsigned char> coverage;  // row by row; 0 no ink, 255 full ink
};

// Decodes a PNG of dark ink on white (libpng). False, with the image
// emptied, for anything that is not such a PNG or is larger than
// maxPixels.
bool decodeLatexImage(const std::string &png, LatexImage *image, long maxPixels = 64L << 20);

#endif
