#include "tiffpageview.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/tbitmap.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

TiffPageView::TiffPageView(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
}

int TiffPageView::codecProgress(int percent, void* sender)
{
    auto* self = static_cast<TiffPageView*>(sender);
    if (!self || !self->OnProgress)
        return 1;
    return self->OnProgress(percent) ? 0 : 1;
}

bool TiffPageView::LoadPage(const QString& file, int page, int count)
{
    if (busy_)
        return false;
    file_ = file;
    count_ = std::max(count, 0);
    page_ = std::clamp(page, 0, std::max(count_ - 1, 0));
    image_ = QImage();
    TBitmap bitmap;
    busy_ = true;
    bool ok = false;
    try {
        ok = ReadTiffFileBitmap(file_, 24, false, page_, bitmap, this, codecProgress);
    } catch (...) {
        ok = false;
    }
    busy_ = false;
    if (ok && !bitmap.empty()) {
        image_ = bitmap.image();
        // two-level pages scale into grey rather than into broken strokes
        if (image_.isGrayscale())
            image_ = image_.convertToFormat(QImage::Format_Grayscale8);
    }
    rescale();
    update();
    if (OnPageShown)
        OnPageShown(page_, count_);
    return !image_.isNull();
}

void TiffPageView::Clear()
{
    file_.clear();
    page_ = 0;
    count_ = 0;
    image_ = QImage();
    scaled_ = QPixmap();
    update();
}

void TiffPageView::showPage(int page)
{
    if (busy_ || file_.isEmpty() || count_ < 1)
        return;
    LoadPage(file_, std::clamp(page, 0, count_ - 1), count_);
}

void TiffPageView::FirstPage()
{
    showPage(0);
}

void TiffPageView::PriorPage()
{
    showPage(page_ - 1);
}

void TiffPageView::NextPage()
{
    showPage(page_ + 1);
}

void TiffPageView::LastPage()
{
    showPage(count_ - 1);
}

QRect TiffPageView::PageRect() const
{
    if (image_.isNull() || width() < 1 || height() < 1)
        return {};
    const QSize size = image_.size().scaled(this->size(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void TiffPageView::rescale()
{
    const QRect target = PageRect();
    if (target.isEmpty()) {
        scaled_ = QPixmap();
        return;
    }
    scaled_ = QPixmap::fromImage(image_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void TiffPageView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    rescale();
}

void TiffPageView::paintEvent(QPaintEvent*)
{
    if (scaled_.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(PageRect().topLeft(), scaled_);
}
