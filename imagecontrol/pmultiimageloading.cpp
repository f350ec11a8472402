// TPMultiImage: loading a file by its extension (pictures, TIFF pages,
// thumbnail files, resources, message files), its information and scanning.

#include "pmultiimage.h"

#include "flagreset.h"
#include "picturedecoder.h"

#include "codec/binding/codecstate.h"
#include "codec/binding/codecwrappers.h"
#include "codec/binding/display.h"
#include "codec/binding/messagefiles.h"

#include <QFileInfo>
#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

QString upperExtension(const QString& file)
{
    const QString suffix = QFileInfo(file).suffix();
    return suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix.toUpper();
}

QString unreadableFileText(const QString& file)
{
    return QStringLiteral("Die Datei \"%1\" konnte nicht gelesen werden.").arg(file);
}

}  // namespace

int TPMultiImage::LoadDepth() const
{
    switch (ImageReadRes) {
    case lColorVga: return 0;
    case lMonoChrome: return 1;
    case lColor16: return 4;
    case lColor256: return 8;
    case lColorTrue: return 24;
    case lAutoMatic: return DeviceDepth();
    default: return 8;
    }
}

void TPMultiImage::setImageName(const QString& name)
{
    if (loading_) {
        nextName_ = name;
        stopAsked_ = true;
        return;
    }
    const ProgressWork work(*this);
    nextName_.reset();
    loadName(name);
    while (nextName_) {
        const QString next = *std::exchange(nextName_, std::nullopt);
        stopAsked_ = false;
        stopped_ = false;
        loadName(next);
    }
}

void TPMultiImage::loadName(const QString& name)
{
    // the picture on show after a failed load is still the previous file's,
    // also when the error handler raises
    struct KeepShownName {
        TPMultiImage& c;
        QString name;
        qint16 page;
        ~KeepShownName()
        {
            if (c.loadFailed_) {
                c.imageName_ = name;
                c.tiffPage_ = page;
            }
            c.annotationsAfterNewPicture();
        }
    } keep{*this, imageName_, tiffPage_};
    annotationsBeforeNewPicture();
    imageName_ = name;
    loadFailed_ = false;
    awaitingPicture_ = false;
    ResetView = true;
    const FlagReset clearReset(ResetView);
    const bool wasModified = modified_;
    loading_ = true;
    {
        const FlagReset loaded(loading_);
        loadImageName();
    }
    modified_ = loadFailed_ && wasModified;
}

void TPMultiImage::loadImageName()
{
    const QString file = imageName_;
    const QString ext = upperExtension(file);
    if (ext != QLatin1String(".RES") && !QFileInfo(file).isFile()) {
        setPicture(TBitmap());
        return;
    }
    SetLastError(0, QString());
    reportProgress(0);
    if (ext == QLatin1String(".WMF") || ext == QLatin1String(".ICO") || ext == QLatin1String(".EMF")) {
        // the caller puts the metafile or icon into the picture itself
        EndMessageMode();
        takeSnapshot();
        awaitPicture(file, ext);
        return;
    }
    if (ext == QLatin1String(".SCM") || ext == QLatin1String(".CMS")) {
        loadMessageFile(file, ext);
        return;
    }
    if (ext == QLatin1String(".THB") || ext == QLatin1String(".THJ")) {
        loadThumbnailFile(file, ext);
        return;
    }
    if (ext == QLatin1String(".RES")) {
        loadResource(file);
        return;
    }
    loadPictureFile(file, ext);
}

bool TPMultiImage::loadMessageFile(const QString& file, const QString& ext)
{
    takeSnapshot();
    EndMessageMode();
    setPicture(TBitmap());
    MessageStyle style;
    style.fontColor = MessageFontColor;
    style.fontHeight = -MessageFont.pixelSize();
    style.fontName = MessageFont.family();
    style.fontSize = MessageFont.pointSize();
    style.bold = MessageFont.bold();
    style.italic = MessageFont.italic();
    style.underline = MessageFont.underline();
    style.strikeOut = MessageFont.strikeOut();
    style.backColor = MessageColor;
    style.speed = MessageSpeed;
    const MessageStyle before = style;
    const bool credits = ext == QLatin1String(".CMS");
    QStringList lines;
    QString message;
    const bool read = credits ? ReadCreditMessageFile(file, style, lines)
                              : ReadScrollingMessageFile(file, style, message);
    if (!read) {
        reportError(unreadableFileText(file));
        return false;
    }
    applyMessageStyle(before, style);
    if (credits) {
        startBanner(true, lines);
    } else {
        MessageText = message;
        startBanner(false, {});
    }
    ReadImageInfo(file);
    return true;
}

void TPMultiImage::applyMessageStyle(const MessageStyle& before, const MessageStyle& style)
{
    MessageFontColor = style.fontColor;
    if (!style.fontName.isEmpty())
        MessageFont.setFamily(style.fontName);
    if (style.fontSize != before.fontSize && style.fontSize > 0)
        MessageFont.setPointSize(style.fontSize);
    else if (style.fontHeight != before.fontHeight && style.fontHeight != 0)
        MessageFont.setPixelSize(std::abs(style.fontHeight));
    MessageFont.setBold(style.bold);
    MessageFont.setItalic(style.italic);
    MessageFont.setUnderline(style.underline);
    MessageFont.setStrikeOut(style.strikeOut);
    MessageColor = style.backColor;
    MessageSpeed = style.speed;
}

bool TPMultiImage::loadThumbnailFile(const QString& file, const QString& ext)
{
    const bool bmp = ext == QLatin1String(".THB");
    PictureFileInfo header;
    const bool monochrome = bmp && ReadBmpHeaderInfo(file, header) && MonochromeFile(header.bits);
    const int bits = monochrome ? 1 : LoadDepth();
    TBitmap decoded;
    bool ok = false;
    try {
        ok = bmp ? ReadBmpFileBitmap(file, bits, ImageDither, decoded, this, CodecProgressOf)
                 : ReadJpgFileBitmap(file, bits, ImageDither, decoded, this, CodecProgressOf);
    } catch (...) {
        setPicture(TBitmap());
        return false;
    }
    if (!ok || decoded.empty()) {
        reportError(unreadableFileText(file));
        return false;
    }
    installBitmap(decoded, !bmp);
    return true;
}

bool TPMultiImage::loadResource(const QString& file)
{
    QString name = QFileInfo(file).completeBaseName();
    bool numeric = false;
    const qlonglong id = name.toLongLong(&numeric);
    if (numeric)
        name = QString::number(id);
    QImage image;
    for (const char* suffix : {"", ".bmp", ".png"}) {
        image = QImage(QStringLiteral(":/res/") + name + QLatin1String(suffix));
        if (!image.isNull())
            break;
    }
    if (image.isNull()) {
        reportError(QStringLiteral("Die Ressource \"%1\" wurde nicht gefunden.").arg(name));
        return false;
    }
    TPixelFormat format = TBitmap::pixelFormatOf(image);
    TBitmap bitmap(image, format == pfCustom ? pf32bit : format);
    bitmap.setPalette(image.colorTable());
    installBitmap(bitmap, false);
    return true;
}

void TPMultiImage::loadPictureFile(const QString& file, const QString& ext)
{
    const ImageInfo previous = imageInfo;
    bool described = false;
    try {
        described = ReadImageInfo(file);
    } catch (...) {
        imageInfo = previous;
        loadFailed_ = true;
        throw;
    }
    if (!described) {
        imageInfo = previous;
        loadFailed_ = true;
        return;
    }
    const QString type = DecodeTypeFor(ext, imageInfo.type);
    if (!DecodableType(type)) {
        imageInfo = previous;
        loadFailed_ = true;
        finishBitmapLoad();
        return;
    }
    if (type == QLatin1String("TIF") && tiffPage_ > imageInfo.pageCount - 1)
        setTiffPage(qint16(std::max(0, imageInfo.pageCount - 1)));

    DecodeRequest request;
    request.file = file;
    request.type = type;
    request.bits = LoadDepth();
    request.dither = ImageDither;
    request.monochrome = MonochromeFile(imageInfo.bitsPerPixel);
    request.page = tiffPage_;
    request.pcdMode = PCDMode;
    request.sender = this;
    request.progress = CodecProgressOf;
    TBitmap decoded;
    bool ok = false;
    try {
        ok = DecodePicture(request, decoded);
    } catch (...) {
        imageInfo = previous;
        setPicture(TBitmap());
        return;
    }
    if (!ok) {
        imageInfo = previous;
        loadFailed_ = true;
        reportError(unreadableFileText(file));
        return;
    }
    installBitmap(decoded, type == QLatin1String("JPEG"));
    finishBitmapLoad();
}

void TPMultiImage::installBitmap(const TBitmap& bitmap, bool jpeg)
{
    takeSnapshot();
    EndMessageMode();
    if (FXMethod != FXNone || (jpeg && SlideShowMode)) {
        TransitionBitmap = bitmap;
        PlayTransition();
    } else {
        setPicture(bitmap);
    }
    ReadImageInfo(imageName_);
}

void TPMultiImage::finishBitmapLoad()
{
    ResetView = false;
    annotationsAfterLoad();
    notifyToolbar();
    if (OnFinishedLoadSave)
        OnFinishedLoadSave(this);
}

// A metafile or icon arrives with the caller's next picture: that picture
// takes the view of a newly loaded one, and the information no longer
// describes the previous file (a TIFF's pages, say).
void TPMultiImage::awaitPicture(const QString& file, const QString& ext)
{
    ImageInfo info;
    if (ReadPictureInfo(file, 0, picture_, info) != InfoFailure::None)
        info = ImageInfo{};
    info.type = info.compression = ext.mid(1);
    info.pageCount = 0;
    imageInfo = info;
    awaitingPicture_ = true;
}

bool TPMultiImage::ReadImageInfo(const QString& fileName)
{
    const InfoFailure failure = ReadPictureInfo(fileName, tiffPage_, picture_, imageInfo);
    if (failure == InfoFailure::Codec)
        reportError(
            QStringLiteral("Die Bildinformationen der Datei \"%1\" konnten nicht gelesen werden.").arg(fileName));
    return failure == InfoFailure::None;
}

void TPMultiImage::setTiffPage(qint16 page)
{
    if (page == tiffPage_)
        return;
    previousTiffPage_ = tiffPage_;
    tiffPage_ = page;
}

void TPMultiImage::setPicture(const TBitmap& picture)
{
    picture_ = picture;
    if (!loading_)
        modified_ = true;
    PictureChanged();
}

bool TPMultiImage::ScanImage(void* parentWindow)
{
    const ProgressWork work(*this);
    reportProgress(0);
    SetLastError(0, QString());
    const int bits = LoadDepth();
    EndMessageMode();
    TBitmap scanned;
    bool ok = false;
    try {
        ok = AcquireBitmap(parentWindow, bits, ImageDither, scanned, this, CodecProgressOf);
    } catch (...) {
        return false;
    }
    if (!ok) {
        reportError(QStringLiteral("Es wurde kein Bild eingelesen."));
        return false;
    }
    takeSnapshot();
    if (!scanned.empty())
        replacePicture(scanned);
    return true;
}
