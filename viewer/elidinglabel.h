#pragma once
// A status bar text that fits its panel: a text too long for it ends in
// "…" and shows whole as its tooltip.

#include <QLabel>

class ElidingLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The text as drawn: the whole text, or its start and "…".
    QString displayedText() const;
    bool isElided() const { return displayedText() != text(); }

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};
