// The colour depth dialog: every depth choice, previews that start from
// the caller's picture and never touch the undo ring, a newer choice that
// supersedes a running preview, the sample picture, and the toolbar's
// application of the result with the saving depth.

#include "conversion/colordepth/changecoldlg.h"
#include "conversion/colordepth/depthchoice.h"
#include "ui_changecoldlg.h"

#include "codec/binding/tbitmap.h"
#include "effects/undoring.h"
#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/ilmultiimagetoolbarbutton.h"
#include "imagecontrol/pmultiimage.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A colour ramp: more colours than any palette holds.
TBitmap ramp(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (w - 1), y * 255 / (h - 1), (x * y) % 256));
    return TBitmap(image, pf24bit);
}

QSet<QRgb> coloursOf(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) | 0xFF000000u);
    return colours;
}

bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) | 0xFF000000u) != (b.pixel(x, y) | 0xFF000000u))
                return false;
    return true;
}

struct Window {
    QWidget parent;
    TPMultiImage* image = new TPMultiImage(&parent);
    TILMultiImageToolBar* bar = new TILMultiImageToolBar(&parent);
    std::function<int(TChangeColDlg&)> answer;
    QList<TChangeColDlg*> shown;
    Window()
    {
        image->OnIlibError = [](QObject*, qint16, const QString&, const char*) {};
        bar->ColorDepthDialog = MakeColorDepthHook(&parent, {}, [this](TChangeColDlg& d) {
            shown << &d;
            d.show();
            const int result = answer(d);
            d.hide();
            return result;
        });
        bar->setMultiImage(image);
    }
};

int clickOk(TChangeColDlg& d)
{
    d.setResult(QDialog::Rejected);
    d.waitForPreview();
    QTest::mouseClick(d.form()->OKBtn, Qt::LeftButton);
    return d.result();
}

}  // namespace

class TestChangeColDlg : public QObject {
    Q_OBJECT

private slots:
    void init() { ClearUndo(); }

    void eachChoiceGivesItsDepth()
    {
        const TBitmap source = ramp(64, 48);
        const struct {
            DepthChoice choice;
            TPixelFormat format;
            int maxColours;
        } cases[] = {
            {DepthChoice::Mono, pf1bit, 2},         {DepthChoice::Colors16, pf4bit, 16},
            {DepthChoice::Colors256, pf8bit, 256},  {DepthChoice::Colors15Bit, pf15bit, 64 * 48},
            {DepthChoice::Colors16Bit, pf16bit, 64 * 48}, {DepthChoice::TrueColor, pf24bit, 64 * 48},
            {DepthChoice::Colors32Bit, pf32bit, 64 * 48}, {DepthChoice::Grey, pf8bit, 256},
        };
        for (const auto& c : cases) {
            const TBitmap out = ConvertedToDepth(source, c.choice);
            QVERIFY2(!out.empty(), qPrintable(DepthCaption(c.choice)));
            QCOMPARE(out.pixelFormat(), c.format);
            QCOMPARE(out.image().size(), QSize(64, 48));
            QVERIFY(coloursOf(out.image()).size() <= c.maxColours);
        }
        // one bit is black and white; grey is grey and keeps the ramp's order
        for (QRgb c : coloursOf(ConvertedToDepth(source, DepthChoice::Mono).image()))
            QVERIFY(c == 0xFF000000u || c == 0xFFFFFFFFu);
        const QImage grey = ConvertedToDepth(source, DepthChoice::Grey).image();
        for (QRgb c : grey.colorTable())
            QVERIFY(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
        QVERIFY(qGray(grey.pixel(63, 47)) > qGray(grey.pixel(0, 0)));
        // 24 and 32 bits keep every colour
        QVERIFY(samePixels(ConvertedToDepth(source, DepthChoice::TrueColor).image(), source.image()));
        QVERIFY(samePixels(ConvertedToDepth(source, DepthChoice::Colors32Bit).image(), source.image()));
        // a picture of four colours keeps them at 4 bits
        QImage four(8, 8, QImage::Format_RGB888);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                four.setPixel(x, y, QList<QRgb>{qRgb(200, 10, 10), qRgb(10, 200, 10), qRgb(10, 10, 200),
                                                qRgb(250, 250, 0)}[(x + y) % 4]);
        QVERIFY(samePixels(ConvertedToDepth(TBitmap(four, pf24bit), DepthChoice::Colors16).image(), four));
        QVERIFY(ConvertedToDepth(TBitmap(), DepthChoice::Mono).empty());
        QCOMPARE(DepthCaption(DepthChoice::TrueColor), QStringLiteral("16 Millionen (24 Bit, True Color) Farben"));
        QCOMPARE(DepthCaption(DepthChoice::None), QString());
    }

    // Monochrome, then true colour, starts again from the caller's picture;
    // grey previews leave the undo ring alone; a newer choice wins.
    void previewsStartFromTheSource()
    {
        TChangeColDlg d{QString()};
        const TBitmap source = ramp(80, 60);
        d.setPicture(source);
        d.show();
        QCOMPARE(d.choice(), DepthChoice::Colors32Bit);
        d.releaseChoices();
        d.Refresh();
        QCOMPARE(d.choice(), DepthChoice::None);
        QVERIFY(!d.form()->OKBtn->isEnabled());
        QVERIFY(samePixels(d.preview()->Picture().image(), source.image()));

        d.form()->RadioButton1->click();
        d.waitForPreview();
        QCOMPARE(d.converted().pixelFormat(), pf1bit);
        QCOMPARE(d.preview()->Picture().pixelFormat(), pf1bit);
        QVERIFY(d.form()->OKBtn->isEnabled());
        d.form()->RadioButton6->click();
        d.waitForPreview();
        QVERIFY(samePixels(d.converted().image(), source.image()));

        for (int i = 0; i < 3; ++i) {
            d.form()->RadioButton8->click();
            d.waitForPreview();
        }
        QCOMPARE(d.converted().pixelFormat(), pf8bit);
        QVERIFY(!UndoAvailable());

        d.choose(DepthChoice::Mono);
        d.choose(DepthChoice::Colors16);
        d.waitForPreview();
        QCOMPARE(d.converted().pixelFormat(), pf4bit);
        QCOMPARE(d.choiceText(), QStringLiteral("16 (4 Bit) Farben"));
    }

    void withoutAPictureTheSampleIsConverted()
    {
        QTemporaryDir dir;
        const QString sample = dir.filePath("beispiel.png");
        QVERIFY(ramp(40, 30).image().save(sample));
        TChangeColDlg d(sample);
        QCOMPARE(d.sourcePicture().width(), 40);
        d.choose(DepthChoice::Mono);
        d.waitForPreview();
        QCOMPARE(d.converted().pixelFormat(), pf1bit);
        QCOMPARE(d.converted().width(), 40);
    }

    // OK puts the result into the picture with its saving depth and one
    // snapshot; Cancel changes nothing; the dialog is made once.
    void theToolbarAppliesTheResult()
    {
        Window w;
        const TBitmap source = ramp(50, 40);
        w.image->setPicture(source);
        w.image->setJPegSaveQuality(90);
        w.bar->RefreshButtons();
        QVERIFY(w.bar->button(ibChangeColor)->isEnabled());

        w.answer = [](TChangeColDlg& d) {
            d.choose(DepthChoice::Mono);
            d.waitForPreview();
            QTest::mouseClick(d.form()->CancelBtn, Qt::LeftButton);
            return d.result();
        };
        QVERIFY(w.bar->Click(ibChangeColor));
        QVERIFY(samePixels(w.image->Picture().image(), source.image()));
        QVERIFY(!UndoAvailable());
        QCOMPARE(w.image->ImageWriteRes, sAutoMatic);

        // the choices start released: OK does nothing until one is made
        w.answer = [](TChangeColDlg& d) {
            if (d.choice() != DepthChoice::None || d.form()->OKBtn->isEnabled())
                return int(QDialog::Rejected);
            d.form()->RadioButton8->click();
            return clickOk(d);
        };
        QVERIFY(w.bar->Click(ibChangeColor));
        QCOMPARE(w.image->Picture().pixelFormat(), pf8bit);
        QCOMPARE(w.image->ImageWriteRes, sJpegGray);
        QCOMPARE(w.image->JPegSaveQuality(), 25);
        QCOMPARE(w.shown.size(), 2);
        QCOMPARE(w.shown.at(0), w.shown.at(1));
        TBitmap undone;
        PopUndo(undone);
        QVERIFY(samePixels(undone.image(), source.image()));
        QVERIFY(!UndoAvailable());

        w.answer = [](TChangeColDlg& d) {
            d.form()->RadioButton2->click();
            return clickOk(d);
        };
        QVERIFY(w.bar->Click(ibChangeColor));
        QCOMPARE(w.image->Picture().pixelFormat(), pf4bit);
        QCOMPARE(w.image->ImageWriteRes, sColor16);
    }
};

QTEST_MAIN(TestChangeColDlg)
#include "tst_changecoldlg.moc"
