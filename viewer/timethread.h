#pragma once
// The folder scan: brings the grid up to date with the tree's folder,
// reusing the folder's thumbnail database and decoding only pictures that
// are new or changed. It lists and decides on its own thread; the pictures
// are decoded by workers, and the grid takes them on the UI thread in
// batches. Every other change to the grid and the window is a short step
// run on the UI thread while it waits.

#include "scanhost.h"

#include <QFileInfoList>
#include <QThread>
#include <functional>

class TPicLibThumbnails;
struct ViewerState;

class TTimeThread : public QThread {
    Q_OBJECT
public:
    TTimeThread(TPicLibThumbnails* grid, ViewerState* state, ScanHost host, QObject* parent = nullptr);

    // Items made and items taken over from the database by the last run.
    int decoded() const { return decoded_; }
    int reused() const { return reused_; }

    // The database file of a folder.
    static QString databaseFile(const QString& folder);

protected:
    void run() override;

private:
    void uiStep(const std::function<void()>& step);
    bool cancelled() const;
    void scan();
    void saveDatabase(const QString& file);
    bool loadDatabase(const QString& folder, const QString& database);
    void dropStaleItems(const QString& folder, const QFileInfoList& entries);
    void bringFilesUpToDate(const QString& folder, const QFileInfoList& entries);
    void reselect();
    void finish();

    TPicLibThumbnails* grid_;
    ViewerState* state_;
    ScanHost host_;
    int decoded_ = 0;
    int reused_ = 0;
};
