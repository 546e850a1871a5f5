#include "ui/qt/LayoutScale.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/TwipsToPixels.h"

namespace pw::qt {

LayoutScale::LayoutScale(double dotsPerInch) : dpi_(dotsPerInch > 0 ? dotsPerInch : 96.0) {}

LayoutScale LayoutScale::ForPrimaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return LayoutScale(screen ? screen->logicalDotsPerInch() : 96.0);
}

int LayoutScale::Pixels(int twips) const { return TwipsToPixels(twips, dpi_); }

QRect LayoutScale::Rect(const ControlSpec& design) const {
    const PixelRect rect = ControlPixels(design, dpi_);
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

QSize LayoutScale::Size(int width, int height) const { return QSize(Pixels(width), Pixels(height)); }

QFont LayoutScale::Font(const FontSpec& design) const {
    // Liberation Sans has Arial's metrics, so captions measure as designed.
    // Naming it outright spares fontconfig's slow substitution at start-up.
    QFont font;
    font.setFamilies({QString::fromLatin1(design.face), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(FontPixelHeight(design.points, dpi_));
    font.setWeight(static_cast<QFont::Weight>(design.weight));
    font.setItalic(design.italic);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace pw::qt
