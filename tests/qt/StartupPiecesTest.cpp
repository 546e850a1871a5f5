// The pieces made cheaper for start-up: the embedded icon, the split of a
// spread caption and the window's fonts, against what Qt's own readers,
// patterns and font matching say.
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "app/ControlTable.h"
#include "ui/qt/LayoutScale.h"
#include "ui/qt/QtForm.h"
#include "ui/qt/SpreadLabel.h"
#include "ui/qt/WindowIcon.h"

namespace {

// What resources/portwright.ico holds, decoded by Qt's ICO plug-in.
std::vector<QImage> IcoImages() {
    QImageReader reader(QStringLiteral(PW_ICON_FILE));
    std::vector<QImage> images;
    QImage image;
    while (reader.read(&image)) {
        images.push_back(image.convertToFormat(QImage::Format_ARGB32));
        if (!reader.jumpToNextImage()) break;
    }
    return images;
}

TEST(WindowIcon, HoldsEveryImageOfTheIconFilePixelForPixel) {
    const std::vector<QImage> expected = IcoImages();
    ASSERT_EQ(expected.size(), 2u) << "the icon file has a 32x32 and a 16x16 image";
    const QIcon icon = pw::qt::WindowIcon();
    ASSERT_EQ(icon.availableSizes().size(), 2);
    for (const QImage& wanted : expected) {
        SCOPED_TRACE(testing::Message() << wanted.width() << "x" << wanted.height());
        ASSERT_TRUE(icon.availableSizes().contains(wanted.size()));
        const QImage shown = icon.pixmap(wanted.size()).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(shown.size(), wanted.size());
        int transparent = 0;
        for (int y = 0; y < wanted.height(); ++y) {
            for (int x = 0; x < wanted.width(); ++x) {
                ASSERT_EQ(shown.pixel(x, y), wanted.pixel(x, y)) << "at " << x << "," << y;
                if (qAlpha(wanted.pixel(x, y)) == 0) ++transparent;
            }
        }
        EXPECT_GT(transparent, 0) << "the masks' transparency survives";
    }
}

TEST(SpreadLabel, SplitsAtTheFirstRunOfEightOrMoreSpacesAsTheOldPatternDid) {
    // The split used to be made by the pattern " {8,}"; it must not move.
    const QRegularExpression gap(QStringLiteral(" {8,}"));
    const QStringList captions{
        QStringLiteral("Ports:") + QString(53, u' ') + QStringLiteral("Store (Default=6001)"),
        QStringLiteral("a       b"),                    // seven spaces: not spread
        QStringLiteral("a        b"),                   // eight
        QStringLiteral("a b  c          d         e"),  // the first long run wins
        QStringLiteral("         leading"),
        QStringLiteral("trailing          "),
        QStringLiteral("Exchange Server NetBIOS Name:"),
        QString()};
    for (const QString& caption : captions) {
        SCOPED_TRACE(caption.toStdString());
        const QRegularExpressionMatch match = gap.match(caption);
        EXPECT_EQ(pw::qt::SpreadLabel::Spreads(caption), match.hasMatch());
        const QStringList expected = match.hasMatch() ? QStringList{caption.left(match.capturedStart()),
                                                                    caption.mid(match.capturedEnd())}
                                                      : QStringList{};
        EXPECT_EQ(pw::qt::SpreadLabel::Parts(caption), expected);
    }
}

TEST(WindowFonts, OneFamilyGivesTheFontsTheFaceAndItsStandInNamedTogetherGave) {
    const pw::qt::LayoutScale scale(96);
    for (const pw::ControlSpec& design : pw::kControls) {
        SCOPED_TRACE(design.name);
        const QFont font = scale.Font(design.font);
        EXPECT_EQ(font.families().size(), 1);
        QFont both = font;
        both.setFamilies({QString::fromLatin1(design.font.face), QStringLiteral("Liberation Sans")});
        const QFontInfo shown(font), wanted(both);
        EXPECT_EQ(shown.family(), wanted.family());
        EXPECT_EQ(shown.styleName(), wanted.styleName());
        EXPECT_EQ(shown.pixelSize(), wanted.pixelSize());
    }
}

TEST(WindowFonts, TheApplicationsFontIsItsOwnAgainOnceTheWindowIsBuilt) {
    const QFont before = QGuiApplication::font();
    const pw::qt::QtForm window{pw::qt::LayoutScale(96)};
    EXPECT_EQ(QGuiApplication::font(), before);
    EXPECT_NE(window.font(), before) << "the window's font differs, so that the check can fail";
}

}  // namespace
