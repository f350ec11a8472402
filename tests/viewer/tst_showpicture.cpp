// Showing the selected picture in the viewer's picture pane.
#include "viewer/glimraapplication.h"
#include "viewer/kvnpictureview.h"

#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "effects/undoring.h"
#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/mmsavedialog.h"
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
        // the control's error stays in the empty pane's status bar
        QCOMPARE(w.statusText(3),
                 "Die Bildinformationen der Datei \"" + dir.filePath("bad.png") + "\" konnten nicht gelesen werden.");

        w.ShowPicture(png, 0, w.pane());
        QCOMPARE(w.pane()->Picture().width(), 40);
        QVERIFY2(w.statusText(3).startsWith("PNG  40 x 30   "), qPrintable(w.statusText(3)));
        QCOMPARE(w.statusText(2), png);
        QCOMPARE(w.state().SelectedPicture, png);

        // a damaged file, opened with F3 or shown directly: the German
        // warning; the shown picture keeps its name, page, save name and
        // information, and F2 offers the shown picture's own file
        const QString information = w.statusText(3);
        const QList<QPair<QString, QByteArray>> damaged{
            {"empty.png", QByteArray()},
            {"broken.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11) + QByteArray(300, '\x55')},
            {"text.gif", QByteArray("Dies ist kein Bild, nur ein Text.\n").repeated(10)},
            {"bad.png", QByteArray(400, 'x')}};
        QList<QString> offered;
        QString toOpen;
        TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
            if (d.mode == TMMOpenDialog::SaveMode) {
                offered << d.FileName;
                return false;
            }
            d.FileName = toOpen;
            d.TiffSelectedPage = 0;
            return true;
        });
        ClearUndo();
        for (const auto& [name, bytes] : damaged) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            file.close();
            for (bool byKey : {true, false}) {
                warned.clear();
                if (byKey) {
                    toOpen = file.fileName();
                    QVERIFY(w.HandleToolbarKeys(Qt::Key_F3, Qt::NoModifier));
                } else {
                    w.ShowPicture(file.fileName(), 0, w.pane());
                }
                QCOMPARE(warned.size(), 1);
                QCOMPARE(warned[0].caption, QString("Nicht unterstütztes Bildformat"));
                QCOMPARE(warned[0].text, "Die Datei \"" + name + "\" ist keine unterstützte Bilddatei.");
                QCOMPARE(w.pane()->Picture().width(), 40);
                QCOMPARE(w.pane()->ImageName(), png);
                QCOMPARE(w.pane()->TiffPage(), 0);
                QCOMPARE(w.pane()->DefSaveFilename, png);
                QCOMPARE(w.saveDialog()->FileName, png);
                QCOMPARE(w.statusText(3), information);
                QCOMPARE(w.statusText(2), png);
                QCOMPARE(w.state().SelectedPicture, png);
                offered.clear();
                QVERIFY(w.HandleToolbarKeys(Qt::Key_F2, Qt::NoModifier));
                QCOMPARE(offered, QList<QString>{png});
            }
            QCOMPARE(QFileInfo(file.fileName()).size(), bytes.size());
        }
        QVERIFY(!UndoAvailable());   // nothing changed, nothing to undo
        TMMOpenDialog::setScript({});
        MessageBox::setScript({});

        // a metafile is drawn at its own size
        TBitmap source(img, pf24bit);
        TMetafile metafile;
        QVERIFY(BitmapToMetafile(&source, &metafile, true));
        const QString emf = dir.filePath("drawing.emf");
        QVERIFY(metafile.SaveToFile(emf));
        w.ShowPicture(emf, 0, w.pane());
        QVERIFY(UndoAvailable());   // the picture it replaced
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
