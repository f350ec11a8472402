// Build helper: renders an SVG drawing as a square PNG of the given edge.
//   kvrendericon IN.svg EDGE OUT.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int edge = argc == 4 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    if (edge < 8 || edge > 1024) {
        std::fprintf(stderr, "usage: kvrendericon IN.svg EDGE OUT.png\n");
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "kvrendericon: %s is no SVG drawing\n", argv[1]);
        return 1;
    }
    QImage image(edge, edge, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    return image.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
