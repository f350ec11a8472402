#pragma once
// Watches one folder (not its sub-folders) for files created, deleted,
// renamed or changed, and reports on the UI thread. Setting a new root
// reports once for it.

#include <QObject>
#include <QString>

class QSocketNotifier;

class ShellChangeNotifier : public QObject {
    Q_OBJECT
public:
    explicit ShellChangeNotifier(QObject* parent = nullptr);
    ~ShellChangeNotifier() override;

    QString root() const { return root_; }
    void setRoot(const QString& folder);

signals:
    void changed();

private:
    void readEvents();

    int fd_ = -1;
    int watch_ = -1;
    QString root_;
    QSocketNotifier* notifier_ = nullptr;
};
