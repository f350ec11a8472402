// SavePictureFile over the codec engine's encoders: depth rules, JPEG
// quality, TIFF append, insert and replace, bitmap files, metafiles, icons,
// unsupported extensions and the files it must not touch.

#include "picturefiles.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"
#include "dibcore/dibguard.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "imagecontrol/pmultiimage.h"
#include "imagecontrol/savepicturefile.h"
#include "platform/fileops.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

TBitmap bitmapOf(const QImage& image)
{
    return TBitmap(image.convertToFormat(QImage::Format_RGB888), pf24bit);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The first value of the first quantisation table of a JPEG file.
int firstQuantValue(const QByteArray& jpeg)
{
    const int at = jpeg.indexOf(QByteArray("\xFF\xDB", 2));
    if (at < 0 || at + 5 >= jpeg.size())
        return -1;
    return quint8(jpeg[at + 5]);
}

int fileBits(const QString& path)
{
    PictureFileInfo info;
    return ReadFileInfo(path, info) ? info.bits : -1;
}

int tiffPages(const QString& path)
{
    TiffPageInfo info;
    return ReadTiffPageInfo(path, 0, info) ? info.pages : -1;
}

QImage tiffPage(const QString& path, int page)
{
    TBitmap bitmap;
    return ReadTiffFileBitmap(path, 24, false, page, bitmap) ? bitmap.image() : QImage();
}

}  // namespace

class PictureSaveTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void jpegQualityOutOfRangeWrites25();
    void depthRulesPerFormat();
    void tiffAppendInsertAndReplace();
    void bitmapFilesTakeTheirOwnDepthWithoutChangingThePicture();
    void otherFormatsRoundTrip();
    void metafiles();
    void icons();
    void refusedSavesTouchNothing();
    void failedSavesKeepTheOldFile();
    void savingOverALinkWritesTheFileItPointsTo();

private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    bool encoderWrites(const std::function<bool(const QString&, GlobalHandle)>& write);

    QTemporaryDir dir_;
    QImage picture_;
};

void PictureSaveTest::initTestCase()
{
    picture_ = picturefiles::pattern(48, 32);
}

// The engine's encoder writes a plain 24-bit picture: a failure here is an
// encoder regression and fails the test, it never skips it.
bool PictureSaveTest::encoderWrites(const std::function<bool(const QString&, GlobalHandle)>& write)
{
    const TBitmap bitmap = bitmapOf(picture_);
    dibcore::DibGuard dib(GraphicToDIB(&bitmap));
    return write(path(QStringLiteral("probe")), dib.get());
}

void PictureSaveTest::jpegQualityOutOfRangeWrites25()
{
    QVERIFY2(encoderWrites([](const QString& f, GlobalHandle d) { return WriteJpgFileDib(f, d, 24, 50, 0, false); }),
             "the codec engine's JPEG encoder reports failure");
    TPMultiImage image;
    image.setPicture(bitmapOf(picture_));
    QStringList messages;
    image.OnProgress = [&](QObject*, qint16, const QString& message, bool&) { messages.append(message); };
    image.setJPegSaveQuality(0);
    QCOMPARE(image.JPegSaveQuality(), 25);
    const QString x = path(QStringLiteral("x.jpg"));
    QVERIFY(SavePictureFile(x, image, {}));
    // libjpeg's luminance table starts with 16, scaled by 5000 / quality percent
    QCOMPARE(firstQuantValue(fileBytes(x)), 32);
    QVERIFY(messages.contains((QStringLiteral("Writing ") + x).toLower()));
    image.setJPegSaveQuality(101);
    QCOMPARE(image.JPegSaveQuality(), 25);
    image.setJPegSaveQuality(100);
    QVERIFY(SavePictureFile(x, image, {}));
    QCOMPARE(firstQuantValue(fileBytes(x)), 1);
    image.setJPegSaveSmooth(0);
    QCOMPARE(image.JPegSaveSmooth(), 5);

    image.ImageWriteRes = sJpegGray;
    QVERIFY(SavePictureFile(path(QStringLiteral("grey.jpeg")), image, {}));
    QCOMPARE(fileBits(path(QStringLiteral("grey.jpeg"))), 8);
}

void PictureSaveTest::depthRulesPerFormat()
{
    QVERIFY2(encoderWrites([](const QString& f, GlobalHandle d) { return WriteGifFileDib(f, d, 8); }),
             "the codec engine's GIF encoder reports failure");
    QVERIFY2(encoderWrites([](const QString& f, GlobalHandle d) { return WritePngFileDib(f, d, 24, false); }),
             "the codec engine's PNG encoder reports failure");
    QCOMPARE(SaveDepthFor(sColor15b), 24);
    QCOMPARE(SaveDepthFor(sColor16b), 24);
    QCOMPARE(SaveDepthFor(sColor32b), 24);
    QCOMPARE(SaveDepthFor(sJpegGray), 8);
    QCOMPARE(SaveDepthFor(sColorVga), 0);
    QCOMPARE(SaveDepthFor(sAutoMatic), 24);

    TPMultiImage image;
    image.setPicture(bitmapOf(picture_));
    image.ImageWriteRes = sColor15b;
    QVERIFY(SavePictureFile(path(QStringLiteral("d.gif")), image, {}));
    QCOMPARE(fileBits(path(QStringLiteral("d.gif"))), 8);
    QVERIFY(SavePictureFile(path(QStringLiteral("d.png")), image, {}));
    QCOMPARE(fileBits(path(QStringLiteral("d.png"))), 24);
    TBitmap back;
    QVERIFY(ReadPngFileBitmap(path(QStringLiteral("d.png")), 24, false, back));
    QVERIFY(picturefiles::samePixels(back.image(), picture_));

    image.ImageWriteRes = sMonoChrome;
    QVERIFY(SavePictureFile(path(QStringLiteral("m.png")), image, {}));
    QCOMPARE(fileBits(path(QStringLiteral("m.png"))), 1);
    image.ImageWriteRes = sColor16;
    QVERIFY(SavePictureFile(path(QStringLiteral("s.png")), image, {}));
    QCOMPARE(fileBits(path(QStringLiteral("s.png"))), 4);
    image.ImageWriteRes = sColorVga;  // depth 0: the picture's own
    QVERIFY(SavePictureFile(path(QStringLiteral("v.png")), image, {}));
    QCOMPARE(fileBits(path(QStringLiteral("v.png"))), 24);
    QVERIFY(SavePictureFile(path(QStringLiteral("v.gif")), image, {}));
    QCOMPARE(fileBits(path(QStringLiteral("v.gif"))), 8);
}

void PictureSaveTest::tiffAppendInsertAndReplace()
{
    QVERIFY2(encoderWrites([](const QString& f, GlobalHandle d) { return WriteTiffFileDib(f, d, 24, 1, false); }),
             "the codec engine's TIFF encoder reports failure");
    const QString x = picturefiles::copyData(dir_, QStringLiteral("codec/rose-3pages.tif"), QStringLiteral("x.tif"));
    QCOMPARE(tiffPages(x), 3);
    const QImage first = tiffPage(x, 0);
    TPMultiImage image;
    image.ImageWriteRes = sColorTrue;
    image.setPicture(bitmapOf(picture_));
    SaveDialogOptions dialog;
    dialog.TIFFAppended = true;
    dialog.TIFFARI = 0;
    QVERIFY(SavePictureFile(x, image, dialog));
    QCOMPARE(tiffPages(x), 4);
    QVERIFY(picturefiles::samePixels(tiffPage(x, 3), picture_));
    QVERIFY(picturefiles::samePixels(tiffPage(x, 0), first));

    // insert as page 2
    const QImage other = picturefiles::pattern(20, 10, 7);
    image.setPicture(bitmapOf(other));
    dialog.TIFFARI = 1;
    dialog.TIFFFirfPageValue = 2;
    QVERIFY(SavePictureFile(x, image, dialog));
    QCOMPARE(tiffPages(x), 5);
    QVERIFY(picturefiles::samePixels(tiffPage(x, 1), other));
    QVERIFY(picturefiles::samePixels(tiffPage(x, 4), picture_));

    // replace page 1
    const QImage third = picturefiles::pattern(11, 13, 9);
    image.setPicture(bitmapOf(third));
    dialog.TIFFARI = 2;
    dialog.TIFFFirfPageValue = 1;
    QVERIFY(SavePictureFile(x, image, dialog));
    QCOMPARE(tiffPages(x), 5);
    QVERIFY(picturefiles::samePixels(tiffPage(x, 0), third));
    QVERIFY(picturefiles::samePixels(tiffPage(x, 1), other));

    // replacing the only page of a file works too
    const QString single = path(QStringLiteral("single.tif"));
    dialog.TIFFAppended = false;
    QVERIFY(SavePictureFile(single, image, dialog));
    QCOMPARE(tiffPages(single), 1);
    image.setPicture(bitmapOf(other));
    dialog.TIFFAppended = true;
    QVERIFY(SavePictureFile(single, image, dialog));
    QCOMPARE(tiffPages(single), 1);
    QVERIFY(picturefiles::samePixels(tiffPage(single, 0), other));

    // without append the file is replaced; the compression is the control's
    dialog.TIFFAppended = false;
    image.TifSaveCompress = sLZW;
    QVERIFY(SavePictureFile(x, image, dialog));
    QCOMPARE(tiffPages(x), 1);
    TiffPageInfo info;
    QVERIFY(ReadTiffPageInfo(x, 0, info));
    QCOMPARE(info.compression, QStringLiteral("LZW"));
    // append to a file that is not there makes a new one
    dialog.TIFFAppended = true;
    dialog.TIFFARI = 0;
    QVERIFY(SavePictureFile(path(QStringLiteral("new.tiff")), image, dialog));
    QCOMPARE(tiffPages(path(QStringLiteral("new.tiff"))), 1);
}

void PictureSaveTest::bitmapFilesTakeTheirOwnDepthWithoutChangingThePicture()
{
    TPMultiImage image;
    image.setPicture(bitmapOf(picture_));
    const QList<QPair<TSaveResolution, int>> depths = {
        {sMonoChrome, 1}, {sColor16, 4},   {sColorVga, 4},  {sColor256, 8},  {sJpegGray, 8},
        {sColor15b, 16},  {sColor16b, 16}, {sColorTrue, 24}, {sAutoMatic, 24}, {sColor32b, 32},
    };
    for (const auto& [resolution, bits] : depths) {
        image.ImageWriteRes = resolution;
        const QString file = path(QStringLiteral("b%1.bmp").arg(int(resolution)));
        QVERIFY(SavePictureFile(file, image, {}));
        PictureFileInfo info;
        QVERIFY(ReadBmpHeaderInfo(file, info));
        QCOMPARE(info.bits, bits);
        QCOMPARE(image.Picture().pixelFormat(), pf24bit);
        QVERIFY(picturefiles::samePixels(image.Picture().image(), picture_));
    }
    image.ImageWriteRes = sColorTrue;
    QVERIFY(SavePictureFile(path(QStringLiteral("same.dib")), image, {}));
    TBitmap back;
    QVERIFY(ReadBmpFileBitmap(path(QStringLiteral("same.dib")), 0, false, back));
    QVERIFY(picturefiles::samePixels(back.image(), picture_));
}

void PictureSaveTest::otherFormatsRoundTrip()
{
    QVERIFY2(encoderWrites([](const QString& f, GlobalHandle d) { return WritePcxFileDib(f, d, 24); }),
             "the codec engine's PCX encoder reports failure");
    QVERIFY2(encoderWrites([](const QString& f, GlobalHandle d) { return WriteTgaFileDib(f, d, 24); }),
             "the codec engine's TGA encoder reports failure");
    TPMultiImage image;
    image.ImageWriteRes = sColorTrue;
    image.setPicture(bitmapOf(picture_));
    for (const char* name : {"r.pcx", "r.tga", "r.TIF"}) {
        QVERIFY(SavePictureFile(path(QLatin1String(name)), image, {}));
        TPMultiImage reader;
        reader.ImageReadRes = lColorTrue;
        reader.setImageName(path(QLatin1String(name)));
        QVERIFY2(picturefiles::samePixels(reader.Picture().image(), picture_), name);
    }
}

void PictureSaveTest::metafiles()
{
    TPMultiImage image;
    const QImage picture = picturefiles::pattern(100, 50);
    image.setPicture(bitmapOf(picture));
    const QString emf = path(QStringLiteral("m.emf"));
    QVERIFY(SavePictureFile(emf, image, {}));
    QCOMPARE(qFromLittleEndian<quint32>(fileBytes(emf).constData()), 1u);  // EMR_HEADER
    TMetafile enhanced;
    QVERIFY(enhanced.LoadFromFile(emf));
    QVERIFY(enhanced.Enhanced());
    QCOMPARE(enhanced.Size(), QSize(100, 50));
    TBitmap back;
    QVERIFY(MetafileToBitmap(&back, &enhanced, false));
    QVERIFY(picturefiles::closePixels(back.image(), picture, 2));  // the player rounds colours

    const QString wmf = path(QStringLiteral("m.wmf"));
    QVERIFY(SavePictureFile(wmf, image, {}));
    const QByteArray w = fileBytes(wmf);
    QCOMPARE(qFromLittleEndian<quint32>(w.constData()), 0x9AC6CDD7u);  // placeable header
    QCOMPARE(qFromLittleEndian<qint16>(w.constData() + 10), qint16(85)); // 100 x 0.84675
    QCOMPARE(qFromLittleEndian<qint16>(w.constData() + 12), qint16(42)); // 50 x 0.84675
    TMetafile windows;
    QVERIFY(windows.LoadFromFile(wmf));
    QVERIFY(!windows.Enhanced());

    // libwmf draws it as the picture
    const QString wmf2gd = QStandardPaths::findExecutable(QStringLiteral("wmf2gd"));
    if (wmf2gd.isEmpty())
        QSKIP("wmf2gd (libwmf-bin) is not installed");
    const QString png = path(QStringLiteral("m-wmf.png"));
    QProcess run;
    run.start(wmf2gd, {QStringLiteral("-t"), QStringLiteral("png"), QStringLiteral("-o"), png, wmf});
    QVERIFY(run.waitForFinished(20000));
    QCOMPARE(run.exitCode(), 0);
    const QImage drawn = QImage(png).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!drawn.isNull());
    const QImage expected = picture.scaled(drawn.size()).convertToFormat(QImage::Format_RGB32);
    int far = 0;
    for (int y = 2; y < drawn.height() - 2; ++y)
        for (int x = 2; x < drawn.width() - 2; ++x)
            far += std::abs(qGreen(drawn.pixel(x, y)) - qGreen(expected.pixel(x, y))) > 40;
    QVERIFY2(far < drawn.width() * drawn.height() / 10, qPrintable(QString::number(far)));
}

void PictureSaveTest::icons()
{
    TPMultiImage image;
    const QImage picture = picturefiles::pattern(32, 24);
    image.setPicture(bitmapOf(picture));
    const QString ico = path(QStringLiteral("i.ico"));
    QVERIFY(SavePictureFile(ico, image, {}));
    const QImage back(ico);
    QCOMPARE(back.size(), QSize(32, 24));
    QVERIFY(picturefiles::samePixels(back, picture));
    image.setPicture(bitmapOf(picturefiles::pattern(300, 10)));
    QVERIFY(!SavePictureFile(path(QStringLiteral("big.ico")), image, {}));
    QVERIFY(!QFile::exists(path(QStringLiteral("big.ico"))));
}

void PictureSaveTest::refusedSavesTouchNothing()
{
    TPMultiImage image;
    const QString keep = picturefiles::writeBytes(dir_, QStringLiteral("keep.xyz"), QByteArray("bleibt"));
    image.setPicture(bitmapOf(picture_));
    QVERIFY(!SavePictureFile(keep, image, {}));
    QCOMPARE(fileBytes(keep), QByteArray("bleibt"));
    QVERIFY(!SavePictureFile(path(QStringLiteral("noext")), image, {}));

    const QString png = picturefiles::writeBytes(dir_, QStringLiteral("old.png"), QByteArray("alt"));
    image.setPicture(TBitmap());
    QVERIFY(!SavePictureFile(png, image, {}));
    QCOMPARE(fileBytes(png), QByteArray("alt"));

    // an existing target is replaced by the new picture
    QVERIFY2(encoderWrites([](const QString& f, GlobalHandle d) { return WritePngFileDib(f, d, 24, false); }),
             "the codec engine's PNG encoder reports failure");
    image.setPicture(bitmapOf(picture_));
    QVERIFY(SavePictureFile(png, image, {}));
    QVERIFY(fileBytes(png).startsWith("\x89PNG"));
}

// Every writer fails midway (the engines through their progress, the
// control's own through the commit): the old file stays whole and no
// temporary file is left behind.
void PictureSaveTest::failedSavesKeepTheOldFile()
{
    QTemporaryDir dir;
    TPMultiImage image;
    image.setPicture(bitmapOf(picture_));
    const QStringList extensions{"png", "jpg", "gif", "pcx", "tga", "tif", "eps", "bmp", "dib", "wmf", "emf", "ico"};
    QStringList names;
    for (const QString& ext : extensions) {
        const QString name = "old." + ext;
        names << name;
        const QString file = picturefiles::writeBytes(dir, name, QByteArray("the old picture"));
        fileops::setFaultHook([file](fileops::Op op, const QString& p) { return op == fileops::Op::Write && p == file; });
        QVERIFY2(!SavePictureFile(file, image, {}), qPrintable(ext));
        fileops::setFaultHook({});
        QVERIFY2(fileBytes(file) == "the old picture", qPrintable(ext));
        // unhindered, the same save replaces the file
        QVERIFY2(SavePictureFile(file, image, {}), qPrintable(ext));
        QVERIFY2(fileBytes(file) != "the old picture", qPrintable(ext));
        picturefiles::writeBytes(dir, name, QByteArray("the old picture"));
    }
    // an icon too large for the format is refused after nothing was removed
    const QString ico = dir.filePath("old.ico");
    image.setPicture(bitmapOf(picturefiles::pattern(300, 10)));
    QVERIFY(!SavePictureFile(ico, image, {}));
    QCOMPARE(fileBytes(ico), QByteArray("the old picture"));
    names.sort();
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    left.sort();
    QCOMPARE(left, names);
}

// The user chose the link's name: the file it points to takes the picture,
// and the link stays a link.
void PictureSaveTest::savingOverALinkWritesTheFileItPointsTo()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("pictures"));
    TPMultiImage image;
    image.setPicture(bitmapOf(picture_));
    const QList<QPair<QString, QByteArray>> kinds{
        {"png", "\x89PNG"}, {"bmp", "BM"}, {"ico", QByteArray("\0\0\1\0", 4)}, {"emf", QByteArray("\1\0\0\0", 4)}};
    for (const auto& [ext, magic] : kinds) {
        const QString real = picturefiles::writeBytes(dir, "pictures/real." + ext, QByteArray("the old picture"));
        const QString link = dir.filePath("link." + ext);
        QVERIFY(QFile::link("pictures/real." + ext, link));
        QVERIFY2(SavePictureFile(link, image, {}), qPrintable(ext));
        QVERIFY2(QFileInfo(link).isSymLink(), qPrintable(ext));
        QVERIFY2(fileBytes(real).startsWith(magic), qPrintable(ext));
        // a link whose file is missing: the picture goes where it points
        QVERIFY(QFile::remove(real));
        QVERIFY2(SavePictureFile(link, image, {}), qPrintable(ext));
        QVERIFY2(QFileInfo(link).isSymLink(), qPrintable(ext));
        QVERIFY2(fileBytes(real).startsWith(magic), qPrintable(ext));
    }
}

QTEST_MAIN(PictureSaveTest)
#include "tst_picturesave.moc"
