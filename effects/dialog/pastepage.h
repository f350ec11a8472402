#pragma once
// The page "Image einfügen": a picture to paste into the selection, from a
// file, a scanner or the clipboard. Files are decoded on a worker.

#include "effectrunner.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTimer;
class QTreeView;

class PastePage : public QWidget {
    Q_OBJECT
public:
    explicit PastePage(QWidget* parent = nullptr);
    ~PastePage() override;

    // The picture to paste; owned by the page.
    GlobalHandle Picture() const { return picture_; }
    QImage PictureImage() const { return image_; }
    // Takes the picture (the page frees its old one).
    void SetPicture(GlobalHandle dib);
    // Decodes a file by its extension (upper-cased, cut to four characters)
    // on a worker; the picture comes with PictureChanged.
    void LoadFile(const QString& path);
    // The clipboard poll: while active, every 3000 ms.
    void SetPolling(bool on);
    void PollClipboard();
    void PasteFromClipboard();
    EffectRunner& Runner() { return runner_; }

    // Decodes a file by its extension: ".BMP", ".DIB", ".PNG", ".GIF",
    // ".PCX", ".JPG", ".TIF" (first page), ".PCD", ".TGA"; null otherwise.
    static GlobalHandle DecodeFile(const QString& path, int bits);

    std::function<void()> PictureChanged;
    std::function<void()> Started;

private:
    QTreeView* files_ = nullptr;
    QFileSystemModel* model_ = nullptr;
    QLabel* preview_ = nullptr;
    QPushButton* clipboard_ = nullptr;
    QTimer* poll_ = nullptr;
    GlobalHandle picture_ = nullptr;
    QImage image_;
    EffectRunner runner_;
};
