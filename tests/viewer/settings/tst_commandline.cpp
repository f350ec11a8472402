// "glimra FILE" and "glimra FOLDER": the folder is opened and the named
// picture selected; F1 shows the help window, made anew after it was closed.
#include "viewer/glimraapplication.h"
#include "viewer/kvnpictureview.h"
#include "viewer/settings/hlpdlg.h"
#include "viewer/shelltree.h"

#include "platform/settings.h"
#include "thumbnails/piclibthumbnails.h"

#include <QShortcut>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

void makePicture(const QString& path)
{
    QImage img(50, 40, QImage::Format_RGB888);
    img.fill(QColor(30, 160, 90));
    QVERIFY(img.save(path));
}

void waitForScan(TKvnPictureView& w, const QString& folder, int items)
{
    QTRY_VERIFY_WITH_TIMEOUT(w.state().LastScannedFolder == folder && w.thumbnails()->itemCount() == items
                                 && !w.state().ScanThread && !w.state().ScanActive,
                             60000);
}

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void init() { Settings().clear(); }

    void fileOpensItsFolderAndIsSelected()
    {
        QTemporaryDir dir;
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
            makePicture(dir.filePath(name));
        TKvnPictureView w;
        w.start();
        w.show();
        w.OpenFromCommandLine(dir.filePath("b.bmp"));
        waitForScan(w, dir.path(), 3);
        const TPicLibThumbnails* grid = w.thumbnails();
        QVERIFY(grid->CurrentSelected >= 0);
        QCOMPARE(grid->item(grid->CurrentSelected).FileName, dir.filePath("b.bmp"));
        QCOMPARE(w.folderTree()->path(), dir.path());
    }

    void folderIsOpened()
    {
        QTemporaryDir dir;
        makePicture(dir.filePath("x.bmp"));
        TKvnPictureView w;
        w.start();
        w.show();
        w.OpenFromCommandLine(dir.path() + "/");
        waitForScan(w, dir.path(), 1);
        w.OpenFromCommandLine(dir.filePath("fehlt.bmp"));   // nothing there: ignored
        QCOMPARE(w.folderTree()->path(), dir.path());
    }

    void f1ShowsTheHelpWindow()
    {
        TKvnPictureView w;
        w.start();
        w.show();
        bool f1 = false;
        for (const QShortcut* s : w.findChildren<QShortcut*>())
            f1 = f1 || s->key() == QKeySequence(Qt::Key_F1);
        QVERIFY(f1);
        QVERIFY(!w.helpWindow());
        w.ShowHelp();
        auto* help = qobject_cast<THlpDlg*>(w.helpWindow());
        QVERIFY(help && help->isVisible());
        QVERIFY2(help->loadError().isEmpty(), qPrintable(help->loadError()));
        QVERIFY(help->view()->toPlainText().contains("Einstellungen"));
        w.ShowHelp();   // shown again, not made twice
        QCOMPARE(w.helpWindow(), static_cast<QDialog*>(help));
        help->hide();   // hidden counts as closed
        QTRY_VERIFY(!w.helpWindow());
        w.ShowHelp();
        QVERIFY(w.helpWindow() && w.helpWindow()->isVisible());
    }
};

int main(int argc, char** argv)
{
    GlimraApplication app(argc, argv);
    TestCommandLine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_commandline.moc"
