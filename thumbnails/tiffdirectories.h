#pragma once
// The sizes of the images in a TIFF file's main chain of directories (the
// pages as the codec counts them), and which are reduced-resolution copies
// of the page before them (NewSubfileType bit 0, or SubfileType 2).

#include <QByteArray>
#include <vector>

struct TiffDirectory {
    int width = 0;
    int height = 0;
    bool reduced = false;
};

// Empty for anything but a classic TIFF; at most limit directories.
std::vector<TiffDirectory> TiffDirectories(const QByteArray& file, int limit = 4096);
