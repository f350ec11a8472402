#pragma once
// The page layout of a printed picture: where the print options put a
// w x h picture on a page of PW x PH printer pixels (the printable area,
// inside the printer's margins), and the sizes of the paper preview.
// No widgets and no printer: plain arithmetic.

#include <QRect>
#include <QSize>
#include <QtGlobal>

struct PrintOptions {
    bool fitToPaper = false;       // "Auf Papiergröße anpassen"
    bool allowDistortion = false;  // "Verzerrung zulassen", only with fitToPaper
    bool center = false;           // "Zentrieren"
};

// num / den rounded to the nearest integer, halves to even; den > 0.
qint64 RoundHalfEven(qint64 num, qint64 den);

// The printer rectangle of the picture, relative to the printable area's
// top-left corner. Without fitToPaper one picture pixel is one printer
// pixel; centred, a picture larger than the page gets a negative origin and
// clips on both sides. Empty for an empty picture or page.
QRect PrintRectangle(QSize picture, QSize page, const PrintOptions& options);

// The paper preview panel: side pixels along the long edge of the paper
// (200 in the print options dialog), the other edge in the page's ratio.
QSize PaperPanelSize(QSize page, bool portrait, int side = 200);

// The preview picture without fitToPaper: the picture at its printed size
// relative to the paper panel (at least one pixel each way).
QSize PreviewPictureSize(QSize picture, QSize page, QSize panel);
