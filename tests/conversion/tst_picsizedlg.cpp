// The picture size dialog: the size list and its paper and photo formats
// from a printer's resolution (a 600-dpi printer, the PDF printer, a
// printer that reports no size), fitting to the picture, the fields, the
// size limit, the page lines, and OK and Cancel through the toolbar with
// the undo ring.

#include "conversion/sizing/picsizedlg.h"
#include "conversion/sizing/picturesizes.h"
#include "conversion/sizing/picturestretch.h"
#include "ui_picsizedlg.h"

#include "codec/binding/tbitmap.h"
#include "effects/undoring.h"
#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/ilmultiimagetoolbarbutton.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/messagebox.h"
#include "platform/printdialogs.h"

#include <QPrinter>
#include <QtTest>

using namespace picturesizes;

namespace {

TBitmap picture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / std::max(1, w - 1), y * 255 / std::max(1, h - 1), 90));
    return TBitmap(image, pf24bit);
}

int entry(const QString& name)
{
    return int(StandardSizeNames().indexOf(name));
}

// A PDF printer on A4 without margins at dpi.
void usePdf(QPrinter& printer, int dpi)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(dpi);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setPageOrientation(QPageLayout::Portrait);
}

void chooseEntry(TPicSizeDlg& dialog, const QString& name)
{
    QListWidget* list = dialog.form()->SizeList;
    list->setCurrentRow(entry(name));
}

void typeInto(QSpinBox* field, const QString& text)
{
    field->selectAll();
    QTest::keyClicks(field, text);
}

// The window a toolbar sits in over its picture control.
struct Window {
    QWidget parent;
    TPMultiImage* image = new TPMultiImage(&parent);
    TILMultiImageToolBar* bar = new TILMultiImageToolBar(&parent);
    QPrinter printer{QPrinter::HighResolution};
    std::function<int(TPicSizeDlg&)> answer;
    int afterActions = 0;
    Window()
    {
        usePdf(printer, 600);
        image->OnIlibError = [](QObject*, qint16, const QString&, const char*) {};
        bar->ResizeDialog = [this](TPMultiImage& target) {
            return RunPicSizeDialog(&parent, printer, target, [this](TPicSizeDlg& d) {
                d.show();
                return answer(d);
            });
        };
        bar->AfterAction = [this](QObject*, TILMultiImageToolBarBtn) { ++afterActions; };
        bar->setMultiImage(image);
    }
};

}  // namespace

class TestPicSizeDlg : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ClearUndo();
        TPicSizeDlg::setPrinterLister([] { return QStringList(); });
        PrintDialogs::setScript([](PrintDialogs::Kind, QPrinter&) { return false; });
        MessageBox::setScript([](const MessageBox::Request&) { return QMessageBox::Ok; });
    }

    void theListHoldsScreenSizesThenFormats()
    {
        const QStringList& names = StandardSizeNames();
        QCOMPARE(names.size(), 69);
        QCOMPARE(names.first(), QStringLiteral("32 x 32 Pixel"));
        QCOMPARE(names.at(18), QStringLiteral("960 x 2400 Pixel"));
        QCOMPARE(names.at(42), QStringLiteral("2048 x 1536 Pixel"));
        QCOMPARE(names.at(43), QStringLiteral("Foto 3 x 5 Zoll"));
        QCOMPARE(names.at(51), QStringLiteral("Karte 15 x 10 Cm. (quer)"));
        QCOMPARE(names.last(), QStringLiteral("A3 420 x 297 mm. (quer)"));
        const QSize own(700, 500);
        const PrinterMeasures none;
        QCOMPARE(StandardSize(entry("960 x 2400 Pixel"), own, none), QSize(960, 2400));
        QCOMPARE(StandardSize(entry("1360 x 766 Pixel"), own, none), QSize(1360, 766));
        QCOMPARE(StandardSize(-1, own, none), own);
        QCOMPARE(StandardSize(69, own, none), own);
    }

    // 4960 pixels over 210 mm are 23.6 dots per mm: the formats use 24.
    void formatsComeFromTheRoundedResolution()
    {
        const PrinterMeasures p = MeasuresFromDevice(4960, 7016, 210, 297, QPageLayout::Portrait);
        QCOMPARE(p.dpiX, 600);
        QCOMPARE(p.dpmX, 24);
        QCOMPARE(p.dpmY, 24);
        const QSize own(100, 100);
        QCOMPARE(StandardSize(entry("A4 210 x 297 mm."), own, p), QSize(5040, 7128));
        QCOMPARE(StandardSize(entry("A4 297 x 210 mm. (quer)"), own, p), QSize(7128, 5040));
        QCOMPARE(StandardSize(entry("Foto 3 x 5 Zoll"), own, p), QSize(1800, 3000));
        QCOMPARE(StandardSize(entry("Karte 4.1 x 7 Zoll"), own, p), QSize(2460, 4200));
        QCOMPARE(StandardSize(entry("Brief 11 x 8.5 Zoll (quer)"), own, p), QSize(6600, 5100));
        QCOMPARE(StandardSize(entry("Visitenkarte 9.1 x 5.5 cm. (quer)"), own, p), QSize(2184, 1320));
        // the vertical resolution does not count
        const PrinterMeasures tall = MeasuresFromDevice(4960, 14032, 210, 297, QPageLayout::Portrait);
        QCOMPARE(StandardSize(entry("A6 112 x 148 mm."), own, tall), QSize(112 * 24, 148 * 24));
    }

    void fittingLimitsAndFollowingFields()
    {
        QCOMPARE(KeptRatio(QSize(1920, 1080), QSize(1000, 1000)), QSize(1080, 1080));
        QCOMPARE(KeptRatio(QSize(640, 480), QSize(300, 600)), QSize(240, 480));
        QCOMPARE(KeptRatio(QSize(100, 400), QSize(400, 300)), QSize(100, 75));
        // a thin picture never gets a side of 0
        QCOMPARE(KeptRatio(QSize(32, 32), QSize(5000, 2)), QSize(32, 1));
        QCOMPARE(WithinLimit(QSize(10000, 10000), QSize(5, 6)), QSize(10000, 10000));
        QCOMPARE(WithinLimit(QSize(10080, 7128), QSize(5, 6)), QSize(5, 6));
        QCOMPARE(WithinLimit(QSize(20, 10001), QSize(5, 6)), QSize(5, 6));
        QCOMPARE(FollowingHeight(500, QSize(1000, 300)), 150);
        QCOMPARE(FollowingWidth(150, QSize(1000, 300)), 500);
        QCOMPARE(FollowingHeight(1, QSize(1000, 3)), 1);
    }

    void pageLinesNameSizeOrientationAndResolution()
    {
        const PrinterMeasures portrait = MeasuresFromDevice(4960, 7016, 210, 297, QPageLayout::Portrait);
        QCOMPARE(PageLines(portrait), (QStringList{"207 x 292 mm   Hochformat", "7016 x 4960 Pixel",
                                                   "H. Auflösung: 600 DPI    24 DPM",
                                                   "V. Auflösung: 600 DPI    24 DPM"}));
        const PrinterMeasures across = MeasuresFromDevice(7016, 4960, 297, 210, QPageLayout::Landscape);
        QCOMPARE(PageLines(across).mid(0, 2), (QStringList{"207 x 292 mm   Querformat", "7016 x 4960 Pixel"}));
        // a printer without a size: no page lines, no division by zero
        const PrinterMeasures none = MeasuresFromDevice(0, 0, 0, 0, QPageLayout::Portrait);
        QVERIFY(!none.usable());
        QCOMPARE(PageLines(none).mid(0, 3), (QStringList{"", "", "H. Auflösung: 0 DPI    0 DPM"}));
    }

    // Without any printer the formats are those of the PDF printer at 300
    // dpi, and OK gives the picture that size.
    void withoutAPrinterThePdfPrinterMeasures()
    {
        QPrinter printer(QPrinter::HighResolution);
        usePdf(printer, 300);
        const PrinterMeasures pdf = MeasuresOfPrinter(printer);
        QCOMPARE(pdf.dpiX, 300);
        QCOMPARE(pdf.dpmX, 12);
        // a printer that reports no millimetres is measured as the PDF one
        printer.setResolution(0);
        const PrinterMeasures fallback = MeasuresOfPrinter(printer);
        QVERIFY(fallback.usable());
        QCOMPARE(fallback.dpiX, 300);

        Window w;
        usePdf(w.printer, 300);
        w.image->setPicture(picture(400, 300));
        w.answer = [](TPicSizeDlg& d) {
            chooseEntry(d, "Foto 4 x 6 Zoll");
            QTest::mouseClick(d.form()->OKBtn, Qt::LeftButton);
            return d.result();
        };
        w.bar->RefreshButtons();
        QVERIFY(w.bar->button(ibResize)->isEnabled());
        QVERIFY(w.bar->Click(ibResize));
        QCOMPARE(w.image->Picture().width(), 1200);
        QCOMPARE(w.image->Picture().height(), 1800);
    }

    void standardSizesWithTheRatioKept()
    {
        Window w;
        w.image->setPicture(picture(1000, 1000));
        TPicSizeDlg d(*w.image, w.printer);
        d.show();
        QVERIFY(d.form()->StandardSizes->isChecked());
        QCOMPARE(d.chosenSize(), QSize(1000, 1000));
        QCOMPARE(d.form()->WidthField->value(), 1000);
        QCOMPARE(d.form()->PrinterBox->currentText(), TPicSizeDlg::pdfPrinterName());
        QCOMPARE(d.form()->PageLine3->text(), QStringLiteral("H. Auflösung: 600 DPI    24 DPM"));
        d.form()->KeepRatio->setChecked(true);
        chooseEntry(d, "1920 x 1080 Pixel");
        QCOMPARE(d.chosenSize(), QSize(1080, 1080));
        QCOMPARE(d.windowTitle(), QStringLiteral("1080   1080"));
        QCOMPARE(d.form()->ActiveWidth->text(), QStringLiteral("1080"));
        d.form()->KeepRatio->setChecked(false);
        QCOMPARE(d.chosenSize(), QSize(1920, 1080));
        QCOMPARE(d.windowTitle(), QStringLiteral("Bildgröße ändern"));
        // the preview shows the chosen shape
        const TBitmap& shown = d.preview()->Picture();
        QVERIFY(!shown.empty());
        QVERIFY(std::abs(shown.width() * 1080 - shown.height() * 1920) <= 1920);
        // A4 at 600 dpi; A3 would be over 10000 pixels: the picture's own size
        chooseEntry(d, "A4 210 x 297 mm.");
        QCOMPARE(d.chosenSize(), QSize(5040, 7128));
        chooseEntry(d, "A3 420 x 297 mm. (quer)");
        QCOMPARE(d.chosenSize(), QSize(1000, 1000));
    }

    void freeFieldsFollowAndFallBack()
    {
        Window w;
        w.image->setPicture(picture(1000, 300));
        TPicSizeDlg d(*w.image, w.printer);
        d.show();
        typeInto(d.form()->WidthField, "0");
        QVERIFY(d.form()->FreeSize->isChecked());
        QCOMPARE(d.form()->WidthField->value(), 1000);
        typeInto(d.form()->HeightField, "120");
        QCOMPARE(d.chosenSize(), QSize(1000, 120));
        // checking the box makes the height follow the width
        d.form()->KeepRatio->setChecked(true);
        QCOMPARE(d.form()->HeightField->value(), 300);
        typeInto(d.form()->WidthField, "500");
        QCOMPARE(d.form()->HeightField->value(), 150);
        QCOMPARE(d.chosenSize(), QSize(500, 150));
        typeInto(d.form()->HeightField, "30");
        QCOMPARE(d.chosenSize(), QSize(100, 30));
        typeInto(d.form()->HeightField, "20000");
        QCOMPARE(d.form()->HeightField->value(), 300);
        // a list entry selects the standard sizes again
        chooseEntry(d, "64 x 64 Pixel");
        QVERIFY(d.form()->StandardSizes->isChecked());
        QCOMPARE(d.chosenSize(), QSize(64, 19));
    }

    // "Drucker Einstellungen" turns the paper: the lines and formats follow.
    void printerSetupRecomputes()
    {
        Window w;
        w.image->setPicture(picture(50, 50));
        TPicSizeDlg d(*w.image, w.printer);
        d.show();
        chooseEntry(d, "A6 112 x 148 mm.");
        QVERIFY(d.form()->PageLine1->text().endsWith(QStringLiteral("mm   Hochformat")));
        int asked = 0;
        PrintDialogs::setScript([&](PrintDialogs::Kind kind, QPrinter& printer) {
            ++asked;
            if (kind != PrintDialogs::Kind::PageSetup)
                return false;
            printer.setPageOrientation(QPageLayout::Landscape);
            printer.setResolution(300);
            return true;
        });
        QTest::mouseClick(d.form()->PrinterSetup, Qt::LeftButton);
        QCOMPARE(asked, 1);
        QVERIFY(d.form()->PageLine1->text().endsWith(QStringLiteral("mm   Querformat")));
        QCOMPARE(d.measures().dpmX, 12);
        QCOMPARE(d.chosenSize(), QSize(112 * 12, 148 * 12));
    }

    // OK takes one snapshot and gives the picture the size; Cancel leaves
    // the picture and the ring alone, and the toolbar takes none of its own.
    void okAndCancelThroughTheToolbar()
    {
        Window w;
        w.image->setPicture(picture(300, 200));
        w.answer = [](TPicSizeDlg& d) {
            chooseEntry(d, "640 x 480 Pixel");
            QTest::mouseClick(d.form()->CancelBtn, Qt::LeftButton);
            return d.result();
        };
        w.bar->RefreshButtons();
        QVERIFY(w.bar->Click(ibResize));
        QCOMPARE(w.image->Picture().width(), 300);
        QVERIFY(!UndoAvailable());
        QCOMPARE(w.afterActions, 0);

        w.answer = [](TPicSizeDlg& d) {
            chooseEntry(d, "640 x 480 Pixel");
            QTest::mouseClick(d.form()->OKBtn, Qt::LeftButton);
            return d.result();
        };
        QVERIFY(w.bar->Click(ibResize));
        QCOMPARE(w.image->Picture().width(), 640);
        QCOMPARE(w.image->Picture().height(), 480);
        QCOMPARE(w.afterActions, 1);
        TBitmap undone;
        PopUndo(undone);
        QCOMPARE(undone.width(), 300);
        QVERIFY(!UndoAvailable());
    }

    // A paletted picture keeps its depth and colour table.
    void stretchingKeepsThePixelFormat()
    {
        QImage indexed(40, 20, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)});
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                indexed.setPixel(x, y, x < 20 ? 1 : 2);
        const TBitmap source(indexed, pf4bit);
        const TBitmap wide = StretchedPicture(source, QSize(80, 10));
        QCOMPARE(wide.pixelFormat(), pf4bit);
        QCOMPARE(wide.image().size(), QSize(80, 10));
        QCOMPARE(wide.image().pixel(5, 5), qRgb(255, 0, 0));
        QCOMPARE(wide.image().pixel(75, 5), qRgb(0, 0, 255));
        const TBitmap mono = StretchedPicture(TBitmap(indexed, pf1bit), QSize(8, 8));
        QCOMPARE(mono.pixelFormat(), pf1bit);
        QVERIFY(StretchedPicture(source, QSize(0, 5)).empty());
        QVERIFY(StretchedPicture(TBitmap(), QSize(5, 5)).empty());
    }
};

QTEST_MAIN(TestPicSizeDlg)
#include "tst_picsizedlg.moc"
