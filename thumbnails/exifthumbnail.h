#pragma once
// The thumbnail a camera stores in a JPEG file's EXIF block (APP1 "Exif",
// the second image directory's JPEGInterchangeFormat), and the first
// directory's orientation, which applies to it as to the photo.

#include <QByteArray>
#include <QImage>

namespace exifthumbnail {

struct Found {
    qsizetype offset = 0;   // of the thumbnail's JPEG data in the file
    qsizetype length = 0;
    int orientation = 1;    // 1..8 as EXIF numbers them
};

// False when the file holds no usable thumbnail. Reads only inside file.
bool find(const QByteArray& file, Found& found);

// The picture turned and mirrored to show upright by an EXIF orientation.
QImage upright(const QImage& stored, int orientation);

// True for the orientations that swap width and height (5 to 8).
bool swapsSides(int orientation);

}  // namespace exifthumbnail
