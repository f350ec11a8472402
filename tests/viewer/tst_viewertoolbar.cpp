// The image toolbar in the viewer: bound to the pane, the dialogs and the
// grid; the window's keys and the wheel over the pane click its buttons.
#include "viewer/glimraapplication.h"
#include "viewer/kvnpictureview.h"
#include "viewer/shelltree.h"

#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/ilmultiimagetoolbarbutton.h"
#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/pmultiimage.h"
#include "thumbnails/piclibthumbnails.h"
#include "platform/messagebox.h"
#include "platform/scannerpicker.h"
#include "sanetestdevice.h"

#include <QTemporaryDir>
#include <QWheelEvent>
#include <QSplitter>
#include <QtTest>

class TestViewerToolbar : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QStringList files_;

    // three pictures of different widths, in the grid, the first one shown
    void fill(TKvnPictureView& w)
    {
        TPicLibThumbnails* grid = w.thumbnails();
        for (const QString& f : files_)
            grid->AddFile(f);
        QCOMPARE(grid->itemCount(), 3);
        grid->SelectIndex(0);
        QCOMPARE(w.pane()->Picture().width(), 30);
    }

    static void wheel(QWidget* target, int delta)
    {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

private slots:
    void initTestCase()
    {
        for (int i = 0; i < 3; ++i) {
            QImage img(30 + 10 * i, 20, QImage::Format_RGB888);
            img.fill(QColor(40 * i, 100, 200));
            files_ << dir_.filePath(QString("p%1.png").arg(i));
            QVERIFY(img.save(files_.last()));
        }
    }

    void cleanup()
    {
        TMMOpenDialog::setScript({});
    }

    void mountedAboveThePaneWithTheViewerHints()
    {
        TKvnPictureView w;
        w.start();
        TILMultiImageToolBar* bar = w.toolbar();
        QCOMPARE(bar->MultiImage(), w.pane());
        QCOMPARE(bar->Thumbnails(), w.thumbnails());
        QCOMPARE(static_cast<TMMOpenDialog*>(bar->MMSaveDialog()), static_cast<TMMOpenDialog*>(w.saveDialog()));
        QCOMPARE(bar->button(ibOpen)->toolTip(), QString("Bild öffnen..."));
        QCOMPARE(bar->button(ibZoomIn)->toolTip(), QString("Zoom +++"));
        w.resize(1300, 600);
        w.leftRightSplitter()->setSizes({400, 900});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(bar->geometry().bottom() < w.pane()->geometry().top());
        QCOMPARE(bar->height(), 25);   // one row where the pane is wide enough
        // with a picture shown the picture buttons come on
        QVERIFY(!bar->button(ibInvert)->isEnabled());
        fill(w);
        QVERIFY(bar->button(ibInvert)->isEnabled());
        QVERIFY(bar->button(ibnext)->isEnabled());
        QVERIFY(!bar->button(ibback)->isEnabled());
    }

    void arrowKeysAndTheWheelStepThroughTheGrid()
    {
        TKvnPictureView w;
        w.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        fill(w);
        TPicLibThumbnails* grid = w.thumbnails();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(grid->CurrentSelected, 1);
        QCOMPARE(w.pane()->Picture().width(), 40);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->CurrentSelected, 2);
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(grid->CurrentSelected, 1);

        wheel(w.pane(), -120);   // down: next
        QCOMPARE(grid->CurrentSelected, 2);
        QCOMPARE(w.pane()->Picture().width(), 50);
        wheel(w.pane(), -120);   // no next at the end
        QCOMPARE(grid->CurrentSelected, 2);
        wheel(w.pane(), 120);
        QCOMPARE(grid->CurrentSelected, 1);

        // the folder tree keeps its arrows
        w.folderTree()->setFocus();
        QTest::keyClick(w.folderTree(), Qt::Key_Left);
        QCOMPARE(grid->CurrentSelected, 1);
    }

    void functionKeysOpenTheDialogsUnlessAScanRuns()
    {
        TKvnPictureView w;
        w.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        fill(w);
        int opened = 0, saved = 0;
        TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
            (d.mode == TMMOpenDialog::SaveMode ? saved : opened)++;
            if (d.mode == TMMOpenDialog::SaveMode)
                return false;
            d.FileName = files_[2];
            return true;
        });
        w.state().ScanActive = true;
        QTest::keyClick(w.thumbnails(), Qt::Key_F3);
        QCOMPARE(opened, 0);
        w.state().ScanActive = false;
        QString startedIn;
        TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
            (d.mode == TMMOpenDialog::SaveMode ? saved : opened)++;
            startedIn = d.InitialDir;
            if (d.mode == TMMOpenDialog::SaveMode)
                return false;
            d.FileName = files_[2];
            return true;
        });
        QVERIFY(w.folderTree()->setPath(dir_.path()));
        QTest::keyClick(w.thumbnails(), Qt::Key_F3);
        QCOMPARE(opened, 1);
        QCOMPARE(startedIn, w.folderTree()->path());
        QCOMPARE(w.pane()->ImageName(), files_[2]);
        QCOMPARE(w.pane()->Picture().width(), 50);
        // the load let the folder's scan start; F2 waits for its end
        QTRY_VERIFY_WITH_TIMEOUT(!w.state().ScanActive && !w.state().ScanThread, 30000);
        QTest::keyClick(w.pane(), Qt::Key_F2);
        QCOMPARE(saved, 1);
        // the save dialog follows the shown picture
        QCOMPARE(w.saveDialog()->FileName, files_[2]);
        QCOMPARE(w.saveDialog()->FilterIndex, 5);
    }

    void scanAndScannerChoiceThroughTheToolbar()
    {
        SaneTestDevice device;
        SaneTestDevice::Options grid;
        grid.picture = QStringLiteral("Grid");
        QVERIFY(device.configure(grid));
        TKvnPictureView w;
        w.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        fill(w);
        QStringList offered;
        ScannerPicker::setScript([&](const QStringList& scanners) {
            offered = scanners;
            return 1;
        });
        QVERIFY(w.toolbar()->Click(ibSelectScanner));
        ScannerPicker::setScript({});
        QCOMPARE(offered.size(), 2);

        w.saveDialog()->FilterIndex = 5;
        QVERIFY(w.toolbar()->Click(ibScan));
        // 40 x 30 mm at 50 dpi in place of the picture, no grid item chosen
        QCOMPARE(w.pane()->Picture().width(), 78);
        QCOMPARE(w.pane()->Picture().height(), 59);
        QCOMPARE(w.thumbnails()->CurrentSelected, -1);
        QCOMPARE(w.saveDialog()->FilterIndex, 1);
        QVERIFY(w.toolbar()->button(ibSave)->isEnabled());
        // the picture shown before the scan comes back with undo
        QVERIFY(w.toolbar()->Click(ibUndo));
        QCOMPARE(w.pane()->Picture().width(), 30);

        // without a scanner the grid's item is chosen again
        SaneTestDevice::Options none;
        none.devices = 0;
        QVERIFY(device.configure(none));
        // the picture is changed (scanned, then undone): "Nein" to saving it;
        // then the failed scan says so
        QList<MessageBox::Request> scanTold;
        MessageBox::setScript([&](const MessageBox::Request& r) {
            scanTold << r;
            return QMessageBox::No;
        });
        w.thumbnails()->SelectIndex(1);
        QVERIFY(w.toolbar()->Click(ibScan));
        MessageBox::setScript({});
        QCOMPARE(w.thumbnails()->CurrentSelected, 1);
        QCOMPARE(scanTold.size(), 2);
        QCOMPARE(scanTold[1].caption, QString("Bild scannen"));
        QCOMPARE(scanTold[1].text, QString("Es wurde kein Bild eingelesen."));

        // and choosing a scanner says that there is none instead of doing nothing
        QList<MessageBox::Request> told;
        MessageBox::setScript([&](const MessageBox::Request& r) {
            told << r;
            return QMessageBox::Ok;
        });
        QVERIFY(w.toolbar()->Click(ibSelectScanner));
        MessageBox::setScript({});
        QCOMPARE(told.size(), 1);
        QCOMPARE(told[0].caption, QString("Scanner auswählen"));
        QCOMPARE(told[0].text, QString("Es wurde kein Scanner gefunden."));
        QCOMPARE(told[0].icon, QMessageBox::Information);
    }

    void keypadKeysZoom()
    {
        TKvnPictureView w;
        w.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        fill(w);
        w.pane()->setStretchRatio(false);
        w.toolbar()->RefreshButtons();
        const double before = w.pane()->ZoomFactor;
        QVERIFY(w.HandleToolbarKeys(Qt::Key_Plus, Qt::KeypadModifier));
        QVERIFY(w.pane()->ZoomFactor > before);
        QVERIFY(!w.HandleToolbarKeys(Qt::Key_Plus, Qt::NoModifier));   // the main keyboard's + is no zoom
        QVERIFY(w.HandleToolbarKeys(Qt::Key_Asterisk, Qt::KeypadModifier));
        QCOMPARE(w.pane()->ZoomFactor, 1.0);
    }
};

int main(int argc, char** argv)
{
    GlimraApplication app(argc, argv);
    TestViewerToolbar test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_viewertoolbar.moc"
