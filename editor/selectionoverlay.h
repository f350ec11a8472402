#pragma once
// Draws the editor's selection over the picture control: a 1-pixel dotted
// red frame. It lets every mouse event through to the control.

#include <QWidget>

class SelectionRect;

class SelectionOverlay : public QWidget {
    Q_OBJECT
public:
    SelectionOverlay(const SelectionRect& selection, QWidget* control);
    // Drawn only while this is true (selection mode, shown, a picture).
    void setVisibleFrame(bool on);
    bool framesSelection() const { return visibleFrame_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    const SelectionRect& selection_;
    bool visibleFrame_ = false;
};
