// The folder scan as the viewer's window runs it: closing mid-scan, the
// remembered picture, the fall-back decoder and the selection after sorting.
#include "viewerwindowtesting.h"

#include "viewer/glimraapplication.h"
#include "viewer/kvnpictureview.h"
#include "viewer/shelltree.h"
#include "viewer/timethread.h"

#include "imagecontrol/pmultiimage.h"
#include "thumbnails/piclibthumbnails.h"
#include "platform/messagebox.h"
#include "platform/settings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

using namespace viewertesting;

namespace {

int entriesIn(const QByteArray& database)
{
    int n = 0;
    for (const QByteArray& line : database.split('\n'))
        n += line.startsWith('[') && line.trimmed().endsWith(']') ? 1 : 0;
    return n;
}

// A close that never ends is a failure, not a test that runs for ever.
struct Watchdog {
    QTimer timer;
    Watchdog()
    {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [] { qFatal("the window did not close"); });
        timer.start(60000);
    }
};

void closeAndWait(TKvnPictureView& w)
{
    Watchdog watchdog;
    while (w.isVisible() || w.state().ScanThread)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void rescan(TKvnPictureView& w)
{
    QVERIFY(!w.state().ScanThread);
    w.StartFolderScan();
    QVERIFY(w.state().ScanThread);
    settle(w);
}

}  // namespace

class TestScanWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { resetStore(); }
    void cleanup() { MessageBox::setScript({}); }

    // Closing while the scan decodes: the window goes once the scan has
    // stopped, with the settings and a complete database of the grid's folder.
    void closingDuringTheScan()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 30; ++i)
            makePicture(dir.filePath(QString("p%1.bmp").arg(i, 2, 10, QChar('0'))), 1200 + i, 900);
        TKvnPictureView w;
        w.start();
        w.show();
        TPicLibThumbnails* grid = w.thumbnails();
        const auto counted = grid->host.updateMarkedCount;
        int batches = 0;
        grid->host.updateMarkedCount = [&] {
            if (++batches == 3)
                w.close();   // while the grid takes miniatures, as a click on the close box lands
            if (counted)
                counted();
        };
        QVERIFY(w.folderTree()->setPath(dir.path()));
        closeAndWait(w);
        grid->host.updateMarkedCount = counted;
        QVERIFY(!w.isVisible());
        QVERIFY(!w.state().ScanThread);
        for (QThread* t : w.findChildren<QThread*>())
            QVERIFY(t->isFinished());
        QVERIFY(grid->itemCount() >= 1);
        QVERIFY(grid->itemCount() < 30);   // the scan stopped early
        for (int i = 0; i < grid->itemCount(); ++i)
            QVERIFY(!grid->item(i).Placeholder);
        const QByteArray database = contentsOf(TTimeThread::databaseFile(dir.path()));
        QCOMPARE(entriesIn(database), grid->itemCount());
        QCOMPARE(Settings().readString("StartUp", "BaseFolder", QString()), dir.path());
    }

    // Closing writes the database on the grid's writer thread: the window
    // stays until the save has ended, and a second close does not cut it short.
    void closingWaitsForTheDatabaseSave()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 8; ++i)
            makePicture(dir.filePath(QString("p%1.bmp").arg(i)), 40 + i, 30);
        TKvnPictureView w;
        w.start();
        w.show();
        openFolder(w, dir.path(), 8);
        TPicLibThumbnails* grid = w.thumbnails();
        const QString database = TTimeThread::databaseFile(dir.path());
        QVERIFY(!QFileInfo::exists(database));
        w.close();
        QVERIFY(w.isVisible());
        QVERIFY(grid->Saving() && grid->Busy);
        w.close();   // a second click on the close box
        QVERIFY(grid->Saving());
        closeAndWait(w);
        QVERIFY(!grid->Saving());
        QCOMPARE(entriesIn(contentsOf(database)), 8);
    }

    // Closing while the database loads: the window goes, and the database,
    // of which only part was read, stays exactly as it was.
    void closingDuringTheDatabaseLoad()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 12; ++i)
            makePicture(dir.filePath(QString("p%1.bmp").arg(i, 2, 10, QChar('0'))), 40 + i, 30);
        {
            TKvnPictureView w;
            w.start();
            openFolder(w, dir.path(), 12);
            w.close();
            closeAndWait(w);
        }
        const QByteArray database = contentsOf(TTimeThread::databaseFile(dir.path()));
        QCOMPARE(entriesIn(database), 12);
        Settings().writeString("StartUp", "BaseFolder", QString());
        TKvnPictureView w;
        w.start();
        w.show();
        TPicLibThumbnails* grid = w.thumbnails();
        grid->LoadBatch = 1;   // the grid takes one entry at a time
        const auto relayout = grid->host.relayout;
        int loaded = 0;
        grid->host.relayout = [&] {
            if (++loaded == 4)
                w.close();
            if (relayout)
                relayout();
        };
        QVERIFY(w.folderTree()->setPath(dir.path()));
        closeAndWait(w);
        grid->host.relayout = relayout;
        QVERIFY(!w.state().ScanThread);
        QCOMPARE(grid->itemCount(), 4);
        QCOMPARE(contentsOf(TTimeThread::databaseFile(dir.path())), database);
        QCOMPARE(Settings().readString("StartUp", "BaseFolder", QString()), dir.path());
    }

    // The picture selected at exit comes back after the next start, however
    // often the folder was scanned in between.
    void selectedPictureSurvivesRescans()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 6; ++i)
            makePicture(dir.filePath(QString("p%1.bmp").arg(i)), 40 + i, 30);
        const QString chosen = dir.filePath("p4.bmp");
        {
            TKvnPictureView w;
            w.start();
            openFolder(w, dir.path(), 6);
            TPicLibThumbnails* grid = w.thumbnails();
            QVERIFY(grid->IndexOfFile(chosen, 0) >= 0);
            QCOMPARE(w.pane()->ImageName(), chosen);
            rescan(w);
            QVERIFY(grid->CurrentSelected >= 0);
            QCOMPARE(grid->item(grid->CurrentSelected).FileName, chosen);
            rescan(w);
            w.close();
            closeAndWait(w);
        }
        QCOMPARE(Settings().readString("StartUp", "sel_bild", QString()), chosen);
        TKvnPictureView w;
        w.start();
        waitForScan(w, dir.path(), 6);
        TPicLibThumbnails* grid = w.thumbnails();
        QVERIFY(grid->CurrentSelected >= 0);
        QCOMPARE(grid->item(grid->CurrentSelected).FileName, chosen);
    }

    // A file the grid's readers refuse is tried once more without the picture
    // pane: an edited picture there stays as it is.
    void fallBackDecodeLeavesThePaneAlone()
    {
        QTemporaryDir dir;
        makePicture(dir.filePath("a.bmp"), 40, 30);
        TKvnPictureView w;
        w.start();
        openFolder(w, dir.path(), 1);
        TPMultiImage* pane = w.pane();
        QVERIFY(w.thumbnails()->IndexOfFile(dir.filePath("a.bmp"), 0) >= 0);
        QImage edited(pane->Picture().image());
        edited.fill(QColor(250, 10, 10));
        pane->setPicture(TBitmap(edited, pf24bit));
        const QImage before = pane->Picture().image();
        QFile bad(dir.filePath("bad.gif"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(120, 'x'));
        bad.close();
        rescan(w);
        QCOMPARE(w.thumbnails()->itemCount(), 1);
        QCOMPARE(pane->ImageName(), dir.filePath("a.bmp"));
        QCOMPARE(pane->Picture().image(), before);
    }

    // After sorting, the selection is still on the picture the user chose,
    // and the delete question names it.
    void sortingKeepsTheSelectedPicture()
    {
        QTemporaryDir dir;
        // p1 is the smallest file: first by size, last backwards
        const int widths[5] = {50, 20, 80, 110, 140};
        for (int i = 0; i < 5; ++i)
            makePicture(dir.filePath(QString("p%1.bmp").arg(i)), widths[i], 30);
        TKvnPictureView w;
        w.start();
        openFolder(w, dir.path(), 5);
        TPicLibThumbnails* grid = w.thumbnails();
        const QString chosen = dir.filePath("p1.bmp");
        const int first = grid->IndexOfFile(chosen, 0);
        QCOMPARE(first, 1);
        action(w, "actNachGroesse")->trigger();
        QCOMPARE(grid->item(0).FileName, chosen);
        QCOMPARE(grid->CurrentSelected, 0);
        action(w, "actRueckwaerts")->trigger();
        QCOMPARE(grid->item(4).FileName, chosen);
        QCOMPARE(grid->CurrentSelected, 4);
        QList<MessageBox::Request> asked;
        MessageBox::setScript([&](const MessageBox::Request& r) {
            asked << r;
            return QMessageBox::No;
        });
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].text.startsWith("Sind Sie sicher, daß 1 Bild gelöscht werden soll?"),
                 qPrintable(asked[0].text));
        QVERIFY2(asked[0].text.contains("p1.bmp"), qPrintable(asked[0].text));
        QVERIFY(QFile::exists(chosen));
        QCOMPARE(grid->itemCount(), 5);
    }
};

int main(int argc, char** argv)
{
    GlimraApplication app(argc, argv);
    TestScanWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scanwindow.moc"
