#pragma once
// The editor's main window.

#include <QMainWindow>

class TKvnPictureEdit : public QMainWindow {
    Q_OBJECT
public:
    explicit TKvnPictureEdit(const QString& picturePath = QString(), int page = 0,
                             QWidget* parent = nullptr);

    QString picturePath() const { return path_; }
    int page() const { return page_; }
    static QString captionFor(const QString& path);

private:
    QString path_;
    int page_ = 0;
};
