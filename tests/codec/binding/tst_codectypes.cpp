// The binding's vocabulary: picture types by extension, pixel-format codes,
// TIFF names, the open-dialog filter, screen depth classes, BMP header
// information, and the scrolling-message and credits readers.

#include "codec/binding/codecmodule.h"
#include "codec/binding/codecwrappers.h"
#include "codec/binding/display.h"
#include "codec/binding/errorinvalid.h"
#include "codec/binding/messagefiles.h"
#include "codec/binding/openfilter.h"
#include "codec/binding/piclibtypes.h"
#include "codec/binding/tiffnames.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <iterator>
#include <tiff.h>


namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void put16(QByteArray& b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void put32(QByteArray& b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }

// File header and BITMAPINFOHEADER of a BMP, no pixels.
QByteArray bmpHeaders(qint32 width, qint32 height, quint16 bits, quint32 compression)
{
    QByteArray b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, 54);
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, quint32(width));
    put32(b, 22, quint32(height));
    put16(b, 26, 1);
    put16(b, 28, bits);
    put32(b, 30, compression);
    return b;
}

MessageStyle presetStyle()
{
    MessageStyle s;
    s.fontColor = 1;
    s.fontHeight = 2;
    s.fontName = QStringLiteral("Preset");
    s.fontSize = 3;
    s.bold = true;
    s.backColor = 4;
    s.speed = 5;
    return s;
}

}  // namespace

class TestCodecTypes : public QObject {
    Q_OBJECT

private slots:
    void typeComesFromTheLastExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::newRow("x.TIFF") << "x.TIFF" << int(img_tiff);
        QTest::newRow("x.tif") << "x.tif" << int(img_tif);
        QTest::newRow("mixed case") << "/a/Photo.JpEg" << int(img_jpeg);
        QTest::newRow("last dot counts") << "archive.png.jpg" << int(img_jpg);
        QTest::newRow("hidden name") << "/a/.ico" << int(img_ico);
        QTest::newRow("no extension") << "README" << -1;
        QTest::newRow("dot in folder only") << "/pics.bmp/file" << -1;
        QTest::newRow("trailing dot") << "x." << -1;
        QTest::newRow("unknown") << "x.pcd" << -1;
        QTest::newRow("blank after") << "x.gif " << -1;
    }

    void typeComesFromTheLastExtension()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        const auto found = PicLibTypeOfFile(name);
        QCOMPARE(found ? int(*found) : -1, type);
    }

    void extensionTablesFollowTheTypes()
    {
        for (int t = 0; t < kPicLibTypeCount; ++t) {
            const QString plain = QLatin1String(PicLibExtensions[t]);
            QCOMPARE(QLatin1String(PicLibDotExtensions[t]), QLatin1Char('.') + plain);
            QCOMPARE(PicLibTypeOfFile(QStringLiteral("f.") + plain.toUpper()), std::optional<TPicLibType>(TPicLibType(t)));
        }
        TPicLibTypes set{img_jpg, img_ico};
        QVERIFY(set.contains(img_ico) && !set.contains(img_png));
        set.remove(img_ico);
        set.insert(img_png);
        QCOMPARE(set, (TPicLibTypes{img_png, img_jpg}));
    }

    void pixelFormatCodes()
    {
        const std::pair<int, int> codes[] = {{1, 1}, {4, 2}, {8, 3}, {15, 4}, {16, 5}, {24, 6}, {32, 7},
                                             {0, 8}, {2, 8}, {12, 8}, {48, 8}, {-1, 8}};
        for (const auto& [bits, code] : codes) {
            QCOMPARE(PixelFormatCode(bits), code);
            QCOMPARE(PixelFormatCodeOrDevice(bits), code == 8 ? 0 : code);
        }
        QCOMPARE(BitsOfPixelFormat(PixelFormatOfBits(15)), 15);
        QCOMPARE(int(PixelFormatOfBits(24)), PixelFormatCode(24));
    }

    void tiffCompressionNames()
    {
        const std::pair<TTiffCompression, int> codes[] = {{sNONE, 1},      {sCCITT, 2}, {sFAXCCITT3, 3},
                                                          {sFAXCCITT4, 4}, {sLZW, 5},   {sPACKBITS, 32773}};
        for (const auto& [c, code] : codes)
            QCOMPARE(TiffCompressionCode(c), code);
        QCOMPARE(TiffCompressionName(1), QStringLiteral("NONE"));
        QCOMPARE(TiffCompressionName(2), QStringLiteral("CCITT3"));
        QCOMPARE(TiffCompressionName(4), QStringLiteral("FAXCCITT4"));
        QCOMPARE(TiffCompressionName(5), QStringLiteral("LZW"));
        QCOMPARE(TiffCompressionName(32773), QStringLiteral("PACKBITS"));
        QCOMPARE(TiffCompressionName(qint16(32773)), QStringLiteral("PACKBITS"));
        QCOMPARE(TiffCompressionName(32763), QStringLiteral("PACKBITS"));
        // shown to the user: in German
        QCOMPARE(TiffCompressionName(7), QStringLiteral("Unbekannt"));
        QCOMPARE(TiffCompressionName(0), QStringLiteral("Unbekannt"));
        QCOMPARE(ShownCompressionName(QStringLiteral("UNKNOWN")), QStringLiteral("Unbekannt"));
        QCOMPARE(ShownCompressionName(QStringLiteral("LZW")), QStringLiteral("LZW"));
    }

    // Each row against the TIFF 6.0 tag number (as libtiff's tiff.h defines
    // it), with the name and editability the programs show.
    void tiffTagTable()
    {
        struct Row {
            int tag;
            const char* name;
            bool editable;
        };
        const Row tiff6[] = {
            {TIFFTAG_SUBFILETYPE, "NEWSUBFILETYPE", false},
            {TIFFTAG_OSUBFILETYPE, "FILETYPE", true},
            {TIFFTAG_IMAGEWIDTH, "IMAGEWIDTH", false},
            {TIFFTAG_IMAGELENGTH, "IMAGELENGTH", false},
            {TIFFTAG_BITSPERSAMPLE, "BITSPERSAMPLE", false},
            {TIFFTAG_COMPRESSION, "COMPRESSION", false},
            {TIFFTAG_PHOTOMETRIC, "PHOTOMETRICINTERPRETATION", false},
            {TIFFTAG_THRESHHOLDING, "THRESHHOLDING", true},
            {TIFFTAG_CELLWIDTH, "CELLWIDTH", true},
            {TIFFTAG_CELLLENGTH, "CELLLENGTH", true},
            {TIFFTAG_FILLORDER, "FILLORDER", false},
            {TIFFTAG_DOCUMENTNAME, "DOCUMENTNAME", true},
            {TIFFTAG_IMAGEDESCRIPTION, "IMAGEDESCRIPTION", true},
            {TIFFTAG_MAKE, "MAKE", true},
            {TIFFTAG_MODEL, "MODEL", true},
            {TIFFTAG_STRIPOFFSETS, "STRIPOFFSETS", false},
            {TIFFTAG_ORIENTATION, "ORIENTATION", true},
            {TIFFTAG_SAMPLESPERPIXEL, "SAMPLESPERPIXEL", false},
            {TIFFTAG_ROWSPERSTRIP, "ROWSPERSTRIP", false},
            {TIFFTAG_STRIPBYTECOUNTS, "STRIPBYTECOUNTS", false},
            {TIFFTAG_MINSAMPLEVALUE, "MINIMUMVALUE", true},
            {TIFFTAG_MAXSAMPLEVALUE, "MAXIMUMVALUE", true},
            {TIFFTAG_XRESOLUTION, "XRESOLUTION", true},
            {TIFFTAG_YRESOLUTION, "YRESOLUTION", true},
            {TIFFTAG_PLANARCONFIG, "PLANARCONFIG", true},
            {TIFFTAG_PAGENAME, "PAGENAME", false},
            {TIFFTAG_XPOSITION, "XPOSITION", true},
            {TIFFTAG_YPOSITION, "YPOSITION", true},
            {TIFFTAG_FREEOFFSETS, "FREEOFFSETS", false},
            {TIFFTAG_FREEBYTECOUNTS, "FREEBYTECOUNTS", false},
            {TIFFTAG_GRAYRESPONSEUNIT, "GRAYRESPONSEUNITS", true},
            {TIFFTAG_GRAYRESPONSECURVE, "GRAYSCALERRESPONSE", true},
            {TIFFTAG_GROUP3OPTIONS, "GROUP3OPTIONS", false},
            {TIFFTAG_GROUP4OPTIONS, "GROUP4OPTIONS", false},
            {TIFFTAG_RESOLUTIONUNIT, "RESOLUTIONUNIT", true},
            {TIFFTAG_PAGENUMBER, "PAGENUMBER", true},
            {TIFFTAG_COLORRESPONSEUNIT, "COLORRESPONSEUNIT", true},
            {TIFFTAG_TRANSFERFUNCTION, "COLORRESPONSECURVES", true},
            {TIFFTAG_SOFTWARE, "SOFTWARE", true},
            {TIFFTAG_DATETIME, "DATETIME", true},
            {TIFFTAG_ARTIST, "ARTIST", true},
            {TIFFTAG_HOSTCOMPUTER, "HOSTCOMPUTER", true},
            {TIFFTAG_PREDICTOR, "PREDICTOR", true},
            {TIFFTAG_COLORMAP, "COLORMAP", false},
            {TIFFTAG_TILEWIDTH, "TILEWIDTH", false},
            {TIFFTAG_TILELENGTH, "TILELENGTH", false},
            {TIFFTAG_TILEOFFSETS, "TILEOFFSETS", false},
            {TIFFTAG_TILEBYTECOUNTS, "TILEBYTECOUNTS", false},
            {TIFFTAG_CLEANFAXDATA, "CLEANFAXDATA", false},
            {TIFFTAG_COPYRIGHT, "COPYRIGHT", true},
        };
        int count = 0;
        const TiffTagInfo* rows = TiffTagTable(&count);
        QCOMPARE(count, int(std::size(tiff6)));
        for (int i = 0; i < count; ++i) {
            const Row& want = tiff6[i];
            const QByteArray where = QByteArray::number(want.tag);
            QVERIFY2(rows[i].tag == want.tag, where.constData());
            QCOMPARE(QLatin1String(rows[i].name), QLatin1String(want.name));
            QVERIFY2(rows[i].editable == want.editable, where.constData());
            const TiffTagInfo found = TiffTagLookup(quint16(want.tag));
            QCOMPARE(QLatin1String(found.name), QLatin1String(want.name));
            QVERIFY2(found.editable == want.editable, where.constData());
        }
        // numbers between and past the rows are unknown and read-only
        for (quint16 other : {0, 253, 260, 261, 267, 298, 318, 321, 326, 530, 33431, 33433, 37510, 65535}) {
            QCOMPARE(QLatin1String(TiffTagLookup(other).name), QLatin1String("Unknown"));
            QVERIFY(!TiffTagLookup(other).editable);
        }
    }

    void openFilterText()
    {
        const QString plain = OpenDialogFilter();
        QVERIFY(plain.startsWith(QStringLiteral("All Supported Media Formats|*.BMP;*.CMS;*.GIF;*.JPG;*.PCX;*.PNG;"
                                                "*.SCM;*.TIF;*.PCD;*.EMF;*.WMF;*.TGA;|Windows Bitmap    (BMP) |*.BMP|")));
        QVERIFY(plain.endsWith(QStringLiteral("|Targe Image    (TGA) |*.TGA")));
        QCOMPARE(plain.count(QLatin1Char('|')), 1 + 2 * 12);

        const QString media = OpenDialogFilter({QStringLiteral("avi"), QStringLiteral("WAV"), QStringLiteral("OGG")});
        QVERIFY(media.contains(QStringLiteral("*.TGA;*.WAV;*.AVI;|Windows Bitmap")));
        QVERIFY(media.endsWith(QStringLiteral("|Targe Image    (TGA) |*.TGA|Wave Sound    (WAV) |*.WAV"
                                              "|Video for Windows    (AVI) |*.AVI")));
        QVERIFY(!media.contains(QStringLiteral("OGG")));
    }

    void screenDepthAndStretchMode()
    {
        const std::pair<int, int> classes[] = {{1, 4}, {4, 4}, {8, 8}, {15, 8}, {16, 24}, {24, 24}, {32, 24}};
        for (const auto& [bits, cls] : classes)
            QCOMPARE(DeviceDepthClass(bits), cls);
        QCOMPARE(DeviceDepth(), 24);

        QCOMPARE(StretchModeFor(2, sDark), smColorOnColor);
        QCOMPARE(StretchModeFor(1, sLight), smColorOnColor);
        QCOMPARE(StretchModeFor(1, sDark), smBlackOnWhite);
        QCOMPARE(StretchModeFor(0, sLightest), smWhiteOnBlack);
    }

    void bmpInformationFromTheHeaders()
    {
        QTemporaryDir dir;
        // no module is needed for BMP and DIB files
        CodecModule::setLibraryFolder(dir.path());
        CodecModule::setModuleName(QStringLiteral("nosuch-crde.so"));

        PictureFileInfo info;
        QVERIFY(ReadFileInfo(writeFile(dir, QStringLiteral("top.bmp"), bmpHeaders(33, -21, 8, 1)), info));
        QCOMPARE(info.type, QStringLiteral("BMP"));
        QCOMPARE(info.width, 33);
        QCOMPARE(info.height, 21);
        QCOMPARE(info.bits, 8);
        QCOMPARE(info.planes, 1);
        QCOMPARE(info.colors, 0);
        QCOMPARE(info.compression, QStringLiteral("RLE8"));

        const std::pair<quint32, const char*> names[] = {{0, "RGB"}, {2, "RLE4"}, {3, "BITFIELDS"}, {4, "None"}};
        for (const auto& [code, name] : names) {
            QVERIFY(ReadFileInfo(writeFile(dir, QStringLiteral("c.Dib"), bmpHeaders(1, 1, 4, code)), info));
            QCOMPARE(info.compression, QLatin1String(name));
            QCOMPARE(info.type, QStringLiteral("DIB"));
        }

        // OS/2 core header: 16-bit sizes
        QByteArray core = bmpHeaders(0, 0, 0, 0).left(26);
        put32(core, 14, 12);
        put16(core, 18, 300);
        put16(core, 20, 200);
        put16(core, 22, 1);
        put16(core, 24, 24);
        QVERIFY(ReadFileInfo(writeFile(dir, QStringLiteral("os2.bmp"), core), info));
        QCOMPARE(info.width, 300);
        QCOMPARE(info.height, 200);
        QCOMPARE(info.bits, 24);

        QVERIFY(!ReadFileInfo(writeFile(dir, QStringLiteral("short.bmp"), bmpHeaders(5, 5, 8, 0).left(40)), info));
        QByteArray notBmp = bmpHeaders(5, 5, 8, 0);
        notBmp[0] = 'G';
        QVERIFY(!ReadFileInfo(writeFile(dir, QStringLiteral("gif.bmp"), notBmp), info));
        QVERIFY(!ReadFileInfo(dir.filePath(QStringLiteral("missing.bmp")), info));
        QVERIFY(!ReadFileInfo(dir.path() + QStringLiteral("/.bmp"), info));
        CodecModule::setModuleName(QString::fromLatin1(CodecModule::kDefaultName));
        CodecModule::setLibraryFolder(QString());
    }

    void creditsFile()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("c.cms"),
                                       "Credits\r\n255\r\n-16\r\nArial\r\n12\r\n0101\r\n8421504\r\n3\r\n"
                                       "First line\r\n\r\nThird \xc3\xa4\r\n");
        MessageStyle s = presetStyle();
        QStringList lines{QStringLiteral("old")};
        QVERIFY(ReadCreditMessageFile(path, s, lines));
        QCOMPARE(s.fontColor, 255);
        QCOMPARE(s.fontHeight, -16);
        QCOMPARE(s.fontName, QStringLiteral("Arial"));
        QCOMPARE(s.fontSize, 12);
        QVERIFY(!s.bold && s.italic && !s.underline && s.strikeOut);
        QCOMPARE(s.backColor, 8421504);
        QCOMPARE(s.speed, 3);
        QCOMPARE(lines, (QStringList{QStringLiteral("First line"), QString(), QStringLiteral("Third \u00e4")}));
    }

    void damagedCreditsFiles()
    {
        QTemporaryDir dir;
        // too short and not numbers: what is missing or unreadable stays
        MessageStyle s = presetStyle();
        QStringList lines{QStringLiteral("old")};
        QVERIFY(ReadCreditMessageFile(writeFile(dir, QStringLiteral("s.cms"), "x\nred\n99999999999\nCourier"), s, lines));
        QCOMPARE(s.fontColor, 1);
        QCOMPARE(s.fontHeight, 2);
        QCOMPARE(s.fontName, QStringLiteral("Courier"));
        QCOMPARE(s.speed, 5);
        QVERIFY(s.bold);
        QVERIFY(lines.isEmpty());

        // only the first 65 526 bytes count
        QByteArray big = "h\n1\n2\nF\n4\n1111\n6\n7\n";
        const int header = big.size();
        big += QByteArray(65526 - header - 1, 'a') + "\n" + QByteArray(5000, 'b') + "\n";
        QVERIFY(ReadCreditMessageFile(writeFile(dir, QStringLiteral("big.cms"), big), s, lines));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.at(0), QString(65526 - header - 1, QLatin1Char('a')));

        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 37);
        QVERIFY(ReadCreditMessageFile(writeFile(dir, QStringLiteral("bin.cms"), binary), s, lines));
        QVERIFY(!ReadCreditMessageFile(dir.filePath(QStringLiteral("none.cms")), s, lines));
        QVERIFY(!ReadCreditMessageFile(dir.path(), s, lines));
    }

    void scrollingMessageFile()
    {
        QTemporaryDir dir;
        const QString path =
            writeFile(dir, QStringLiteral("m.scm"),
                      "x/fc|65280/fh|-20/fn|Liberation Sans/fs|14/ft|1010/bc|0/sp|2/sm|Hello \xc3\xa4 world/eo|");
        MessageStyle s = presetStyle();
        QString message;
        QVERIFY(ReadScrollingMessageFile(path, s, message));
        QCOMPARE(s.fontColor, 65280);
        QCOMPARE(s.fontHeight, -20);
        QCOMPARE(s.fontName, QStringLiteral("Liberation Sans"));
        QCOMPARE(s.fontSize, 14);
        QVERIFY(s.bold && !s.italic && s.underline && !s.strikeOut);
        QCOMPARE(s.backColor, 0);
        QCOMPARE(s.speed, 2);
        QCOMPARE(message, QStringLiteral("Hello \u00e4 world"));
    }

    void damagedScrollingMessages_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("fontColor");
        QTest::addColumn<QString>("fontName");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral(" Invallid message format ! ");
        // preset: colour 1, name "Preset", speed 5
        QTest::newRow("empty values keep") << QByteArray("x/fc|/fh|/fn|/fs|/ft|/bc|/sp|/sm|/eo|") << 1
                                           << "Preset" << 5 << QString();
        QTest::newRow("tag at the first character")
            << QByteArray("/fc|7/fh|1/fn|N/fs|1/ft|0000/bc|1/sp|9/sm|m/eo|") << 255 << "N" << 9 << "m";
        QTest::newRow("message end missing")
            << QByteArray("x/fc|7/fh|1/fn|N/fs|1/ft|0000/bc|1/sp|9/sm|no end") << 7 << "N" << 9 << invalid;
        QTest::newRow("no tags at all") << QByteArray("just text") << 255 << "SYSTEM" << 1 << invalid;
        QTest::newRow("not numbers") << QByteArray("x/fc|red/fh|1/fn|N/fs|1/ft|0/bc|1/sp|fast/sm|m/eo|") << 255
                                     << "N" << 1 << "m";
        QTest::newRow("tags out of order")
            << QByteArray("x/sp|3/sm|m/eo|/fc|7/fh|1/fn|N/fs|1/ft|0/bc|1/") << 7 << "N" << 3 << "m";
        QTest::newRow("empty file") << QByteArray() << 255 << "SYSTEM" << 1 << invalid;
    }

    void damagedScrollingMessages()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, fontColor);
        QFETCH(QString, fontName);
        QFETCH(int, speed);
        QFETCH(QString, message);
        QTemporaryDir dir;
        MessageStyle s = presetStyle();
        QString read = QStringLiteral("old");
        QVERIFY(ReadScrollingMessageFile(writeFile(dir, QStringLiteral("d.scm"), text), s, read));
        QCOMPARE(s.fontColor, fontColor);
        QCOMPARE(s.fontName, fontName);
        QCOMPARE(s.speed, speed);
        QCOMPARE(read, message);
    }

    void unreadableScrollingMessages()
    {
        QTemporaryDir dir;
        MessageStyle s;
        QString message;
        QVERIFY(!ReadScrollingMessageFile(dir.filePath(QStringLiteral("none.scm")), s, message));
        const QByteArray huge = "x/fc|1/fh|1/fn|N/fs|1/ft|0/bc|1/sp|1/sm|" + QByteArray(1 << 20, 'm') + "/eo|";
        QVERIFY(!ReadScrollingMessageFile(writeFile(dir, QStringLiteral("huge.scm"), huge), s, message));
    }

    void errorInvalidCarriesItsMessage()
    {
        const QString text = QStringLiteral("Input image is empty \u00e4");
        try {
            throw ErrorInvalid(text);
        } catch (const std::exception& e) {
            QCOMPARE(QString::fromUtf8(e.what()), text);
        }
    }
};

QTEST_MAIN(TestCodecTypes)
#include "tst_codectypes.moc"
