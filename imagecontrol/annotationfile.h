#pragma once
// The annotation file that goes with a picture file: the picture's name with
// its last "." turned into "-", then ".ant" (photo.jpg: photo-jpg.ant).

#include <QString>

QString PictureAnnotationFile(const QString& picture);

// After a picture was copied or moved from source to target: its annotation
// file goes along (written as our own file: through a temporary file, never
// through a link; a moved picture's old annotation file goes once the new
// one is written). A target picture that replaced another loses that one's
// annotation file when the source has none. False when the annotation file
// could not follow.
bool CarryAnnotationFile(const QString& source, const QString& target, bool move);

// Removes a page's annotations from an annotation file, the later pages
// moving down one (a TIFF page was deleted). False when the file is missing,
// damaged or cannot be written.
bool RemoveAnnotationPage(const QString& annotationFile, int page);
