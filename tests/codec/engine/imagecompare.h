#pragma once
// Pixel agreement of two RGB pictures.

#include <QImage>

struct ImageComparison {
    bool sameSize = false;
    int maxDifference = 255;  // largest channel difference
    double psnr = 0;          // dB; 99 for identical pictures
};

ImageComparison compareImages(const QImage& a, const QImage& b);
