// Renders the program's SVG icon as a square PNG of one size, for the icon
// theme's fixed sizes, at build time:
//     render_icon picture.svg size picture.png

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool isNumber = false;
    const int size = arguments.size() == 4 ? arguments[2].toInt(&isNumber) : 0;
    if (!isNumber || size <= 0) {
        std::fputs("usage: render_icon picture.svg size picture.png\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_icon: cannot read %s\n", qPrintable(arguments[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    if (!image.save(arguments[3], "PNG")) {
        std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(arguments[3]));
        return 1;
    }
    return 0;
}
