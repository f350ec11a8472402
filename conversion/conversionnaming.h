#pragma once
// Names and sizes of converted pictures.

#include <QSize>
#include <QString>

// folder + the source's file name with ext (no dot) as its extension; a
// TIFF source gets "_Seite_" + (page + 1) before the extension.
QString ConversionTargetName(const QString& source, int page, const QString& folder, const QString& ext);
bool IsTiffName(const QString& path);
// wanted fitted to the picture's proportions: the side that would stretch
// the picture more is reduced.
QSize FitKeepingAspect(QSize wanted, QSize picture);
// The annotation file of a picture: its last "." turned into "-", then ".ant".
QString AnnotationFileOf(const QString& picture);
