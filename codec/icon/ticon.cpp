#include "ticon.h"

#include "iconimage.h"
#include "iconwriter.h"

#include "codec/binding/tbitmap.h"
#include "codec/metafile/wholefile.h"


namespace {

// Entries tried for the shown picture before the file counts as bad.
constexpr int kMostAttempts = 8;

}  // namespace

void TIcon::Clear()
{
    data_.clear();
    entries_.clear();
    shown_ = -1;
    picture_ = QImage();
}

bool TIcon::LoadFromFile(const QString& path)
{
    Clear();
    QByteArray data;
    if (!wholefile::read(path, kMaxFileBytes, data, error_))
        return false;
    return LoadFromData(data);
}

// Of the candidates (positions in entries_), the first entry's size at
// the greatest depth; -1 for none.
int TIcon::chooseShown(const QList<int>& candidates) const
{
    if (candidates.isEmpty())
        return -1;
    const IconEntry& first = entries_[candidates.first()];
    int best = candidates.first();
    for (int i : candidates) {
        const IconEntry& e = entries_[i];
        if (e.imageWidth == first.imageWidth && e.imageHeight == first.imageHeight &&
            e.imageBits > entries_[best].imageBits)
            best = i;
    }
    return best;
}

bool TIcon::LoadFromData(const QByteArray& data)
{
    Clear();
    error_.clear();
    entries_ = icondirectory::read(data, &error_);
    QList<int> candidates;
    for (int i = 0; i < entries_.size(); ++i)
        candidates.append(i);
    // an entry that does not decode gives way to the next one, a few times
    for (int attempt = 0; attempt < kMostAttempts && !candidates.isEmpty(); ++attempt) {
        const int pick = chooseShown(candidates);
        picture_ = iconimage::decode(data, entries_[pick]);
        if (!picture_.isNull()) {
            shown_ = pick;
            data_ = data;
            return true;
        }
        candidates.removeOne(pick);
    }
    if (!entries_.isEmpty())
        error_ = QStringLiteral("no picture in the icon file decodes");
    entries_.clear();
    return false;
}

const IconEntry* TIcon::Shown() const
{
    return shown_ >= 0 ? &entries_[shown_] : nullptr;
}

QImage TIcon::Image(int position) const
{
    if (position < 0 || position >= entries_.size())
        return {};
    return iconimage::decode(data_, entries_[position]);
}

bool TIcon::SaveToFile(const QString& path) const
{
    return !Empty() && wholefile::write(path, data_);
}

bool TIcon::Assign(const TBitmap& picture)
{
    const QByteArray data = iconwriter::write(picture.image(), BitsOfPixelFormat(picture.pixelFormat()),
                                              picture.palette());
    if (data.isEmpty()) {
        Clear();
        error_ = QStringLiteral("the picture cannot be written as an icon");
        return false;
    }
    return LoadFromData(data);
}
