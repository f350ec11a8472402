// TEffectForm: preview, apply, undo and stop; the effect runs on the
// runner's worker and its outcome comes back here.

#include "effectform.h"
#include "effectformshared.h"

#include "ilpimage.h"
#include "palettepage.h"
#include "pastepage.h"
#include "ui_effectform.h"

#include "codec/binding/dibconvert.h"
#include "dibcore/dibcore.h"
#include "effects/effectcalls.h"
#include "effects/effectframe.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

#include <initializer_list>

using namespace effectformshared;

void TEffectForm::showPicture(GlobalHandle dib)
{
    preview_->SetPicture(imageOf(dib));
}

void TEffectForm::automaticPreview()
{
    if (ui->sbPreview->isEnabled() && !busy())
        Preview();
}

void TEffectForm::Preview()
{
    runEffect(false);
}

void TEffectForm::Apply()
{
    runEffect(true);
}

void TEffectForm::runEffect(bool apply)
{
    const PageSpec* page = ActivePage();
    if (!shownFlag || !previewDib_ || !page || page->caption == QLatin1String("Farbpalette") || busy())
        return;
    if (!apply && !ui->sbPreview->isEnabled())
        return;
    const bool paste = page->caption == QStringLiteral("Image einfügen");
    if (!apply && page->caption == QLatin1String("Kneifenloch") &&
        Values(*page).slider(QStringLiteral("Value")) == 0) {
        if (ui->sbUndo->isEnabled())
            Undo();
        return;
    }
    changedFlag = true;
    stopRequested_ = false;
    ui->ProgressBar->setValue(0);
    ui->sbApplyClose->setEnabled(true);
    lastWasApply_ = apply;

    EffectRequest request;
    request.values = Values(*page);
    const QSize previewSize = preview_->size();
    if (apply) {
        const QRect r = paste ? selection_ : limited(selection_, masterWidth_, masterHeight_);
        request.left = r.left(), request.top = r.top(), request.right = r.right(), request.bottom = r.bottom();
        ui->sbUndo->setEnabled(false);
        work_ = Work::Apply;
        setBusy(true);
    } else {
        // previews never accumulate: each starts from the snapshot
        FreeDIB(previewDib_);
        previewDib_ = dibcore::copyBlock(snapshot_);
        const int pw = effectframe::width(previewDib_), ph = effectframe::height(previewDib_);
        const QRect r = limited(QRect(QPoint(scaled(selection_.left(), pw, masterWidth_),
                                             scaled(selection_.top(), ph, masterHeight_)),
                                      QPoint(scaled(selection_.right(), pw, masterWidth_),
                                             scaled(selection_.bottom(), ph, masterHeight_))),
                                pw, ph);
        request.left = r.left(), request.top = r.top(), request.right = r.right(), request.bottom = r.bottom();
        ui->sbUndo->setEnabled(true);
        work_ = Work::Preview;
        ui->sbStop->setEnabled(true);
    }
    const bool fromMaster = apply || page->masterSource;
    const GlobalHandle source = dibcore::copyBlock(fromMaster ? MasterDib : snapshot_);
    const GlobalHandle pasted = paste ? dibcore::copyBlock(pastePage_->Picture()) : nullptr;
    const EffectRun run = page->run;
    const int resultBits = masterBits_;
    runner_.start([=](const EffectRunner::Context& c) mutable {
        EffectOutcome o;
        request.source = source;
        request.owner = c.owner;
        request.progress = c.progress;
        request.frame = c.frame;
        if (paste) {
            if (pasted) {
                const GlobalHandle fitted =
                    ScaleDib(pasted, request.right - request.left, request.bottom - request.top, 24);
                if (fitted)
                    o.result = DropDib(source, fitted, -1, -1, -1, request.top, request.left);
                FreeDIB(fitted);
                FreeDIB(pasted);
            }
        } else if (run) {
            o.result = run(request);
        }
        if (request.source != o.result)
            FreeDIB(request.source);
        if (c.stopped()) {
            FreeDIB(o.result);
            o.result = nullptr;
        }
        if (apply && o.result)
            o.preview = previewOf(o.result, previewSize);
        o.shown = imageOf(apply ? o.preview : o.result);
        Q_UNUSED(resultBits);
        return o;
    });
}

void TEffectForm::effectFinished(const EffectOutcome& result)
{
    EffectOutcome o = result;
    const Work work = work_;
    work_ = Work::None;
    if (work == Work::None) {   // undone meanwhile
        EffectRunner::freeOutcome(o);
        return;
    }
    if (work == Work::Rebuild) {
        FreeDIB(previewDib_);
        FreeDIB(snapshot_);
        previewDib_ = o.preview;
        snapshot_ = dibcore::copyBlock(o.preview);
        o.preview = nullptr;
        preview_->SetPicture(o.shown);
        setBusy(false);
        moveSplitter();
        placeBand();
        pageChanged();
        EffectRunner::freeOutcome(o);
        return;
    }
    if (work == Work::Apply) {
        if (o.result) {
            FreeDIB(MasterDib);
            MasterDib = o.result;
            o.result = nullptr;
            readMasterSize();
            FreeDIB(previewDib_);
            FreeDIB(snapshot_);
            previewDib_ = o.preview;
            snapshot_ = dibcore::copyBlock(o.preview);
            o.preview = nullptr;
            if (ActiveCaption() == QLatin1String("Rote Augen"))
                changedFlag = false;
        }
        showPicture(previewDib_);
        setBusy(false);
    } else if (o.result) {
        FreeDIB(previewDib_);
        previewDib_ = o.result;
        o.result = nullptr;
        preview_->SetPicture(o.shown);
    } else {
        showPicture(previewDib_);
    }
    EffectRunner::freeOutcome(o);
    finishRun();
    if (closeAfterApply_ && work == Work::Apply) {
        closeAfterApply_ = false;
        endDialog();
    }
}

void TEffectForm::finishRun()
{
    const PageSpec* page = ActivePage();
    showSelection(page && page->selection);
    ui->sbStop->setEnabled(false);
    statusText_->clear();
    refreshColourCount();
    ui->sbPreview->setEnabled(previewDib_ && page && page->run && !pasteMode_);
    preview_->update();
}

void TEffectForm::setBusy(bool busy)
{
    if (busy) {
        disabledByRun_.clear();
        for (QWidget* w : std::initializer_list<QWidget*>{ui->sbHideSelection, ui->sbSelectAll, ui->sbUndo,
                                                          ui->sbPreview, ui->sbApply, ui->sbApplyClose, ui->sbClose,
                                                          ui->PageControl, menuBar_}) {
            if (w->isEnabled()) {
                disabledByRun_.push_back(w);
                w->setEnabled(false);
            }
        }
        ui->sbStop->setEnabled(true);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        for (QWidget* w : disabledByRun_)
            w->setEnabled(true);
        disabledByRun_.clear();
        ui->sbStop->setEnabled(false);
        QApplication::restoreOverrideCursor();
    }
}

void TEffectForm::progressed(int percent, const QString& operation)
{
    QProgressBar* bar = ui->ProgressBar;
    if (percent == 0) {
        bar->setValue(0);
    } else if (percent > 99) {
        bar->setValue(percent);
    } else if (percent > bar->value() + 5) {
        bar->setValue(percent);
        statusText_->setText(operation);
    }
}

void TEffectForm::StopEffect()
{
    stopRequested_ = true;
    runner_.stop();
}

void TEffectForm::Undo()
{
    if (busy())
        return;
    runner_.stop();
    work_ = Work::None;
    FreeDIB(previewDib_);
    previewDib_ = dibcore::copyBlock(snapshot_);
    showPicture(previewDib_);
    moveSplitter();
    changedFlag = false;
    finishRun();
}

void TEffectForm::WaitForWork()
{
    runner_.waitForIdle();
    palettePage_->Runner().waitForIdle();
    pastePage_->Runner().waitForIdle();
}
