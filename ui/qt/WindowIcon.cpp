#include "ui/qt/WindowIcon.h"

#include <QImage>
#include <QPixmap>

namespace pw::qt {

QIcon WindowIcon() {
    QIcon icon;
    for (const IconPixels& image : IconImages()) {
        // The QImage only borrows the pixels; the pixmap copies them.
        const QImage pixels(reinterpret_cast<const uchar*>(image.argb), image.width, image.height,
                            image.width * 4, QImage::Format_ARGB32);
        icon.addPixmap(QPixmap::fromImage(pixels));
    }
    return icon;
}

}  // namespace pw::qt
