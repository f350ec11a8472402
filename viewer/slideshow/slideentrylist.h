#pragma once
// The entry list of the slide show properties: file name and folder of
// each picture; entries move by dragging them onto another entry, and files
// dropped from the desktop are handed on.

#include <QStringList>
#include <QTreeWidget>

class SlideEntryList : public QTreeWidget {
    Q_OBJECT
public:
    explicit SlideEntryList(QWidget* parent = nullptr);

    // The full path of each entry, in list order.
    QStringList paths() const;
    static QString pathOf(const QTreeWidgetItem* item);
    // Moves the entry at from to the index of the entry at to.
    void moveEntry(int from, int to);

signals:
    void filesDropped(const QStringList& files);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
