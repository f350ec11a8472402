#include "messagebanner.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kCreditGap = 5;

}  // namespace

QString MessageBanner::paddedCredit(const QString& line)
{
    return QStringLiteral("  ") + line + QLatin1Char(' ');
}

QImage MessageBanner::render(const QString& text, int extraHeight) const
{
    const QFontMetrics metrics(font_);
    const QSize size(std::max(1, metrics.horizontalAdvance(text)), metrics.height() + extraHeight);
    QImage strip(size, QImage::Format_RGB32);
    strip.fill(background_);
    QPainter p(&strip);
    p.setFont(font_);
    p.setPen(textColor_);
    p.drawText(0, metrics.ascent(), text);
    return strip;
}

void MessageBanner::startMessage(const QString& text, const QFont& font, const QColor& textColor,
                                 const QColor& background, QSize control)
{
    font_ = font;
    textColor_ = textColor;
    background_ = background;
    strip_ = render(text, 0);
    position_ = QPoint(control.width(), (control.height() - strip_.height()) / 2);
    ticks_ = 0;
    mode_ = Mode::Message;
}

bool MessageBanner::startCredits(const QStringList& lines, const QFont& font, const QColor& textColor,
                                 const QColor& background, QSize control)
{
    stop();
    if (lines.isEmpty())
        return false;
    font_ = font;
    textColor_ = textColor;
    background_ = background;
    lines_ = lines;
    line_ = 0;
    ticks_ = 0;
    mode_ = Mode::Credits;
    startLine(control);
    return true;
}

void MessageBanner::startLine(QSize control)
{
    strip_ = render(paddedCredit(lines_.value(line_)), kCreditGap);
    position_ = QPoint((control.width() - strip_.width()) / 2, control.height());
}

void MessageBanner::stop()
{
    mode_ = Mode::None;
    strip_ = QImage();
    lines_.clear();
    line_ = 0;
}

bool MessageBanner::tick(int speed, QSize control)
{
    if (mode_ == Mode::None)
        return false;
    ticks_ = (ticks_ + 1) % (std::max(0, speed) + 1);
    if (ticks_ != 0)
        return false;
    if (mode_ == Mode::Message) {
        position_.rx() -= 1;
        if (position_.x() + strip_.width() < 0)
            position_.setX(control.width());
        position_.setY((control.height() - strip_.height()) / 2);
        return true;
    }
    position_.ry() -= 1;
    if (position_.y() < -(strip_.height() + kCreditGap)) {
        line_ = (line_ + 1) % int(lines_.size());
        startLine(control);
    }
    return true;
}

void MessageBanner::paint(QPainter& painter) const
{
    if (mode_ != Mode::None && !strip_.isNull())
        painter.drawImage(position_, strip_);
}
