#include "databaselinereader.h"

#include "thumbnaildatabase.h"

#include <cstring>

namespace {
constexpr qint64 kBlock = 1024 * 1024;
}

bool DatabaseLineReader::fill()
{
    block_.resize(kBlock);
    pos_ = 0;
    const qint64 n = in_.read(block_.data(), kBlock);
    if (n < 0) {
        failed_ = true;
        block_.clear();
        return false;
    }
    block_.resize(n);
    return n > 0;
}

bool DatabaseLineReader::next(QString& line, bool* error)
{
    *error = false;
    if (atEnd())
        return false;
    QByteArray bytes;
    bool tooLong = false;
    for (;;) {
        if (pos_ >= block_.size() && !fill()) {
            if (failed_) {
                *error = true;
                return false;
            }
            break;
        }
        const char* start = block_.constData() + pos_;
        const auto* end = static_cast<const char*>(std::memchr(start, '\n', size_t(block_.size() - pos_)));
        const qsizetype length = end ? end - start + 1 : block_.size() - pos_;
        if (!tooLong)
            bytes.append(start, length);
        pos_ += length;
        if (bytes.size() > ThumbnailDatabase::kMaxLine) {
            tooLong = true;
            bytes.clear();
        }
        if (end)
            break;
    }
    if (tooLong) {
        line.clear();  // longer than any line this file holds: reads as empty
        return true;
    }
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    line = QString::fromUtf8(bytes);
    return true;
}
