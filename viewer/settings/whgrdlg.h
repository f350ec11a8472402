#pragma once
// "Hintergrungbild": the shown picture as the desktop's wallpaper, fitted,
// stretched, filled or unscaled, with a preview of the screen.

#include "wallpaperfit.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TWHGRDlg;
}

class TWHGRDlg : public QDialog {
    Q_OBJECT
public:
    // The overwrite question of the file operations: the new file, the
    // existing one; answers as the overwrite dialog does. After a rename
    // answer, renameTarget gives the chosen name.
    struct Overwrite {
        std::function<int(const QString& incoming, const QString& existing)> ask;
        std::function<QString()> renameTarget;
    };

    explicit TWHGRDlg(Overwrite overwrite, QWidget* parent = nullptr);
    ~TWHGRDlg() override;

    void setPicture(const QImage& picture);
    void setFileName(const QString& name);
    // The screen the wallpaper is made for; the dialog's screen by default.
    void setScreenSize(QSize size);

    // The user's data folder + "Korvane/Glimra/", where wallpapers are kept.
    static QString wallpaperFolder();
    // Why a typed name cannot be used, in German; empty when it can.
    static QString nameProblem(const QString& name);

    WallpaperMode mode() const;
    const QImage& preview() const { return preview_; }
    QString note() const;
    // "OK": saves the wallpaper and sets it; the file set, empty when none.
    QString saveAndSet();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuildPreview();
    void showPreview();
    QString saveWallpaper(const QImage& bitmap, const QString& target);
    void say(const QString& text);

    std::unique_ptr<Ui::TWHGRDlg> ui;
    Overwrite overwrite_;
    QImage picture_;
    QImage preview_;
    QSize screen_;
};
