#pragma once
// Status panel 2: the shown file's icon, then its path.

#include <QIcon>
#include <QWidget>

class StatusPathPanel : public QWidget {
    Q_OBJECT
public:
    explicit StatusPathPanel(QWidget* parent = nullptr);
    void setIcon(const QIcon& icon);
    void setText(const QString& text);
    QString text() const { return text_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QIcon icon_;
    QString text_;
};
