#include "contactsheetpages.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/tbitmap.h"
#include "imagecontrol/picturedecoder.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <exception>

namespace {

constexpr double kGapMillimetres = 5.0;
constexpr int kCaptionPoints = 8;

QFont captionFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(kCaptionPoints);
    return font;
}

}  // namespace

ContactSheetGeometry ContactSheetPages::geometryFor(QPaintDevice& device, const ContactSheetOptions& options,
                                                    const QFont& font)
{
    ContactSheetGeometry g;
    g.page = QSize(device.width(), device.height());
    g.columns = options.columns;
    g.gap = int(kGapMillimetres * device.logicalDpiX() / 25.4 + 0.5);
    g.captionLines = int(options.showName) + int(options.showSize);
    g.lineHeight = QFontMetrics(font, &device).lineSpacing();
    return g;
}

ContactSheetPages::ContactSheetPages(const QList<ContactSheetItem>& items, const ContactSheetOptions& options,
                                     QPaintDevice& device)
    : items_(items), options_(options), font_(captionFont()),
      layout_(geometryFor(device, options, font_))
{
}

QStringList ContactSheetPages::captionOf(const ContactSheetItem& item) const
{
    QStringList lines;
    if (options_.showName) {
        QString name = QFileInfo(item.file).fileName();
        if (item.pageCount > 1)
            name += QStringLiteral(" (Seite %1)").arg(item.page + 1);
        lines << name;
    }
    if (options_.showSize)
        lines << QStringLiteral("%1 x %2").arg(item.size.width()).arg(item.size.height());
    return lines;
}

QImage ContactSheetPages::decodeItem(const ContactSheetItem& item)
{
    PictureFileInfo info;
    if (!ReadFileInfo(item.file, info))
        return {};
    DecodeRequest request;
    request.file = item.file;
    request.type = DecodeTypeFor(paths::extension(item.file), info.type);
    if (!DecodableType(request.type))
        return {};
    request.monochrome = MonochromeFile(info.bits);
    request.page = item.page;
    request.progress = [](int, void*) { return 1; };
    TBitmap bitmap;
    try {
        if (!DecodePicture(request, bitmap))
            return {};
    } catch (const std::exception&) {
        return {};
    }
    return bitmap.image();
}

bool ContactSheetPages::render(QPainter& painter, int page, const std::atomic<bool>& cancel) const
{
    const int first = page * layout_.perPage();
    const int last = std::min(int(items_.size()), first + layout_.perPage());
    for (int i = first; i < last; ++i) {
        if (cancel)
            return false;
        drawItem(painter, i);
    }
    return !cancel;
}

void ContactSheetPages::drawItem(QPainter& painter, int index) const
{
    ContactSheetItem item = items_[index];
    QImage picture = load ? load(item) : decodeItem(item);
    if (item.size.isEmpty() && !picture.isNull())
        item.size = picture.size();
    if (picture.isNull())
        picture = item.miniature;
    if (!picture.isNull()) {
        const QRect target = layout_.pictureRect(index, picture.size());
        // the pixels the paper shows, not the whole photo
        if (picture.width() > target.width() || picture.height() > target.height())
            picture = picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(target, picture);
    }
    painter.setFont(font_);
    painter.setPen(Qt::black);
    const QStringList lines = captionOf(item);
    const QFontMetrics metrics(font_, painter.device());
    for (int line = 0; line < lines.size(); ++line) {
        const QRect r = layout_.captionLine(index, line);
        painter.drawText(r, Qt::AlignHCenter | Qt::AlignVCenter,
                         metrics.elidedText(lines[line], Qt::ElideMiddle, r.width()));
    }
}
