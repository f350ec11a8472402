// Slide list files: the header, CR LF lines, bad content and safe saving.
#include "viewer/slideshow/slidelistfile.h"

#include "platform/fileops.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

class TestSlideListFile : public QObject {
    Q_OBJECT

private slots:
    void threeEntriesAreFourCrLfLinesAndReadBackTheSame()
    {
        QTemporaryDir dir;
        const QString list = dir.filePath("liste.txt");
        const QStringList entries = {"/bilder/a.jpg", "/bilder/A.jpg", QString::fromUtf8("/bilder/Größe ä.png")};
        QVERIFY(SlideListFile::write(list, entries));
        const QByteArray expected = "Korvane SlaidShow List\r\n/bilder/a.jpg\r\n/bilder/A.jpg\r\n" +
                                    QString::fromUtf8("/bilder/Größe ä.png").toUtf8() + "\r\n";
        QCOMPARE(bytesOf(list), expected);
        QCOMPARE(bytesOf(list).count("\r\n"), 4);

        const SlideListContents back = SlideListFile::read(list);
        QVERIFY(back.headerOk);
        QCOMPARE(back.entries, entries);
        QCOMPARE(back.note(), QString());
        // saved again, the file is byte for byte the same
        QVERIFY(SlideListFile::write(list, back.entries));
        QCOMPARE(bytesOf(list), expected);
        // no temporary file is left beside it
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"liste.txt"}));
    }

    void headerMustMatchExactly()
    {
        QTemporaryDir dir;
        const QString list = dir.filePath("l.txt");
        for (const QByteArray& header : {QByteArray("Korvane SlaidShow List \r\n"), QByteArray("korvane SlaidShow List\r\n"),
                                         QByteArray("\xEF\xBB\xBFKorvane SlaidShow List\r\n"), QByteArray()}) {
            QVERIFY(writeBytes(list, header + "/a/b.png\r\n"));
            const SlideListContents c = SlideListFile::read(list);
            QVERIFY2(!c.headerOk, header.constData());
            QVERIFY(c.entries.isEmpty());
        }
        // LF alone is read too
        QVERIFY(writeBytes(list, "Korvane SlaidShow List\n/a/b.png\n/a/c.png"));
        QCOMPARE(SlideListFile::read(list).entries, QStringList({"/a/b.png", "/a/c.png"}));
        // no file, a folder: empty
        QVERIFY(!SlideListFile::read(dir.filePath("none.txt")).headerOk);
        QVERIFY(!SlideListFile::read(dir.path()).headerOk);
    }

    void damagedLinesAreSkippedAndCounted()
    {
        QTemporaryDir dir;
        const QString list = dir.filePath("l.txt");
        QByteArray bytes = "Korvane SlaidShow List\r\n/a/gut.png\r\n/a/\xFF\xFEschlecht.png\r\n/a/n";
        bytes += '\0';
        bytes += "ul.png\r\n" + QByteArray(SlideListFile::kMaxLineBytes + 1, 'x') + "\r\n/a/auch gut.png\r\n";
        QVERIFY(writeBytes(list, bytes));
        const SlideListContents c = SlideListFile::read(list);
        QVERIFY(c.headerOk);
        QCOMPARE(c.entries, QStringList({"/a/gut.png", "/a/auch gut.png"}));
        QCOMPARE(c.skippedLines, 3);
        QVERIFY(!c.truncated);
        QVERIFY(c.note().startsWith("3 Zeile(n)"));
    }

    void aHugeListLoadsItsBeginning()
    {
        QTemporaryDir dir;
        const QString list = dir.filePath("l.txt");
        QFile f(list);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Korvane SlaidShow List\r\n");
        const QByteArray line = QByteArray("/bilder/") + QByteArray(200, 'b') + ".jpg\r\n";
        const qint64 lines = SlideListFile::kMaxBytes / line.size() + 10;
        for (qint64 i = 0; i < lines; ++i)
            f.write(line);
        f.close();
        const SlideListContents c = SlideListFile::read(list);
        QVERIFY(c.headerOk);
        QVERIFY(c.truncated);
        QVERIFY(c.entries.size() > 1000);
        QVERIFY(c.entries.size() < lines);
        QCOMPARE(c.entries.constLast(), QString::fromLatin1(line.chopped(2)));   // no cut-off line
        QVERIFY(c.note().contains("zu lang"));
    }

    void savingReplacesALinkInsteadOfFollowingIt()
    {
        QTemporaryDir dir;
        const QString other = dir.filePath("fremd.txt");
        QVERIFY(writeBytes(other, "nicht anfassen"));
        const QString list = dir.filePath("liste.txt");
        QVERIFY(QFile::link(other, list));
        QVERIFY(SlideListFile::write(list, {"/a/b.png"}));
        QCOMPARE(bytesOf(other), QByteArray("nicht anfassen"));
        QVERIFY(!QFileInfo(list).isSymLink());
        QCOMPARE(bytesOf(list), QByteArray("Korvane SlaidShow List\r\n/a/b.png\r\n"));
    }

    void aFailedSaveKeepsTheOldList()
    {
        QTemporaryDir dir;
        const QString list = dir.filePath("liste.txt");
        QVERIFY(SlideListFile::write(list, {"/a/alt.png"}));
        const QByteArray before = bytesOf(list);
        for (fileops::Op failing : {fileops::Op::Write, fileops::Op::Rename}) {
            fileops::setFaultHook([failing](fileops::Op op, const QString&) { return op == failing; });
            QVERIFY(!SlideListFile::write(list, {"/a/neu.png", "/a/neu2.png"}));
            fileops::setFaultHook({});
            QCOMPARE(bytesOf(list), before);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"liste.txt"}));
        }
        // a folder in the list's place is not replaced
        QVERIFY(QDir(dir.path()).mkdir("ordner.txt"));
        QVERIFY(!SlideListFile::write(dir.filePath("ordner.txt"), {"/a/b.png"}));
        QVERIFY(QFileInfo(dir.filePath("ordner.txt")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestSlideListFile)
#include "tst_slidelistfile.moc"
