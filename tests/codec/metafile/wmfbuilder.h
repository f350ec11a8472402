#pragma once
// Windows Metafiles put together record by record, for tests that need
// exact contents or deliberately broken ones.

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <QtEndian>
#include <QtGui/qrgb.h>

class WmfBuilder {
public:
    // A placeable metafile whose box is box in units of inch per inch.
    explicit WmfBuilder(QRect box = QRect(0, 0, 200, 100), int inch = 96)
        : box_(box)
        , inch_(inch)
    {
    }

    // One record of 16-bit parameters.
    WmfBuilder& add(quint16 function, const QList<int>& words)
    {
        QByteArray params;
        for (int w : words)
            putU16(params, quint16(qint16(w)));
        return addRaw(function, params);
    }
    // One record whose parameter bytes are given (padded to a whole word).
    WmfBuilder& addRaw(quint16 function, QByteArray params)
    {
        if (params.size() % 2)
            params.append('\0');
        QByteArray rec;
        putU32(rec, quint32(3 + params.size() / 2));
        putU16(rec, function);
        rec.append(params);
        records_.append(rec);
        if (quint32(rec.size() / 2) > maxRecord_)
            maxRecord_ = quint32(rec.size() / 2);
        return *this;
    }
    WmfBuilder& objects(int n)
    {
        objects_ = n;
        return *this;
    }

    // Common records.
    WmfBuilder& window(int x, int y, int w, int h)
    {
        add(0x020B, {y, x});
        return add(0x020C, {h, w});
    }
    WmfBuilder& solidBrush(QRgb c) { return addRaw(0x02FC, u16(0) + colorRef(c) + u16(0)); }
    WmfBuilder& hatchBrush(QRgb c, int hatch) { return addRaw(0x02FC, u16(2) + colorRef(c) + u16(quint16(hatch))); }
    WmfBuilder& nullBrush() { return addRaw(0x02FC, u16(1) + colorRef(0) + u16(0)); }
    WmfBuilder& pen(int style, int width, QRgb c) { return addRaw(0x02FA, u16(quint16(style)) + u16(quint16(width)) + u16(0) + colorRef(c)); }
    WmfBuilder& select(int index) { return add(0x012D, {index}); }
    WmfBuilder& remove(int index) { return add(0x01F0, {index}); }
    WmfBuilder& rectangle(int l, int t, int r, int b) { return add(0x041B, {b, r, t, l}); }
    WmfBuilder& ellipse(int l, int t, int r, int b) { return add(0x0418, {b, r, t, l}); }
    WmfBuilder& polygon(const QList<QPoint>& pts) { return poly(0x0324, pts); }
    WmfBuilder& polyline(const QList<QPoint>& pts) { return poly(0x0325, pts); }
    WmfBuilder& font(int height, int charSet, const QByteArray& face, int escapement = 0)
    {
        QByteArray p = u16(quint16(height)) + u16(0) + u16(quint16(escapement)) + u16(quint16(escapement)) + u16(400);
        p.append(char(0)).append(char(0)).append(char(0)).append(char(charSet));
        p.append(QByteArray(4, '\0'));
        p.append(face.left(31)).append('\0');
        return addRaw(0x02FB, p);
    }
    WmfBuilder& textOut(int x, int y, const QByteArray& text)
    {
        QByteArray p = u16(quint16(text.size())) + text;
        if (text.size() % 2)
            p.append('\0');
        return addRaw(0x0521, p + u16(quint16(y)) + u16(quint16(x)));
    }

    QByteArray finish() const
    {
        QByteArray body;
        for (const QByteArray& r : records_)
            body.append(r);
        QByteArray eof;
        putU32(eof, 3);
        putU16(eof, 0);
        body.append(eof);
        QByteArray out;
        putU32(out, 0x9AC6CDD7);
        putU16(out, 0);
        for (int v : {box_.left(), box_.top(), box_.left() + box_.width(), box_.top() + box_.height()})
            putU16(out, quint16(qint16(v)));
        putU16(out, quint16(inch_));
        putU32(out, 0);
        quint16 sum = 0;
        for (int i = 0; i < 10; ++i)
            sum ^= qFromLittleEndian<quint16>(out.constData() + 2 * i);
        putU16(out, sum);
        putU16(out, 1);
        putU16(out, 9);
        putU16(out, 0x0300);
        putU32(out, quint32(9 + body.size() / 2));
        putU16(out, quint16(objects_));
        putU32(out, maxRecord_);
        putU16(out, 0);
        return out + body;
    }

    static QByteArray u16(quint16 v)
    {
        QByteArray b;
        putU16(b, v);
        return b;
    }
    static QByteArray u32(quint32 v)
    {
        QByteArray b;
        putU32(b, v);
        return b;
    }
    static QByteArray colorRef(QRgb c) { return u32(quint32(qRed(c)) | (quint32(qGreen(c)) << 8) | (quint32(qBlue(c)) << 16)); }

private:
    WmfBuilder& poly(quint16 function, const QList<QPoint>& pts)
    {
        QByteArray p = u16(quint16(pts.size()));
        for (const QPoint& q : pts)
            p += u16(quint16(qint16(q.x()))) + u16(quint16(qint16(q.y())));
        return addRaw(function, p);
    }
    static void putU16(QByteArray& b, quint16 v)
    {
        v = qToLittleEndian(v);
        b.append(reinterpret_cast<const char*>(&v), 2);
    }
    static void putU32(QByteArray& b, quint32 v)
    {
        v = qToLittleEndian(v);
        b.append(reinterpret_cast<const char*>(&v), 4);
    }

    QRect box_;
    int inch_;
    int objects_ = 8;
    quint32 maxRecord_ = 3;
    QList<QByteArray> records_;
};
