#pragma once
// Sound and video preview of the open dialog through Qt Multimedia: a video
// surface and a player that plays, pauses and stops. Built without Qt
// Multimedia it plays nothing and lists no playable types.

#include <QString>
#include <QStringList>
#include <QWidget>

class QAudioOutput;
class QMediaPlayer;

class MediaPreview : public QWidget {
    Q_OBJECT
public:
    explicit MediaPreview(QWidget* parent = nullptr);
    ~MediaPreview() override;

    // The extensions ("WAV", "AVI", "MOV") of the media types the player
    // can play, upper case, without dots.
    static QStringList PlayableExtensions();
    static bool IsMediaFile(const QString& path);

    // Opens the file for playing (not started); false without a player.
    bool Open(const QString& file);
    void Play();
    void Pause();
    void Stop();
    // Stops and forgets the file.
    void Clear();
    QString FileName() const { return file_; }
    bool Playing() const;

private:
    void makePlayer();

    QString file_;
    QWidget* video_ = nullptr;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audio_ = nullptr;
};
