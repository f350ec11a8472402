// The page layout arithmetic of printing and of contact sheets, against
// rectangles worked out by hand.
#include "printing/contactsheetlayout.h"
#include "printing/pagelayout.h"

#include <QtTest>

namespace {
const PrintOptions kNatural{false, false, false};
const PrintOptions kCentred{false, false, true};
const PrintOptions kFit{true, false, false};
const PrintOptions kFitCentred{true, false, true};
const PrintOptions kDistorted{true, true, true};
const PrintOptions kDistortionOnly{false, true, false};
const QSize kPortrait(4800, 6600);
const QSize kLandscape(6600, 4800);
}  // namespace

Q_DECLARE_METATYPE(PrintOptions)

class PageLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void printRectangle_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("page");
        QTest::addColumn<PrintOptions>("options");
        QTest::addColumn<QRect>("expected");
        // portrait page
        QTest::newRow("fit centred") << QSize(3000, 2000) << kPortrait << kFitCentred << QRect(0, 1700, 4800, 3200);
        QTest::newRow("fit") << QSize(3000, 2000) << kPortrait << kFit << QRect(0, 0, 4800, 3200);
        QTest::newRow("natural centred") << QSize(3000, 2000) << kPortrait << kCentred << QRect(900, 2300, 3000, 2000);
        QTest::newRow("natural") << QSize(3000, 2000) << kPortrait << kNatural << QRect(0, 0, 3000, 2000);
        QTest::newRow("distorted") << QSize(3000, 2000) << kPortrait << kDistorted << QRect(0, 0, 4800, 6600);
        QTest::newRow("distortion without fit") << QSize(3000, 2000) << kPortrait << kDistortionOnly
                                                << QRect(0, 0, 3000, 2000);
        QTest::newRow("tall fit centred") << QSize(2000, 3000) << kPortrait << kFitCentred
                                          << QRect(200, 0, 4400, 6600);
        QTest::newRow("same ratio") << QSize(48, 66) << kPortrait << kFitCentred << QRect(0, 0, 4800, 6600);
        QTest::newRow("one pixel") << QSize(1, 1) << kPortrait << kNatural << QRect(0, 0, 1, 1);
        QTest::newRow("one pixel centred") << QSize(1, 1) << kPortrait << kCentred << QRect(2399, 3299, 1, 1);
        // larger than the page: clips on both sides, halves truncated toward zero
        QTest::newRow("too large centred") << QSize(6001, 8000) << kPortrait << kCentred
                                           << QRect(-600, -700, 6001, 8000);
        // landscape page
        QTest::newRow("landscape fit centred") << QSize(3000, 2000) << kLandscape << kFitCentred
                                               << QRect(0, 200, 6600, 4400);
        QTest::newRow("landscape tall fit centred") << QSize(2000, 3000) << kLandscape << kFitCentred
                                                    << QRect(1700, 0, 3200, 4800);
        QTest::newRow("landscape natural centred") << QSize(3000, 2000) << kLandscape << kCentred
                                                   << QRect(1800, 1400, 3000, 2000);
        QTest::newRow("landscape distorted") << QSize(3000, 2000) << kLandscape << kDistorted
                                             << QRect(0, 0, 6600, 4800);
        // nearest with halves to even: 2.5 -> 2, 7.5 -> 8, 1.67 -> 2
        QTest::newRow("half down to even") << QSize(4, 1) << QSize(10, 10) << kFit << QRect(0, 0, 10, 2);
        QTest::newRow("half up to even") << QSize(4, 3) << QSize(10, 10) << kFit << QRect(0, 0, 10, 8);
        QTest::newRow("two thirds") << QSize(3, 1) << QSize(5, 10) << kFit << QRect(0, 0, 5, 2);
        // products past 32 bits stay exact
        QTest::newRow("huge") << QSize(100000, 50000) << QSize(60000, 90000) << kFitCentred
                              << QRect(0, 30000, 60000, 30000);
        QTest::newRow("empty picture") << QSize(0, 10) << kPortrait << kFitCentred << QRect();
    }

    void printRectangle()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, page);
        QFETCH(PrintOptions, options);
        QFETCH(QRect, expected);
        QCOMPARE(PrintRectangle(picture, page, options), expected);
    }

    void roundHalfEven()
    {
        QCOMPARE(RoundHalfEven(5, 2), 2);
        QCOMPARE(RoundHalfEven(7, 2), 4);
        QCOMPARE(RoundHalfEven(10, 4), 2);
        QCOMPARE(RoundHalfEven(11, 4), 3);
        QCOMPARE(RoundHalfEven(-5, 2), -2);
        QCOMPARE(RoundHalfEven(-7, 2), -4);
        QCOMPARE(RoundHalfEven(-8, 3), -3);
    }

    void paperPreview()
    {
        // 4800 x 200 / 6600 = 145.45
        QCOMPARE(PaperPanelSize(kPortrait, true), QSize(145, 200));
        QCOMPARE(PaperPanelSize(kLandscape, false), QSize(200, 145));
        QCOMPARE(PaperPanelSize(QSize(1, 400), true), QSize(0, 200));   // 0.5 -> 0
        QCOMPARE(PaperPanelSize(QSize(3, 400), true), QSize(2, 200));   // 1.5 -> 2
        QCOMPARE(PaperPanelSize(QSize(0, 400), true), QSize());
        // 3000 x 145 / 4800 = 90.6, 2000 x 200 / 6600 = 60.6
        QCOMPARE(PreviewPictureSize(QSize(3000, 2000), kPortrait, QSize(145, 200)), QSize(91, 61));
        QCOMPARE(PreviewPictureSize(QSize(3000, 2000), kLandscape, QSize(200, 145)), QSize(91, 60));
        QCOMPARE(PreviewPictureSize(QSize(1, 1), kPortrait, QSize(145, 200)), QSize(1, 1));
    }

    void contactSheetCells()
    {
        // A4 at 300 dpi inside 10 mm margins, 5 mm gaps, two 39-pixel lines
        const ContactSheetLayout l({QSize(2244, 3272), 4, 59, 2, 39});
        QCOMPARE(l.cellWidth(), 516);    // (2244 - 3 x 59) / 4
        QCOMPARE(l.cellHeight(), 594);   // 516 + 2 x 39
        QCOMPARE(l.rowsPerPage(), 5);    // (3272 + 59) / (594 + 59)
        QCOMPARE(l.perPage(), 20);
        QCOMPARE(l.pageCount(0), 0);
        QCOMPARE(l.pageCount(20), 1);
        QCOMPARE(l.pageCount(21), 2);
        QCOMPARE(l.pageCount(30), 2);
        QCOMPARE(l.pageOf(19), 0);
        QCOMPARE(l.pageOf(20), 1);
        QCOMPARE(l.cell(0), QRect(0, 0, 516, 594));
        QCOMPARE(l.cell(13), QRect(575, 1959, 516, 594));   // row 3, column 1
        QCOMPARE(l.cell(21), QRect(575, 0, 516, 594));      // second page, row 0, column 1
        QCOMPARE(l.pictureArea(13), QRect(575, 1959, 516, 516));
        QCOMPARE(l.captionLine(13, 0), QRect(575, 2475, 516, 39));
        QCOMPARE(l.captionLine(13, 1), QRect(575, 2514, 516, 39));
        // 1920 x 1280 fitted: 516 x 344, standing on the caption (1959 + 516 - 344)
        QCOMPARE(l.pictureRect(13, QSize(1920, 1280)), QRect(575, 2131, 516, 344));
        // a tall picture: 2560 x 3837 -> 344 x 516 (344.3), 86 from the cell's left
        QCOMPARE(l.pictureRect(13, QSize(2560, 3837)), QRect(661, 1959, 344, 516));
    }

    void contactSheetLimits()
    {
        // landscape: more columns per row, fewer rows
        const ContactSheetLayout wide({QSize(3272, 2244), 6, 59, 2, 39});
        QCOMPARE(wide.cellWidth(), 496);   // (3272 - 5 x 59) / 6
        QCOMPARE(wide.rowsPerPage(), 3);   // (2244 + 59) / (574 + 59)
        QCOMPARE(wide.pageCount(30), 2);
        // more columns than the page holds: each cell keeps a pixel
        const ContactSheetLayout narrow({QSize(10, 100), 8, 5, 0, 0});
        QCOMPARE(narrow.columns(), 2);
        QCOMPARE(narrow.cellWidth(), 2);
        // a cell taller than the page still gets one row
        const ContactSheetLayout tall({QSize(100, 50), 1, 0, 2, 10});
        QCOMPARE(tall.rowsPerPage(), 1);
        QCOMPARE(tall.pageCount(3), 3);
        // without captions the cells are square
        const ContactSheetLayout bare({QSize(400, 400), 2, 0, 0, 20});
        QCOMPARE(bare.cellHeight(), 200);
        QCOMPARE(bare.perPage(), 4);
    }
};

QTEST_APPLESS_MAIN(PageLayoutTest)
#include "tst_pagelayout.moc"
