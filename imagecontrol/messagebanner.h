#pragma once
// The moving text of the picture control: a scrolling message that runs
// from right to left through the middle of the control, or credits whose
// lines rise one after the other from the bottom edge.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QStringList>

class QPainter;

class MessageBanner {
public:
    enum class Mode { None, Message, Credits };

    Mode mode() const { return mode_; }
    bool active() const { return mode_ != Mode::None; }

    void startMessage(const QString& text, const QFont& font, const QColor& textColor, const QColor& background,
                      QSize control);
    // False (and no mode) when there are no lines.
    bool startCredits(const QStringList& lines, const QFont& font, const QColor& textColor,
                      const QColor& background, QSize control);
    void stop();

    // One timer tick; the text moves one pixel on one tick in speed + 1.
    // True when it moved.
    bool tick(int speed, QSize control);
    // Where the strip is now, in control pixels.
    QRect stripRect() const { return QRect(position_, strip_.size()); }
    void paint(QPainter& painter) const;

    // A credit line as it is shown: two spaces before, one after.
    static QString paddedCredit(const QString& line);

private:
    QImage render(const QString& text, int extraHeight) const;
    void startLine(QSize control);

    Mode mode_ = Mode::None;
    QFont font_;
    QColor textColor_;
    QColor background_;
    QStringList lines_;
    int line_ = 0;
    QImage strip_;
    QPoint position_;
    int ticks_ = 0;
};
