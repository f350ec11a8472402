#pragma once
// TEffectForm, "Visuelle Effekte": applies image effects to one picture.
// The caller sets MasterDib (the dialog owns it from then on), shows the
// dialog modally and, when it ends with OK, takes the changed picture with
// TakeMaster. Previews run on a worker on a picture reduced to the preview
// control's size; a newer value stops a running preview. Apply runs at full
// size with progress and "Stop"; the controls are disabled meanwhile.

#include "effectpages.h"
#include "effectrunner.h"

#include <QColor>
#include <QCursor>
#include <QDialog>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>

namespace Ui {
class TEffectForm;
}
class ParamField;
class PalettePage;
class PastePage;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QRadioButton;
class QSlider;
class QToolButton;
class TILPImage;
class TILRubberBand;

class TEffectForm : public QDialog {
    Q_OBJECT
public:
    explicit TEffectForm(QWidget* parent = nullptr);
    ~TEffectForm() override;

    GlobalHandle MasterDib = nullptr;
    QCursor SavedCursor;

    // The master after an OK ending, given to the caller.
    GlobalHandle TakeMaster();

    // Process-wide flags: a preview or apply happened since the last clean
    // state; the dialog is visible.
    static bool Changed();
    static bool Shown();

    // Hooks for the platform's dialogs (tests replace them): a colour
    // (invalid: cancelled), a palette file to open or save (empty:
    // cancelled), a help page to show.
    static std::function<QColor(const QColor& start, QWidget* owner)> ChooseColour;
    static std::function<QString(QWidget* owner, bool save)> ChoosePaletteFile;
    static std::function<void(const QUrl& page)> OpenHelp;

    // ---- the actions of the buttons and menu ----
    void Preview();
    void Apply();
    void Undo();
    void StopEffect();
    void SelectAll();
    void ResetToDefaults();
    void ApplyAndClose();

    // ---- state, for the program and tests ----
    bool SetActivePage(const QString& caption);
    QString ActiveCaption() const;
    const PageSpec* ActivePage() const;
    QSlider* Slider(const QString& caption, const QString& key) const;
    QLineEdit* Field(const QString& caption, const QString& key) const;
    QCheckBox* Check(const QString& caption, const QString& key) const;
    QRadioButton* Radio(const QString& caption, const QString& key, int index) const;
    PageValues Values(const PageSpec& page) const;
    // The selection in master pixels: left, top, right, bottom.
    QRect Selection() const { return selection_; }
    void SetSelection(int left, int top, int right, int bottom);
    QString StatusText() const;
    QString ColourCountText() const;
    TILRubberBand* Band() const { return band_; }
    TILPImage* PreviewControl() const { return preview_; }
    GlobalHandle PreviewPicture() const { return previewDib_; }
    GlobalHandle Snapshot() const { return snapshot_; }
    PalettePage* Palette() const { return palettePage_; }
    PastePage* Paste() const { return pastePage_; }
    EffectRunner& Runner() { return runner_; }
    QToolButton* Button(const QString& name) const;
    QColor Background() const { return background_; }
    void SetBackground(const QColor& c);
    void SetForeground(const QColor& c);
    // Waits for the running work and takes its result (tests).
    void WaitForWork();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // effectform.cpp
    void connectControls();
    void buildMenu();
    void rebuildPreview();
    void readMasterSize();
    void moveSplitter();
    void openHelp(const QString& topic);
    void endDialog();
    // effectformrun.cpp
    void runEffect(bool apply);
    void effectFinished(const EffectOutcome& outcome);
    void progressed(int percent, const QString& operation);
    void finishRun();
    void setBusy(bool busy);
    void showPicture(GlobalHandle dib);
    void automaticPreview();
    // effectformselection.cpp
    void showSelection(bool show);
    void placeBand();
    void bandChanged(int left, int top, int right, int bottom);
    QRect limited(QRect r, int width, int height) const;
    // effectformactivepage.cpp
    void pageChanged();
    void refreshColourCount();
    // effectformpages.cpp
    void buildPages();
    QWidget* buildPage(const PageSpec& spec);
    void addColourButtons(const PageSpec& spec, QWidget* page, class QBoxLayout* layout);
    void chooseColour(bool foreground);
    void recolourSwatches();
    void pageSpecifics();
    void hueColourChosen(int index);
    void trueColourToggled();
    // effectformsettings.cpp
    void loadSettings();
    void saveSettings();
    void writeDefaults();
    void readValues(const QString& prefix);

    std::unique_ptr<Ui::TEffectForm> ui;
    TILPImage* preview_ = nullptr;
    TILRubberBand* band_ = nullptr;
    PalettePage* palettePage_ = nullptr;
    PastePage* pastePage_ = nullptr;
    EffectRunner runner_;
    QMenuBar* menuBar_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* colourCountText_ = nullptr;
    QAction* saveOnExit_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    std::vector<QAction*> actions_;
    std::map<QString, std::unique_ptr<ParamField>> fields_;   // component name of the slider
    std::map<QString, QWidget*> controls_;                    // component name -> control
    std::vector<QWidget*> backgroundSwatches_;
    std::vector<QWidget*> foregroundSwatches_;
    QWidget* redEyeSwatch_ = nullptr;

    GlobalHandle previewDib_ = nullptr;
    GlobalHandle snapshot_ = nullptr;
    int masterWidth_ = 0, masterHeight_ = 0, masterBits_ = 0;
    QRect selection_;   // setCoords(left, top, right, bottom): right and bottom are edges
    QRect bandPlaced_;  // the band last placed from the selection, the same way
    enum class Work { None, Rebuild, Preview, Apply };
    Work work_ = Work::None;
    bool busy() const { return work_ == Work::Apply || work_ == Work::Rebuild; }
    bool stopRequested_ = false;
    bool lastWasApply_ = false;
    bool pasteMode_ = false;
    bool returnResult_ = false;
    bool closeAfterApply_ = false;
    bool settingsLoaded_ = false;
    std::vector<QWidget*> disabledByRun_;
    QColor background_, foreground_, mask_, redEye_;
    QList<QColor> customColours_;
};
