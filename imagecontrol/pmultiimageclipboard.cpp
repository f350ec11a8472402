// TPMultiImage: copy, cut and paste through the clipboard.

#include "pmultiimage.h"

#include "clipboardpicture.h"

void TPMultiImage::CopyToClipboard()
{
    clipboardpicture::copy(picture_);
}

void TPMultiImage::CutToClipboard()
{
    if (picture_.empty())
        return;
    CopyToClipboard();
    takeSnapshot();
    replacePicture(TBitmap());
}

void TPMultiImage::PasteFromClipboard()
{
    if (!clipboardpicture::offersPicture())
        return;
    if (banner_.active())
        banner_.stop();  // the message's background colour stays
    takeSnapshot();
    const TBitmap pasted = clipboardpicture::paste();
    if (pasted.empty())
        return;
    replacePicture(pasted);
}
