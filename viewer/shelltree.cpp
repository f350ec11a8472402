#include "shelltree.h"

#include "platform/paths.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>

namespace {

// Asks the tree's canChange before the current folder moves, and keeps the
// selection on the current folder.
class GuardedSelection : public QItemSelectionModel {
public:
    GuardedSelection(QAbstractItemModel* model, ShellTree* tree)
        : QItemSelectionModel(model, tree), tree_(tree) {}

    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override
    {
        if (index.isValid() && index != currentIndex() && tree_->canChange
            && !tree_->canChange(static_cast<const QFileSystemModel*>(model())->filePath(index))) {
            tree_->refused(index);
            return;
        }
        QItemSelectionModel::setCurrentIndex(index, command);
    }

    void select(const QItemSelection& selection, SelectionFlags command) override
    {
        for (const QModelIndex& i : selection.indexes())
            if (i.siblingAtColumn(0) != currentIndex().siblingAtColumn(0))
                return;
        QItemSelectionModel::select(selection, command);
    }
    using QItemSelectionModel::select;

private:
    ShellTree* tree_;
};

}  // namespace

ShellTree::ShellTree(QWidget* parent)
    : QTreeView(parent), model_(new QFileSystemModel(this))
{
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    model_->setRootPath(QStringLiteral("/"));
    setModel(model_);
    QItemSelectionModel* old = selectionModel();
    setSelectionModel(new GuardedSelection(model_, this));
    delete old;
    setRootIndex(model_->index(QStringLiteral("/")));
    for (int c = 1; c < model_->columnCount(); ++c)
        hideColumn(c);
    header()->hide();
    setRootIsDecorated(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    // folders load in the background: keep a folder the program chose in
    // view as they arrive, but never scroll away from where the user is
    connect(model_, &QFileSystemModel::directoryLoaded, this, &ShellTree::folderLoaded);
    connect(model_, &QFileSystemModel::rowsInserted, this, [this] { folderLoaded(QString()); });
    // the model sorts a folder's rows some time after they arrived
    connect(model_, &QFileSystemModel::layoutChanged, this, [this] { folderLoaded(QString()); });
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()})
        connect(bar, &QAbstractSlider::actionTriggered, this, [this] { revealPending_ = false; });
}

// Rows arrive after their folder reports loaded, and a parent's later rows
// and its sorting move the chosen folder again: the reveal goes on until the user
// clicks, types, turns the wheel or moves a scroll bar.
void ShellTree::folderLoaded(const QString&)
{
    if (!revealPending_)
        return;
    QTimer::singleShot(0, this, [this] {
        if (revealPending_)
            revealCurrent();
    });
}

void ShellTree::mousePressEvent(QMouseEvent* event)
{
    revealPending_ = false;
    QTreeView::mousePressEvent(event);
}

void ShellTree::keyPressEvent(QKeyEvent* event)
{
    revealPending_ = false;
    QTreeView::keyPressEvent(event);
}

void ShellTree::wheelEvent(QWheelEvent* event)
{
    revealPending_ = false;
    QTreeView::wheelEvent(event);
}

void ShellTree::refused(const QModelIndex& index)
{
    if (deferRefused && deferRefused(model_->filePath(index)))
        pending_ = index;
}

QString ShellTree::pendingChoice() const
{
    return pending_.isValid() ? model_->filePath(pending_) : QString();
}

bool ShellTree::takePendingChoice()
{
    if (!pending_.isValid())
        return false;
    const QModelIndex wanted = pending_;
    pending_ = QPersistentModelIndex();
    const QModelIndex before = currentIndex();
    setCurrentIndex(wanted);
    return currentIndex() != before;
}

QString ShellTree::path() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? model_->filePath(i) : QString();
}

bool ShellTree::setPath(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    const QString wanted = paths::normalized(folder);
    const QModelIndex i = model_->index(wanted);
    if (!i.isValid())
        return false;
    revealPending_ = true;
    setCurrentIndex(i);
    // compare by path: the model may have re-sorted while the change was handled
    return paths::samePath(path(), wanted);
}

void ShellTree::revealCurrent()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    for (QModelIndex p = current.parent(); p.isValid(); p = p.parent())
        expand(p);
    scrollTo(current);
}

void ShellTree::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (current.isValid() && current != previous) {
        pending_ = QPersistentModelIndex();
        revealCurrent();
        emit folderChanged(model_->filePath(current));
    }
}
