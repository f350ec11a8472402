#pragma once
// Enhanced Metafiles put together record by record, for tests that need
// deliberately broken ones.

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QtEndian>

class EmfBuilder {
public:
    // frame in hundredths of a millimetre; the reference device is 96 dpi.
    explicit EmfBuilder(QRect frame = QRect(0, 0, 5292, 2646))
        : frame_(frame)
    {
    }

    EmfBuilder& add(quint32 type, const QList<qint32>& values)
    {
        QByteArray params;
        for (qint32 v : values)
            params.append(le32(quint32(v)));
        return addRaw(type, params);
    }
    EmfBuilder& addRaw(quint32 type, QByteArray params)
    {
        while (params.size() % 4)
            params.append('\0');
        records_.append(le32(type) + le32(quint32(8 + params.size())) + params);
        return *this;
    }
    // Replaces a header field (byte offset) after finishing.
    EmfBuilder& patch(int offset, quint32 value)
    {
        patches_.append({offset, value});
        return *this;
    }

    QByteArray finish() const
    {
        QByteArray body;
        for (const QByteArray& r : records_)
            body.append(r);
        body.append(le32(14) + le32(20) + le32(0) + le32(16) + le32(20));
        QByteArray h;
        h += le32(1) + le32(88);
        for (int v : {0, 0, 199, 99})
            h += le32(quint32(v));
        for (int v : {frame_.left(), frame_.top(), frame_.left() + frame_.width(), frame_.top() + frame_.height()})
            h += le32(quint32(v));
        h += le32(0x464D4520) + le32(0x10000) + le32(quint32(88 + body.size())) + le32(quint32(records_.size() + 2));
        h += le32(4) + le32(0) + le32(0) + le32(0);
        h += le32(1920) + le32(1440) + le32(508) + le32(381);
        QByteArray out = h + body;
        for (const auto& [offset, value] : patches_)
            if (offset + 4 <= out.size())
                qToLittleEndian(value, out.data() + offset);
        return out;
    }

    static QByteArray le32(quint32 v)
    {
        v = qToLittleEndian(v);
        return QByteArray(reinterpret_cast<const char*>(&v), 4);
    }

private:
    QRect frame_;
    QList<QByteArray> records_;
    QList<QPair<int, quint32>> patches_;
};
