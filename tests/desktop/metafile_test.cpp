// Metafiles drawn into pictures (libwmf) and offered on the clipboard as such. The files are
// written here record by record, so each test knows what the picture must show.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtEndian>
#include <initializer_list>

#include "platform/metafile/metafile_image.h"
#include "platform/qt/qt_clipboard.h"
#include "support/metafile_writer.h"

namespace vexil {
namespace {

using test::MetafileWriter;

QRgb opaque(quint32 rgb) {
    return qRgb(int(rgb >> 16), int((rgb >> 8) & 0xff), int(rgb & 0xff));
}

struct RectangleCase {
    quint32 rgb;
    int left, top, right, bottom;
};

class DrawnRectangle : public ::testing::TestWithParam<RectangleCase> {};

TEST_P(DrawnRectangle, ShowsItsColourInsideAndNotOutside) {
    const RectangleCase& c = GetParam();
    MetafileWriter wmf(200, 100, 96);  // 96 units an inch: one unit, one pixel
    wmf.filledRectangle(c.rgb, c.left, c.top, c.right, c.bottom);
    const QImage image = renderMetafile(wmf.bytes());
    ASSERT_FALSE(image.isNull());
    EXPECT_NEAR(image.width(), 200, 2);
    EXPECT_NEAR(image.height(), 100, 2);
    const QPoint centre((c.left + c.right) / 2, (c.top + c.bottom) / 2);
    EXPECT_EQ(image.pixel(centre), opaque(c.rgb));
    // Outside the rectangle the picture is not that colour.
    for (const QPoint outside : {QPoint(c.left - 3, centre.y()), QPoint(c.right + 3, centre.y()),
                                 QPoint(centre.x(), c.top - 3), QPoint(centre.x(), c.bottom + 3)})
        if (image.rect().contains(outside)) {
            EXPECT_NE(image.pixel(outside), opaque(c.rgb)) << outside.x() << "," << outside.y();
        }
}

INSTANTIATE_TEST_SUITE_P(Metafiles, DrawnRectangle,
                         ::testing::Values(RectangleCase{0xff0000, 40, 20, 160, 80},
                                           RectangleCase{0x0000ff, 10, 10, 60, 40},
                                           RectangleCase{0x20a040, 120, 50, 190, 95}));

TEST(Metafile, TwoRectanglesKeepTheirOwnColours) {
    MetafileWriter wmf(200, 100, 96);
    wmf.filledRectangle(0xff0000, 0, 0, 100, 100);
    wmf.filledRectangle(0x00ff00, 100, 0, 200, 100);
    const QImage image = renderMetafile(wmf.bytes());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(50, 50), opaque(0xff0000));
    EXPECT_EQ(image.pixel(150, 50), opaque(0x00ff00));
}

TEST(Metafile, SizeFollowsTheUnitsAnInch) {
    MetafileWriter wmf(1440, 720, 1440);  // one inch by half an inch
    wmf.filledRectangle(0x0000ff, 0, 0, 1440, 720);
    const QImage image = renderMetafile(wmf.bytes());
    ASSERT_FALSE(image.isNull());
    EXPECT_NEAR(image.width(), 96, 2);
    EXPECT_NEAR(image.height(), 48, 2);
    EXPECT_EQ(image.pixel(48, 24), opaque(0x0000ff));
}

TEST(Metafile, AnAbsurdSizeIsScaledDown) {
    MetafileWriter wmf(30000, 15000, 10);  // 3000 inches wide
    wmf.filledRectangle(0xff0000, 0, 0, 30000, 15000);
    const QImage image = renderMetafile(wmf.bytes());
    ASSERT_FALSE(image.isNull());
    EXPECT_LE(image.width(), kMaxMetafileSide);
    EXPECT_LE(image.height(), kMaxMetafileSide);
    EXPECT_NEAR(image.width(), 2 * image.height(), 2);
    EXPECT_EQ(image.pixel(image.width() / 2, image.height() / 2), opaque(0xff0000));
}

TEST(Metafile, DataThatIsNoMetafileGivesNoPicture) {
    MetafileWriter wmf(200, 100, 96);
    wmf.filledRectangle(0xff0000, 40, 20, 160, 80);
    const QByteArray good = wmf.bytes();
    for (const QByteArray& bad : {QByteArray(), QByteArray("not a metafile at all, plain text"),
                                  QByteArray(64, '\0'), good.left(20)})
        EXPECT_TRUE(renderMetafile(bad).isNull()) << bad.size();
}

TEST(Metafile, TheClipboardOffersThePictureAndTheMetafile) {
    MetafileWriter wmf(200, 100, 96);
    wmf.filledRectangle(0xff0000, 40, 20, 160, 80);
    QtClipboard clipboard;
    clipboard.setMetafile(wmf.bytes());
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data(QStringLiteral("image/x-wmf")), wmf.bytes());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(100, 50), opaque(0xff0000));

    // Data that draws nothing still goes on as the metafile, with no empty picture.
    clipboard.setMetafile(QByteArray("junk"));
    data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->hasImage());
    EXPECT_EQ(data->data(QStringLiteral("image/x-wmf")), QByteArray("junk"));
}

}  // namespace
}  // namespace vexil
