#pragma once
// Information and decoding of one picture file for the tool's commands,
// through the codec binding, chosen by the file's extension. Failures throw
// a ToolError with the one line to show.

#include "codec/binding/codecwrappers.h"
#include "codec/binding/tbitmap.h"

#include <QString>

class TIcon;
class TMetafile;

class PictureFile {
public:
    // Message: the scrolling-message (SCM) and credits (CMS) files the
    // picture control shows as moving text; described, never decoded.
    enum Kind { Jpeg, Png, Gif, Bmp, Pcx, Tga, Tiff, Eps, Pcd, Dxf, Metafile, Icon, Message, Unknown };

    // Throws when the file is missing or of a kind the tool cannot read.
    explicit PictureFile(const QString& path);

    Kind kind() const { return kind_; }
    qint64 fileSize() const { return size_; }
    // Pages of a TIFF; 1 for every other file.
    int pageCount();
    // page past the end: the last page.
    int clampedPage(int page);

    // The picture information of a page, as the programs show it: metafiles,
    // icons and message files under the picture control's type names (the
    // extension: "WMF", "EMF", "ICO", "SCM", "CMS"), also as compression.
    PictureFileInfo info(int page);
    // The picture at depth bits (0 keeps the file's own depth).
    TBitmap decode(int page, int bits);

    static Kind kindOf(const QString& path);

private:
    TiffPageInfo tiffInfo(int page);
    QString controlTypeName() const;
    TMetafile loadMetafile() const;
    TIcon loadIcon() const;
    static bool atDepth(TBitmap& bitmap, int bits);

    QString path_;
    Kind kind_ = Unknown;
    qint64 size_ = 0;
    int pages_ = 0;
};
