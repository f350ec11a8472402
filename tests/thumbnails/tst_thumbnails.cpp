// The thumbnail grid: which files it takes, what it shows for them, how
// cells map to items, and its database file.
#include "thumbnails/databaselinereader.h"
#include "thumbnails/depthtext.h"
#include "thumbnails/ispicturefile.h"
#include "thumbnails/piclibthumbnails.h"
#include "thumbnails/thumbnaildatabase.h"

#include "codec/binding/tbitmap.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "platform/fileops.h"
#include "platform/settings.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <QtTest>
#include <cctype>
#include <sys/stat.h>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A picture with a distinct colour per quadrant, saved by Qt's own writer.
QString makePicture(const QString& path, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(Qt::white);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, QColor(x < w / 2 ? 200 : 20, y < h / 2 ? 180 : 40, 90));
    img.save(path);
    return path;
}

// A TIFF with `pages` pages, written by ImageMagick; empty when it is missing.
QString makeTiff(const QString& path, int pages)
{
    const QString convert = QStandardPaths::findExecutable("convert");
    if (convert.isEmpty())
        return {};
    QStringList args;
    const char* colours[] = {"red", "green", "blue", "yellow"};
    for (int i = 0; i < pages; ++i)
        args << "-size" << QString("%1x%2").arg(40 + 10 * i).arg(30) << QString("xc:%1").arg(colours[i % 4]);
    args << path;
    QProcess p;
    p.start(convert, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return path;
}

Th itemWith(int colors, int bits, int planes, int code)
{
    Th t;
    t.Colors = qint16(colors);
    t.Bits = qint16(bits);
    t.Planes = qint16(planes);
    t.PixelCode = quint8(code);
    return t;
}

}  // namespace

class TestThumbnails : public QObject {
    Q_OBJECT

    void enableDatabases(TPicLibThumbnails& grid) { grid.host.thumbnailsEnabled = [] { return true; }; }

private slots:
    void init()
    {
        Settings store;
        store.clear();
    }

    void whichFilesArePictures()
    {
        QTemporaryDir dir;
        struct Case { const char* name; int size; bool picture; };
        const Case cases[] = {
            {"a.jpg", 332, false}, {"b.jpg", 333, true}, {"c.BMP", 65, false}, {"d.bmp", 66, true},
            {"e.tif", 175, false}, {"f.TIFF", 176, true}, {"g.png", 87, false}, {"h.png", 88, true},
            {"i.pcx", 129, false}, {"j.pcx", 130, true}, {"k.eps", 621, false}, {"l.tga", 31, true},
            {"m.txt", 5000, false}, {"n", 5000, false}, {"o.tga", 30, false},
        };
        for (const Case& c : cases) {
            writeBytes(dir.filePath(c.name), QByteArray(c.size, 'x'));
            QVERIFY2(IsPictureFile(dir.filePath(c.name)) == c.picture, c.name);
        }
        writeBytes(dir.filePath("old.gif"), "GIF87a" + QByteArray(494, 0));
        writeBytes(dir.filePath("new.gif"), "GIF89a" + QByteArray(494, 0));
        writeBytes(dir.filePath("big89.gif"), "GIF89a" + QByteArray(801, 0));
        writeBytes(dir.filePath("tiny.gif"), "GIF87a" + QByteArray(30, 0));
        QVERIFY(IsPictureFile(dir.filePath("old.gif")));
        QVERIFY(!IsPictureFile(dir.filePath("new.gif")));
        QVERIFY(IsPictureFile(dir.filePath("big89.gif")));
        QVERIFY(!IsPictureFile(dir.filePath("tiny.gif")));
        QVERIFY(!IsPictureFile(dir.filePath("missing.jpg")));
    }

    void depthTexts()
    {
        QCOMPARE(DepthText(itemWith(0, 24, 1, 6)), QString("24Bit"));
        QCOMPARE(DepthText(itemWith(0, 1, 1, 1)), QString("Mono"));
        QCOMPARE(DepthText(itemWith(0, 8, 1, 3)), QString("256 "));
        QCOMPARE(DepthText(itemWith(16, 4, 1, 2)), QString("16 "));
        QCOMPARE(DepthText(itemWith(0, 12, 1, 8)), QString("4 K"));
        QCOMPARE(DepthText(itemWith(0, 16, 1, 5)), QString("16Bit"));
        QCOMPARE(DepthText(itemWith(0, 4, 0, 0)), QString("4 Bit"));   // no colours at all
    }

    void cellsAndSelection()
    {
        TPicLibThumbnails grid;
        grid.setThumbnailWidth(10);
        QCOMPARE(grid.ThumbnailWidth(), 30);
        QCOMPARE(grid.DefaultColWidth(), 30);
        grid.setThumbnailWidth(100);
        grid.setThumbnailHeight(100);

        QTemporaryDir dir;
        for (int i = 0; i < 5; ++i)
            makePicture(dir.filePath(QString("p%1.png").arg(i)), 60 + i, 40);
        grid.resize(3 * 106 + 40, 500);
        grid.show();
        QCOMPARE(grid.LoadFolder(dir.path()), 5);
        QCOMPARE(grid.Count(), 5);
        QCOMPARE(grid.ColCount(), 3);
        QCOMPARE(grid.RowCount(), 2);

        QList<int> selected;
        grid.OnSelectThumb = [&](QObject*, int, int, int index, const QString&, int) { selected << index; };
        // the empty cell after the last item: index computed, nothing named
        const QRect empty = grid.CellRect(2, 1);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, empty.center());
        QCOMPARE(grid.CurrentSelected, 5);
        QCOMPARE(grid.Filename(), QString());
        QCOMPARE(grid.Page(), -1);
        QCOMPARE(grid.SelectIndex(5), -1);
        QCOMPARE(grid.CurrentSelected, 5);

        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(1, 1).center());
        QCOMPARE(grid.CurrentSelected, 4);
        QCOMPARE(grid.Filename(), grid.item(4).FileName);
        QTest::keyClick(grid.viewport(), Qt::Key_Up);
        QCOMPARE(grid.CurrentSelected, 1);
        QCOMPARE(selected, QList<int>({5, 4, 1}));

        // file names are case-sensitive: P3.PNG is another file
        QCOMPARE(grid.IndexOfFile(dir.filePath("P3.PNG"), 0), -1);
        QCOMPARE(grid.IndexOfFile(dir.filePath("p3.png"), 0), 3);
        QCOMPARE(grid.CurrentSelected, 3);
        QCOMPARE(grid.IndexOfFile(dir.filePath("p3.png"), 1), -1);
        grid.SetChecked(2, true);
        QVERIFY(grid.GetChecked(2));
        QVERIFY(!grid.GetChecked(7));
        grid.SetCheckedByName(dir.filePath("P2.png"), false);
        QVERIFY(grid.GetChecked(2));
        grid.SetCheckedByName(dir.filePath("p2.png"), false);
        QVERIFY(!grid.GetChecked(2));

        grid.setShowImageName(false);
        grid.viewport()->repaint();
        QCOMPARE(grid.DefaultRowHeight(), 106);
        grid.setShowImageName(true);
        grid.viewport()->repaint();
        QCOMPARE(grid.DefaultRowHeight(), 142);
    }

    // Items are found and selected by their place in the list, whether their
    // cells were ever drawn or not, and sorting keeps the selected picture.
    void selectionAddressesItems()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 9; ++i)
            makePicture(dir.filePath(QString("p%1.png").arg(i)), 60 + 10 * (i % 3), 40 + i);
        TPicLibThumbnails grid;
        grid.resize(3 * 106 + 40, 300);   // never shown: no cell is drawn
        QCOMPARE(grid.LoadFolder(dir.path()), 9);
        QString shown;
        grid.OnSelectThumb = [&](QObject*, int, int, int, const QString& file, int) { shown = file; };
        QCOMPARE(grid.IndexOfFile(dir.filePath("p7.png"), 0), 7);
        QCOMPARE(grid.CurrentSelected, 7);
        QCOMPARE(grid.Filename(), dir.filePath("p7.png"));
        QCOMPARE(shown, dir.filePath("p7.png"));
        QCOMPARE(grid.SelectIndex(5), 5);
        QCOMPARE(grid.Filename(), dir.filePath("p5.png"));

        // by width, widest first: the selection moves with p5
        grid.sortItems([](const Th& a, const Th& b) {
            return a.Width != b.Width ? b.Width - a.Width : a.FileName.compare(b.FileName);
        });
        QVERIFY(grid.item(5).FileName != dir.filePath("p5.png"));
        QVERIFY(grid.CurrentSelected >= 0);
        QCOMPARE(grid.item(grid.CurrentSelected).FileName, dir.filePath("p5.png"));
        QCOMPARE(grid.Row() * grid.ColCount() + grid.Col(), grid.CurrentSelected);
        // a key step goes on from the picture's new cell
        const int before = grid.CurrentSelected;
        const bool left = grid.Col() > 0;
        QTest::keyClick(&grid, left ? Qt::Key_Left : Qt::Key_Right);
        QCOMPARE(grid.CurrentSelected, left ? before - 1 : before + 1);
    }

    void picturesBecomeMiniatures()
    {
        QTemporaryDir dir;
        TPicLibThumbnails grid;
        grid.FillColor = QColor(1, 2, 3);
        grid.AddFile(makePicture(dir.filePath("wide.bmp"), 200, 100));
        QCOMPARE(grid.itemCount(), 1);
        const Th& wide = grid.item(0);
        QCOMPARE(wide.Width, 200);
        QCOMPARE(wide.Height, 100);
        QCOMPARE(wide.FormatName, QString("BMP"));
        QCOMPARE(wide.Bitmap.width(), 100);
        QCOMPARE(wide.Bitmap.height(), 100);
        // 100 x 50 centred: fill above and below, picture in the middle
        QCOMPARE(wide.Bitmap.image().pixelColor(50, 10), QColor(1, 2, 3));
        QCOMPARE(wide.Bitmap.image().pixelColor(10, 30), QColor(200, 180, 90));
        QCOMPARE(wide.Bitmap.image().pixelColor(90, 70), QColor(20, 40, 90));
        QCOMPARE(wide.FileSize, QFileInfo(dir.filePath("wide.bmp")).size());
        QCOMPARE(wide.FileDate.time().msec(), 0);

        // a strip: halved until the sides are within 1:100, cut to its top-left part
        grid.AddFile(makePicture(dir.filePath("strip.png"), 4000, 20));
        QCOMPARE(grid.itemCount(), 2);
        const Th& strip = grid.item(1);
        QCOMPARE(strip.Width, 4000);
        QCOMPARE(strip.Height, 20);
        QCOMPARE(strip.Bitmap.image().pixelColor(50, 50), QColor(200, 180, 90));   // only the left part

        // smoothing averages a fine checkerboard to grey; plain stretching picks pixels
        QImage checks(400, 400, QImage::Format_RGB888);
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 400; ++x)
                checks.setPixelColor(x, y, (x + y) % 2 ? Qt::white : Qt::black);
        QVERIFY(checks.save(dir.filePath("checks.bmp")));
        grid.AddFile(dir.filePath("checks.bmp"));
        const QColor plain = grid.item(2).Bitmap.image().pixelColor(50, 50);
        QVERIFY(plain == QColor(Qt::white) || plain == QColor(Qt::black));
        grid.AntiAliasedColorThumbNail = true;
        grid.AddFile(dir.filePath("checks.bmp"));
        const QColor smooth = grid.item(3).Bitmap.image().pixelColor(50, 50);
        QVERIFY2(qAbs(smooth.red() - 128) < 20, qPrintable(smooth.name()));
        grid.DeleteItem(3);
        grid.DeleteItem(2);

        writeBytes(dir.filePath("broken.png"), QByteArray(500, 'x'));
        grid.AddFile(dir.filePath("broken.png"));
        QCOMPARE(grid.itemCount(), 2);
    }

    void metafilesBecomeMiniatures()
    {
        QTemporaryDir dir;
        QImage halves(200, 100, QImage::Format_RGB888);
        for (int x = 0; x < 200; ++x)
            for (int y = 0; y < 100; ++y)
                halves.setPixelColor(x, y, x < 100 ? QColor(220, 0, 0) : QColor(0, 0, 220));
        const TBitmap picture(halves, pf24bit);
        TMetafile wmf, emf;
        QVERIFY(BitmapToMetafile(&picture, &wmf, false));
        QVERIFY(BitmapToMetafile(&picture, &emf, true));
        QVERIFY(wmf.SaveToFile(dir.filePath("a.wmf")));
        QVERIFY(emf.SaveToFile(dir.filePath("b.emf")));
        writeBytes(dir.filePath("broken.wmf"), QByteArray(100, 'x'));
        TPicLibThumbnails grid;
        grid.host.isUnsorted = [] { return true; };
        grid.FillColor = QColor(1, 2, 3);
        grid.AddFile(dir.filePath("a.wmf"));
        grid.AddFile(dir.filePath("b.emf"));
        grid.AddFile(dir.filePath("broken.wmf"));
        QCOMPARE(grid.itemCount(), 2);
        const Th& w = grid.item(0);
        QCOMPARE(w.FormatName, QString("WMF"));
        QCOMPARE(QSize(w.Width, w.Height), QSize(169, 85));
        QCOMPARE(w.Bits, qint16(24));
        QCOMPARE(w.PixelCode, quint8(6));
        QCOMPARE(w.Planes, qint16(1));
        QCOMPARE(w.Colors, qint16(0));
        const Th& e = grid.item(1);
        QCOMPARE(e.FormatName, QString("EMF"));
        QCOMPARE(QSize(e.Width, e.Height), QSize(200, 100));
        // the miniature shows the picture centred in the fill colour
        QCOMPARE(e.Bitmap.image().pixelColor(50, 10), QColor(1, 2, 3));
        QCOMPARE(e.Bitmap.image().pixelColor(20, 50), QColor(220, 0, 0));
        QCOMPARE(e.Bitmap.image().pixelColor(80, 50), QColor(0, 0, 220));
    }

    void tiffPagesAreItems()
    {
        QTemporaryDir dir;
        const QString tiff = makeTiff(dir.filePath("three.tif"), 3);
        if (tiff.isEmpty())
            QSKIP("ImageMagick is not installed");
        TPicLibThumbnails grid;
        grid.host.isUnsorted = [] { return true; };
        grid.AddFile(tiff);
        QCOMPARE(grid.itemCount(), 3);
        for (int p = 0; p < 3; ++p) {
            QCOMPARE(grid.item(p).PageIndex, p);
            QCOMPARE(grid.item(p).PageCount, 3);
            QCOMPARE(grid.item(p).Width, 40 + 10 * p);
            QCOMPARE(grid.item(p).FormatName, QString("TIF"));
        }
        const QString one = makeTiff(dir.filePath("one.tiff"), 1);
        grid.AddFile(one);
        QCOMPARE(grid.itemCount(), 4);
        QCOMPARE(grid.item(3).PageCount, 1);
    }

    // "Page n" of a TIFF page is drawn whole, inside the cell's frame:
    // as much of it shows with a frame as without
    void pageLabelStaysInsideTheFrame()
    {
        const auto labelPixels = [](int frame) {
            TPicLibThumbnails grid;
            grid.host.isUnsorted = [] { return true; };
            grid.setShowImageName(true);
            grid.setColor(QColor(255, 0, 255));   // the label: its inverse, green
            grid.FrameWidth = frame;
            grid.resize(400, 300);
            grid.AddFile(QStringLiteral(KV_TEST_DATA "/codec/rose-3pages.tif"));
            const QImage shot = grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QRect cell = grid.CellRect(1, 0);
            int count = 0;   // green over the miniature's white top
            for (int y = cell.top(); y < cell.top() + 20; ++y)
                for (int x = cell.left(); x <= cell.right(); ++x) {
                    const QRgb c = shot.pixel(x, y);
                    count += qGreen(c) - std::max(qRed(c), qBlue(c)) > 60 ? 1 : 0;
                }
            return count;
        };
        const int bare = labelPixels(0);
        QVERIFY2(bare > 20, qPrintable(QString::number(bare)));
        QCOMPARE(labelPixels(3), bare);
    }

    void databaseRoundTrip()
    {
        QTemporaryDir dir;
        TPicLibThumbnails grid;
        enableDatabases(grid);
        grid.host.isUnsorted = [] { return true; };
        for (const char* name : {"a.png", "b.bmp", "c.png"})
            grid.AddFile(makePicture(dir.filePath(name), 80, 60));
        QCOMPARE(grid.itemCount(), 3);
        grid.SetChecked(1, true);
        const QString db = dir.filePath("KvnThumbalais.db");
        QVERIFY(grid.SaveDatabase(db));

        QFile file(db);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        file.close();
        QVERIFY(text.startsWith("[0]\r\n424D"));   // "BM" in upper-case hexadecimal
        QCOMPARE(text.count("\r\n"), 45);

        TPicLibThumbnails again;
        enableDatabases(again);
        again.LoadDatabase(db);
        QCOMPARE(again.itemCount(), 3);
        QCOMPARE(again.Count(), 3);
        for (int i = 0; i < 3; ++i) {
            const Th& a = grid.item(i);
            const Th& b = again.item(i);
            QCOMPARE(b.FileName, a.FileName);
            QCOMPARE(b.Width, a.Width);
            QCOMPARE(b.FileSize, a.FileSize);
            QCOMPARE(b.FileDate, a.FileDate);
            QCOMPARE(b.PixelCode, a.PixelCode);
            QCOMPARE(b.Bits, a.Bits);
            QCOMPARE(b.Compression, a.Compression);
            QVERIFY(b.Bitmap.empty());   // read from the file when its cell needs it
            QCOMPARE(again.Miniature(i).image().convertToFormat(QImage::Format_RGB888),
                     a.Bitmap.image().convertToFormat(QImage::Format_RGB888));
            QVERIFY(!b.Checked);
        }

        // saving what was just loaded leaves the file alone; a change rewrites it
        struct stat before {};
        QCOMPARE(stat(QFile::encodeName(db).constData(), &before), 0);
        QVERIFY(again.SaveDatabase(db));
        struct stat same {};
        QCOMPARE(stat(QFile::encodeName(db).constData(), &same), 0);
        QCOMPARE(same.st_ino, before.st_ino);
        again.DeleteItem(2);
        QVERIFY(again.SaveDatabase(db));
        struct stat changed {};
        QCOMPARE(stat(QFile::encodeName(db).constData(), &changed), 0);
        QVERIFY(changed.st_ino != before.st_ino);
        QVERIFY(grid.SaveDatabase(db));   // all three again for what follows

        // a picture that is gone drops its entry; the others stay
        QFile::remove(dir.filePath("b.bmp"));
        TPicLibThumbnails third;
        enableDatabases(third);
        third.LoadDatabase(db);
        QCOMPARE(third.itemCount(), 2);
        QCOMPARE(third.item(1).FileName, dir.filePath("c.png"));

        Settings store;
        QCOMPARE(store.readSection("DBFiles").size(), 1);
        QCOMPARE(store.readString("DBFiles", "0", ""), db);
    }

    void damagedDatabases()
    {
        QTemporaryDir dir;
        TPicLibThumbnails grid;
        enableDatabases(grid);
        grid.host.isUnsorted = [] { return true; };
        grid.AddFile(makePicture(dir.filePath("a.png"), 50, 50));
        grid.AddFile(makePicture(dir.filePath("b.png"), 50, 50));
        const QString db = dir.filePath("KvnThumbalais.db");
        grid.SaveDatabase(db);
        QFile f(db);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray good = f.readAll();
        f.close();
        const QList<QByteArray> lines = good.split('\n');

        auto load = [&](const QByteArray& bytes) -> int {
            QFile out(db);
            if (!out.open(QIODevice::WriteOnly))
                return -2;
            out.write(bytes);
            out.close();
            TPicLibThumbnails g;
            enableDatabases(g);
            try {
                g.LoadDatabase(db);
            } catch (const std::exception&) {
            }
            return g.Busy ? -1 : g.itemCount();
        };
        // an unreadable date makes that entry's date unknown; all entries load
        QList<QByteArray> badDate = lines;
        badDate[10 + 15] = "31.31.2020 99:99:99\r";
        writeBytes(db, badDate.join('\n'));
        {
            TPicLibThumbnails g;
            enableDatabases(g);
            g.LoadDatabase(db);
            QCOMPARE(g.itemCount(), 2);
            QVERIFY(g.item(0).FileDate.isValid());
            QVERIFY(!g.item(1).FileDate.isValid());
        }
        // miniatures that lie: not a BMP, an odd length, a BMP header claiming
        // more than the line holds, a line far too long: that entry goes
        for (const QByteArray& miniature :
             {QByteArray("424D0000"), lines[1].trimmed() + "A", lines[1].left(300), QByteArray(5 << 20, 'F')}) {
            QList<QByteArray> bad = lines;
            bad[1] = miniature + "\r";
            QCOMPARE(load(bad.join('\n')), 1);
        }
        // garbage, an empty file, a cut entry
        QCOMPARE(load(QByteArray(3000, '\xff')), 0);
        QCOMPARE(load(QByteArray()), 0);
        QByteArray cut = lines.mid(0, 15 + 6).join('\n');   // ends after the second file name
        QCOMPARE(load(cut), 2);
        // databases off: the grid is not even cleared
        TPicLibThumbnails off;
        off.AddFile(dir.filePath("a.png"));
        off.LoadDatabase(db);
        QCOMPARE(off.itemCount(), 1);
    }

    // Lines across the reader's 1 MiB blocks, CR LF and LF ends, a line
    // past the limit, a last line without its end, and hex digits.
    void databaseLinesAndHexDigits()
    {
        const QByteArray threeMiB(3 * 1024 * 1024 + 17, 'A');
        const QByteArray tooLong(ThumbnailDatabase::kMaxLine + 5, 'B');
        QByteArray data = "[0]\r\n" + threeMiB + "\r\nshort\n" + tooLong + "\r\nafter\r\n\r\nlast";
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        DatabaseLineReader reader(buffer);
        QStringList lines;
        QString line;
        bool error = true;
        while (reader.next(line, &error))
            lines << line;
        QVERIFY(!error);
        QVERIFY(reader.atEnd());
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], QString("[0]"));
        QCOMPARE(lines[1].size(), threeMiB.size());
        QCOMPARE(lines[2], QString("short"));
        QCOMPARE(lines[3], QString());   // past the limit: empty, the next line intact
        QCOMPARE(lines[4], QString("after"));
        QCOMPARE(lines[5], QString());
        QCOMPARE(lines[6], QString("last"));

        // miniature lines: where they lie and whether they hold digits only,
        // with the CR of one the last byte of the reader's first block
        const QByteArray digits(1024 * 1024 - 6, 'c');
        QByteArray hexData = "[0]\r\n" + digits + "\r\n" + "0a\r0B\r\n" + "12G4\r\n" + "dE\r\r\n" + "9f";
        QBuffer hexBuffer(&hexData);
        QVERIFY(hexBuffer.open(QIODevice::ReadOnly));
        DatabaseLineReader hexReader(hexBuffer);
        QVERIFY(hexReader.next(line, &error));
        DatabaseLineReader::HexLine hex;
        const auto nextHex = [&] {
            QVERIFY(hexReader.nextHex(hex, &error));
            QVERIFY(!error);
        };
        nextHex();
        QCOMPARE(hex.offset, 5);
        QCOMPARE(hex.length, digits.size());
        QVERIFY(hex.hexDigits);
        QCOMPARE(hex.head, digits.left(108));
        nextHex();
        QVERIFY(!hex.hexDigits);   // a CR inside
        nextHex();
        QCOMPARE(hex.length, 4);
        QVERIFY(!hex.hexDigits);
        nextHex();
        QVERIFY(!hex.hexDigits);   // two CRs at the end
        nextHex();
        QCOMPARE(hex.length, 2);
        QVERIFY(hex.hexDigits);   // the file's end ends the line

        // every byte value in every place of a line, the checked-in-blocks
        // part and the rest: only 0-9, a-f and A-F pass
        const QByteArray valid = "0123456789abcdefABCDEF0123456789abcdeF";
        const QList<int> places = {0, 5, 15, 16, 31, 32, 37};
        QByteArray lineData;
        for (int value = 0; value < 256; ++value)
            for (int place : places)
                if (value != '\n' && value != '\r') {
                    QByteArray l = valid;
                    l[place] = char(value);
                    lineData += l + '\n';
                }
        QBuffer lineBuffer(&lineData);
        QVERIFY(lineBuffer.open(QIODevice::ReadOnly));
        DatabaseLineReader lineReader(lineBuffer);
        for (int value = 0; value < 256; ++value)
            for (int place : places)
                if (value != '\n' && value != '\r') {
                    QVERIFY(lineReader.nextHex(hex, &error));
                    QCOMPARE(hex.length, valid.size());
                    const bool isHex = std::isxdigit(value) != 0 && value < 128;
                    QVERIFY2(hex.hexDigits == isHex, qPrintable(QString("byte %1 at %2").arg(value).arg(place)));
                }

        QByteArray bytes;
        QVERIFY(ThumbnailDatabase::fromHexDigits("00Ff7a", bytes));
        QCOMPARE(bytes, QByteArray("\x00\xff\x7a", 3));
        QVERIFY(!ThumbnailDatabase::fromHexDigits("0F0", bytes));
        QVERIFY(!ThumbnailDatabase::fromHexDigits("0G", bytes));
        QVERIFY(!ThumbnailDatabase::fromHexDigits(QString::fromUtf8("0\u00e9"), bytes));
    }

    void storedFieldsSurvive()
    {
        Th t;
        t.FileSize = 3LL << 30;   // 3 GiB
        t.FileDate = QDateTime(QDate(2024, 2, 29), QTime(13, 5, 9));
        t.PixelCode = 6;
        t.Bitmap = TBitmap(QImage(8, 8, QImage::Format_RGB888), pf24bit);
        QTemporaryDir dir;
        t.FileName = dir.filePath("x.png");
        const QByteArray text = ThumbnailDatabase::entryText(4, t);
        QVERIFY(text.contains("\r\n29.02.2024 13:05:09\r\n"));
        QStringList fields = QString::fromUtf8(text).split("\r\n").mid(1, 14);
        std::unique_ptr<Th> back = ThumbnailDatabase::parseEntry(fields, false);
        QVERIFY(back);
        QCOMPARE(back->FileSize, 3LL << 30);
        QCOMPARE(back->FileDate, t.FileDate);
        fields[9] = "2024-02-29T13:05:09";
        QCOMPARE(ThumbnailDatabase::parseEntry(fields, false)->FileDate, t.FileDate);
        fields[9] = "29.02.2024";
        QCOMPARE(ThumbnailDatabase::parseEntry(fields, false)->FileDate, QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
        t.FileDate = QDateTime(QDate(2024, 2, 29), QTime(0, 0));
        QVERIFY(ThumbnailDatabase::entryText(0, t).contains("\r\n29.02.2024\r\n"));
    }

    void savingAnEmptyGridKeepsTheFile()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("KvnThumbalais.db");
        writeBytes(db, "old");
        TPicLibThumbnails grid;
        enableDatabases(grid);
        QVERIFY(grid.SaveDatabase(db));
        QFile f(db);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));
    }

    // The database is only ever a regular file of the folder itself, and a
    // save that does not finish leaves the old one as it was.
    void databaseNeverReplacesWhatItDoesNotOwn()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 3; ++i)
            makePicture(dir.filePath(QString("p%1.png").arg(i)), 30 + i, 20);
        TPicLibThumbnails grid;
        enableDatabases(grid);
        QCOMPARE(grid.LoadFolder(dir.path()), 3);
        const QString db = dir.filePath("KvnThumbalais.db");

        // a link of that name: neither the link nor what it points to changes
        const QString precious = dir.filePath("letter.txt");
        writeBytes(precious, "my letter");
        QVERIFY(QFile::setPermissions(precious, QFileDevice::ReadOwner));
        QVERIFY(QFile::link(precious, db));
        QVERIFY(grid.SaveDatabase(db));
        QVERIFY(QFileInfo(db).isSymLink());
        QFile letter(precious);
        QVERIFY(letter.open(QIODevice::ReadOnly));
        QCOMPARE(letter.readAll(), QByteArray("my letter"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(precious).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0400));
        QVERIFY(QFile::remove(db));

        // a folder of that name stays a folder
        QVERIFY(QDir(dir.path()).mkdir("KvnThumbalais.db"));
        QVERIFY(grid.SaveDatabase(db));
        QVERIFY(QFileInfo(db).isDir());
        QVERIFY(QDir(dir.path()).rmdir("KvnThumbalais.db"));

        // a regular file is replaced whole; no temporary file stays behind
        QVERIFY(grid.SaveDatabase(db));
        QVERIFY(QFileInfo(db).isFile() && !QFileInfo(db).isSymLink());
        QFile saved(db);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray complete = saved.readAll();
        saved.close();
        QVERIFY(complete.contains("[2]\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 5);   // 3 pictures, letter, database

        // a save stopped half-way, or failing to write, keeps the old file
        grid.Clear();
        for (int i = 3; i < 6; ++i)
            makePicture(dir.filePath(QString("p%1.png").arg(i)), 30 + i, 20);
        QCOMPARE(grid.LoadFolder(dir.path()), 6);
        int progress = 0;
        grid.host.setProgressPosition = [&](int) {
            if (++progress == 3)
                grid.CancelRequested = true;
        };
        QVERIFY(grid.SaveDatabase(db));
        grid.host.setProgressPosition = nullptr;
        fileops::setFaultHook([](fileops::Op op, const QString&) { return op == fileops::Op::Write; });
        QVERIFY(grid.SaveDatabase(db));
        fileops::setFaultHook({});
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), complete);
        saved.close();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 8);
    }

    // A save on the grid's writer thread writes the items as they stood when
    // it began, whatever the grid does meanwhile, and a grid that goes
    // first waits for it.
    void savingInTheBackground()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 5; ++i)
            makePicture(dir.filePath(QString("p%1.png").arg(i)), 30 + i, 20);
        const QString db = dir.filePath("KvnThumbalais.db");
        const auto contents = [&db] {
            QFile f(db);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        TPicLibThumbnails grid;
        enableDatabases(grid);
        QCOMPARE(grid.LoadFolder(dir.path()), 5);
        QVERIFY(grid.SaveDatabase(db));
        const QByteArray written = contents();
        QVERIFY(written.contains("[4]\r\n"));
        QVERIFY(QFile::remove(db));

        QEventLoop loop;
        bool done = false;
        QVERIFY(grid.SaveDatabaseInBackground(db, [&] {
            done = true;
            loop.quit();
        }));
        QVERIFY(grid.Busy && grid.Saving());
        grid.Clear();   // the writer has its own copies
        grid.AddFile(makePicture(dir.filePath("late.png"), 44, 20));
        loop.exec();
        QVERIFY(done && !grid.Busy && !grid.Saving());
        QCOMPARE(contents(), written);
        // the grid changed after the save began: the file is not its own
        QVERIFY(grid.SaveDatabaseInBackground(db));
        grid.WaitForSave();
        QVERIFY(contents().contains("late.png"));

        QVERIFY(QFile::remove(db));
        {
            TPicLibThumbnails leaving;
            enableDatabases(leaving);
            QCOMPARE(leaving.LoadFolder(dir.path()), 6);
            QVERIFY(leaving.SaveDatabaseInBackground(db));
        }
        QCOMPARE(contents().count("\r\n["), 5);   // six entries, complete
    }

    // A load that is cut short leaves the file holding entries the grid
    // lacks: it is not written over with fewer.
    void interruptedLoadKeepsTheDatabase()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 6; ++i)
            makePicture(dir.filePath(QString("p%1.png").arg(i)), 30 + i, 20);
        const QString db = dir.filePath("KvnThumbalais.db");
        QByteArray stored;
        {
            TPicLibThumbnails grid;
            enableDatabases(grid);
            QCOMPARE(grid.LoadFolder(dir.path()), 6);
            QVERIFY(grid.SaveDatabase(db));
            QFile f(db);
            QVERIFY(f.open(QIODevice::ReadOnly));
            stored = f.readAll();
        }
        TPicLibThumbnails grid;
        enableDatabases(grid);
        grid.LoadBatch = 1;   // the grid takes one entry at a time
        int loaded = 0;
        grid.host.relayout = [&] {
            if (++loaded == 2)
                grid.CancelRequested = true;
        };
        QVERIFY(!grid.LoadDatabase(db));
        grid.host.relayout = nullptr;
        QCOMPARE(grid.itemCount(), 2);
        QCOMPARE(grid.InterruptedDatabase(), db);
        QVERIFY(grid.SaveDatabase(db));
        QFile f(db);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), stored);
        f.close();
        // loaded whole, the file is the grid's again
        QVERIFY(grid.LoadDatabase(db));
        QCOMPARE(grid.itemCount(), 6);
        QVERIFY(grid.InterruptedDatabase().isEmpty());
    }

    // Open files of this process whose inode is ino (deleted files too).
    static int openFilesWithInode(ino_t ino)
    {
        int n = 0;
        for (const QString& fd : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::System | QDir::Files)) {
            struct stat st {};
            if (stat(QFile::encodeName("/proc/self/fd/" + fd).constData(), &st) == 0 && st.st_ino == ino)
                ++n;
        }
        return n;
    }

    // A save that replaces the database the items were loaded from points
    // them at the new file: the old one is closed, and miniatures not yet
    // read come from the new file.
    void savingLetsTheLoadedDatabaseGo()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 4; ++i)
            makePicture(dir.filePath(QString("p%1.png").arg(i)), 30 + 7 * i, 20 + i);
        const QString db = dir.filePath("KvnThumbalais.db");
        TPicLibThumbnails made;
        enableDatabases(made);
        QCOMPARE(made.LoadFolder(dir.path()), 4);
        QVERIFY(made.SaveDatabase(db));

        TPicLibThumbnails grid;
        enableDatabases(grid);
        QVERIFY(grid.LoadDatabase(db));
        QCOMPARE(grid.itemCount(), 4);
        struct stat old {};
        QCOMPARE(stat(QFile::encodeName(db).constData(), &old), 0);
        QCOMPARE(openFilesWithInode(old.st_ino), 1);
        QVERIFY(!grid.Miniature(1).empty());   // one held in memory, the others still in the file

        grid.DeleteItem(0);
        QVERIFY(grid.SaveDatabase(db));
        struct stat saved {};
        QCOMPARE(stat(QFile::encodeName(db).constData(), &saved), 0);
        QVERIFY(saved.st_ino != old.st_ino);
        QCOMPARE(openFilesWithInode(old.st_ino), 0);
        QCOMPARE(openFilesWithInode(saved.st_ino), 1);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(grid.Miniature(i).image().convertToFormat(QImage::Format_RGB888),
                     made.item(i + 1).Bitmap.image().convertToFormat(QImage::Format_RGB888));

        // written again from the new file, byte for byte what a fresh grid writes
        grid.SetChecked(0, true);
        grid.DeleteItem(2);
        QVERIFY(grid.SaveDatabase(db));
        made.DeleteItem(3);
        made.DeleteItem(0);
        const QString fresh = dir.filePath("fresh.db");
        QVERIFY(made.SaveDatabase(fresh));
        QFile a(db), b(fresh);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
    }

    // Miniatures read from the database file when drawn: a file cut short
    // under the grid gives empty cells, never a crash or a read past its end.
    void storedMiniaturesOfAChangedFile()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 4; ++i)
            makePicture(dir.filePath(QString("p%1.png").arg(i)), 30 + i, 20);
        const QString db = dir.filePath("KvnThumbalais.db");
        {
            TPicLibThumbnails grid;
            enableDatabases(grid);
            QCOMPARE(grid.LoadFolder(dir.path()), 4);
            QVERIFY(grid.SaveDatabase(db));
        }
        TPicLibThumbnails grid;
        enableDatabases(grid);
        QVERIFY(grid.LoadDatabase(db));
        QCOMPARE(grid.itemCount(), 4);
        QVERIFY(!grid.Miniature(0).empty());
        QFile file(db);
        QVERIFY(file.resize(file.size() / 2));   // in place: the open file shrinks
        QVERIFY(grid.Miniature(3).empty());
        QVERIFY(grid.Miniature(3).empty());   // not tried again
        QVERIFY(!grid.Miniature(0).empty());   // held already
        QVERIFY(grid.Miniature(7).empty());
    }

    void databaseListKeepsEveryFile()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("KvnThumbalais.db");
        {
            Settings s;
            s.writeString("DBFiles", "0", db + ".old");   // contains the path, is another file
            s.writeString("DBFiles", "2", "/x/KvnThumbalais.db");   // "1" was pruned
        }
        TPicLibThumbnails grid;
        enableDatabases(grid);
        grid.AddFile(makePicture(dir.filePath("a.png"), 50, 50));
        grid.SaveDatabase(db);
        grid.SaveDatabase(db);
        Settings s;
        QCOMPARE(s.readSection("DBFiles").size(), 3);
        QCOMPARE(s.readString("DBFiles", "0", ""), db + ".old");
        QCOMPARE(s.readString("DBFiles", "1", ""), db);
        QCOMPARE(s.readString("DBFiles", "2", ""), QString("/x/KvnThumbalais.db"));
    }
};

QTEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
