#pragma once
// PrintImage of the picture control: the picture (its annotations burnt in
// when asked) stretched into a printer rectangle, as one page.

#include "printjob.h"

#include <QImage>
#include <functional>

class QPainter;
class QPrinter;
class QWidget;
class TPMultiImage;

// Burns the control's annotations into a copy of its picture; empty: the
// control's own annotation layer burns them.
using AnnotationBurner = std::function<QImage(const TPMultiImage& image, const QImage& picture)>;

// The picture as it goes to the printer: the control's bitmap with its
// annotations burnt in when PrintAnnotations is set and it holds any;
// 16-bit pictures at 24 bits. Null without a bitmap.
QImage PrintablePicture(const TPMultiImage& image, const AnnotationBurner& burn);

// Stretches the picture's full area to (X, Y, Width, Height) with a plain
// copy; a width or height below 1 means the picture's own size.
void DrawPrintPicture(QPainter& painter, const QImage& picture, int X, int Y, int Height, int Width);

// With the control's P_Begin_End_Doc a job of one page of its own (drawn on
// a worker, with progress and "Abbrechen"); without it the picture goes
// onto openJob, the caller's painter on its own job, and the outcome is
// Printed. A control without a bitmap prints nothing (Failed, no message).
PrintOutcome PrintImage(TPMultiImage& image, QPrinter& printer, int X, int Y, int Height, int Width,
                        const AnnotationBurner& burn, QWidget* owner, QPainter* openJob = nullptr);
