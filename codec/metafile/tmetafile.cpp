#include "tmetafile.h"

#include "emfplayer.h"
#include "wholefile.h"
#include "wmfplayer.h"


TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;
TMetafile::TMetafile(const TMetafile&) = default;
TMetafile& TMetafile::operator=(const TMetafile&) = default;

void TMetafile::Clear()
{
    data_.clear();
    size_ = QSize();
    wmf_.reset();
    emf_.reset();
}

bool TMetafile::LoadFromFile(const QString& path)
{
    Clear();
    QByteArray data;
    if (!wholefile::read(path, kMaxFileBytes, data, error_))
        return false;
    return LoadFromData(data);
}

bool TMetafile::LoadFromData(const QByteArray& data)
{
    Clear();
    error_.clear();
    if (EmfPlayer::looksLikeEmf(data)) {
        auto emf = std::make_shared<const EmfPlayer>(data);
        if (!emf->valid()) {
            error_ = emf->error();
            return false;
        }
        size_ = emf->size();
        emf_ = std::move(emf);
    } else if (WmfPlayer::looksLikeWmf(data)) {
        auto wmf = std::make_shared<const WmfPlayer>(data);
        if (!wmf->valid()) {
            error_ = wmf->error();
            return false;
        }
        size_ = wmf->size();
        wmf_ = std::move(wmf);
    } else {
        error_ = QStringLiteral("not a metafile");
        return false;
    }
    data_ = data;
    return true;
}

bool TMetafile::SaveToFile(const QString& path) const
{
    return !Empty() && wholefile::write(path, data_);
}

void TMetafile::Draw(QPainter& painter, const QRectF& target) const
{
    if (emf_)
        emf_->play(painter, target);
    else if (wmf_)
        wmf_->play(painter, target);
}
