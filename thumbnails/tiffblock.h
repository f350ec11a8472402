#pragma once
// The directories of a TIFF structure in memory (TIFF 6.0, classic form),
// with every read bounded by the data.

#include <QtEndian>
#include <QtGlobal>

class TiffBlock {
public:
    TiffBlock(const uchar* data, qsizetype size) : data_(data), size_(size)
    {
        if (size_ >= 8 && data_[0] == 'I' && data_[1] == 'I')
            little_ = true;
        else if (size_ >= 8 && data_[0] == 'M' && data_[1] == 'M')
            little_ = false;
        else
            size_ = 0;
    }
    bool valid() const { return size_ >= 8 && u16(2) == 42; }
    quint32 firstDirectory() const { return u32(4); }

    quint16 u16(qint64 at) const
    {
        if (at < 0 || at + 2 > size_)
            return 0;
        return little_ ? qFromLittleEndian<quint16>(data_ + at) : qFromBigEndian<quint16>(data_ + at);
    }
    quint32 u32(qint64 at) const
    {
        if (at < 0 || at + 4 > size_)
            return 0;
        return little_ ? qFromLittleEndian<quint32>(data_ + at) : qFromBigEndian<quint32>(data_ + at);
    }
    qsizetype size() const { return size_; }

    // Calls take(tag, type, value position) for each entry of the directory
    // at offset; answers the next directory's offset (0: none).
    template <typename Take>
    quint32 walk(quint32 offset, Take take) const
    {
        const quint16 count = u16(offset);
        if (offset < 8 || qint64(offset) + 2 + qint64(count) * 12 + 4 > size_)
            return 0;
        for (quint16 i = 0; i < count; ++i) {
            const qint64 entry = qint64(offset) + 2 + qint64(i) * 12;
            take(u16(entry), u16(entry + 2), entry + 8);
        }
        return u32(qint64(offset) + 2 + qint64(count) * 12);
    }

private:
    const uchar* data_;
    qsizetype size_;
    bool little_ = true;
};
