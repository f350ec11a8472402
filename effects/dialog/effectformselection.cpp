// TEffectForm: the selection, shown as a band on the preview and as the
// crop fields, kept in master pixels.

#include "effectform.h"
#include "effectformshared.h"

#include "ilpimage.h"
#include "ilrubberband.h"
#include "ui_effectform.h"

#include <QLineEdit>
#include <QPainter>

#include <algorithm>

using namespace effectformshared;

void TEffectForm::SetSelection(int left, int top, int right, int bottom)
{
    selection_.setCoords(left, top, right, bottom);
    placeBand();
}

void TEffectForm::placeBand()
{
    if (!MasterDib || masterWidth_ <= 0 || masterHeight_ <= 0)
        return;
    const QRect s = selection_;
    const int w = preview_->width(), h = preview_->height();
    const int l = scaled(s.left(), w, masterWidth_), t = scaled(s.top(), h, masterHeight_);
    const QRect keep = selection_;
    bandPlaced_.setCoords(l, t, scaled(s.right(), w, masterWidth_), scaled(s.bottom(), h, masterHeight_));
    band_->SetBounds(l, t, bandPlaced_.right() - l, bandPlaced_.bottom() - t);
    selection_ = keep;   // placing the band must not round the selection
    ui->edCropLeft->setText(QString::number(selection_.left()));
    ui->edCropTop->setText(QString::number(selection_.top()));
    ui->edCropRight->setText(QString::number(selection_.right()));
    ui->edCropBottom->setText(QString::number(selection_.bottom()));
}

void TEffectForm::bandChanged(int left, int top, int right, int bottom)
{
    const int w = preview_->width(), h = preview_->height();
    // sides the band left where they were keep their exact master values
    auto side = [](int band, int placed, int master, int to, int from) {
        return band == placed ? master : scaled(band, to, from);
    };
    selection_.setCoords(side(left, bandPlaced_.left(), selection_.left(), masterWidth_, w),
                         side(top, bandPlaced_.top(), selection_.top(), masterHeight_, h),
                         side(right, bandPlaced_.right(), selection_.right(), masterWidth_, w),
                         side(bottom, bandPlaced_.bottom(), selection_.bottom(), masterHeight_, h));
    bandPlaced_.setCoords(left, top, right, bottom);
    ui->edCropLeft->setText(QString::number(selection_.left()));
    ui->edCropTop->setText(QString::number(selection_.top()));
    ui->edCropRight->setText(QString::number(selection_.right()));
    ui->edCropBottom->setText(QString::number(selection_.bottom()));
    preview_->SetOverlayRect(QRect(QPoint(left, top), QSize(right - left + 1, bottom - top + 1)));
}

void TEffectForm::SelectAll()
{
    band_->SetBounds(0, 0, preview_->width(), preview_->height());
}

void TEffectForm::showSelection(bool show)
{
    show = show && !ui->sbHideSelection->isChecked();
    band_->SetControl(show ? preview_ : nullptr);
    preview_->AfterPaint = show ? TILPImage::PaintEvent([this](QPainter& p) { band_->Paint(p); }) : nullptr;
    ui->sbSelectAll->setEnabled(show);
    for (QWidget* w : {static_cast<QWidget*>(ui->lbLeft), static_cast<QWidget*>(ui->lbTop),
                       static_cast<QWidget*>(ui->lbRight), static_cast<QWidget*>(ui->lbBottom),
                       static_cast<QWidget*>(ui->edCropLeft), static_cast<QWidget*>(ui->edCropTop),
                       static_cast<QWidget*>(ui->edCropRight), static_cast<QWidget*>(ui->edCropBottom)})
        w->setVisible(show);
    preview_->update();
}

QRect TEffectForm::limited(QRect r, int width, int height) const
{
    r.setCoords(std::max(0, r.left()), std::max(0, r.top()), std::min(width, r.right()), std::min(height, r.bottom()));
    return r;
}
