#pragma once
// The page "Farbpalette": edits the colour table of the dialog's master
// picture (8 bits or fewer) in place: single entries through three
// sliders, a grey palette, palettes loaded from and saved to ".ILP" files.
// Remapping runs on a worker; the master is replaced when it is done.

#include "effectrunner.h"
#include "palettefile.h"

#include <QWidget>
#include <functional>

class PaletteGrid;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

class PalettePage : public QWidget {
    Q_OBJECT
public:
    enum Operation { MakeGrey, LoadAndRemap, LoadAndTake, SavePalette };

    explicit PalettePage(QWidget* parent = nullptr);

    // The picture edited (the dialog's master handle); null, or a picture
    // of more than 8 bits, disables the editor.
    void SetPicture(GlobalHandle* dib);
    bool EditorEnabled() const { return enabled_; }
    bool Edited() const { return edited_; }
    void ClearEdited() { edited_ = false; }
    const PaletteEntries& Entries() const { return entries_; }
    int SelectedIndex() const { return index_; }

    void SelectIndex(int index);
    // The sliders take the colour (the nearest entry is selected) as a
    // press on the picture does.
    void TakeColour(QRgb colour);
    void SetSliderColour(int red, int green, int blue);
    void ApplySwatch();
    void RunOperation(Operation operation);

    QSlider* RedSlider() const { return red_; }
    QComboBox* Choice() const { return choice_; }
    EffectRunner& Runner() { return runner_; }

    // Hooks the dialog sets: file names (empty: cancelled), a changed
    // colour of the picture, a picture replaced or recoloured as a whole,
    // and a message to show.
    std::function<QString()> ChooseOpenFile;
    std::function<QString()> ChooseSaveFile;
    std::function<void(int index, QRgb colour)> ColourChanged;
    std::function<void()> PictureReplaced;
    std::function<void(const QString& message)> Failed;

private:
    void buildControls();
    void enableEditor(bool on);
    void sliderChanged();
    void writeColourTable();
    void remap(PaletteEntries target);
    bool loadInto(const QString& path);
    int colourCount() const;

    GlobalHandle* dib_ = nullptr;
    PaletteEntries entries_;
    int index_ = 0;
    bool enabled_ = false;
    bool edited_ = false;
    bool quiet_ = false;
    EffectRunner runner_;

    PaletteGrid* grid_ = nullptr;
    QLabel* noPalette_ = nullptr;
    QSlider* red_ = nullptr;
    QSlider* green_ = nullptr;
    QSlider* blue_ = nullptr;
    QLabel* redLabel_ = nullptr;
    QLabel* greenLabel_ = nullptr;
    QLabel* blueLabel_ = nullptr;
    QLabel* indexLabel_ = nullptr;
    QPushButton* swatch_ = nullptr;
    QComboBox* choice_ = nullptr;
    QPushButton* ok_ = nullptr;
    QWidget* editor_ = nullptr;
};
