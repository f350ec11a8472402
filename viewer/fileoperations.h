#pragma once
// Deleting, copying, moving and dropping pictures of the grid, with the
// overwrite and transfer dialogs.

#include <QObject>
#include <QStringList>
#include <functional>

class TPicLibThumbnails;
class QWidget;
struct ViewerState;
struct Th;

class FileOperations : public QObject {
    Q_OBJECT
public:
    // What the operations ask of the window.
    struct Host {
        std::function<QString()> treePath;
        std::function<void()> startFolderScan;
        std::function<void()> sortThumbnails;
        std::function<void()> updateMarkedCount;
        std::function<void()> releaseShownPicture;   // before the shown file is deleted or moved
    };

    FileOperations(QWidget* window, TPicLibThumbnails* grid, ViewerState* state, Host host);

    void Delete();
    void Copy();
    void Move();
    void Drop(const QStringList& files);
    int AskOverwrite(const QString& source, const QString& target);
    bool CopyOrMoveFile(const QString& source, const QString& target, bool move, bool overwrite);

    // The items an operation works on: the marked ones, else the selected one.
    QList<int> operands() const;
    // The annotation file of a picture: its last "." turned into "-", then ".ant".
    static QString annotationFile(const QString& picture);

    // Tests: answers the overwrite dialog instead of the user.
    static std::function<int(class TueberschrDlg&)> overwriteScript;

private:
    void transfer(bool move);
    void releaseShownPicture();
    bool inShownFolder(const QString& path) const;
    QString namesOf(const QList<int>& items) const;
    QString whereDeletedGo(const QList<int>& items) const;
    static bool isTiffPage(const Th& item);
    static bool deleteWholeFile(const QString& file);

    QWidget* window_;
    TPicLibThumbnails* grid_;
    ViewerState* state_;
    Host host_;
};
