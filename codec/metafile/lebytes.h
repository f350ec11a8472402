#pragma once
// Little-endian values appended to a growing run of bytes, for the
// metafile writers.

#include <QByteArray>
#include <QtEndian>

class LeBytes {
public:
    void u16(quint16 v) { put(qToLittleEndian(v)); }
    void i16(int v) { u16(quint16(qint16(v))); }
    void u32(quint32 v) { put(qToLittleEndian(v)); }
    void i32(qint32 v) { u32(quint32(v)); }
    void bytes(const QByteArray& b) { data.append(b); }

    QByteArray data;

private:
    template <typename T>
    void put(T v)
    {
        data.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
};
