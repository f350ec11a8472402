#include "metafileconvert.h"

#include "emfwriter.h"
#include "gditext.h"
#include "tmetafile.h"
#include "wmfwriter.h"

#include "codec/binding/errorinvalid.h"
#include "codec/binding/tbitmap.h"
#include "dibcore/dibcore.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr double kWmfScale = 0.84675;

}  // namespace

bool MetafileToBitmap(TBitmap* bitmap, const TMetafile* metafile, bool monochrome)
{
    if (!bitmap)
        throw ErrorInvalid(QString::fromLatin1(errortext::kInputEmpty));
    if (!metafile)
        throw ErrorInvalid(QString::fromLatin1(errortext::kOutputEmpty));
    const int w = metafile->Width(), h = metafile->Height();
    if (metafile->Empty() || w <= 0 || h <= 0 || qint64(w) * h > kMaxMetafilePixels) {
        bitmap->clear();
        return false;
    }
    QImage canvas(w, h, QImage::Format_RGB32);
    if (canvas.isNull()) {
        bitmap->clear();
        return false;
    }
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        metafile->Draw(painter, QRectF(0, 0, w, h));
    }
    bitmap->assign(canvas, monochrome ? pf1bit : pf24bit);
    return !bitmap->empty();
}

int MetafileExtent(int bitmapExtent, bool enhanced)
{
    return enhanced ? bitmapExtent : int(std::lround(bitmapExtent * kWmfScale));
}

bool BitmapToMetafile(const TBitmap* bitmap, TMetafile* metafile, bool enhanced)
{
    if (!bitmap || bitmap->empty())
        throw ErrorInvalid(QString::fromLatin1(errortext::kInputEmpty));
    if (!metafile)
        throw ErrorInvalid(QString::fromLatin1(errortext::kOutputEmpty));
    const QSize size(std::max(1, MetafileExtent(bitmap->width(), enhanced)),
                     std::max(1, MetafileExtent(bitmap->height(), enhanced)));
    const int bits = BitsOfPixelFormat(bitmap->pixelFormat());
    const QByteArray data = enhanced ? emfwriter::write(bitmap->image(), bits, bitmap->palette(), size)
                                     : wmfwriter::write(bitmap->image(), bits, bitmap->palette(), size);
    if (data.isEmpty()) {
        metafile->Clear();
        return false;
    }
    return metafile->LoadFromData(data);
}

void DrawFontText(int X, int Y, int angle, const QString& text, const QColor& shadowColor, bool transparent,
                  bool shadowed, QPainter& canvas, const QFont& font, const QColor& fontColor)
{
    gdi::Font logical;
    const double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96 / 72;
    logical.height = -pixels;
    logical.weight = font.bold() ? 700 : 400;
    logical.italic = font.italic();
    logical.underline = font.underline();
    logical.strikeOut = font.strikeOut();
    logical.pitchAndFamily = font.fixedPitch() ? 1 : 0;
    logical.faceName = font.family();
    logical.escapement = angle * 10;
    logical.orientation = angle * 10;
    const QFont qt = gditext::qtFont(logical, pixels, false, 100);

    gditext::Style style;
    style.opaque = !transparent;
    style.background = canvas.brush().color();
    style.angle = angle;
    if (shadowed) {
        style.color = shadowColor;
        gditext::draw(canvas, QPointF(X + 2, Y + 2), text, {}, qt, style);
    }
    style.color = fontColor;
    gditext::draw(canvas, QPointF(X, Y), text, {}, qt, style);
}
