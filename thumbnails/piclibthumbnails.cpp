#include "piclibthumbnails.h"

#include "depthtext.h"
#include "thumbnaildatabase.h"

#include "platform/paths.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace {

QColor inverse(const QColor& c)
{
    return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue());
}

}  // namespace

TPicLibThumbnails::TPicLibThumbnails(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    updateScrollBar();
}

// A save under way is finished, never cut short.
TPicLibThumbnails::~TPicLibThumbnails()
{
    WaitForSave();
}

// ---- the grid of cells ------------------------------------------------------

void TPicLibThumbnails::setColCount(int n)
{
    colCount_ = std::max(1, n);
    col_ = std::min(col_, colCount_ - 1);
    updateScrollBar();
    viewport()->update();
}

void TPicLibThumbnails::setRowCount(int n)
{
    rowCount_ = std::max(1, n);
    row_ = std::min(row_, rowCount_ - 1);
    topRow_ = std::min(topRow_, rowCount_ - 1);
    updateScrollBar();
    viewport()->update();
}

void TPicLibThumbnails::setDefaultColWidth(int w)
{
    colWidth_ = std::max(1, w);
    viewport()->update();
}

void TPicLibThumbnails::setDefaultRowHeight(int h)
{
    rowHeight_ = std::max(1, h);
    updateScrollBar();
    viewport()->update();
}

void TPicLibThumbnails::setGridLineWidth(int w)
{
    gridLineWidth_ = std::max(0, w);
    viewport()->update();
}

void TPicLibThumbnails::setColor(const QColor& c)
{
    color_ = c;
    viewport()->update();
}

void TPicLibThumbnails::setTopRow(int row)
{
    row = std::clamp(row, 0, rowCount_ - 1);
    if (row == topRow_)
        return;
    topRow_ = row;
    preferVisible();
    const QSignalBlocker block(verticalScrollBar());
    verticalScrollBar()->setValue(std::min(row, verticalScrollBar()->maximum()));
    viewport()->update();
}

int TPicLibThumbnails::VisibleRowCount() const
{
    return std::max(1, viewport()->height() / (rowHeight_ + gridLineWidth_));
}

QRect TPicLibThumbnails::CellRect(int col, int row) const
{
    return QRect(col * (colWidth_ + gridLineWidth_), (row - topRow_) * (rowHeight_ + gridLineWidth_), colWidth_,
                 rowHeight_);
}

void TPicLibThumbnails::MouseToCell(int x, int y, int& row, int& col) const
{
    row = col = -1;
    if (x < 0 || y < 0)
        return;
    const int c = x / (colWidth_ + gridLineWidth_);
    const int r = topRow_ + y / (rowHeight_ + gridLineWidth_);
    if (c < colCount_ && r < rowCount_) {
        col = c;
        row = r;
    }
}

void TPicLibThumbnails::updateScrollBar()
{
    const int fullRows = std::max(1, viewport()->height() / (rowHeight_ + gridLineWidth_));
    QScrollBar* bar = verticalScrollBar();
    // not blocked: the scroll area shows or hides the bar when its range
    // changes; the range covers the rows that hold items
    const int filledRows = (int(items_.size()) + colCount_ - 1) / colCount_;
    bar->setRange(0, std::max(0, std::min(rowCount_, filledRows) - fullRows));
    bar->setPageStep(fullRows);
    const QSignalBlocker block(bar);
    bar->setValue(topRow_);
}

void TPicLibThumbnails::scrollContentsBy(int, int)
{
    topRow_ = verticalScrollBar()->value();
    preferVisible();
    viewport()->update();
}

// ---- properties ---------------------------------------------------------------

void TPicLibThumbnails::setThumbnailWidth(int w)
{
    thumbWidth_ = std::max(30, w);
    setDefaultColWidth(thumbWidth_);
}

void TPicLibThumbnails::setThumbnailHeight(int h)
{
    thumbHeight_ = std::max(30, h);
    setDefaultRowHeight(thumbHeight_);
}

void TPicLibThumbnails::setShowImageName(bool on)
{
    showImageName_ = on;
    viewport()->update();
}

// ---- drawing ------------------------------------------------------------------

void TPicLibThumbnails::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), color_);
    const int rows = VisibleRowCount() + 1;
    for (int r = topRow_; r < std::min(rowCount_, topRow_ + rows); ++r)
        for (int c = 0; c < colCount_; ++c)
            drawCell(p, c, r, CellRect(c, r));
}

QString TPicLibThumbnails::shortenedName(const QString& name, int maxWidth, const QFontMetrics& fm) const
{
    QString s = name;
    bool cut = false;
    while (fm.horizontalAdvance(s) >= maxWidth && s.size() > 3) {
        s.remove(std::max<qsizetype>(0, s.size() / 2 - 2), 3);
        cut = true;
    }
    if (cut)
        s.insert(std::max<qsizetype>(0, s.size() / 2 - 2), QStringLiteral("..."));
    return s;
}

void TPicLibThumbnails::drawCell(QPainter& p, int col, int row, const QRect& r)
{
    if (items_.empty()) {
        p.fillRect(r, color_);
        return;
    }
    const long long index = (long long)row * colCount_ + col;
    const bool valid = index >= 0 && index < (long long)items_.size();
    p.setPen(QPen(color_, gridLineWidth_));
    p.setBrush(color_);
    if (!valid) {
        p.fillRect(r, color_);
        return;
    }
    p.drawRect(r);
    Th& item = *items_[size_t(index)];
    ensureMiniature(item);
    p.drawImage(r.left() + 4, r.top() + 4, item.Bitmap.image());
    item.Row = row;
    item.Col = col;
    const QColor markColour = item.Checked ? ColorChecked : ColorUnChecked;
    if (colWidth_ != thumbWidth_ + 6)
        setDefaultColWidth(thumbWidth_ + 6);
    // a placeholder keeps the miniature's room empty
    const int bitmapHeight = item.Placeholder ? thumbHeight_ : item.Bitmap.height();
    if (showImageName_) {
        if (rowHeight_ != thumbHeight_ + 42)
            setDefaultRowHeight(thumbHeight_ + 42);
        p.fillRect(QRect(QPoint(r.left() + 4, r.top() + 4 + bitmapHeight), QPoint(r.right() - 4, r.bottom() - 4)),
                   markColour);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(10);
        p.setFont(font);
        p.setPen(FontColor);
        const QFontMetrics fm(font);
        const int centre = r.left() + r.width() / 2;
        const QString lines[3] = {
            shortenedName(paths::fileName(item.FileName), r.width() - 10 - gridLineWidth_, fm),
            item.Placeholder ? QString()
                             : QString::number(item.Width) + " x " + QString::number(item.Height) + " " + DepthText(item),
            QString::number(item.FileSize) + " Byte",
        };
        for (int i = 0; i < 3; ++i) {
            const int top = r.top() + bitmapHeight + 4 + 10 * i;
            p.drawText(QRect(centre - r.width() / 2, top, r.width(), fm.height()), Qt::AlignHCenter | Qt::AlignTop,
                       lines[i]);
        }
        if ((item.FormatName == "TIF" || item.FormatName == "TIFF") && item.PageCount > 1) {
            // inside the frame drawn below, which would cover the label's end
            const int inset = std::max(4, 2 + std::min(FrameWidth, 9));
            p.setPen(inverse(color_));
            const QRect band(QPoint(r.left() + inset, r.top() + inset),
                             QPoint(r.right() - inset, r.top() + inset + fm.height() - 1));
            p.drawText(band, Qt::AlignRight | Qt::AlignTop, "Page " + QString::number(item.PageIndex + 1));
        }
    } else if (rowHeight_ != thumbHeight_ + 6) {
        setDefaultRowHeight(thumbHeight_ + 6);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(index == CurrentSelected ? ColorSelected : ColorUnSelected, 1));
    for (int k = 0; k < std::min(FrameWidth, 9); ++k)
        p.drawRect(r.adjusted(k + 2, k + 2, -(k + 2) - 1, -(k + 2) - 1));
}

// A miniature still in the database file is read when its cell is drawn;
// only a few hundred are held, those out of view go first.
void TPicLibThumbnails::ensureMiniature(Th& item)
{
    if (!item.Bitmap.empty() || !item.Stored)
        return;
    if (ThumbnailDatabase::loadStoredBitmap(item) && ++storedInMemory_ > kStoredHeld)
        releaseStoredMiniatures();
}

void TPicLibThumbnails::releaseStoredMiniatures()
{
    const int first = std::max(0, topRow_ - 1) * colCount_;
    const int last = first + (VisibleRowCount() + 3) * colCount_;
    storedInMemory_ = 0;
    for (int i = 0; i < int(items_.size()); ++i) {
        Th& item = *items_[size_t(i)];
        if (!item.Stored || item.Bitmap.empty())
            continue;
        if (i >= first && i < last)
            ++storedInMemory_;
        else
            item.Bitmap = TBitmap();
    }
}

const TBitmap& TPicLibThumbnails::Miniature(int index)
{
    static const TBitmap none;
    if (index < 0 || index >= int(items_.size()))
        return none;
    ensureMiniature(*items_[size_t(index)]);
    return items_[size_t(index)]->Bitmap;
}

// ---- selection, mouse and keys -----------------------------------------------------

void TPicLibThumbnails::selectCell(int col, int row)
{
    col_ = std::clamp(col, 0, colCount_ - 1);
    row_ = std::clamp(row, 0, rowCount_ - 1);
    const long long index = (long long)row * colCount_ + col;
    CurrentSelected = (index > INT32_MAX || index < INT32_MIN) ? -1 : int(index);
    if (CurrentSelected < 0 || CurrentSelected >= int(items_.size())) {
        filename_.clear();
        page_ = -1;
    } else {
        filename_ = items_[size_t(CurrentSelected)]->FileName;
        page_ = items_[size_t(CurrentSelected)]->PageIndex;
    }
    if (OnSelectThumb)
        OnSelectThumb(this, col, row, CurrentSelected, filename_, page_);
    viewport()->update();
}

void TPicLibThumbnails::moveCurrentCell(int col, int row)
{
    col = std::clamp(col, 0, colCount_ - 1);
    row = std::clamp(row, 0, rowCount_ - 1);
    if (row < topRow_)
        setTopRow(row);
    else if (row >= topRow_ + VisibleRowCount())
        setTopRow(row - VisibleRowCount() + 1);
    selectCell(col, row);
}

void TPicLibThumbnails::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    lastMouse_ = event->position().toPoint();
    int row = -1, col = -1;
    MouseToCell(lastMouse_.x(), lastMouse_.y(), row, col);
    if (row >= 0 && col >= 0)
        selectCell(col, row);
    processEvents();
    viewport()->update();
}

void TPicLibThumbnails::mouseDoubleClickEvent(QMouseEvent* event)
{
    lastMouse_ = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        clickAt(lastMouse_, true);
}

void TPicLibThumbnails::mouseReleaseEvent(QMouseEvent* event)
{
    lastMouse_ = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        clickAt(lastMouse_, false);
    if (OnMouseUp)
        OnMouseUp(event);
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void TPicLibThumbnails::mouseMoveEvent(QMouseEvent* event)
{
    lastMouse_ = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(lastMouse_);
    QAbstractScrollArea::mouseMoveEvent(event);
}

void TPicLibThumbnails::clickAt(const QPoint& pos, bool doubleClick)
{
    int row = -1, col = -1;
    MouseToCell(pos.x(), pos.y(), row, col);
    const bool valid = CurrentSelected >= 0 && CurrentSelected < int(items_.size());
    const QString file = valid ? items_[size_t(CurrentSelected)]->FileName : QString();
    const int page = valid ? items_[size_t(CurrentSelected)]->PageIndex : (doubleClick ? -1 : 0);
    const ThOnThumbClick& handler = doubleClick ? OnThumbDblClick : OnThumbClick;
    if (handler)
        handler(row, col, CurrentSelected, file, page);
}

void TPicLibThumbnails::keyPressEvent(QKeyEvent* event)
{
    if (OnKeyDown && OnKeyDown(event))
        return;
    int c = col_, r = row_;
    switch (event->key()) {
    case Qt::Key_Left: --c; break;
    case Qt::Key_Right: ++c; break;
    case Qt::Key_Up: --r; break;
    case Qt::Key_Down: ++r; break;
    case Qt::Key_PageUp: r -= VisibleRowCount(); break;
    case Qt::Key_PageDown: r += VisibleRowCount(); break;
    case Qt::Key_Home:
        c = 0;
        if (event->modifiers() & Qt::ControlModifier)
            r = 0;
        break;
    case Qt::Key_End:
        c = colCount_ - 1;
        if (event->modifiers() & Qt::ControlModifier)
            r = rowCount_ - 1;
        break;
    default:
        event->ignore();   // the host's keys
        return;
    }
    moveCurrentCell(c, r);
}

void TPicLibThumbnails::wheelEvent(QWheelEvent* event)
{
    // one row per notch
    if (!items_.empty()) {
        if (event->angleDelta().y() < 0 && topRow_ >= 0 && topRow_ < count_)
            setTopRow(topRow_ + 1);
        else if (event->angleDelta().y() > 0 && topRow_ > 0)
            setTopRow(topRow_ - 1);
    }
    event->accept();
}

void TPicLibThumbnails::resizeEvent(QResizeEvent* event)
{
    Resizing = true;
    const int remembered = CurrentSelected;
    QAbstractScrollArea::resizeEvent(event);
    layoutColumns();
    if (remembered >= 0 && remembered < int(items_.size()) && colCount_ >= 1) {
        const int r = remembered / colCount_, c = remembered % colCount_;
        if (r < rowCount_) {
            col_ = c;
            row_ = r;
            CurrentSelected = remembered;
            if ((r < topRow_ || r >= topRow_ + VisibleRowCount()) && r < rowCount_)
                setTopRow(r);
        }
    }
    updateScrollBar();
    viewport()->update();
    Resizing = false;
}

// ---- items ---------------------------------------------------------------------

void TPicLibThumbnails::processEvents() const
{
    QCoreApplication::processEvents();
}

void TPicLibThumbnails::layoutColumns()
{
    if (items_.empty())
        return;
    const int cols = std::max(1, viewport()->width() / std::max(1, colWidth_));
    if (cols != colCount_)
        setColCount(cols);
    recomputeRows();
}

void TPicLibThumbnails::recomputeRows()
{
    const int rows = (int(items_.size()) + colCount_ - 1) / colCount_;
    if (rows != rowCount_)
        setRowCount(rows);
    updateScrollBar();
}

void TPicLibThumbnails::sortItems(const CompareFunction& compare)
{
    const auto less = [&compare](const std::unique_ptr<Th>& a, const std::unique_ptr<Th>& b) {
        return compare(*a, *b) < 0;
    };
    if (!std::is_sorted(items_.begin(), items_.end(), less)) {
        const bool selected = CurrentSelected >= 0 && CurrentSelected < int(items_.size());
        const Th* selectedItem = selected ? items_[size_t(CurrentSelected)].get() : nullptr;
        std::sort(items_.begin(), items_.end(), less);
        ++generation_;
        if (selectedItem)
            followSelectedItem(selectedItem);
    }
    viewport()->update();
}

// After the items moved: the selection stays on the same picture, without
// telling the host (it shows that picture already).
void TPicLibThumbnails::followSelectedItem(const Th* selectedItem)
{
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [selectedItem](const std::unique_ptr<Th>& item) { return item.get() == selectedItem; });
    if (it == items_.end())
        return;
    CurrentSelected = int(it - items_.begin());
    col_ = CurrentSelected % colCount_;
    row_ = CurrentSelected / colCount_;
}

void TPicLibThumbnails::SetChecked(int index, bool value)
{
    if (index < 0 || index >= int(items_.size()))
        return;
    items_[size_t(index)]->Checked = value;
    viewport()->update();
}

bool TPicLibThumbnails::GetChecked(int index) const
{
    return index >= 0 && index < int(items_.size()) && items_[size_t(index)]->Checked;
}

void TPicLibThumbnails::SetCheckedByName(const QString& name, bool value)
{
    for (auto& item : items_)
        if (item->FileName == name)
            item->Checked = value;
    viewport()->update();
}

int TPicLibThumbnails::IndexOfFile(const QString& name, int page)
{
    for (int i = int(items_.size()) - 1; i >= 0; --i) {
        const Th& item = *items_[size_t(i)];
        if (item.FileName == name && item.PageIndex == page) {
            selectItem(i);
            return i;
        }
    }
    return -1;
}

int TPicLibThumbnails::SelectIndex(int index)
{
    if (index < 0 || index >= count_ || index >= int(items_.size()))
        return -1;
    selectItem(index);
    return CurrentSelected;
}

// Cells follow the item order row by row; an item's cell is known before it
// was ever drawn.
void TPicLibThumbnails::selectItem(int index)
{
    recomputeRows();
    const int row = index / colCount_;
    if (row < topRow_ || row >= topRow_ + VisibleRowCount())
        setTopRow(row);
    selectCell(index % colCount_, row);
}

bool TPicLibThumbnails::BrowseFolder(QString& path)
{
    if (host.setStatusText)
        host.setStatusText(BrowsedFolder);
    const QString chosen = QFileDialog::getExistingDirectory(window(), QStringLiteral("Choose image folder"),
                                                             BrowsedFolder);
    path = chosen.isEmpty() ? QString() : paths::withTrailingSeparator(chosen);
    if (!path.isEmpty())
        BrowsedFolder = path;
    return !path.isEmpty();
}

void TPicLibThumbnails::DeleteItem(int index)
{
    if (index >= 0 && index < int(items_.size())) {
        items_.erase(items_.begin() + index);
        ++generation_;
        count_ = int(items_.size());
    }
    recomputeRows();
    viewport()->update();
}

void TPicLibThumbnails::Clear()
{
    items_.clear();
    ++generation_;
    setColCount(1);
    setRowCount(1);
    topRow_ = 0;
    updateScrollBar();
    viewport()->update();
}

void TPicLibThumbnails::ScrollIntoView(int index)
{
    if (index >= 0 && index < int(items_.size())) {
        const int r = index / colCount_;
        if ((r < topRow_ || r >= topRow_ + VisibleRowCount()) && r < rowCount_)
            setTopRow(r);
    }
    viewport()->update();
}

void TPicLibThumbnails::appendItem(std::unique_ptr<Th> item)
{
    items_.push_back(std::move(item));
    ++generation_;
    layoutColumns();
}

void TPicLibThumbnails::afterItemAdded()
{
    if (!(host.isUnsorted && host.isUnsorted()) && host.compare)
        sortItems(host.compare);
    if (host.relayout)
        host.relayout();
    layoutColumns();
    processEvents();
    if (host.updateMarkedCount)
        host.updateMarkedCount();
}

void TPicLibThumbnails::setHostProgress(int position)
{
    if (host.setProgressPosition)
        host.setProgressPosition(position);
}

// Moves the bar on by steps, never past its end.
void TPicLibThumbnails::advanceHostProgress(int steps)
{
    if (host.progressPosition && host.progressMaximum && host.setProgressPosition)
        setHostProgress(std::min(host.progressMaximum(), host.progressPosition() + steps));
}

void TPicLibThumbnails::setCommandsWhileFilling(bool filling)
{
    if (host.setCancelEnabled)
        host.setCancelEnabled(filling);
    if (host.setSettingsEnabled)
        host.setSettingsEnabled(!filling);
    if (host.setArrangeEnabled)
        host.setArrangeEnabled(!filling);
}
