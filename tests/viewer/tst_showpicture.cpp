// Showing the selected picture in the viewer's picture pane.
#include "viewer/glimraapplication.h"
#include "viewer/kvnpictureview.h"

#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/messagebox.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestShowPicture : public QObject {
    Q_OBJECT

private slots:
    void picturesMetafilesAndIcons()
    {
        QTemporaryDir dir;
        TKvnPictureView w;
        w.start();
        QImage img(40, 30, QImage::Format_RGB888);
        img.fill(QColor(10, 200, 30));
        const QString png = dir.filePath("green.png");
        QVERIFY(img.save(png));

        // an unreadable file in an empty pane: the German warning, exactly
        QFile bad(dir.filePath("bad.png"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(400, 'x'));
        bad.close();
        QList<MessageBox::Request> warned;
        MessageBox::setScript([&](const MessageBox::Request& r) {
            warned << r;
            return QMessageBox::Ok;
        });
        w.ShowPicture(dir.filePath("bad.png"), 0, w.pane());
        QCOMPARE(warned.size(), 1);
        QCOMPARE(warned[0].caption, QString("Nicht unterstütztes Bildformat"));
        QCOMPARE(warned[0].text, QString("Die Datei \"bad.png\" ist keine unterstützte Bilddatei."));

        w.ShowPicture(png, 0, w.pane());
        QCOMPARE(w.pane()->Picture().width(), 40);
        QVERIFY2(w.statusText(3).startsWith("PNG  40 x 30   "), qPrintable(w.statusText(3)));
        QCOMPARE(w.statusText(2), png);
        QCOMPARE(w.state().SelectedPicture, png);

        // a failed load keeps the shown picture; the error goes to panel 3
        w.ShowPicture(dir.filePath("bad.png"), 0, w.pane());
        MessageBox::setScript({});
        QCOMPARE(warned.size(), 1);
        QCOMPARE(w.pane()->Picture().width(), 40);
        QVERIFY(!w.statusText(3).isEmpty());

        // a metafile is drawn at its own size
        TBitmap source(img, pf24bit);
        TMetafile metafile;
        QVERIFY(BitmapToMetafile(&source, &metafile, true));
        const QString emf = dir.filePath("drawing.emf");
        QVERIFY(metafile.SaveToFile(emf));
        w.ShowPicture(emf, 0, w.pane());
        QCOMPARE(w.pane()->Picture().width(), metafile.Width());
        QVERIFY2(w.statusText(3).startsWith("Enhanced Metafile  "), qPrintable(w.statusText(3)));

        // an icon whose directory entry says 0 (256 pixels) is not shown
        const QString ico = dir.filePath("big.ico");
        QByteArray icon(40, 0);
        icon[2] = 1;
        icon[4] = 1;   // one entry, width and height bytes 0
        QFile f(ico);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(icon);
        f.close();
        const int before = w.pane()->Picture().width();
        w.ShowPicture(ico, 0, w.pane());
        QCOMPARE(w.pane()->Picture().width(), before);
    }
};

int main(int argc, char** argv)
{
    GlimraApplication app(argc, argv);
    TestShowPicture test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_showpicture.moc"
