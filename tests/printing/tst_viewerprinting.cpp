// Printing in the viewer: the toolbar's print button and Alt+D print the
// shown picture, "Miniaturbilder drucken" prints the marked miniatures
// (all when none is marked) as a contact sheet.
#include "pdfprobe.h"

#include "viewer/kvnpictureview.h"

#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/ilmultiimagetoolbarbutton.h"
#include "imagecontrol/pmultiimage.h"
#include "printing/druckdlg.h"
#include "printing/printservice.h"
#include "thumbnails/piclibthumbnails.h"
#include "platform/printdialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

class TestViewerPrinting : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QStringList files_;
    int optionsShown_ = 0;
    int sheetsShown_ = 0;

    void fill(TKvnPictureView& w)
    {
        TPicLibThumbnails* grid = w.thumbnails();
        for (const QString& f : files_)
            grid->AddFile(f);
        QCOMPARE(grid->itemCount(), 3);
    }

    // Both dialogs answer OK; the print dialog prints into pdf.
    void script(TKvnPictureView& w, const QString& pdf)
    {
        w.printService()->ShowModal = [this](QDialog& dialog) {
            (qobject_cast<TDruckDlg*>(&dialog) ? optionsShown_ : sheetsShown_)++;
            return int(QDialog::Accepted);
        };
        PrintDialogs::setScript([pdf](PrintDialogs::Kind, QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
    }

    QAction* printThumbnailsAction(TKvnPictureView& w)
    {
        for (QAction* a : w.findChildren<QAction*>())
            if (a->text() == QString("Miniaturbilder drucken"))
                return a;
        return nullptr;
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

    void init()
    {
        optionsShown_ = sheetsShown_ = 0;
    }

    void cleanup()
    {
        PrintDialogs::setScript({});
    }

    void printButtonAndAltDPrintTheShownPicture()
    {
        TKvnPictureView w;
        w.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        TILMultiImageToolBar* bar = w.toolbar();
        QVERIFY(!bar->button(ibPrint)->isEnabled());
        fill(w);
        w.thumbnails()->SelectIndex(1);
        QCOMPARE(w.pane()->Picture().width(), 40);
        QVERIFY(bar->button(ibPrint)->isEnabled());
        const QString pdf = dir_.filePath("bild.pdf");
        script(w, pdf);
        QVERIFY(bar->Click(ibPrint));
        QCOMPARE(optionsShown_, 1);
        QCOMPARE(pdfprobe::info(pdf).pages, 1);
        QVERIFY(QFile::remove(pdf));

        QTest::keyClick(w.pane(), Qt::Key_D, Qt::AltModifier);
        QCOMPARE(optionsShown_, 2);
        QVERIFY(QFileInfo::exists(pdf));
    }

    void contactSheetOfTheMarkedItems()
    {
        TKvnPictureView w;
        w.start();
        QAction* command = printThumbnailsAction(w);
        QVERIFY(command);
        w.UpdateCommandStates();
        QVERIFY(!command->isEnabled());
        fill(w);
        w.UpdateCommandStates();
        QVERIFY(command->isEnabled());
        const QString pdf = dir_.filePath("marked.pdf");
        script(w, pdf);
        w.thumbnails()->SetChecked(0, true);
        w.thumbnails()->SetChecked(2, true);
        command->trigger();
        QCOMPARE(sheetsShown_, 1);
        QCOMPARE(pdfprobe::info(pdf).pages, 1);
        QString text = pdfprobe::text(pdf);
        QVERIFY2(text.contains("p0.png") && text.contains("p2.png") && text.contains("50 x 20"), qPrintable(text));
        QVERIFY(!text.contains("p1.png"));
        // none marked: every item
        w.thumbnails()->SetChecked(0, false);
        w.thumbnails()->SetChecked(2, false);
        command->trigger();
        text = pdfprobe::text(pdf);
        QVERIFY(text.contains("p0.png") && text.contains("p1.png") && text.contains("p2.png"));
    }
};

QTEST_MAIN(TestViewerPrinting)
#include "tst_viewerprinting.moc"
