#pragma once
// The preview column of the open and save dialog: a top strip with the TIFF
// page buttons and page label (or the media player's buttons), the picture
// area with the page view, the picture view, the media view and the save
// options at its bottom, and a bottom strip with the preview button and the
// progress bar.

#include <QWidget>

class MediaPreview;
class QLabel;
class QProgressBar;
class QToolButton;
class SaveOptionsPanel;
class TiffPageView;
class TPMultiImage;

class PreviewPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 190;

    explicit PreviewPanel(QWidget* parent = nullptr);

    // The options panel is made by the dialog and placed here.
    void setOptionsPanel(SaveOptionsPanel* options);
    SaveOptionsPanel* OptionsPanel() const { return options_; }
    void setOptionsShown(bool shown);
    bool OptionsShown() const { return optionsShown_; }

    enum Viewer { PictureViewer, PageViewer, MediaViewer };
    void showViewer(Viewer viewer);
    Viewer ShownViewer() const { return shownViewer_; }
    void setPageStripShown(bool shown);
    bool PageStripShown() const { return pageStripShown_; }
    void setPlayerShown(bool shown);
    bool PlayerShown() const { return playerShown_; }

    QWidget* PageStrip() const { return pageStrip_; }
    QToolButton* FirstButton() const { return first_; }
    QToolButton* PriorButton() const { return prior_; }
    QToolButton* NextButton() const { return next_; }
    QToolButton* LastButton() const { return last_; }
    QLabel* PageLabel() const { return pageLabel_; }
    QWidget* PlayerBar() const { return playerBar_; }
    QToolButton* PlayButton() const { return play_; }
    QToolButton* PauseButton() const { return pause_; }
    QToolButton* StopButton() const { return stop_; }
    TiffPageView* PageView() const { return pageView_; }
    TPMultiImage* PictureView() const { return pictureView_; }
    MediaPreview* MediaView() const { return mediaView_; }
    QToolButton* PreviewButton() const { return previewButton_; }
    QProgressBar* ProgressBar() const { return progress_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* stripButton(QWidget* strip, const QString& text);
    void buildPageStrip();
    void buildPlayerBar();
    void buildBottomStrip();
    void placeChildren();
    void placePageButtons();
    void placePlayerButtons();

    QWidget* pageStrip_ = nullptr;
    QToolButton* first_ = nullptr;
    QToolButton* prior_ = nullptr;
    QToolButton* next_ = nullptr;
    QToolButton* last_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QWidget* playerBar_ = nullptr;
    QToolButton* play_ = nullptr;
    QToolButton* pause_ = nullptr;
    QToolButton* stop_ = nullptr;
    TiffPageView* pageView_ = nullptr;
    TPMultiImage* pictureView_ = nullptr;
    MediaPreview* mediaView_ = nullptr;
    SaveOptionsPanel* options_ = nullptr;
    QToolButton* previewButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    bool optionsShown_ = false;
    bool pageStripShown_ = false;
    bool playerShown_ = false;
    Viewer shownViewer_ = PictureViewer;
};
