#include "slidecache.h"

#include <QDateTime>
#include <QFileInfo>

SlideFileKey SlideFileKey::of(const QString& path, int page)
{
    SlideFileKey key{path, page, -1, 0};
    const QFileInfo info(path);
    if (!info.isFile())
        return key;
    key.size = info.size();
    key.modified = info.lastModified().toSecsSinceEpoch();
    return key;
}

void SlideCache::insert(Slide slide)
{
    for (auto it = slides_.begin(); it != slides_.end(); ++it) {
        if (it->file.path == slide.file.path && it->file.page == slide.file.page && it->layout == slide.layout) {
            slides_.erase(it);
            break;
        }
    }
    slides_.push_front(std::move(slide));
    while (int(slides_.size()) > capacity_)
        slides_.pop_back();
}

std::optional<Slide> SlideCache::find(const SlideFileKey& file, const SlideLayout& layout)
{
    if (file.size < 0)
        return std::nullopt;
    for (auto it = slides_.begin(); it != slides_.end(); ++it) {
        if (it->file == file && it->layout == layout) {
            Slide found = *it;
            slides_.erase(it);
            slides_.push_front(found);
            return found;
        }
    }
    return std::nullopt;
}
