#pragma once
// Pictures, files and outside tools shared by the writer tests.

#include <QImage>
#include <QString>
#include <QStringList>

#include "platform/globalmem.h"

namespace writertestkit {

// A photo-like picture: smooth gradients with fine noise, thousands of colours.
QImage photo(int w, int h, int seed = 1);
// A picture of exactly `colours` colours (at most 256) in blocks.
QImage blocks(int w, int h, int colours);
// A packed DIB of the image at 1, 4, 8 or 24 bits; for 1, 4 and 8 bits the
// image has at most 2, 16 or 256 colours.
GlobalHandle dibOf(const QImage& image, int bits);

QByteArray readAll(const QString& path);
// Names in the folder, hidden ones too.
QStringList entries(const QString& folder);

// Runs a program; its standard output, or a null array when it failed.
QByteArray run(const QString& program, const QStringList& args);
// ImageMagick's identify -format FORMAT of the file (page 0).
QString identify(const QString& path, const QString& format);
// "Compression Scheme" of each page as tiffinfo names it.
QStringList tiffinfoCompressions(const QString& path);

// Our decoder (through the binding, at 24 bits) of a file by extension.
QImage ourDecode(const QString& path, int page = 0);

// Largest channel difference of two pictures of one size; 256 when sizes differ.
int maxDifference(const QImage& a, const QImage& b);
double psnr(const QImage& a, const QImage& b);

}  // namespace writertestkit
