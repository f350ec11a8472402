#include "printermeasures.h"

#include <QPrinter>

#include <cmath>

namespace {

// The resolution the programs give a PDF printer.
constexpr int kPdfResolution = 300;

int rounded(double value)
{
    return int(std::lround(value));
}

PrinterMeasures measuresOfDevice(const QPrinter& printer)
{
    return MeasuresFromDevice(printer.width(), printer.height(), printer.widthMM(), printer.heightMM(),
                              printer.pageLayout().orientation());
}

}  // namespace

PrinterMeasures MeasuresFromDevice(int widthPixels, int heightPixels, int widthMM, int heightMM,
                                   QPageLayout::Orientation orientation)
{
    PrinterMeasures m;
    m.pageWidth = std::max(widthPixels, 0);
    m.pageHeight = std::max(heightPixels, 0);
    m.orientation = orientation;
    if (widthMM > 0) {
        m.dpiX = rounded(m.pageWidth * 25.4 / widthMM);
        m.dpmX = rounded(double(m.pageWidth) / widthMM);
    }
    if (heightMM > 0) {
        m.dpiY = rounded(m.pageHeight * 25.4 / heightMM);
        m.dpmY = rounded(double(m.pageHeight) / heightMM);
    }
    return m;
}

PrinterMeasures PdfPrinterMeasures(const QPrinter& printer)
{
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setResolution(kPdfResolution);
    QPageLayout layout = printer.pageLayout();
    if (!layout.isValid())
        layout = pdf.pageLayout();
    pdf.setPageLayout(layout);
    return measuresOfDevice(pdf);
}

PrinterMeasures MeasuresOfPrinter(const QPrinter& printer)
{
    const PrinterMeasures m = measuresOfDevice(printer);
    return m.usable() ? m : PdfPrinterMeasures(printer);
}
