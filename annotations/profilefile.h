#pragma once
// A profile file in the initialization-file format: "[Section]" lines and
// "key=value" lines, UTF-8, CR LF line ends (LF read too). Section and key
// names compare without case. Saved through a temporary file and a rename,
// never through a link; a file that exists but cannot be read as such is
// never written over.

#include <QList>
#include <QPair>
#include <QString>

class ProfileFile {
public:
    // Reads the file at once; a missing file is empty.
    explicit ProfileFile(QString path);

    bool readable() const { return readable_; }
    bool contains(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);
    // False when the file could not be read before or cannot be written.
    bool save() const;

    static constexpr qint64 kMaxBytes = 1 << 20;

private:
    struct Section {
        QString name;
        QList<QPair<QString, QString>> values;
    };
    const Section* section(const QString& name) const;

    QString path_;
    QList<Section> sections_;
    bool readable_ = true;
};
