#pragma once
// Reads the lines of a thumbnail database in large blocks. A line longer
// than ThumbnailDatabase::kMaxLine is skipped and reads as empty, so a lying
// file cannot make one huge allocation.

#include <QByteArray>
#include <QIODevice>
#include <QString>

class DatabaseLineReader {
public:
    explicit DatabaseLineReader(QIODevice& in) : in_(in) {}

    bool atEnd() const { return pos_ >= block_.size() && in_.atEnd(); }
    // The next line without its CR LF; false at the end or on a read error
    // (then *error is set).
    bool next(QString& line, bool* error);

    // A miniature's line, not kept: where it lies in the file, its length
    // without CR LF, its first bytes, and whether it holds hex digits only.
    struct HexLine {
        qint64 offset = 0;
        qint64 length = 0;
        QByteArray head;
        bool hexDigits = true;
    };
    bool nextHex(HexLine& line, bool* error);

private:
    bool fill();

    QIODevice& in_;
    QByteArray block_;
    qint64 blockOffset_ = 0;   // of block_[0] in the file
    qsizetype pos_ = 0;
    bool failed_ = false;
};
