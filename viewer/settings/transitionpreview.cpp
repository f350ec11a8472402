#include "transitionpreview.h"

#include "imagecontrol/pmultiimage.h"

#include <QLineEdit>
#include <QSlider>

#include <algorithm>

int trackValueOfText(const QString& text, int minimum, int maximum)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    return int(std::clamp<qlonglong>(ok ? value : 1, minimum, maximum));
}

void connectTrack(QSlider* slider, QLineEdit* field)
{
    QObject::connect(slider, &QSlider::valueChanged, field, [field](int value) {
        if (!field->hasFocus())
            field->setText(QString::number(value));
    });
    QObject::connect(field, &QLineEdit::textEdited, slider, [slider](const QString& text) {
        slider->setValue(trackValueOfText(text, slider->minimum(), slider->maximum()));
    });
    QObject::connect(field, &QLineEdit::editingFinished, slider,
                     [slider, field] { field->setText(QString::number(slider->value())); });
}

void playTransitionPreview(TPMultiImage& control, int delay, int thick, TFXMethod method)
{
    control.FXDelay = delay;
    control.FXColRowThick = thick;
    control.FXMethod = method;
    if (method == FXNone || control.Picture().empty())
        return;
    control.TransitionBitmap = control.Picture();
    control.setPicture(TBitmap());
    control.PlayTransition();
}
