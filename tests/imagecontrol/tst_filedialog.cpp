// The open and save dialogs driven through their script: TIFF page preview
// and browsing, the file type and the name box, the preview button, the
// save options and what they make SavePictureFile write.

#include "picturefiles.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/tbitmap.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "dibcore/dibguard.h"
#include "effects/undoring.h"
#include "imagecontrol/mediapreview.h"
#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/mmsavedialog.h"
#include "imagecontrol/pmultiimage.h"
#include "imagecontrol/previewpanel.h"
#include "imagecontrol/saveoptionspanel.h"
#include "imagecontrol/savepicturefile.h"
#include "imagecontrol/tiffpageview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtEndian>
#include <QtTest>

namespace {

TBitmap bitmapOf(const QImage& image)
{
    return TBitmap(image.convertToFormat(QImage::Format_RGB888), pf24bit);
}

// Width of page i of the test TIFFs: every page has its own size.
int pageWidth(int page)
{
    return 40 + 10 * page;
}

bool writeTiff(const QString& path, int pages)
{
    for (int i = 0; i < pages; ++i) {
        const TBitmap bitmap = bitmapOf(picturefiles::pattern(pageWidth(i), 30, i));
        dibcore::DibGuard dib(GraphicToDIB(&bitmap));
        if (!dib.get() || !WriteTiffFileDib(path, dib.get(), 24, 1, i > 0))
            return false;
    }
    return true;
}

QString tiffinfoCompression(const QString& path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("tiffinfo"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    p.start(tool, {path});
    p.waitForFinished(10000);
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    const qsizetype at = out.indexOf(QStringLiteral("Compression Scheme:"));
    if (at < 0)
        return {};
    return out.mid(at).section(QLatin1Char('\n'), 0, 0).section(QLatin1Char(':'), 1).trimmed();
}

// A PCM wave file of a short silence.
QByteArray silentWave()
{
    const int samples = 800;
    QByteArray bytes;
    auto put32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    };
    auto put16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
    };
    bytes.append("RIFF");
    put32(36 + samples * 2);
    bytes.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(8000);
    put32(16000);
    put16(2);
    put16(16);
    bytes.append("data");
    put32(samples * 2);
    bytes.append(QByteArray(samples * 2, '\0'));
    return bytes;
}

QLineEdit* nameBox(TMMOpenDialog& d)
{
    return d.fileDialog()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

QComboBox* typeList(TMMOpenDialog& d)
{
    return d.fileDialog()->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
}

// Runs the dialog with body as the user; true when the body ran, passed,
// and the dialog then reported the confirmation.
template <class Dialog, class Body>
bool runWith(Dialog& dialog, Body body)
{
    bool ran = false;
    TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
        ran = true;
        body(d);
        return !QTest::currentTestFailed();
    });
    const bool result = dialog.Execute();
    TMMOpenDialog::setScript({});
    return ran && result && !QTest::currentTestFailed();
}

}  // namespace

class FileDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void filterLists();
    void tiffPreviewClampsThePageAndBrowses();
    void singlePageTiffDisablesThePageButtons();
    void chosenTypeGivesTheNameItsExtension();
    void ownFilterListGivesItsOwnExtensions();
    void overwriteIsLeftToTheCaller();
    void releasedPreviewButtonLoadsNothing();
    void picturePreviewAndFailures();
    void metafilesShrinkToTheView();
    void selectionDuringALoadShowsTheLastFile();
    void jpegBoxesAndBars();
    void showingResetsOutOfRangeValues();
    void optionsFollowTypeAndMode();
    void saveOptionsReachTheWrittenFile();
    void mediaPreview();
    void clickingAFileInTheListPreviewsIt();
    void layoutKeepsEveryCaptionWhole();

private:
    QString path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    QString tiff3_;
    QString tiff1_;
    QString png_;
};

void FileDialogTest::initTestCase()
{
    QVERIFY(dir_.isValid());
    tiff3_ = path(QStringLiteral("three.tif"));
    tiff1_ = path(QStringLiteral("one.tiff"));
    // an encoder that fails is a fault, never a reason to skip
    QVERIFY2(writeTiff(tiff3_, 3) && writeTiff(tiff1_, 1), "the codec engine writes no TIFF");
    TiffPageInfo info;
    QVERIFY(ReadTiffPageInfo(tiff3_, 0, info));
    QCOMPARE(info.pages, 3);
    png_ = picturefiles::save(dir_, QStringLiteral("pattern.png"), picturefiles::pattern(64, 48, 3));
    QVERIFY(!png_.isEmpty());
}

void FileDialogTest::filterLists()
{
    const QStringList filters = TMMOpenDialog::pictureFilters();
    QCOMPARE(filters.size(), 15);
    QVERIFY(filters.last().startsWith(QStringLiteral("Alle unterstützten Formate")));
    for (int i = 1; i <= 14; ++i) {
        const QString ext = TMMOpenDialog::extensionForFilterIndex(i);
        QVERIFY2(filters.at(i - 1).contains(QLatin1Char('*') + ext + QLatin1Char(')')), qPrintable(filters.at(i - 1)));
        QVERIFY(filters.last().contains(QLatin1Char('*') + ext));
    }
    QCOMPARE(TMMOpenDialog::extensionForFilterIndex(6), QStringLiteral(".tif"));
    QCOMPARE(TMMOpenDialog::extensionForFilterIndex(9), QStringLiteral(".jpeg"));
    QCOMPARE(TMMOpenDialog::extensionForFilterIndex(15), QString());
    QCOMPARE(TMMOpenDialog::extensionForFilterIndex(0), QString());

    // the open dialog starts on "Alle unterstützten Formate" with no default extension
    TMMOpenDialog open;
    QVERIFY(runWith(open, [](TMMOpenDialog& d) {
        QVERIFY(d.fileDialog()->selectedNameFilter().startsWith(QStringLiteral("Alle unterstützten Formate")));
        QVERIFY(d.DefaultExt.isEmpty());
        QCOMPARE(d.fileDialog()->acceptMode(), QFileDialog::AcceptOpen);
    }));
    TMMSaveDialog save;
    save.FilterIndex = 5;
    QVERIFY(runWith(save, [](TMMOpenDialog& d) {
        QCOMPARE(d.fileDialog()->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(d.DefaultExt, QStringLiteral(".png"));
        QCOMPARE(d.fileDialog()->nameFilters().size(), 15);
    }));
}

void FileDialogTest::tiffPreviewClampsThePageAndBrowses()
{
    TMMOpenDialog dialog;
    dialog.TiffSelectedPage = 7;
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        PreviewPanel* p = d.previewPanel();
        d.SelectionChanged(tiff3_);
        QCOMPARE(d.TiffSelectedPage, qint16(2));
        QCOMPARE(d.TiffPageCount, 3);
        QCOMPARE(p->PageLabel()->text(), QStringLiteral("P 3 of 3"));
        QCOMPARE(p->ShownViewer(), PreviewPanel::PageViewer);
        QVERIFY(p->PageStripShown());
        QCOMPARE(p->PageView()->PageImage().width(), pageWidth(2));
        QVERIFY(p->FirstButton()->isEnabled() && p->PriorButton()->isEnabled());
        QVERIFY(!p->NextButton()->isEnabled() && !p->LastButton()->isEnabled());
        QVERIFY(p->PictureView()->Picture().empty());

        p->NextButton()->click();  // disabled: nothing moves
        QCOMPARE(d.TiffSelectedPage, qint16(2));
        p->FirstButton()->click();
        QCOMPARE(d.TiffSelectedPage, qint16(0));
        QCOMPARE(p->PageLabel()->text(), QStringLiteral("P 1 of 3"));
        QCOMPARE(p->PageView()->PageImage().width(), pageWidth(0));
        QVERIFY(!p->FirstButton()->isEnabled() && !p->PriorButton()->isEnabled());
        QVERIFY(p->NextButton()->isEnabled() && p->LastButton()->isEnabled());
        p->NextButton()->click();
        QCOMPARE(d.TiffSelectedPage, qint16(1));
        QCOMPARE(p->PageView()->PageImage().width(), pageWidth(1));
        QVERIFY(p->FirstButton()->isEnabled() && p->LastButton()->isEnabled());
        p->LastButton()->click();
        QCOMPARE(p->PageLabel()->text(), QStringLiteral("P 3 of 3"));
        p->PriorButton()->click();
        QCOMPARE(d.TiffSelectedPage, qint16(1));
        QCOMPARE(p->PageLabel()->text(), QStringLiteral("P 2 of 3"));
        QCOMPARE(p->ProgressBar()->value(), 100);

        // another picture hides the page strip and shows the picture view
        d.SelectionChanged(png_);
        QVERIFY(!p->PageStripShown());
        QCOMPARE(p->ShownViewer(), PreviewPanel::PictureViewer);
        QVERIFY(p->PageView()->PageImage().isNull());
    }));
    // the caller reads the page to open
    QCOMPARE(dialog.TiffSelectedPage, qint16(1));
}

void FileDialogTest::singlePageTiffDisablesThePageButtons()
{
    TMMOpenDialog dialog;
    dialog.TiffSelectedPage = 1;
    dialog.TiffNextHint = QStringLiteral("Nächste TIFF Seite");
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        PreviewPanel* p = d.previewPanel();
        QCOMPARE(p->FirstButton()->toolTip(), QStringLiteral("First Tif Page"));
        QCOMPARE(p->NextButton()->toolTip(), QStringLiteral("Nächste TIFF Seite"));
        QVERIFY(!p->PageStripShown());
        d.SelectionChanged(tiff3_);
        QCOMPARE(p->PageLabel()->text(), QStringLiteral("P 2 of 3"));
        d.SelectionChanged(tiff1_);
        QCOMPARE(d.TiffSelectedPage, qint16(0));
        QCOMPARE(p->PageLabel()->text(), QStringLiteral("P 1 of 1"));
        for (QToolButton* b : {p->FirstButton(), p->PriorButton(), p->NextButton(), p->LastButton()})
            QVERIFY(!b->isEnabled());
        QCOMPARE(p->PageView()->PageImage().width(), pageWidth(0));
    }));
}

void FileDialogTest::chosenTypeGivesTheNameItsExtension()
{
    TMMSaveDialog dialog;
    dialog.mode = TMMOpenDialog::SaveMode;
    dialog.FilterIndex = 2;
    dialog.InitialDir = dir_.path();
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        QLineEdit* name = nameBox(d);
        QComboBox* types = typeList(d);
        QVERIFY(name && types);
        QCOMPARE(types->currentIndex(), 1);
        name->clear();
        QTest::keyClicks(name, QStringLiteral("bild.png"));
        QTest::keyClick(types, Qt::Key_Down);  // the user picks the JPEG type
        QCOMPARE(types->currentIndex(), 2);
        QCOMPARE(name->text(), QStringLiteral("bild.jpg"));
        QCOMPARE(d.FilterIndex, 3);
        QCOMPARE(d.DefaultExt, QStringLiteral(".jpg"));
        QCOMPARE(d.optionsPanel()->ShownGroup(), SaveOptionsPanel::JpegGroup);
        QVERIFY(d.optionsPanel()->PngInterlacedBox()->isHidden());
        QVERIFY(!d.optionsPanel()->JpegQualityBar()->isHidden());
        types->setCurrentIndex(3);
        QTest::keyClick(types, Qt::Key_Down);  // and then PNG
        QCOMPARE(name->text(), QStringLiteral("bild.png"));
        QCOMPARE(d.FilterIndex, 5);
        QCOMPARE(d.optionsPanel()->ShownGroup(), SaveOptionsPanel::PngGroup);
        QVERIFY(!d.optionsPanel()->PngInterlacedBox()->isHidden());
        QVERIFY(d.optionsPanel()->JpegQualityBar()->isHidden());

        // a folder typed with the name stays, and so the file goes there
        QTemporaryDir other;
        const QString typed = other.filePath(QStringLiteral("urlaub.jpg"));
        name->clear();
        QTest::keyClicks(name, typed);
        types->setCurrentIndex(3);
        QTest::keyClick(types, Qt::Key_Down);  // PNG
        QCOMPARE(name->text(), other.filePath(QStringLiteral("urlaub.png")));
        static_cast<QDialog*>(d.fileDialog())->accept();
        QCOMPARE(d.fileDialog()->selectedFiles(), QStringList{other.filePath(QStringLiteral("urlaub.png"))});

        // a name whose extension is no picture type gets the chosen type's
        name->clear();
        QTest::keyClicks(name, QStringLiteral("brief.txt"));
        types->setCurrentIndex(4);
        QTest::keyClick(types, Qt::Key_Down);  // TIF
        QCOMPARE(d.FilterIndex, 6);
        QCOMPARE(name->text(), QStringLiteral("brief.tif"));
        QCOMPARE(d.optionsPanel()->ShownGroup(), SaveOptionsPanel::TiffGroup);

        // "Alle unterstützten Formate" leaves the name as typed
        name->clear();
        QTest::keyClicks(name, QStringLiteral("notiz.txt"));
        types->setCurrentIndex(13);
        QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(d.FilterIndex, 15);
        QCOMPARE(name->text(), QStringLiteral("notiz.txt"));
        QCOMPARE(d.optionsPanel()->ShownGroup(), SaveOptionsPanel::NoGroup);
        QVERIFY(!d.optionsPanel()->AnnoSaveBox()->isHidden());
    }));
}

// A caller's own filters (the slide list's text files) give their own
// extensions, never the picture type at the same place in the list.
void FileDialogTest::ownFilterListGivesItsOwnExtensions()
{
    TMMSaveDialog dialog;
    dialog.Filters = {QStringLiteral("Text Dateien (*.txt *.TXT)"), QStringLiteral("Alle Dateien (*)")};
    dialog.FilterIndex = 1;
    dialog.DoPreview = false;
    dialog.InitialDir = dir_.path();
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        QLineEdit* name = nameBox(d);
        QComboBox* types = typeList(d);
        QVERIFY(name && types);
        QCOMPARE(d.DefaultExt, QStringLiteral(".txt"));
        QCOMPARE(d.fileDialog()->defaultSuffix(), QStringLiteral("txt"));
        name->clear();
        QTest::keyClicks(name, QStringLiteral("liste"));
        static_cast<QDialog*>(d.fileDialog())->accept();
        QCOMPARE(d.fileDialog()->selectedFiles(), QStringList{QDir(dir_.path()).filePath(QStringLiteral("liste.txt"))});

        // "Alle Dateien" leaves a typed name as it is
        name->clear();
        QTest::keyClicks(name, QStringLiteral("notiz"));
        QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(d.FilterIndex, 2);
        QCOMPARE(name->text(), QStringLiteral("notiz"));
        QVERIFY(d.DefaultExt.isEmpty());
        QVERIFY(d.fileDialog()->defaultSuffix().isEmpty());

        // and back on the text files a picture name becomes a list name
        name->clear();
        QTest::keyClicks(name, QStringLiteral("bild.png"));
        QTest::keyClick(types, Qt::Key_Up);
        QCOMPARE(d.FilterIndex, 1);
        QCOMPARE(name->text(), QStringLiteral("bild.txt"));
    }));
}

// Confirming an existing name asks nothing: the program asks its own
// question ("Datei überschreiben") once.
void FileDialogTest::overwriteIsLeftToTheCaller()
{
    TMMSaveDialog dialog;
    dialog.mode = TMMOpenDialog::SaveMode;
    dialog.FilterIndex = 5;
    dialog.InitialDir = dir_.path();
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        QObject scope;
        int asked = 0;
        // a question box would sit in its own loop: answer it from there
        QTimer::singleShot(0, &scope, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++asked;
                box->reject();
            }
        });
        nameBox(d)->setText(png_);
        static_cast<QDialog*>(d.fileDialog())->accept();
        QCOMPARE(asked, 0);
        QCOMPARE(d.fileDialog()->result(), int(QDialog::Accepted));
        QCOMPARE(d.fileDialog()->selectedFiles(), QStringList{png_});
    }));
}

void FileDialogTest::releasedPreviewButtonLoadsNothing()
{
    TMMOpenDialog dialog;
    dialog.DoPreview = false;
    int asked = 0;
    dialog.OnMMFileName = [&](QObject*, const QString&) {
        ++asked;
        return true;
    };
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        PreviewPanel* p = d.previewPanel();
        QVERIFY(!p->PreviewButton()->isChecked());
        QCOMPARE(p->PreviewButton()->text(), QStringLiteral("P"));
        QCOMPARE(p->PreviewButton()->toolTip(), QStringLiteral("Bildvorschau aktivieren/deaktivieren"));
        d.SelectionChanged(png_);
        d.SelectionChanged(tiff3_);
        QCOMPARE(asked, 0);
        QVERIFY(p->PictureView()->Picture().empty());
        QVERIFY(p->PageView()->PageImage().isNull());
        QVERIFY(!p->PageStripShown());
        QCOMPARE(p->ProgressBar()->value(), 0);
        QCOMPARE(d.TiffPageCount, 0);

        p->PreviewButton()->click();  // pressed: the current selection is previewed
        QCOMPARE(asked, 1);
        QVERIFY(p->PageStripShown());
        QCOMPARE(p->PageView()->PageImage().width(), pageWidth(0));
        p->PreviewButton()->click();  // released: the preview empties
        QVERIFY(!p->PageStripShown());
        QVERIFY(p->PageView()->PageImage().isNull());
        QVERIFY(p->PictureView()->Picture().empty());
    }));
}

void FileDialogTest::picturePreviewAndFailures()
{
    const QImage picture = picturefiles::pattern(64, 48, 3);
    QByteArray broken = "\x89PNG\r\n\x1a\n";
    broken.append(QByteArray(400, 'x'));
    const QString bad = picturefiles::writeBytes(dir_, QStringLiteral("broken.png"), broken);
    const QString text = picturefiles::writeBytes(dir_, QStringLiteral("notes.txt"), QByteArray(500, 'a'));
    TMMOpenDialog dialog;
    QString refused;
    dialog.OnMMFileName = [&](QObject* sender, const QString& file) { return sender == &dialog && file != refused; };
    ClearUndo();
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        TPMultiImage* view = d.previewPanel()->PictureView();
        d.SelectionChanged(png_);
        QVERIFY(picturefiles::samePixels(view->Picture().image(), picture));
        d.SelectionChanged(png_);
        // previews leave the program's undo ring alone
        QVERIFY(!UndoAvailable());
        QVERIFY(view->Center() && view->StretchRatio() && !view->Stretch() && !view->AutoSize());
        d.SelectionChanged(bad);
        QVERIFY(view->Picture().empty());
        d.SelectionChanged(png_);
        d.SelectionChanged(text);
        QVERIFY(view->Picture().empty());
        refused = png_;
        d.SelectionChanged(png_);
        QVERIFY(view->Picture().empty());
        d.SelectionChanged(dir_.path());
        QVERIFY(view->Picture().empty());
    }));
}

void FileDialogTest::metafilesShrinkToTheView()
{
    const TBitmap bitmap = bitmapOf(picturefiles::pattern(200, 100, 1));
    TMetafile metafile;
    QVERIFY(BitmapToMetafile(&bitmap, &metafile, true));
    QCOMPARE(metafile.Size(), QSize(200, 100));
    const QString emf = path(QStringLiteral("wide.emf"));
    QVERIFY(metafile.SaveToFile(emf));
    TMMOpenDialog dialog;
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        TPMultiImage* view = d.previewPanel()->PictureView();
        // 100 x 101 / 200 = 50.5 goes down to even, 100 x 103 / 200 = 51.5 up
        view->resize(101, 80);
        d.SelectionChanged(emf);
        QCOMPARE(view->Picture().image().size(), QSize(101, 50));
        view->resize(103, 80);
        d.SelectionChanged(emf);
        QCOMPARE(view->Picture().image().size(), QSize(103, 52));
        view->resize(300, 70);  // height-bound: 70 x 200 / 100
        d.SelectionChanged(emf);
        QCOMPARE(view->Picture().image().size(), QSize(140, 70));
        view->resize(300, 200);  // fits: its own size, its own pixels
        d.SelectionChanged(emf);
        QCOMPARE(view->Picture().image().size(), QSize(200, 100));
        QVERIFY(picturefiles::closePixels(view->Picture().image(), bitmap.image(), 8));
        QVERIFY(view->Center() && view->StretchRatio() && !view->Stretch());
    }));
}

void FileDialogTest::selectionDuringALoadShowsTheLastFile()
{
    TMMOpenDialog dialog;
    dialog.TiffSelectedPage = 2;
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        PreviewPanel* p = d.previewPanel();
        bool firedInsideLoad = false;
        // the user picks the one-page TIFF while page 3 of the other still loads
        QTimer::singleShot(0, this, [&] {
            firedInsideLoad = p->PageView()->Busy();
            d.SelectionChanged(tiff1_);
        });
        d.SelectionChanged(tiff3_);
        QVERIFY2(firedInsideLoad, "the TIFF decoder reported no progress, so no selection could arrive during it");
        QCOMPARE(p->PageLabel()->text(), QStringLiteral("P 1 of 1"));
        QCOMPARE(p->PageView()->PageImage().width(), pageWidth(0));
        QCOMPARE(p->PageView()->FileName(), tiff1_);
        QCOMPARE(d.TiffPageCount, 1);
        QCOMPARE(d.TiffSelectedPage, qint16(0));
        QVERIFY(!d.CancelRequested());
        QVERIFY(!d.Loading());
    }));
}

void FileDialogTest::jpegBoxesAndBars()
{
    TMMSaveDialog dialog;
    dialog.mode = TMMOpenDialog::SaveMode;
    dialog.FilterIndex = 3;
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        SaveOptionsPanel* o = d.optionsPanel();
        int beeps = 0;
        o->Beep = [&] { ++beeps; };
        QLineEdit* box = o->JpegQualityBox();
        QCOMPARE(box->text(), QStringLiteral("85"));
        QCOMPARE(o->JpegQualityBar()->value(), 85);
        QCOMPARE(o->JpegSmoothBox()->text(), QStringLiteral("5"));

        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("x"));
        QCOMPARE(beeps, 1);
        QCOMPARE(d.JPEGQualiy, 85);
        QCOMPARE(o->JpegQualityBar()->value(), 85);

        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("40"));
        QCOMPARE(beeps, 1);
        QCOMPARE(d.JPEGQualiy, 40);
        QCOMPARE(o->JpegQualityBar()->value(), 40);

        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("101"));  // 1, 10 taken; 101 refused
        QCOMPARE(beeps, 2);
        QCOMPARE(d.JPEGQualiy, 10);
        QCOMPARE(o->JpegQualityBar()->value(), 10);
        emit box->editingFinished();  // leaving the box shows the value in force
        QCOMPARE(box->text(), QStringLiteral("10"));

        o->JpegQualityBar()->setValue(77);
        QCOMPARE(box->text(), QStringLiteral("77"));
        QCOMPARE(d.JPEGQualiy, 77);
        o->JpegSmoothBar()->setValue(33);
        QCOMPARE(o->JpegSmoothBox()->text(), QStringLiteral("33"));
        QCOMPARE(d.JPEGSmooth, 33);
        QCOMPARE(d.JPEGQualiy, 77);

        QLineEdit* smooth = o->JpegSmoothBox();
        smooth->selectAll();
        QTest::keyClicks(smooth, QStringLiteral("-5"));
        QCOMPARE(beeps, 4);  // "-" and "-5"
        QCOMPARE(d.JPEGSmooth, 33);
    }));
    QCOMPARE(dialog.JPEGQualiy, 77);
    QCOMPARE(dialog.JPEGSmooth, 33);
}

void FileDialogTest::showingResetsOutOfRangeValues()
{
    TMMSaveDialog dialog;
    dialog.mode = TMMOpenDialog::SaveMode;
    dialog.TIFFCompres = 9;
    dialog.TIFFFirfPageValue = 300;
    dialog.TIFFARI = 3;
    dialog.EPSSavePreview = 5;
    dialog.EPSSaveBorder = -1;
    dialog.EPSSaveLevel = 1;
    dialog.EPSSaveCompression = 1;
    dialog.PNGInterLaced = true;
    dialog.Annosave = false;
    dialog.Annoeinbetten = true;
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        SaveOptionsPanel* o = d.optionsPanel();
        QCOMPARE(o->TiffCompressionList()->currentIndex(), 0);
        QCOMPARE(o->TiffPageBox()->value(), 1);
        QCOMPARE(o->TiffModeList()->currentIndex(), 0);
        QCOMPARE(o->EpsPreviewList()->currentIndex(), 0);
        QCOMPARE(o->EpsBorderList()->currentIndex(), 0);
        QCOMPARE(o->EpsLevelList()->currentIndex(), 1);
        QCOMPARE(o->EpsCompressionList()->currentIndex(), 1);
        QVERIFY(o->PngInterlacedBox()->isChecked());
        QVERIFY(!o->AnnoSaveBox()->isChecked());
        QVERIFY(o->AnnoEmbedBox()->isChecked());
        QCOMPARE(o->TiffCompressionList()->count(), 6);
        QCOMPARE(o->TiffCompressionList()->itemText(5), QStringLiteral("PACKBITS"));
        QCOMPARE(o->TiffModeList()->itemText(2), QStringLiteral("Erzetzen"));

        // mode and page only while "TIFF Seite(n) hinzufügen" is ticked
        QVERIFY(!o->TiffModeList()->isEnabled() && !o->TiffPageBox()->isEnabled());
        o->TiffAppendBox()->click();
        QVERIFY(d.TIFFAppended);
        QVERIFY(o->TiffModeList()->isEnabled() && o->TiffPageBox()->isEnabled());
        o->TiffPageBox()->setValue(12);
        o->TiffModeList()->setCurrentIndex(2);
        o->EpsPreviewList()->setCurrentIndex(4);
        o->AnnoSaveBox()->click();
    }));
    QCOMPARE(dialog.TIFFCompres, 0);
    QCOMPARE(dialog.TIFFFirfPageValue, 12);
    QCOMPARE(dialog.TIFFARI, 2);
    QCOMPARE(dialog.EPSSaveBorder, 0);
    QCOMPARE(dialog.EPSSaveLevel, 1);
    const SaveDialogOptions options = dialog.saveOptions();
    QVERIFY(options.TIFFAppended);
    QCOMPARE(options.TIFFARI, 2);
    QCOMPARE(options.TIFFFirfPageValue, 12);
    QCOMPARE(options.EPSSavePreview, 4);
    QVERIFY(options.Annosave);
    QVERIFY(options.Annoeinbetten);

    // shown again, the lists hold each entry once
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        QCOMPARE(d.optionsPanel()->EpsPreviewList()->count(), 5);
        QCOMPARE(d.optionsPanel()->EpsPreviewList()->currentIndex(), 4);
        QCOMPARE(d.optionsPanel()->TiffPageBox()->value(), 12);
    }));
}

void FileDialogTest::optionsFollowTypeAndMode()
{
    TMMOpenDialog open;
    open.FilterIndex = 3;
    QVERIFY(runWith(open, [](TMMOpenDialog& d) {
        QVERIFY(!d.previewPanel()->OptionsShown());
        QVERIFY(d.optionsPanel()->isHidden());
    }));
    TMMSaveDialog save;
    save.mode = TMMOpenDialog::SaveMode;
    save.FilterIndex = 11;
    QVERIFY(runWith(save, [](TMMOpenDialog& d) {
        SaveOptionsPanel* o = d.optionsPanel();
        QVERIFY(d.previewPanel()->OptionsShown());
        QVERIFY(!o->isHidden());
        QCOMPARE(o->height(), 150);
        QCOMPARE(o->frameShadow(), QFrame::Sunken);
        QCOMPARE(o->ShownGroup(), SaveOptionsPanel::EpsGroup);
        for (QWidget* w : o->GroupControls(SaveOptionsPanel::EpsGroup))
            QVERIFY(!w->isHidden());
        for (auto g : {SaveOptionsPanel::JpegGroup, SaveOptionsPanel::PngGroup, SaveOptionsPanel::TiffGroup})
            for (QWidget* w : o->GroupControls(g))
                QVERIFY(w->isHidden());
        // selecting a file applies the type: JPEG
        d.FilterIndex = 9;
        d.SelectionChanged(QString());
        QCOMPARE(o->ShownGroup(), SaveOptionsPanel::JpegGroup);
        QCOMPARE(d.DefaultExt, QStringLiteral(".jpeg"));
        QCOMPARE(d.fileDialog()->defaultSuffix(), QStringLiteral("jpeg"));
    }));
}

void FileDialogTest::saveOptionsReachTheWrittenFile()
{
    TPMultiImage image;
    image.ILUndo = false;
    image.setPicture(bitmapOf(picturefiles::pattern(120, 90, 5)));

    // TIFF compression chosen in the list
    TMMSaveDialog dialog;
    dialog.mode = TMMOpenDialog::SaveMode;
    dialog.FilterIndex = 6;
    const QString lzw = path(QStringLiteral("lzw.tif"));
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        QComboBox* list = d.optionsPanel()->TiffCompressionList();
        list->setCurrentIndex(list->findText(QStringLiteral("LZW")));
        d.FileName = lzw;
    }));
    QCOMPARE(dialog.TIFFCompres, 4);
    image.TifSaveCompress = TTiffCompression(dialog.TIFFCompres);
    QVERIFY(SavePictureFile(dialog.FileName, image, dialog.saveOptions()));
    TiffPageInfo info;
    QVERIFY(ReadTiffPageInfo(lzw, 0, info));
    QCOMPARE(info.compressionCode, 5);
    const QString scheme = tiffinfoCompression(lzw);
    if (!scheme.isEmpty()) {
        QCOMPARE(scheme, QStringLiteral("LZW"));
        qInfo("tiffinfo: Compression Scheme: %s", qPrintable(scheme));
    }

    // a page put into an existing TIFF as page 2
    const QString book = path(QStringLiteral("book.tif"));
    QVERIFY(writeTiff(book, 3));
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        d.SelectionChanged(book);
        SaveOptionsPanel* o = d.optionsPanel();
        o->TiffAppendBox()->setChecked(true);
        o->TiffModeList()->setCurrentIndex(1);
        o->TiffPageBox()->setValue(2);
    }));
    QCOMPARE(dialog.saveOptions().TiffPageCount, 3);
    image.TiffAppend = dialog.TIFFAppended;
    QVERIFY(SavePictureFile(book, image, dialog.saveOptions()));
    QVERIFY(ReadTiffPageInfo(book, 1, info));
    QCOMPARE(info.pages, 4);
    QCOMPARE(info.width, 120);
    QVERIFY(ReadTiffPageInfo(book, 2, info));
    QCOMPARE(info.width, pageWidth(1));

    // JPEG quality typed into the box
    auto saveJpeg = [&](const QString& quality, const QString& name) -> qint64 {
        TMMSaveDialog jpeg;
        jpeg.mode = TMMOpenDialog::SaveMode;
        jpeg.FilterIndex = 3;
        if (!runWith(jpeg, [&](TMMOpenDialog& d) {
                QLineEdit* box = d.optionsPanel()->JpegQualityBox();
                box->selectAll();
                QTest::keyClicks(box, quality);
            }))
            return -1;
        image.setJPegSaveQuality(jpeg.JPEGQualiy);
        image.setJPegSaveSmooth(jpeg.JPEGSmooth);
        const QString file = path(name);
        return SavePictureFile(file, image, jpeg.saveOptions()) ? QFileInfo(file).size() : -1;
    };
    const qint64 low = saveJpeg(QStringLiteral("40"), QStringLiteral("q40.jpg"));
    const qint64 high = saveJpeg(QStringLiteral("90"), QStringLiteral("q90.jpg"));
    QVERIFY(low > 0 && high > 0);
    qInfo("JPEG of 120 x 90 at quality 40: %lld bytes, at 90: %lld bytes", low, high);
    QVERIFY2(low < high, qPrintable(QStringLiteral("%1 >= %2").arg(low).arg(high)));
}

void FileDialogTest::mediaPreview()
{
    const QStringList playable = MediaPreview::PlayableExtensions();
    const QStringList filters = TMMOpenDialog::openFilters();
    QVERIFY(filters.at(14).startsWith(QStringLiteral("Alle unterstützten Formate")));
    if (!playable.contains(QStringLiteral("WAV"))) {
        QCOMPARE(filters.size(), 15 + int(playable.size()));
        QSKIP("no player for wave files");
    }
    QVERIFY(filters.at(14).contains(QStringLiteral("*.wav")));
    QVERIFY(filters.contains(QStringLiteral("Wave Sound (*.wav)")));
    const QString wave = picturefiles::writeBytes(dir_, QStringLiteral("ton.wav"), silentWave());
    TMMOpenDialog dialog;
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        PreviewPanel* p = d.previewPanel();
        QCOMPARE(d.fileDialog()->nameFilters(), filters);
        d.SelectionChanged(tiff3_);
        d.SelectionChanged(wave);
        QCOMPARE(p->ShownViewer(), PreviewPanel::MediaViewer);
        QVERIFY(p->PlayerShown());
        QVERIFY(!p->PageStripShown());
        QCOMPARE(p->MediaView()->FileName(), wave);
        d.SelectionChanged(png_);
        QVERIFY(!p->PlayerShown());
        QVERIFY(p->MediaView()->FileName().isEmpty());
        QCOMPARE(p->ShownViewer(), PreviewPanel::PictureViewer);
    }));
}

void FileDialogTest::clickingAFileInTheListPreviewsIt()
{
    QTemporaryDir folder;
    const QString book = folder.filePath(QStringLiteral("book.tif"));
    QVERIFY(QFile::copy(tiff3_, book));
    QVERIFY(QFile::copy(tiff1_, folder.filePath(QStringLiteral("card.tif"))));
    TMMOpenDialog dialog;
    dialog.InitialDir = folder.path();
    QVERIFY(runWith(dialog, [&](TMMOpenDialog& d) {
        QFileDialog* f = d.fileDialog();
        auto* model = f->findChild<QFileSystemModel*>();
        auto* view = f->findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(model && view);
        bool loaded = false;
        connect(model, &QFileSystemModel::directoryLoaded, this, [&] { loaded = true; });
        f->resize(760, 480);
        f->show();
        QTRY_VERIFY(loaded && !view->visualRect(model->index(book)).isEmpty());
        QCoreApplication::processEvents();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(model->index(book)).center());
        QCOMPARE(d.NameBoxText(), QStringLiteral("book.tif"));
        QCOMPARE(d.previewPanel()->PageLabel()->text(), QStringLiteral("P 1 of 3"));
        QCOMPARE(d.TiffPageCount, 3);
    }));
}

// The dialog shown, with the preview column and every caption of the options
// panel inside their boxes. With KV_DIALOG_SHOTS set, the dialogs are saved
// there as pictures.
void FileDialogTest::layoutKeepsEveryCaptionWhole()
{
    const QString shots = qEnvironmentVariable("KV_DIALOG_SHOTS");
    auto check = [&](TMMOpenDialog& d, const QString& shot) {
        QFileDialog* f = d.fileDialog();
        f->resize(760, 480);
        f->show();
        QCoreApplication::processEvents();
        PreviewPanel* p = d.previewPanel();
        const QRect column = p->geometry();
        QVERIFY(f->rect().contains(column));
        QCOMPARE(column.width(), PreviewPanel::kWidth);
        const QRect inside = d.optionsPanel()->contentsRect();
        const QList<QWidget*> controls =
            d.optionsPanel()->isHidden() ? QList<QWidget*>() : d.optionsPanel()->findChildren<QWidget*>();
        for (QWidget* w : controls) {
            if (w->isHidden() || w->parentWidget() != d.optionsPanel())
                continue;
            QVERIFY2(inside.contains(w->geometry()),
                     qPrintable(QStringLiteral("%1 %2,%3 %4x%5 outside %6x%7")
                                    .arg(QLatin1String(w->metaObject()->className()))
                                    .arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height())
                                    .arg(inside.width()).arg(inside.height())));
            QString text;
            if (auto* l = qobject_cast<QLabel*>(w))
                text = l->text();
            if (auto* c = qobject_cast<QCheckBox*>(w)) {
                QVERIFY2(c->sizeHint().width() <= c->width(), qPrintable(c->text()));
                continue;
            }
            if (auto* c = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < c->count(); ++i)
                    QVERIFY2(c->fontMetrics().horizontalAdvance(c->itemText(i)) + 24 <= c->width(),
                             qPrintable(c->itemText(i)));
                continue;
            }
            if (text.isEmpty())
                continue;
            const QRect drawn(w->pos(), QSize(w->fontMetrics().horizontalAdvance(text), w->height()));
            QVERIFY2(drawn.width() <= w->width(), qPrintable(text));
            // no caption runs under the control beside it
            for (QWidget* other : controls)
                if (other != w && !other->isHidden() && other->parentWidget() == d.optionsPanel())
                    QVERIFY2(!drawn.intersects(other->geometry()) || other->y() >= drawn.bottom() - 2
                                 || other->geometry().bottom() <= drawn.top() + 2,
                             qPrintable(text));
        }
        const QLabel* label = p->PageLabel();
        if (!label->isHidden())
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        if (!shots.isEmpty())
            QVERIFY(f->grab().save(shots + QLatin1Char('/') + shot));
    };
    TMMOpenDialog open;
    open.InitialDir = dir_.path();
    open.TiffSelectedPage = 1;
    QVERIFY(runWith(open, [&](TMMOpenDialog& d) {
        d.SelectionChanged(tiff3_);
        check(d, QStringLiteral("open-tiff.png"));
    }));
    for (int index : {3, 6, 11}) {
        TMMSaveDialog save;
        save.mode = TMMOpenDialog::SaveMode;
        save.InitialDir = dir_.path();
        save.FilterIndex = index;
        QVERIFY(runWith(save, [&](TMMOpenDialog& d) {
            d.SelectionChanged(png_);
            check(d, QStringLiteral("save-%1.png").arg(index));
        }));
    }
}

QTEST_MAIN(FileDialogTest)
#include "tst_filedialog.moc"
