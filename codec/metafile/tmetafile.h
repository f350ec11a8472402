#pragma once
// The programs' metafile object: a Windows Metafile or an Enhanced
// Metafile held as its file bytes, with its size and a player that draws
// it into any rectangle of a QPainter.

#include <QByteArray>
#include <QRectF>
#include <QSize>
#include <QString>

#include <memory>

class WmfPlayer;
class EmfPlayer;
class QPainter;

class TMetafile {
public:
    TMetafile();
    ~TMetafile();
    TMetafile(const TMetafile&);
    TMetafile& operator=(const TMetafile&);

    // Largest metafile file read.
    static constexpr qint64 kMaxFileBytes = qint64(1) << 30;

    // The kind is taken from the content; a file that is no metafile, is
    // damaged or declares a size of 0 leaves the object empty and false.
    bool LoadFromFile(const QString& path);
    bool LoadFromData(const QByteArray& data);
    bool SaveToFile(const QString& path) const;
    void Clear();

    bool Empty() const { return data_.isEmpty(); }
    bool Enhanced() const { return emf_ != nullptr; }
    // Size in pixels at 96 dots per inch; 0 x 0 when empty.
    int Width() const { return size_.width(); }
    int Height() const { return size_.height(); }
    QSize Size() const { return size_; }
    const QByteArray& Data() const { return data_; }
    // Why the last load failed.
    QString Error() const { return error_; }

    // Plays the records into target; nothing for an empty metafile.
    void Draw(QPainter& painter, const QRectF& target) const;

private:
    QByteArray data_;
    QSize size_;
    QString error_;
    std::shared_ptr<const WmfPlayer> wmf_;
    std::shared_ptr<const EmfPlayer> emf_;
};
