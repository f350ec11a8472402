#include "tmetafile.h"

#include "emfplayer.h"
#include "wmfplayer.h"

#include <QFile>
#include <QSaveFile>

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("cannot open the file");
        return false;
    }
    if (file.size() > kMaxFileBytes) {
        error_ = QStringLiteral("file too large");
        return false;
    }
    return LoadFromData(file.readAll());
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
    if (Empty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data_) != data_.size())
        return false;
    return file.commit();
}

void TMetafile::Draw(QPainter& painter, const QRectF& target) const
{
    if (emf_)
        emf_->play(painter, target);
    else if (wmf_)
        wmf_->play(painter, target);
}
