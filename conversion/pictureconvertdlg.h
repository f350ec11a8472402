#pragma once
// "Bilder umwandeln...": converts the listed pictures to one format into a
// target folder, resizing them on the way, on worker threads.

#include "conversionrun.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TPictureConvertDlg;
}

class TPictureConvertDlg : public QDialog {
    Q_OBJECT
public:
    // What the dialog asks of the program that shows it.
    struct Host {
        // The overwrite question: 1 overwrite, 2 cancel the run, 4 rename to
        // renameTo (which the answer may change), anything else skip.
        ConversionPlanner::AskHook askOverwrite;
        std::function<bool(const QString& folder)> confirmCreateFolder;
        std::function<QString()> shownFolder;
        std::function<void(const QString& file)> addFile;
        std::function<void()> startFolderScan;
        std::function<void(bool)> setScanActive;
    };

    explicit TPictureConvertDlg(Host host, QWidget* parent = nullptr);
    ~TPictureConvertDlg() override;

    // Source files and, item by item, their page as text (missing or not a
    // number: page 0). One file is loaded into the preview.
    void setSources(const QStringList& files, const QStringList& pages);
    QString targetExtension() const;
    bool changed() const { return changed_; }
    bool running() const { return run_ != nullptr; }

    void done(int result) override;

    // The dialog's controls, for tests.
    Ui::TPictureConvertDlg* form() const { return ui.get(); }
    ConversionRun* currentRun() const { return run_.get(); }

private:
    void fillFormats();
    void readSettings();
    void writeSettings() const;
    void showFormatOptions();
    void updateOk();
    void linkSliderAndField(class QSlider* slider, class QLineEdit* field);
    void showPreview();
    ConversionOptions options() const;
    void start();
    void fileDone(const ConversionResult& result);
    void runFinished();
    void setControlsEnabled(bool enabled);
    void cancelOrClose();

    std::unique_ptr<Ui::TPictureConvertDlg> ui;
    Host host_;
    QStringList files_;
    QList<int> pages_;
    std::unique_ptr<ConversionRun> run_;
    bool changed_ = false;
};
