// Checks the resources the window loads: every bitmap is a plain 24-bit BMP of its declared size,
// the resource file names each one under its lookup alias, the cursor's hot spot sits on the
// fingertip, and the BMP encoder lays out rows the way readers expect.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QXmlStreamReader>
#include <cstdint>
#include <string>

#include "bmp_writer.h"
#include "icon_writer.h"
#include "resource_ids.h"

namespace {

using orvan::art::BmpStride;
using orvan::art::EncodeBmp24;
using orvan::art::EncodeCur;
using orvan::art::EncodeIco;
using orvan::art::kBmpHeaderSize;

const QDir kResDir(QStringLiteral(ORVAN_RES_DIR));

uint32_t U32(const QByteArray& b, int offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[offset + i]);
    return v;
}

uint16_t U16(const QByteArray& b, int offset) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[offset]) |
                                 (static_cast<uint8_t>(b[offset + 1]) << 8));
}

// The header fields every bitmap resource must carry; reports the first mismatch.
void ExpectPlainBmpHeader(const QByteArray& bmp, int width, int height) {
    ASSERT_GE(bmp.size(), kBmpHeaderSize);
    const uint32_t pixelBytes = static_cast<uint32_t>(BmpStride(width) * height);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(U32(bmp, 2), kBmpHeaderSize + pixelBytes) << "file size field";
    EXPECT_EQ(static_cast<uint32_t>(bmp.size()), kBmpHeaderSize + pixelBytes) << "actual file size";
    EXPECT_EQ(U32(bmp, 10), 54u) << "pixel data offset";
    EXPECT_EQ(U32(bmp, 14), 40u) << "info header size";
    EXPECT_EQ(static_cast<int32_t>(U32(bmp, 18)), width);
    EXPECT_EQ(static_cast<int32_t>(U32(bmp, 22)), height) << "positive height: bottom-up rows";
    EXPECT_EQ(U16(bmp, 26), 1u) << "planes";
    EXPECT_EQ(U16(bmp, 28), 24u) << "bits per pixel";
    EXPECT_EQ(U32(bmp, 30), 0u) << "compression";
}

// A picture whose every pixel differs from its neighbours, so swapped channels, flipped rows or
// misplaced padding show up.
QImage Pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37) & 0xFF, (y * 91 + 5) & 0xFF, (x + 3 * y) & 0xFF));
    }
    return image;
}

TEST(BmpEncoder, WritesBottomUpBgrRowsPaddedToFourBytes) {
    // Widths cover every padding length, plus the odd widths of the real resources.
    for (int width : {1, 2, 3, 4, 5, 54, 114, 151}) {
        SCOPED_TRACE(testing::Message() << "width " << width);
        const int height = 3;
        const QImage image = Pattern(width, height);
        const QByteArray bmp = EncodeBmp24(image);
        ExpectPlainBmpHeader(bmp, width, height);
        ASSERT_EQ(bmp.size(), kBmpHeaderSize + BmpStride(width) * height);

        for (int y = 0; y < height; ++y) {
            const int row = kBmpHeaderSize + (height - 1 - y) * BmpStride(width);
            for (int x = 0; x < width; ++x) {
                const QRgb expected = image.pixel(x, y);
                ASSERT_EQ(static_cast<uint8_t>(bmp[row + 3 * x]), qBlue(expected)) << "x " << x << " y " << y;
                ASSERT_EQ(static_cast<uint8_t>(bmp[row + 3 * x + 1]), qGreen(expected))
                    << "x " << x << " y " << y;
                ASSERT_EQ(static_cast<uint8_t>(bmp[row + 3 * x + 2]), qRed(expected))
                    << "x " << x << " y " << y;
            }
            for (int pad = 3 * width; pad < BmpStride(width); ++pad) EXPECT_EQ(bmp[row + pad], '\0');
        }
        // An independent reader sees the same picture.
        EXPECT_EQ(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32), image);
    }
}

TEST(StoredResources, EveryBitmapIsAPlain24BitBmpOfItsDeclaredSize) {
    for (const orvan::res::BitmapInfo& info : orvan::res::kBitmaps) {
        SCOPED_TRACE(testing::Message() << "bitmap " << info.id);
        QFile file(kResDir.filePath(QStringLiteral("bitmaps/%1.bmp").arg(info.id)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QByteArray bmp = file.readAll();
        ExpectPlainBmpHeader(bmp, info.width, info.height);
        EXPECT_FALSE(QImage::fromData(bmp, "BMP").isNull());
    }
}

TEST(StoredResources, ResourceFileNamesEveryBitmapTheCursorAndTheIcon) {
    QFile qrc(kResDir.filePath(QStringLiteral("res.qrc")));
    ASSERT_TRUE(qrc.open(QIODevice::ReadOnly));
    QMap<QString, QString> files;  // alias -> path
    QXmlStreamReader xml(&qrc);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("file")) continue;
        const QString alias = xml.attributes().value(QLatin1String("alias")).toString();
        EXPECT_FALSE(files.contains(alias)) << "alias listed twice: " << alias.toStdString();
        files.insert(alias, xml.readElementText());
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();

    QStringList expected{QStringLiteral("cursor/500"), QStringLiteral("icon/app")};
    for (int32_t id : orvan::res::kBitmapIds) expected << QStringLiteral("bitmap/%1").arg(id);
    for (const QString& alias : expected) {
        SCOPED_TRACE(alias.toStdString());
        ASSERT_TRUE(files.contains(alias));
        EXPECT_TRUE(QFile::exists(kResDir.filePath(files.value(alias)))) << files.value(alias).toStdString();
    }
    EXPECT_EQ(files.size(), expected.size()) << "aliases that the window never looks up";
}

TEST(StoredResources, CursorHotSpotIsTheTopOfTheOpaqueFingertip) {
    const QImage cursor(kResDir.filePath(QStringLiteral("cursors/500.png")));
    ASSERT_EQ(cursor.size(), QSize(orvan::res::kHandCursorSize, orvan::res::kHandCursorSize));
    ASSERT_TRUE(cursor.hasAlphaChannel());
    const int x = ORVAN_CURSOR_500_HOTSPOT_X;
    const int y = ORVAN_CURSOR_500_HOTSPOT_Y;
    EXPECT_GE(qAlpha(cursor.pixel(x, y)), 200) << "the hot spot pixel is part of the hand";
    for (int above = 0; above < y; ++above) {
        for (int dx = -1; dx <= 1; ++dx) EXPECT_EQ(qAlpha(cursor.pixel(x + dx, above)), 0) << "row " << above;
    }
    EXPECT_EQ(qAlpha(cursor.pixel(0, orvan::res::kHandCursorSize - 1)), 0) << "corners stay transparent";
}

TEST(StoredResources, IconIsASquareImageWithTransparentCorners) {
    const QImage icon(kResDir.filePath(QStringLiteral("icons/app.png")));
    ASSERT_EQ(icon.size(), QSize(orvan::res::kAppIconSize, orvan::res::kAppIconSize));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(icon.width() / 2, icon.height() / 2)), 255);
}

// Every picture of an .ico or .cur file as an independent reader (Qt's) sees it.
QList<QImage> ReadIconPictures(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "ico");
    QList<QImage> pictures;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i)) break;
        pictures.append(reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    return pictures;
}

TEST(IconEncoder, WritesEveryPictureWithItsAlphaAndTheCursorsHotSpot) {
    // Odd width (mask rows padded), see-through pixels among opaque ones.
    QImage pattern(21, 7, QImage::Format_ARGB32);
    for (int y = 0; y < pattern.height(); ++y) {
        for (int x = 0; x < pattern.width(); ++x) {
            const int alpha = (x + 3 * y) % 3 == 0 ? 0 : 255;
            pattern.setPixel(x, y, alpha == 0 ? 0 : qRgba((x * 37) & 0xFF, (y * 91) & 0xFF, x + y, alpha));
        }
    }
    const QImage big(256, 256, QImage::Format_ARGB32);
    const QByteArray ico = EncodeIco({pattern, big});
    EXPECT_EQ(U16(ico, 2), 1u) << "an icon";
    EXPECT_EQ(U16(ico, 4), 2u);
    EXPECT_EQ(static_cast<uint8_t>(ico[6 + 16]), 0u) << "256 is written as 0";
    const QList<QImage> read = ReadIconPictures(ico);
    ASSERT_EQ(read.size(), 2);
    ASSERT_EQ(read[0].size(), pattern.size());
    for (int y = 0; y < pattern.height(); ++y) {
        for (int x = 0; x < pattern.width(); ++x)
            ASSERT_EQ(read[0].pixel(x, y), pattern.pixel(x, y)) << "x " << x << " y " << y;
    }

    // Partial alpha is stored as it is (BGRA after the directory and the info header).
    QImage half(1, 1, QImage::Format_ARGB32);
    half.setPixel(0, 0, qRgba(10, 20, 30, 128));
    EXPECT_EQ(EncodeIco({half}).mid(6 + 16 + 40, 4), QByteArray("\x1e\x14\x0a\x80", 4));

    const QByteArray cur = EncodeCur(pattern, 5, 3);
    EXPECT_EQ(U16(cur, 2), 2u) << "a cursor";
    EXPECT_EQ(U16(cur, 6 + 4), 5u) << "hot spot x";
    EXPECT_EQ(U16(cur, 6 + 6), 3u) << "hot spot y";
    EXPECT_TRUE(EncodeIco({QImage(257, 1, QImage::Format_ARGB32)}).isEmpty()) << "too big for the format";
    EXPECT_TRUE(EncodeIco({}).isEmpty());
}

TEST(StoredResources, WindowsCursorAndIconHoldTheSamePicturesAsTheOnesQtLoads) {
    QFile curFile(kResDir.filePath(QStringLiteral("cursors/500.cur")));
    ASSERT_TRUE(curFile.open(QIODevice::ReadOnly));
    const QByteArray cur = curFile.readAll();
    ASSERT_GE(cur.size(), 22);
    EXPECT_EQ(U16(cur, 2), 2u);
    EXPECT_EQ(U16(cur, 6 + 4), static_cast<uint32_t>(ORVAN_CURSOR_500_HOTSPOT_X));
    EXPECT_EQ(U16(cur, 6 + 6), static_cast<uint32_t>(ORVAN_CURSOR_500_HOTSPOT_Y));
    const QList<QImage> cursor = ReadIconPictures(cur);
    ASSERT_EQ(cursor.size(), 1);
    EXPECT_EQ(
        cursor[0],
        QImage(kResDir.filePath(QStringLiteral("cursors/500.png"))).convertToFormat(QImage::Format_ARGB32));

    QFile icoFile(kResDir.filePath(QStringLiteral("icons/app.ico")));
    ASSERT_TRUE(icoFile.open(QIODevice::ReadOnly));
    const QList<QImage> icons = ReadIconPictures(icoFile.readAll());
    QList<int> sizes;
    for (const QImage& icon : icons) sizes.append(icon.width());
    EXPECT_EQ(sizes, (QList<int>{16, 32, 48, 256}));
    ASSERT_FALSE(icons.isEmpty());
    EXPECT_EQ(
        icons.last(),
        QImage(kResDir.filePath(QStringLiteral("icons/app.png"))).convertToFormat(QImage::Format_ARGB32));
}

TEST(StringTable, FindsItsTextsByIdAndNothingElse) {
    struct Case {
        int id;
        const wchar_t* text;
    };
    const Case cases[] = {
        {100, L"OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
        {128, L"Selvani Version 1.2.7.0"},
        {0, nullptr},
        {-1, nullptr},
        {101, nullptr},
        {500, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id);
        const wchar_t* text = orvan_res_string(c.id);
        if (c.text == nullptr) {
            EXPECT_EQ(text, nullptr);
        } else {
            ASSERT_NE(text, nullptr);
            EXPECT_EQ(std::wstring(text), std::wstring(c.text));
        }
    }
}

}  // namespace
