#pragma once
// One batch of reads and writes on the shared settings store (an ini file).
// Section and key names match without regard to case; nothing is cached
// between batches. A store file that cannot be read is never overwritten:
// reads give their defaults, and the first write sets the file aside.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

class QSettings;

class Settings {
public:
    Settings();
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // $GLIMRA_CONFIG_DIR/Glimra.ini, else $XDG_CONFIG_HOME/Korvane/Glimra.ini.
    static QString filePath();
    // A German sentence naming why the store cannot be used; empty when it is fine.
    static QString problem();

    bool readBool(const QString& section, const QString& key, bool def) const;
    qint32 readInteger(const QString& section, const QString& key, qint32 def) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;

    void writeBool(const QString& section, const QString& key, bool value);
    void writeInteger(const QString& section, const QString& key, qint32 value);
    void writeString(const QString& section, const QString& key, const QString& value);

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    QStringList readSection(const QString& section) const;   // value names as stored
    void deleteKey(const QString& section, const QString& key);
    void eraseSection(const QString& section);
    void clear();                                              // the whole store

    // Writes pending changes; false when the file could not be written.
    bool sync();

private:
    QVariant rawValue(const QString& section, const QString& key) const;
    void setRaw(const QString& section, const QString& key, const QVariant& value);
    QString actualGroup(const QString& section) const;
    QString actualKey(const QString& section, const QString& key) const;
    QSettings* writable();

    std::unique_ptr<QSettings> store_;
    bool readable_ = false;
};
