#include "picfile/LatexImage.h"

#include <png.h>

#include <cstring>

bool decodeLatexImage(const std::string &png, LatexImage *image, long maxPixels) {
    *image = LatexImage();
    png_image p;
    memset(&p, 0, sizeof p);
    p.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&p, png.data(), png.size())) return false;
    p.format = PNG_FORMAT_GRAY;
    if (p.width == 0 || p.height == 0 || static_cast<double>(p.width) * p.height > maxPixels) {
        png_image_free(&p);
        return false;
    }
    std::vector<unsigned char> gray(PNG_IMAGE_SIZE(p));
    png_color white = {255, 255, 255};
    if (!png_image_finish_read(&p, &white, gray.data(), 0, nullptr)) {
        png_image_free(&p);
        return false;
    }
    for (unsigned char &g : gray) g = static_cast<unsigned char>(255 - g);
    image->width = static_cast<int>(p.width);
    image->height = static_cast<int>(p.height);
    image->coverage.swap(gray);
    return true;
}
