#pragma once
// The window's icon: the images of resources/portwright.ico, turned into pixel
// arrays when the program is built, so that start-up decodes no image file.
#include <QIcon>
#include <cstdint>
#include <vector>

namespace pw::qt {

// One image of the icon file, as QImage::Format_ARGB32 pixels row by row.
struct IconPixels {
    int width;
    int height;
    const std::uint32_t* argb;
};

// The icon file's images in its own order (generated at build time).
const std::vector<IconPixels>& IconImages();

QIcon WindowIcon();

}  // namespace pw::qt
