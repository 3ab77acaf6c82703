#include "res/pictures/Pictures.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <iterator>

namespace {

struct Picture
{
    int id;
    const char *file;       // below :/pictures/
    QSize size;             // own size
    const char *smallFile;  // drawn for 16 pixels, or null
};

constexpr const char *kCursorFile = "cursor143.svg";
constexpr QSize kCursorSize(32, 32);
// The tip of the pointing finger.
constexpr int kCursorHotX = 5;
constexpr int kCursorHotY = 0;
// Up to this size the pixel-grid drawing reads better than the scaled one.
constexpr int kSmallLimit = 24;

const Picture kIcons[] = {
    {IDR_MAINFRAME, "icon128.svg", QSize(32, 32), "icon128-small.svg"},
    {IDI_ADD_SMALL, "icon145.svg", QSize(16, 16), nullptr},
    {IDI_REMOVE_SMALL, "icon146.svg", QSize(16, 16), nullptr},
    {IDI_MOVE_UP, "icon147.svg", QSize(16, 16), nullptr},
    {IDI_MOVE_DOWN, "icon148.svg", QSize(16, 16), nullptr},
    {IDI_HELP, "icon150.svg", QSize(48, 48), nullptr},
    {IDI_ADD, "icon160.svg", QSize(48, 48), nullptr},
    {IDI_REMOVE, "icon161.svg", QSize(48, 48), nullptr},
    {IDI_CONVERT, "icon162.svg", QSize(48, 48), nullptr},
};

const Picture kBitmaps[] = {
    {IDB_LIGHTBULB, "bitmap138.svg", QSize(40, 53), nullptr},
    {IDB_STOP, "bitmap140.svg", QSize(12, 11), nullptr},
    {IDB_PAUSE, "bitmap141.svg", QSize(10, 12), nullptr},
    {IDB_PLAY, "bitmap142.svg", QSize(11, 14), nullptr},
};

template <std::size_t N>
const Picture *Find(const Picture (&table)[N], int id)
{
    const auto it = std::find_if(std::begin(table), std::end(table),
                                 [id](const Picture &p) { return p.id == id; });
    return it == std::end(table) ? nullptr : it;
}

QString PathOf(const char *file)
{
    return QStringLiteral(":/pictures/") + QLatin1String(file);
}

QImage Render(const char *file, QSize size)
{
    QSvgRenderer renderer(PathOf(file));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

const char *FileFor(const Picture &picture, QSize size)
{
    const bool small = size.width() <= kSmallLimit && size.height() <= kSmallLimit;
    return small && picture.smallFile ? picture.smallFile : picture.file;
}

// A cursor is two colours and a see-through mask; anti-aliased edges would
// show as grey fringes on window systems that honour only one bit.
QImage ToTwoColours(QImage image)
{
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QRgb result = qRgba(0, 0, 0, 0);
            if (qAlpha(pixel) >= 128)
                result = qGray(pixel) >= 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            image.setPixel(x, y, result);
        }
    }
    return image;
}

} // namespace

QIcon LoadIconResource(int id)
{
    const Picture *picture = Find(kIcons, id);
    if (!picture)
        return QIcon();
    // The scalable source renders sharply at any size and screen scale; a
    // pixmap added at exactly 16x16 takes precedence at that size.
    QIcon icon(PathOf(picture->file));
    if (picture->smallFile)
        icon.addPixmap(QPixmap::fromImage(Render(picture->smallFile, QSize(16, 16))));
    return icon;
}

QSize IconResourceSize(int id)
{
    const Picture *picture = Find(kIcons, id);
    return picture ? picture->size : QSize();
}

QPixmap LoadIconPixmap(int id, QSize size)
{
    const Picture *picture = Find(kIcons, id);
    if (!picture)
        return QPixmap();
    if (size.isEmpty())
        size = picture->size;
    return QPixmap::fromImage(Render(FileFor(*picture, size), size));
}

QPixmap LoadBitmapResource(int id)
{
    const Picture *picture = Find(kBitmaps, id);
    if (!picture)
        return QPixmap();
    return QPixmap::fromImage(Render(picture->file, picture->size));
}

QCursor LoadCursorResource(int id)
{
    if (id != IDC_HAND)
        return QCursor();
    const QImage image = ToTwoColours(Render(kCursorFile, kCursorSize));
    return QCursor(QPixmap::fromImage(image), kCursorHotX, kCursorHotY);
}
