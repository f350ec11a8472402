#include "piclibthumbnails.h"

#include "depthtext.h"
#include "ispicturefile.h"
#include "databaselinereader.h"
#include "thumbnaildatabase.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/dibconvert.h"
#include "codec/binding/display.h"
#include "codec/binding/errorinvalid.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "effects/effectcalls.h"
#include "platform/fileops.h"
#include "platform/hourglass.h"
#include "platform/ownfilewriter.h"
#include "platform/paths.h"
#include "platform/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace {

int progressAlwaysGoOn(int, void*)
{
    return 1;
}

QString upperTypeOf(const QString& path)
{
    QString ext = paths::extension(path).toUpper();
    ext.remove('.');
    return ext;
}

QDateTime modificationTime(const QFileInfo& info)
{
    QDateTime t = info.lastModified();
    return t.addMSecs(-t.time().msec());   // whole seconds
}

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

TPicLibThumbnails::~TPicLibThumbnails() = default;

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
    const QSignalBlocker block(verticalScrollBar());
    verticalScrollBar()->setRange(0, std::max(0, rowCount_ - fullRows));
    verticalScrollBar()->setPageStep(fullRows);
    verticalScrollBar()->setValue(topRow_);
}

void TPicLibThumbnails::scrollContentsBy(int, int)
{
    topRow_ = verticalScrollBar()->value();
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
    p.drawImage(r.left() + 4, r.top() + 4, item.Bitmap.image());
    item.Row = row;
    item.Col = col;
    const QColor markColour = item.Checked ? ColorChecked : ColorUnChecked;
    if (colWidth_ != thumbWidth_ + 6)
        setDefaultColWidth(thumbWidth_ + 6);
    const int bitmapHeight = item.Bitmap.height();
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
            QString::number(item.Width) + " x " + QString::number(item.Height) + " " + DepthText(item),
            QString::number(item.FileSize) + " Byte",
        };
        for (int i = 0; i < 3; ++i) {
            const int top = r.top() + bitmapHeight + 4 + 10 * i;
            p.drawText(QRect(centre - r.width() / 2, top, r.width(), fm.height()), Qt::AlignHCenter | Qt::AlignTop,
                       lines[i]);
        }
        if ((item.FormatName == "TIF" || item.FormatName == "TIFF") && item.PageCount > 1) {
            p.setPen(inverse(color_));
            p.drawText(QRect(r.left() + 4, r.top() + 4, thumbWidth_, fm.height()), Qt::AlignRight | Qt::AlignTop,
                       "Page " + QString::number(item.PageIndex + 1));
        }
    } else if (rowHeight_ != thumbHeight_ + 6) {
        setDefaultRowHeight(thumbHeight_ + 6);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(index == CurrentSelected ? ColorSelected : ColorUnSelected, 1));
    for (int k = 0; k < std::min(FrameWidth, 9); ++k)
        p.drawRect(r.adjusted(k + 2, k + 2, -(k + 2) - 1, -(k + 2) - 1));
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

void TPicLibThumbnails::setCommandsWhileFilling(bool filling)
{
    if (host.setCancelEnabled)
        host.setCancelEnabled(filling);
    if (host.setSettingsEnabled)
        host.setSettingsEnabled(!filling);
    if (host.setArrangeEnabled)
        host.setArrangeEnabled(!filling);
}

int TPicLibThumbnails::LoadFolder(const QString& path)
{
    if (!items_.empty())
        Clear();
    processEvents();
    if (host.setStatusText)
        host.setStatusText(QString());
    setHostProgress(0);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return -1;
    Busy = true;
    setCommandsWhileFilling(true);
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    QStringList pictures;
    for (const QFileInfo& e : entries)
        if (e.size() > 30 && IsPictureFile(e.filePath()))
            pictures << e.filePath();
    if (host.setProgressMaximum)
        host.setProgressMaximum(int(pictures.size()));
    int position = 0;
    for (const QString& file : pictures) {
        if (CancelRequested)
            break;
        try {
            AddFile(file);
        } catch (const std::exception&) {
            // one bad file does not end the fill
        }
        if (position < pictures.size())
            setHostProgress(++position);
        if (host.setStatusText)
            host.setStatusText(paths::fileName(file));
        processEvents();
    }
    count_ = int(items_.size());
    viewport()->update();
    if (host.setStatusText)
        host.setStatusText(QString::number(count_) + " Bilder");
    setHostProgress(0);
    CancelRequested = false;
    Busy = false;
    setCommandsWhileFilling(false);
    return count_;
}

int TPicLibThumbnails::jpegScaleFor(int width, int height) const
{
    for (int scale : {8, 4, 2})
        if (width / scale >= 2 * thumbWidth_ && height / scale >= 2 * thumbHeight_)
            return scale;
    return 1;
}

TBitmap TPicLibThumbnails::DecodeFile(const QString& path, const QString& type, int page, int scale) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    try {
        return DecodeStream(file.readAll(), type, page, scale);
    } catch (const std::exception&) {
        return {};
    }
}

TBitmap TPicLibThumbnails::DecodeStream(const QByteArray& stream, const QString& type, int page, int scale) const
{
    if (stream.isEmpty())
        return {};
    const int bits = DeviceDepth();
    const void* data = stream.constData();
    const qint64 size = stream.size();
    void* sender = const_cast<TPicLibThumbnails*>(this);
    GlobalHandle dib = nullptr;
    const QString t = type.toUpper();
    bool ok = false;
    if (t == "JPG" || t == "JPEG")
        ok = ReadJpgStreamDibScaled(data, size, bits, false, scale, dib, sender, progressAlwaysGoOn);
    else if (t == "PCD")
        ok = ReadPcdStreamDib(data, size, bits, false, pcd_BASE4, dib, sender, progressAlwaysGoOn);
    else if (t == "PNG")
        ok = ReadPngStreamDib(data, size, bits, false, dib, sender, progressAlwaysGoOn);
    else if (t == "GIF")
        ok = ReadGifStreamDib(data, size, bits, false, dib, sender, progressAlwaysGoOn);
    else if (t == "TIF" || t == "TIFF")
        ok = ReadTiffStreamDib(data, size, bits, false, page, dib, sender, progressAlwaysGoOn);
    else if (t == "PCX")
        ok = ReadPcxStreamDib(data, size, bits, false, dib, sender, progressAlwaysGoOn);
    else if (t == "TGA")
        ok = ReadTgaStreamDib(data, size, bits, false, dib, sender, progressAlwaysGoOn);
    else if (t == "BMP" || t == "DIB")
        ok = ReadBmpStreamDib(data, size, bits, false, dib, sender, progressAlwaysGoOn);
    else if (t == "EPS")
        ok = ReadEpsStreamDib(data, size, bits, false, dib, sender, progressAlwaysGoOn);
    else if (t == "DCX")
        ok = ReadDcxStreamDib(data, size, bits, false, page, dib, sender, progressAlwaysGoOn);
    TBitmap bitmap;
    if (ok && dib && globalmem::size(dib) > 0) {
        try {
            if (!DIBToGraphic(dib, bitmap))
                bitmap.clear();
        } catch (const std::exception&) {
            bitmap.clear();
        }
    }
    FreeDIB(dib);
    return bitmap;
}

TBitmap TPicLibThumbnails::MakeThumbnail(int w, int h, const TBitmap& source) const
{
    if (source.empty())
        return {};
    TBitmap src = source;
    if (src.pixelFormat() != pf24bit)
        src.setPixelFormat(pf24bit);
    if (source.monochrome() || AntiAliasedColorThumbNail)
        src = smoothlyScaled(src, w, h, source.monochrome());
    QImage cell(thumbWidth_, thumbHeight_, QImage::Format_RGB888);
    cell.fill(FillColor);
    QPainter p(&cell);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);   // colour-on-colour stretching
    const QRect target((thumbWidth_ - w) / 2, (thumbHeight_ - h) / 2, w, h);
    p.drawImage(target, src.image());
    p.end();
    return TBitmap(cell, pf24bit);
}

TBitmap TPicLibThumbnails::smoothlyScaled(const TBitmap& source, int w, int h, bool grey) const
{
    GlobalHandle dib = nullptr;
    GlobalHandle scaled = nullptr;
    TBitmap result = source;
    try {
        dib = GraphicToDIBDepth(&source, 24, false, nullptr, nullptr);
        if (dib)
            scaled = grey ? ScaleToGray(dib, S_Gray_Anti_16, w, h) : ScaleDib(dib, w, h, 24);
        if (scaled) {
            std::unique_ptr<TBitmap> b = DIBToBitmap(scaled, grey ? 8 : 24, false, nullptr, nullptr);
            if (b && !b->empty())
                result = *b;
        }
    } catch (const std::exception&) {
        // the plain stretch below still gives a miniature
    }
    FreeDIB(scaled);
    FreeDIB(dib);
    return result;
}

bool TPicLibThumbnails::addPage(const QString& path, const QString& type, int page, int pageCount, Th facts)
{
    // a large JPEG is decoded smaller; the item keeps its true size
    const int scale = (type == "JPG" || type == "JPEG") && facts.Width > 0 && facts.Height > 0
        ? jpegScaleFor(facts.Width, facts.Height)
        : 1;
    TBitmap decoded = DecodeFile(path, type, page, scale);
    if (decoded.empty() && host.decodeByContent) {
        TBitmap byContent;
        if (host.decodeByContent(path, byContent))
            decoded = byContent;
    }
    if (decoded.empty())
        return false;
    if (pageCount > 0) {
        TiffPageInfo info;
        if (ReadTiffPageInfo(path, page, info)) {
            facts.Width = info.width;
            facts.Height = info.height;
            facts.Bits = qint16(info.bits);
            facts.PixelCode = quint8(PixelFormatCode(info.bits));
            facts.Compression = info.compression;
            facts.Planes = 1;
            facts.Colors = 0;
        }
    }
    return addMiniature(path, page, pageCount, facts, decoded);
}

bool TPicLibThumbnails::addMiniature(const QString& path, int page, int pageCount, Th facts, TBitmap decoded)
{
    if (facts.Width < 1 || facts.Height < 1) {
        facts.Width = decoded.width();
        facts.Height = decoded.height();
    }
    // Very long strips: keep the top-left part with sides at most 1:100.
    int w = facts.Width, h = facts.Height;
    while ((h > 0 && w / h > 100) || (w > 0 && h / w > 100)) {
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    if (w != facts.Width || h != facts.Height)
        decoded = TBitmap(decoded.image().copy(0, 0, std::min(w, decoded.width()), std::min(h, decoded.height())),
                          decoded.pixelFormat());
    if (facts.PixelCode == 0)
        facts.PixelCode = quint8(decoded.pixelFormat());
    const int bw = decoded.width(), bh = decoded.height();
    TBitmap miniature = bw < bh
        ? MakeThumbnail(int(std::lround(double(bw) * thumbWidth_ / bh)), thumbHeight_, decoded)
        : MakeThumbnail(thumbWidth_, int(std::lround(double(bh) * thumbHeight_ / bw)), decoded);
    if (miniature.empty())
        return false;
    auto item = std::make_unique<Th>(std::move(facts));
    item->Bitmap = miniature;
    item->FileName = path;
    item->PageIndex = page;
    item->PageCount = pageCount;
    item->Checked = false;
    const QFileInfo info(path);
    item->FileSize = info.size();
    item->FileDate = modificationTime(info);
    appendItem(std::move(item));
    afterItemAdded();
    return true;
}

// Bits, planes and colours from an icon's first directory entry count.
static void iconDepth(quint16 n, Th& facts)
{
    struct Step { quint32 upTo; quint8 code; qint16 bits; };
    static const Step steps[] = {{2, 1, 1}, {4, 2, 2}, {8, 2, 3}, {16, 2, 4}, {64, 3, 6}, {256, 3, 8}, {32768, 4, 15}};
    facts.Colors = qint16(n);
    if (n == 0) {
        facts.PixelCode = 8;
        facts.Bits = 0;
        return;
    }
    for (const Step& s : steps)
        if (n <= s.upTo) {
            facts.PixelCode = s.code;
            facts.Bits = s.bits;
            return;
        }
    facts.PixelCode = 5;
    facts.Bits = 16;
}

bool TPicLibThumbnails::addIcon(const QString& path, Th facts)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(22);
    if (head.size() < 22)
        return false;
    const auto* e = reinterpret_cast<const uchar*>(head.constData()) + 6;
    const int width = e[0], height = e[1];
    if (width == 0 || height == 0)
        return false;
    QImageReader reader(path, "ico");
    const QImage icon = reader.read();
    if (icon.isNull())
        return false;
    QImage canvas(width, height, QImage::Format_RGB888);
    canvas.fill(FillColor);
    QPainter(&canvas).drawImage(0, 0, icon);
    iconDepth(quint16(e[2] | (e[3] << 8)), facts);
    facts.Planes = 1;
    facts.Compression = QStringLiteral("None");
    facts.Width = width;
    facts.Height = height;
    const int code = facts.PixelCode;
    TBitmap bitmap(canvas, pf24bit);
    if (code == 1 || code == 2 || code == 3 || code == 6)
        bitmap.setPixelFormat(TPixelFormat(code));
    return addMiniature(path, 0, 0, facts, bitmap);
}

void TPicLibThumbnails::AddFile(const QString& path)
{
    if (!IsPictureFile(path) || CancelRequested)
        return;
    const QString type = upperTypeOf(path);
    Th facts;
    facts.FormatName = type;
    int pages = 1;
    int pageCount = 0;
    if (type == "TIFF" || type == "TIF") {
        TiffPageInfo info;
        if (!ReadTiffPageInfo(path, 0, info))
            return;
        facts.Width = info.width;
        facts.Height = info.height;
        facts.Bits = qint16(info.bits);
        facts.PixelCode = quint8(PixelFormatCode(info.bits));
        facts.Compression = info.compression;
        facts.Planes = 1;
        pages = std::max(1, info.pages);
        pageCount = info.pages;
    } else if (type != "WMF" && type != "EMF" && type != "ICO") {
        PictureFileInfo info;
        if (ReadFileInfo(path, info)) {
            if (type == "JPG" || type == "JPEG") {
                facts.Width = info.width;
                facts.Height = info.height;
            }
            facts.Bits = qint16(info.bits);
            facts.Planes = qint16(info.planes);
            facts.Colors = qint16(info.colors);
            facts.Compression = info.compression;
            facts.PixelCode = quint8(PixelFormatCode(info.bits));
        }
    }
    if (type == "ICO") {
        addIcon(path, facts);
    } else if (type == "WMF" || type == "EMF") {
        TMetafile metafile;
        TBitmap bitmap;
        if (metafile.LoadFromFile(path) && MetafileToBitmap(&bitmap, &metafile, false)) {
            facts.Width = metafile.Width();
            facts.Height = metafile.Height();
            facts.Bits = qint16(DeviceDepth());
            facts.PixelCode = quint8(PixelFormatCode(facts.Bits));
            facts.Planes = 1;
            facts.Colors = 0;
            addMiniature(path, 0, 0, facts, bitmap);
        }
    } else {
        for (int p = 0; p < pages && !CancelRequested; ++p)
            if (!addPage(path, type, p, pageCount, facts))
                break;
    }
    count_ = int(items_.size());
    processEvents();
}

void TPicLibThumbnails::AddStream(const QByteArray& stream, const QString& name)
{
    if (stream.isEmpty())
        throw ErrorInvalid("Stream is nil or empty");
    PictureFileInfo info;
    Th facts;
    if (ReadStreamInfo(stream.constData(), stream.size(), info)) {
        facts.FormatName = info.type;
        facts.Compression = info.compression;
        facts.Width = info.width;
        facts.Height = info.height;
        facts.Bits = qint16(info.bits);
        facts.Planes = qint16(info.planes);
        facts.Colors = qint16(info.colors);
    }
    int pageCount = 0;
    const bool tiff = facts.FormatName == "TIFF";
    if (tiff) {
        TiffPageInfo page;
        if (ReadTiffStreamPageInfo(stream.constData(), stream.size(), 0, page)) {
            facts.Width = page.width;
            facts.Height = page.height;
            pageCount = page.pages;
            facts.Compression = page.compression;
            facts.PixelCode = quint8(PixelFormatCodeOrDevice(page.bits));
        }
    }
    TBitmap decoded = DecodeStream(stream, facts.FormatName.isEmpty() ? upperTypeOf(name) : facts.FormatName, 0);
    if (decoded.empty())
        return;
    decoded.setPixelFormat(pf24bit);
    if (facts.Width < 1 || facts.Height < 1) {
        facts.Width = decoded.width();
        facts.Height = decoded.height();
    }
    if (facts.PixelCode == 0)
        facts.PixelCode = quint8(decoded.pixelFormat());
    if (tiff)
        for (const auto& item : items_)
            if (item->FileName == name)
                return;
    const int w = decoded.width(), h = decoded.height();
    TBitmap miniature = w < h ? MakeThumbnail(int(std::lround(double(w) * thumbHeight_ / h)), thumbHeight_, decoded)
                              : MakeThumbnail(thumbWidth_, int(std::lround(double(h) * thumbWidth_ / w)), decoded);
    if (miniature.empty())
        return;
    auto item = std::make_unique<Th>(std::move(facts));
    item->Bitmap = miniature;
    item->FileName = name;
    item->PageCount = pageCount;
    item->FileSize = stream.size();
    appendItem(std::move(item));
    count_ = int(items_.size());
    afterItemAdded();
}

void TPicLibThumbnails::ReplaceFile(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = host.currentFolder ? host.currentFolder() : QString();
    if (info.exists() && !folder.isEmpty() && paths::sameFolder(info.absolutePath(), folder)) {
        for (int i = int(items_.size()) - 1; i >= 0; --i) {
            if (items_[size_t(i)]->FileName != path)
                continue;
            DeleteItem(i);
            if (host.relayout)
                host.relayout();
            processEvents();
            if (host.sortThumbnails)
                host.sortThumbnails();
            processEvents();
        }
    }
    AddFile(path);
    processEvents();
    if (host.updateMarkedCount)
        host.updateMarkedCount();
}

// ---- the database ----------------------------------------------------------------

bool TPicLibThumbnails::SaveDatabase(const QString& fileName)
{
    if (items_.empty() || !(host.thumbnailsEnabled && host.thumbnailsEnabled()) || Busy)
        return true;
    if (inSyncWith(fileName)) {
        recordDatabase(fileName);   // the file holds exactly these items already
        return true;
    }
    // a file whose load was cut short holds entries the grid does not
    if (fileName == interruptedLoad_)
        return true;
    if (!OwnFileWriter::replaceable(fileName))
        return true;   // a link, a folder or a device of that name stays as it is
    Busy = true;
    bool saved = false;
    {
        HourglassCursor busy;
        setHostProgress(0);
        if (host.setProgressMaximum)
            host.setProgressMaximum(int(items_.size()) - 1);
        if (host.setCancelEnabled)
            host.setCancelEnabled(true);
        CancelRequested = false;
        // written beside the old file and put in its place only when complete;
        // a cancelled save keeps the old file
        OwnFileWriter file(fileName);
        if (file.open()) {
            for (size_t i = 0; i < items_.size() && !CancelRequested && !file.failed(); ++i) {
                setHostProgress(int(i));
                file.write(ThumbnailDatabase::entryText(int(i), *items_[i]));
            }
            saved = !CancelRequested && file.commit();
            if (saved)
                markInSync(fileName);
        }
    }
    if (host.setCancelEnabled)
        host.setCancelEnabled(false);
    setHostProgress(0);
    Busy = false;
    CancelRequested = false;
    count_ = int(items_.size());
    if (saved)
        recordDatabase(fileName);
    return true;
}

void TPicLibThumbnails::recordDatabase(const QString& fileName)
{
    Settings store;
    const QString section = QStringLiteral("DBFiles");
    const QStringList keys = store.readSection(section);
    for (const QString& key : keys)
        if (store.readString(section, key, QString()) == fileName)
            return;
    // the lowest number not in use: a pruned list has gaps
    int n = 0;
    while (store.valueExists(section, QString::number(n)))
        ++n;
    store.writeString(section, QString::number(n), fileName);
}

void TPicLibThumbnails::markInSync(const QString& fileName)
{
    const QFileInfo info(fileName);
    sync_ = {fileName, info.size(), info.lastModified(), generation_};
}

bool TPicLibThumbnails::inSyncWith(const QString& fileName) const
{
    const QFileInfo info(fileName);
    return !sync_.file.isEmpty() && sync_.file == fileName && sync_.generation == generation_ && info.isFile()
        && info.size() == sync_.size && info.lastModified() == sync_.modified;
}

bool TPicLibThumbnails::LoadDatabase(const QString& fileName)
{
    if (!QFileInfo(fileName).isFile() || !(host.thumbnailsEnabled && host.thumbnailsEnabled()) || Busy)
        return true;
    Busy = true;
    Clear();
    // until the last entry is in, the file holds more than the grid
    interruptedLoad_ = fileName;
    processEvents();
    struct Finish {
        TPicLibThumbnails* grid;
        ~Finish()
        {
            grid->count_ = int(grid->items_.size());
            if (grid->host.setCancelEnabled)
                grid->host.setCancelEnabled(false);
            grid->Busy = false;
            grid->CancelRequested = false;
            grid->setHostProgress(0);
        }
    } finish{this};
    HourglassCursor busy;
    setHostProgress(0);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    if (host.setProgressMaximum)
        host.setProgressMaximum(int(std::lround(double(file.size()) / 35598)));
    if (host.setCancelEnabled)
        host.setCancelEnabled(true);
    CancelRequested = false;
    DatabaseLineReader reader(file);
    QString line;
    bool error = false;
    int skippedEntries = 0;
    while (!CancelRequested && reader.next(line, &error)) {
        processEvents();
        if (!ThumbnailDatabase::isEntryMarker(line))
            continue;
        QStringList fields;
        bool dateMissing = false;
        for (int k = 0; k < ThumbnailDatabase::kFieldLines; ++k) {
            if (reader.atEnd())
                skippedEntries += k == 0 ? 1 : 0;   // a cut entry: not as it was written
            if (!reader.atEnd()) {
                if (!reader.next(line, &error) && error)
                    return true;   // a read error ends the load; the file is kept as it is
            } else if (k <= 9) {
                dateMissing = dateMissing || k == 9;
            }
            fields << line;
            processEvents();
        }
        std::unique_ptr<Th> item = ThumbnailDatabase::parseEntry(fields, dateMissing);
        if (!item || !QFileInfo(item->FileName).isFile()) {
            ++skippedEntries;
            continue;
        }
        appendItem(std::move(item));
        if (host.relayout)
            host.relayout();
        processEvents();
        count_ = int(items_.size());
        if (host.updateMarkedCount)
            host.updateMarkedCount();
        if (host.progressPosition && host.progressMaximum && host.progressPosition() < host.progressMaximum())
            setHostProgress(host.progressPosition() + 1);
    }
    if (error || CancelRequested)
        return !CancelRequested;
    interruptedLoad_.clear();
    // every entry came in as stored: the file needs no rewrite for these items
    if (skippedEntries == 0)
        markInSync(fileName);
    return true;
}
