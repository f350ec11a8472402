// TEffectForm's settings under "FilterSettings": the pages' fields, check
// boxes and radio buttons by component name, colours, window place,
// selection, active page and splitter position.

#include "effectform.h"

#include "ilrubberband.h"
#include "ui_effectform.h"

#include "platform/colors.h"
#include "platform/settings.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSplitter>
#include <QTabWidget>

namespace {

const QString kRoot = QStringLiteral("FilterSettings/");
constexpr qint32 kMissing = -99999;

QString section(const char* name)
{
    return kRoot + QLatin1String(name);
}

qint32 readInt(const Settings& s, const QString& sec, const QString& key, qint32 def)
{
    const qint32 v = s.readInteger(sec, key, def);
    return v == kMissing ? def : v;
}

}  // namespace

// The factory defaults, written once from the dialog's start state.
void TEffectForm::writeDefaults()
{
    Settings s;
    if (!s.sectionExists(section("DEF_FL_EDIT")))
        for (const auto& [name, w] : controls_)
            if (auto* e = qobject_cast<QLineEdit*>(w))
                s.writeString(section("DEF_FL_EDIT"), name, e->text());
    if (!s.sectionExists(section("DEF_FL_CHECK")))
        for (const auto& [name, w] : controls_)
            if (auto* c = qobject_cast<QCheckBox*>(w))
                s.writeInteger(section("DEF_FL_CHECK"), name, c->isChecked() ? 1 : 0);
    if (!s.sectionExists(section("DEF_FL_RADIO")))
        for (const auto& [name, w] : controls_)
            if (auto* r = qobject_cast<QRadioButton*>(w))
                s.writeInteger(section("DEF_FL_RADIO"), name, r->isChecked() ? 1 : 0);
    if (!s.sectionExists(section("DEF_FL_COLOR"))) {
        s.writeInteger(section("DEF_FL_COLOR"), QStringLiteral("BackGroundColor"), colors::fromQColor(background_));
        s.writeInteger(section("DEF_FL_COLOR"), QStringLiteral("ForeGroundColor"), colors::fromQColor(foreground_));
        s.writeInteger(section("DEF_FL_COLOR"), QStringLiteral("MaskColor"), colors::fromQColor(mask_));
    }
    s.sync();
}

// Fields, check boxes, radio buttons and colours from the sections with
// the prefix ("FL_" or "DEF_FL_").
void TEffectForm::readValues(const QString& prefix)
{
    Settings s;
    const QString edit = kRoot + prefix + QStringLiteral("EDIT");
    const QString check = kRoot + prefix + QStringLiteral("CHECK");
    const QString radio = kRoot + prefix + QStringLiteral("RADIO");
    const QString colour = kRoot + prefix + QStringLiteral("COLOR");
    for (const auto& [name, w] : controls_) {
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            const QString v = s.readString(edit, name, QStringLiteral("x"));
            if (v != QLatin1String("x")) {
                e->setText(v);
                emit e->textEdited(v);   // the slider follows the field
            }
        } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
            if (s.valueExists(check, name))
                c->setChecked(readInt(s, check, name, 0) != 0);
        } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
            if (s.valueExists(radio, name) && readInt(s, radio, name, 0) != 0)
                r->setChecked(true);
        }
    }
    auto readColour = [&](const QString& key, QColor& target) {
        const qint32 v = readInt(s, colour, key, kMissing);
        if (v != kMissing)
            target = colors::toQColor(v);
    };
    readColour(QStringLiteral("BackGroundColor"), background_);
    readColour(QStringLiteral("ForeGroundColor"), foreground_);
    readColour(QStringLiteral("MaskColor"), mask_);
    recolourSwatches();
}

void TEffectForm::loadSettings()
{
    writeDefaults();
    runner_.blockSignals(true);
    const Work work = work_;
    work_ = Work::Apply;   // no automatic preview while the values arrive
    readValues(QStringLiteral("FL_"));
    work_ = work;
    runner_.blockSignals(false);
    Settings s;
    const QString pos = section("FL_POS");
    const int left = readInt(s, pos, QStringLiteral("LEFT"), kMissing);
    const int top = readInt(s, pos, QStringLiteral("TOP"), kMissing);
    const int width = readInt(s, pos, QStringLiteral("WIDTH"), kMissing);
    const int height = readInt(s, pos, QStringLiteral("HEIGHT"), kMissing);
    if (width > 200 && height > 150)
        resize(width, height);
    if (left != kMissing && top != kMissing)
        move(left, top);
    redEye_ = colors::toQColor(readInt(s, section("DEF_FL_COLOR"), QStringLiteral("RedEyes"), colors::kButtonFace));
    for (int i = 0; i < 16 && i < customColours_.size(); ++i) {
        const qint32 v = readInt(s, section("CustomColors"), QString::number(i), kMissing);
        if (v != kMissing)
            customColours_[i] = colors::toQColor(v);
    }
    for (int i = 0; i < customColours_.size(); ++i)
        QColorDialog::setCustomColor(i, customColours_[i]);
    const QString band = section("FL_RUBBERBAND");
    const int l = readInt(s, band, QStringLiteral("CropX"), kMissing);
    const int t = readInt(s, band, QStringLiteral("CropY"), kMissing);
    const int r = readInt(s, band, QStringLiteral("CropWidth"), kMissing);
    const int b = readInt(s, band, QStringLiteral("CropHeight"), kMissing);
    if (l != kMissing && t != kMissing && r != kMissing && b != kMissing && r > l && b > t)
        selection_.setCoords(l, t, r, b);
    const int page = readInt(s, section("ActivePage"), QStringLiteral("Page"), 0);
    if (page >= 0 && page < ui->PageControl->count())
        ui->PageControl->setCurrentIndex(page);
    const int split = readInt(s, section("SplitCtrl"), QStringLiteral("Position"), 400);
    const int total = ui->SplitCtrl->width();
    if (split > 0 && total - split > 200)
        ui->SplitCtrl->setSizes({split, total - split});
    recolourSwatches();
}

void TEffectForm::saveSettings()
{
    Settings s;
    for (const auto& [name, w] : controls_) {
        if (auto* e = qobject_cast<QLineEdit*>(w))
            s.writeString(section("FL_EDIT"), name, e->text());
        else if (auto* c = qobject_cast<QCheckBox*>(w))
            s.writeInteger(section("FL_CHECK"), name, c->isChecked() ? 1 : 0);
        else if (auto* r = qobject_cast<QRadioButton*>(w))
            s.writeInteger(section("FL_RADIO"), name, r->isChecked() ? 1 : 0);
    }
    s.writeInteger(section("FL_POS"), QStringLiteral("LEFT"), pos().x());
    s.writeInteger(section("FL_POS"), QStringLiteral("TOP"), pos().y());
    s.writeInteger(section("FL_POS"), QStringLiteral("WIDTH"), width());
    s.writeInteger(section("FL_POS"), QStringLiteral("HEIGHT"), height());
    s.writeInteger(section("FL_COLOR"), QStringLiteral("BackGroundColor"), colors::fromQColor(background_));
    s.writeInteger(section("FL_COLOR"), QStringLiteral("ForeGroundColor"), colors::fromQColor(foreground_));
    s.writeInteger(section("FL_COLOR"), QStringLiteral("MaskColor"), colors::fromQColor(mask_));
    s.writeInteger(section("DEF_FL_COLOR"), QStringLiteral("RedEyes"), colors::fromQColor(redEye_));
    for (int i = 0; i < 16; ++i)
        s.writeInteger(section("CustomColors"), QString::number(i), colors::fromQColor(QColorDialog::customColor(i)));
    s.writeInteger(section("FL_RUBBERBAND"), QStringLiteral("CropX"), selection_.left());
    s.writeInteger(section("FL_RUBBERBAND"), QStringLiteral("CropY"), selection_.top());
    s.writeInteger(section("FL_RUBBERBAND"), QStringLiteral("CropWidth"), selection_.right());
    s.writeInteger(section("FL_RUBBERBAND"), QStringLiteral("CropHeight"), selection_.bottom());
    s.writeInteger(section("ActivePage"), QStringLiteral("Page"), ui->PageControl->currentIndex());
    s.writeInteger(section("SplitCtrl"), QStringLiteral("Position"), ui->SplitCtrl->sizes().value(0));
    s.sync();
}

void TEffectForm::ResetToDefaults()
{
    writeDefaults();
    const Work work = work_;
    work_ = Work::Apply;
    readValues(QStringLiteral("DEF_FL_"));
    work_ = work;
    moveSplitter();
}
