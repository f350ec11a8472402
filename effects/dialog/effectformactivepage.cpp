// TEffectForm: the active page, what a change of page enables and shows,
// and the colour count of the picture.

#include "effectform.h"
#include "effectformshared.h"

#include "ilpimage.h"
#include "palettepage.h"
#include "pastepage.h"
#include "ui_effectform.h"

#include "codec/binding/dibconvert.h"
#include "dibcore/dibcore.h"
#include "effects/effectframe.h"

#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>

using namespace effectformshared;

QString TEffectForm::ActiveCaption() const
{
    return ui->PageControl->tabText(ui->PageControl->currentIndex());
}

const PageSpec* TEffectForm::ActivePage() const
{
    return effectpages::find(ActiveCaption());
}

bool TEffectForm::SetActivePage(const QString& caption)
{
    for (int i = 0; i < ui->PageControl->count(); ++i) {
        if (ui->PageControl->tabText(i) == caption) {
            ui->PageControl->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void TEffectForm::pageChanged()
{
    refreshColourCount();
    const PageSpec* page = ActivePage();
    const QString caption = ActiveCaption();
    const bool selection = page && page->selection;
    ui->sbHideSelection->setEnabled(selection);
    showSelection(selection);
    const bool havePreview = previewDib_ != nullptr;
    ui->sbPreview->setEnabled(havePreview);
    ui->sbApply->setEnabled(havePreview);
    ui->sbApplyClose->setEnabled(havePreview);
    const bool palette = caption == QLatin1String("Farbpalette");
    const bool paste = caption == QStringLiteral("Image einfügen");
    if (palette) {
        ui->sbPreview->setEnabled(false);
        ui->sbApply->setEnabled(false);
    }
    pasteMode_ = paste;
    if (paste)
        ui->sbPreview->setEnabled(false);
    pastePage_->SetPolling(paste);
    preview_->SetOverlayMode(paste && !pastePage_->PictureImage().isNull());
    if (!havePreview)
        return;
    if (palette && masterBits_ <= 8) {
        runner_.stop();
        palettePage_->SetPicture(&MasterDib);
        preview_->SetPicture(imageOf(MasterDib));
        return;
    }
    palettePage_->SetPicture(nullptr);
    if (palettePage_->Edited()) {
        palettePage_->ClearEdited();
        rebuildPreview();
        return;
    }
    showPicture(snapshot_);
    FreeDIB(previewDib_);
    previewDib_ = dibcore::copyBlock(snapshot_);
}

void TEffectForm::refreshColourCount()
{
    if (!colourCountText_)
        return;
    auto* trueColour = qobject_cast<QCheckBox*>(controls_[QStringLiteral("cbColourTrueColour")]);
    if (!previewDib_) {
        colourCountText_->clear();
        return;
    }
    const int bits = effectframe::bitCount(previewDib_);
    switch (bits) {
    case 1: colourCountText_->setText(QStringLiteral("Das gegenwärtige gestellte Bild hat 1 Farbe")); break;
    case 4: colourCountText_->setText(QStringLiteral("Das gegenwärtige gestellte Bild hat 16 Farben")); break;
    case 8: colourCountText_->setText(QStringLiteral("Das gegenwärtige gestellte Bild hat 256 Farben")); break;
    case 16:
    case 24:
        colourCountText_->setText(QStringLiteral("Das gegenwärtige gestellte Bild hat %1 Bit Farben").arg(bits));
        trueColour->setChecked(false);
        trueColour->setEnabled(false);
        return;
    default: return;
    }
    trueColour->setEnabled(true);
}

QString TEffectForm::ColourCountText() const
{
    return colourCountText_ ? colourCountText_->text() : QString();
}

QString TEffectForm::StatusText() const
{
    return statusText_->text();
}
