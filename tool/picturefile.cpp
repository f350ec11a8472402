#include "picturefile.h"

#include "toolerror.h"

#include "codec/binding/dibconvert.h"

#include <QFileInfo>

namespace {

struct KindByExtension {
    const char* ext;
    PictureFile::Kind kind;
};

constexpr KindByExtension kKinds[] = {
    {"jpg", PictureFile::Jpeg},     {"jpeg", PictureFile::Jpeg}, {"png", PictureFile::Png},
    {"gif", PictureFile::Gif},      {"bmp", PictureFile::Bmp},   {"dib", PictureFile::Bmp},
    {"pcx", PictureFile::Pcx},      {"tga", PictureFile::Tga},   {"tif", PictureFile::Tiff},
    {"tiff", PictureFile::Tiff},    {"eps", PictureFile::Eps},   {"pcd", PictureFile::Pcd},
    {"dxf", PictureFile::Dxf},      {"wmf", PictureFile::Metafile}, {"emf", PictureFile::Metafile},
    {"ico", PictureFile::Icon},
};

}  // namespace

PictureFile::Kind PictureFile::kindOf(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    for (const KindByExtension& k : kKinds) {
        if (ext == QLatin1String(k.ext))
            return k.kind;
    }
    return Unknown;
}

PictureFile::PictureFile(const QString& path)
    : path_(path)
    , kind_(kindOf(path))
{
    const QFileInfo fi(path);
    if (!fi.exists())
        throw ToolError::failure(QStringLiteral("%1: no such file").arg(path));
    if (!fi.isFile())
        throw ToolError::failure(QStringLiteral("%1: not a file").arg(path));
    size_ = fi.size();
    if (kind_ == Metafile || kind_ == Icon)
        throw ToolError::failure(QStringLiteral("%1: metafiles and icons are not supported yet").arg(path));
    if (kind_ == Unknown)
        throw ToolError::failure(QStringLiteral("%1: not a picture type glimra-tool reads").arg(path));
}

TiffPageInfo PictureFile::tiffInfo(int page)
{
    TiffPageInfo t;
    if (!ReadTiffPageInfo(path_, page, t) || t.pages <= 0)
        throw ToolError::failure(QStringLiteral("%1: cannot read the TIFF page information").arg(path_));
    return t;
}

int PictureFile::pageCount()
{
    if (kind_ != Tiff)
        return 1;
    if (pages_ == 0)
        pages_ = tiffInfo(0).pages;
    return pages_;
}

int PictureFile::clampedPage(int page)
{
    const int last = pageCount() - 1;
    return page > last ? last : page;
}

PictureFileInfo PictureFile::info(int page)
{
    PictureFileInfo info;
    if (kind_ == Tiff) {
        const TiffPageInfo t = tiffInfo(clampedPage(page));
        info.type = QStringLiteral("TIF");
        info.width = t.width;
        info.height = t.height;
        info.bits = t.bits;
        info.compression = t.compression;
        return info;
    }
    if (kind_ == Dxf) {
        if (!ReadDxfInfo(path_, info.width, info.height, info.bits))
            throw ToolError::failure(QStringLiteral("%1: cannot read the picture information").arg(path_));
        info.type = info.compression = QStringLiteral("DXF");
        return info;
    }
    if (!ReadFileInfo(path_, info))
        throw ToolError::failure(QStringLiteral("%1: cannot read the picture information").arg(path_));
    return info;
}

TBitmap PictureFile::decode(int page, int bits)
{
    TBitmap bitmap;
    bool ok = false;
    switch (kind_) {
    case Jpeg: ok = ReadJpgFileBitmap(path_, bits, false, bitmap); break;
    case Png: ok = ReadPngFileBitmap(path_, bits, false, bitmap); break;
    case Gif: ok = ReadGifFileBitmap(path_, bits, false, bitmap); break;
    case Bmp: ok = ReadBmpFileBitmap(path_, bits, false, bitmap); break;
    case Pcx: ok = ReadPcxFileBitmap(path_, bits, false, bitmap); break;
    case Tga: ok = ReadTgaFileBitmap(path_, bits, false, bitmap); break;
    case Eps: ok = ReadEpsFileBitmap(path_, bits, false, bitmap); break;
    case Pcd: ok = ReadPcdFileBitmap(path_, bits, false, pcd_BASE4, bitmap); break;
    case Tiff: ok = ReadTiffFileBitmap(path_, bits, false, clampedPage(page), bitmap); break;
    case Dxf: {
        GlobalHandle dib = nullptr;
        QList<QRgb> palette;
        if (ReadDxfFileDdb(path_, 0, 0, dib, palette)) {
            ok = DIBToBitmap(dib, bits, false, nullptr, nullptr, bitmap);
            FreeDIB(dib);
        }
        break;
    }
    default: break;
    }
    if (!ok || bitmap.empty())
        throw ToolError::failure(QStringLiteral("%1: cannot decode the picture").arg(path_));
    return bitmap;
}
