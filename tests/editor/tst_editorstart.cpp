// "Zum Bearbeiten öffnen" across two processes: the viewer starts the editor
// on the selected picture and page, and a second request for the same file
// raises that editor instead of starting another.
#include "viewer/editorlink.h"
#include "viewer/kvnpictureview.h"

#include "platform/editorchannel.h"
#include "platform/messagebox.h"
#include "thumbnails/piclibthumbnails.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

QByteArray readProcFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The editors of this test: processes of our editor program that share the
// test's private runtime folder. A started program is in /proc once the
// start has returned, so the count is exact at any moment.
QList<qint64> editorsOfThisTest()
{
    const QString program = QFileInfo(EditorLink::editorProgram()).canonicalFilePath();
    const QByteArray runtime = "XDG_RUNTIME_DIR=" + qgetenv("XDG_RUNTIME_DIR");
    QList<qint64> found;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || pid == QCoreApplication::applicationPid())
            continue;
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() != program)
            continue;
        if (readProcFile(pid, "environ").split('\0').contains(runtime))
            found << pid;
    }
    return found;
}

bool running(qint64 pid)
{
    const QByteArray stat = readProcFile(pid, "stat");   // a zombie has ended
    return !stat.isEmpty() && !stat.contains(") Z ");
}

}  // namespace

class TestEditorStart : public QObject {
    Q_OBJECT

private slots:
    // editors this test started do not outlive it, also when it fails
    void cleanup()
    {
        for (const qint64 pid : editorsOfThisTest())
            ::kill(pid_t(pid), SIGTERM);
    }

    void viewerOpensThePictureAndPageInTheEditor()
    {
        QVERIFY2(!qgetenv("XDG_RUNTIME_DIR").isEmpty(), "the test needs its own runtime folder");
        QVERIFY(!EditorLink::editorProgram().isEmpty());
        QVERIFY(editorsOfThisTest().isEmpty());
        QTemporaryDir dir;
        const QString tiff = dir.filePath("drei Seiten.tif");
        QVERIFY(QFile::copy(KV_TEST_DATA "/codec/rose-3pages.tif", tiff));
        MessageBox::setScript([](const MessageBox::Request&) { return QMessageBox::Cancel; });

        TKvnPictureView viewer;
        viewer.start();
        viewer.show();
        viewer.OpenFromCommandLine(tiff);
        TPicLibThumbnails* grid = viewer.thumbnails();
        QTRY_VERIFY_WITH_TIMEOUT(viewer.state().LastScannedFolder == dir.path() && grid->itemCount() == 3
                                     && !viewer.state().ScanThread && !viewer.state().ScanActive,
                                 60000);
        QVERIFY(grid->IndexOfFile(tiff, 2) >= 0);   // the third page is selected
        QCOMPARE(grid->item(grid->CurrentSelected).PageIndex, 2);

        // "Zum Bearbeiten öffnen" from the viewer's menu
        auto* open = viewer.findChild<QAction*>("actZumBearbeitenOeffnen");
        QVERIFY(open);
        viewer.UpdateCommandStates();   // as the menu does when it opens
        QVERIFY(open->isEnabled());
        open->trigger();
        QList<qint64> editors = editorsOfThisTest();
        QCOMPARE(editors.size(), 1);
        const qint64 editor = editors.first();
        const QList<QByteArray> arguments = readProcFile(editor, "cmdline").split('\0');
        QVERIFY2(arguments.size() >= 3, readProcFile(editor, "cmdline").constData());
        QCOMPARE(QString::fromUtf8(arguments[1]), tiff);   // the path verbatim, blanks and all
        QCOMPARE(arguments[2], QByteArray("2"));
        // the editor answers for the picture once it shows it
        QTRY_VERIFY_WITH_TIMEOUT(editorchannel::socketPaths().contains(editorchannel::socketPath(editor))
                                     && EditorLink::raiseEditorShowing(tiff),
                                 60000);

        // a second request for the same file raises that editor: no new one
        open->trigger();
        QCOMPARE(editorsOfThisTest(), QList<qint64>{editor});
        QVERIFY(running(editor));

        ::kill(pid_t(editor), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!running(editor), 30000);
        MessageBox::setScript({});
    }
};

QTEST_MAIN(TestEditorStart)
#include "tst_editorstart.moc"
