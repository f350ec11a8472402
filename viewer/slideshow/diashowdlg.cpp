#include "diashowdlg.h"

#include "slideannotations.h"
#include "slidedecoder.h"
#include "slidelistfile.h"
#include "transitionplayer.h"

#include "codec/binding/display.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "thumbnails/ispicturefile.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

constexpr int kNoteMilliseconds = 6000;

}  // namespace

TDiashowDlg::TDiashowDlg(SlideItems items, QWidget* parent)
    : QDialog(parent), sequence_(std::move(items)), random_(std::random_device{}())
{
    setWindowTitle(QStringLiteral("Diashow"));
    DrawAnnotations = DrawSlideAnnotations;
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    image_ = new TPMultiImage(this);
    image_->SlideShowMode = true;
    image_->setMouseTracking(true);
    layout->addWidget(image_);
    player_ = new TransitionPlayer(this);
    note_ = new QLabel(this);
    note_->setStyleSheet(QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 170); padding: 6px; }"));
    note_->setAttribute(Qt::WA_TransparentForMouseEvents);
    note_->hide();
    noteTimer_.setSingleShot(true);
    connect(&noteTimer_, &QTimer::timeout, note_, &QWidget::hide);
    connect(&timer_, &QTimer::timeout, this, &TDiashowDlg::timerTick);
    decoder_ = new SlideDecoder(this);
    decoder_->bits = DeviceDepth();
    decoder_->onSlide = [this](const Slide& slide) { slideReady(slide); };
    setCursor(Qt::BlankCursor);
    image_->setCursor(Qt::BlankCursor);
    image_->installEventFilter(this);
    installEventFilter(this);
}

TDiashowDlg::~TDiashowDlg() = default;

void TDiashowDlg::setStartItem(int index, int page)
{
    startIndex_ = index;
    startPage_ = page;
}

QScreen* TDiashowDlg::targetScreen() const
{
    QScreen* primary = QGuiApplication::primaryScreen();
    if (options_.secondMonitor) {
        for (QScreen* s : QGuiApplication::screens())
            if (s != primary)
                return s;
    }
    return primary;
}

void TDiashowDlg::open()
{
    options_.read(Settings());
    if (QScreen* s = targetScreen()) {
        setScreen(s);
        setGeometry(s->geometry());
    }
    showFullScreen();
}

void TDiashowDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    restart();
}

void TDiashowDlg::closeEvent(QCloseEvent* event)
{
    timer_.stop();
    player_->complete();
    unsetCursor();
    image_->unsetCursor();
    image_->SlideShowMode = false;
    QDialog::closeEvent(event);
}

void TDiashowDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    note_->move(12, height() - note_->height() - 12);
}

// ---- the show ---------------------------------------------------------------------

void TDiashowDlg::applyOptions()
{
    options_.read(Settings());
    timer_.setInterval(std::max(1, options_.seconds) * 1000);
    image_->setColor(options_.background);
    image_->FXDelay = options_.delay;
    image_->FXColRowThick = options_.thick;
    method_ = options_.random ? drawTransition() : options_.transition();
    image_->FXMethod = method_;
    image_->FitLargeInShow = options_.fitBig;
    image_->FitSmallInShow = options_.enlargeSmall;
    image_->AnnotationsInShow = options_.loadAnnotations;
}

void TDiashowDlg::restart()
{
    setCursor(Qt::BlankCursor);
    applyOptions();
    bool timerOn = !options_.manual;
    sequence_.backward = options_.backward;
    sequence_.lastManualStep = SlideSequence::Step::None;
    if (options_.manual)
        sequence_.lastManualStep = options_.backward ? SlideSequence::Step::Backward : SlideSequence::Step::Forward;
    const bool startAtItem = startIndex_ >= 0;
    sequence_.startAtItem = startAtItem;
    if (startAtItem) {
        sequence_.backward = false;
        timerOn = false;
    }
    timer_.stop();
    loadList();
    sequence_.setMode(options_.sourceMode());
    waiting_.active = false;
    if (startAtItem) {
        sequence_.position = startIndex_;
        sequence_.page = startPage_;
        const SlideChoice start = sequence_.itemAt(startIndex_);
        if (!start.name.isEmpty()) {
            showChoice({start.name, startPage_}, Fetch::Forward);
            // the shown item is behind the position, as after a forward step
            sequence_.position = startIndex_ + 1;
            sequence_.lastManualStep = SlideSequence::Step::Forward;
        }
    } else {
        sequence_.rewind();
        showChoice(sequence_.fetch(), Fetch::Timer);
    }
    if (timerOn)
        timer_.start();
}

void TDiashowDlg::loadList()
{
    sequence_.setList({});
    if (options_.listName.isEmpty() || !QFileInfo::exists(options_.listName))
        return;
    const SlideListContents contents = SlideListFile::read(options_.listName);
    if (!contents.headerOk)
        return;
    sequence_.setList(contents.entries);
    if (!contents.note().isEmpty() && options_.sourceMode() == SlideSequence::ListLines)
        showNote(contents.note());
}

void TDiashowDlg::timerTick()
{
    // the slide asked for last is still being made: it gets its own
    // interval once it shows
    if (waiting_.active)
        return;
    sequence_.lastManualStep = SlideSequence::Step::None;
    timer_.stop();
    showChoice(sequence_.fetch(), Fetch::Timer);
    timer_.start();
}

void TDiashowDlg::stepForward()
{
    timer_.stop();
    showChoice(sequence_.manualForward(), Fetch::Forward);
}

void TDiashowDlg::stepBackward()
{
    timer_.stop();
    showChoice(sequence_.manualBackward(), Fetch::Backward);
}

void TDiashowDlg::pause()
{
    timer_.stop();
}

void TDiashowDlg::resume()
{
    if (timer_.isActive())
        return;
    showChoice(sequence_.fetch(), Fetch::Timer);
    // "Manuell" keeps the timer off: V then steps like an arrow key
    if (!options_.manual)
        timer_.start();
}

SlideLayout TDiashowDlg::layout() const
{
    SlideLayout l;
    const QScreen* s = targetScreen();
    l.screen = s ? s->size() : image_->size();
    l.background = colors::toQColor(options_.background).rgb();
    l.fitBig = options_.fitBig;
    l.enlargeSmall = options_.enlargeSmall;
    return l;
}

TFXMethod TDiashowDlg::drawTransition()
{
    return DiaShowOptions::randomTransition(std::uniform_int_distribution<int>(0, 4)(random_));
}

SlideChoice TDiashowDlg::fetchAgain(Fetch how)
{
    switch (how) {
    case Fetch::Forward: return sequence_.next();
    case Fetch::Backward: return sequence_.previous();
    default: return sequence_.fetch();
    }
}

void TDiashowDlg::showChoice(const SlideChoice& choice, Fetch how)
{
    if (choice.name.isEmpty() || !IsPictureFile(choice.name))
        return;   // nothing new: the shown picture stays
    if (player_->running())
        player_->complete();
    const SlideLayout l = layout();
    if (decodeAhead) {
        if (const std::optional<Slide> kept = cache_.find(SlideFileKey::of(choice.name, choice.page), l)) {
            usedCache_ = true;
            waiting_.active = false;
            present(*kept);
            return;
        }
    }
    usedCache_ = false;
    waiting_ = {choice, l, how, true};
    decoder_->request(choice.name, choice.page, l, true);
}

void TDiashowDlg::slideReady(const Slide& slide)
{
    if (slide.ok && decodeAhead)
        cache_.insert(slide);
    if (!waiting_.active || slide.file.path != waiting_.choice.name || slide.file.page != waiting_.choice.page ||
        !(slide.layout == waiting_.layout))
        return;
    waiting_.active = false;
    if (slide.ok)
        present(slide);
    else
        skipFailed(slide);
}

void TDiashowDlg::present(const Slide& slide)
{
    failures_ = 0;
    ++slidesShown_;
    if (timer_.isActive())
        timer_.start();   // every picture stays its full interval
    shown_ = {slide.file.path, slide.file.page};
    QImage work = slide.work;
    if (options_.loadAnnotations && DrawAnnotations)
        DrawAnnotations(work, slide.file.path, slide.file.page, slide.offset, slide.scale);
    image_->setCenter(true);
    image_->setStretch(false);
    image_->setScrolling(false);
    image_->setShowScrollbars(false);
    image_->setTiffPage(qint16(slide.file.page));
    image_->imageInfo.type = slide.type;
    image_->imageInfo.width = slide.original.width();
    image_->imageInfo.height = slide.original.height();
    image_->imageInfo.bitsPerPixel = qint16(slide.bits);
    const TFXMethod method = options_.random ? drawTransition() : method_;
    image_->FXMethod = method;
    const bool fitted = slide.fitted;
    const auto install = [this, work, fitted] {
        image_->setPicture(TBitmap(work, pf24bit));
        image_->setStretchRatio(fitted);
        image_->setCenter(true);
    };
    const QImage& current = image_->Picture().image();
    const QImage from = current.size() == work.size() ? current : image_->grab().toImage();
    if (method == FXNone || !isVisible() ||
        !player_->start(from, work, method, options_.thick, options_.delay, install))
        install();
    prefetch();
}

void TDiashowDlg::skipFailed(const Slide& slide)
{
    showNote(QStringLiteral("Bild übersprungen: ") + paths::fileName(slide.file.path) + QStringLiteral(" (") +
             slide.error + QLatin1Char(')'));
    const int limit = std::max<int>(1, sequence_.mode() == SlideSequence::ListLines ? int(sequence_.list().size())
                                                                                  : sequence_.itemCount());
    if (++failures_ >= limit)
        return;
    const Fetch how = waiting_.how;
    showChoice(fetchAgain(how), how);
}

void TDiashowDlg::prefetch()
{
    if (!decodeAhead)
        return;
    const SlideSequence::Step last = sequence_.lastManualStep;
    const SlideChoice next = last == SlideSequence::Step::None ? sequence_.peek()
                                                               : sequence_.peekManual(last == SlideSequence::Step::Forward);
    if (next.name.isEmpty() || !IsPictureFile(next.name))
        return;
    const SlideLayout l = layout();
    if (!cache_.find(SlideFileKey::of(next.name, next.page), l))
        decoder_->request(next.name, next.page, l, false);
}

void TDiashowDlg::showNote(const QString& text)
{
    note_->setText(text);
    note_->adjustSize();
    note_->move(12, height() - note_->height() - 12);
    note_->raise();
    note_->show();
    noteTimer_.start(kNoteMilliseconds);
}

QString TDiashowDlg::noteText() const
{
    return noteTimer_.isActive() ? note_->text() : QString();
}

// ---- keys and mouse ---------------------------------------------------------------

bool TDiashowDlg::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape)
            close();
        else if (key == Qt::Key_H)
            pause();
        else if (key == Qt::Key_V)
            resume();
        else if (key != Qt::Key_Up && key != Qt::Key_Right && key != Qt::Key_Down && key != Qt::Key_Left)
            return false;
        return true;
    }
    case QEvent::KeyRelease: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Right)
            stepForward();
        else if (key == Qt::Key_Down || key == Qt::Key_Left)
            stepBackward();
        else
            return false;
        return true;
    }
    case QEvent::Wheel: {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta < 0)
            stepForward();
        else if (delta > 0)
            stepBackward();
        return true;
    }
    case QEvent::MouseButtonDblClick:
        close();
        return true;
    case QEvent::MouseMove:
        image_->setFocus(Qt::MouseFocusReason);
        return false;
    default:
        return QDialog::eventFilter(watched, event);
    }
}
