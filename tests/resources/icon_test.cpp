#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QSet>

namespace {

int ColourCount(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

TEST(Icon, TheWindowsIconHoldsThreeImagesOfTheRightSizesAndColours) {
    QImageReader reader(QStringLiteral(ZENTROVAX_RESOURCES "/zentrovax.ico"));
    ASSERT_EQ(reader.imageCount(), 3);
    struct Expected {
        int size;
        int max_colours;
    };
    for (const Expected expected : {Expected{32, 2}, Expected{32, 16}, Expected{16, 16}}) {
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), QSize(expected.size, expected.size));
        EXPECT_LE(ColourCount(image), expected.max_colours);
        EXPECT_GE(ColourCount(image), 2);
        reader.jumpToNextImage();
    }
}

TEST(Icon, TheWindowIconsAreBuiltIntoTheProgram) {
    for (const int size : {16, 32, 64, 128}) {
        const QImage image(QStringLiteral(":/zentrovax/icons/zentrovax-%1.png").arg(size));
        EXPECT_EQ(image.size(), QSize(size, size));
        // The small ones are drawn pixel by pixel in few colours, as Windows' icon is.
        if (size <= 32) {
            EXPECT_LE(ColourCount(image), 16);
        }
    }
}

}  // namespace
