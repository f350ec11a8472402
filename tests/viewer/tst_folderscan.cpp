// The folder scan: what it decodes again, what it takes from the database,
// and how it stops.
#include "viewerwindowtesting.h"

#include "viewer/comparethumbnails.h"
#include "viewer/glimraapplication.h"
#include "viewer/kvnpictureview.h"
#include "viewer/shelltree.h"
#include "viewer/timethread.h"
#include "viewer/viewerstate.h"

#include "thumbnails/piclibthumbnails.h"
#include "codec/binding/codecstate.h"
#include "platform/settings.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>
#include <utime.h>

using namespace viewertesting;

namespace {

void setModificationTime(const QString& path, qint64 secs)
{
    utimbuf t{secs, secs};
    QCOMPARE(utime(path.toLocal8Bit().constData(), &t), 0);
}

struct ScanRun {
    int decoded = 0;
    int reused = 0;
    int progressMax = -1;
};

}  // namespace

class TestFolderScan : public QObject {
    Q_OBJECT

    ViewerState state_;
    std::unique_ptr<TPicLibThumbnails> grid_;
    int progressMax_ = 0;
    int progress_ = 0;

    ScanRun scan(const QString& folder, const std::function<void()>& duringLoad = {})
    {
        ScanHost host;
        host.treePath = [folder] { return folder; };
        host.sortThumbnails = [this] { grid_->sortItems(grid_->host.compare); };
        TTimeThread thread(grid_.get(), &state_, host);
        QEventLoop loop;
        connect(&thread, &QThread::finished, &loop, &QEventLoop::quit);
        if (duringLoad) {
            grid_->host.relayout = duringLoad;
            grid_->LoadBatch = 1;   // one entry at a time: a relayout each
        }
        thread.start();
        loop.exec();
        thread.wait();
        grid_->host.relayout = nullptr;
        return {thread.decoded(), thread.reused(), progressMax_};
    }

private slots:
    void init()
    {
        Settings().clear();
        state_.LastScannedFolder.clear();
        state_.ThumbnailsEnabled = true;
        grid_ = std::make_unique<TPicLibThumbnails>();
        grid_->host.thumbnailsEnabled = [] { return true; };
        grid_->host.compare = [](const Th& a, const Th& b) { return CompareThumbnails(a, b, 0, 0); };
        grid_->host.setProgressMaximum = [this](int m) { progressMax_ = m; };
        grid_->host.progressMaximum = [this] { return progressMax_; };
        grid_->host.setProgressPosition = [this](int p) { progress_ = p; };
        grid_->host.progressPosition = [this] { return progress_; };
    }

    void onlyNewOrChangedPicturesAreDecoded()
    {
        QTemporaryDir dir;
        makePicture(dir.filePath("a.bmp"), 40, 30);
        makePicture(dir.filePath("b.bmp"), 50, 30);
        makePicture(dir.filePath("c.bmp"), 60, 30);
        QFile notes(dir.filePath("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a picture");
        notes.close();
        for (const char* n : {"a.bmp", "b.bmp", "c.bmp"})
            setModificationTime(dir.filePath(n), 1700000000);

        ScanRun first = scan(dir.path());
        QCOMPARE(first.decoded, 3);
        QCOMPARE(grid_->itemCount(), 3);
        QCOMPARE(first.progressMax, 4);   // the text file counts for progress, gets no item
        QVERIFY(!state_.ScanActive);
        QVERIFY(!grid_->Busy);

        // same folder again, spelled another way: no database, nothing decoded
        grid_->SaveDatabase(TTimeThread::databaseFile(dir.path()));
        QFile::remove(TTimeThread::databaseFile(dir.path()));
        for (const QString& spelling : {dir.path() + "/", dir.path() + "/./", dir.path()}) {
            ScanRun same = scan(spelling);
            QCOMPARE(same.decoded, 0);
            QCOMPARE(grid_->itemCount(), 3);
            QVERIFY(grid_->item(0).FileName.startsWith(dir.path() + "/"));
            QVERIFY(!grid_->item(0).FileName.contains("/./"));
        }

        // a fresh viewer: everything comes from the database
        grid_->SaveDatabase(TTimeThread::databaseFile(dir.path()));
        init();
        ScanRun again = scan(dir.path());
        QCOMPARE(again.decoded, 0);
        QCOMPARE(again.reused, 3);

        // the size changed (same time), the time changed (same size), an equal
        // size and time with other content: only the first two are decoded
        makePicture(dir.filePath("a.bmp"), 41, 30);
        setModificationTime(dir.filePath("a.bmp"), 1700000000);
        setModificationTime(dir.filePath("b.bmp"), 1700000100);
        const qint64 cSize = QFileInfo(dir.filePath("c.bmp")).size();
        makePicture(dir.filePath("c.bmp"), 60, 30, QColor(200, 10, 10));
        QCOMPARE(QFileInfo(dir.filePath("c.bmp")).size(), cSize);
        setModificationTime(dir.filePath("c.bmp"), 1700000000);
        makePicture(dir.filePath("d.bmp"), 20, 20);
        grid_->SaveDatabase(TTimeThread::databaseFile(dir.path()));
        init();
        ScanRun changed = scan(dir.path());
        QCOMPARE(changed.decoded, 3);   // a, b and the new d
        QCOMPARE(grid_->itemCount(), 4);
        int widthOfA = 0;
        for (int i = 0; i < grid_->itemCount(); ++i)
            if (grid_->item(i).FileName.endsWith("a.bmp"))
                widthOfA = grid_->item(i).Width;
        QCOMPARE(widthOfA, 41);

        // a vanished picture goes
        QFile::remove(dir.filePath("b.bmp"));
        ScanRun removed = scan(dir.path());
        QCOMPARE(removed.decoded, 0);
        QCOMPARE(grid_->itemCount(), 3);
    }

    // A load cut short leaves the grid holding part of the new folder: no
    // database is written from it, neither the previous folder's nor its own.
    void cancelDuringTheDatabaseLoad()
    {
        QTemporaryDir previous;
        QTemporaryDir dir;
        for (int i = 0; i < 4; ++i)
            makePicture(previous.filePath(QString("q%1.bmp").arg(i)), 20 + i, 30);
        for (int i = 0; i < 6; ++i)
            makePicture(dir.filePath(QString("p%1.bmp").arg(i)), 30 + i, 30);
        scan(dir.path());
        QCOMPARE(grid_->itemCount(), 6);
        scan(previous.path());   // writes dir's database on the way
        QCOMPARE(grid_->itemCount(), 4);
        grid_->SaveDatabase(TTimeThread::databaseFile(previous.path()));
        const QByteArray previousDatabase = contentsOf(TTimeThread::databaseFile(previous.path()));
        const QByteArray database = contentsOf(TTimeThread::databaseFile(dir.path()));
        QVERIFY(previousDatabase.contains("[3]\r\n"));
        QVERIFY(database.contains("[5]\r\n"));

        int loaded = 0;
        ScanRun cancelled = scan(dir.path(), [&] {
            if (++loaded == 2)
                grid_->CancelRequested = true;
        });
        QCOMPARE(cancelled.decoded, 0);
        QCOMPARE(grid_->itemCount(), 2);   // what was loaded stays
        QVERIFY(!grid_->CancelRequested);
        QVERIFY(!state_.ScanActive);

        ScanRun next = scan(dir.path());   // the next scan loads the database again, whole
        QCOMPARE(grid_->itemCount(), 6);
        QCOMPARE(next.decoded, 0);
        QCOMPARE(next.reused, 6);
        QCOMPARE(contentsOf(TTimeThread::databaseFile(previous.path())), previousDatabase);
        QCOMPARE(contentsOf(TTimeThread::databaseFile(dir.path())), database);

        // cut short again, then another folder: the cut database stays whole
        loaded = 0;
        scan(previous.path());
        scan(dir.path(), [&] {
            if (++loaded == 3)
                grid_->CancelRequested = true;
        });
        QCOMPARE(grid_->itemCount(), 3);
        scan(previous.path());
        QCOMPARE(grid_->itemCount(), 4);
        QCOMPARE(contentsOf(TTimeThread::databaseFile(dir.path())), database);
        QCOMPARE(contentsOf(TTimeThread::databaseFile(previous.path())), previousDatabase);
    }

    // Names are compared byte for byte: a.bmp and A.bmp are two pictures,
    // and a folder whose name ends in a blank is a folder like any other.
    void namesAreTakenAsTheyAre()
    {
        QTemporaryDir top;
        const QString dir = top.filePath("Bilder ");
        QVERIFY(QDir(top.path()).mkdir("Bilder "));
        QVERIFY(QDir(top.path()).mkdir("bilder "));
        makePicture(dir + "/a.bmp", 20, 30, QColor(200, 0, 0));
        makePicture(dir + "/A.bmp", 40, 30, QColor(0, 0, 200));
        makePicture(top.filePath("bilder ") + "/c.bmp", 50, 30);
        ScanRun first = scan(dir);
        QCOMPARE(first.decoded, 2);
        QCOMPARE(grid_->itemCount(), 2);
        QStringList names;
        for (int i = 0; i < grid_->itemCount(); ++i)
            names << grid_->item(i).FileName;
        names.sort();
        QCOMPARE(names, QStringList({dir + "/A.bmp", dir + "/a.bmp"}));
        ScanRun again = scan(dir);
        QCOMPARE(again.decoded, 0);
        QCOMPARE(grid_->itemCount(), 2);

        // the other folder differs only in case: its own picture, and the
        // first folder's database holds both of its pictures
        ScanRun other = scan(top.filePath("bilder "));
        QCOMPARE(other.decoded, 1);
        QCOMPARE(grid_->itemCount(), 1);
        QVERIFY(QFileInfo(dir + "/KvnThumbalais.db").isFile());
        init();
        ScanRun reopened = scan(dir);
        QCOMPARE(reopened.decoded, 0);
        QCOMPARE(reopened.reused, 2);
    }

    // Miniatures made on the workers give the same grid, in the same order,
    // and the same database file byte for byte as the grid's own serial way.
    void parallelScanMatchesSerial()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 24; ++i) {
            // equal sizes and dates: only the names tell the ties apart
            const char* ext[] = {"bmp", "png", "jpg"};
            makePicture(dir.filePath(QString("p%1.%2").arg(i % 8).arg(ext[i % 3])), 30 + (i % 4), 20 + (i % 5),
                        QColor(10 * i, 200 - 5 * i, 90));
        }
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
            setModificationTime(dir.filePath(name), 1700000000);
        for (int order = 0; order < 5; ++order) {
            init();
            grid_->host.compare = [order](const Th& a, const Th& b) { return CompareThumbnails(a, b, order, 1); };
            ScanRun parallel = scan(dir.path());
            QCOMPARE(parallel.decoded, grid_->itemCount());
            const QString scanned = dir.filePath("scanned.db");
            QVERIFY(grid_->SaveDatabase(scanned));

            TPicLibThumbnails serial;
            serial.host = grid_->host;
            QCOMPARE(serial.LoadFolder(dir.path()), grid_->itemCount());
            serial.sortItems(serial.host.compare);
            const QString loaded = dir.filePath("serial.db");
            QVERIFY(serial.SaveDatabase(loaded));
            QCOMPARE(contentsOf(scanned), contentsOf(loaded));
            QFile::remove(scanned);
            QFile::remove(loaded);
            QFile::remove(TTimeThread::databaseFile(dir.path()));
        }
    }

    // Cancelled while the workers make miniatures: what was made stays,
    // no placeholder is left in the grid or written to the database.
    void cancelDuringTheFirstOpen()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 40; ++i)
            makePicture(dir.filePath(QString("p%1.png").arg(i, 2, 10, QChar('0'))), 1200, 900);
        int batches = 0;
        grid_->host.updateMarkedCount = [&] {
            if (++batches == 2)
                grid_->CancelRequested = true;
        };
        ScanRun cancelled = scan(dir.path());
        grid_->host.updateMarkedCount = nullptr;
        QVERIFY(grid_->itemCount() < 40);
        QCOMPARE(cancelled.decoded, grid_->itemCount());
        for (int i = 0; i < grid_->itemCount(); ++i) {
            QVERIFY(!grid_->item(i).Placeholder);
            QVERIFY(!grid_->item(i).Bitmap.empty());
        }
        const int made = grid_->itemCount();
        ScanRun next = scan(dir.path());
        QCOMPARE(next.decoded, 40 - made);
        QCOMPARE(grid_->itemCount(), 40);
    }

    // The codec's last error belongs to the thread that made it.
    void errorsStayWithTheirThread()
    {
        SetLastError(7, "pane");
        SetOperationText("Lade Bild");
        QString seenByWorker = "unset";
        std::thread worker([&seenByWorker] {
            seenByWorker = LastErrorText();
            SetLastError(3, "worker");
            SetOperationText("Miniatur");
        });
        worker.join();
        QCOMPARE(seenByWorker, QString());
        QCOMPARE(LastErrorText(), QString("pane"));
        QCOMPARE(LastErrorCode(), qint16(7));
        QCOMPARE(OperationText(), QString("Lade Bild"));
    }

    void folderHistoryKeeps101Entries()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 103; ++i)
            QVERIFY(QDir(dir.path()).mkdir(QString("f%1").arg(i, 3, 10, QChar('0'))));
        TKvnPictureView w;
        w.start();
        for (int i = 0; i < 103; ++i) {
            const QString folder = dir.filePath(QString("f%1").arg(i, 3, 10, QChar('0')));
            QVERIFY(w.folderTree()->setPath(folder));
            // the folder's own scan ends before the next choice
            do
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            while (w.state().ScanThread || w.state().ScanActive || w.state().NotifySuppressed);
        }
        QComboBox* history = w.folderHistory();
        QCOMPARE(history->count(), 101);
        QCOMPARE(history->itemText(0), dir.filePath("f002"));
        QCOMPARE(history->currentText(), dir.filePath("f102"));
        QVERIFY(!history->itemIcon(50).isNull());
        while (w.state().ScanThread)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};

int main(int argc, char** argv)
{
    GlimraApplication app(argc, argv);
    TestFolderScan test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_folderscan.moc"
