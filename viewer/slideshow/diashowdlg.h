#pragma once
// The slide show: full screen, borderless, on top and without a cursor; it
// shows the marked or all grid items or the lines of a slide list, on a
// timer or by hand, with a transition between pictures. Slides are made on
// a worker and the next one is made while the current one shows.

#include "diashowoptions.h"
#include "slidecache.h"
#include "slidesequence.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <random>

class QLabel;
class QScreen;
class SlideDecoder;
class TPMultiImage;
class TransitionPlayer;

class TDiashowDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDiashowDlg(SlideItems items, QWidget* parent = nullptr);
    ~TDiashowDlg() override;

    // Begin with a grid item and page, stepping by hand.
    void setStartItem(int index, int page);
    // Places the window on its screen and shows it; showing starts the show.
    void open() override;
    // Reads the options and starts again (the window's activation).
    void restart();

    // Draws a picture's annotations into its slide (work, the picture's
    // place and scale on it); DrawSlideAnnotations unless replaced.
    std::function<void(QImage& work, const QString& file, int page, QPoint offset, double scale)> DrawAnnotations;

    // ---- what the show is doing
    TPMultiImage* imageControl() const { return image_; }
    TransitionPlayer* player() const { return player_; }
    SlideDecoder* decoder() const { return decoder_; }
    SlideCache& cache() { return cache_; }
    const SlideSequence& sequence() const { return sequence_; }
    const QTimer& slideTimer() const { return timer_; }
    const DiaShowOptions& options() const { return options_; }
    QString shownFile() const { return shown_.name; }
    int shownPage() const { return shown_.page; }
    int slidesShown() const { return slidesShown_; }
    bool usedCache() const { return usedCache_; }
    // The note about a skipped picture or list lines; empty when none shows.
    QString noteText() const;
    // The screen the show uses: the second one when asked for and present.
    QScreen* targetScreen() const;
    // False: every slide is made when it is shown (the benchmark compares).
    bool decodeAhead = true;

    // ---- the user's commands (keys, wheel and timer call these)
    void timerTick();
    void stepForward();
    void stepBackward();
    void pause();
    void resume();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Fetch { Timer, Forward, Backward };

    void applyOptions();
    void loadList();
    void showChoice(const SlideChoice& choice, Fetch how);
    void slideReady(const Slide& slide);
    void present(const Slide& slide);
    void skipFailed(const Slide& slide);
    void prefetch();
    void showNote(const QString& text);
    SlideLayout layout() const;
    TFXMethod drawTransition();
    SlideChoice fetchAgain(Fetch how);

    SlideSequence sequence_;
    DiaShowOptions options_;
    TPMultiImage* image_ = nullptr;
    TransitionPlayer* player_ = nullptr;
    QLabel* note_ = nullptr;
    QTimer noteTimer_;
    QTimer timer_;
    SlideDecoder* decoder_ = nullptr;
    SlideCache cache_;
    std::mt19937 random_;
    TFXMethod method_ = FXNone;
    int startIndex_ = -1;
    int startPage_ = 0;
    SlideChoice shown_;
    struct Waiting {
        SlideChoice choice;
        SlideLayout layout;
        Fetch how = Fetch::Timer;
        bool active = false;
    } waiting_;
    int failures_ = 0;
    int slidesShown_ = 0;
    bool usedCache_ = false;
};
