#include "storedminiatures.h"

#include "thumbnaildatabase.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

std::shared_ptr<const StoredMiniatures> StoredMiniatures::open(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::shared_ptr<const StoredMiniatures>(new StoredMiniatures(fd));
}

StoredMiniatures::~StoredMiniatures()
{
    ::close(fd_);
}

QByteArray StoredMiniatures::read(qint64 offset, qint64 length) const
{
    if (offset < 0 || length <= 0 || length > ThumbnailDatabase::kMaxLine)
        return {};
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd_, bytes.data() + done, size_t(length - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {};
        done += n;
    }
    return bytes;
}
