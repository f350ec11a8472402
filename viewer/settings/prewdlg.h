#pragma once
// "Einstellungen": the look of the thumbnail grid, the thumbnail size, the
// picture pane's background and transition, start-up and annotation
// options, the thumbnail databases and the editor's opening animation,
// with a preview grid and a preview picture that show every change.

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TprewDlg;
}
class QLineEdit;
class QSlider;
class TPMultiImage;
class TPicLibThumbnails;
struct ViewerState;

class TprewDlg : public QDialog {
    Q_OBJECT
public:
    // What the dialog edits: the viewer's shared state, its picture pane, its
    // grid and its "reopen the last folder" switch.
    struct Target {
        ViewerState* state = nullptr;
        TPMultiImage* pane = nullptr;
        TPicLibThumbnails* grid = nullptr;
        bool* lastFolder = nullptr;
    };

    explicit TprewDlg(const Target& target, QWidget* parent = nullptr);
    ~TprewDlg() override;

    // Runs the dialog and answers its result; exec() unless tests replace it.
    using Runner = std::function<int(TprewDlg&)>;
    static int run(TprewDlg& dialog);
    static void setRunner(Runner runner);

    // The thumbnail size was changed by the user (also when moved back).
    bool rebuildRequested() const { return rebuild_; }
    TPicLibThumbnails* previewGrid() const;
    TPMultiImage* previewPicture() const;

    void runPreview();   // "Vorschau"
    void acceptChanges();   // "     O K"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillFromWindow();
    void fillOnShow();
    void rebuildPreviewGrid();
    void sizeChanged(int position);
    void checkDirection(int method);
    int chosenDirection() const;
    void writeStartUpKeys() const;

    std::unique_ptr<Ui::TprewDlg> ui;
    Target target_;
    bool loading_ = true;
    bool shown_ = false;
    bool rebuild_ = false;
    bool userMovesSize_ = false;
};
