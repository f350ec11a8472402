// Draws the toolbar glyphs: for every button one PNG of 36 x 18 pixels, the
// normal glyph on the left and the disabled (grey, embossed) one on the
// right. Run once after changing a drawing: makeglyphs <output folder>.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

constexpr int kSize = 18;

const QColor kOutline(40, 40, 40);
const QColor kYellow(240, 200, 60);
const QColor kBlue(40, 90, 190);
const QColor kGreen(30, 150, 50);
const QColor kGrey(150, 150, 150);
const QColor kPaper(255, 255, 255);

void pen(QPainter& p, const QColor& c, qreal w = 1.0)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void arrowHead(QPainter& p, QPointF tip, QPointF dir, qreal size, const QColor& c)
{
    const QPointF n(-dir.y(), dir.x());
    QPolygonF head;
    head << tip << tip - dir * size + n * size * 0.7 << tip - dir * size - n * size * 0.7;
    pen(p, c.darker(150));
    p.setBrush(c);
    p.drawPolygon(head);
}

void openFolder(QPainter& p)
{
    pen(p, kOutline);
    p.setBrush(kYellow.darker(120));
    QPolygonF back;
    back << QPointF(1.5, 4.5) << QPointF(6.5, 4.5) << QPointF(8, 6) << QPointF(14.5, 6) << QPointF(14.5, 14.5)
         << QPointF(1.5, 14.5);
    p.drawPolygon(back);
    p.setBrush(kYellow);
    QPolygonF flap;
    flap << QPointF(4, 8.5) << QPointF(17, 8.5) << QPointF(14.5, 14.5) << QPointF(1.5, 14.5);
    p.drawPolygon(flap);
}

void disk(QPainter& p)
{
    pen(p, kOutline);
    p.setBrush(kBlue);
    p.drawRect(QRectF(2.5, 1.5, 13, 15));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 9, 6));
    p.setBrush(QColor(190, 190, 200));
    p.drawRect(QRectF(5.5, 11.5, 7, 5));
    p.fillRect(QRectF(9, 12.5, 2, 3), kOutline);
}

void bigArrow(QPainter& p, bool right)
{
    QPolygonF a;
    a << QPointF(1.5, 9) << QPointF(8.5, 2.5) << QPointF(8.5, 6) << QPointF(16.5, 6) << QPointF(16.5, 12)
      << QPointF(8.5, 12) << QPointF(8.5, 15.5);
    if (right)
        for (QPointF& pt : a)
            pt.setX(18 - pt.x());
    pen(p, kGreen.darker(160));
    p.setBrush(kGreen);
    p.drawPolygon(a);
}

void printer(QPainter& p)
{
    pen(p, kOutline);
    p.setBrush(kPaper);
    p.drawRect(QRectF(5.5, 1.5, 7, 6));
    p.setBrush(kGrey);
    p.drawRect(QRectF(1.5, 6.5, 15, 7));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 11.5, 9, 5));
    p.drawLine(QPointF(6, 13.5), QPointF(12, 13.5));
    p.fillRect(QRectF(13, 8, 2, 1.5), kGreen);
}

void scannerBody(QPainter& p, qreal top)
{
    pen(p, kOutline);
    p.setBrush(QColor(120, 120, 130));
    QPolygonF lid;
    lid << QPointF(2.5, top) << QPointF(14.5, top - 5) << QPointF(15.5, top - 4) << QPointF(4.5, top + 1);
    p.drawPolygon(lid);
    p.setBrush(kGrey);
    p.drawRect(QRectF(1.5, top + 1.5, 15, 5));
    pen(p, QColor(80, 220, 80), 1.5);
    p.drawLine(QPointF(3.5, top + 3.5), QPointF(13, top + 3.5));
}

void scanner(QPainter& p)
{
    pen(p, kOutline);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7.5, 1.5, 6, 7));
    scannerBody(p, 9.5);
}

void selectScanner(QPainter& p)
{
    scannerBody(p, 9.5);
    pen(p, kOutline);
    p.setBrush(kOutline);
    QPolygonF tri;
    tri << QPointF(3, 2) << QPointF(9, 2) << QPointF(6, 5.5);
    p.drawPolygon(tri);
    p.fillRect(QRectF(11, 2, 5, 1.2), kOutline);
    p.fillRect(QRectF(11, 4.5, 5, 1.2), kOutline);
}

void hand(QPainter& p)
{
    const QColor skin(245, 205, 160);
    pen(p, QColor(120, 80, 40));
    p.setBrush(skin);
    const qreal xs[] = {4.5, 7, 9.5, 12};
    const qreal tops[] = {4, 2, 2.5, 4.5};
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(xs[i], tops[i], 2.5, 9), 1.2, 1.2);
    QPainterPath thumb;
    thumb.moveTo(4.5, 11);
    thumb.lineTo(1.5, 8);
    thumb.quadTo(0.5, 9.5, 2, 11.5);
    thumb.lineTo(5, 15);
    p.drawPath(thumb);
    p.drawRoundedRect(QRectF(4.5, 8.5, 10, 8), 3, 3);
    pen(p, skin);
    p.drawLine(QPointF(5.5, 9.5), QPointF(13.5, 9.5));
}

void magnifier(QPainter& p, const std::function<void(QPainter&, QPointF)>& inner)
{
    pen(p, QColor(110, 70, 30), 3);
    p.drawLine(QPointF(11, 11), QPointF(16, 16));
    pen(p, kOutline, 1.2);
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QPointF(7, 7), 5.5, 5.5);
    inner(p, QPointF(7, 7));
}

void zoomIn(QPainter& p)
{
    magnifier(p, [](QPainter& q, QPointF c) {
        pen(q, kOutline, 1.5);
        q.drawLine(c + QPointF(-3, 0), c + QPointF(3, 0));
        q.drawLine(c + QPointF(0, -3), c + QPointF(0, 3));
    });
}

void zoomOut(QPainter& p)
{
    magnifier(p, [](QPainter& q, QPointF c) {
        pen(q, kOutline, 1.5);
        q.drawLine(c + QPointF(-3, 0), c + QPointF(3, 0));
    });
}

void resetZoom(QPainter& p)
{
    magnifier(p, [](QPainter& q, QPointF c) {
        pen(q, kOutline, 1.2);
        q.drawLine(c + QPointF(-2.5, -1.5), c + QPointF(2.5, -1.5));
        q.drawLine(c + QPointF(-2.5, 1.5), c + QPointF(2.5, 1.5));
    });
}

void pictureFrame(QPainter& p, const QRectF& r)
{
    pen(p, kOutline);
    p.setBrush(QColor(150, 200, 240));
    p.drawRect(r);
    p.setBrush(kGreen);
    QPolygonF hill;
    hill << QPointF(r.left() + 0.5, r.bottom()) << QPointF(r.left() + r.width() * 0.4, r.top() + r.height() * 0.45)
         << QPointF(r.right() - 0.5, r.bottom());
    p.setPen(Qt::NoPen);
    p.drawPolygon(hill);
}

void bestFit(QPainter& p)
{
    pictureFrame(p, QRectF(4.5, 5.5, 9, 7));
    const QColor c(200, 40, 40);
    pen(p, c, 1.2);
    const QPointF corners[] = {{1, 1}, {17, 1}, {1, 17}, {17, 17}};
    const QPointF inner[] = {{4, 4}, {14, 4}, {4, 14}, {14, 14}};
    for (int i = 0; i < 4; ++i) {
        p.drawLine(inner[i], corners[i]);
        const QPointF dir = (corners[i] - inner[i]) / 3.0 / 1.4142;
        p.drawLine(corners[i], corners[i] - QPointF(dir.x() * 2.5, 0));
        p.drawLine(corners[i], corners[i] - QPointF(0, dir.y() * 2.5));
    }
}

void center(QPainter& p)
{
    pictureFrame(p, QRectF(1.5, 2.5, 15, 13));
    pen(p, QColor(200, 40, 40), 1.2);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(9, 9), 3.5, 3.5);
    p.drawLine(QPointF(9, 4), QPointF(9, 14));
    p.drawLine(QPointF(4, 9), QPointF(14, 9));
}

void scissors(QPainter& p)
{
    pen(p, QColor(90, 90, 100), 1.6);
    p.drawLine(QPointF(5, 1.5), QPointF(11.5, 11));
    p.drawLine(QPointF(13, 1.5), QPointF(6.5, 11));
    pen(p, QColor(200, 30, 30), 1.5);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(5, 13.5), 2.7, 2.7);
    p.drawEllipse(QPointF(13, 13.5), 2.7, 2.7);
    p.fillRect(QRectF(8.5, 6.5, 1, 1), kOutline);
}

void page(QPainter& p, const QRectF& r)
{
    pen(p, kOutline);
    p.setBrush(kPaper);
    QPolygonF s;
    s << r.topLeft() << QPointF(r.right() - 3, r.top()) << QPointF(r.right(), r.top() + 3) << r.bottomRight()
      << r.bottomLeft();
    p.drawPolygon(s);
    pen(p, QColor(170, 170, 210));
    for (qreal y = r.top() + 4; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void copy(QPainter& p)
{
    page(p, QRectF(1.5, 1.5, 9, 11));
    page(p, QRectF(7.5, 5.5, 9, 11));
}

void paste(QPainter& p)
{
    pen(p, kOutline);
    p.setBrush(QColor(170, 110, 50));
    p.drawRoundedRect(QRectF(1.5, 2.5, 11, 14), 1, 1);
    p.setBrush(kGrey);
    p.drawRect(QRectF(4.5, 1, 5, 3));
    page(p, QRectF(7.5, 6.5, 9, 10));
}

void undo(QPainter& p)
{
    pen(p, kBlue, 2);
    p.setBrush(Qt::NoBrush);
    QPainterPath arc;
    arc.moveTo(14, 15);
    arc.cubicTo(18, 8, 12, 3, 5, 6);
    p.drawPath(arc);
    arrowHead(p, QPointF(1.5, 7.5), QPointF(-1, 0.4) / 1.08, 5, kBlue);
}

void pencil(QPainter& p)
{
    p.save();
    p.translate(9, 9);
    p.rotate(-45);
    pen(p, kOutline);
    p.setBrush(kYellow);
    p.drawRect(QRectF(-5, -2, 10, 4));
    p.setBrush(QColor(240, 150, 160));
    p.drawRect(QRectF(5, -2, 3, 4));
    p.setBrush(QColor(235, 210, 170));
    QPolygonF tip;
    tip << QPointF(-5, -2) << QPointF(-9, 0) << QPointF(-5, 2);
    p.drawPolygon(tip);
    p.restore();
}

void resize(QPainter& p)
{
    pen(p, kOutline);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 1.5, 15, 15));
    pictureFrame(p, QRectF(1.5, 1.5, 7, 6));
    pen(p, QColor(200, 40, 40), 1.4);
    p.drawLine(QPointF(8, 8), QPointF(14.5, 14.5));
    arrowHead(p, QPointF(15.5, 15.5), QPointF(0.707, 0.707), 4.5, QColor(200, 40, 40));
}

void palette(QPainter& p)
{
    pen(p, QColor(130, 90, 50));
    p.setBrush(QColor(230, 200, 150));
    QPainterPath board;
    board.addEllipse(QRectF(1, 2.5, 16, 13));
    QPainterPath hole;
    hole.addEllipse(QRectF(10, 10, 3.5, 3));
    p.drawPath(board.subtracted(hole));
    const QColor dots[] = {QColor(220, 30, 30), QColor(30, 160, 40), QColor(40, 80, 220), QColor(240, 210, 30),
                           QColor(160, 40, 180)};
    const QPointF at[] = {{5, 6.5}, {9, 5.5}, {13, 6.5}, {4.5, 10.5}, {7.5, 13}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        p.setBrush(dots[i]);
        p.drawEllipse(at[i], 1.7, 1.7);
    }
}

void invert(QPainter& p)
{
    pen(p, kOutline);
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 1.5, 7.5, 15));
    p.setBrush(kOutline);
    p.drawRect(QRectF(9, 1.5, 7.5, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(kOutline);
    p.drawPie(QRectF(4, 4, 10, 10), 90 * 16, 180 * 16);
    p.setBrush(kPaper);
    p.drawPie(QRectF(4, 4, 10, 10), -90 * 16, 180 * 16);
}

void rotate(QPainter& p, int degrees)
{
    pictureFrame(p, QRectF(5.5, 6.5, 7, 5));
    pen(p, kBlue, 1.6);
    p.setBrush(Qt::NoBrush);
    const QRectF circle(2, 2, 14, 14);
    // a clockwise arc ending in the arrow head
    const int span = degrees == 90 ? -90 : -180;
    p.drawArc(circle, 180 * 16, span * 16);
    if (degrees == 90)
        arrowHead(p, QPointF(9, 0.8), QPointF(1, 0), 4, kBlue);
    else
        arrowHead(p, QPointF(16.5, 10.5), QPointF(0, 1), 4, kBlue);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(6);
    f.setBold(true);
    p.setFont(f);
    pen(p, QColor(200, 40, 40));
    p.drawText(QRectF(0, 12, 18, 6), Qt::AlignCenter, degrees == 90 ? QStringLiteral("90") : QStringLiteral("180"));
}

void wand(QPainter& p)
{
    pen(p, kOutline, 2.2);
    p.drawLine(QPointF(2, 16), QPointF(10, 8));
    pen(p, kPaper, 2.2);
    p.drawLine(QPointF(9, 9), QPointF(11, 7));
    const QColor star(240, 190, 0);
    pen(p, star, 1.3);
    const QPointF sparks[] = {{13.5, 4.5}, {7, 3}, {15, 11}};
    const qreal sizes[] = {3.5, 2, 2};
    for (int i = 0; i < 3; ++i) {
        const QPointF c = sparks[i];
        const qreal s = sizes[i];
        p.drawLine(c - QPointF(s, 0), c + QPointF(s, 0));
        p.drawLine(c - QPointF(0, s), c + QPointF(0, s));
        if (i == 0) {
            p.drawLine(c - QPointF(s * 0.6, s * 0.6), c + QPointF(s * 0.6, s * 0.6));
            p.drawLine(c - QPointF(s * 0.6, -s * 0.6), c + QPointF(s * 0.6, -s * 0.6));
        }
    }
}

// A TIFF page with a blue triangle: direction -1 left, 1 right; bar draws
// the end stop of first and last.
void tiffPage(QPainter& p, int direction, bool bar)
{
    page(p, QRectF(3.5, 1.5, 11, 15));
    QPolygonF tri;
    if (bar)
        tri << QPointF(9 + 2 * direction, 9) << QPointF(9 - 3 * direction, 4.5) << QPointF(9 - 3 * direction, 13.5);
    else
        tri << QPointF(9 + 3.5 * direction, 9) << QPointF(9 - 2.5 * direction, 4.5)
            << QPointF(9 - 2.5 * direction, 13.5);
    pen(p, kBlue.darker(150));
    p.setBrush(kBlue);
    p.drawPolygon(tri);
    if (bar) {
        const qreal x = 9 + 2.5 * direction;
        p.fillRect(QRectF(direction > 0 ? x : x - 1.8, 4.5, 1.8, 9), kBlue.darker(150));
    }
}

QImage drawn(const std::function<void(QPainter&)>& draw)
{
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    return image;
}

// A dotted selection frame with a cross-hair at its corner.
void selection(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOutline, 1, Qt::DotLine));
    p.drawRect(QRectF(1.5, 1.5, 11, 10));
    pen(p, QColor(200, 30, 30), 1.5);
    p.drawLine(QPointF(12.5, 8), QPointF(12.5, 17));
    p.drawLine(QPointF(8, 12.5), QPointF(17, 12.5));
}

// The disabled look: the glyph's shape in white, one pixel down and right,
// under the same shape in grey.
QImage disabled(const QImage& glyph)
{
    QImage out(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    auto shapeIn = [&](const QColor& c) {
        QImage s(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
        s.fill(Qt::transparent);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const int a = qAlpha(glyph.pixel(x, y));
                // light parts of the glyph stay open, as in an etched glyph
                const int grey = qGray(glyph.pixel(x, y));
                if (a > 96 && grey < 170)
                    s.setPixelColor(x, y, QColor(c.red(), c.green(), c.blue(), std::min(255, a)));
            }
        return s;
    };
    QPainter p(&out);
    p.drawImage(1, 1, shapeIn(Qt::white));
    p.drawImage(0, 0, shapeIn(QColor(128, 128, 128)));
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const std::pair<const char*, std::function<void(QPainter&)>> glyphs[] = {
        {"OPEN", openFolder},
        {"SAVE", disk},
        {"BACK", [](QPainter& p) { bigArrow(p, false); }},
        {"NEXT", [](QPainter& p) { bigArrow(p, true); }},
        {"PRINT", printer},
        {"SCANPAGES", scanner},
        {"SELECTSCANNER", selectScanner},
        {"SHOWSEL", selection},
        {"PANZOOM", hand},
        {"ZOOMIN", zoomIn},
        {"ZOOMOUT", zoomOut},
        {"BESTFIT", bestFit},
        {"CENTER", center},
        {"RESETZOOM", resetZoom},
        {"CUT", scissors},
        {"COPY", copy},
        {"PASTE", paste},
        {"UNDO", undo},
        {"ANNOTEDIT", pencil},
        {"RESIZE", resize},
        {"CHANGECOLOR", palette},
        {"INVERT", invert},
        {"ROTATE90", [](QPainter& p) { rotate(p, 90); }},
        {"ROTATE180", [](QPainter& p) { rotate(p, 180); }},
        {"EFFECTS", wand},
        {"FIRSTPAGE", [](QPainter& p) { tiffPage(p, -1, true); }},
        {"PRIORPAGE", [](QPainter& p) { tiffPage(p, -1, false); }},
        {"NEXTPAGE", [](QPainter& p) { tiffPage(p, 1, false); }},
        {"LASTPAGE", [](QPainter& p) { tiffPage(p, 1, true); }},
    };
    for (const auto& [name, draw] : glyphs) {
        const QImage glyph = drawn(draw);
        QImage both(2 * kSize, kSize, QImage::Format_ARGB32);
        both.fill(Qt::transparent);
        QPainter p(&both);
        p.drawImage(0, 0, glyph);
        p.drawImage(kSize, 0, disabled(glyph));
        p.end();
        const QString file = folder + QStringLiteral("/ILTB_") + QLatin1String(name) + QStringLiteral(".png");
        if (!both.save(file, "PNG"))
            return 1;
    }
    return 0;
}
