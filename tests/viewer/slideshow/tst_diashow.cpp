// The slide show window: options, timer, steps, slides decoded ahead and
// their cache, skipped pictures, transitions at display rate.
#include "slidepictures.h"

#include "viewer/slideshow/diashowdlg.h"
#include "viewer/slideshow/slidedecoder.h"
#include "viewer/slideshow/slidelistfile.h"
#include "viewer/slideshow/transitionplayer.h"

#include "codec/binding/tbitmap.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/settings.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

namespace {

SlideItems itemsOf(const QStringList& files, std::set<int> marked = {})
{
    SlideItems items;
    items.count = [files] { return int(files.size()); };
    items.fileName = [files](int i) { return files.value(i); };
    items.page = [](int) { return 0; };
    items.checked = [marked](int i) { return marked.count(i) > 0; };
    return items;
}

void setOption(const QString& key, const QVariant& value)
{
    Settings store;
    if (value.typeId() == QMetaType::Bool)
        store.writeBool("DiaShow", key, value.toBool());
    else if (value.typeId() == QMetaType::QString)
        store.writeString("DiaShow", key, value.toString());
    else
        store.writeInteger("DiaShow", key, value.toInt());
    store.sync();
}

// The colour in the middle of the shown slide.
QColor shownColour(const TDiashowDlg& show)
{
    const QImage& image = show.imageControl()->Picture().image();
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

// Waits until the worker has made every slide asked for.
void settle(TDiashowDlg& show)
{
    show.decoder()->waitForDone();
}

}  // namespace

class TestDiashow : public QObject {
    Q_OBJECT

private slots:
    void init() { clearSlideShowOptions(); }

    void timerFollowsSteepAndManuell()
    {
        QTemporaryDir dir;
        const QStringList files = writePictures(dir.path(), 3);
        setOption("Steep", 5);
        TDiashowDlg show(itemsOf(files));
        show.restart();
        QCOMPARE(show.slideTimer().interval(), 5000);
        QVERIFY(show.slideTimer().isActive());
        settle(show);
        QCOMPARE(show.shownFile(), files[0]);
        QCOMPARE(shownColour(show), colourOf(0));

        // H stops the timer, V steps on and starts it again
        QTest::keyClick(show.imageControl(), Qt::Key_H);
        QVERIFY(!show.slideTimer().isActive());
        QTest::keyClick(show.imageControl(), Qt::Key_V);
        QVERIFY(show.slideTimer().isActive());
        settle(show);
        QCOMPARE(show.shownFile(), files[1]);

        setOption("Steep", 12);
        setOption("Manuell", true);
        show.restart();
        QCOMPARE(show.slideTimer().interval(), 12000);
        QVERIFY(!show.slideTimer().isActive());
        // in manual mode the first arrow shows the next picture
        settle(show);
        QCOMPARE(show.shownFile(), files[0]);
        QTest::keyRelease(show.imageControl(), Qt::Key_Right);
        settle(show);
        QCOMPARE(show.shownFile(), files[1]);
        QTest::keyClick(show.imageControl(), Qt::Key_V);
        QVERIFY(!show.slideTimer().isActive());
    }

    void markedItemsWithTheTimer()
    {
        QTemporaryDir dir;
        const QStringList files = writePictures(dir.path(), 9);
        setOption("WSel", true);
        TDiashowDlg show(itemsOf(files, {1, 4, 7}));
        show.restart();
        QStringList seen;
        settle(show);
        seen << show.shownFile();
        for (int tick = 0; tick < 4; ++tick) {
            show.timerTick();
            settle(show);
            seen << show.shownFile();
        }
        QCOMPARE(seen, QStringList({files[1], files[4], files[7], files[7], files[1]}));
        QCOMPARE(show.slidesShown(), 4);   // the empty interval showed nothing new
    }

    void startItemIsShownAndArrowsGoToItsNeighbours()
    {
        QTemporaryDir dir;
        const QStringList files = writePictures(dir.path(), 6);
        setOption("Direction", true);
        TDiashowDlg show(itemsOf(files));
        show.setStartItem(3, 0);
        show.restart();
        QVERIFY(!show.slideTimer().isActive());
        settle(show);
        QCOMPARE(show.shownFile(), files[3]);
        QWheelEvent down(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(show.imageControl(), &down);
        settle(show);
        QCOMPARE(show.shownFile(), files[4]);
        QTest::keyRelease(show.imageControl(), Qt::Key_Left);
        settle(show);
        QCOMPARE(show.shownFile(), files[3]);
        QTest::keyRelease(show.imageControl(), Qt::Key_Up);
        settle(show);
        QCOMPARE(show.shownFile(), files[4]);
    }

    void nextSlideComesFromTheCacheUntilItsFileChanges()
    {
        QTemporaryDir dir;
        const QStringList files = writePictures(dir.path(), 4);
        TDiashowDlg show(itemsOf(files));
        show.restart();
        settle(show);   // slide 0 shown, slide 1 made ahead
        QVERIFY(!show.usedCache());
        show.timerTick();
        QVERIFY(show.usedCache());
        QCOMPARE(show.shownFile(), files[1]);   // at once, without waiting
        QCOMPARE(shownColour(show), colourOf(1));
        settle(show);   // slide 2 made ahead

        // slide 2's file changes: the kept slide no longer fits it
        QVERIFY(writePicture(files[2], Qt::red, 80, 40));
        QFile changed(files[2]);
        QVERIFY(changed.open(QIODevice::ReadWrite));
        QVERIFY(changed.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        changed.close();
        show.timerTick();
        QVERIFY(!show.usedCache());
        settle(show);
        QCOMPARE(show.shownFile(), files[2]);
        QCOMPARE(shownColour(show), QColor(Qt::red));

        // decoding ahead off: every slide is made when it is due
        show.decodeAhead = false;
        show.timerTick();
        QVERIFY(!show.usedCache());
        settle(show);
        QCOMPARE(show.shownFile(), files[3]);
    }

    void aTickWaitsForTheSlideStillBeingMade()
    {
        QTemporaryDir dir;
        const QStringList files = writePictures(dir.path(), 3);
        TDiashowDlg show(itemsOf(files));
        show.restart();
        show.timerTick();   // slide 0 is not delivered yet
        settle(show);
        QCOMPARE(show.shownFile(), files[0]);
        QCOMPARE(show.slidesShown(), 1);
        show.timerTick();
        settle(show);
        QCOMPARE(show.shownFile(), files[1]);
    }

    void aBrokenPictureIsSkippedWithANote()
    {
        QTemporaryDir dir;
        QStringList files = writePictures(dir.path(), 3);
        QFile broken(files[1]);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(QByteArray(2000, 'x'));
        broken.close();
        TDiashowDlg show(itemsOf(files));
        show.restart();
        settle(show);
        show.timerTick();
        settle(show);
        QCOMPARE(show.shownFile(), files[2]);
        QVERIFY2(show.noteText().startsWith(QString::fromUtf8("Bild übersprungen: slide1.png")),
                 qPrintable(show.noteText()));
        QVERIFY(show.slideTimer().isActive());
    }

    void metafilesAndIconsAreShownToo()
    {
        QTemporaryDir dir;
        QImage drawing(60, 40, QImage::Format_RGB888);
        drawing.fill(Qt::blue);
        TBitmap source(drawing, pf24bit);
        TMetafile metafile;
        QVERIFY(BitmapToMetafile(&source, &metafile, true));
        const QString emf = dir.filePath("zeichnung.emf");
        QVERIFY(metafile.SaveToFile(emf));
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::yellow);
        const QString ico = dir.filePath("symbol.ico");
        QVERIFY(icon.save(ico, "ico"));
        // a 256-pixel icon: its directory says 0 x 0
        QFile big(dir.filePath("gross.ico"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QByteArray head(2000, 0);
        head[2] = 1;
        head[4] = 1;
        big.write(head);
        big.close();

        setOption("FXN", false);
        setOption("FXV", true);
        TDiashowDlg show(itemsOf({emf, big.fileName(), ico}));
        show.restart();
        settle(show);
        QCOMPARE(show.shownFile(), emf);
        QCOMPARE(show.imageControl()->imageInfo.width, metafile.Width());
        QCOMPARE(shownColour(show), QColor(Qt::blue));
        show.timerTick();
        settle(show);
        QCOMPARE(show.shownFile(), ico);
        QCOMPARE(shownColour(show), QColor(Qt::yellow));
        QVERIFY(show.noteText().contains("gross.ico"));
    }

    void listModeShowsTheListAndSaysWhatWasLeftOut()
    {
        QTemporaryDir dir;
        const QStringList files = writePictures(dir.path(), 3);
        const QString list = dir.filePath("liste.txt");
        QFile f(list);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Korvane SlaidShow List\r\n" + files[2].toUtf8() + "\r\n\xFF\xFF\r\n" + files[0].toUtf8() + "\r\n");
        f.close();
        setOption("WAll", false);
        setOption("WList", true);
        setOption("Listname", list);
        TDiashowDlg show(itemsOf(files));
        show.restart();
        QCOMPARE(show.sequence().list(), QStringList({files[2], files[0]}));
        QVERIFY(show.noteText().startsWith("1 Zeile(n)"));
        settle(show);
        QCOMPARE(show.shownFile(), files[2]);
        show.timerTick();
        settle(show);
        QCOMPARE(show.shownFile(), files[0]);

        // a header with a trailing blank: nothing to show
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Korvane SlaidShow List \r\n" + files[1].toUtf8() + "\r\n");
        f.close();
        TDiashowDlg empty(itemsOf(files));
        empty.restart();
        settle(empty);
        QVERIFY(empty.sequence().list().isEmpty());
        QCOMPARE(empty.shownFile(), QString());
    }

    void bigPicturesAreFittedSmallOnesEnlarged()
    {
        QTemporaryDir dir;
        const QSize screen = QGuiApplication::primaryScreen()->size();
        const Slide big = MakeSlide(writePicture(dir.filePath("big.png"), Qt::blue, screen.width() * 2, 10)
                                        ? dir.filePath("big.png") : QString(),
                                    0, {screen, qRgb(0, 0, 0), true, true}, 24);
        QVERIFY(big.ok);
        QCOMPARE(big.work.size(), screen);
        QVERIFY(big.fitted);
        QCOMPARE(big.offset.x(), 0);
        QVERIFY(writePicture(dir.filePath("small.png"), Qt::green, 20, 10));
        const Slide kept = MakeSlide(dir.filePath("small.png"), 0, {screen, qRgb(0, 0, 0), true, false}, 24);
        QVERIFY(!kept.fitted);
        QCOMPARE(kept.offset, QPoint((screen.width() - 20) / 2, (screen.height() - 10) / 2));
        const Slide grown = MakeSlide(dir.filePath("small.png"), 0, {screen, qRgb(0, 0, 0), true, true}, 24);
        QVERIFY(grown.fitted);
        QCOMPARE(grown.work.pixelColor(screen.width() / 2, screen.height() / 2), QColor(Qt::green));
    }

    void transitionKeepsItsDelaysAsDuration()
    {
        const TransitionScript script = TransitionScript::record(FXDiagonal, QSize(40, 30), 4, 5);
        // 10 columns and 8 rows of cells: 17 diagonal bands, 5 ms each
        QCOMPARE(int(script.steps.size()), 17);
        QCOMPARE(script.duration, qint64(85));
        QRegion covered;
        for (const auto& step : script.steps)
            for (const QRect& r : step.pieces)
                covered += r;
        QCOMPARE(covered, QRegion(0, 0, 40, 30));

        QImage from(40, 30, QImage::Format_RGB32), to(40, 30, QImage::Format_RGB888);
        from.fill(Qt::black);
        to.fill(Qt::white);
        TransitionPlayer player;
        qint64 now = 0;
        player.clock = [&now] { return now; };
        bool done = false;
        QVERIFY(player.start(from, to, FXDiagonal, 4, 5, [&done] { done = true; }));
        QCOMPARE(player.stepsDrawn(), 1);
        now = 42;
        player.advance();
        QCOMPARE(player.stepsDrawn(), 9);   // the steps due at 0, 5, ..., 40 ms
        QVERIFY(!done);
        QCOMPARE(player.canvas().pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(player.canvas().pixelColor(5, 0), QColor(Qt::black));   // band 1 comes last
        now = 85;
        player.advance();
        QVERIFY(done);
        QVERIFY(!player.running());
        QVERIFY(player.frameInterval() >= 1 && player.frameInterval() <= 50);
        // no transition: nothing to play
        QVERIFY(!player.start(from, to, FXNone, 4, 5, [] {}));
    }
};

QTEST_MAIN(TestDiashow)
#include "tst_diashow.moc"
