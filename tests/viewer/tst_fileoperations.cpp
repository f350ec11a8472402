// Deleting, copying and moving pictures: the questions asked, the names
// proposed, and that no transfer loses or half-writes a file.
#include "viewer/filecopymovedlg.h"
#include "viewer/fileoperations.h"
#include "viewer/filetransfer.h"
#include "viewer/glimraapplication.h"
#include "viewer/ueberschrdlg.h"
#include "viewer/viewerstate.h"

#include "codec/binding/tbitmap.h"
#include "imagecontrol/pmultiimage.h"
#include "imagecontrol/savedialogoptions.h"
#include "imagecontrol/savepicturefile.h"
#include "thumbnails/piclibthumbnails.h"
#include "platform/fileops.h"
#include "platform/folderpicker.h"
#include "platform/messagebox.h"
#include "platform/paths.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>
#include <unistd.h>

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

QStringList filesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

// Runs a mount command; empty when it mounted, else why not.
QString mounted(const QString& program, const QStringList& arguments)
{
    QProcess mount;
    mount.start(program, arguments);
    if (!mount.waitForFinished(60000))
        return program + " did not run: " + mount.errorString();
    if (mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
        return QString::fromLocal8Bit(mount.readAllStandardError()).simplified();
    return {};
}

// Copies and moves without ever replacing a file, on a folder where neither
// hard links nor renameat2(RENAME_NOREPLACE) may work.
void transfersWithoutReplacing(const QString& from, const QString& to)
{
    const QString src = from + "/src.bin";
    writeFile(src, pattern(30000));
    QCOMPARE(FileTransfer::run(src, to + "/copy.bin", false, false), FileTransfer::Done);
    QCOMPARE(readFile(to + "/copy.bin"), pattern(30000));
    writeFile(to + "/old.bin", "the old picture");
    QCOMPARE(FileTransfer::run(src, to + "/old.bin", false, false), FileTransfer::Failed);
    QCOMPARE(readFile(to + "/old.bin"), QByteArray("the old picture"));
    QCOMPARE(FileTransfer::run(src, to + "/old.bin", true, false), FileTransfer::Failed);
    QVERIFY(QFile::exists(src));
    QCOMPARE(FileTransfer::run(src, to + "/moved.bin", true, false), FileTransfer::Done);
    QVERIFY(!QFile::exists(src));
    QCOMPARE(readFile(to + "/moved.bin"), pattern(30000));
    QCOMPARE(filesIn(to), (QStringList{"copy.bin", "moved.bin", "old.bin"}));
}

}  // namespace

class TestFileOperations : public QObject {
    Q_OBJECT

    ViewerState state_;

    // a.png (40 x 30) and b.png (50 x 30) in folder, both in the grid
    static void addTwoPictures(TPicLibThumbnails& grid, const QTemporaryDir& folder)
    {
        makePicture(folder.filePath("a.png"), 40, 30);
        makePicture(folder.filePath("b.png"), 50, 30);
        grid.AddFile(folder.filePath("a.png"));
        grid.AddFile(folder.filePath("b.png"));
    }

    std::unique_ptr<FileOperations> operations(TPicLibThumbnails& grid, const QString& folder, int* scans = nullptr,
                                               int* releases = nullptr)
    {
        FileOperations::Host host;
        host.treePath = [folder] { return folder; };
        host.startFolderScan = [scans] {
            if (scans)
                ++*scans;
        };
        host.releaseShownPicture = [releases] {
            if (releases)
                ++*releases;
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

        // the copy or its folder cannot be synced: the source stays
        for (const QString& failing : {other.filePath("p.bin"), other.path()}) {
            fileops::setFaultHook([&](fileops::Op op, const QString& p) { return op == fileops::Op::Sync && p == failing; });
            QCOMPARE(FileTransfer::run(src, other.filePath("p.bin"), true, true), FileTransfer::Failed);
            QCOMPARE(readFile(src), pattern(50000));
        }
        QFile::remove(other.filePath("p.bin"));

        // the file and then its folder are synced before the source goes
        QStringList steps;
        fileops::setFaultHook([&](fileops::Op op, const QString& p) {
            if (op == fileops::Op::Sync || op == fileops::Op::Remove)
                steps << QString(op == fileops::Op::Sync ? "sync " : "remove ") + p;
            return false;
        });
        QCOMPARE(FileTransfer::run(src, other.filePath("p.bin"), true, false), FileTransfer::Done);
        QCOMPARE(steps, (QStringList{"sync " + other.filePath("p.bin"), "sync " + other.path(), "remove " + src}));
        QVERIFY(!QFile::exists(src));
        QCOMPARE(readFile(other.filePath("p.bin")), pattern(50000));
    }

    // As on FAT: no hard links, and (for older kernels and network mounts)
    // no RENAME_NOREPLACE either. The exclusive create takes its place.
    void transfersWhereTheFileSystemHasNoNoReplaceRename()
    {
        QTemporaryDir from;
        QTemporaryDir to;
        int refused = 0;
        fileops::setFaultHook([&](fileops::Op op, const QString&) {
            refused += op == fileops::Op::RenameNoReplace;
            return op == fileops::Op::RenameNoReplace;
        });
        transfersWithoutReplacing(from.path(), to.path());
        QVERIFY(refused >= 2);

        // the name taken between the check and the rename: never replaced
        writeFile(to.filePath("taken.bin"), "taken");
        writeFile(to.filePath(".part"), "new");
        QVERIFY(!fileops::renameNoReplace(to.filePath(".part"), to.filePath("taken.bin")));
        QCOMPARE(readFile(to.filePath("taken.bin")), QByteArray("taken"));
        QCOMPARE(readFile(to.filePath(".part")), QByteArray("new"));
        // a rename failing after the name was taken gives the name back
        fileops::setFaultHook([](fileops::Op op, const QString&) {
            return op == fileops::Op::RenameNoReplace || op == fileops::Op::Rename;
        });
        QVERIFY(!fileops::renameNoReplace(to.filePath(".part"), to.filePath("free.bin")));
        QVERIFY(!QFile::exists(to.filePath("free.bin")));
        QVERIFY(QFile::exists(to.filePath(".part")));
    }

    // A real vfat file system, where the machine lets the test mount one.
    void transfersOntoVfat()
    {
        const QString mkfs = QStandardPaths::findExecutable("mkfs.vfat", {"/usr/sbin", "/sbin", "/usr/bin"});
        if (mkfs.isEmpty())
            QSKIP("cannot mount a vfat file system here: mkfs.vfat (dosfstools) is not installed");
        QTemporaryDir work;
        const QString image = work.filePath("fat.img");
        {
            QFile f(image);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(8 << 20));
        }
        QProcess format;
        format.start(mkfs, {image});
        QVERIFY(format.waitForFinished(60000));
        QCOMPARE(format.exitCode(), 0);
        QVERIFY(QDir(work.path()).mkdir("mnt"));
        const QString mnt = work.filePath("mnt");
        // the kernel's vfat where the machine allows a loop mount, else the
        // FUSE FAT driver, which has neither hard links nor RENAME_NOREPLACE
        QString refused = mounted("mount", {"-t", "vfat", "-o", "loop", image, mnt});
        if (!refused.isEmpty()) {
            const QString fuse = mounted("fusefat", {"-o", "rw+", image, mnt});
            if (!fuse.isEmpty())
                QSKIP(qPrintable("cannot mount a vfat file system here: " + refused + "; fusefat: " + fuse));
            qInfo("vfat through fusefat, the kernel refused it: %s", qPrintable(refused));
        }
        const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(mnt).constData(), MNT_DETACH); });
        QTemporaryDir from;
        QVERIFY(QDir(mnt).mkdir("in"));
        transfersWithoutReplacing(from.path(), mnt + "/in");
        // and within the vfat itself
        QVERIFY(QDir(mnt).mkdir("next"));
        writeFile(mnt + "/in/one.bin", "one");
        QCOMPARE(FileTransfer::run(mnt + "/in/one.bin", mnt + "/next/one.bin", true, false), FileTransfer::Done);
        QCOMPARE(readFile(mnt + "/next/one.bin"), QByteArray("one"));
        QCOMPARE(FileTransfer::run(mnt + "/in/copy.bin", mnt + "/next/one.bin", true, false), FileTransfer::Failed);
        QCOMPARE(readFile(mnt + "/next/one.bin"), QByteArray("one"));
    }

    // Copy or move into the folder the picture is in: said in German, and
    // nothing is asked, copied or renamed; the same for a hard link and for
    // the folder reached through a symbolic link.
    void aPictureIsNeverTransferredOntoItself()
    {
        QTemporaryDir shown;
        QTemporaryDir other;
        TPicLibThumbnails grid;
        makePicture(shown.filePath("a.png"));
        makePicture(shown.filePath("b.png"), 50, 30);
        grid.AddFile(shown.filePath("a.png"));
        grid.AddFile(shown.filePath("b.png"));
        grid.SetChecked(0, true);
        grid.SetChecked(1, true);
        const QByteArray a = readFile(shown.filePath("a.png"));
        QVERIFY(QFile::link(shown.path(), other.filePath("linked")));
        QVERIFY(::link(QFile::encodeName(shown.filePath("a.png")).constData(),
                       QFile::encodeName(other.filePath("a.png")).constData())
                == 0);
        auto ops = operations(grid, shown.path());
        TFileCopyMoveDlg::startDelay = 0;
        QString folder;
        FolderPicker::setScript([&](const QString&, const QString&) { return folder; });
        int asked = 0;
        FileOperations::overwriteScript = [&](TueberschrDlg&) {
            ++asked;
            return int(TueberschrDlg::Overwrite);
        };
        QList<MessageBox::Request> notes;
        MessageBox::setScript([&](const MessageBox::Request& r) {
            notes << r;
            return QMessageBox::Ok;
        });
        for (const QString& chosen : {shown.path(), shown.path() + "/", shown.path() + "/./", other.filePath("linked")}) {
            folder = chosen;
            for (bool move : {false, true}) {
                notes.clear();
                move ? ops->Move() : ops->Copy();
                QCOMPARE(asked, 0);
                QCOMPARE(notes.size(), 1);   // once, not once per picture
                QCOMPARE(notes[0].caption, QString(move ? "Bilder bewegen" : "Bilder kopieren"));
                QVERIFY2(notes[0].text.startsWith("Quelle und Ziel sind dieselbe Datei."), qPrintable(notes[0].text));
                QCOMPARE(filesIn(shown.path()), (QStringList{"a.png", "b.png"}));
                QCOMPARE(readFile(shown.filePath("a.png")), a);
                QCOMPARE(grid.itemCount(), 2);
            }
        }
        // a hard link of the one picture: that one is refused, the other copied
        folder = other.path();
        notes.clear();
        ops->Copy();
        QCOMPARE(notes.size(), 1);
        QCOMPARE(asked, 0);
        QCOMPARE(readFile(other.filePath("b.png")), readFile(shown.filePath("b.png")));
        QCOMPARE(readFile(other.filePath("a.png")), a);
        QVERIFY(!QFile::exists(other.filePath("a_1.png")));
    }

    // "Neuer Name" names a file in the existing file's folder, nothing else.
    void renameRefusesNamesOutsideTheFolder()
    {
        QTemporaryDir dir;
        makePicture(dir.filePath("a.jpg"));
        makePicture(dir.filePath("new.png"));
        QList<MessageBox::Request> notes;
        MessageBox::setScript([&](const MessageBox::Request& r) {
            notes << r;
            return QMessageBox::Ok;
        });
        TueberschrDlg dialog(dir.filePath("a.jpg"), dir.filePath("new.png"));
        dialog.show();
        auto* field = dialog.findChild<QLineEdit*>("NeuerName");
        QVERIFY(field);
        field->setFocus();
        for (const QString& name : {"../x.jpg", "a/b.jpg", "/tmp/x.jpg", ".", "..", ""}) {
            notes.clear();
            dialog.setNewNameText(name);
            QTest::keyClick(field, Qt::Key_Return);
            QCOMPARE(notes.size(), 1);
            QCOMPARE(notes[0].icon, QMessageBox::Warning);
            QVERIFY2(notes[0].text.contains(name.isEmpty() ? "Dateinamen ein" : "kein Dateiname"),
                     qPrintable(notes[0].text));
            dialog.done(TueberschrDlg::Rename);   // whatever route the answer takes
            QCOMPARE(notes.size(), 2);
            QVERIFY2(dialog.isVisible(), qPrintable(name));
            QCOMPARE(dialog.result(), 0);
            QVERIFY(dialog.renameTarget().isEmpty());
        }
        dialog.setNewNameText("fine.jpg");
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(TueberschrDlg::Rename));
        QCOMPARE(dialog.renameTarget(), dir.filePath("fine.jpg"));
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

    // Every picture type the programs write shows in the overwrite dialog,
    // and the size is given in bytes.
    void overwriteDialogPreviewsEveryPictureType()
    {
        QTemporaryDir dir;
        makePicture(dir.filePath("new.png"), 64, 48);
        const QColor red(200, 30, 40);
        QImage picture(64, 48, QImage::Format_RGB888);
        picture.fill(red);
        TPMultiImage writer;
        writer.setPicture(TBitmap(picture, pf24bit));
        for (const QString ext : {"eps", "wmf", "emf", "ico", "jpg", "tif"}) {
            const QString file = dir.filePath("old." + ext);
            QVERIFY2(SavePictureFile(file, writer, SaveDialogOptions()), qPrintable(ext));
            TueberschrDlg dialog(file, dir.filePath("new.png"));
            const QImage shown = dialog.previewPixmap(true).toImage();
            QVERIFY2(!shown.isNull(), qPrintable(ext));
            const QColor centre = shown.pixelColor(shown.width() / 2, shown.height() / 2);
            // red, whatever a round trip through CMYK (EPS) makes of its shade
            QVERIFY2(centre.red() > 150 && centre.red() > centre.green() + 60 && centre.red() > centre.blue() + 60,
                     qPrintable(ext + ": " + centre.name()));
            const QString size = "  Größe: " + QString::number(QFileInfo(file).size()) + " Byte";
            QVERIFY2(dialog.infoText(true).endsWith(size), qPrintable(ext + ": " + dialog.infoText(true)));
        }
        // a compression the programs do not name is "Unbekannt"
        const QString jpegTiff = QFINDTESTDATA("../data/codec/rose-jpeg.tif");
        QVERIFY(!jpegTiff.isEmpty());
        TueberschrDlg dialog(jpegTiff, dir.filePath("new.png"));
        QVERIFY2(dialog.infoText(true).contains("  Komprimierung: Unbekannt  "), qPrintable(dialog.infoText(true)));
        QVERIFY(!dialog.previewPixmap(true).isNull());
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
        QCOMPARE(asked.last().text, QString("Sind Sie sicher, daß 1 Bild gelöscht werden soll?\n\np0.png"
                                            "\n\nDie Datei wird in den Papierkorb verschoben."));
        QVERIFY(QFile::exists(dir.filePath("p0.png")));

        // whole files go to the Trash, with their annotations
        const QString trashed = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash/files/";
        QVERIFY(!QFile::exists(trashed + "p0.png"));
        const QByteArray picture = readFile(dir.filePath("p0.png"));
        answer = QMessageBox::Yes;
        ops->Delete();
        QVERIFY(!QFile::exists(dir.filePath("p0.png")));
        QVERIFY(!QFile::exists(FileOperations::annotationFile(dir.filePath("p0.png"))));
        QCOMPARE(readFile(trashed + "p0.png"), picture);
        QCOMPARE(readFile(trashed + "p0-png.ant"), QByteArray("notes"));
        QCOMPARE(grid.itemCount(), 3);
        QCOMPARE(scans, 1);

        for (int i = 0; i < 3; ++i)
            grid.SetChecked(i, true);
        answer = QMessageBox::No;
        ops->Delete();
        QCOMPARE(asked.last().caption, QString("Bilder löschen"));
        QCOMPARE(asked.last().text,
                 QString("Sind Sie sicher, daß 3 Bilder gelöscht werden sollen?\n\np1.png\np2.png\np3.png"
                         "\n\nDie Dateien werden in den Papierkorb verschoben."));

        // none marked, one selected: as for one
        for (int i = 0; i < 3; ++i)
            grid.SetChecked(i, false);
        grid.SelectIndex(1);
        ops->Delete();
        QCOMPARE(asked.last().text,
                 "Sind Sie sicher, daß 1 Bild gelöscht werden soll?\n\n" + paths::fileName(grid.item(1).FileName)
                     + "\n\nDie Datei wird in den Papierkorb verschoben.");

        // a file that cannot be deleted keeps its thumbnail
        answer = QMessageBox::Yes;
        fileops::setFaultHook([](fileops::Op op, const QString&) { return op == fileops::Op::Remove; });
        ops->Delete();
        QCOMPARE(grid.itemCount(), 3);
    }

    // The pane lets go of the shown picture when it is moved away, not
    // when it is copied or another picture moves.
    void movingTheShownPictureReleasesThePane()
    {
        QTemporaryDir shown;
        QTemporaryDir target;
        TPicLibThumbnails grid;
        addTwoPictures(grid, shown);
        int releases = 0;
        auto ops = operations(grid, shown.path(), nullptr, &releases);
        TFileCopyMoveDlg::startDelay = 0;
        FolderPicker::setScript([&](const QString&, const QString&) { return target.path(); });
        const int a = grid.item(0).FileName == shown.filePath("a.png") ? 0 : 1;
        const int b = 1 - a;
        grid.SelectIndex(a);
        ops->Copy();
        QCOMPARE(releases, 0);
        QCOMPARE(grid.CurrentSelected, a);
        QVERIFY(QFile::remove(target.filePath("a.png")));

        grid.SetChecked(b, true);
        ops->Move();   // the marked one, not the shown one
        QVERIFY(QFile::exists(target.filePath("b.png")));
        QCOMPARE(releases, 0);
        QCOMPARE(grid.CurrentSelected, a);

        grid.SetChecked(b, false);
        ops->Move();   // nothing marked: the shown one
        QVERIFY(QFile::exists(target.filePath("a.png")));
        QCOMPARE(releases, 1);
        QCOMPARE(grid.CurrentSelected, -1);
    }

    void copyAndMoveWithClashes()
    {
        QTemporaryDir shown;
        QTemporaryDir target;
        TPicLibThumbnails grid;
        addTwoPictures(grid, shown);
        grid.SetChecked(0, true);
        grid.SetChecked(1, true);
        writeFile(target.filePath("a.png"), "existing");
        writeFile(shown.filePath("a-png.ant"), "notes of a");
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
        // the annotation file goes along with its picture's copy
        QCOMPARE(readFile(target.filePath("a_1-png.ant")), QByteArray("notes of a"));
        QVERIFY(!QFile::exists(target.filePath("a-png.ant")));
        QCOMPARE(grid.itemCount(), 2);   // copies elsewhere change nothing in the grid
        QVERIFY(!state_.ScanActive);

        // overwrite is chosen: now the existing file is replaced
        FileOperations::overwriteScript = [](TueberschrDlg&) { return int(TueberschrDlg::Overwrite); };
        grid.SetChecked(1, false);
        ops->Move();
        QCOMPARE(titles.last(), QString("Bilder bewegen"));
        QVERIFY(!QFile::exists(shown.filePath("a.png")));
        QCOMPARE(readFile(target.filePath("a.png")).left(4), QByteArray("\x89PNG"));
        QCOMPARE(readFile(target.filePath("a-png.ant")), QByteArray("notes of a"));
        QVERIFY(!QFile::exists(shown.filePath("a-png.ant")));

        // cancel in the dialog ends the command: the clashing file is
        // neither replaced nor renamed, and the next picture not copied
        FileOperations::overwriteScript = [](TueberschrDlg&) { return int(TueberschrDlg::Cancel); };
        writeFile(target.filePath("b.png"), "the other b");
        makePicture(shown.filePath("d.png"));
        grid.AddFile(shown.filePath("d.png"));
        grid.SetChecked(0, false);
        grid.SetChecked(1, true);
        grid.SetChecked(2, true);
        QCOMPARE(grid.item(2).FileName, shown.filePath("d.png"));
        ops->Copy();
        QCOMPARE(readFile(target.filePath("b.png")), QByteArray("the other b"));
        QVERIFY(!QFile::exists(target.filePath("b_1.png")));
        QVERIFY(!QFile::exists(target.filePath("d.png")));
        grid.SetChecked(2, false);

        // copying into the shown folder adds the thumbnail at once
        QTemporaryDir elsewhere;
        makePicture(elsewhere.filePath("c.png"));
        ops->Drop({elsewhere.filePath("c.png")});
        QCOMPARE(grid.itemCount(), 4);
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
