// The viewer finds an editor that shows a picture, and starts one otherwise.
#include "viewer/editorlink.h"

#include "platform/editorchannel.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestEditorLink : public QObject {
    Q_OBJECT

private slots:
    void findsTheEditorShowingThePicture()
    {
        QVERIFY(!qgetenv("XDG_RUNTIME_DIR").isEmpty());
        QTemporaryDir dir;
        const QString picture = dir.filePath("Straße ä.jpg");
        QVERIFY(!EditorLink::raiseEditorShowing(picture));   // no editor yet
        QImage image(64, 48, QImage::Format_RGB32);   // the editor shows only pictures
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(picture, "JPG"));

        QProcess editor;
        editor.start(QCoreApplication::applicationDirPath() + "/tessik", {picture, "0"});
        QVERIFY(editor.waitForStarted());
        const QString socket = editorchannel::socketPath(editor.processId());
        QTRY_VERIFY_WITH_TIMEOUT(editorchannel::socketPaths().contains(socket), 20000);

        QVERIFY(EditorLink::raiseEditorShowing(picture));
        QVERIFY(!EditorLink::raiseEditorShowing(dir.filePath("other.jpg")));
        QVERIFY(!EditorLink::raiseEditorShowing(picture.toUpper()));   // names are case-sensitive
        editor.terminate();
        QVERIFY(editor.waitForFinished(10000));
        QVERIFY(!EditorLink::raiseEditorShowing(picture));
    }
};

QTEST_GUILESS_MAIN(TestEditorLink)
#include "tst_editorlink.moc"
