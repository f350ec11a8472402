#include "slideentrylist.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>

SlideEntryList::SlideEntryList(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("Dateiname"), QStringLiteral("Ordner")});
    setColumnWidth(0, 150);
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
}

QString SlideEntryList::pathOf(const QTreeWidgetItem* item)
{
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

QStringList SlideEntryList::paths() const
{
    QStringList out;
    for (int i = 0; i < topLevelItemCount(); ++i)
        out << pathOf(topLevelItem(i));
    return out;
}

void SlideEntryList::moveEntry(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= topLevelItemCount() || to >= topLevelItemCount())
        return;
    QTreeWidgetItem* moved = takeTopLevelItem(from);
    insertTopLevelItem(to, moved);
    setCurrentItem(moved);
}

void SlideEntryList::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->source() == this || event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void SlideEntryList::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->source() == this || event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void SlideEntryList::dropEvent(QDropEvent* event)
{
    if (event->source() == this) {
        QTreeWidgetItem* target = itemAt(event->position().toPoint());
        QTreeWidgetItem* moved = currentItem();
        if (target && moved && target != moved)
            moveEntry(indexOfTopLevelItem(moved), indexOfTopLevelItem(target));
        event->setDropAction(Qt::IgnoreAction);   // the entry moved here: nothing to remove at the source
        event->accept();
        return;
    }
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    event->acceptProposedAction();
    if (!files.isEmpty())
        emit filesDropped(files);
}
