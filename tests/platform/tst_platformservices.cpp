// Memory blocks, paths, file removal, the busy cursor, message boxes and
// the embedded sample picture.
#include "platform/colors.h"
#include "platform/fileops.h"
#include "platform/globalmem.h"
#include "platform/hourglass.h"
#include "platform/jpeggraphic.h"
#include "platform/messagebox.h"
#include "platform/moduleloader.h"
#include "platform/paths.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <stdexcept>

static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

class TestPlatformServices : public QObject {
    Q_OBJECT

private slots:
    void memoryBlocks()
    {
        GlobalHandle h = globalmem::alloc(10);
        QVERIFY(globalmem::isValid(h));
        QCOMPARE(globalmem::size(h), std::size_t(10));
        auto* p = static_cast<unsigned char*>(globalmem::lock(h));
        QVERIFY(p);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(p[i], (unsigned char)0);   // zero-filled
        std::memcpy(p, "abcdefghij", 10);
        QCOMPARE(globalmem::lock(h), static_cast<void*>(p));
        QCOMPARE(globalmem::lockCount(h), 2);
        QVERIFY(globalmem::unlock(h));
        QVERIFY(!globalmem::unlock(h));
        QVERIFY(!globalmem::unlock(h));   // never below zero
        QCOMPARE(globalmem::lockCount(h), 0);

        GlobalHandle bigger = globalmem::realloc(h, 20);
        QVERIFY(bigger);
        QCOMPARE(globalmem::size(bigger), std::size_t(20));
        auto* q = static_cast<unsigned char*>(globalmem::lock(bigger));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(q), 10), QByteArray("abcdefghij"));
        QCOMPARE(q[15], (unsigned char)0);
        globalmem::unlock(bigger);
        QCOMPARE(globalmem::free(bigger), GlobalHandle(nullptr));

        QCOMPARE(globalmem::lock(nullptr), nullptr);
        QCOMPARE(globalmem::size(nullptr), std::size_t(0));
        QCOMPARE(globalmem::alloc(SIZE_MAX), GlobalHandle(nullptr));   // refused, no crash
    }

    void pathHelpers()
    {
        QCOMPARE(paths::withTrailingSeparator("/a/b"), QString("/a/b/"));
        QCOMPARE(paths::withTrailingSeparator("/a/b//"), QString("/a/b/"));
        QCOMPARE(paths::withTrailingSeparator("/"), QString("/"));
        QVERIFY(paths::samePath("/a/./b/../c.jpg", "/a/c.jpg"));
        QVERIFY(!paths::samePath("/a/c.jpg", "/a/C.jpg"));   // case-sensitive names
        QVERIFY(paths::sameFolder("/a/b", "/a/b/"));
        QCOMPARE(paths::extension("/x.y/photo.TIFF"), QString(".TIFF"));
        QCOMPARE(paths::lowerExtension("/x.y/photo.TIFF"), QString(".tiff"));
        QCOMPARE(paths::extension("/x.y/photo"), QString());
        QCOMPARE(paths::fileName("/x.y/photo.jpg"), QString("photo.jpg"));
        QVERIFY(paths::programFolder().endsWith('/'));
    }

    void removingFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("locked.db");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(f.setPermissions(QFileDevice::ReadOwner));
        QVERIFY(fileops::makeArchiveOnly(path));
        QVERIFY(QFile(path).permissions() & QFileDevice::WriteOwner);

        fileops::setFaultHook([](fileops::Op op, const QString&) { return op == fileops::Op::Remove; });
        QVERIFY(!fileops::removeFile(path));
        QVERIFY(QFile::exists(path));
        fileops::setFaultHook({});
        QVERIFY(fileops::removeFile(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(fileops::removeFile(dir.filePath("missing")));   // nothing left to remove
        QVERIFY(fileops::isHidden("/a/.hidden.jpg"));
        QVERIFY(!fileops::isHidden("/a/.b/visible.jpg"));
    }

    void busyCursorIsRestoredOnEveryWayOut()
    {
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        try {
            HourglassCursor busy;
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            throw std::runtime_error("failure inside");
        } catch (const std::runtime_error&) {
        }
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        {
            HourglassCursor outer;
            {
                HourglassCursor inner;
            }
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void messageBoxesAreGermanAndScriptable()
    {
        QCOMPARE(MessageBox::germanButtonText(QMessageBox::Yes), QString("Ja"));
        QCOMPARE(MessageBox::germanButtonText(QMessageBox::No), QString("Nein"));
        QCOMPARE(MessageBox::germanButtonText(QMessageBox::Cancel), QString("Abbrechen"));
        QList<MessageBox::Request> seen;
        MessageBox::setScript([&seen](const MessageBox::Request& r) {
            seen << r;
            return QMessageBox::No;
        });
        QVERIFY(!MessageBox::question(nullptr, "Löschen", "Wirklich?"));
        MessageBox::information(nullptr, "Glimra", "Diese Funktion wird noch geschrieben.");
        MessageBox::setScript({});
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(seen[0].icon, QMessageBox::Question);
        QCOMPARE(seen[1].caption, QString("Glimra"));
    }

    void storedColours()
    {
        QCOMPARE(colors::toQColor(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(colors::toQColor(0x808000), QColor(0, 128, 128));
        QCOMPARE(colors::fromQColor(QColor(0, 128, 128)), qint32(0x808000));
        QVERIFY(colors::isSystemColour(colors::kButtonFace));
        QCOMPARE(colors::toQColor(colors::kButtonFace), QApplication::palette().color(QPalette::Button));
    }

    void samplePictureThroughJpegLibrary()
    {
        initResources();
        QFile res(":/beispiel.jpg");
        QVERIFY(res.open(QIODevice::ReadOnly));
        const QByteArray data = res.readAll();
        JpegGraphic jpeg;
        QVERIFY(jpeg.loadFromData(data));
        QCOMPARE(jpeg.size(), QSize(320, 240));

        QTemporaryDir dir;
        const QString out = dir.filePath("beispiel.jpg");
        QVERIFY(jpeg.saveToFile(out));
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), data);

        JpegGraphic bad;
        QVERIFY(!bad.loadFromData(QByteArray("\xff\xd8\xff\xe0garbage", 11)));
        QVERIFY(!bad.loadFromData(data.left(20)));
        QVERIFY(!bad.loadFromData(QByteArray()));
        QVERIFY(bad.isEmpty());
        QVERIFY(!bad.saveToFile(dir.filePath("empty.jpg")));
        QVERIFY(!QFile::exists(dir.filePath("empty.jpg")));
    }

    void moduleLoading()
    {
        QString error;
        QCOMPARE(ModuleLoader::load("NoSuchModule.so", QString(), &error), nullptr);
        QVERIFY(error.contains("NoSuchModule.so"));
        void* libc = ModuleLoader::load("libc.so.6", QString(), &error);
        QVERIFY(libc);
        QVERIFY(ModuleLoader::symbol(libc, "strlen"));
        QCOMPARE(ModuleLoader::symbol(libc, "no_such_entry_here"), nullptr);
        ModuleLoader::unload(libc);
    }
};

QTEST_MAIN(TestPlatformServices)
#include "tst_platformservices.moc"
