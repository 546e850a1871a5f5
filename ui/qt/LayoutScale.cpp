#include "ui/qt/LayoutScale.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <algorithm>

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

namespace {

// Whether the font database lists the family, from any foundry. (Unlike
// QFontDatabase::hasFamily, this asks fontconfig for no substitution.)
bool Installed(const QString& family, const QStringList& installed) {
    const QString fromFoundry = family + QStringLiteral(" [");
    return std::any_of(installed.cbegin(), installed.cend(), [&](const QString& name) {
        return name.compare(family, Qt::CaseInsensitive) == 0 ||
               name.startsWith(fromFoundry, Qt::CaseInsensitive);
    });
}

// The face itself where it is installed, else Liberation Sans, which has
// Arial's metrics, so that captions measure as designed. Naming the stand-in
// outright spares fontconfig's slow substitution at start-up, and naming one
// family alone spares more: for each family of a list Qt gathers fontconfig's
// fallbacks anew. Looked up once a face (the window's thread only).
QString InstalledFamily(const char* face) {
    static QHash<QString, QString> families;
    const QString name = QString::fromLatin1(face);
    auto known = families.constFind(name);
    if (known != families.cend()) return *known;
    const QStringList installed = QFontDatabase::families();
    const QString standIn = QStringLiteral("Liberation Sans");
    const QString family = !Installed(name, installed) && Installed(standIn, installed) ? standIn : name;
    families.insert(name, family);
    return family;
}

}  // namespace

QFont LayoutScale::Font(const FontSpec& design) const {
    QFont font;
    font.setFamilies({InstalledFamily(design.face)});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(FontPixelHeight(design.points, dpi_));
    font.setWeight(static_cast<QFont::Weight>(design.weight));
    font.setItalic(design.italic);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace pw::qt
