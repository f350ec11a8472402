#include "clipboardpicture.h"

#include "bmpfilewriter.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "dibcore/dibguard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>

namespace clipboardpicture {

namespace {

const QString kDibFormat = QStringLiteral("image/bmp");

// The names desktop programs offer Windows and Enhanced Metafiles under.
const QStringList& metafileFormats()
{
    static const QStringList formats{QStringLiteral("image/x-wmf"), QStringLiteral("image/wmf"),
                                     QStringLiteral("image/x-emf"), QStringLiteral("image/emf")};
    return formats;
}

QString metafileFormat(const QMimeData& data)
{
    for (const QString& format : metafileFormats())
        if (data.hasFormat(format))
            return format;
    return {};
}

// A metafile drawn into a 24-bit bitmap of its own size; empty when it is
// no metafile.
TBitmap fromMetafile(const QByteArray& bytes)
{
    TMetafile metafile;
    TBitmap bitmap;
    if (!metafile.LoadFromData(bytes))
        return bitmap;
    try {
        if (!MetafileToBitmap(&bitmap, &metafile, false))
            return {};
    } catch (const ErrorInvalid&) {
        return {};
    }
    bitmap.setPixelFormat(pf24bit);
    return bitmap;
}

QClipboard* clipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

TBitmap fromDib(const QByteArray& bytes)
{
    TBitmap bitmap;
    if (bytes.isEmpty())
        return bitmap;
    GlobalHandle handle = nullptr;
    if (!ReadBmpStreamDib(bytes.constData(), bytes.size(), 0, false, handle))
        return bitmap;
    dibcore::DibGuard dib(handle);
    if (!DIBToGraphic(dib.get(), bitmap))
        bitmap.clear();
    return bitmap;
}

// A picture format Qt reads, other than the DIB.
QString otherPictureFormat(const QMimeData& data)
{
    const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    for (const QString& format : data.formats()) {
        if (format != kDibFormat && readable.contains(format.toLatin1()))
            return format;
    }
    return {};
}

}  // namespace

bool copy(const TBitmap& bitmap)
{
    QClipboard* board = clipboard();
    if (!board || bitmap.empty())
        return false;
    dibcore::DibGuard dib(GraphicToDIB(&bitmap));
    auto* data = new QMimeData;
    const QByteArray bmp = BmpFileBytes(dib.get());
    if (!bmp.isEmpty())
        data->setData(kDibFormat, bmp);
    data->setImageData(bitmap.image());
    board->setMimeData(data);
    return true;
}

bool offersPicture()
{
    const QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData() : nullptr;
    return data && (!metafileFormat(*data).isEmpty() || data->hasFormat(kDibFormat) || data->hasImage()
                    || !otherPictureFormat(*data).isEmpty());
}

TBitmap paste()
{
    const QClipboard* board = clipboard();
    const QMimeData* data = board ? board->mimeData() : nullptr;
    if (!data)
        return {};
    if (const QString metafile = metafileFormat(*data); !metafile.isEmpty())
        return fromMetafile(data->data(metafile));
    if (data->hasFormat(kDibFormat))
        return fromDib(data->data(kDibFormat));
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (image.isNull())
            return {};
        const TPixelFormat format = TBitmap::pixelFormatOf(image);
        return TBitmap(image, format == pfCustom ? pf32bit : format);
    }
    const QString other = otherPictureFormat(*data);
    if (other.isEmpty())
        return {};
    const QImage image = QImage::fromData(data->data(other));
    return image.isNull() ? TBitmap() : TBitmap(image, pf24bit);
}

}  // namespace clipboardpicture
