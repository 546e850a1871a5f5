#pragma once
// The control table's twips and points in Qt's device-independent pixels, at
// the density of the screen.
#include <QFont>
#include <QRect>

#include "app/ControlTable.h"

namespace pw::qt {

class LayoutScale {
public:
    // dotsPerInch: the screen's logical density; 96 gives 15 twips a pixel.
    explicit LayoutScale(double dotsPerInch = 96.0);

    // The density of the primary screen, or 96 without one.
    static LayoutScale ForPrimaryScreen();

    double DotsPerInch() const { return dpi_; }
    int Pixels(int twips) const;
    QRect Rect(const ControlSpec& design) const;
    QSize Size(int width, int height) const;
    QFont Font(const FontSpec& design) const;

private:
    double dpi_;
};

}  // namespace pw::qt
