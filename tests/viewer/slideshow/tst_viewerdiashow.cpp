// The viewer's ways into the slide show.
#include "viewer/kvnpictureview.h"
#include "viewer/slideshow/diashowdlg.h"

#include "imagecontrol/pmultiimage.h"
#include "thumbnails/piclibthumbnails.h"

#include <QAction>
#include <QtTest>

class TestViewerDiashow : public QObject {
    Q_OBJECT

private slots:
    void commandsOpenTheShow()
    {
        TKvnPictureView w;
        w.start();
        auto* starten = w.findChild<QAction*>("actDiashowStarten");
        auto* eigenschaften = w.findChild<QAction*>("actDiashowEigenschaften");
        auto* kontext = w.findChild<QAction*>("actDiashowKontext");
        QVERIFY(starten && eigenschaften && kontext);
        QVERIFY(starten->isEnabled());
        QVERIFY(eigenschaften->isEnabled());
        QVERIFY(kontext->isEnabled());

        starten->trigger();
        QPointer<QDialog> show = w.slideShow();
        QVERIFY(qobject_cast<TDiashowDlg*>(show.data()));
        QVERIFY(show->isVisible());
        QVERIFY(show->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(show->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(show->cursor().shape(), Qt::BlankCursor);
        // a second start closes the first show
        kontext->trigger();
        QTRY_VERIFY(show.isNull());
        QVERIFY(w.slideShow());
        QTest::keyClick(static_cast<TDiashowDlg*>(w.slideShow())->imageControl(), Qt::Key_Escape);
        QTRY_VERIFY(!w.slideShow());

        // a double click on an empty grid opens nothing
        w.thumbnails()->OnThumbDblClick(0, 0, 0, QString(), 0);
        QVERIFY(!w.slideShow());
    }
};

QTEST_MAIN(TestViewerDiashow)
#include "tst_viewerdiashow.moc"
