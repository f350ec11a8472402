#pragma once
// Writes a file the programs keep on their own beside the user's pictures
// (thumbnail databases, slide lists, palettes, annotation files). The data
// goes to a temporary file in the same folder, which replaces the name by a
// rename only when complete. A name held by anything but a regular file (a
// symbolic link, a folder, a device) is left alone: nothing is written.

#include <QByteArray>
#include <QString>

class OwnFileWriter {
public:
    explicit OwnFileWriter(QString path);
    ~OwnFileWriter();   // an uncommitted write leaves the old file as it was
    OwnFileWriter(const OwnFileWriter&) = delete;
    OwnFileWriter& operator=(const OwnFileWriter&) = delete;

    // Whether the name is free or a regular file (not followed if a link).
    static bool replaceable(const QString& path);

    bool open();
    bool write(const QByteArray& data);
    // Flushes the data to the disk and puts the file in place.
    bool commit();
    void cancel();
    bool failed() const { return failed_; }

private:
    QString path_;
    QByteArray temp_;
    int fd_ = -1;
    bool failed_ = false;
};
