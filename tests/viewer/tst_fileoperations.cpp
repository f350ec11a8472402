// Deleting, copying and moving pictures: the questions asked, the names
// proposed, and that no transfer loses or half-writes a file.
#include "viewer/filecopymovedlg.h"
#include "viewer/fileoperations.h"
#include "viewer/filetransfer.h"
#include "viewer/glimraapplication.h"
#include "viewer/ueberschrdlg.h"
#include "viewer/viewerstate.h"

#include "thumbnails/piclibthumbnails.h"
#include "platform/fileops.h"
#include "platform/folderpicker.h"
#include "platform/messagebox.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void makePicture(const QString& path, int w = 40, int h = 30)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(QColor(30, 90, 150));
    QVERIFY(img.save(path));
}

QByteArray pattern(int size)
{
    QByteArray b(size, 0);
    for (int i = 0; i < size; ++i)
        b[i] = char(i * 31 + 7);
    return b;
}

}  // namespace

class TestFileOperations : public QObject {
    Q_OBJECT

    ViewerState state_;

    std::unique_ptr<FileOperations> operations(TPicLibThumbnails& grid, const QString& folder, int* scans = nullptr)
    {
        FileOperations::Host host;
        host.treePath = [folder] { return folder; };
        host.startFolderScan = [scans] {
            if (scans)
                ++*scans;
        };
        return std::make_unique<FileOperations>(nullptr, &grid, &state_, host);
    }

private slots:
    void cleanup()
    {
        fileops::setFaultHook({});
        MessageBox::setScript({});
        FolderPicker::setScript({});
        FileOperations::overwriteScript = nullptr;
    }

    void transfersKeepEverythingOnFailure()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath("src.bin");
        const QByteArray data = pattern(100000);
        writeFile(src, data);
        {
            QFile f(src);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::fromSecsSinceEpoch(1600000000), QFileDevice::FileModificationTime));
        }
        QFile::setPermissions(src, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);

        // a copy: the same bytes, date and permissions
        QCOMPARE(FileTransfer::run(src, dir.filePath("copy.bin"), false, false), FileTransfer::Done);
        QCOMPARE(readFile(dir.filePath("copy.bin")), data);
        QCOMPARE(QFileInfo(dir.filePath("copy.bin")).lastModified().toSecsSinceEpoch(), 1600000000);
        QCOMPARE(QFile::permissions(dir.filePath("copy.bin")), QFile::permissions(src));

        // cancelled after three blocks: no target, source intact, no leftovers
        int blocks = 0;
        QCOMPARE(FileTransfer::run(src, dir.filePath("cancelled.bin"), false, false,
                                   [&](qint64, qint64) { return ++blocks < 4; }),
                 FileTransfer::Cancelled);
        QVERIFY(!QFile::exists(dir.filePath("cancelled.bin")));
        QCOMPARE(readFile(src), data);

        // a write failing midway while overwriting: the old target stays whole
        writeFile(dir.filePath("old.bin"), "the old picture");
        int writes = 0;
        fileops::setFaultHook([&](fileops::Op op, const QString&) { return op == fileops::Op::Write && ++writes == 5; });
        QCOMPARE(FileTransfer::run(src, dir.filePath("old.bin"), false, true), FileTransfer::Failed);
        QCOMPARE(readFile(dir.filePath("old.bin")), QByteArray("the old picture"));
        fileops::setFaultHook({});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);   // src, copy, old

        // without the overwrite answer nothing is replaced, not even by a move
        QCOMPARE(FileTransfer::run(src, dir.filePath("old.bin"), true, false), FileTransfer::Failed);
        QCOMPARE(readFile(dir.filePath("old.bin")), QByteArray("the old picture"));
        QVERIFY(QFile::exists(src));

        // a move within one file system is a rename: same inode, source gone
        const QString moved = dir.filePath("moved.bin");
        QCOMPARE(FileTransfer::run(src, moved, true, false), FileTransfer::Done);
        QVERIFY(!QFile::exists(src));
        QCOMPARE(readFile(moved), data);
        QCOMPARE(FileTransfer::run(src, dir.filePath("x.bin"), false, false), FileTransfer::SourceMissing);
    }

    void moveAcrossFileSystemsDeletesSourceLast()
    {
        QTemporaryDir dir;
        QDir shm("/dev/shm");
        if (!shm.exists() || FileTransfer::sameFileSystem(dir.path(), shm.path()))
            QSKIP("no second file system here");
        QTemporaryDir other(shm.filePath("kvn-XXXXXX"));
        const QString src = dir.filePath("p.bin");
        writeFile(src, pattern(50000));
        int writes = 0;
        fileops::setFaultHook([&](fileops::Op op, const QString&) { return op == fileops::Op::Write && ++writes == 3; });
        QCOMPARE(FileTransfer::run(src, other.filePath("p.bin"), true, false), FileTransfer::Failed);
        QVERIFY(QFile::exists(src));
        QVERIFY(!QFile::exists(other.filePath("p.bin")));
        fileops::setFaultHook({});
        QCOMPARE(FileTransfer::run(src, other.filePath("p.bin"), true, false), FileTransfer::Done);
        QVERIFY(!QFile::exists(src));
        QCOMPARE(readFile(other.filePath("p.bin")), pattern(50000));
    }

    void overwriteDialogProposesAFreeName()
    {
        QTemporaryDir dir;
        for (const char* n : {"a.jpg", "a_1.jpg", "a_2.jpg"})
            writeFile(dir.filePath(n), "x");
        QCOMPARE(TueberschrDlg::proposedName(dir.filePath("a.jpg")), dir.filePath("a_3.jpg"));
        QVERIFY(!TueberschrDlg::isUsableName("b?.jpg", dir.path()));
        QVERIFY(!TueberschrDlg::isUsableName("a_1.jpg", dir.path()));
        QVERIFY(!TueberschrDlg::isUsableName("", dir.path()));
        QVERIFY(!TueberschrDlg::isUsableName("sub/b.jpg", dir.path()));
        QVERIFY(TueberschrDlg::isUsableName("b.jpg", dir.path()));

        makePicture(dir.filePath("new.png"), 64, 48);
        TueberschrDlg dialog(dir.filePath("a.jpg"), dir.filePath("new.png"));
        QCOMPARE(dialog.newNameText(), QString("a_3.jpg"));
        QVERIFY(dialog.renameEnabled());
        dialog.setNewNameText("a_2.jpg");
        QVERIFY(!dialog.renameEnabled());
        dialog.setNewNameText("what?.jpg");
        QVERIFY(!dialog.renameEnabled());
        dialog.setNewNameText("fine.jpg");
        QVERIFY(dialog.renameEnabled());
        QCOMPARE(dialog.renameTarget(), dir.filePath("fine.jpg"));
        QVERIFY(dialog.infoText(false).startsWith("64 x 48"));
        QVERIFY(dialog.infoText(false).contains("Bit per Pixel"));
    }

    void deleteAsksInGerman()
    {
        QTemporaryDir dir;
        TPicLibThumbnails grid;
        for (int i = 0; i < 4; ++i) {
            makePicture(dir.filePath(QString("p%1.png").arg(i)));
            grid.AddFile(dir.filePath(QString("p%1.png").arg(i)));
        }
        grid.SetChecked(0, true);
        writeFile(FileOperations::annotationFile(dir.filePath("p0.png")), "notes");
        QCOMPARE(FileOperations::annotationFile("/a/b.c/photo.jpg"), QString("/a/b.c/photo-jpg.ant"));
        int scans = 0;
        auto ops = operations(grid, dir.path(), &scans);
        QList<MessageBox::Request> asked;
        QMessageBox::StandardButton answer = QMessageBox::No;
        MessageBox::setScript([&](const MessageBox::Request& r) {
            asked << r;
            return answer;
        });
        ops->Delete();   // "No": nothing happens
        QCOMPARE(asked.last().caption, QString("Bild löschen"));
        QCOMPARE(asked.last().text, QString("Sind Sie sicher, daß 1 Bild gelöscht werden soll?"));
        QVERIFY(QFile::exists(dir.filePath("p0.png")));

        answer = QMessageBox::Yes;
        ops->Delete();
        QVERIFY(!QFile::exists(dir.filePath("p0.png")));
        QVERIFY(!QFile::exists(FileOperations::annotationFile(dir.filePath("p0.png"))));
        QCOMPARE(grid.itemCount(), 3);
        QCOMPARE(scans, 1);

        for (int i = 0; i < 3; ++i)
            grid.SetChecked(i, true);
        answer = QMessageBox::No;
        ops->Delete();
        QCOMPARE(asked.last().caption, QString("Bilder löschen"));
        QCOMPARE(asked.last().text, QString("Sind Sie sicher, daß 3 Bilder gelöscht werden sollen?"));

        // none marked, one selected: as for one
        for (int i = 0; i < 3; ++i)
            grid.SetChecked(i, false);
        grid.SelectIndex(1);
        ops->Delete();
        QCOMPARE(asked.last().text, QString("Sind Sie sicher, daß 1 Bild gelöscht werden soll?"));

        // a file that cannot be deleted keeps its thumbnail
        answer = QMessageBox::Yes;
        fileops::setFaultHook([](fileops::Op op, const QString&) { return op == fileops::Op::Remove; });
        ops->Delete();
        QCOMPARE(grid.itemCount(), 3);
    }

    void copyAndMoveWithClashes()
    {
        QTemporaryDir shown;
        QTemporaryDir target;
        TPicLibThumbnails grid;
        makePicture(shown.filePath("a.png"), 40, 30);
        makePicture(shown.filePath("b.png"), 50, 30);
        grid.AddFile(shown.filePath("a.png"));
        grid.AddFile(shown.filePath("b.png"));
        grid.SetChecked(0, true);
        grid.SetChecked(1, true);
        writeFile(target.filePath("a.png"), "existing");
        auto ops = operations(grid, shown.path());
        TFileCopyMoveDlg::startDelay = 0;
        QStringList titles;
        FolderPicker::setScript([&](const QString& title, const QString&) {
            titles << title;
            return target.path();
        });
        FileOperations::overwriteScript = [](TueberschrDlg&) { return int(TueberschrDlg::Rename); };
        ops->Copy();
        QCOMPARE(titles, QStringList({"Bilder kopieren"}));
        QCOMPARE(state_.CopyFolder, target.path());
        QCOMPARE(readFile(target.filePath("a.png")), QByteArray("existing"));   // never replaced
        QVERIFY(QFile::exists(target.filePath("a_1.png")));
        QVERIFY(QFile::exists(target.filePath("b.png")));
        QVERIFY(QFile::exists(shown.filePath("a.png")));
        QCOMPARE(grid.itemCount(), 2);   // copies elsewhere change nothing in the grid
        QVERIFY(!state_.ScanActive);

        // overwrite is chosen: now the existing file is replaced
        FileOperations::overwriteScript = [](TueberschrDlg&) { return int(TueberschrDlg::Overwrite); };
        grid.SetChecked(1, false);
        ops->Move();
        QCOMPARE(titles.last(), QString("Bilder bewegen"));
        QVERIFY(!QFile::exists(shown.filePath("a.png")));
        QCOMPARE(readFile(target.filePath("a.png")).left(4), QByteArray("\x89PNG"));

        // cancel in the dialog ends the command
        FileOperations::overwriteScript = [](TueberschrDlg&) { return int(TueberschrDlg::Cancel); };
        grid.SetChecked(0, false);
        grid.SetChecked(1, true);
        ops->Copy();
        QCOMPARE(readFile(target.filePath("b.png")), readFile(shown.filePath("b.png")));

        // copying into the shown folder adds the thumbnail at once
        QTemporaryDir elsewhere;
        makePicture(elsewhere.filePath("c.png"));
        ops->Drop({elsewhere.filePath("c.png")});
        QCOMPARE(grid.itemCount(), 3);
        QVERIFY(QFile::exists(shown.filePath("c.png")));
        QVERIFY(QFile::exists(elsewhere.filePath("c.png")));
    }
};

int main(int argc, char** argv)
{
    GlimraApplication app(argc, argv);
    TestFileOperations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fileoperations.moc"
