// The grid's filling: a whole folder at once, single files and streams,
// and the miniatures workers make, taken in batches.

#include "piclibthumbnails.h"

#include "ispicturefile.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/errorinvalid.h"
#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

QString upperTypeOf(const QString& path)
{
    QString ext = paths::extension(path).toUpper();
    ext.remove('.');
    return ext;
}

}  // namespace

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

ThumbnailMaker::Settings TPicLibThumbnails::makerSettings() const
{
    ThumbnailMaker::Settings settings;
    settings.width = thumbWidth_;
    settings.height = thumbHeight_;
    settings.fillColor = FillColor;
    settings.antiAliased = AntiAliasedColorThumbNail;
    settings.decodeByContent = host.decodeByContent;
    return settings;
}

ThumbnailMaker TPicLibThumbnails::maker() const
{
    return ThumbnailMaker(makerSettings());
}

int TPicLibThumbnails::jpegScaleFor(int width, int height) const
{
    return maker().jpegScaleFor(width, height);
}

TBitmap TPicLibThumbnails::DecodeFile(const QString& path, const QString& type, int page, int scale) const
{
    return maker().DecodeFile(path, type, page, scale);
}

TBitmap TPicLibThumbnails::DecodeStream(const QByteArray& stream, const QString& type, int page, int scale) const
{
    return maker().DecodeStream(stream, type, page, scale);
}

TBitmap TPicLibThumbnails::MakeThumbnail(int w, int h, const TBitmap& source) const
{
    return maker().MakeThumbnail(w, h, source);
}

void TPicLibThumbnails::AddFile(const QString& path)
{
    if (CancelRequested)
        return;
    for (std::unique_ptr<Th>& item : maker().make(path)) {
        if (CancelRequested)
            break;
        appendItem(std::move(item));
        afterItemAdded();
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
    // a file saved into another folder is no item of this grid
    if (!folder.isEmpty() && !paths::sameFolder(info.absolutePath(), folder))
        return;
    if (info.exists() && !folder.isEmpty()) {
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

// ---- filling from workers ---------------------------------------------------------

void TPicLibThumbnails::RemoveItems(const std::function<bool(const Th&)>& drop)
{
    const auto end = std::remove_if(items_.begin(), items_.end(),
                                    [&drop](const std::unique_ptr<Th>& item) { return drop(*item); });
    if (end == items_.end())
        return;
    const Th* selected = CurrentSelected >= 0 && CurrentSelected < int(items_.size())
        ? items_[size_t(CurrentSelected)].get()
        : nullptr;
    items_.erase(end, items_.end());
    ++generation_;
    count_ = int(items_.size());
    CurrentSelected = -1;
    if (selected)
        followSelectedItem(selected);
    recomputeRows();
    viewport()->update();
}

void TPicLibThumbnails::sortIfSorted()
{
    if (!(host.isUnsorted && host.isUnsorted()) && host.compare)
        sortItems(host.compare);
}

void TPicLibThumbnails::AddPlaceholders(std::vector<std::unique_ptr<Th>> placeholders)
{
    if (placeholders.empty())
        return;
    for (std::unique_ptr<Th>& item : placeholders) {
        item->Placeholder = true;
        items_.push_back(std::move(item));
    }
    ++generation_;
    count_ = int(items_.size());
    sortIfSorted();
    if (host.relayout)
        host.relayout();
    layoutColumns();
    preferVisible();
    viewport()->update();
    if (host.updateMarkedCount)
        host.updateMarkedCount();
}

void TPicLibThumbnails::BeginMaking(std::shared_ptr<ThumbnailQueue> queue)
{
    making_ = std::move(queue);
    madeItems_ = finishedFiles_ = 0;
    if (!takeTimer_) {
        takeTimer_ = new QTimer(this);
        takeTimer_->setSingleShot(true);
        takeTimer_->setInterval(30);   // results come in batches
        connect(takeTimer_, &QTimer::timeout, this, [this] { TakeMade(); });
    }
    QPointer<TPicLibThumbnails> self(this);
    making_->setResultsWaiting([self] {
        QMetaObject::invokeMethod(
            self, [self] {
                if (self && self->making_ && !self->takeTimer_->isActive())
                    self->takeTimer_->start();
            },
            Qt::QueuedConnection);
    });
    preferVisible();
}

int TPicLibThumbnails::TakeMade()
{
    if (!making_)
        return 0;
    std::vector<ThumbnailQueue::Made> made = making_->take();
    if (made.empty())
        return 0;
    QHash<QString, ThumbnailMaker::Items*> byPath;
    for (ThumbnailQueue::Made& m : made)
        byPath.insert(m.path, &m.items);
    const Th* selected = CurrentSelected >= 0 && CurrentSelected < int(items_.size())
        ? items_[size_t(CurrentSelected)].get()
        : nullptr;
    std::vector<std::unique_ptr<Th>> merged;
    merged.reserve(items_.size() + made.size());
    for (std::unique_ptr<Th>& item : items_) {
        ThumbnailMaker::Items* result = item->Placeholder ? byPath.value(item->FileName) : nullptr;
        if (!result) {
            merged.push_back(std::move(item));
            continue;
        }
        if (item.get() == selected)   // the selection moves to the file's first page
            selected = result->empty() ? nullptr : result->front().get();
        for (std::unique_ptr<Th>& page : *result) {
            ++madeItems_;
            merged.push_back(std::move(page));
        }
        byPath.remove(item->FileName);   // the first placeholder of a path takes it
    }
    items_.swap(merged);
    ++generation_;
    count_ = int(items_.size());
    CurrentSelected = -1;
    if (selected)
        followSelectedItem(selected);
    finishedFiles_ += int(made.size());
    sortIfSorted();
    recomputeRows();
    advanceHostProgress(int(made.size()));
    preferVisible();
    viewport()->update();
    if (host.updateMarkedCount)
        host.updateMarkedCount();
    return int(made.size());
}

int TPicLibThumbnails::EndMaking()
{
    TakeMade();
    RemoveItems([](const Th& item) { return item.Placeholder; });
    if (takeTimer_)
        takeTimer_->stop();
    making_.reset();
    return madeItems_;
}

// The placeholders in view, then those of the next screen, go first.
void TPicLibThumbnails::preferVisible()
{
    if (!making_)
        return;
    const int first = std::max(0, topRow_) * colCount_;
    const int last = std::min(int(items_.size()), first + 2 * (VisibleRowCount() + 1) * colCount_);
    QStringList paths;
    for (int i = first; i < last; ++i)
        if (items_[size_t(i)]->Placeholder)
            paths << items_[size_t(i)]->FileName;
    making_->prefer(paths);
}
