// The pictures are reached through the static library's resources, so every
// load here also proves that those resources were linked in.
#include "res/pictures/Pictures.h"

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QtTest>

namespace {

int OpaquePixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return count;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void iconsHaveTheirSizes_data();
    void iconsHaveTheirSizes();
    void applicationIconUsesItsSmallDrawing();
    void bitmapsAreExactAndFreeOfTheTransparentColour_data();
    void bitmapsAreExactAndFreeOfTheTransparentColour();
    void cursorIsTwoColoursWithHotspotOnTheFinger();
    void unknownNumbersGiveNothing();
};

void TestPictures::iconsHaveTheirSizes_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("own");
    QTest::newRow("application 128") << 128 << QSize(32, 32);
    QTest::newRow("list add 145") << 145 << QSize(16, 16);
    QTest::newRow("list remove 146") << 146 << QSize(16, 16);
    QTest::newRow("list up 147") << 147 << QSize(16, 16);
    QTest::newRow("list down 148") << 148 << QSize(16, 16);
    QTest::newRow("help 150") << 150 << QSize(48, 48);
    QTest::newRow("add 160") << 160 << QSize(48, 48);
    QTest::newRow("remove 161") << 161 << QSize(48, 48);
    QTest::newRow("convert 162") << 162 << QSize(48, 48);
}

void TestPictures::iconsHaveTheirSizes()
{
    QFETCH(int, id);
    QFETCH(QSize, own);
    QCOMPARE(IconResourceSize(id), own);
    const QPixmap ownSize = LoadIconPixmap(id);
    QCOMPARE(ownSize.size(), own);
    // Something is drawn, and it does not fill the square edge to edge.
    const int opaque = OpaquePixels(ownSize.toImage());
    QVERIFY(opaque > own.width() * own.height() / 5);
    QVERIFY(opaque < own.width() * own.height());
    QCOMPARE(LoadIconPixmap(id, QSize(48, 48)).size(), QSize(48, 48));

    // The icon scales up without becoming a small picture in a big frame.
    const QIcon icon = LoadIconResource(id);
    QVERIFY(!icon.isNull());
    for (const int side : {16, 32, 256})
        QCOMPARE(icon.pixmap(QSize(side, side)).size(), QSize(side, side));
}

void TestPictures::applicationIconUsesItsSmallDrawing()
{
    const QImage small = LoadIconPixmap(128, QSize(16, 16)).toImage();
    const QImage scaled = LoadIconPixmap(128, QSize(64, 64))
                              .scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .toImage();
    QVERIFY(small.convertToFormat(QImage::Format_ARGB32)
            != scaled.convertToFormat(QImage::Format_ARGB32));
    // The window's small icon is that drawing too.
    QCOMPARE(LoadIconResource(128).pixmap(QSize(16, 16)).toImage().convertToFormat(
                 QImage::Format_ARGB32),
             small.convertToFormat(QImage::Format_ARGB32));
}

void TestPictures::bitmapsAreExactAndFreeOfTheTransparentColour_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");
    QTest::newRow("light bulb 138") << 138 << QSize(40, 53);
    QTest::newRow("stop 140") << 140 << QSize(12, 11);
    QTest::newRow("pause 141") << 141 << QSize(10, 12);
    QTest::newRow("play 142") << 142 << QSize(11, 14);
}

void TestPictures::bitmapsAreExactAndFreeOfTheTransparentColour()
{
    QFETCH(int, id);
    QFETCH(QSize, size);
    const QPixmap bitmap = LoadBitmapResource(id);
    QCOMPARE(bitmap.size(), size);
    const QImage image = bitmap.toImage().convertToFormat(QImage::Format_ARGB32);
    QVERIFY(OpaquePixels(image) > size.width() * size.height() / 4);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY2((image.pixel(x, y) & 0xffffff) != 0xff00ff || qAlpha(image.pixel(x, y)) == 0,
                     qPrintable(QStringLiteral("magenta at %1,%2").arg(x).arg(y)));
}

void TestPictures::cursorIsTwoColoursWithHotspotOnTheFinger()
{
    const QCursor cursor = LoadCursorResource(143);
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            colours.insert(image.pixel(x, y));
    QCOMPARE(colours, (QSet<QRgb>{qRgba(0, 0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    const QPoint hot = cursor.hotSpot();
    QVERIFY(QRect(0, 0, 32, 32).contains(hot));
    // The hotspot is on the drawing and nothing lies above it: a fingertip.
    QCOMPARE(image.pixel(hot), qRgb(0, 0, 0));
    for (int y = 0; y < hot.y(); ++y)
        QCOMPARE(qAlpha(image.pixel(hot.x(), y)), 0);
}

void TestPictures::unknownNumbersGiveNothing()
{
    QVERIFY(LoadIconResource(999).isNull());
    QVERIFY(LoadIconResource(142).isNull());     // a bitmap, not an icon
    QVERIFY(LoadIconPixmap(0).isNull());
    QVERIFY(LoadBitmapResource(128).isNull());   // an icon, not a bitmap
    QVERIFY(LoadBitmapResource(143).isNull());   // the cursor
    QVERIFY(IconResourceSize(138).isEmpty());
    QCOMPARE(LoadCursorResource(142).shape(), Qt::ArrowCursor);
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
