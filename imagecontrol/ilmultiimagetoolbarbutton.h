#pragma once
// One button of the image toolbar: a flat picture button with an index,
// two glyphs (normal and disabled) and, while the toolbar has the keyboard
// focus, a focus rectangle when it is the toolbar's focused button.

#include "ilmultiimagetoolbarbtn.h"

#include <QAbstractButton>
#include <QPixmap>

class TILMultiImageToolBarButton : public QAbstractButton {
    Q_OBJECT
public:
    TILMultiImageToolBarButton(TILMultiImageToolBarBtn index, QWidget* parent = nullptr);

    TILMultiImageToolBarBtn Index() const { return index_; }
    // Loads both glyphs from the resource "ILTB_" + suffix: the left half
    // of the picture is the normal glyph, the right half the disabled one.
    bool loadGlyphs(const QString& suffix);
    const QPixmap& glyph() const { return glyph_; }
    const QPixmap& disabledGlyph() const { return disabledGlyph_; }

    bool Flat() const { return flat_; }
    void setFlat(bool on);
    bool showsFocus() const { return showsFocus_; }
    void setShowsFocus(bool on);

    QSize sizeHint() const override { return QSize(20, 18); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool sunken() const;

    TILMultiImageToolBarBtn index_;
    QPixmap glyph_;
    QPixmap disabledGlyph_;
    bool flat_ = true;
    bool showsFocus_ = false;
    bool hovered_ = false;
};
