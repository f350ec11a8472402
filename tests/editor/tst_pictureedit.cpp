// The editor window: command line, settings, loading, the selection with
// copy, cut, paste and crop, the toolbar's editor variant, the save
// question, closing, and one editor per file.
#include "editor/commandline.h"
#include "editor/kvnpictureedit.h"
#include "editor/selectionrect.h"

#include "effects/dialog/effectform.h"
#include "effects/dialog/effectsdialog.h"

#include "imagecontrol/clipboardpicture.h"
#include "imagecontrol/ilmultiimagetoolbarbutton.h"
#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/colors.h"
#include "platform/editorchannel.h"
#include "platform/messagebox.h"
#include "platform/settings.h"
#include "viewer/settings/aboutbox3.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

const QString kQuestion = QStringLiteral("Das Bild ist geändert worden. Möchten Sie das Bild speichern?");

// Every pixel tells where it is.
QImage positionPicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 3, y * 3, 77));
    return image;
}

// The pixel at (0, 0) of a picture cut from positionPicture.
QPoint originOf(const QImage& image)
{
    const QRgb c = image.pixel(0, 0);
    return {qRed(c) / 3, qGreen(c) / 3};
}

// Message boxes answer from a list; the texts asked are recorded.
struct Answers {
    QList<QMessageBox::StandardButton> replies;
    QStringList asked;
    void install()
    {
        MessageBox::setScript([this](const MessageBox::Request& r) {
            asked << r.text;
            return replies.isEmpty() ? QMessageBox::Cancel : replies.takeFirst();
        });
    }
};

}  // namespace

class TestPictureEdit : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void commandLine();
    void selectionMapping();
    void settingsAndBounds();
    void loadingAndCaption();
    void metafilesAndIcons();
    void startPlacesTheWindowBeforeATransition();
    void effectsButtonRunsTheDialog();
    void selectionModeAndToolbarVariant();
    void cropAndCutAtSeveralZooms();
    void copyAndPasteUseTheSelection();
    void modifiedMarkAndSaveQuestion();
    void savingUnderANewNameShowsTheNewFile();
    void automaticLoadingShowsTheAnnotationsForEditing();
    void closingAsks();
    void infoMenu();
    void secondEditorOnTheSameFileRaisesTheFirst();

private:
    // Shows the window and drags a selection in control pixels.
    void select(TKvnPictureEdit& w, QPoint from, QPoint to);

    QTemporaryDir dir_;
    QString picture_;
    Answers answers_;
};

void TestPictureEdit::init()
{
    Settings().clear();
    picture_ = dir_.filePath("bild eins.bmp");
    QVERIFY(positionPicture(80, 60).save(picture_, "BMP"));
    answers_ = {};
    answers_.install();
    TMMOpenDialog::setScript([](TMMOpenDialog&) { return false; });
}

void TestPictureEdit::cleanup()
{
    MessageBox::setScript({});
    TMMOpenDialog::setScript({});
    SetEffectsDialogRunner({});
}

void TestPictureEdit::select(TKvnPictureEdit& w, QPoint from, QPoint to)
{
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.pane()->repaint();
    QTest::mousePress(w.pane(), Qt::LeftButton, {}, from);
    QTest::mouseMove(w.pane(), to);
    QTest::mouseRelease(w.pane(), Qt::LeftButton, {}, to);
}

void TestPictureEdit::commandLine()
{
    const auto line = EditorCommandLine::parse({"tessik", " \"/tmp/a b.tif\" ", "2"});
    QCOMPARE(line.path, QStringLiteral(" \"/tmp/a b.tif\" "));   // verbatim
    QCOMPARE(line.page, 2);
    QCOMPARE(EditorCommandLine::parse({"tessik", "x.tif"}).page, 0);
    QCOMPARE(EditorCommandLine::parse({"tessik", "x.tif", "zwei"}).page, 0);
    QCOMPARE(EditorCommandLine::parse({"tessik", "x.tif", "-4"}).page, 0);
    QCOMPARE(EditorCommandLine::parse({"tessik"}).path, QString());
}

void TestPictureEdit::selectionMapping()
{
    SelectionRect s;
    s.start({30, 40});
    s.follow({130, 90});
    const QRect drawn(10, 20, 500, 500);
    QCOMPARE(s.pictureRect(drawn, 0.5, {}, {1000, 1000}), QRect(40, 40, 200, 100));
    QCOMPARE(s.pictureRect(drawn, 0.5, {7, 9}, {1000, 1000}), QRect(47, 49, 200, 100));   // scrolled
    QCOMPARE(s.pictureRect(drawn, 0.5, {}, {100, 1000}), QRect(40, 40, 60, 100));   // cut to the picture
    SelectionRect back;
    back.start({130, 90});
    back.follow({30, 40});
    QCOMPARE(back.pictureRect(drawn, 0.5, {}, {1000, 1000}), QRect(40, 40, 200, 100));
    QVERIFY(s.present(true));
    QVERIFY(!s.present(false));
    s.setHidden(true);
    QVERIFY(!s.present(true));
    SelectionRect thin;
    thin.start({10, 10});
    thin.follow({12, 60});
    QVERIFY(!thin.present(true));   // 2 x 50 is no selection
    thin.follow({400, -50});
    thin.clampInto(QRect(5, 5, 100, 100));
    QCOMPARE(thin.corner(), QPoint(105, 5));
    QCOMPARE(thin.statusText(), QStringLiteral("X: 10  Y: 10  W: 95  H: -5"));
}

void TestPictureEdit::settingsAndBounds()
{
    {
        TKvnPictureEdit w;
        QVERIFY(!w.settings().openAnimate);
        QVERIFY(w.pane()->Center());
        QVERIFY(w.pane()->AllowRubberBand);
        QCOMPARE(w.settings().bounds, QRect(0, 0, 800, 600));
    }
    {
        Settings s;
        s.writeInteger("StartUp", "ef_x", 30);
        s.writeInteger("StartUp", "ef_y", 40);
        s.writeInteger("StartUp", "ef_w", 100);   // too small: ignored
        s.writeInteger("StartUp", "ef_h", 400);
        s.writeBool("StartUp", "EditCenter", false);
        s.sync();
    }
    {
        TKvnPictureEdit w;
        QCOMPARE(w.size(), QSize(662, 507));
        QVERIFY(!w.pane()->Center());
    }
    {
        Settings s;
        s.writeInteger("StartUp", "ef_w", 500);
        s.sync();
    }
    {
        Settings s;
        s.writeBool("StartUp", "open_animate", true);
        s.writeInteger("StartUp", "open_delay", 0);
        s.sync();
    }
    {
        TKvnPictureEdit grows;   // from its design size, step by step
        QCOMPARE(grows.size(), QSize(662, 507));
        grows.moveToSavedBounds();
        QCOMPARE(grows.geometry(), QRect(30, 40, 500, 400));
        Settings s;
        s.writeBool("StartUp", "open_animate", false);
        s.sync();
    }
    TKvnPictureEdit w;
    QCOMPARE(w.geometry(), QRect(30, 40, 500, 400));
    w.pane()->setStretchRatio(true);
    w.resize(520, 410);
    QVERIFY(w.close());
    const Settings after;
    QCOMPARE(after.readInteger("StartUp", "ef_w", 0), 520);
    QCOMPARE(after.readInteger("StartUp", "ef_h", 0), 410);
    QVERIFY(after.readBool("StartUp", "EditStretchRatio", false));
}

void TestPictureEdit::loadingAndCaption()
{
    {
        TKvnPictureEdit empty;
        QCOMPARE(empty.windowTitle(), QStringLiteral("Korvane® Picture Editor"));
    }
    for (const QString& bad : {dir_.filePath("fehlt.bmp"), dir_.path(), QStringLiteral("\x01\x02 garbage")}) {
        TKvnPictureEdit w(bad, 0);
        QCOMPARE(w.windowTitle(), QStringLiteral("Korvane® Picture Editor"));
        QVERIFY(w.pane()->Picture().empty());
    }
    TKvnPictureEdit w(picture_, 0);
    QCOMPARE(w.windowTitle(), "Korvane® Picture Editor - " + picture_);
    QCOMPARE(w.pane()->Picture().image().size(), QSize(80, 60));
    QCOMPARE(w.statusPanel(2)->text(), picture_);
    QVERIFY(w.statusPanel(3)->text().contains("80 x 60"));

    const QString tiff = QStringLiteral("/work/shared/corpus/tiff/derived--multipage-3p-g4-fax-like.tif");
    if (!QFileInfo::exists(tiff))
        QSKIP("no multi-page TIFF in the corpus");
    TKvnPictureEdit third(tiff, 2);
    QCOMPARE(third.pane()->TiffPage(), qint16(2));
    QVERIFY(!third.pane()->Picture().empty());
    QVERIFY(third.toolbar()->button(ibPriorpage)->isEnabled());
    QVERIFY(!third.toolbar()->button(ibNextpage)->isEnabled());
    QVERIFY(third.toolbar()->Click(ibFirstpage));
    QCOMPARE(third.pane()->TiffPage(), qint16(0));
}

void TestPictureEdit::metafilesAndIcons()
{
    // metafiles are rendered by the editor itself, at their own size
    const QString wmf = dir_.filePath("pferd.wmf");
    QVERIFY(QFile::copy(KV_TEST_DATA "/metafile/horse.wmf", wmf));
    TKvnPictureEdit w(wmf, 0);
    QVERIFY(answers_.asked.isEmpty());
    QCOMPARE(w.windowTitle(), "Korvane® Picture Editor - " + wmf);
    QVERIFY(!w.pane()->Picture().empty());
    QCOMPARE(w.pane()->Picture().pixelFormat(), pf24bit);
    QCOMPARE(w.pane()->imageInfo.type, QStringLiteral("Windows Metafile"));
    QVERIFY2(w.statusPanel(3)->text().startsWith("Windows Metafile  "), qPrintable(w.statusPanel(3)->text()));
    QCOMPARE(w.statusPanel(2)->text(), wmf);
    QCOMPARE(w.pane()->DefSaveFilename, wmf);
    QVERIFY(!w.modified());
    const QString emf = dir_.filePath("flugzeug.emf");
    QVERIFY(QFile::copy(KV_TEST_DATA "/metafile/aircraft.emf", emf));
    w.ShowPicture(emf, 0, w.pane());
    QVERIFY(w.statusPanel(3)->text().startsWith("Enhanced Metafile  "));
    QVERIFY(!w.pane()->Picture().empty());

    // an icon: drawn on the control's colour at its first entry's size
    const QString ico = dir_.filePath("symbol.ico");
    QVERIFY(QFile::copy(KV_TEST_DATA "/icon/classic-install.ico", ico));
    QFile icoFile(ico);
    QVERIFY(icoFile.open(QIODevice::ReadOnly));
    const QByteArray head = icoFile.read(8);
    icoFile.close();
    w.ShowPicture(ico, 0, w.pane());
    QCOMPARE(w.pane()->Picture().image().size(), QSize(quint8(head[6]), quint8(head[7])));
    QVERIFY2(w.statusPanel(3)->text().startsWith("ICON  "), qPrintable(w.statusPanel(3)->text()));
    QCOMPARE(w.pane()->imageInfo.pageCount, qint16(1));
    QVERIFY(!w.toolbar()->button(ibNextpage)->isEnabled());

    // a 256-pixel entry (width 0): nothing is shown, the caption still names it
    QByteArray big;
    QVERIFY(icoFile.open(QIODevice::ReadOnly));
    big = icoFile.readAll();
    icoFile.close();
    big[6] = 0;
    const QString large = dir_.filePath("gross.ico");
    QFile out(large);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(big);
    out.close();
    w.ShowPicture(large, 0, w.pane());
    QVERIFY(w.pane()->Picture().empty());
    QCOMPARE(w.windowTitle(), "Korvane® Picture Editor - " + large);
    QVERIFY(answers_.asked.isEmpty());

    // a damaged metafile: the German warning, no crash
    const QString broken = dir_.filePath("kaputt.wmf");
    QFile bad(broken);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("\xD7\xCD\xC6\x9A", 4) + QByteArray(40, '\xFF'));
    bad.close();
    w.ShowPicture(broken, 0, w.pane());
    QVERIFY(w.pane()->Picture().empty());
    QCOMPARE(answers_.asked, QStringList{"Die Datei \"kaputt.wmf\" ist keine unterstützte Bilddatei."});
}

void TestPictureEdit::startPlacesTheWindowBeforeATransition()
{
    {
        Settings s;
        s.writeInteger("StartUp", "ef_x", 30);
        s.writeInteger("StartUp", "ef_y", 40);
        s.writeInteger("StartUp", "ef_w", 700);
        s.writeInteger("StartUp", "ef_h", 450);
        s.writeInteger("FXEffect", "FXMethod", 2);
        s.writeInteger("FXEffect", "Delay", 0);
        s.sync();
    }
    // the transition plays in the visible window at its saved bounds
    TKvnPictureEdit w;
    QVERIFY(!w.isVisible());
    QList<QRect> seen;
    w.pane()->TransitionPause = [&](int) {
        seen << (w.isVisible() ? QRect(w.frameGeometry().topLeft(), w.size()) : QRect());
        return true;
    };
    w.start(picture_, 0);
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.first(), QRect(30, 40, 700, 450));
    QCOMPARE(w.pane()->Picture().image().size(), QSize(80, 60));
    QVERIFY(!w.modified());
    QVERIFY(QFileInfo(w.samplePicturePath()).isFile());   // "beispiel.jpg" is in place
    QCOMPARE(QFileInfo(w.samplePicturePath()).fileName(), QStringLiteral("beispiel.jpg"));
    QVERIFY(!QImage(w.samplePicturePath()).isNull());

    // without a transition the window is placed after the load
    {
        Settings s;
        s.writeInteger("FXEffect", "FXMethod", 0);
        s.sync();
    }
    TKvnPictureEdit plain;
    plain.start(picture_, 0);
    QVERIFY(plain.isVisible());
    // the saved corner is the frame's: the title bar stays on the screen
    QCOMPARE(QRect(plain.frameGeometry().topLeft(), plain.size()), QRect(30, 40, 700, 450));
    QVERIFY(plain.geometry().top() > 40);
    QCOMPARE(plain.windowTitle(), "Korvane® Picture Editor - " + picture_);
}

void TestPictureEdit::effectsButtonRunsTheDialog()
{
    TKvnPictureEdit w(picture_, 0);
    QVERIFY(w.toolbar()->button(ibEffects)->isEnabled());
    int shown = 0;
    SetEffectsDialogRunner([&](TEffectForm& form) {
        ++shown;
        form.show();
        form.WaitForWork();
        if (!form.SetActivePage(QStringLiteral("Invertieren")))
            return int(QDialog::Rejected);
        form.WaitForWork();
        form.Apply();
        form.WaitForWork();
        form.hide();
        return shown == 1 ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    QVERIFY(w.toolbar()->Click(ibEffects));
    QCOMPARE(shown, 1);
    const QImage inverted = w.pane()->Picture().image();
    QCOMPARE(inverted.size(), QSize(80, 60));
    QCOMPARE(QColor(inverted.pixel(5, 7)), QColor(255 - 15, 255 - 21, 255 - 77));
    QVERIFY(w.modified());

    // a dialog closed without OK leaves picture and mark alone
    w.setModified(false);
    QVERIFY(w.toolbar()->Click(ibEffects));
    QCOMPARE(shown, 2);
    QCOMPARE(w.pane()->Picture().image().pixel(5, 7), inverted.pixel(5, 7));
    QVERIFY(!w.modified());
}

void TestPictureEdit::selectionModeAndToolbarVariant()
{
    TKvnPictureEdit none;
    QVERIFY(!none.selectButton()->isEnabled());
    QCOMPARE(none.selectButton()->toolTip(), QStringLiteral("Auswählen..."));

    TKvnPictureEdit w(picture_, 0);
    // ibShowsel is a member of the strip, right after the scanner choice
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.selectButton(), w.toolbar()->button(ibShowsel));
    QVERIFY(w.selectButton()->isVisible());
    // the strip has its height in the window's column, above the picture
    QVERIFY2(w.toolbar()->height() >= 20 && w.selectButton()->height() == w.toolbar()->height(),
             qPrintable(QStringLiteral("strip %1, button %2").arg(w.toolbar()->height()).arg(w.selectButton()->height())));
    QVERIFY(w.pane()->mapTo(&w, QPoint(0, 0)).y() >= w.toolbar()->mapTo(&w, QPoint(0, w.toolbar()->height())).y());
    QCOMPARE(w.selectButton()->x(), w.toolbar()->button(ibSelectScanner)->geometry().right() + 1);
    QCOMPARE(w.toolbar()->button(ibPanZoom)->x(), w.selectButton()->geometry().right() + 1);
    QVERIFY(w.selectButton()->isEnabled());
    QVERIFY(!w.toolbar()->button(ibback)->isEnabled());
    QVERIFY(!w.toolbar()->button(ibnext)->isEnabled());
    QVERIFY(!w.selectionMode());
    QVERIFY(!w.cropAction()->isEnabled());   // the menu belongs to selection mode

    w.selectButton()->click();
    QVERIFY(w.selectionMode());
    QVERIFY(w.selectButton()->isChecked());
    QVERIFY(w.pane()->AllowRubberBand);
    QVERIFY(w.cropAction()->isEnabled());
    QVERIFY(!w.toolbar()->button(ibPanZoom)->isChecked());

    QVERIFY(w.toolbar()->Click(ibPanZoom));   // the grab hand ends selection mode
    QVERIFY(!w.selectionMode());
    QVERIFY(!w.selectButton()->isChecked());
    QVERIFY(!w.pane()->AllowRubberBand);
}

void TestPictureEdit::cropAndCutAtSeveralZooms()
{
    for (const double zoom : {1.0, 2.0, 0.5}) {
        TKvnPictureEdit w(picture_, 0);
        w.setSelectionMode(true);
        w.pane()->ZoomFactor = zoom;
        select(w, {0, 0}, {1, 1});   // paints once so the drawn area is known
        const QRect drawn = w.drawnArea();
        QCOMPARE(drawn.size(), QSize(qRound(80 * zoom), qRound(60 * zoom)));
        const QPoint from = drawn.topLeft() + QPoint(qRound(10 * zoom), qRound(20 * zoom));
        const QPoint to = from + QPoint(qRound(30 * zoom), qRound(16 * zoom));
        select(w, to, from);   // dragged up and left
        QVERIFY(w.selectionPresent());
        QCOMPARE(w.selectedPictureRect(), QRect(10, 20, 30, 16));

        TKvnPictureEdit cut(picture_, 0);
        cut.setSelectionMode(true);
        cut.pane()->ZoomFactor = zoom;
        select(cut, from, to);
        QVERIFY(cut.toolbar()->Click(ibCut));
        const QImage after = cut.pane()->Picture().image();
        QCOMPARE(after.size(), QSize(80, 60));
        const QColor face = colors::toQColor(cut.pane()->Color());
        QCOMPARE(QColor(after.pixel(10, 20)), face);
        QCOMPARE(QColor(after.pixel(39, 35)), face);
        QCOMPARE(originOf(after.copy(40, 20, 1, 1)), QPoint(40, 20));   // outside stays
        QCOMPARE(originOf(after.copy(10, 36, 1, 1)), QPoint(10, 36));
        QVERIFY(cut.modified());
        QCOMPARE(originOf(clipboardpicture::paste().image()), QPoint(10, 20));

        w.cropAction()->trigger();
        QCOMPARE(w.pane()->Picture().image().size(), QSize(30, 16));
        QCOMPARE(originOf(w.pane()->Picture().image()), QPoint(10, 20));
        QVERIFY(w.modified());
        QVERIFY(!w.selectionPresent());
        QVERIFY(w.toolbar()->Click(ibUndo));
        QCOMPARE(w.pane()->Picture().image().size(), QSize(80, 60));
    }
    // scrolled: the view's origin is added
    TKvnPictureEdit scrolled(picture_, 0);
    scrolled.setSelectionMode(true);
    scrolled.pane()->setCenter(false);
    scrolled.pane()->ZoomFactor = 20.0;
    scrolled.pane()->ViewOrigin = QPoint(30, 25);
    select(scrolled, {0, 0}, {1, 1});
    const QPoint at = scrolled.drawnArea().topLeft();
    select(scrolled, at + QPoint(40, 60), at + QPoint(140, 100));
    scrolled.cropToSelection();
    QCOMPARE(scrolled.pane()->Picture().image().size(), QSize(5, 2));
    QCOMPARE(originOf(scrolled.pane()->Picture().image()), QPoint(32, 28));

    // no selection: crop leaves the picture alone
    TKvnPictureEdit whole(picture_, 0);
    whole.setSelectionMode(true);
    whole.cropToSelection();
    QCOMPARE(whole.pane()->Picture().image().size(), QSize(80, 60));
    QVERIFY(!whole.modified());
}

void TestPictureEdit::copyAndPasteUseTheSelection()
{
    TKvnPictureEdit w(picture_, 0);
    w.setSelectionMode(true);
    select(w, {0, 0}, {1, 1});
    const QPoint at = w.drawnArea().topLeft();
    select(w, at + QPoint(5, 6), at + QPoint(7, 50));   // 2 x 44: no selection
    QVERIFY(w.toolbar()->Click(ibCopy));
    QCOMPARE(clipboardpicture::paste().image().size(), QSize(80, 60));
    QVERIFY(!w.modified());

    select(w, at + QPoint(50, 40), at + QPoint(60, 50));
    QVERIFY(w.toolbar()->Click(ibCopy));
    QCOMPARE(clipboardpicture::paste().image().size(), QSize(10, 10));

    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(clipboardpicture::copy(TBitmap(red, pf24bit)));
    select(w, at + QPoint(0, 0), at + QPoint(20, 10));
    QVERIFY(w.toolbar()->Click(ibPaste));
    const QImage after = w.pane()->Picture().image();
    QCOMPARE(after.size(), QSize(80, 60));
    QCOMPARE(QColor(after.pixel(19, 9)), QColor(Qt::red));
    QCOMPARE(originOf(after.copy(21, 11, 1, 1)), QPoint(21, 11));
    QVERIFY(w.modified());
}

void TestPictureEdit::modifiedMarkAndSaveQuestion()
{
    int opened = 0;
    QString savedTo;
    TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
        if (d.mode == TMMOpenDialog::OpenMode) {
            ++opened;
            return false;
        }
        if (savedTo.isEmpty())
            return false;   // the user cancels the save
        d.FileName = savedTo;
        return true;
    });
    TKvnPictureEdit w(picture_, 0);
    QVERIFY(!w.modified());
    for (TILMultiImageToolBarBtn b : {ibInvert, ibRotate90, ibRotate180}) {
        w.setModified(false);
        QVERIFY(w.toolbar()->Click(b));
        QVERIFY2(w.modified(), qPrintable(QString::number(b)));
    }
    w.toolbar()->Click(ibOpen);   // Cancel: the open dialog never comes
    QCOMPARE(answers_.asked, QStringList{kQuestion});
    QCOMPARE(opened, 0);
    answers_.replies = {QMessageBox::Yes};   // the save is cancelled: no open
    w.toolbar()->Click(ibOpen);
    QCOMPARE(opened, 0);
    QVERIFY(w.modified());
    answers_.replies = {QMessageBox::No};
    w.toolbar()->Click(ibOpen);
    QCOMPARE(opened, 1);

    savedTo = dir_.filePath("gespeichert.bmp");
    answers_.replies = {QMessageBox::Yes};
    w.toolbar()->Click(ibOpen);
    QCOMPARE(opened, 2);
    QVERIFY(QFileInfo::exists(savedTo));
    QVERIFY(!w.modified());
    QCOMPARE(answers_.asked.size(), 4);
    w.toolbar()->Click(ibOpen);   // not modified: no question
    QCOMPARE(answers_.asked.size(), 4);

    w.toolbar()->Click(ibInvert);
    w.ShowPicture(picture_, 0, w.pane());   // a new load clears the mark
    QVERIFY(!w.modified());
}

void TestPictureEdit::savingUnderANewNameShowsTheNewFile()
{
    const QString png = dir_.filePath("neu gespeichert.png");
    QFile::remove(png);
    QString target;
    TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
        if (target.isEmpty())
            return false;
        d.FileName = target;
        return true;
    });
    TKvnPictureEdit w(picture_, 0);
    const QString before = w.statusPanel(3)->text();
    QVERIFY(before.startsWith("BMP"));
    w.toolbar()->Click(ibSave);   // cancelled: as it was
    QCOMPARE(w.windowTitle(), TKvnPictureEdit::captionFor(picture_));

    w.toolbar()->Click(ibInvert);
    target = png;
    QVERIFY(w.toolbar()->Click(ibSave));
    QVERIFY(QFileInfo::exists(png));
    QCOMPARE(w.windowTitle(), TKvnPictureEdit::captionFor(png));
    QCOMPARE(w.picturePath(), png);
    QCOMPARE(w.statusPanel(2)->text(), png);
    const QString after = w.statusPanel(3)->text();
    QVERIFY2(after.startsWith("PNG") && after.contains("80 x 60") && after != before, qPrintable(after));
    QVERIFY(!w.modified());
}

void TestPictureEdit::automaticLoadingShowsTheAnnotationsForEditing()
{
    const QString annotations = dir_.filePath("bild eins-bmp.ant");
    QFile::remove(annotations);
    QVERIFY(QFile::copy(QStringLiteral(KV_TEST_DATA "/codec/annotations.ant"), annotations));
    TKvnPictureEdit w(picture_, 0);
    QVERIFY(!w.toolbar()->button(ibAnnotEdit)->isChecked());   // automatic loading is off
    QCOMPARE(w.pane()->AnnotationCount(), 0);

    w.pane()->AutoLoadAnno = true;
    w.ShowPicture(picture_, 0, w.pane());
    QVERIFY(w.pane()->AnnotationCount() > 0);
    QVERIFY(w.toolbar()->button(ibAnnotEdit)->isChecked());
    QVERIFY(w.pane()->EditAnnotat());
    QVERIFY(!w.modified());

    // a picture without an annotation file leaves the button as it is
    const QString other = dir_.filePath("zwei.bmp");
    QVERIFY(positionPicture(40, 30).save(other, "BMP"));
    w.toolbar()->Click(ibAnnotEdit);
    QVERIFY(!w.pane()->EditAnnotat());
    w.ShowPicture(other, 0, w.pane());
    QCOMPARE(w.pane()->AnnotationCount(), 0);
    QVERIFY(!w.toolbar()->button(ibAnnotEdit)->isChecked());
    QFile::remove(annotations);
}

void TestPictureEdit::closingAsks()
{
    TMMOpenDialog::setScript([](TMMOpenDialog&) { return false; });
    TKvnPictureEdit w(picture_, 0);
    w.show();
    QVERIFY(w.close());   // unchanged: no question
    QVERIFY(answers_.asked.isEmpty());

    TKvnPictureEdit changed(picture_, 0);
    changed.show();
    changed.toolbar()->Click(ibInvert);
    QVERIFY(!changed.close());   // Cancel
    QCOMPARE(answers_.asked, QStringList{kQuestion});
    answers_.replies = {QMessageBox::Yes};   // the save dialog is cancelled
    QVERIFY(!changed.close());
    QVERIFY(changed.modified());
    QVERIFY(!changed.statusPanel(1)->text().isEmpty());
    answers_.replies = {QMessageBox::No};
    QVERIFY(changed.close());
    QCOMPARE(originOf(QImage(picture_)), QPoint(0, 0));   // the file is as it was

    // annotations that came since the load are the user's work too
    TKvnPictureEdit annotated(picture_, 0);
    annotated.show();
    QCOMPARE(annotated.pane()->AnnotationCount(), 0);
    const QString loaded = dir_.filePath("geladen.ant");
    QFile::remove(loaded);
    QVERIFY(QFile::copy(QStringLiteral(KV_TEST_DATA "/codec/annotations.ant"), loaded));
    annotated.pane()->LoadAnnotations(0, loaded);
    QVERIFY(annotated.pane()->AnnotationCount() > 0);
    answers_.asked.clear();
    QVERIFY(!annotated.close());   // Cancel
    QCOMPARE(answers_.asked, QStringList{kQuestion});
    answers_.replies = {QMessageBox::No};
    QVERIFY(annotated.close());
}

void TestPictureEdit::infoMenu()
{
    TKvnPictureEdit w;
    w.show();
    QVERIFY(w.infoAction()->isEnabled());
    QCOMPARE(w.infoAction()->text(), QStringLiteral("Info"));
    w.infoAction()->trigger();
    auto* about = w.findChild<TAboutBox3*>();
    QVERIFY(about);
    QVERIFY(about->isVisible());
    about->close();
}

void TestPictureEdit::secondEditorOnTheSameFileRaisesTheFirst()
{
    const QString program = QCoreApplication::applicationDirPath() + "/tessik";
    QProcess first;
    first.start(program, {picture_, "0"});
    QVERIFY(first.waitForStarted());
    const QString socket = editorchannel::socketPath(first.processId());
    QTRY_VERIFY_WITH_TIMEOUT(editorchannel::socketPaths().contains(socket), 20000);
    QProcess second;
    second.start(program, {picture_, "0"});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(first.waitForFinished(10000));
}

QTEST_MAIN(TestPictureEdit)
#include "tst_pictureedit.moc"
