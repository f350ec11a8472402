// Miniatures from smaller images inside the file: a JPEG's EXIF thumbnail
// and a TIFF page's reduced-resolution copy, used only when large enough and
// of the picture's shape, and turned upright like the photo.
#include "thumbnails/dibminiature.h"
#include "thumbnails/exifthumbnail.h"
#include "thumbnails/thumbnailmaker.h"
#include "thumbnails/tiffdirectories.h"

#include "codec/binding/dibconvert.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray jpegOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return bytes;
}

QImage filled(int w, int h, QColor colour)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(colour);
    return img;
}

// Left half one colour, right half another.
QImage halves(int w, int h, QColor left, QColor right)
{
    QImage img = filled(w, h, left);
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x)
            img.setPixelColor(x, y, right);
    return img;
}

void put16(QByteArray& b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

void put32(QByteArray& b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

void entry(QByteArray& b, quint16 tag, quint16 type, quint32 count, quint32 value)
{
    put16(b, tag);
    put16(b, type);
    put32(b, count);
    if (type == 3 && count == 1) {
        put16(b, quint16(value));
        put16(b, 0);
    } else {
        put32(b, value);
    }
}

// The photo's JPEG with an APP1 "Exif" block holding the orientation and the
// thumbnail, right after its start marker.
QByteArray withExifThumbnail(const QByteArray& photo, const QByteArray& thumbnail, int orientation)
{
    QByteArray tiff("II*\0", 4);
    put32(tiff, 8);
    put16(tiff, 1);   // first directory, at 8: 2 + 12 + 4 bytes
    entry(tiff, 0x0112, 3, 1, quint32(orientation));
    put32(tiff, 26);
    put16(tiff, 3);   // second, at 26: 2 + 36 + 4 bytes
    entry(tiff, 0x0103, 3, 1, 6);
    entry(tiff, 0x0201, 4, 1, 68);
    entry(tiff, 0x0202, 4, 1, quint32(thumbnail.size()));
    put32(tiff, 0);
    tiff += thumbnail;
    QByteArray app1("\xFF\xE1", 2);
    const int length = 2 + 6 + int(tiff.size());
    app1.append(char(length >> 8)).append(char(length & 0xFF));
    app1.append("Exif\0\0", 6);
    app1.append(tiff);
    return photo.left(2) + app1 + photo.mid(2);
}

// An uncompressed RGB TIFF, one strip per page; reduced marks the pages
// that are reduced-resolution copies.
QByteArray tiffOf(const QList<QImage>& pages, const QList<bool>& reduced)
{
    QByteArray file("II*\0", 4);
    put32(file, 0);   // set below
    QList<quint32> directories;
    for (int i = 0; i < pages.size(); ++i) {
        const QImage img = pages[i].convertToFormat(QImage::Format_RGB888);
        const quint32 pixels = quint32(file.size());
        for (int y = 0; y < img.height(); ++y)
            file.append(reinterpret_cast<const char*>(img.constScanLine(y)), img.width() * 3);
        const quint32 bits = quint32(file.size());
        put16(file, 8);
        put16(file, 8);
        put16(file, 8);
        if (file.size() % 2)
            file.append('\0');
        directories << quint32(file.size());
        put16(file, 10);
        entry(file, 254, 4, 1, reduced[i] ? 1 : 0);
        entry(file, 256, 4, 1, quint32(img.width()));
        entry(file, 257, 4, 1, quint32(img.height()));
        entry(file, 258, 3, 3, bits);
        entry(file, 259, 3, 1, 1);
        entry(file, 262, 3, 1, 2);
        entry(file, 273, 4, 1, pixels);
        entry(file, 277, 3, 1, 3);
        entry(file, 278, 4, 1, quint32(img.height()));
        entry(file, 279, 4, 1, quint32(img.width() * img.height() * 3));
        put32(file, 0);
    }
    qToLittleEndian(directories[0], file.data() + 4);
    for (int i = 0; i + 1 < directories.size(); ++i)
        qToLittleEndian(directories[i + 1], file.data() + directories[i] + 2 + 10 * 12);
    return file;
}

QString write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

// The colour at a point of the miniature, given relative to the picture
// drawn centred in it.
QColor at(const Th& item, double fx, double fy, QSize drawn)
{
    const QImage& m = item.Bitmap.image();
    const int x = (m.width() - drawn.width()) / 2 + int(fx * drawn.width());
    const int y = (m.height() - drawn.height()) / 2 + int(fy * drawn.height());
    return m.pixelColor(x, y);
}

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 && std::abs(a.blue() - b.blue()) < 40;
}

}  // namespace

class TestCheapMiniatures : public QObject {
    Q_OBJECT

    ThumbnailMaker maker() const { return ThumbnailMaker(ThumbnailMaker::Settings()); }

private slots:
    void exifThumbnailStandsIn()
    {
        QTemporaryDir dir;
        const QByteArray photo = jpegOf(filled(400, 300, Qt::red));
        const QColor blue(0, 0, 255), green(0, 200, 0);
        const auto make = [&](const QString& name, const QByteArray& thumb, int orientation) {
            const QString path = write(dir.filePath(name), withExifThumbnail(photo, thumb, orientation));
            ThumbnailMaker::Items items = maker().make(path);
            return items.size() == 1 ? *items[0] : Th();
        };

        // large enough and of the photo's shape: the miniature is the thumbnail's
        const Th used = make("used.jpg", jpegOf(halves(160, 120, blue, green)), 1);
        QCOMPARE(used.Width, 400);
        QCOMPARE(used.Height, 300);
        QCOMPARE(used.Bitmap.width(), 100);
        QVERIFY(near(at(used, 0.2, 0.5, {100, 75}), blue));
        QVERIFY(near(at(used, 0.8, 0.5, {100, 75}), green));

        // too small, or another shape (bars): the photo's own pixels
        const Th small = make("small.jpg", jpegOf(filled(80, 60, blue)), 1);
        QVERIFY(near(at(small, 0.5, 0.5, {100, 75}), Qt::red));
        const Th other = make("other.jpg", jpegOf(filled(160, 160, blue)), 1);
        QVERIFY(near(at(other, 0.5, 0.5, {100, 75}), Qt::red));

        // turned like the photo: orientation 6 shows the stored left half on top
        const Th turned = make("turned.jpg", jpegOf(halves(160, 120, blue, green)), 6);
        QCOMPARE(turned.Width, 300);
        QCOMPARE(turned.Height, 400);
        QVERIFY(near(at(turned, 0.5, 0.2, {75, 100}), blue));
        QVERIFY(near(at(turned, 0.5, 0.8, {75, 100}), green));
        // 8: the stored left half at the bottom
        const Th back = make("back.jpg", jpegOf(halves(160, 120, blue, green)), 8);
        QVERIFY(near(at(back, 0.5, 0.2, {75, 100}), green));
        QVERIFY(near(at(back, 0.5, 0.8, {75, 100}), blue));
    }

    // Every cut of the EXIF block is read within the file, and a cut
    // thumbnail leaves the photo's own miniature.
    void damagedExifBlocks()
    {
        const QByteArray file = withExifThumbnail(jpegOf(filled(400, 300, Qt::red)), jpegOf(filled(160, 120, Qt::blue)), 6);
        exifthumbnail::Found found;
        QVERIFY(exifthumbnail::find(file, found));
        QCOMPARE(found.orientation, 6);
        for (qsizetype n = 0; n < found.offset + found.length; ++n) {
            const QByteArray cut(file.constData(), n);   // a copy: reads past it are caught
            exifthumbnail::Found f;
            if (exifthumbnail::find(cut, f))
                QVERIFY(f.offset + f.length <= n);
        }
        QByteArray bad = file;
        bad[int(found.offset)] = 'x';   // no JPEG where the thumbnail should start
        QVERIFY(!exifthumbnail::find(bad, found));
    }

    // A 24-bit picture shrunk straight from the decoder's DIB gives the very
    // pixels of the general way (a QPainter stretch of the whole picture).
    void directMiniatureEqualsTheStretch()
    {
        QRandomGenerator random(16);
        const QSize sizes[] = {{1, 1}, {2, 3}, {99, 100}, {100, 75}, {101, 77}, {133, 100}, {640, 480}, {479, 641},
                               {1023, 17}, {3001, 2999}, {2561, 1441}, {7, 700}, {250, 250}, {1001, 11}};
        for (const QSize cellSize : {QSize(100, 100), QSize(150, 90)}) {
            ThumbnailMaker::Settings settings;
            settings.width = cellSize.width();
            settings.height = cellSize.height();
            settings.fillColor = QColor(12, 34, 56);
            const ThumbnailMaker maker(settings);
            for (const QSize size : sizes) {
                QImage picture(size, QImage::Format_RGB888);
                const quint32 seed = random.generate();
                for (int y = 0; y < size.height(); ++y) {
                    uchar* line = picture.scanLine(y);
                    for (int x = 0; x < 3 * size.width(); ++x)   // every byte differs from its neighbours
                        line[x] = uchar((quint32(x) * 2654435761u ^ quint32(y) * 40503u ^ seed) >> 13);
                }
                const TBitmap bitmap(picture, pf24bit);
                GlobalHandle dib = GraphicToDIB(&bitmap);
                QVERIFY(dib);
                QCOMPARE(dibminiature::sizeOf(dib), size);
                const QSize shrunk = maker.miniatureSize(size.width(), size.height());
                const QImage direct = dibminiature::make(dib, cellSize, shrunk, settings.fillColor);
                FreeDIB(dib);
                const QImage general = maker.MakeThumbnail(shrunk.width(), shrunk.height(), bitmap).image();
                QVERIFY2(direct == general.convertToFormat(QImage::Format_RGB888),
                         qPrintable(QString("%1x%2 in %3x%4").arg(size.width()).arg(size.height())
                                        .arg(cellSize.width()).arg(cellSize.height())));
            }
        }
    }

    void reducedTiffPageStandsIn()
    {
        QTemporaryDir dir;
        const QImage full = filled(400, 300, Qt::red), reduced = filled(200, 150, Qt::blue),
                     tiny = filled(40, 30, Qt::green);
        const QString pyramid = write(dir.filePath("pyramid.tif"), tiffOf({full, reduced, tiny}, {false, true, true}));
        ThumbnailMaker::Items items = maker().make(pyramid);
        QCOMPARE(items.size(), size_t(3));   // every directory is a page, as before
        QCOMPARE(items[0]->Width, 400);
        QVERIFY(near(at(*items[0], 0.5, 0.5, {100, 75}), Qt::blue));   // the smallest copy large enough
        QVERIFY(near(at(*items[1], 0.5, 0.5, {100, 75}), Qt::blue));
        QVERIFY(near(at(*items[2], 0.5, 0.5, {100, 75}), Qt::green));

        // no reduced copy: each page its own pixels
        const QString pages = write(dir.filePath("pages.tif"), tiffOf({full, reduced}, {false, false}));
        items = maker().make(pages);
        QCOMPARE(items.size(), size_t(2));
        QVERIFY(near(at(*items[0], 0.5, 0.5, {100, 75}), Qt::red));

        // a copy of another shape does not stand in
        const QString odd = write(dir.filePath("odd.tif"), tiffOf({full, filled(200, 200, Qt::blue)}, {false, true}));
        items = maker().make(odd);
        QCOMPARE(items.size(), size_t(2));
        QVERIFY(near(at(*items[0], 0.5, 0.5, {100, 75}), Qt::red));
    }

    void tiffDirectoriesOfDamagedFiles()
    {
        const QByteArray file = tiffOf({filled(40, 30, Qt::red), filled(20, 15, Qt::blue)}, {false, true});
        const std::vector<TiffDirectory> whole = TiffDirectories(file);
        QCOMPARE(whole.size(), size_t(2));
        QCOMPARE(whole[1].width, 20);
        QVERIFY(whole[1].reduced && !whole[0].reduced);
        for (qsizetype n = 0; n < file.size(); ++n)
            QVERIFY(TiffDirectories(QByteArray(file.constData(), n)).size() <= 2);
        QByteArray looped = file;   // the second directory points back to the first
        const quint32 first = qFromLittleEndian<quint32>(file.constData() + 4);
        const quint32 second = qFromLittleEndian<quint32>(file.constData() + first + 2 + 10 * 12);
        qToLittleEndian(first, looped.data() + second + 2 + 10 * 12);
        QCOMPARE(TiffDirectories(looped).size(), size_t(2));
    }
};

QTEST_MAIN(TestCheapMiniatures)
#include "tst_cheapminiatures.moc"
