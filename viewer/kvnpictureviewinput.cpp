// The viewer window's input: window keys and shortcuts, the pane's wheel and
// focus, and files dropped on the grid.

#include "kvnpictureview.h"
#include "ui_kvnpictureview.h"

#include "fileoperations.h"
#include "panework.h"

#include "imagecontrol/ilmultiimagetoolbarbutton.h"

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QShortcut>
#include <QWheelEvent>

bool TKvnPictureView::eventFilter(QObject* watched, QEvent* event)
{
    if (paneWork_ && paneWork_->holdsBack(watched, event))
        return true;
    if (event->type() == QEvent::KeyPress && windowKeyPress(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == pane() && paneEvent(event))
        return true;
    if (watched == ui->PicLibThumbnails1->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList files;
            for (const QUrl& url : drop->mimeData()->urls())
                if (url.isLocalFile())
                    files << url.toLocalFile();
            drop->acceptProposedAction();
            fileOps_->Drop(files);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TKvnPictureView::setUpKeys()
{
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &TKvnPictureView::ShowHelp);
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(f5, &QShortcut::activated, this, &TKvnPictureView::StartFolderScan);
    // Esc cancels long work anywhere in the window; in the grid it also
    // clears the marks, which the shortcut would otherwise take from it.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, [this] {
        TPicLibThumbnails* grid = ui->PicLibThumbnails1;
        if (grid->hasFocus()) {
            setAllMarks(false);
            UpdateMarkedCount();
        }
        grid->CancelRequested = true;
    });
}

bool TKvnPictureView::HandleToolbarKeys(int key, Qt::KeyboardModifiers shift)
{
    if (state_.ScanActive)
        return false;
    const bool keypad = shift & Qt::KeypadModifier;
    const bool alt = shift & Qt::AltModifier;
    std::optional<TILMultiImageToolBarBtn> button;
    if (key == Qt::Key_F3)
        button = ibOpen;
    else if (key == Qt::Key_F2)
        button = ibSave;
    else if ((key == Qt::Key_D || (key == Qt::Key_4 && keypad) || (key == Qt::Key_Left && keypad)) && alt)
        button = ibPrint;
    else if (key == Qt::Key_Left || key == Qt::Key_Up)
        button = ibback;
    else if (key == Qt::Key_Right || key == Qt::Key_Down)
        button = ibnext;
    else if (key == Qt::Key_Plus && keypad)
        button = ibZoomIn;
    else if (key == Qt::Key_Minus && keypad)
        button = ibZoomOut;
    else if (key == Qt::Key_Asterisk && keypad)
        button = ibResetZoom;
    return button && toolbar()->Click(*button);
}

bool TKvnPictureView::windowKeyPress(QObject* watched, QKeyEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    // a key a control passed on to its parents still belongs to that control
    if (QWidget* focus = QApplication::focusWidget(); focus && focus->window() == this)
        widget = focus;
    // the folder tree and the path list keep their arrow keys
    const bool arrow = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right ||
                       event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    const bool alt = event->modifiers() & Qt::AltModifier;
    // Entf on the picture deletes the grid's selected picture, as in the grid
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier
        && (widget == pane() || pane()->isAncestorOf(widget)) && !annotationEditing()) {
        fileOps_->Delete();
        return true;
    }
    if (arrow && !alt &&
        (ui->ShellTree1->isAncestorOf(widget) || widget == ui->ShellTree1 || ui->ComboBoxEx1->isAncestorOf(widget) ||
         widget == ui->ComboBoxEx1))
        return false;
    return HandleToolbarKeys(event->key(), event->modifiers());
}

bool TKvnPictureView::annotationEditing() const
{
    const TILMultiImageToolBarButton* annot = toolbar()->button(ibAnnotEdit);
    return annot->isEnabled() && annot->isChecked();
}

bool TKvnPictureView::paneEvent(QEvent* event)
{
    TILMultiImageToolBar* bar = toolbar();
    if (event->type() == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta < 0)
            bar->Click(ibnext);
        else if (delta > 0)
            bar->Click(ibback);
        return true;
    }
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        if (!annotationEditing() && !(pane()->hasFocus() && !bar->hasFocus()))
            pane()->setFocus(Qt::MouseFocusReason);
    }
    return false;
}
