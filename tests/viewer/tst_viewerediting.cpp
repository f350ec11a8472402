// Editing in the viewer's picture pane: the changed mark, the question
// before a changed picture is replaced or the window closes, and the
// picture the effects dialog gets.
#include "viewer/kvnpictureview.h"

#include "codec/binding/dibconvert.h"
#include "effects/dialog/effectform.h"
#include "effects/dialog/effectsdialog.h"
#include "effects/dialog/palettepage.h"
#include "imagecontrol/clipboardpicture.h"
#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/messagebox.h"
#include "platform/settings.h"
#include "thumbnails/piclibthumbnails.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kQuestion = QStringLiteral("Das Bild ist geändert worden. Möchten Sie das Bild speichern?");

void makePicture(const QString& path, const QColor& colour)
{
    QImage img(40, 30, QImage::Format_RGB888);
    img.fill(colour);
    QVERIFY(img.save(path));
}

}  // namespace

class TestViewerEditing : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Settings().clear();
        asked_.clear();
        replies_.clear();
        MessageBox::setScript([this](const MessageBox::Request& r) {
            asked_ << r.caption + ": " + r.text;
            if (r.text == kQuestion)
                buttons_ = r.buttons;
            return replies_.isEmpty() ? QMessageBox::Cancel : replies_.takeFirst();
        });
        TMMOpenDialog::setScript([](TMMOpenDialog&) { return false; });
    }

    void cleanup()
    {
        MessageBox::setScript({});
        TMMOpenDialog::setScript({});
        SetEffectsDialogRunner({});
    }

    void everyChangeButALoadMarksThePicture()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.png");
        makePicture(a, Qt::red);
        TPMultiImage image;
        image.OnIlibError = [](QObject*, qint16, const QString&, const char*) {};   // no exception
        image.setImageName(a);
        QVERIFY(!image.Picture().empty());
        QVERIFY(!image.Modified());
        image.InvertImage();
        QVERIFY(image.Modified());
        image.setImageName(a);   // a load clears it
        QVERIFY(!image.Modified());
        image.RotateImage(0, 0, 90, 0, 0);
        QVERIFY(image.Modified());
        image.setModified(false);
        image.UndoImage();
        QVERIFY(image.Modified());
        image.setImageName(a);
        QVERIFY(clipboardpicture::copy(image.Picture()));
        image.PasteFromClipboard();
        QVERIFY(image.Modified());
        image.setImageName(a);
        image.CutToClipboard();
        QVERIFY(image.Modified());

        // the effects dialog: only a picture it hands back counts
        image.setImageName(a);
        image.EffectsDialog = [](TPMultiImage&, GlobalHandle&) { return false; };
        QVERIFY(image.ShowEffectsDialog());
        QVERIFY(!image.Modified());
        image.EffectsDialog = [](TPMultiImage&, GlobalHandle&) { return true; };
        QVERIFY(image.ShowEffectsDialog());
        QVERIFY(image.Modified());

        // a load that fails keeps the shown picture and its mark
        const QString bad = dir.filePath("kaputt.png");
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(300, 'x'));
        file.close();
        image.setImageName(bad);
        QVERIFY(image.LoadFailed());
        QVERIFY(image.Modified());
    }

    void replacingAChangedPictureAsks()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.png");
        const QString b = dir.filePath("b.png");
        makePicture(a, Qt::red);
        makePicture(b, Qt::blue);
        const QByteArray aBefore = fileBytes(a);
        TKvnPictureView w;
        w.start();
        TPMultiImage* pane = w.pane();
        w.ShowPicture(a, 0, pane);
        QVERIFY(asked_.isEmpty());
        w.ShowPicture(b, 0, pane);   // unchanged: no question
        QVERIFY(asked_.isEmpty());
        QCOMPARE(pane->ImageName(), b);

        QVERIFY(w.toolbar()->Click(ibInvert));
        QVERIFY(pane->Modified());
        w.ShowPicture(a, 0, pane);   // Cancel: b stays, changed
        QCOMPARE(asked_, QStringList{"Änderungen speichern: " + kQuestion});
        QCOMPARE(buttons_, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(pane->ImageName(), b);
        QVERIFY(pane->Modified());

        replies_ = {QMessageBox::Yes};   // the save dialog is cancelled: b stays
        w.ShowPicture(a, 0, pane);
        QCOMPARE(pane->ImageName(), b);
        QVERIFY(pane->Modified());
        QCOMPARE(w.statusText(3), QStringLiteral("Das Bild wurde nicht gespeichert."));

        const QString saved = dir.filePath("gespeichert.bmp");
        TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
            d.FileName = saved;
            return d.mode == TMMOpenDialog::SaveMode;
        });
        replies_ = {QMessageBox::Yes};   // saved, then a is shown
        w.ShowPicture(a, 0, pane);
        QVERIFY(QFileInfo(saved).size() > 0);
        QCOMPARE(QColor(QImage(saved).pixel(3, 3)), QColor(255, 255, 0));   // the inverted blue
        QCOMPARE(pane->ImageName(), a);
        QVERIFY(!pane->Modified());

        QVERIFY(w.toolbar()->Click(ibRotate180));
        replies_ = {QMessageBox::No};   // discarded: a on disk is as it was
        w.ShowPicture(b, 0, pane);
        QCOMPARE(pane->ImageName(), b);
        QVERIFY(!pane->Modified());
        QCOMPARE(fileBytes(a), aBefore);
        QCOMPARE(asked_.size(), 4);

        // the scan button asks too; Cancel keeps the picture
        QVERIFY(w.toolbar()->Click(ibInvert));
        const int before = int(asked_.size());
        w.toolbar()->Click(ibScan);
        QCOMPARE(asked_.size(), before + 1);
        QCOMPARE(pane->ImageName(), b);
        QVERIFY(!pane->Picture().empty());

        // closing asks: Cancel keeps the window, No closes it
        w.show();
        QVERIFY(!w.close());
        QCOMPARE(asked_.size(), before + 2);
        replies_ = {QMessageBox::No};
        QVERIFY(w.close());
    }

    void gridSelectionGoesBackWhenThePictureStays()
    {
        QTemporaryDir dir;
        for (const char* name : {"a.png", "b.png", "c.png"})
            makePicture(dir.filePath(name), Qt::green);
        TKvnPictureView w;
        w.start();
        w.show();
        w.OpenFromCommandLine(dir.filePath("b.png"));
        TPicLibThumbnails* grid = w.thumbnails();
        QTRY_VERIFY_WITH_TIMEOUT(w.state().LastScannedFolder == dir.path() && grid->itemCount() == 3
                                     && !w.state().ScanThread && !w.state().ScanActive,
                                 60000);
        QCOMPARE(w.pane()->ImageName(), dir.filePath("b.png"));
        const int shown = grid->CurrentSelected;
        QVERIFY(w.toolbar()->Click(ibInvert));
        QVERIFY(w.toolbar()->Click(shown > 0 ? ibback : ibnext));   // Cancel
        QCOMPARE(asked_.size(), 1);
        QCOMPARE(w.pane()->ImageName(), dir.filePath("b.png"));
        QCOMPARE(grid->CurrentSelected, shown);
        replies_ = {QMessageBox::No};
        QVERIFY(w.toolbar()->Click(ibnext));
        QVERIFY(w.pane()->ImageName() != dir.filePath("b.png"));
        QCOMPARE(grid->item(grid->CurrentSelected).FileName, w.pane()->ImageName());
        replies_ = {QMessageBox::No};
        QVERIFY(w.close());
    }

    // The palette page edits pictures with a palette: a picture from a file
    // with a palette reaches the dialog at that depth.
    void effectsDialogGetsPalettePicturesAtTheirDepth()
    {
        TKvnPictureView w;
        w.start();
        int masterBits = 0;
        bool paletteEditor = false;
        SetEffectsDialogRunner([&](TEffectForm& form) {
            TBitmap master;
            masterBits = DIBToGraphic(form.MasterDib, master) ? master.bitsPerPixel() : -1;
            form.show();
            form.WaitForWork();
            paletteEditor = form.SetActivePage(QStringLiteral("Farbpalette")) && form.Palette()->EditorEnabled();
            form.WaitForWork();
            form.hide();
            return int(QDialog::Rejected);
        });
        struct Case {
            const char* file;
            int bits;
        };
        const Case cases[] = {{"rose-8bit.bmp", 8}, {"rose-4bit.bmp", 4}, {"rose-24.bmp", 24}, {"rose-grey.jpg", 24}};
        for (const Case& c : cases) {
            w.ShowPicture(KV_TEST_DATA "/codec/" + QString::fromLatin1(c.file), 0, w.pane());
            QVERIFY(!w.pane()->Picture().empty());
            masterBits = 0;
            QVERIFY(w.toolbar()->Click(ibEffects));
            QCOMPARE(masterBits, c.bits);
            QCOMPARE(paletteEditor, c.bits <= 8);
            QVERIFY(!w.pane()->Modified());
        }
        // a palette picture changed past its palette's colours goes at the load depth
        w.ShowPicture(KV_TEST_DATA "/codec/rose-4bit.bmp", 0, w.pane());
        QImage many(64, 64, QImage::Format_RGB888);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                many.setPixel(x, y, qRgb(x * 4, y * 4, 9));
        w.pane()->setPicture(TBitmap(many, pf24bit));
        QVERIFY(w.toolbar()->Click(ibEffects));
        QCOMPARE(masterBits, w.pane()->LoadDepth());
        w.pane()->setModified(false);
    }

private:
    static QByteArray fileBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QStringList asked_;
    QList<QMessageBox::StandardButton> replies_;
    QMessageBox::StandardButtons buttons_;
};

QTEST_MAIN(TestViewerEditing)
#include "tst_viewerediting.moc"
