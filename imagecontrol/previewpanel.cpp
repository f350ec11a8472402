#include "previewpanel.h"

#include "mediapreview.h"
#include "pageglyphs.h"
#include "pmultiimage.h"
#include "saveoptionspanel.h"
#include "tiffpageview.h"

#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QToolButton>

namespace {

constexpr int kInset = 5;
constexpr int kTopStrip = 30;       // the picture area starts here
constexpr int kBottomStrip = 30;    // and ends this far above the bottom
constexpr int kStripHeight = 25;
constexpr int kButtonSize = 23;
constexpr int kPreviewButtonSize = 20;

}  // namespace

PreviewPanel::PreviewPanel(QWidget* parent) : QWidget(parent)
{
    setFixedWidth(kWidth);
    setMinimumHeight(kTopStrip + kBottomStrip + SaveOptionsPanel::kHeight + 60);
    buildPageStrip();
    buildPlayerBar();

    pageView_ = new TiffPageView(this);
    pictureView_ = new TPMultiImage(this);
    pictureView_->ILUndo = false;
    pictureView_->setAutoSize(false);
    pictureView_->setCenter(true);
    pictureView_->setStretch(false);
    pictureView_->setStretchRatio(true);
    pictureView_->AllowRubberBand = false;
    pictureView_->ImageDither = true;
    pictureView_->ImageReadRes = lAutoMatic;
    pictureView_->ImageWriteRes = sAutoMatic;
    pictureView_->setShowScrollbars(false);
    mediaView_ = new MediaPreview(this);

    buildBottomStrip();
    showViewer(PictureViewer);
    setPageStripShown(false);
    setPlayerShown(false);
}

QToolButton* PreviewPanel::stripButton(QWidget* strip, const QString& text)
{
    auto* b = new QToolButton(strip);
    b->setText(text);
    b->setAutoRaise(false);
    b->setFixedSize(kButtonSize, kButtonSize);
    QFont bold = b->font();
    bold.setBold(true);
    b->setFont(bold);
    return b;
}

void PreviewPanel::buildPageStrip()
{
    pageStrip_ = new QWidget(this);
    first_ = stripButton(pageStrip_, {});
    prior_ = stripButton(pageStrip_, {});
    next_ = stripButton(pageStrip_, {});
    last_ = stripButton(pageStrip_, {});
    first_->setIcon(PageButtonGlyph(QStringLiteral("ILTB_FIRST")));
    prior_->setIcon(PageButtonGlyph(QStringLiteral("ILTB_PRIOR")));
    next_->setIcon(PageButtonGlyph(QStringLiteral("ILTB_NEXTPAGE")));
    last_->setIcon(PageButtonGlyph(QStringLiteral("ILTB_LAST")));
    pageLabel_ = new QLabel(pageStrip_);
    pageLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void PreviewPanel::buildPlayerBar()
{
    playerBar_ = new QWidget(this);
    play_ = stripButton(playerBar_, {});
    pause_ = stripButton(playerBar_, {});
    stop_ = stripButton(playerBar_, {});
    play_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    pause_->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
    stop_->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    play_->setToolTip(QStringLiteral("Abspielen"));
    pause_->setToolTip(QStringLiteral("Pause"));
    stop_->setToolTip(QStringLiteral("Stopp"));
}

void PreviewPanel::buildBottomStrip()
{
    previewButton_ = new QToolButton(this);
    previewButton_->setText(QStringLiteral("P"));
    QFont bold = previewButton_->font();
    bold.setBold(true);
    previewButton_->setFont(bold);
    previewButton_->setCheckable(true);
    previewButton_->setFixedSize(kPreviewButtonSize, kPreviewButtonSize);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
}

void PreviewPanel::setOptionsPanel(SaveOptionsPanel* options)
{
    options_ = options;
    if (options_) {
        options_->setParent(this);
        options_->setVisible(optionsShown_);
    }
    placeChildren();
}

void PreviewPanel::setOptionsShown(bool shown)
{
    optionsShown_ = shown;
    if (options_)
        options_->setVisible(shown);
    placeChildren();
}

void PreviewPanel::showViewer(Viewer viewer)
{
    shownViewer_ = viewer;
    pictureView_->setVisible(viewer == PictureViewer);
    pageView_->setVisible(viewer == PageViewer);
    mediaView_->setVisible(viewer == MediaViewer);
}

void PreviewPanel::setPageStripShown(bool shown)
{
    pageStripShown_ = shown;
    pageStrip_->setVisible(shown);
}

void PreviewPanel::setPlayerShown(bool shown)
{
    playerShown_ = shown;
    playerBar_->setVisible(shown);
}

void PreviewPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeChildren();
}

void PreviewPanel::placeChildren()
{
    const int w = width();
    const int h = height();
    const QRect strip(kInset, kInset, w - 2 * kInset, kStripHeight);
    pageStrip_->setGeometry(strip);
    playerBar_->setGeometry(strip);
    placePageButtons();
    placePlayerButtons();

    const QRect area(kInset, kTopStrip, w - 2 * kInset, std::max(0, h - kTopStrip - kBottomStrip));
    QRect viewers = area;
    if (options_ && optionsShown_) {
        const int panelTop = area.bottom() + 1 - SaveOptionsPanel::kHeight;
        options_->setGeometry(area.left(), panelTop, area.width(), SaveOptionsPanel::kHeight);
        viewers.setBottom(panelTop - 3);
    }
    pictureView_->setGeometry(viewers);
    pageView_->setGeometry(viewers);
    mediaView_->setGeometry(viewers);

    const int bottom = h - kInset - kPreviewButtonSize;
    previewButton_->setGeometry(kInset, bottom, kPreviewButtonSize, kPreviewButtonSize);
    const int barLeft = kInset + kPreviewButtonSize + 2;
    progress_->setGeometry(barLeft, bottom, std::max(0, w - kInset - barLeft), kPreviewButtonSize);
}

void PreviewPanel::placePageButtons()
{
    const int half = pageStrip_->width() / 2;
    int x = half - kButtonSize;
    for (QToolButton* b : {first_, prior_, next_, last_}) {
        b->move(x, 1);
        x += kButtonSize + 1;
    }
    pageLabel_->setGeometry(0, 0, std::max(0, half - kButtonSize - 2), kStripHeight);
}

void PreviewPanel::placePlayerButtons()
{
    const int total = 3 * kButtonSize + 2;
    int x = (playerBar_->width() - total) / 2;
    for (QToolButton* b : {play_, pause_, stop_}) {
        b->move(x, 1);
        x += kButtonSize + 1;
    }
}
