#pragma once
// A picture's annotations drawn into its slide.

#include <QPoint>
#include <QString>

class QImage;

// Draws the annotations of file's page (from the picture's annotation file)
// onto work, where the picture lies at offset with the given scale. Nothing
// happens without an annotation file or annotation layer.
void DrawSlideAnnotations(QImage& work, const QString& file, int page, QPoint offset, double scale);
