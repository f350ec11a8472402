#pragma once
// A JPEG graphic held as its compressed data, as the program's picture
// container keeps it: the header gives its size, and it can be written out.

#include <QByteArray>
#include <QSize>
#include <QString>

class JpegGraphic {
public:
    // False (and an empty graphic) when the data is not a readable JPEG header.
    bool loadFromData(const QByteArray& data);
    bool isEmpty() const { return data_.isEmpty(); }
    QSize size() const { return size_; }
    const QByteArray& data() const { return data_; }
    // Writes the data to path through a temporary file; nothing is left on failure.
    bool saveToFile(const QString& path) const;

private:
    QByteArray data_;
    QSize size_;
};
