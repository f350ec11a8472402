#include "thumbnailappearance.h"

namespace {
qint32 validThumbnailSize(qint32 v)
{
    return (v < 32 || v > 300) ? 100 : v;
}
}  // namespace

void ThumbnailAppearance::applySizeRule()
{
    diax = validThumbnailSize(diax);
    diay = validThumbnailSize(diay);
    diay = diax;
}
