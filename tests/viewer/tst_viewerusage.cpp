// The viewer's window as a user drives it: keys in the grid and the folder
// box, marking, the folder tree, geometry across restarts, the status bar,
// deleting and the progress of long work.
#include "viewerwindowtesting.h"

#include "viewer/fileoperations.h"
#include "viewer/elidinglabel.h"
#include "viewer/glimraapplication.h"
#include "viewer/timethread.h"
#include "viewer/ueberschrdlg.h"

#include "imagecontrol/pmultiimage.h"
#include "imagecontrol/ilmultiimagetoolbar.h"
#include "platform/messagebox.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace viewertesting;

namespace {

QPoint cellCentre(TPicLibThumbnails* grid, int index)
{
    grid->ScrollIntoView(index);
    const int cols = grid->ColCount();
    return grid->CellRect(index % cols, index / cols).center();
}

void ctrlClick(TPicLibThumbnails* grid, int index)
{
    const QPoint at = cellCentre(grid, index);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
}

int markedCount(TPicLibThumbnails* grid)
{
    int n = 0;
    for (int i = 0; i < grid->itemCount(); ++i)
        n += grid->GetChecked(i) ? 1 : 0;
    return n;
}

void showActive(TKvnPictureView& w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// a.bmp and b.bmp in dir, shown in the started window
void openTwoPictures(TKvnPictureView& w, const QTemporaryDir& dir)
{
    makePicture(dir.filePath("a.bmp"), 40, 30);
    makePicture(dir.filePath("b.bmp"), 50, 30);
    w.start();
    showActive(w);
    openFolder(w, dir.path(), 2);
}

}  // namespace

class TestViewerUsage : public QObject {
    Q_OBJECT

private slots:
    void init() { resetStore(); }
    void cleanup()
    {
        MessageBox::setScript({});
        FileOperations::overwriteScript = nullptr;
    }

    // Esc in the grid clears the marks (and still cancels); marking each page
    // of a TIFF with Ctrl+click marks every page.
    void marksFromTheKeyboardAndTheMouse()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QStringLiteral(KV_TEST_DATA "/codec/rose-3pages.tif"), dir.filePath("pages.tif")));
        makePicture(dir.filePath("z.bmp"), 40, 30);
        TKvnPictureView w;
        w.start();
        showActive(w);
        openFolder(w, dir.path(), 4);
        TPicLibThumbnails* grid = w.thumbnails();
        for (int page = 0; page < 3; ++page)
            ctrlClick(grid, grid->IndexOfFile(dir.filePath("pages.tif"), page));
        settle(w);
        for (int page = 0; page < 3; ++page)
            QVERIFY2(grid->GetChecked(grid->IndexOfFile(dir.filePath("pages.tif"), page)),
                     qPrintable(QString("page %1").arg(page)));
        QCOMPARE(markedCount(grid), 3);
        QVERIFY(w.statusText(1).contains("3 ausgewählt"));

        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(markedCount(grid), 4);
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(markedCount(grid), 0);
        QVERIFY(w.statusText(1).contains("0 ausgewählt"));
    }

    // A path typed into the folder box opens with Enter; anything else
    // leaves the tree where it is.
    void enterOpensATypedFolder()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("typed");
        TKvnPictureView w;
        w.start();
        showActive(w);
        QVERIFY(w.folderTree()->setPath(dir.path()));
        settle(w);
        QLineEdit* edit = w.folderHistory()->lineEdit();
        QVERIFY(edit);
        edit->setFocus();
        edit->setText(dir.filePath("nowhere"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(w.folderTree()->path(), dir.path());
        edit->setText(dir.filePath("typed"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(w.folderTree()->path(), dir.filePath("typed"));
        settle(w);
        QCOMPARE(w.state().CurrentFolder, dir.filePath("typed"));
    }

    // A drop whose every file was skipped changed nothing: the tree takes
    // the next folder choice.
    void treeAcceptsAChoiceAfterAnOperationThatChangedNothing()
    {
        QTemporaryDir dir, other;
        QDir(dir.path()).mkdir("next");
        makePicture(dir.filePath("a.bmp"), 40, 30);
        makePicture(other.filePath("a.bmp"), 50, 30);
        TKvnPictureView w;
        w.start();
        openFolder(w, dir.path(), 1);
        FileOperations::overwriteScript = [](TueberschrDlg&) { return int(TueberschrDlg::Skip); };
        w.fileOperations()->Drop({other.filePath("a.bmp")});
        QCoreApplication::processEvents();
        QVERIFY(w.folderTree()->setPath(dir.filePath("next")));
        QCOMPARE(w.folderTree()->path(), dir.filePath("next"));
    }

    // A folder chosen during a scan, by key or by mouse, stops the scan and
    // is opened once it has stopped.
    void treeChoicesDuringAScan()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("a");
        QDir(dir.path()).mkdir("b");
        for (int i = 0; i < 40; ++i)
            makePicture(dir.filePath(QString("p%1.bmp").arg(i, 2, 10, QChar('0'))), 1500 + i, 1100);
        TKvnPictureView w;
        w.start();
        showActive(w);
        ShellTree* tree = w.folderTree();
        QVERIFY(tree->setPath(dir.path()));
        tree->expand(tree->currentIndex());
        QTRY_VERIFY(tree->model()->rowCount(tree->currentIndex()) == 2);
        QTRY_VERIFY(w.state().ScanThread);
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Down);
        QTRY_VERIFY2_WITH_TIMEOUT(tree->path() != dir.path() && w.state().LastScannedFolder == tree->path()
                                      && !w.state().ScanThread,
                                  qPrintable(tree->path() + " / " + w.state().LastScannedFolder + " / "
                                             + tree->pendingChoice() + " / " + QString::number(bool(w.state().ScanThread))
                                             + QString(" busy %1 active %2 suppressed %3 current %4")
                                                   .arg(w.thumbnails()->Busy)
                                                   .arg(w.state().ScanActive)
                                                   .arg(w.state().NotifySuppressed)
                                                   .arg(w.state().CurrentFolder)),
                                  60000);
        settle(w);
        const QString below = tree->path();   // the first subfolder, in the tree's order
        QVERIFY2(below == dir.filePath("a") || below == dir.filePath("b"), qPrintable(below));
        QCOMPARE(w.state().LastScannedFolder, below);
        QCOMPARE(w.state().CurrentFolder, below);
        QCOMPARE(w.thumbnails()->itemCount(), 0);
        const QString other = below == dir.filePath("a") ? dir.filePath("b") : dir.filePath("a");

        QFile::remove(TTimeThread::databaseFile(dir.path()));   // every picture is made again
        QVERIFY(tree->setPath(dir.path()));
        QTRY_VERIFY(w.state().ScanThread);
        const QModelIndex target = static_cast<QFileSystemModel*>(tree->model())->index(other);
        QVERIFY(w.state().ScanThread);
        // what a click on the folder asks of the tree
        tree->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(tree->pendingChoice(), other);
        waitForScan(w, other, 0);
        QCOMPARE(tree->path(), other);
    }

    // A change in a listed folder never scrolls the tree away from where
    // the user scrolled it.
    // A deep folder named on the command line stays in view while the folders
    // above it arrive and are sorted.
    void deepFolderFromTheCommandLineIsShown()
    {
        QTemporaryDir dir;
        const QString deep = dir.filePath("a/b/c");
        QVERIFY(QDir().mkpath(deep));
        TKvnPictureView w;
        w.start();
        showActive(w);
        w.OpenFromCommandLine(deep);
        ShellTree* tree = w.folderTree();
        QCOMPARE(tree->path(), deep);
        auto* model = tree->model();
        const QModelIndex root = model->index(0, 0, QModelIndex());
        // the top folder's rows have arrived and are sorted
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QStringList names;
                for (int row = 0; row < model->rowCount(root); ++row)
                    names << model->index(row, 0, root).data().toString();
                QStringList sorted = names;
                std::sort(sorted.begin(), sorted.end(),
                          [](const QString& x, const QString& y) { return x.compare(y, Qt::CaseInsensitive) < 0; });
                return names.size() > 3 && names.contains(QDir::tempPath().section('/', 1, 1)) && names == sorted;
            }(),
            20000);
        QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()).center()));
    }

    void treeStaysWhereTheUserScrolledIt()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 60; ++i)
            QDir(dir.path()).mkdir(QString("f%1").arg(i, 2, 10, QChar('0')));
        TKvnPictureView w;
        w.start();
        showActive(w);
        ShellTree* tree = w.folderTree();
        QVERIFY(tree->setPath(dir.filePath("f30")));
        settle(w);
        QTRY_VERIFY(tree->model()->rowCount(tree->currentIndex().parent()) == 60);
        QCoreApplication::processEvents();
        QScrollBar* bar = tree->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        bar->triggerAction(QAbstractSlider::SliderToMinimum);   // as a drag to the top does
        QDir(dir.path()).mkdir("zz-new");
        QDir(dir.filePath("f30")).mkdir("inner");
        QTRY_VERIFY(tree->model()->rowCount(tree->currentIndex().parent()) == 61);
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCOMPARE(bar->value(), 0);
    }

    // The first start shows the whole window, frame included, at the
    // screen's top-left corner; every later start brings it back exactly
    // where and as large as it was.
    void windowComesBackWhereItWas()
    {
        QRect first;
        {
            TKvnPictureView w;
            w.start();
            QTRY_VERIFY(w.isVisible());
            const QRect screen = w.screen()->availableGeometry();
            QCOMPARE(w.frameGeometry().topLeft(), screen.topLeft());
            QVERIFY(screen.contains(w.frameGeometry()) || w.frameGeometry().width() > screen.width());
            w.resize(1000, 700);
            w.move(screen.topLeft() + QPoint(40, 60));
            QCoreApplication::processEvents();
            first = w.frameGeometry();
            QCOMPARE(w.size(), QSize(1000, 700));
            w.close();
        }
        for (int start = 0; start < 4; ++start) {
            TKvnPictureView w;
            w.start();
            QCoreApplication::processEvents();
            QCOMPARE(w.size(), QSize(1000, 700));
            QCOMPARE(w.frameGeometry(), first);
            w.close();
        }
    }

    // A stopped scan puts the bar back and says how far it came; a picture
    // saved into another folder does not join the grid, one saved into the
    // grid's folder does.
    void stoppedScanAndSavesElsewhere()
    {
        QTemporaryDir dir, elsewhere;
        for (int i = 0; i < 40; ++i)
            makePicture(dir.filePath(QString("p%1.bmp").arg(i, 2, 10, QChar('0'))), 1500 + i, 1100);
        TKvnPictureView w;
        w.start();
        TPicLibThumbnails* grid = w.thumbnails();
        auto* bar = w.findChild<QProgressBar*>("ProgressBar1");
        QVERIFY(bar);
        QVERIFY(w.folderTree()->setPath(dir.path()));
        QTRY_VERIFY(w.state().ScanThread && bar->maximum() == 40 && bar->value() > 0);
        action(w, "actAbbrechen")->trigger();
        settle(w);
        QCOMPARE(bar->value(), 0);
        QVERIFY2(w.statusText(3).startsWith("Abgebrochen: ") && w.statusText(3).endsWith(" von 40 Dateien eingelesen"),
                 qPrintable(w.statusText(3)));

        const int items = grid->itemCount();
        makePicture(elsewhere.filePath("saved.bmp"), 30, 20);
        grid->ReplaceFile(elsewhere.filePath("saved.bmp"));
        QCOMPARE(grid->itemCount(), items);
        QCOMPARE(grid->IndexOfFile(elsewhere.filePath("saved.bmp"), 0), -1);
        makePicture(dir.filePath("saved.bmp"), 30, 20);
        grid->ReplaceFile(dir.filePath("saved.bmp"));
        QTRY_COMPARE(grid->itemCount(), items + 1);
    }

    // Entf while the picture has the focus deletes the grid's selected
    // picture, after the question; the file goes to the Trash.
    void deleteKeyOnThePicture()
    {
        QTemporaryDir dir;
        TKvnPictureView w;
        openTwoPictures(w, dir);
        TPicLibThumbnails* grid = w.thumbnails();
        grid->SelectIndex(grid->IndexOfFile(dir.filePath("b.bmp"), 0));
        QCOMPARE(w.pane()->ImageName(), dir.filePath("b.bmp"));
        QList<MessageBox::Request> asked;
        MessageBox::setScript([&](const MessageBox::Request& r) {
            asked << r;
            return QMessageBox::Yes;
        });
        w.pane()->setFocus();
        QTest::keyClick(w.pane(), Qt::Key_Delete);
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].text.contains("b.bmp") && asked[0].text.endsWith("in den Papierkorb verschoben."),
                 qPrintable(asked[0].text));
        QVERIFY(!QFile::exists(dir.filePath("b.bmp")));
        QVERIFY(QFile::exists(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                              + "/Trash/files/b.bmp"));
        QVERIFY(QFile::exists(dir.filePath("a.bmp")));
        // the status bar no longer names the deleted picture
        QCOMPARE(w.statusText(2), QString());
        QCOMPARE(w.statusText(3), QString());
    }

    // A paste replaces the shown file's path and information with the pasted
    // picture's own; a cut empties both.
    void statusBarAfterPasteAndCut()
    {
        QTemporaryDir dir;
        TKvnPictureView w;
        openTwoPictures(w, dir);
        TPicLibThumbnails* grid = w.thumbnails();
        grid->SelectIndex(grid->IndexOfFile(dir.filePath("a.bmp"), 0));
        QCOMPARE(w.statusText(2), dir.filePath("a.bmp"));
        QImage pasted(80, 60, QImage::Format_RGB888);
        pasted.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(pasted);
        QVERIFY(w.toolbar()->Click(ibPaste));
        QCOMPARE(w.pane()->Picture().width(), 80);
        QCOMPARE(w.statusText(2), QString());
        QVERIFY2(w.statusText(3).startsWith("Zwischenablage  80 x 60   24   1   24 Bit Farben"),
                 qPrintable(w.statusText(3)));
        MessageBox::setScript([](const MessageBox::Request&) { return QMessageBox::No; });   // not saved
        grid->SelectIndex(grid->IndexOfFile(dir.filePath("b.bmp"), 0));
        QCOMPARE(w.statusText(2), dir.filePath("b.bmp"));
        QVERIFY(w.toolbar()->Click(ibCut));
        QVERIFY(w.pane()->Picture().empty());
        QCOMPARE(w.statusText(2), QString());
        QCOMPARE(w.statusText(3), QString());
    }

    // A folder of more pictures than the grid shows has its scroll bar from
    // the start, without a resize.
    void gridScrollBarFromTheStart()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 60; ++i)
            makePicture(dir.filePath(QString("p%1.bmp").arg(i, 2, 10, QChar('0'))), 20 + i, 20);
        TKvnPictureView w;
        w.start();
        showActive(w);
        openFolder(w, dir.path(), 60);
        TPicLibThumbnails* grid = w.thumbnails();
        QVERIFY(grid->RowCount() > grid->VisibleRowCount());
        QVERIFY(grid->verticalScrollBar()->maximum() > 0);
        QTRY_VERIFY(grid->verticalScrollBar()->isVisible());

        // items that arrive in a grid already shown
        TPicLibThumbnails shown;
        shown.resize(400, 260);
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        QCOMPARE(shown.verticalScrollBar()->maximum(), 0);
        QTRY_VERIFY(!shown.verticalScrollBar()->isVisible());
        for (int i = 0; i < 60; ++i)
            shown.AddFile(dir.filePath(QString("p%1.bmp").arg(i, 2, 10, QChar('0'))));
        QCoreApplication::processEvents();
        QVERIFY(shown.verticalScrollBar()->maximum() > 0);
        QVERIFY(shown.verticalScrollBar()->isVisible());
    }

    // A status text too long for its panel ends in "…"; the panel keeps the
    // whole text; a text that fits is drawn whole.
    void longStatusTextsAreCut()
    {
        TKvnPictureView w;
        w.start();
        w.resize(700, 500);
        showActive(w);
        const QString longText = QString("Die Datei \"") + QString(300, QChar('x')) + "\" konnte nicht gelesen werden.";
        w.showStatusMessage(longText);
        QCoreApplication::processEvents();
        auto* panel = w.findChild<ElidingLabel*>();
        QVERIFY(panel);
        ElidingLabel* shown = nullptr;
        for (ElidingLabel* l : w.findChildren<ElidingLabel*>())
            if (l->text() == longText)
                shown = l;
        QVERIFY(shown);
        QCOMPARE(w.statusText(3), longText);
        QVERIFY(shown->isElided());
        QVERIFY(shown->displayedText().endsWith(QChar(0x2026)));
        QVERIFY(shown->width() < w.width());
        QVERIFY(w.minimumSizeHint().width() < 700);
        w.showStatusMessage("kurz");
        QVERIFY(!shown->isElided());
        QCOMPARE(shown->displayedText(), QString("kurz"));
    }
};

int main(int argc, char** argv)
{
    GlimraApplication app(argc, argv);
    TestViewerUsage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_viewerusage.moc"
