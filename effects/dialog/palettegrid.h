#pragma once
// The 16 x 16 grid of a palette's colours; a press selects the cell's index.

#include <QRgb>
#include <QWidget>
#include <functional>
#include <vector>

class PaletteGrid : public QWidget {
    Q_OBJECT
public:
    explicit PaletteGrid(QWidget* parent = nullptr);

    void SetColours(const std::vector<QRgb>& colours);
    void SetColour(int index, QRgb colour);
    // The cell index at a point of the grid.
    int IndexAt(QPoint point) const;
    QSize CellSize() const;

    std::function<void(int index)> Pressed;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::vector<QRgb> colours_;
};
