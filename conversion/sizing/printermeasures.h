#pragma once
// The measures of a printer the size dialog computes paper and photo
// sizes from: dots per inch and per millimetre, the page in printer pixels
// and the orientation. A printer that reports no usable size (none is
// installed, or its driver answers zero) is measured as the PDF printer.

#include <QPageLayout>

class QPrinter;

struct PrinterMeasures {
    int dpiX = 0;
    int dpiY = 0;
    int dpmX = 0;
    int dpmY = 0;
    int pageWidth = 0;   // printer pixels
    int pageHeight = 0;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;

    bool usable() const { return dpiX > 0 && dpiY > 0 && dpmX > 0 && dpmY > 0; }
};

// dpi = round(pixels x 25.4 / mm), dpm = round(pixels / mm) per direction;
// zeros where a millimetre size is not positive.
PrinterMeasures MeasuresFromDevice(int widthPixels, int heightPixels, int widthMM, int heightMM,
                                   QPageLayout::Orientation orientation);
// The printer's measures; those of the PDF printer at its usual resolution
// when the printer's are not usable.
PrinterMeasures MeasuresOfPrinter(const QPrinter& printer);
// The PDF printer with the printer's paper and orientation.
PrinterMeasures PdfPrinterMeasures(const QPrinter& printer);
