#pragma once
// The programs' icon object: an icon file's bytes, its sound entries and
// the picture shown for it, which is the deepest entry of the size of the
// first one.

#include "icondirectory.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

class TBitmap;

class TIcon {
public:
    // Largest icon file read.
    static constexpr qint64 kMaxFileBytes = qint64(1) << 28;

    bool LoadFromFile(const QString& path);
    // False for a file with no entry that decodes; the object is then empty.
    bool LoadFromData(const QByteArray& data);
    bool SaveToFile(const QString& path) const;
    // An icon of the picture at its own width and height.
    bool Assign(const TBitmap& picture);
    void Clear();

    bool Empty() const { return data_.isEmpty(); }
    const QByteArray& Data() const { return data_; }
    QString Error() const { return error_; }

    const QList<IconEntry>& Entries() const { return entries_; }
    // The entry shown, or null when empty.
    const IconEntry* Shown() const;
    int Width() const { return picture_.width(); }
    int Height() const { return picture_.height(); }
    // The shown entry's picture, ARGB32 with its transparency.
    const QImage& Picture() const { return picture_; }
    // Any entry's picture (by position in Entries()); null when it does not
    // decode.
    QImage Image(int position) const;

private:
    int chooseShown(const QList<int>& candidates) const;

    QByteArray data_;
    QList<IconEntry> entries_;
    int shown_ = -1;
    QImage picture_;
    QString error_;
};
