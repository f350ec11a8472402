// The image toolbar: button states for empty pictures, pictures and TIFF
// pages, the layout arithmetic, the save loop with scripted dialog and
// message boxes, previous/next and TIFF pages through a real grid, the
// action frame and the keyboard.

#include "picturefiles.h"

#include "codec/binding/tbitmap.h"
#include "effects/undoring.h"
#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/ilmultiimagetoolbarbutton.h"
#include "imagecontrol/mmsavedialog.h"
#include "imagecontrol/pmultiimage.h"
#include "imagecontrol/savepicturefile.h"
#include "imagecontrol/toolbarlayout.h"
#include "platform/fileops.h"
#include "platform/messagebox.h"
#include "thumbnails/piclibthumbnails.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QVBoxLayout>
#include <QtTest>

namespace {

using Btns = QList<TILMultiImageToolBarBtn>;

TBitmap bitmapOf(const QImage& image)
{
    return TBitmap(image.convertToFormat(QImage::Format_RGB888), pf24bit);
}

// Writes a TIFF whose pages are pictures of different widths.
QString writeTiff(const QTemporaryDir& dir, const QString& name, int pages)
{
    TPMultiImage writer;
    SaveDialogOptions options;
    options.TIFFAppended = true;
    const QString path = dir.filePath(name);
    for (int i = 0; i < pages; ++i) {
        writer.setPicture(bitmapOf(picturefiles::pattern(30 + 10 * i, 20, i)));
        writer.TiffAppend = true;
        if (!SavePictureFile(path, writer, options))
            return {};
    }
    return path;
}

void show(TPMultiImage& image, const QString& file, int page)
{
    image.setTiffPage(qint16(page));
    image.setImageName(file);
}

// The window the toolbar sits in, over its picture control.
struct Window {
    QWidget parent;
    TPMultiImage* image = new TPMultiImage(&parent);
    TILMultiImageToolBar* bar = new TILMultiImageToolBar(&parent);
    TMMSaveDialog saveDialog;
    TMMOpenDialog openDialog;
    Window()
    {
        image->TransitionPause = [](int) { return true; };
        image->OnIlibError = [](QObject*, qint16, const QString&, const char*) {};
        bar->setMultiImage(image);
        bar->setMMSaveDialog(&saveDialog);
        bar->setMMOpenDialog(&openDialog);
    }
    bool enabled(TILMultiImageToolBarBtn b) const { return bar->button(b)->isEnabled(); }
    bool pressed(TILMultiImageToolBarBtn b) const { return bar->button(b)->isChecked(); }
    Btns enabledButtons() const
    {
        Btns list;
        for (int i = 0; i < kToolBarButtonCount; ++i)
            if (enabled(TILMultiImageToolBarBtn(i)))
                list << TILMultiImageToolBarBtn(i);
        return list;
    }
};

// Message boxes answered by a list of answers; every request is kept.
struct Boxes {
    QList<MessageBox::Request> requests;
    QList<QMessageBox::StandardButton> answers;
    Boxes()
    {
        MessageBox::setScript([this](const MessageBox::Request& r) {
            requests << r;
            return answers.isEmpty() ? QMessageBox::Cancel : answers.takeFirst();
        });
    }
    ~Boxes() { MessageBox::setScript({}); }
};

// The file dialog answered by a list of (file name, filter index); an
// empty name cancels.
struct Dialogs {
    QList<QPair<QString, int>> answers;
    int runs = 0;
    std::function<void(TMMOpenDialog&)> onRun;
    Dialogs()
    {
        TMMOpenDialog::setScript([this](TMMOpenDialog& d) {
            ++runs;
            if (onRun)
                onRun(d);
            if (answers.isEmpty())
                return false;
            const auto [name, filter] = answers.takeFirst();
            if (name.isEmpty())
                return false;
            d.FileName = name;
            d.FilterIndex = filter;
            return true;
        });
    }
    ~Dialogs() { TMMOpenDialog::setScript({}); }
};

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class ToolBarTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ClearUndo();
        QGuiApplication::clipboard()->clear();
    }

    void statesOfAnEmptyAndAShownPicture()
    {
        Window w;
        // nothing shown: open and the scanner buttons; pan is down while
        // the rubber band is off
        QCOMPARE(w.enabledButtons(), (Btns{ibOpen, ibScan, ibSelectScanner}));
        QVERIFY(w.pressed(ibPanZoom));
        QVERIFY(!w.pressed(ibBestFit));

        QTemporaryDir dir;
        const QString file = picturefiles::save(dir, "a.png", picturefiles::pattern(40, 30));
        show(*w.image, file, 0);
        QCOMPARE(w.enabledButtons(), (Btns{ibOpen, ibSave, ibScan, ibSelectScanner, ibPanZoom, ibZoomIn, ibZoomOut,
                                           ibBestFit, ibCenter, ibResetZoom, ibCut, ibCopy, ibInvert, ibRotate90,
                                           ibRotate180}));

        // the dialog buttons need their hooks; effects the control's
        w.bar->PrintDialog = [](TPMultiImage&) {};
        w.bar->ResizeDialog = [](TPMultiImage&) { return false; };
        w.bar->ColorDepthDialog = [](TPMultiImage&, TBitmap&, QString&) { return false; };
        w.bar->LoadAnnotations = [](TPMultiImage&, const QString&, int) { return true; };
        w.image->EffectsDialog = [](TPMultiImage&, GlobalHandle&) { return false; };
        w.bar->RefreshButtons();
        for (auto b : {ibPrint, ibResize, ibChangeColor, ibAnnotEdit, ibEffects})
            QVERIFY2(w.enabled(b), qPrintable(QString::number(b)));

        // fit mode: zoom and pan off, fit down; rubber band releases pan
        w.image->setStretchRatio(true);
        w.image->setCenter(true);
        w.image->AllowRubberBand = true;
        w.image->setEditAnnotat(true);
        w.bar->RefreshButtons();
        for (auto b : {ibZoomIn, ibZoomOut, ibPanZoom})
            QVERIFY(!w.enabled(b));
        QVERIFY(w.pressed(ibBestFit));
        QVERIFY(w.pressed(ibCenter));
        QVERIFY(w.pressed(ibAnnotEdit));
        QVERIFY(!w.pressed(ibPanZoom));

        // a cut leaves two snapshots and a picture on the clipboard
        QVERIFY(w.bar->Click(ibCut));
        QVERIFY(w.image->Picture().empty());
        QVERIFY(w.enabled(ibUndo));
        QVERIFY(w.enabled(ibPaste));
        QVERIFY(!w.enabled(ibSave));
        QVERIFY(w.bar->Click(ibUndo));
        QCOMPARE(w.image->Picture().width(), 40);
        QVERIFY(w.bar->Click(ibUndo));
        QCOMPARE(w.image->Picture().width(), 40);

        // a disabled toolbar, a disabled control or none: all off
        w.bar->setEnabled(false);
        QVERIFY(w.enabledButtons().isEmpty());
        w.bar->setEnabled(true);
        QVERIFY(!w.enabledButtons().isEmpty());
        w.image->setEnabled(false);
        w.bar->RefreshButtons();
        QVERIFY(w.enabledButtons().isEmpty());
        w.image->setEnabled(true);
        w.bar->setMultiImage(nullptr);
        QVERIFY(w.enabledButtons().isEmpty());
        QVERIFY(!w.image->OnButtonUpdate);
        QVERIFY(!w.bar->Click(ibOpen));
    }

    void tiffPageButtonsFollowThePage()
    {
        QTemporaryDir dir;
        const QString three = writeTiff(dir, "three.tif", 3);
        const QString one = writeTiff(dir, "one.tif", 1);
        QVERIFY(!three.isEmpty() && !one.isEmpty());
        Window w;
        const Btns pages{ibFirstpage, ibPriorpage, ibNextpage, ibLastpage};
        auto pageStates = [&] {
            QList<bool> s;
            for (auto b : pages)
                s << w.enabled(b);
            return s;
        };
        auto sorted = [](Btns list) {
            std::sort(list.begin(), list.end());
            return list;
        };
        const Btns always{ibOpen,    ibSave,      ibScan,  ibSelectScanner, ibPanZoom, ibZoomIn,
                          ibZoomOut, ibBestFit,   ibCenter, ibResetZoom,   ibCut,     ibCopy,
                          ibInvert,  ibRotate90, ibRotate180};
        show(*w.image, three, 0);
        QCOMPARE(w.image->imageInfo.pageCount, qint16(3));
        QCOMPARE(pageStates(), (QList<bool>{false, false, true, true}));
        QCOMPARE(w.enabledButtons(), (always + Btns{ibNextpage, ibLastpage}));
        show(*w.image, three, 1);
        QCOMPARE(pageStates(), (QList<bool>{true, true, true, true}));
        show(*w.image, three, 2);
        QCOMPARE(pageStates(), (QList<bool>{true, true, false, false}));
        // the page shown before went to the undo ring
        QCOMPARE(w.enabledButtons(), sorted(always + Btns{ibUndo, ibFirstpage, ibPriorpage}));
        QVERIFY(w.pressed(ibPanZoom));
        for (auto b : {ibBestFit, ibCenter, ibAnnotEdit})
            QVERIFY(!w.pressed(b));
        show(*w.image, one, 0);
        QCOMPARE(pageStates(), (QList<bool>{false, false, false, false}));
        QCOMPARE(w.enabledButtons(), sorted(always + Btns{ibUndo}));

        // without a grid the buttons load the page themselves; next stops
        // at the last page
        QList<QPair<QString, int>> shown;
        w.bar->ShowPicture = [&](const QString& f, int page, TPMultiImage& target) {
            shown << qMakePair(f, page);
            show(target, f, page);
        };
        show(*w.image, three, 0);
        QVERIFY(w.bar->Click(ibLastpage));
        QVERIFY(w.bar->Click(ibPriorpage));
        QVERIFY(w.bar->Click(ibNextpage));
        QVERIFY(!w.bar->Click(ibNextpage));
        QVERIFY(w.bar->Click(ibFirstpage));
        QCOMPARE(shown, (QList<QPair<QString, int>>{{three, 2}, {three, 1}, {three, 2}, {three, 0}}));
        QCOMPARE(w.image->TiffPage(), qint16(0));
        QCOMPARE(w.image->Picture().width(), 30);
    }

    // Changes made outside the toolbar (keys on the control, a metafile or
    // icon the program puts in) reach the buttons at once.
    void statesFollowEveryChangeOfThePicture()
    {
        QTemporaryDir dir;
        const QString three = writeTiff(dir, "three.tif", 3);
        QVERIFY(!three.isEmpty());
        Window w;
        const Btns shown{ibOpen,   ibSave,      ibScan, ibSelectScanner, ibPanZoom, ibZoomIn, ibZoomOut,  ibBestFit,
                         ibCenter, ibResetZoom, ibCut,  ibCopy,          ibPaste,   ibUndo,   ibInvert,   ibRotate90,
                         ibRotate180};
        // a paste into the empty pane
        QGuiApplication::clipboard()->setImage(picturefiles::pattern(50, 40));
        PushUndo(bitmapOf(picturefiles::pattern(10, 10)));
        w.bar->RefreshButtons();
        QCOMPARE(w.enabledButtons(), (Btns{ibOpen, ibScan, ibSelectScanner, ibPaste, ibUndo}));
        QTest::keyClick(w.image, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.image->Picture().width(), 50);
        QCOMPARE(w.enabledButtons(), shown);

        // a cut by key leaves the empty pane's buttons
        QTest::keyClick(w.image, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(w.image->Picture().empty());
        QCOMPARE(w.enabledButtons(), (Btns{ibOpen, ibScan, ibSelectScanner, ibPaste, ibUndo}));
        QTest::keyClick(w.image, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(w.enabledButtons(), shown);

        // a metafile after the middle page of a TIFF: no page buttons
        show(*w.image, three, 1);
        QVERIFY(w.enabled(ibFirstpage) && w.enabled(ibLastpage));
        for (const char* name : {"drawing.wmf", "drawing.emf", "icon.ico"}) {
            show(*w.image, three, 1);
            const QByteArray bytes("put in by the caller");
            w.image->setImageName(picturefiles::writeBytes(dir, QLatin1String(name), bytes));
            w.image->setPicture(bitmapOf(picturefiles::pattern(32, 32)));
            QCOMPARE(w.enabledButtons(), shown);
        }
        QGuiApplication::clipboard()->clear();
    }

    void tiffPagesAndNextMoveTheGridSelection()
    {
        QTemporaryDir dir;
        picturefiles::save(dir, "a.png", picturefiles::pattern(50, 20, 7));
        const QString tiff = writeTiff(dir, "b.tif", 3);
        QVERIFY(!tiff.isEmpty());
        Window w;
        TPicLibThumbnails grid(&w.parent);
        grid.setGeometry(0, 30, 400, 600);
        w.parent.resize(400, 640);
        w.parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.parent));
        QCOMPARE(grid.LoadFolder(dir.path()), 4);
        grid.viewport()->repaint();  // the cells learn their places when drawn
        grid.OnSelectThumb = [&](QObject*, int, int, int, const QString& file, int page) {
            show(*w.image, file, page);
        };
        w.bar->setThumbnails(&grid);

        QCOMPARE(grid.SelectIndex(0), 0);
        QVERIFY(!w.enabled(ibback));
        QVERIFY(w.enabled(ibnext));
        QVERIFY(w.bar->Click(ibnext));
        QCOMPARE(grid.CurrentSelected, 1);
        QCOMPARE(w.image->ImageName(), tiff);
        QCOMPARE(w.image->TiffPage(), qint16(0));

        // the page buttons walk the TIFF's cells of the grid
        QVERIFY(w.bar->Click(ibNextpage));
        QCOMPARE(grid.CurrentSelected, 2);
        QCOMPARE(w.image->TiffPage(), qint16(1));
        QCOMPARE(w.image->Picture().width(), 40);
        QVERIFY(w.bar->Click(ibLastpage));
        QCOMPARE(grid.CurrentSelected, 3);
        QCOMPARE(w.image->TiffPage(), qint16(2));
        QVERIFY(!w.enabled(ibnext));
        QVERIFY(!w.enabled(ibNextpage));
        QVERIFY(w.bar->Click(ibPriorpage));
        QCOMPARE(grid.CurrentSelected, 2);
        QVERIFY(w.bar->Click(ibFirstpage));
        QCOMPARE(grid.CurrentSelected, 1);
        QCOMPARE(w.image->TiffPage(), qint16(0));

        QVERIFY(w.bar->Click(ibback));
        QCOMPARE(grid.CurrentSelected, 0);
        QVERIFY(w.image->ImageName().endsWith("a.png"));
        QVERIFY(!w.bar->Click(ibback));
        QCOMPARE(grid.CurrentSelected, 0);

        // one item is not enough to step
        QTemporaryDir single;
        picturefiles::save(single, "only.png", picturefiles::pattern(20, 20));
        QCOMPARE(grid.LoadFolder(single.path()), 1);
        grid.viewport()->repaint();
        grid.SelectIndex(0);
        w.bar->RefreshButtons();
        QVERIFY(!w.enabled(ibback));
        QVERIFY(!w.enabled(ibnext));
    }

    // In a pane narrower than the strip the buttons wrap into rows: none is
    // narrower than 20 pixels, none lies outside the toolbar or on another;
    // widened again, the strip is one row of its old height.
    void narrowToolbarWrapsItsButtons()
    {
        QWidget parent;
        auto* layout = new QVBoxLayout(&parent);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* bar = new TILMultiImageToolBar(&parent);
        bar->setMinimumHeight(25);
        bar->setMaximumHeight(25);
        layout->addWidget(bar);
        layout->addStretch();
        bar->setAligned(true);
        parent.resize(370, 300);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QTRY_COMPARE(bar->width(), 370);
        QCOMPARE(bar->height(), 50);
        QList<QRect> cells;
        for (int i = 0; i < kToolBarButtonCount; ++i) {
            const TILMultiImageToolBarButton* b = bar->button(TILMultiImageToolBarBtn(i));
            if (!b->isVisible())
                continue;
            const QRect g = b->geometry();
            QVERIFY2(g.width() >= 20, qPrintable(QString::number(g.width())));
            QVERIFY(bar->rect().contains(g));
            for (const QRect& other : cells)
                QVERIFY(!other.intersects(g));
            cells << g;
        }
        QCOMPARE(cells.size(), 28);
        parent.resize(800, 300);
        QTRY_COMPARE(bar->height(), 25);
        for (int i = 0; i < kToolBarButtonCount; ++i)
            if (bar->button(TILMultiImageToolBarBtn(i))->isVisible())
                QCOMPARE(bar->button(TILMultiImageToolBarBtn(i))->geometry().top(), 0);
    }

    void layoutSharesTheWidth()
    {
        // the pure arithmetic first
        ToolBarLayout l = LayoutToolBarButtons(600, 28, true);
        QCOMPARE(l.width, 600);
        QCOMPARE(l.widths.count(22), 12);
        QCOMPARE(l.widths.count(21), 16);
        // spread evenly: every run of 7 buttons holds 3 wide ones
        for (int start = 0; start < 28; start += 7)
            QCOMPARE(l.widths.mid(start, 7).count(22), 3);
        QCOMPARE(l.widths.mid(0, 4), (QList<int>{21, 22, 21, 22}));
        l = LayoutToolBarButtons(600, 28, false);
        QCOMPARE(l.width, 588);
        QCOMPARE(l.widths.count(21), 28);
        QCOMPARE(LayoutToolBarButtons(10, 0, true).widths, (QList<int>{10}));

        // the real strip
        QWidget parent;
        TILMultiImageToolBar bar(&parent);
        parent.resize(700, 100);
        parent.show();
        bar.setAligned(true);
        bar.resize(600, 25);
        int x = 0;
        int wide = 0;
        for (int i = 0; i < kToolBarButtonCount; ++i) {
            const QRect g = bar.button(TILMultiImageToolBarBtn(i))->geometry();
            QCOMPARE(g.left(), x);
            QCOMPARE(g.height(), 25);
            QVERIFY(g.width() == 21 || g.width() == 22);
            wide += g.width() == 22;
            x += g.width();
        }
        QCOMPARE(x, 600);
        QCOMPARE(wide, 12);

        // unaligned: the toolbar is cut to whole buttons
        bar.setAligned(false);
        bar.resize(600, 25);
        QCOMPARE(bar.width(), 588);
        QCOMPARE(bar.button(ibLastpage)->geometry(), QRect(567, 0, 21, 25));

        // hidden buttons take no room and wait past the right edge
        TILMultiImageToolBarBtns some;
        some.set(ibOpen).set(ibSave).set(ibLastpage);
        bar.setVisibleButtons(some);
        QCOMPARE(bar.minimumWidth(), 60);
        bar.resize(100, 25);
        QCOMPARE(bar.width(), 99);
        QCOMPARE(bar.button(ibSave)->geometry(), QRect(33, 0, 33, 25));
        QCOMPARE(bar.button(ibLastpage)->geometry(), QRect(66, 0, 33, 25));
        QVERIFY(bar.button(ibPrint)->x() > bar.width());
        QVERIFY(bar.button(ibPrint)->isHidden());
    }

    void hintsAndGlyphs()
    {
        TILMultiImageToolBar bar;
        QCOMPARE(bar.button(ibOpen)->toolTip(), QString("Open file"));
        QCOMPARE(bar.button(ibLastpage)->toolTip(), QString("Last TIFF Page"));
        const QStringList viewer = TILMultiImageToolBar::ViewerHints();
        QCOMPARE(viewer.size(), kToolBarButtonCount);
        QStringList hints = viewer;
        hints[ibZoomIn] = QString();
        bar.setHints(hints);
        QCOMPARE(bar.button(ibOpen)->toolTip(), QString("Bild öffnen..."));
        QCOMPARE(bar.button(ibnext)->toolTip(), QString("Nächstes Bild anzeigen"));
        QCOMPARE(bar.button(ibZoomIn)->toolTip(), QString("Zoom In"));
        QCOMPARE(bar.button(ibAnnotEdit)->toolTip(), QString("Zum Anmerkung erstellen/bearbeiten umschalten"));
        for (int i = 0; i < kToolBarButtonCount; ++i) {
            const auto* b = bar.button(TILMultiImageToolBarBtn(i));
            QCOMPARE(b->glyph().height(), 18);
            QCOMPARE(b->disabledGlyph().height(), 18);
            QVERIFY(b->glyph().toImage() != b->disabledGlyph().toImage());
        }
        QVERIFY(bar.button(ibBestFit)->isCheckable());
        QVERIFY(!bar.button(ibnext)->isCheckable());
    }

    void screenshotsShowEnabledAndDisabledGlyphs()
    {
        Window w;
        w.bar->setAligned(true);
        w.bar->resize(600, 25);
        w.parent.resize(600, 200);
        w.parent.show();
        const QImage off = w.bar->grab().toImage();
        QTemporaryDir dir;
        show(*w.image, picturefiles::save(dir, "a.png", picturefiles::pattern(40, 30)), 0);
        w.bar->PrintDialog = [](TPMultiImage&) {};
        w.bar->RefreshButtons();
        const QImage on = w.bar->grab().toImage();
        const QString shots = qEnvironmentVariable("KV_TOOLBAR_SHOTS");
        if (!shots.isEmpty()) {
            on.save(shots + "/toolbar-enabled.png");
            off.save(shots + "/toolbar-disabled.png");
        }
        // the open folder is yellow in both; the printer's green lamp shows
        // only while printing is possible
        auto colourful = [](const QImage& img, QRect r) {
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QColor c = img.pixelColor(x, y);
                    n += c.saturation() > 100;
                }
            return n;
        };
        const QRect open = w.bar->button(ibOpen)->geometry();
        const QRect print = w.bar->button(ibPrint)->geometry();
        QVERIFY(colourful(on, open) > 20);
        QVERIFY(colourful(off, open) > 20);
        QVERIFY(colourful(on, print) > 0);
        QCOMPARE(colourful(off, print), 0);
    }

    void saveAsksBeforeOverwriting()
    {
        QTemporaryDir dir;
        const QString shown = picturefiles::save(dir, "shown.png", picturefiles::pattern(40, 30));
        const QString other = picturefiles::save(dir, "x.png", picturefiles::pattern(10, 10));
        picturefiles::writeBytes(dir, "x-png.ant", "annotations");
        const QByteArray before = bytesOf(other);
        Window w;
        std::atomic<bool> scanActive{false};
        w.bar->ScanActive = &scanActive;
        show(*w.image, shown, 0);
        Boxes boxes;
        Dialogs dialogs;
        QList<bool> scanDuringDialog;
        dialogs.onRun = [&](TMMOpenDialog& d) {
            scanDuringDialog << scanActive.load();
            QCOMPARE(d.mode, int(TMMOpenDialog::SaveMode));
        };

        // No asks again, Cancel ends: nothing written
        dialogs.answers = {{other, 5}, {other, 5}};
        boxes.answers = {QMessageBox::No, QMessageBox::Cancel};
        QVERIFY(w.bar->Click(ibSave));
        QCOMPARE(dialogs.runs, 2);
        QCOMPARE(boxes.requests.size(), 2);
        const MessageBox::Request& q = boxes.requests.first();
        QCOMPARE(q.caption, QString("Datei überschreiben"));
        QCOMPARE(q.text, "Die Datei\r\n\"" + other + "\"\r\nbereits vorhanden. Überschreiben?");
        QCOMPARE(q.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(bytesOf(other), before);
        QCOMPARE(scanDuringDialog, (QList<bool>{true, true}));
        QVERIFY(!scanActive);

        // Yes writes the picture and drops the old annotation file
        boxes.requests.clear();
        dialogs.answers = {{other, 5}};
        boxes.answers = {QMessageBox::Yes};
        int after = 0;
        w.bar->AfterAction = [&](QObject*, TILMultiImageToolBarBtn b) { after += b == ibSave; };
        w.bar->Click(ibSave);
        QCOMPARE(boxes.requests.size(), 1);
        QCOMPARE(after, 1);
        QCOMPARE(QImage(other).size(), QSize(40, 30));
        QVERIFY(!QFile::exists(dir.filePath("x-png.ant")));

        // the shown file is overwritten without a question
        boxes.requests.clear();
        w.image->setPicture(bitmapOf(picturefiles::pattern(12, 34)));
        dialogs.answers = {{shown, 5}};
        w.bar->Click(ibSave);
        QVERIFY(boxes.requests.isEmpty());
        QCOMPARE(QImage(shown).size(), QSize(12, 34));

        // a dialog that is cancelled ends the action before any question
        dialogs.runs = 0;
        dialogs.answers = {{QString(), 1}};
        after = 0;
        w.bar->Click(ibSave);
        QCOMPARE(dialogs.runs, 1);
        QCOMPARE(after, 0);
        QVERIFY(boxes.requests.isEmpty());
    }

    // The old picture and its annotation file stay until the new picture is
    // in place: a failed overwrite loses neither.
    void aFailedOverwriteKeepsTheOldFileAndItsAnnotations()
    {
        QTemporaryDir dir;
        const QString shown = picturefiles::save(dir, "shown.png", picturefiles::pattern(40, 30));
        const QString other = picturefiles::save(dir, "x.png", picturefiles::pattern(10, 10));
        const QString annotations = picturefiles::writeBytes(dir, "x-png.ant", "annotations");
        const QByteArray before = bytesOf(other);
        Window w;
        show(*w.image, shown, 0);
        Boxes boxes;
        Dialogs dialogs;
        dialogs.answers = {{other, 5}};
        boxes.answers = {QMessageBox::Yes, QMessageBox::Ok};
        fileops::setFaultHook([&](fileops::Op op, const QString& p) { return op == fileops::Op::Write && p == other; });
        w.bar->Click(ibSave);
        fileops::setFaultHook({});
        QCOMPARE(boxes.requests.size(), 2);
        QCOMPARE(boxes.requests[1].caption, QString("Fehler beim Speichern"));
        QCOMPARE(bytesOf(other), before);
        QCOMPARE(bytesOf(annotations), QByteArray("annotations"));
    }

    void saveGivesTheFilterExtensionAndCopiesTheOptions()
    {
        QTemporaryDir dir;
        Window w;
        TPicLibThumbnails thumbnails(&w.parent);
        w.bar->setThumbnails(&thumbnails);
        show(*w.image, picturefiles::save(dir, "a.png", picturefiles::pattern(40, 30)), 0);
        w.image->setTiffPage(2);
        w.saveDialog.JPEGQualiy = 90;
        w.saveDialog.JPEGSmooth = 7;
        w.saveDialog.PNGInterLaced = true;
        w.saveDialog.TIFFCompres = 4;
        w.saveDialog.Annosave = false;
        w.saveDialog.Annoeinbetten = true;
        Boxes boxes;
        Dialogs dialogs;
        dialogs.answers = {{dir.filePath("bild"), 3}};
        w.bar->Click(ibSave);
        QVERIFY(QFile::exists(dir.filePath("bild.jpg")));
        QVERIFY(!QFile::exists(dir.filePath("bild")));
        QCOMPARE(w.image->JPegSaveQuality(), 90);
        QCOMPARE(w.image->JPegSaveSmooth(), 7);
        QVERIFY(w.image->PNGInterLaced);
        QCOMPARE(w.image->TifSaveCompress, sLZW);
        QVERIFY(!w.image->SaveAnnotationsOnSave);
        QVERIFY(w.image->EmbedAnnotations);
        QCOMPARE(w.saveDialog.TIFFFirfPageValue, 3);  // the shown page plus one
        // the grid takes the saved file
        QCOMPARE(thumbnails.itemCount(), 1);
        QCOMPARE(thumbnails.item(0).FileName, dir.filePath("bild.jpg"));

        // "bild." becomes bild.jpg too
        QFile::remove(dir.filePath("bild.jpg"));
        dialogs.answers = {{dir.filePath("bild."), 3}};
        w.bar->Click(ibSave);
        QVERIFY(QFile::exists(dir.filePath("bild.jpg")));
        QVERIFY(!QFile::exists(dir.filePath("bild.")));
        QVERIFY(boxes.requests.isEmpty());

        // a folder name with a dot does not count as the extension
        QVERIFY(QDir(dir.path()).mkdir("a.b"));
        dialogs.answers = {{dir.filePath("a.b/bild"), 5}};
        w.bar->Click(ibSave);
        QVERIFY(QFile::exists(dir.filePath("a.b/bild.png")));

        // an appended TIFF is no overwrite
        const QString tiff = writeTiff(dir, "t.tif", 1);
        w.saveDialog.TIFFAppended = true;
        dialogs.answers = {{tiff, 6}};
        w.bar->Click(ibSave);
        QVERIFY(boxes.requests.isEmpty());
        QVERIFY(w.image->TiffAppend);
    }

    void saveFailuresAreReported()
    {
        QTemporaryDir dir;
        Window w;
        show(*w.image, picturefiles::save(dir, "a.png", picturefiles::pattern(40, 30)), 0);
        Boxes boxes;
        Dialogs dialogs;
        dialogs.answers = {{dir.filePath("bild.xyz"), 1}};
        int after = 0;
        w.bar->AfterAction = [&](QObject*, TILMultiImageToolBarBtn) { ++after; };
        w.bar->Click(ibSave);
        QCOMPARE(dialogs.runs, 1);
        QCOMPARE(boxes.requests.size(), 1);
        QCOMPARE(boxes.requests[0].icon, QMessageBox::Warning);
        QCOMPARE(boxes.requests[0].caption, QString("Nicht unterstütztes Bildformat"));
        QCOMPARE(boxes.requests[0].text, QString("Das Bildformat \".XYZ\" wird nicht unterstützt."));
        QCOMPARE(after, 0);
        QVERIFY(!QFile::exists(dir.filePath("bild.xyz")));

        // a known format that cannot be written is no unsupported format
        boxes.requests.clear();
        const QString missing = dir.filePath("no/such/folder/bild.jpg");
        dialogs.answers = {{missing, 3}};
        w.bar->Click(ibSave);
        QCOMPARE(boxes.requests.size(), 1);
        QCOMPARE(boxes.requests[0].caption, QString("Fehler beim Speichern"));
        QVERIFY(boxes.requests[0].text.contains(missing));

        // without a save dialog and a handler the toolbar says what it needs
        boxes.requests.clear();
        w.bar->setMMSaveDialog(nullptr);
        w.bar->Click(ibSave);
        QCOMPARE(boxes.requests.size(), 1);
        QCOMPARE(boxes.requests[0].text,
                 QString("Toolbar. Assign either a MMSaveDialog or a BeforeAction event to save a file"));
        w.bar->setMMOpenDialog(nullptr);
        w.bar->Click(ibOpen);
        QCOMPARE(boxes.requests.size(), 2);
        QCOMPARE(boxes.requests[1].text,
                 QString("Toolbar. Assign either a MMOpenDialog or a BeforeAction event to open a file"));
        // with a handler it stays quiet
        w.bar->BeforeAction = [](QObject*, TILMultiImageToolBarBtn, bool&) {};
        w.bar->Click(ibOpen);
        QCOMPARE(boxes.requests.size(), 2);
    }

    void openShowsTheChosenPage()
    {
        QTemporaryDir dir;
        const QString tiff = writeTiff(dir, "t.tif", 3);
        Window w;
        Dialogs dialogs;
        dialogs.onRun = [&](TMMOpenDialog& d) {
            QCOMPARE(d.mode, int(TMMOpenDialog::OpenMode));
            d.TiffSelectedPage = 2;
        };
        dialogs.answers = {{tiff, 6}};
        QList<QPair<QString, int>> shown;
        w.bar->ShowPicture = [&](const QString& f, int page, TPMultiImage& target) {
            QCOMPARE(&target, w.image);
            shown << qMakePair(f, page);
            show(target, f, page);
        };
        QVERIFY(w.bar->Click(ibOpen));
        QCOMPARE(shown, (QList<QPair<QString, int>>{{tiff, 2}}));
        QVERIFY(w.enabled(ibFirstpage));
        QVERIFY(!w.enabled(ibLastpage));
        // cancelled: nothing shown
        w.bar->Click(ibOpen);
        QCOMPARE(shown.size(), 1);
    }

    void beforeActionFramesEveryAction()
    {
        QTemporaryDir dir;
        Window w;
        show(*w.image, picturefiles::save(dir, "a.png", picturefiles::pattern(40, 30)), 0);
        const QImage original = w.image->Picture().image();
        QList<TILMultiImageToolBarBtn> before, after;
        bool process = false;
        w.bar->BeforeAction = [&](QObject* sender, TILMultiImageToolBarBtn b, bool& p) {
            QCOMPARE(sender, w.bar);
            before << b;
            p = process;
        };
        w.bar->AfterAction = [&](QObject*, TILMultiImageToolBarBtn b) { after << b; };
        QVERIFY(w.bar->Click(ibInvert));
        QVERIFY(w.bar->Click(ibBestFit));
        QVERIFY(picturefiles::samePixels(w.image->Picture().image(), original));
        QVERIFY(!w.image->StretchRatio());
        QVERIFY(!w.pressed(ibBestFit));  // the toggle springs back
        QVERIFY(!UndoAvailable());
        QCOMPARE(before, (Btns{ibInvert, ibBestFit}));
        QVERIFY(after.isEmpty());

        process = true;
        QVERIFY(w.bar->Click(ibInvert));
        QVERIFY(!picturefiles::samePixels(w.image->Picture().image(), original));
        QVERIFY(UndoAvailable());
        QVERIFY(w.bar->Click(ibBestFit));
        QVERIFY(w.image->StretchRatio());
        QVERIFY(w.pressed(ibBestFit));
        QVERIFY(w.bar->Click(ibRotate90));
        QCOMPARE(w.image->Picture().width(), 30);
        QCOMPARE(w.image->Picture().height(), 40);
        QVERIFY(w.bar->Click(ibBestFit));
        QVERIFY(!w.image->StretchRatio());
        const double zoom = w.image->ZoomFactor;
        QVERIFY(w.bar->Click(ibZoomIn));
        QVERIFY(qAbs(w.image->ZoomFactor - zoom * 1.1) < 1e-9);
        QVERIFY(w.bar->Click(ibPanZoom));  // released: rubber band
        QVERIFY(w.image->AllowRubberBand);
        QVERIFY(!w.pressed(ibPanZoom));
        QCOMPARE(after, (Btns{ibInvert, ibBestFit, ibRotate90, ibBestFit, ibZoomIn, ibPanZoom}));
    }

    void dialogHooksChangeThePicture()
    {
        QTemporaryDir dir;
        Window w;
        show(*w.image, picturefiles::save(dir, "a.png", picturefiles::pattern(40, 30)), 0);
        w.image->setJPegSaveQuality(80);
        w.bar->ColorDepthDialog = [](TPMultiImage& image, TBitmap& result, QString& depth) {
            result = bitmapOf(picturefiles::pattern(image.Picture().width(), image.Picture().height(), 3));
            result.setPixelFormat(pf8bit);
            depth = QStringLiteral("256 (8 Bit) Graustufen");
            return true;
        };
        w.bar->RefreshButtons();
        QVERIFY(w.bar->Click(ibChangeColor));
        QCOMPARE(w.image->ImageWriteRes, sJpegGray);
        QCOMPARE(w.image->JPegSaveQuality(), 25);
        QCOMPARE(w.image->Picture().pixelFormat(), pf8bit);
        QVERIFY(UndoAvailable());

        // the effects button snapshots before the dialog, even when the
        // control takes none
        ClearUndo();
        w.image->ILUndo = false;
        int effects = 0;
        bool gotPicture = false;
        w.image->EffectsDialog = [&](TPMultiImage&, GlobalHandle& dib) {
            ++effects;
            gotPicture = dib != nullptr;
            return false;
        };
        w.bar->RefreshButtons();
        QVERIFY(w.bar->Click(ibEffects));
        QCOMPARE(effects, 1);
        QVERIFY(gotPicture);
        QVERIFY(UndoAvailable());

        // annotation editing loads the picture's annotation file once
        QStringList loaded;
        w.bar->LoadAnnotations = [&](TPMultiImage&, const QString& file, int page) {
            loaded << file + "#" + QString::number(page);
            return true;
        };
        picturefiles::writeBytes(dir, "a-png.ant", "x");
        w.bar->RefreshButtons();
        QVERIFY(w.bar->Click(ibAnnotEdit));
        QVERIFY(w.image->EditAnnotat());
        QVERIFY(w.pressed(ibAnnotEdit));
        QCOMPARE(loaded, QStringList{dir.filePath("a-png.ant#0")});
        QVERIFY(w.bar->Click(ibAnnotEdit));
        QVERIFY(!w.image->EditAnnotat());
        QCOMPARE(loaded.size(), 1);
    }

    void scanningNeedsAParentWindow()
    {
        TPMultiImage image;
        TILMultiImageToolBar bar;
        bar.setMultiImage(&image);
        QVERIFY(bar.button(ibScan)->isEnabled());
        QStringList errors;
        bar.OnActionError = [&](const QString& message) { errors << message; };
        int after = 0;
        bar.AfterAction = [&](QObject*, TILMultiImageToolBarBtn) { ++after; };
        QVERIFY(bar.Click(ibSelectScanner));
        QTest::mouseClick(bar.button(ibScan), Qt::LeftButton);
        QCOMPARE(errors, QStringList(2, "Parent Window Handle required"));
        QCOMPARE(after, 0);
        // without a handler the message shows in a box
        Boxes boxes;
        bar.OnActionError = nullptr;
        QVERIFY(bar.Click(ibScan));
        QCOMPARE(boxes.requests.size(), 1);
        QCOMPARE(boxes.requests[0].text, QString("Parent Window Handle required"));
    }

    void keyboardMovesTheFocusedButton()
    {
        QTemporaryDir dir;
        Window w;
        w.bar->setAligned(true);
        w.bar->resize(600, 25);
        w.parent.show();
        w.parent.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.parent));
        show(*w.image, picturefiles::save(dir, "a.png", picturefiles::pattern(40, 30)), 0);
        // a mouse press focuses the toolbar and the button
        QTest::mouseClick(w.bar->button(ibCenter), Qt::LeftButton);
        QVERIFY(w.image->Center());
        QCOMPARE(w.bar->focusedButton(), ibCenter);
        QVERIFY(w.bar->hasFocus());
        QVERIFY(w.bar->button(ibCenter)->showsFocus());
        QTest::keyClick(w.bar, Qt::Key_Left);
        QCOMPARE(w.bar->focusedButton(), ibBestFit);
        QVERIFY(!w.bar->button(ibCenter)->showsFocus());
        QVERIFY(w.bar->button(ibBestFit)->showsFocus());
        QTest::keyClick(w.bar, Qt::Key_Space);
        QVERIFY(w.image->StretchRatio());
        QVERIFY(w.pressed(ibBestFit));
        // Space on a disabled button does nothing
        QTest::keyClick(w.bar, Qt::Key_Left);
        QCOMPARE(w.bar->focusedButton(), ibZoomOut);
        const double zoom = w.image->ZoomFactor;
        QTest::keyClick(w.bar, Qt::Key_Space);
        QCOMPARE(w.image->ZoomFactor, zoom);
        // the ends stop the focus
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(w.bar, Qt::Key_Right);
        QCOMPARE(w.bar->focusedButton(), ibLastpage);
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(w.bar, Qt::Key_Left);
        QCOMPARE(w.bar->focusedButton(), ibOpen);
        // hidden buttons are skipped
        TILMultiImageToolBarBtns some;
        some.set(ibOpen).set(ibCopy);
        w.bar->setVisibleButtons(some);
        QTest::keyClick(w.bar, Qt::Key_Right);
        QCOMPARE(w.bar->focusedButton(), ibCopy);
        QTest::keyClick(w.bar, Qt::Key_Space);
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasImage());
    }
};

QTEST_MAIN(ToolBarTest)
#include "tst_toolbar.moc"
