#include "slidedecoder.h"

#include "codec/binding/tbitmap.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "imagecontrol/imageinfo.h"
#include "imagecontrol/picturedecoder.h"
#include "imagecontrol/transitioncomposer.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QThread>

namespace {

int stopAnswer(int, void* sender)
{
    const auto* stop = static_cast<const std::atomic<bool>*>(sender);
    return stop && stop->load() ? 0 : 1;
}

bool decodeMetafile(const QString& path, Slide& slide, TBitmap& bitmap)
{
    TMetafile metafile;
    if (!metafile.LoadFromFile(path) || !MetafileToBitmap(&bitmap, &metafile, false)) {
        slide.error = QStringLiteral("Metadatei nicht lesbar");
        return false;
    }
    slide.type = metafile.Enhanced() ? QStringLiteral("Enhanced Metafile") : QStringLiteral("Windows Metafile");
    return true;
}

// The icon's first directory entry on the background colour; entries of
// 256 pixels (width or height byte 0) are not shown.
bool decodeIcon(const QString& path, const SlideLayout& layout, Slide& slide, TBitmap& bitmap)
{
    QFile icon(path);
    const QByteArray head = icon.open(QIODevice::ReadOnly) ? icon.read(22) : QByteArray();
    const int w = head.size() >= 22 ? quint8(head[6]) : 0;
    const int h = head.size() >= 22 ? quint8(head[7]) : 0;
    const QImage drawn(path, "ico");
    if (w == 0 || h == 0 || drawn.isNull()) {
        slide.error = QStringLiteral("Symbol nicht darstellbar");
        return false;
    }
    QImage canvas(w, h, QImage::Format_RGB888);
    canvas.fill(QColor::fromRgb(layout.background));
    QPainter(&canvas).drawImage(0, 0, drawn);
    bitmap = TBitmap(canvas, pf24bit);
    slide.type = QStringLiteral("ICON");
    return true;
}

bool decodePicture(const QString& path, int page, int bits, const std::atomic<bool>* stop, Slide& slide,
                   TBitmap& bitmap)
{
    ImageInfo info;
    if (ReadPictureInfo(path, page, TBitmap(), info) != InfoFailure::None) {
        slide.error = QStringLiteral("Bildinformation nicht lesbar");
        return false;
    }
    DecodeRequest request;
    request.file = path;
    request.type = DecodeTypeFor(paths::extension(path), info.type);
    if (!DecodableType(request.type)) {
        slide.error = QStringLiteral("Bildformat nicht unterstützt");
        return false;
    }
    request.bits = bits;
    request.monochrome = MonochromeFile(info.bitsPerPixel);
    request.page = request.type == QLatin1String("TIF") ? std::clamp(page, 0, std::max(0, info.pageCount - 1)) : page;
    request.sender = const_cast<std::atomic<bool>*>(stop);
    request.progress = stopAnswer;
    bool ok = false;
    try {
        ok = DecodePicture(request, bitmap);
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok || bitmap.empty()) {
        slide.error = QStringLiteral("Bild nicht lesbar");
        return false;
    }
    slide.type = info.type;
    slide.bits = info.bitsPerPixel;
    return true;
}

QString requestId(const QString& path, int page, const SlideLayout& layout)
{
    return path + QLatin1Char('\n') + QString::number(page) + QLatin1Char('\n') +
           QString::number(layout.screen.width()) + QLatin1Char('x') + QString::number(layout.screen.height()) +
           QLatin1Char('\n') + QString::number(layout.background) + QString::number(int(layout.fitBig)) +
           QString::number(int(layout.enlargeSmall));
}

}  // namespace

Slide MakeSlide(const QString& path, int page, const SlideLayout& layout, int bits, const std::atomic<bool>* stop)
{
    Slide slide;
    slide.file = SlideFileKey::of(path, page);
    slide.layout = layout;
    if (slide.file.size < 0) {
        slide.error = QStringLiteral("Datei nicht gefunden");
        return slide;
    }
    const QString ext = paths::lowerExtension(path);
    TBitmap bitmap;
    const bool decoded = ext == QLatin1String(".wmf") || ext == QLatin1String(".emf")
                             ? decodeMetafile(path, slide, bitmap)
                         : ext == QLatin1String(".ico") ? decodeIcon(path, layout, slide, bitmap)
                                                        : decodePicture(path, page, bits, stop, slide, bitmap);
    if (!decoded || (stop && stop->load()))
        return slide;
    const QSize size = bitmap.image().size();
    const QSize screen = layout.screen;
    slide.original = size;
    if (slide.bits == 0)
        slide.bits = bitmap.bitsPerPixel();
    const bool larger = size.width() > screen.width() || size.height() > screen.height();
    const bool smaller = size.width() < screen.width() && size.height() < screen.height();
    slide.fitted = (layout.fitBig && larger) || (layout.enlargeSmall && smaller);
    TransitionLayout l;
    l.control = screen;
    l.workSize = screen;
    l.color = QColor::fromRgb(layout.background);
    l.center = true;
    l.fit = slide.fitted;
    const ComposedTransition composed = ComposeTransition(bitmap.image(), l);
    if (composed.work.isNull()) {
        slide.error = QStringLiteral("Bild nicht darstellbar");
        return slide;
    }
    slide.work = composed.work;
    slide.offset = composed.offset;
    slide.scale = slide.fitted ? std::min(double(screen.width()) / size.width(), double(screen.height()) / size.height())
                               : 1.0;
    slide.ok = true;
    return slide;
}

SlideDecoder::SlideDecoder(QObject* parent) : QObject(parent), stop_(std::make_shared<std::atomic<bool>>(false))
{
    pool_.setMaxThreadCount(2);
}

SlideDecoder::~SlideDecoder()
{
    *stop_ = true;
    pool_.clear();
    pool_.waitForDone();
}

void SlideDecoder::request(const QString& path, int page, const SlideLayout& layout, bool urgent)
{
    const QString id = requestId(path, page, layout);
    if (pending_.contains(id))
        return;
    pending_.insert(id);
    const int depth = bits;
    const auto stop = stop_;
    pool_.start(
        [this, path, page, layout, depth, stop, id] {
            const Slide slide = MakeSlide(path, page, layout, depth, stop.get());
            if (!stop->load())
                QMetaObject::invokeMethod(this, [this, slide, id] { deliver(slide, id); }, Qt::QueuedConnection);
        },
        urgent ? 1 : 0);
}

void SlideDecoder::deliver(const Slide& slide, const QString& id)
{
    pending_.remove(id);
    if (onSlide)
        onSlide(slide);
}

void SlideDecoder::waitForDone()
{
    while (!pending_.isEmpty()) {
        pool_.waitForDone();
        QCoreApplication::sendPostedEvents(this);
        QCoreApplication::processEvents();
    }
}
