#include "ui/qt/LayoutScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace pw::qt {

LayoutScale::LayoutScale(double dotsPerInch) : dpi_(dotsPerInch > 0 ? dotsPerInch : 96.0) {}

LayoutScale LayoutScale::ForPrimaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return LayoutScale(screen ? screen->logicalDotsPerInch() : 96.0);
}

int LayoutScale::Pixels(int twips) const {
    return static_cast<int>(std::lround(twips * dpi_ / 1440.0));
}

QRect LayoutScale::Rect(int left, int top, int width, int height) const {
    const int x = Pixels(left);
    const int y = Pixels(top);
    return QRect(x, y, Pixels(left + width) - x, Pixels(top + height) - y);
}

QSize LayoutScale::Size(int width, int height) const {
    return QSize(Pixels(width), Pixels(height));
}

QFont LayoutScale::Font(const FontSpec& design) const {
    // Liberation Sans has Arial's metrics, so captions measure as designed.
    // Naming it outright spares fontconfig's slow substitution at start-up.
    QFont font;
    font.setFamilies({QString::fromLatin1(design.face), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(design.points * dpi_ / 72.0))));
    font.setWeight(static_cast<QFont::Weight>(design.weight));
    font.setItalic(design.italic);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace pw::qt
