#include "picturefile.h"

#include "toolerror.h"

#include "codec/binding/dibconvert.h"
#include "codec/binding/display.h"
#include "codec/icon/ticon.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"

#include <QFileInfo>
#include <QPainter>

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
    {"ico", PictureFile::Icon},     {"scm", PictureFile::Message}, {"cms", PictureFile::Message},
};

// The failure line, with the codec's reason when it gave one.
ToolError codecFailure(const QString& text)
{
    const QString reason = CodecFailureReason();
    return ToolError::failure(reason.isEmpty() ? text : text + QStringLiteral(": ") + reason);
}

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
    if (kind_ == Unknown)
        throw ToolError::failure(QStringLiteral("%1: not a picture type glimra-tool reads").arg(path));
}

TMetafile PictureFile::loadMetafile() const
{
    TMetafile metafile;
    if (!metafile.LoadFromFile(path_))
        throw ToolError::failure(QStringLiteral("%1: cannot read the metafile: %2").arg(path_, metafile.Error()));
    return metafile;
}

TIcon PictureFile::loadIcon() const
{
    TIcon icon;
    if (!icon.LoadFromFile(path_))
        throw ToolError::failure(QStringLiteral("%1: cannot read the icon: %2").arg(path_, icon.Error()));
    return icon;
}

// The bitmap brought to bits the way the binding's wrappers do it: as a
// DIB through the codec and effects modules.
bool PictureFile::atDepth(TBitmap& bitmap, int bits)
{
    if (bits == 24 && bitmap.pixelFormat() == pf24bit)
        return true;
    const GlobalHandle dib = GraphicToDIB(&bitmap);
    const bool ok = dib && DIBToBitmap(dib, bits, false, nullptr, nullptr, bitmap);
    FreeDIB(dib);
    return ok;
}

TiffPageInfo PictureFile::tiffInfo(int page)
{
    TiffPageInfo t;
    if (!ReadTiffPageInfo(path_, page, t) || t.pages <= 0)
        throw codecFailure(QStringLiteral("%1: cannot read the TIFF page information").arg(path_));
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

// The picture control's type name of a file it does not decode itself: its
// extension in capitals.
QString PictureFile::controlTypeName() const
{
    return QFileInfo(path_).suffix().toUpper();
}

PictureFileInfo PictureFile::info(int page)
{
    PictureFileInfo info;
    if (kind_ == Message) {
        info.type = info.compression = controlTypeName();
        return info;
    }
    if (kind_ == Tiff) {
        const TiffPageInfo t = tiffInfo(clampedPage(page));
        info.type = QStringLiteral("TIF");
        info.width = t.width;
        info.height = t.height;
        info.bits = t.bits;
        info.compression = t.compression;
        return info;
    }
    if (kind_ == Metafile) {
        const TMetafile metafile = loadMetafile();
        info.type = info.compression = controlTypeName();
        info.width = metafile.Width();
        info.height = metafile.Height();
        info.bits = DeviceDepth();
        info.planes = 1;
        return info;
    }
    if (kind_ == Icon) {
        const TIcon icon = loadIcon();
        const IconEntry& shown = *icon.Shown();
        info.type = info.compression = controlTypeName();
        info.width = icon.Width();
        info.height = icon.Height();
        info.bits = shown.imageBits;
        info.planes = 1;
        info.colors = shown.imageColors;
        return info;
    }
    if (kind_ == Dxf) {
        if (!ReadDxfInfo(path_, info.width, info.height, info.bits))
            throw ToolError::failure(QStringLiteral("%1: cannot read the picture information").arg(path_));
        info.type = info.compression = QStringLiteral("DXF");
        return info;
    }
    if (!ReadFileInfo(path_, info))
        throw codecFailure(QStringLiteral("%1: cannot read the picture information").arg(path_));
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
    case Metafile: {
        const TMetafile metafile = loadMetafile();
        ok = MetafileToBitmap(&bitmap, &metafile, false) && atDepth(bitmap, bits == 0 ? 24 : bits);
        break;
    }
    case Message:
        throw ToolError::failure(QStringLiteral("%1: a message file, not a picture").arg(path_));
    case Icon: {
        const TIcon icon = loadIcon();
        // drawn on white, at the entry's own depth when that is a palette depth
        QImage canvas(icon.Width(), icon.Height(), QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter(&canvas).drawImage(0, 0, icon.Picture());
        bitmap = TBitmap(canvas, pf24bit);
        const int own = icon.Shown()->imageBits;
        ok = atDepth(bitmap, bits != 0 ? bits : own == 1 || own == 4 || own == 8 ? own : 24);
        break;
    }
    default: break;
    }
    if (!ok || bitmap.empty())
        throw codecFailure(QStringLiteral("%1: cannot decode the picture").arg(path_));
    return bitmap;
}
