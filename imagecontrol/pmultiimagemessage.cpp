// TPMultiImage: the moving text (scrolling messages and credits).

#include "pmultiimage.h"

void TPMultiImage::StartMessage()
{
    takeSnapshot();
    EndMessageMode();
    setPicture(TBitmap());
    if (MessageText.isEmpty())
        return;
    if (!MessageText.endsWith(QLatin1Char(' ')))
        MessageText += QLatin1Char(' ');
    startBanner(false, {});
}

void TPMultiImage::startBanner(bool credits, const QStringList& lines)
{
    colorBeforeMessage_ = color_;
    color_ = MessageColor;
    const QColor text = colors::toQColor(MessageFontColor);
    const QColor back = colors::toQColor(MessageColor);
    if (credits) {
        if (!banner_.startCredits(lines, MessageFont, text, back, size()))
            color_ = colorBeforeMessage_;
    } else {
        banner_.startMessage(MessageText, MessageFont, text, back, size());
    }
    update();
}

void TPMultiImage::MessageTick()
{
    const QRect before = banner_.stripRect();
    if (banner_.tick(MessageSpeed, size()))
        update(before.united(banner_.stripRect()).adjusted(-1, -1, 1, 1));
}

void TPMultiImage::EndMessageMode()
{
    if (!banner_.active())
        return;
    banner_.stop();
    color_ = colorBeforeMessage_;
    update();
}
