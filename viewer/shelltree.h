#pragma once
// The folder tree: folders only, from the file system's root. Before each
// selection change it asks canChange whether the change is allowed; a
// refused choice may be kept and taken later (deferRefused).

#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>

class QFileSystemModel;

class ShellTree : public QTreeView {
    Q_OBJECT
public:
    explicit ShellTree(QWidget* parent = nullptr);

    QString path() const;
    // Selects the folder; false when it does not exist or the change is refused.
    bool setPath(const QString& folder);

    std::function<bool(const QString& newPath)> canChange;
    // Asked after canChange refused a choice: true keeps the choice, which
    // takePendingChoice makes once the change is allowed. The last kept
    // choice wins; an accepted change drops it.
    std::function<bool(const QString& newPath)> deferRefused;
    // Makes the kept choice, if any; true when the current folder changed.
    bool takePendingChoice();
    QString pendingChoice() const;

    // Expands the way to the current folder and scrolls it into view.
    void revealCurrent();
    // Called when a change of the current folder is refused.
    void refused(const QModelIndex& index);

signals:
    void folderChanged(const QString& path);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void folderLoaded(const QString& folder);

    QFileSystemModel* model_;
    QPersistentModelIndex pending_;
    // Folders still loading on the way to a folder set by the program keep
    // it in view; the user's first touch, or its parent loaded, ends that.
    bool revealPending_ = false;
};
