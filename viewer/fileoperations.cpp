#include "fileoperations.h"

#include "filecopymovedlg.h"
#include "ueberschrdlg.h"
#include "viewerstate.h"

#include "codec/binding/codecwrappers.h"
#include "imagecontrol/annotationfile.h"
#include "thumbnails/piclibthumbnails.h"
#include "platform/fileops.h"
#include "platform/folderpicker.h"
#include "platform/messagebox.h"
#include "platform/paths.h"
#include "platform/trash.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <QHash>
#include <set>
#include <tuple>
#include <utility>

std::function<int(TueberschrDlg&)> FileOperations::overwriteScript;

FileOperations::FileOperations(QWidget* window, TPicLibThumbnails* grid, ViewerState* state, Host host)
    : QObject(window), window_(window), grid_(grid), state_(state), host_(std::move(host))
{
}

QString FileOperations::annotationFile(const QString& picture)
{
    return PictureAnnotationFile(picture);
}

QList<int> FileOperations::operands() const
{
    QList<int> list;
    for (int i = 0; i < grid_->itemCount(); ++i)
        if (grid_->GetChecked(i))
            list << i;
    if (list.isEmpty() && grid_->CurrentSelected >= 0 && grid_->CurrentSelected < grid_->itemCount())
        list << grid_->CurrentSelected;
    return list;
}

bool FileOperations::inShownFolder(const QString& path) const
{
    const QString tree = host_.treePath ? host_.treePath() : QString();
    return !tree.isEmpty() && paths::sameFolder(QFileInfo(path).absolutePath(), tree);
}

// The pictures a question is about: the first few by name (a TIFF page
// with its number), then how many more.
QString FileOperations::namesOf(const QList<int>& items) const
{
    constexpr int kNamed = 5;
    QString text;
    for (int k = 0; k < items.size() && k < kNamed; ++k) {
        const Th& item = grid_->item(items[k]);
        text += "\n" + paths::fileName(item.FileName);
        if (item.PageCount > 1)
            text += " (Seite " + QString::number(item.PageIndex + 1) + ")";
    }
    if (items.size() > kNamed)
        text += "\nund " + QString::number(items.size() - kNamed) + " weitere";
    return text.isEmpty() ? text : "\n" + text;
}

void FileOperations::Delete()
{
    int marked = 0;
    for (int i = 0; i < grid_->itemCount(); ++i)
        marked += grid_->GetChecked(i) ? 1 : 0;
    QString noun = QStringLiteral("Bild");
    QString verb = QStringLiteral("soll");
    int n = 1;
    if (marked > 1) {
        n = marked;
        noun += "er";
        verb += "en";
    }
    const QList<int> items = operands();
    if (MessageBox::show(window_, QMessageBox::Question, noun + " löschen",
                         "Sind Sie sicher, daß " + QString::number(n) + " " + noun + " gelöscht werden " + verb
                             + "?" + namesOf(items) + whereDeletedGo(items),
                         QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    if (items.isEmpty())
        return;
    // Pages of one file go last page first, so every call addresses the page
    // the user marked.
    QHash<QString, int> firstOfFile;
    for (int i : items)
        if (!firstOfFile.contains(grid_->item(i).FileName))
            firstOfFile.insert(grid_->item(i).FileName, i);
    QList<int> order = items;
    std::sort(order.begin(), order.end(), [this, &firstOfFile](int a, int b) {
        const Th& x = grid_->item(a);
        const Th& y = grid_->item(b);
        return std::make_tuple(firstOfFile.value(x.FileName), -x.PageIndex, a)
            < std::make_tuple(firstOfFile.value(y.FileName), -y.PageIndex, b);
    });
    std::set<int> remove;
    for (int i : order) {
        const Th& item = grid_->item(i);
        if (i == grid_->CurrentSelected)
            releaseShownPicture();
        const QString file = item.FileName;
        state_->NotifySuppressed = true;
        fileops::makeArchiveOnly(file);
        if (isTiffPage(item)) {
            if (DeleteTiffPage(file, item.PageIndex)) {
                for (int k = 0; k < grid_->itemCount(); ++k)
                    if (grid_->item(k).FileName == file)
                        remove.insert(k);
                const QString ant = annotationFile(file);
                if (QFileInfo::exists(ant)) {
                    fileops::makeArchiveOnly(ant);
                    RemoveAnnotationPage(ant, item.PageIndex);
                }
            }
        } else if (deleteWholeFile(file)) {
            remove.insert(i);
            const QString ant = annotationFile(file);
            if (QFileInfo::exists(ant)) {
                fileops::makeArchiveOnly(ant);
                deleteWholeFile(ant);
            }
        }
        state_->NotifySuppressed = true;
    }
    for (auto it = remove.rbegin(); it != remove.rend(); ++it)
        grid_->DeleteItem(*it);
    if (remove.empty())
        state_->NotifySuppressed = false;   // no change is coming to swallow
    else {
        if (host_.startFolderScan)
            host_.startFolderScan();
        if (host_.sortThumbnails)
            host_.sortThumbnails();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        grid_->viewport()->update();
    }
    if (host_.updateMarkedCount)
        host_.updateMarkedCount();
}

bool FileOperations::isTiffPage(const Th& item)
{
    return (item.FormatName == "TIF" || item.FormatName == "TIFF") && item.PageCount > 1;
}

// Whole files go to the Trash where their file system has one; pages of a
// TIFF file, and files without a Trash, are gone for good.
bool FileOperations::deleteWholeFile(const QString& file)
{
    return trash::availableFor(file) ? trash::moveToTrash(file) : fileops::removeFile(file);
}

// The last lines of the delete question: where the pictures go.
QString FileOperations::whereDeletedGo(const QList<int>& items) const
{
    if (items.isEmpty())
        return {};
    int toTrash = 0;
    for (int i : items) {
        const Th& item = grid_->item(i);
        toTrash += !isTiffPage(item) && trash::availableFor(item.FileName) ? 1 : 0;
    }
    if (toTrash == items.size())
        return items.size() == 1 ? QStringLiteral("\n\nDie Datei wird in den Papierkorb verschoben.")
                                 : QStringLiteral("\n\nDie Dateien werden in den Papierkorb verschoben.");
    if (toTrash == 0)
        return QStringLiteral("\n\nDas Löschen ist endgültig.");
    return QStringLiteral("\n\nGanze Dateien werden in den Papierkorb verschoben; Seiten von TIFF-Dateien und "
                          "Dateien ohne Papierkorb werden endgültig gelöscht.");
}

void FileOperations::Copy()
{
    transfer(false);
}

void FileOperations::Move()
{
    transfer(true);
}

void FileOperations::transfer(bool move)
{
    QString& remembered = move ? state_->MoveFolder : state_->CopyFolder;
    const QString chosen = FolderPicker::choose(window_, move ? "Bilder bewegen" : "Bilder kopieren", remembered);
    if (chosen.isEmpty())
        return;
    remembered = chosen;
    if (!move)
        state_->ScanActive = true;
    QStringList sources;
    for (int i : operands())
        if (!sources.contains(grid_->item(i).FileName))
            sources << grid_->item(i).FileName;
    const int selected = grid_->CurrentSelected;
    const QString shown = selected >= 0 && selected < grid_->itemCount() ? grid_->item(selected).FileName : QString();
    bool sameFileNoted = false;
    for (const QString& source : sources) {
        const QString target = paths::withTrailingSeparator(chosen) + paths::fileName(source);
        if (fileops::sameFile(source, target)) {
            // nothing to do; said once, not for every marked picture
            if (!std::exchange(sameFileNoted, true))
                MessageBox::information(window_, move ? "Bilder bewegen" : "Bilder kopieren",
                                        "Quelle und Ziel sind dieselbe Datei.\n\"" + source + "\"");
            continue;
        }
        if (!QFileInfo::exists(target)) {
            if (!CopyOrMoveFile(source, target, move, false))
                break;
            if (move && source == shown)
                releaseShownPicture();
            if (inShownFolder(target))
                grid_->AddFile(target);
            continue;
        }
        const int answer = AskOverwrite(source, target);
        if (answer == TueberschrDlg::Cancel)
            break;
        if (answer == TueberschrDlg::Skip)
            continue;
        const bool overwrite = answer == TueberschrDlg::Overwrite;
        const QString to = overwrite ? target : state_->RenameTarget;
        if (!CopyOrMoveFile(source, to, move, overwrite))
            break;
        if (move && source == shown)
            releaseShownPicture();
        if (inShownFolder(to)) {
            if (overwrite)
                grid_->ReplaceFile(to);
            else
                grid_->AddFile(to);
        }
    }
    if (!move)
        state_->ScanActive = false;
    if (host_.updateMarkedCount)
        host_.updateMarkedCount();
}

// The pane lets go of a picture deleted or moved away; a moved one's item
// goes with the folder scan the change starts.
void FileOperations::releaseShownPicture()
{
    grid_->CurrentSelected = -1;
    if (host_.releaseShownPicture)
        host_.releaseShownPicture();
    grid_->viewport()->update();
}

int FileOperations::AskOverwrite(const QString& source, const QString& target)
{
    TueberschrDlg dialog(target, source, window_);
    state_->RenameTarget = TueberschrDlg::proposedName(target);
    const int answer = overwriteScript ? overwriteScript(dialog) : dialog.exec();
    if (answer == TueberschrDlg::Rename) {
        state_->RenameTarget = dialog.renameTarget();
        if (state_->RenameTarget.isEmpty())
            return TueberschrDlg::Cancel;
    }
    return answer == 0 ? TueberschrDlg::Cancel : answer;
}

bool FileOperations::CopyOrMoveFile(const QString& source, const QString& target, bool move, bool overwrite)
{
    TFileCopyMoveDlg dialog(source, target, move, overwrite, window_);
    dialog.exec();
    if (dialog.result() != FileTransfer::Done)
        return false;
    CarryAnnotationFile(source, target, move);
    return true;
}

void FileOperations::Drop(const QStringList& files)
{
    state_->ScanActive = true;
    state_->NotifySuppressed = true;
    bool changed = false;
    const QString folder = host_.treePath ? host_.treePath() : QString();
    for (const QString& source : files) {
        if (folder.isEmpty())
            break;
        const QString target = paths::withTrailingSeparator(folder) + paths::fileName(source);
        if (fileops::sameFile(source, target))
            continue;   // dropped onto its own folder
        if (QFileInfo::exists(target)) {
            const int answer = AskOverwrite(source, target);
            if (answer == TueberschrDlg::Cancel)
                break;
            if (answer == TueberschrDlg::Skip)
                continue;
            const bool overwrite = answer == TueberschrDlg::Overwrite;
            const QString to = overwrite ? target : state_->RenameTarget;
            if (FileTransfer::run(source, to, false, overwrite) == FileTransfer::Done) {
                if (overwrite)
                    grid_->ReplaceFile(to);
                else
                    grid_->AddFile(to);
                changed = true;
                state_->NotifySuppressed = true;
            }
            continue;
        }
        if (FileTransfer::run(source, target, false, false) == FileTransfer::Done) {
            grid_->AddFile(target);
            changed = true;
            state_->NotifySuppressed = true;
        }
    }
    QCoreApplication::processEvents();
    state_->ScanActive = false;
    if (!changed)
        state_->NotifySuppressed = false;   // no change is coming to swallow
    if (host_.updateMarkedCount)
        host_.updateMarkedCount();
}
