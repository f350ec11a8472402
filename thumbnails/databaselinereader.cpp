#include "databaselinereader.h"

#include "thumbnaildatabase.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

bool allHexDigitsBytewise(const uchar* p, qsizetype n)
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

// A database holds hundreds of megabytes of digits: sixteen bytes are
// checked at a time where the processor can.
bool allHexDigits(const uchar* p, qsizetype n)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_set1_epi8('0');
    const __m128i nine = _mm_set1_epi8(9);
    const __m128i lower = _mm_set1_epi8(0x20);
    const __m128i a = _mm_set1_epi8('a');
    const __m128i five = _mm_set1_epi8(5);
    __m128i good = _mm_set1_epi8(-1);
    qsizetype i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        // unsigned x <= limit exactly when min(x, limit) == x
        const __m128i d = _mm_sub_epi8(c, zero);
        const __m128i l = _mm_sub_epi8(_mm_or_si128(c, lower), a);
        const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(d, nine), d);
        const __m128i letter = _mm_cmpeq_epi8(_mm_min_epu8(l, five), l);
        good = _mm_and_si128(good, _mm_or_si128(digit, letter));
    }
    return _mm_movemask_epi8(good) == 0xffff && allHexDigitsBytewise(p + i, n - i);
#else
    return allHexDigitsBytewise(p, n);
#endif
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
