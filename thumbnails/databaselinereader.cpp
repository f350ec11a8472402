#include "databaselinereader.h"

#include "thumbnaildatabase.h"

#include <cstring>

namespace {
constexpr qint64 kBlock = 1024 * 1024;
}

bool DatabaseLineReader::fill()
{
    blockOffset_ += block_.size();
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

namespace {

// Written so that the compiler checks many bytes at a time: a database
// holds hundreds of megabytes of digits.
bool allHexDigits(const uchar* p, qsizetype n)
{
    uchar bad = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const uchar c = p[i];
        const uchar digit = uchar(c - '0') < 10;
        const uchar letter = uchar((c | 0x20) - 'a') < 6;
        bad |= uchar((digit | letter) ^ 1);
    }
    return bad == 0;
}

}  // namespace

bool DatabaseLineReader::nextHex(HexLine& line, bool* error)
{
    *error = false;
    line = HexLine();
    if (atEnd())
        return false;
    constexpr qsizetype kHead = 108;   // hex digits of the BMP headers
    if (pos_ >= block_.size() && !fill()) {
        *error = failed_;
        return false;
    }
    line.offset = blockOffset_ + pos_;
    bool carriageReturn = false;   // the last byte seen was CR
    for (;;) {
        if (pos_ >= block_.size() && !fill()) {
            if (failed_) {
                *error = true;
                return false;
            }
            break;
        }
        const auto* start = reinterpret_cast<const uchar*>(block_.constData()) + pos_;
        const auto* end = static_cast<const uchar*>(std::memchr(start, '\n', size_t(block_.size() - pos_)));
        const qsizetype length = end ? end - start : block_.size() - pos_;
        if (carriageReturn && length > 0)
            line.hexDigits = false;   // a CR inside the line
        // a CR may only end the line; one inside fails the digit test
        if (length > 0)
            carriageReturn = start[length - 1] == '\r';
        if (line.hexDigits && !allHexDigits(start, length - (carriageReturn ? 1 : 0)))
            line.hexDigits = false;
        if (line.head.size() < kHead)
            line.head.append(reinterpret_cast<const char*>(start), std::min(length, kHead - line.head.size()));
        line.length += length;
        pos_ += length + (end ? 1 : 0);
        if (end)
            break;
    }
    if (carriageReturn)
        --line.length;
    if (line.length > ThumbnailDatabase::kMaxLine)
        line.hexDigits = false;
    return true;
}
