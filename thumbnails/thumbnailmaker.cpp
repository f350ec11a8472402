#include "thumbnailmaker.h"

#include "dibminiature.h"
#include "exifthumbnail.h"
#include "ispicturefile.h"
#include "tiffdirectories.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/display.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "effects/effectcalls.h"
#include "platform/globalmem.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <cmath>

namespace {

// The codec's progress answer: 0 stops a decode under way.
int goOnUnlessStopped(int, void* sender)
{
    return static_cast<const ThumbnailMaker*>(sender)->stopped() ? 0 : 1;
}

QString upperTypeOf(const QString& path)
{
    QString ext = paths::extension(path).toUpper();
    ext.remove('.');
    return ext;
}

void takeTiffPageFacts(const TiffPageInfo& info, Th& facts)
{
    facts.Width = info.width;
    facts.Height = info.height;
    facts.Bits = qint16(info.bits);
    facts.PixelCode = quint8(PixelFormatCode(info.bits));
    facts.Compression = info.compression;
    facts.Planes = 1;
    facts.Colors = 0;
}

QDateTime modificationTime(const QFileInfo& info)
{
    QDateTime t = info.lastModified();
    return t.addMSecs(-t.time().msec());   // whole seconds
}

}  // namespace

ThumbnailMaker::ThumbnailMaker(Settings settings) : settings_(std::move(settings)) {}

bool ThumbnailMaker::stopped() const
{
    return settings_.stop && settings_.stop->load();
}

ThumbnailMaker::Items ThumbnailMaker::make(const QString& path) const
{
    Items out;
    if (!IsPictureFile(path) || stopped())
        return out;
    const QString type = upperTypeOf(path);
    Th facts;
    facts.FormatName = type;
    int pages = 1;
    int pageCount = 0;
    if (type == "TIFF" || type == "TIF") {
        TiffPageInfo info;
        if (!ReadTiffPageInfo(path, 0, info))
            return out;
        takeTiffPageFacts(info, facts);
        pages = std::max(1, info.pages);
        pageCount = info.pages;
    } else if (type != "WMF" && type != "EMF" && type != "ICO") {
        PictureFileInfo info;
        if (ReadFileInfo(path, info)) {
            if (type == "JPG" || type == "JPEG") {
                facts.Width = info.width;
                facts.Height = info.height;
            }
            facts.Bits = qint16(info.bits);
            facts.Planes = qint16(info.planes);
            facts.Colors = qint16(info.colors);
            facts.Compression = info.compression;
            facts.PixelCode = quint8(PixelFormatCode(info.bits));
        }
    }
    if (type == "ICO") {
        addIcon(path, facts, out);
    } else if (type == "WMF" || type == "EMF") {
        TMetafile metafile;
        TBitmap bitmap;
        if (metafile.LoadFromFile(path) && MetafileToBitmap(&bitmap, &metafile, false)) {
            facts.Width = metafile.Width();
            facts.Height = metafile.Height();
            facts.Bits = qint16(DeviceDepth());
            facts.PixelCode = quint8(PixelFormatCode(facts.Bits));
            facts.Planes = 1;
            facts.Colors = 0;
            addMiniature(path, 0, 0, facts, bitmap, out);
        }
    } else {
        for (int p = 0; p < pages && !stopped(); ++p)
            if (!makePage(path, type, p, pageCount, facts, out))
                break;
    }
    return out;
}


int ThumbnailMaker::jpegScaleFor(int width, int height) const
{
    for (int scale : {8, 4, 2})
        if (width / scale >= 2 * settings_.width && height / scale >= 2 * settings_.height)
            return scale;
    return 1;
}


TBitmap ThumbnailMaker::DecodeFile(const QString& path, const QString& type, int page, int scale) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    try {
        return DecodeStream(file.readAll(), type, page, scale);
    } catch (const std::exception&) {
        return {};
    }
}


TBitmap ThumbnailMaker::DecodeStream(const QByteArray& stream, const QString& type, int page, int scale) const
{
    return bitmapOf(decodeDib(stream, type, page, scale));
}


GlobalHandle ThumbnailMaker::decodeDib(const QByteArray& stream, const QString& type, int page, int scale) const
{
    if (stream.isEmpty())
        return nullptr;
    const int bits = DeviceDepth();
    const void* data = stream.constData();
    const qint64 size = stream.size();
    void* sender = const_cast<ThumbnailMaker*>(this);
    GlobalHandle dib = nullptr;
    const QString t = type.toUpper();
    bool ok = false;
    if (t == "JPG" || t == "JPEG")
        ok = ReadJpgStreamDibScaled(data, size, bits, false, scale, dib, sender, goOnUnlessStopped);
    else if (t == "PCD")
        ok = ReadPcdStreamDib(data, size, bits, false, pcd_BASE4, dib, sender, goOnUnlessStopped);
    else if (t == "PNG")
        ok = ReadPngStreamDib(data, size, bits, false, dib, sender, goOnUnlessStopped);
    else if (t == "GIF")
        ok = ReadGifStreamDib(data, size, bits, false, dib, sender, goOnUnlessStopped);
    else if (t == "TIF" || t == "TIFF")
        ok = ReadTiffStreamDib(data, size, bits, false, page, dib, sender, goOnUnlessStopped);
    else if (t == "PCX")
        ok = ReadPcxStreamDib(data, size, bits, false, dib, sender, goOnUnlessStopped);
    else if (t == "TGA")
        ok = ReadTgaStreamDib(data, size, bits, false, dib, sender, goOnUnlessStopped);
    else if (t == "BMP" || t == "DIB")
        ok = ReadBmpStreamDib(data, size, bits, false, dib, sender, goOnUnlessStopped);
    else if (t == "EPS")
        ok = ReadEpsStreamDib(data, size, bits, false, dib, sender, goOnUnlessStopped);
    else if (t == "DCX")
        ok = ReadDcxStreamDib(data, size, bits, false, page, dib, sender, goOnUnlessStopped);
    if (ok && dib && globalmem::size(dib) > 0)
        return dib;
    FreeDIB(dib);
    return nullptr;
}


// Takes the DIB and frees it.
TBitmap ThumbnailMaker::bitmapOf(GlobalHandle dib)
{
    TBitmap bitmap;
    if (dib) {
        try {
            if (!DIBToGraphic(dib, bitmap))
                bitmap.clear();
        } catch (const std::exception&) {
            bitmap.clear();
        }
    }
    FreeDIB(dib);
    return bitmap;
}


TBitmap ThumbnailMaker::MakeThumbnail(int w, int h, const TBitmap& source) const
{
    if (source.empty())
        return {};
    TBitmap src = source;
    if (src.pixelFormat() != pf24bit)
        src.setPixelFormat(pf24bit);
    if (source.monochrome() || settings_.antiAliased)
        src = smoothlyScaled(src, w, h, source.monochrome());
    QImage cell(settings_.width, settings_.height, QImage::Format_RGB888);
    cell.fill(settings_.fillColor);
    QPainter p(&cell);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);   // colour-on-colour stretching
    const QRect target((settings_.width - w) / 2, (settings_.height - h) / 2, w, h);
    p.drawImage(target, src.image());
    p.end();
    return TBitmap(cell, pf24bit);
}


TBitmap ThumbnailMaker::smoothlyScaled(const TBitmap& source, int w, int h, bool grey) const
{
    GlobalHandle dib = nullptr;
    GlobalHandle scaled = nullptr;
    TBitmap result = source;
    try {
        dib = GraphicToDIBDepth(&source, 24, false, nullptr, nullptr);
        if (dib)
            scaled = grey ? ScaleToGray(dib, S_Gray_Anti_16, w, h) : ScaleDib(dib, w, h, 24);
        if (scaled) {
            std::unique_ptr<TBitmap> b = DIBToBitmap(scaled, grey ? 8 : 24, false, nullptr, nullptr);
            if (b && !b->empty())
                result = *b;
        }
    } catch (const std::exception&) {
        // the plain stretch below still gives a miniature
    }
    FreeDIB(scaled);
    FreeDIB(dib);
    return result;
}


QSize ThumbnailMaker::miniatureSize(int width, int height) const
{
    if (width < 1 || height < 1)
        return {};
    return width < height ? QSize(int(std::lround(double(width) * settings_.width / height)), settings_.height)
                          : QSize(settings_.width, int(std::lround(double(height) * settings_.height / width)));
}


bool ThumbnailMaker::isStrip(int width, int height)
{
    return (height > 0 && width / height > 100) || (width > 0 && height / width > 100);
}


// The picture's miniature can come from a smaller image when one is at
// least the miniature's size and of the picture's shape.
bool ThumbnailMaker::standsIn(int width, int height, int pictureWidth, int pictureHeight) const
{
    const QSize want = miniatureSize(pictureWidth, pictureHeight);
    return !isStrip(pictureWidth, pictureHeight) && want.isValid() && width >= want.width() && height >= want.height()
        && miniatureSize(width, height) == want;
}


// The thumbnail a camera embedded in the JPEG file, upright.
TBitmap ThumbnailMaker::embeddedThumbnail(const QByteArray& file, const Th& facts) const
{
    exifthumbnail::Found found;
    if (facts.Width < 1 || facts.Height < 1 || !exifthumbnail::find(file, found))
        return {};
    const TBitmap stored = DecodeStream(QByteArray::fromRawData(file.constData() + found.offset, found.length),
                                        QStringLiteral("JPEG"), 0);
    if (stored.empty())
        return {};
    const bool swapped = exifthumbnail::swapsSides(found.orientation);
    const int w = swapped ? stored.height() : stored.width(), h = swapped ? stored.width() : stored.height();
    if (!standsIn(w, h, facts.Width, facts.Height))
        return {};
    return TBitmap(exifthumbnail::upright(stored.image(), found.orientation), stored.pixelFormat());
}


// A reduced-resolution copy of the TIFF page that follows it, the smallest
// that stands in for it; the page itself when there is none.
int ThumbnailMaker::reducedTiffPage(const QByteArray& file, int page) const
{
    const std::vector<TiffDirectory> directories = TiffDirectories(file);
    if (page < 0 || page >= int(directories.size()) || directories[size_t(page)].reduced)
        return page;
    const TiffDirectory& full = directories[size_t(page)];
    int best = page;
    qint64 bestArea = qint64(full.width) * full.height;
    for (int q = page + 1; q < int(directories.size()) && directories[size_t(q)].reduced; ++q) {
        const TiffDirectory& d = directories[size_t(q)];
        const qint64 area = qint64(d.width) * d.height;
        if (area < bestArea && standsIn(d.width, d.height, full.width, full.height)) {
            best = q;
            bestArea = area;
        }
    }
    return best;
}


bool ThumbnailMaker::makePage(const QString& path, const QString& type, int page, int pageCount, Th facts, Items& out) const
{
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const bool jpeg = type == "JPG" || type == "JPEG";
    TBitmap decoded;
    // a 24-bit picture is shrunk straight from the decoder's rows
    std::unique_ptr<GlobalBlock, void (*)(GlobalHandle)> dib(nullptr, [](GlobalHandle h) { FreeDIB(h); });
    try {
        if (jpeg)
            decoded = embeddedThumbnail(bytes, facts);
        // a large JPEG is decoded smaller; the item keeps its true size
        const int scale = jpeg && facts.Width > 0 && facts.Height > 0 ? jpegScaleFor(facts.Width, facts.Height) : 1;
        const int source = pageCount > 0 ? reducedTiffPage(bytes, page) : page;
        if (decoded.empty())
            dib.reset(decodeDib(bytes, type, source, scale));
        if (dib && (settings_.antiAliased || !dibminiature::sizeOf(dib.get()).isValid()))
            decoded = bitmapOf(dib.release());
    } catch (const std::exception&) {
        decoded.clear();
        dib.reset();
    }
    if (dib) {
        updateTiffFacts(path, page, pageCount, facts);
        return addMiniature(path, page, pageCount, facts, dib.release(), out);
    }
    if (decoded.empty() && settings_.decodeByContent) {
        TBitmap byContent;
        if (settings_.decodeByContent(path, byContent))
            decoded = byContent;
    }
    if (decoded.empty())
        return false;
    updateTiffFacts(path, page, pageCount, facts);
    return addMiniature(path, page, pageCount, facts, decoded, out);
}


void ThumbnailMaker::updateTiffFacts(const QString& path, int page, int pageCount, Th& facts) const
{
    TiffPageInfo info;
    if (pageCount > 0 && ReadTiffPageInfo(path, page, info))
        takeTiffPageFacts(info, facts);
}


// Takes the DIB; a strip is cut the general way.
bool ThumbnailMaker::addMiniature(const QString& path, int page, int pageCount, Th facts, GlobalHandle dib,
                                  Items& out) const
{
    const QSize picture = dibminiature::sizeOf(dib);
    if (facts.Width < 1 || facts.Height < 1) {
        facts.Width = picture.width();
        facts.Height = picture.height();
    }
    if (isStrip(facts.Width, facts.Height))
        return addMiniature(path, page, pageCount, facts, bitmapOf(dib), out);
    if (facts.PixelCode == 0)
        facts.PixelCode = quint8(pf24bit);
    const QImage miniature = dibminiature::make(dib, QSize(settings_.width, settings_.height),
                                                miniatureSize(picture.width(), picture.height()), settings_.fillColor);
    FreeDIB(dib);
    return !miniature.isNull() && addItem(path, page, pageCount, std::move(facts), TBitmap(miniature, pf24bit), out);
}


bool ThumbnailMaker::addMiniature(const QString& path, int page, int pageCount, Th facts, TBitmap decoded, Items& out) const
{
    if (facts.Width < 1 || facts.Height < 1) {
        facts.Width = decoded.width();
        facts.Height = decoded.height();
    }
    // Very long strips: keep the top-left part with sides at most 1:100.
    int w = facts.Width, h = facts.Height;
    while (isStrip(w, h)) {
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    if (w != facts.Width || h != facts.Height)
        decoded = TBitmap(decoded.image().copy(0, 0, std::min(w, decoded.width()), std::min(h, decoded.height())),
                          decoded.pixelFormat());
    if (facts.PixelCode == 0)
        facts.PixelCode = quint8(decoded.pixelFormat());
    const QSize size = miniatureSize(decoded.width(), decoded.height());
    TBitmap miniature = MakeThumbnail(size.width(), size.height(), decoded);
    return !miniature.empty() && addItem(path, page, pageCount, std::move(facts), miniature, out);
}


bool ThumbnailMaker::addItem(const QString& path, int page, int pageCount, Th facts, const TBitmap& miniature,
                             Items& out) const
{
    auto item = std::make_unique<Th>(std::move(facts));
    item->Bitmap = miniature;
    item->FileName = path;
    item->PageIndex = page;
    item->PageCount = pageCount;
    item->Checked = false;
    const QFileInfo info(path);
    item->FileSize = info.size();
    item->FileDate = modificationTime(info);
    out.push_back(std::move(item));
    return true;
}


// Bits, planes and colours from an icon's first directory entry count.
namespace {

void iconDepth(quint16 n, Th& facts)
{
    struct Step { quint32 upTo; quint8 code; qint16 bits; };
    static const Step steps[] = {{2, 1, 1}, {4, 2, 2}, {8, 2, 3}, {16, 2, 4}, {64, 3, 6}, {256, 3, 8}, {32768, 4, 15}};
    facts.Colors = qint16(n);
    if (n == 0) {
        facts.PixelCode = 8;
        facts.Bits = 0;
        return;
    }
    for (const Step& s : steps)
        if (n <= s.upTo) {
            facts.PixelCode = s.code;
            facts.Bits = s.bits;
            return;
        }
    facts.PixelCode = 5;
    facts.Bits = 16;
}

}  // namespace


bool ThumbnailMaker::addIcon(const QString& path, Th facts, Items& out) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(22);
    if (head.size() < 22)
        return false;
    const auto* e = reinterpret_cast<const uchar*>(head.constData()) + 6;
    const int width = e[0], height = e[1];
    if (width == 0 || height == 0)
        return false;
    QImageReader reader(path, "ico");
    const QImage icon = reader.read();
    if (icon.isNull())
        return false;
    QImage canvas(width, height, QImage::Format_RGB888);
    canvas.fill(settings_.fillColor);
    QPainter(&canvas).drawImage(0, 0, icon);
    iconDepth(quint16(e[2] | (e[3] << 8)), facts);
    facts.Planes = 1;
    facts.Compression = QStringLiteral("None");
    facts.Width = width;
    facts.Height = height;
    const int code = facts.PixelCode;
    TBitmap bitmap(canvas, pf24bit);
    if (code == 1 || code == 2 || code == 3 || code == 6)
        bitmap.setPixelFormat(TPixelFormat(code));
    return addMiniature(path, 0, 0, facts, bitmap, out);
}

