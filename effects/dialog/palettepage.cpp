#include "palettepage.h"

#include "palettegrid.h"

#include "codec/binding/dibconvert.h"
#include "codec/binding/errorinvalid.h"
#include "dibcore/dibcore.h"
#include "dibcore/dibguard.h"
#include "dibcore/dibview.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

QRgb toRgb(const dibcore::RgbQuad& q)
{
    return qRgb(q.red, q.green, q.blue);
}

}  // namespace

PalettePage::PalettePage(QWidget* parent) : QWidget(parent)
{
    buildControls();
    connect(&runner_, &EffectRunner::finished, this, [this](const EffectOutcome& o) {
        EffectOutcome outcome = o;
        if (outcome.result && dib_) {
            FreeDIB(*dib_);
            *dib_ = outcome.result;
            outcome.result = nullptr;
            SetPicture(dib_);
            edited_ = true;
            if (PictureReplaced)
                PictureReplaced();
        }
        EffectRunner::freeOutcome(outcome);
        editor_->setEnabled(enabled_);
    });
}

void PalettePage::buildControls()
{
    auto* outer = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Palette Info"), this);
    outer->addWidget(group);
    auto* layout = new QVBoxLayout(group);
    editor_ = new QWidget(group);
    layout->addWidget(editor_);
    auto* grid = new QGridLayout(editor_);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* frame = new QWidget(editor_);
    auto* frameLayout = new QVBoxLayout(frame);
    grid_ = new PaletteGrid(frame);
    frameLayout->addWidget(grid_);
    grid->addWidget(frame, 0, 0, 1, 3);
    grid_->Pressed = [this](int index) { SelectIndex(index); };

    auto addSlider = [&](int row, QSlider*& slider, QLabel*& label, const QString& hint) {
        slider = new QSlider(Qt::Horizontal, editor_);
        slider->setRange(0, 255);
        slider->setToolTip(hint);
        slider->setStatusTip(hint);
        label = new QLabel(editor_);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("G: 255")) + 4);
        grid->addWidget(label, row, 0);
        grid->addWidget(slider, row, 1, 1, 2);
        connect(slider, &QSlider::valueChanged, this, [this] {
            if (!quiet_)
                sliderChanged();
        });
    };
    addSlider(1, red_, redLabel_, QStringLiteral("Set the red component of the color"));
    addSlider(2, green_, greenLabel_, QStringLiteral("Set the green component of the color"));
    addSlider(3, blue_, blueLabel_, QStringLiteral("Set the blue component of the color"));
    indexLabel_ = new QLabel(editor_);
    grid->addWidget(indexLabel_, 4, 0, 1, 2);
    swatch_ = new QPushButton(editor_);
    swatch_->setFixedSize(48, 24);
    swatch_->setToolTip(QStringLiteral("Click Me to apply to palette"));
    swatch_->setStatusTip(swatch_->toolTip());
    grid->addWidget(swatch_, 4, 2);
    connect(swatch_, &QPushButton::clicked, this, [this] { ApplySwatch(); });

    choice_ = new QComboBox(editor_);
    choice_->addItems({QStringLiteral("GrayScale Palette erzeugen"),
                       QStringLiteral("Palette aus einer Datei laden und optimieren"),
                       QStringLiteral("Palette aus einer Datei laden und übernehmen"),
                       QStringLiteral("Speichern aktuelle Palette")});
    choice_->setCurrentIndex(0);
    ok_ = new QPushButton(QStringLiteral("OK"), editor_);
    grid->addWidget(choice_, 5, 0, 1, 2);
    grid->addWidget(ok_, 5, 2);
    connect(ok_, &QPushButton::clicked, this, [this] { RunOperation(Operation(choice_->currentIndex())); });

    noPalette_ = new QLabel(QStringLiteral("Dieses Bild hat keine Farbpalette."), group);
    layout->addWidget(noPalette_);
    outer->addStretch(1);
    enableEditor(false);
    quiet_ = true;
    SetSliderColour(0, 0, 0);
    quiet_ = false;
    redLabel_->setText(QStringLiteral("R: 0"));
    greenLabel_->setText(QStringLiteral("G: 0"));
    blueLabel_->setText(QStringLiteral("B: 0"));
    indexLabel_->setText(QStringLiteral("Color Index: (0)"));
}

void PalettePage::enableEditor(bool on)
{
    enabled_ = on;
    editor_->setEnabled(on);
    noPalette_->setVisible(!on);
}

void PalettePage::SetPicture(GlobalHandle* dib)
{
    dib_ = dib;
    entries_.clear();
    const dibcore::DibView view = dib && *dib ? dibcore::lockView(*dib) : dibcore::DibView();
    const bool palettePicture = view.valid() && view.bitCount() <= 8 && view.colorCount() > 0;
    if (palettePicture)
        entries_.assign(view.colorTable(), view.colorTable() + view.colorCount());
    if (dib && *dib)
        globalmem::unlock(*dib);
    std::vector<QRgb> colours;
    for (const dibcore::RgbQuad& q : entries_)
        colours.push_back(toRgb(q));
    grid_->SetColours(colours);
    enableEditor(palettePicture);
}

int PalettePage::colourCount() const
{
    return int(entries_.size());
}

void PalettePage::SelectIndex(int index)
{
    index_ = index;
    if (index < colourCount()) {
        const dibcore::RgbQuad q = entries_[size_t(index)];
        quiet_ = true;
        SetSliderColour(q.red, q.green, q.blue);
        quiet_ = false;
    }
    sliderChanged();
}

void PalettePage::TakeColour(QRgb colour)
{
    if (entries_.empty())
        return;
    quiet_ = true;
    SetSliderColour(qRed(colour), qGreen(colour), qBlue(colour));
    quiet_ = false;
    index_ = dibcore::nearestIndex(entries_, qRed(colour), qGreen(colour), qBlue(colour));
    sliderChanged();
}

void PalettePage::SetSliderColour(int red, int green, int blue)
{
    red_->setValue(red);
    green_->setValue(green);
    blue_->setValue(blue);
}

void PalettePage::sliderChanged()
{
    edited_ = true;
    redLabel_->setText(QStringLiteral("R: ") + QString::number(red_->value()));
    greenLabel_->setText(QStringLiteral("G: ") + QString::number(green_->value()));
    blueLabel_->setText(QStringLiteral("B: ") + QString::number(blue_->value()));
    indexLabel_->setText(QStringLiteral("Color Index: (") + QString::number(index_) + QLatin1Char(')'));
    swatch_->setStyleSheet(QStringLiteral("background-color: %1")
                               .arg(QColor(red_->value(), green_->value(), blue_->value()).name()));
    ApplySwatch();
}

void PalettePage::ApplySwatch()
{
    if (!enabled_ || index_ >= colourCount())
        return;
    entries_[size_t(index_)] = dibcore::rgb(red_->value(), green_->value(), blue_->value());
    const QRgb colour = toRgb(entries_[size_t(index_)]);
    grid_->SetColour(index_, colour);
    writeColourTable();
    if (ColourChanged)
        ColourChanged(index_, colour);
}

void PalettePage::writeColourTable()
{
    if (!dib_ || !*dib_)
        return;
    const dibcore::DibView view = dibcore::lockView(*dib_);
    if (view.valid() && view.mutableColorTable()) {
        dibcore::RgbQuad* table = view.mutableColorTable();
        for (int i = 0; i < view.colorCount() && i < colourCount(); ++i)
            table[i] = entries_[size_t(i)];
    }
    globalmem::unlock(*dib_);
}

bool PalettePage::loadInto(const QString& path)
{
    std::optional<PaletteEntries> palette = entries_;
    int loaded = 0;
    try {
        loaded = LoadPaletteFile(path, palette);
    } catch (const ErrorInvalid& e) {
        if (Failed)
            Failed(e.message());
        return false;
    }
    if (loaded == 0) {
        if (Failed)
            Failed(QStringLiteral("Die Datei \"%1\" ist keine Korvane-3.0-Palette; es wurde nichts geladen.")
                       .arg(QFileInfo(path).fileName()));
        return false;
    }
    entries_ = *palette;
    return true;
}

void PalettePage::remap(PaletteEntries target)
{
    if (!dib_ || !*dib_)
        return;
    const GlobalHandle copy = dibcore::copyBlock(*dib_);
    if (!copy)
        return;
    editor_->setEnabled(false);
    runner_.start([copy, target](const EffectRunner::Context& c) mutable {
        GlobalHandle picture = copy;
        EffectOutcome outcome;
        try {
            if (RemapToPalette(target, picture, c.owner, c.progress))
                outcome.result = picture;
            else
                FreeDIB(picture);
        } catch (...) {
            FreeDIB(picture);
        }
        return outcome;
    });
}

void PalettePage::RunOperation(Operation operation)
{
    if (!enabled_ || runner_.busy())
        return;
    switch (operation) {
    case MakeGrey:
        edited_ = true;
        remap(MakeGrayPalette(colourCount()));
        break;
    case LoadAndRemap: {
        const QString path = ChooseOpenFile ? ChooseOpenFile() : QString();
        if (path.isEmpty())
            return;
        edited_ = true;
        if (loadInto(path))
            remap(entries_);
        break;
    }
    case LoadAndTake: {
        const QString path = ChooseOpenFile ? ChooseOpenFile() : QString();
        if (path.isEmpty())
            return;
        edited_ = true;
        if (loadInto(path)) {
            writeColourTable();
            SetPicture(dib_);
            if (PictureReplaced)
                PictureReplaced();
        }
        break;
    }
    case SavePalette: {
        const QString path = ChooseSaveFile ? ChooseSaveFile() : QString();
        if (path.isEmpty())
            return;
        try {
            SavePaletteFile(path, entries_, colourCount());
        } catch (const ErrorInvalid& e) {
            if (Failed)
                Failed(e.message());
        }
        break;
    }
    }
}
