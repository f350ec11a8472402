#include "annotationsave.h"

#include "annotationfile.h"
#include "pmultiimage.h"

#include "platform/fileops.h"

#include <QFileInfo>

namespace {

bool isTiff(const QString& file)
{
    const QString ext = QFileInfo(file).suffix().toLower();
    return ext == QLatin1String("tif") || ext == QLatin1String("tiff");
}

enum class PageMode { Whole, Append, Insert, Replace };

PageMode pageModeOf(const QString& file, const SaveDialogOptions& dialog, bool fileExisted)
{
    if (!isTiff(file) || !dialog.TIFFAppended || !fileExisted)
        return PageMode::Whole;
    switch (dialog.TIFFARI) {
    case 1: return PageMode::Insert;
    case 2: return PageMode::Replace;
    default: return PageMode::Append;
    }
}

}  // namespace

TBitmap PictureForSaving(const TPMultiImage& image)
{
    TBitmap picture = image.Picture();
    if (image.EmbedAnnotations && image.AnnotationCount() > 0) {
        TBitmap burnt = picture;
        if (image.BurnAnnotations(burnt))
            picture = burnt;
    }
    return picture;
}

void SaveAnnotationsBeside(TPMultiImage& image, const QString& file, const SaveDialogOptions& dialog,
                           bool fileExisted)
{
    if (!image.SaveAnnotationsOnSave)
        return;
    const QString annotations = PictureAnnotationFile(file);
    const PageMode mode = pageModeOf(file, dialog, fileExisted);
    const int chosen = std::max(0, dialog.TIFFFirfPageValue - 1);
    const bool any = image.AnnotationCount() > 0;
    switch (mode) {
    case PageMode::Whole:
        if (any) {
            image.SaveAnnotations(0, annotations);
        } else if (QFileInfo::exists(annotations)) {
            fileops::makeArchiveOnly(annotations);
            fileops::removeFile(annotations);
        }
        break;
    case PageMode::Append:
        if (any)
            image.SaveAnnotations(std::max(0, dialog.TiffPageCount), annotations);
        break;
    case PageMode::Insert:
        if (QFileInfo::exists(annotations))
            image.InsertAnnotations(chosen, annotations);
        else if (any)
            image.SaveAnnotations(chosen, annotations);
        break;
    case PageMode::Replace:
        if (any || QFileInfo::exists(annotations))
            image.SaveAnnotations(chosen, annotations);
        break;
    }
}
