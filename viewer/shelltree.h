#pragma once
// The folder tree: folders only, from the file system's root. Before each
// selection change it asks canChange whether the change is allowed.

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

    // Expands the way to the current folder and scrolls it into view.
    void revealCurrent();

signals:
    void folderChanged(const QString& path);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    QFileSystemModel* model_;
};
