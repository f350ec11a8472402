#pragma once
// The annotation file that goes with a picture file: the picture's name with
// its last "." turned into "-", then ".ant" (photo.jpg: photo-jpg.ant).

#include <QString>

QString PictureAnnotationFile(const QString& picture);
