// The effect pages of TEffectForm, built from the page table.

#include "effectform.h"

#include "ilpimage.h"
#include "palettepage.h"
#include "paramfield.h"
#include "pastepage.h"
#include "ui_effectform.h"

#include "effects/effectsstate.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

namespace {

QWidget* swatch(QWidget* parent)
{
    auto* s = new QLabel(parent);
    s->setFixedSize(36, 20);
    s->setFrameShape(QFrame::Box);
    s->setAutoFillBackground(true);
    return s;
}

void paintSwatch(QWidget* s, const QColor& c)
{
    QPalette p = s->palette();
    p.setColor(QPalette::Window, c);
    s->setPalette(p);
}

}  // namespace

void TEffectForm::buildPages()
{
    const auto& pages = effectpages::pages();
    for (const PageSpec& spec : pages) {
        QWidget* page = nullptr;
        if (spec.caption == QLatin1String("Farbpalette")) {
            palettePage_ = new PalettePage(ui->PageControl);
            page = palettePage_;
        } else if (spec.caption == QStringLiteral("Image einfügen")) {
            pastePage_ = new PastePage(ui->PageControl);
            page = pastePage_;
        } else {
            page = buildPage(spec);
        }
        page->setObjectName(QStringLiteral("ts") + spec.id);
        ui->PageControl->addTab(page, spec.caption);
    }
    recolourSwatches();
    pageSpecifics();
}

QWidget* TEffectForm::buildPage(const PageSpec& spec)
{
    auto* scroll = new QScrollArea(ui->PageControl);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* page = new QWidget(scroll);
    scroll->setWidget(page);
    auto* layout = new QVBoxLayout(page);
    if (spec.caption == QLatin1String("Farbenart")) {
        colourCountText_ = new QLabel(page);
        colourCountText_->setWordWrap(true);
        layout->addWidget(colourCountText_);
    }
    if (!spec.text.isEmpty()) {
        auto* text = new QLabel(spec.text, page);
        text->setWordWrap(true);
        layout->addWidget(text);
    }
    if (!spec.sliders.empty()) {
        auto* grid = new QGridLayout;
        int row = 0;
        for (const SliderSpec& s : spec.sliders) {
            auto* label = new QLabel(s.label, page);
            auto* slider = new QSlider(Qt::Horizontal, page);
            slider->setRange(s.min, s.max);
            slider->setValue(s.start);
            auto* field = new QLineEdit(s.fieldStart.isEmpty() ? ParamField::textFor(s.start, s.decimal) : s.fieldStart,
                                        page);
            field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-0000.00")) + 12);
            const QString name = effectpages::componentName("tb", spec, s.key);
            slider->setObjectName(name);
            field->setObjectName(effectpages::componentName("ed", spec, s.key));
            label->setObjectName(effectpages::componentName("lb", spec, s.key));
            auto param = std::make_unique<ParamField>(slider, field, s.decimal);
            param->Changed = [this] { automaticPreview(); };
            fields_[name] = std::move(param);
            controls_[name] = slider;
            controls_[field->objectName()] = field;
            grid->addWidget(label, row, 0);
            grid->addWidget(slider, row, 1);
            grid->addWidget(field, row, 2);
            ++row;
        }
        layout->addLayout(grid);
    }
    for (const CheckSpec& c : spec.checks) {
        auto* box = new QCheckBox(c.label, page);
        box->setChecked(c.checked);
        box->setObjectName(effectpages::componentName("cb", spec, c.key));
        controls_[box->objectName()] = box;
        connect(box, &QCheckBox::toggled, this, [this] { automaticPreview(); });
        layout->addWidget(box);
    }
    for (const RadioSpec& r : spec.radios) {
        QWidget* holder = page;
        QBoxLayout* target = layout;
        if (!r.title.isEmpty()) {
            auto* group = new QGroupBox(r.title, page);
            target = new QHBoxLayout(group);
            if (r.labels.size() > 3)
                target->setDirection(QBoxLayout::TopToBottom);
            holder = group;
            layout->addWidget(group);
        } else {
            target = new QHBoxLayout;
            layout->addLayout(target);
        }
        auto* buttons = new QButtonGroup(holder);
        for (int i = 0; i < r.labels.size(); ++i) {
            auto* radio = new QRadioButton(r.labels[i], holder);
            radio->setObjectName(effectpages::componentName("rb", spec, r.key, i));
            if (i < r.hints.size())
                radio->setToolTip(r.hints[i]);
            radio->setChecked(i == r.selected);
            buttons->addButton(radio, i);
            controls_[radio->objectName()] = radio;
            target->addWidget(radio);
            connect(radio, &QRadioButton::toggled, this, [this](bool on) {
                if (on)
                    automaticPreview();
            });
        }
    }
    addColourButtons(spec, page, layout);
    if (spec.helpButton) {
        auto* help = new QPushButton(QStringLiteral("Hilfe"), page);
        const QString topic = spec.helpTopic;
        connect(help, &QPushButton::clicked, this, [this, topic] {
            if (!topic.isEmpty())
                openHelp(topic);
        });
        help->setVisible(!EffectsHelpFile().isEmpty() && QFileInfo::exists(EffectsHelpFile()));
        layout->addWidget(help, 0, Qt::AlignLeft);
    }
    layout->addStretch(1);
    return scroll;
}

void TEffectForm::addColourButtons(const PageSpec& spec, QWidget* page, QBoxLayout* layout)
{
    auto addButton = [&](const QString& text, bool foreground) {
        auto* row = new QHBoxLayout;
        auto* button = new QPushButton(text, page);
        button->setObjectName(effectpages::componentName("bt", spec, foreground ? QStringLiteral("Fore")
                                                                                : QStringLiteral("Back")));
        QWidget* s = swatch(page);
        (foreground ? foregroundSwatches_ : backgroundSwatches_).push_back(s);
        connect(button, &QPushButton::clicked, this, [this, foreground] { chooseColour(foreground); });
        row->addWidget(button);
        row->addWidget(s);
        row->addStretch(1);
        layout->addLayout(row);
        controls_[button->objectName()] = button;
    };
    if (spec.backgroundButton)
        addButton(spec.caption == QStringLiteral("Ränder") ? QStringLiteral("Farbe auswählen")
                                                            : QStringLiteral("Hintergrundfarbe"),
                  false);
    if (spec.foregroundButton)
        addButton(QStringLiteral("Vordergrundfarbe"), true);
    if (spec.caption == QLatin1String("Rote Augen")) {
        auto* row = new QHBoxLayout;
        auto* button = new QPushButton(QStringLiteral("Augenfarbe"), page);
        redEyeSwatch_ = swatch(page);
        connect(button, &QPushButton::clicked, this, [this] {
            const QColor c = ChooseColour(redEye_, this);
            if (c.isValid()) {
                redEye_ = c;
                recolourSwatches();
                automaticPreview();
            }
        });
        row->addWidget(button);
        row->addWidget(redEyeSwatch_);
        row->addStretch(1);
        layout->addLayout(row);
    }
}

void TEffectForm::chooseColour(bool foreground)
{
    const QColor c = ChooseColour(foreground ? foreground_ : background_, this);
    if (!c.isValid())
        return;
    (foreground ? foreground_ : background_) = c;
    recolourSwatches();
    automaticPreview();
}

void TEffectForm::SetBackground(const QColor& c)
{
    background_ = c;
    recolourSwatches();
}

void TEffectForm::SetForeground(const QColor& c)
{
    foreground_ = c;
    recolourSwatches();
}

void TEffectForm::recolourSwatches()
{
    for (QWidget* s : backgroundSwatches_)
        paintSwatch(s, background_);
    for (QWidget* s : foregroundSwatches_)
        paintSwatch(s, foreground_);
    if (redEyeSwatch_)
        paintSwatch(redEyeSwatch_, redEye_);
}

// Controls of single pages that act on each other.
void TEffectForm::pageSpecifics()
{
    // "Ränder": the colour button only while the picture's own colour is not used
    auto* own = Check(QStringLiteral("Ränder"), QStringLiteral("OwnColour"));
    auto* borderButton = controls_[QStringLiteral("btBordersBack")];
    borderButton->setEnabled(!own->isChecked());
    connect(own, &QCheckBox::toggled, borderButton, [borderButton](bool on) { borderButton->setEnabled(!on); });

    // "Farbenart": true colour disables the count and the dithering
    connect(Check(QStringLiteral("Farbenart"), QStringLiteral("TrueColour")), &QCheckBox::toggled, this,
            [this] { trueColourToggled(); });

    // "Farbton und Sättigung": the hue range follows the colour choice
    for (int i = 0; i < 7; ++i)
        connect(Radio(QStringLiteral("Farbton und Sättigung"), QStringLiteral("Colour"), i), &QRadioButton::toggled,
                this, [this, i](bool on) {
                    if (on)
                        hueColourChosen(i);
                });

    // "Bewegung": no angle while zooming
    auto showAngle = [this] {
        const bool zoom = Radio(QStringLiteral("Bewegung"), QStringLiteral("Kind"), 0)->isChecked();
        for (const char* prefix : {"tb", "ed", "lb"})
            findChild<QWidget*>(QLatin1String(prefix) + QStringLiteral("MotionAngle"))->setVisible(!zoom);
    };
    for (int i = 0; i < 3; ++i)
        connect(Radio(QStringLiteral("Bewegung"), QStringLiteral("Kind"), i), &QRadioButton::toggled, this, showAngle);
    showAngle();

    // "Rote Augen": the two ways of choosing the colour exclude each other
    auto* useColour = Check(QStringLiteral("Rote Augen"), QStringLiteral("UseColour"));
    auto* useAverage = Check(QStringLiteral("Rote Augen"), QStringLiteral("UseAverage"));
    connect(useColour, &QCheckBox::toggled, useAverage, [useAverage](bool on) {
        if (on)
            useAverage->setChecked(false);
    });
    connect(useAverage, &QCheckBox::toggled, useColour, [useColour](bool on) {
        if (on)
            useColour->setChecked(false);
    });
}

void TEffectForm::hueColourChosen(int index)
{
    QSlider* hue = Slider(QStringLiteral("Farbton und Sättigung"), QStringLiteral("Hue"));
    const QSignalBlocker block(hue);
    hue->setRange(0, index == 0 ? 360 : 120);
    hue->setValue(index == 0 ? 180 : 60);
    Field(QStringLiteral("Farbton und Sättigung"), QStringLiteral("Hue"))->setText(QString::number(hue->value()));
}

void TEffectForm::trueColourToggled()
{
    const bool on = Check(QStringLiteral("Farbenart"), QStringLiteral("TrueColour"))->isChecked();
    for (const char* prefix : {"tb", "ed", "lb"})
        findChild<QWidget*>(QLatin1String(prefix) + QStringLiteral("ColourCount"))->setEnabled(!on);
    for (int i = 0; i < 4; ++i)
        Radio(QStringLiteral("Farbenart"), QStringLiteral("Dither"), i)->parentWidget()->setEnabled(!on);
}

QSlider* TEffectForm::Slider(const QString& caption, const QString& key) const
{
    const PageSpec* spec = effectpages::find(caption);
    return spec ? findChild<QSlider*>(effectpages::componentName("tb", *spec, key)) : nullptr;
}

QLineEdit* TEffectForm::Field(const QString& caption, const QString& key) const
{
    const PageSpec* spec = effectpages::find(caption);
    return spec ? findChild<QLineEdit*>(effectpages::componentName("ed", *spec, key)) : nullptr;
}

QCheckBox* TEffectForm::Check(const QString& caption, const QString& key) const
{
    const PageSpec* spec = effectpages::find(caption);
    return spec ? findChild<QCheckBox*>(effectpages::componentName("cb", *spec, key)) : nullptr;
}

QRadioButton* TEffectForm::Radio(const QString& caption, const QString& key, int index) const
{
    const PageSpec* spec = effectpages::find(caption);
    return spec ? findChild<QRadioButton*>(effectpages::componentName("rb", *spec, key, index)) : nullptr;
}

PageValues TEffectForm::Values(const PageSpec& page) const
{
    PageValues v;
    for (const SliderSpec& s : page.sliders)
        v.sliders[s.key] = Slider(page.caption, s.key)->value();
    for (const CheckSpec& c : page.checks)
        v.checks[c.key] = Check(page.caption, c.key)->isChecked();
    for (const RadioSpec& r : page.radios) {
        for (int i = 0; i < r.labels.size(); ++i)
            if (Radio(page.caption, r.key, i)->isChecked())
                v.radios[r.key] = i;
    }
    v.background = background_.rgb();
    v.foreground = foreground_.rgb();
    v.windowColour = palette().color(QPalette::Button).rgb();
    v.redEyeColour = redEye_.rgb();
    return v;
}
