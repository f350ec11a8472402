#pragma once
// A slider and the text field beside it, kept in step. Integer pairs show
// the position; decimal pairs hold tenths and show position / 10 as
// "%3.2f". Editing the field: empty becomes "0", a lone "-" becomes "-1",
// other text that is no number counts as 0, a value past the slider's
// bounds is replaced by the bound; then the slider takes the value.

#include <QObject>
#include <functional>

class QLineEdit;
class QSlider;

class ParamField : public QObject {
    Q_OBJECT
public:
    ParamField(QSlider* slider, QLineEdit* field, bool decimal, QObject* parent = nullptr);

    QSlider* slider() const { return slider_; }
    QLineEdit* field() const { return field_; }
    bool decimal() const { return decimal_; }
    int position() const;

    // Called after the user moved the slider (the automatic preview).
    std::function<void()> Changed;

    // The field's text for a slider position.
    static QString textFor(int position, bool decimal);
    // Whether the key may go into an integer (decimal false) or decimal field.
    static bool keyAccepted(int key, const QString& text, bool decimal);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sliderMoved(int position);
    void fieldEdited(const QString& text);

    QSlider* slider_;
    QLineEdit* field_;
    bool decimal_;
    bool updating_ = false;
};
