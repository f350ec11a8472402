#include "mediapreview.h"

#include <QFileInfo>
#include <QVBoxLayout>

#ifdef KV_HAVE_MULTIMEDIA
#include <QAudioOutput>
#include <QMediaFormat>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>
#endif

MediaPreview::MediaPreview(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
#ifdef KV_HAVE_MULTIMEDIA
    video_ = new QVideoWidget(this);
#else
    video_ = new QWidget(this);
#endif
    layout->addWidget(video_);
}

MediaPreview::~MediaPreview()
{
    Clear();
}

#ifdef KV_HAVE_MULTIMEDIA
namespace {

// Debian's Qt Multimedia tries GStreamer first, which plays nothing without
// its plugin packages; the FFmpeg backend comes with the library. A backend
// the user names in QT_MEDIA_BACKEND still wins.
void preferFfmpegBackend()
{
    static const bool chosen = [] {
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "ffmpeg");
        return true;
    }();
    Q_UNUSED(chosen);
}

}  // namespace
#endif

QStringList MediaPreview::PlayableExtensions()
{
    QStringList extensions;
#ifdef KV_HAVE_MULTIMEDIA
    preferFfmpegBackend();
    const QList<QMediaFormat::FileFormat> formats = QMediaFormat().supportedFileFormats(QMediaFormat::Decode);
    if (formats.contains(QMediaFormat::Wave))
        extensions << QStringLiteral("WAV");
    if (formats.contains(QMediaFormat::AVI))
        extensions << QStringLiteral("AVI");
    if (formats.contains(QMediaFormat::QuickTime))
        extensions << QStringLiteral("MOV");
#endif
    return extensions;
}

bool MediaPreview::IsMediaFile(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toUpper();
    return !ext.isEmpty() && PlayableExtensions().contains(ext);
}

void MediaPreview::makePlayer()
{
#ifdef KV_HAVE_MULTIMEDIA
    if (player_)
        return;
    preferFfmpegBackend();
    player_ = new QMediaPlayer(this);
    audio_ = new QAudioOutput(this);
    player_->setAudioOutput(audio_);
    player_->setVideoOutput(static_cast<QVideoWidget*>(video_));
#endif
}

bool MediaPreview::Open(const QString& file)
{
#ifdef KV_HAVE_MULTIMEDIA
    makePlayer();
    player_->stop();
    file_ = file;
    player_->setSource(QUrl::fromLocalFile(file));
    return true;
#else
    Q_UNUSED(file);
    return false;
#endif
}

void MediaPreview::Play()
{
#ifdef KV_HAVE_MULTIMEDIA
    if (player_ && !file_.isEmpty())
        player_->play();
#endif
}

void MediaPreview::Pause()
{
#ifdef KV_HAVE_MULTIMEDIA
    if (player_)
        player_->pause();
#endif
}

void MediaPreview::Stop()
{
#ifdef KV_HAVE_MULTIMEDIA
    if (player_)
        player_->stop();
#endif
}

void MediaPreview::Clear()
{
#ifdef KV_HAVE_MULTIMEDIA
    if (player_) {
        player_->stop();
        player_->setSource(QUrl());
    }
#endif
    file_.clear();
}

bool MediaPreview::Playing() const
{
#ifdef KV_HAVE_MULTIMEDIA
    return player_ && player_->playbackState() == QMediaPlayer::PlayingState;
#else
    return false;
#endif
}
