#include "paramfield.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QSlider>

#include <cmath>

ParamField::ParamField(QSlider* slider, QLineEdit* field, bool decimal, QObject* parent)
    : QObject(parent), slider_(slider), field_(field), decimal_(decimal)
{
    connect(slider_, &QSlider::valueChanged, this, &ParamField::sliderMoved);
    connect(field_, &QLineEdit::textEdited, this, &ParamField::fieldEdited);
    field_->installEventFilter(this);
}

int ParamField::position() const
{
    return slider_->value();
}

QString ParamField::textFor(int position, bool decimal)
{
    return decimal ? QString::asprintf("%3.2f", position / 10.0) : QString::number(position);
}

bool ParamField::keyAccepted(int key, const QString& text, bool decimal)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return false;
    if (text.isEmpty() || text.at(0).isNull() || text.at(0).category() == QChar::Other_Control)
        return true;   // control keys: cursor movement, deletion
    const QChar c = text.at(0);
    const QChar separator = QLocale().decimalPoint().at(0);
    if (c.isDigit() || c == QLatin1Char('-') || c == separator)
        return true;
    return decimal ? c == QLatin1Char('.') : c == QLatin1Char('+');
}

bool ParamField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!keyAccepted(key->key(), key->text(), decimal_)) {
            QApplication::beep();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ParamField::sliderMoved(int position)
{
    if (updating_)
        return;
    updating_ = true;
    field_->setText(textFor(position, decimal_));
    updating_ = false;
    if (Changed)
        Changed();
}

void ParamField::fieldEdited(const QString& input)
{
    QString text = input.trimmed();
    if (text.isEmpty())
        text = QStringLiteral("0");
    else if (text == QLatin1String("-"))
        text = QStringLiteral("-1");
    const double scale = decimal_ ? 10.0 : 1.0;
    bool ok = false;
    double value = decimal_ ? QLocale().toDouble(text, &ok) : double(text.toInt(&ok));
    if (decimal_ && !ok)
        value = text.toDouble(&ok);
    if (!ok)
        value = 0;
    const double lo = slider_->minimum() / scale;
    const double hi = slider_->maximum() / scale;
    if (value > hi || value < lo) {
        value = value > hi ? hi : lo;
        text = decimal_ ? QString::asprintf("%3.2f", value) : QString::number(int(value));
    }
    if (text != input)
        field_->setText(text);
    const int before = slider_->value();
    updating_ = true;
    slider_->setValue(int(std::lround(value * scale)));
    updating_ = false;
    if (slider_->value() != before && Changed)
        Changed();
}
