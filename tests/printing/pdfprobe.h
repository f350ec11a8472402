#pragma once
// Looks into printed PDF files with poppler's tools (pdfinfo, pdftoppm,
// pdftotext).

#include <QImage>
#include <QRect>
#include <QSizeF>
#include <QString>

namespace pdfprobe {

struct Info {
    int pages = 0;
    QSizeF pagePoints;   // of the first page
};

// pages 0 when pdfinfo could not read the file
Info info(const QString& pdf);
// One page (from 1) rendered at dpi; null on failure.
QImage page(const QString& pdf, int number, int dpi);
// The text of the whole file.
QString text(const QString& pdf);
// The smallest rectangle holding every pixel with a channel below
// threshold, within area (the whole image when empty).
QRect inkBox(const QImage& image, QRect area = {}, int threshold = 200);

}  // namespace pdfprobe
