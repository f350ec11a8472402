#pragma once
// Helpers for tests that drive the viewer's main window.
#include "viewer/kvnpictureview.h"
#include "viewer/shelltree.h"

#include "thumbnails/piclibthumbnails.h"
#include "platform/settings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtTest>

namespace viewertesting {

inline void makePicture(const QString& path, int w, int h, QColor colour = QColor(10, 120, 200))
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(colour);
    QVERIFY(img.save(path));
}

inline QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Empties the isolated settings folder; databases stay on.
inline void resetStore()
{
    QDir dir(QString::fromLocal8Bit(qgetenv("GLIMRA_CONFIG_DIR")));
    for (const QString& e : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(e);
    Settings().writeInteger("StartUp", "SaveDiaDB", 1);
}

inline void settle(TKvnPictureView& w)
{
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    while (w.state().ScanThread || w.state().ScanActive || w.thumbnails()->Busy);
}

// Until the grid holds the folder's pictures and the scan has ended.
inline void waitForScan(TKvnPictureView& w, const QString& folder, int items)
{
    QTRY_VERIFY2_WITH_TIMEOUT(w.state().LastScannedFolder == folder && w.thumbnails()->itemCount() == items
                                  && !w.state().ScanThread && !w.state().ScanActive,
                              qPrintable(QString("tree %5, scanned %1, %2 items, thread %3, active %4")
                                             .arg(w.state().LastScannedFolder)
                                             .arg(w.thumbnails()->itemCount())
                                             .arg(w.state().ScanThread != nullptr)
                                             .arg(w.state().ScanActive)
                                             .arg(w.folderTree()->path())),
                              60000);
    settle(w);
}

inline void openFolder(TKvnPictureView& w, const QString& folder, int items)
{
    QVERIFY(w.folderTree()->setPath(folder));
    waitForScan(w, folder, items);
}

inline QAction* action(QWidget& w, const char* name)
{
    return w.findChild<QAction*>(name);
}

}  // namespace viewertesting
