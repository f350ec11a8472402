#include "settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QStringList>

namespace {

const char* const kFileName = "Glimra.ini";

QString storeFolder()
{
    const QByteArray own = qgetenv("GLIMRA_CONFIG_DIR");
    if (!own.isEmpty())
        return QString::fromLocal8Bit(own);
    QString base = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (base.isEmpty())
        base = QDir::homePath() + "/.config";
    return base + "/Korvane";
}

// True when a line is neither a [section] header nor key=value. (QSettings
// reports such errors only on the first parse of a file it has cached.)
bool hasIniSyntaxError(const QString& text)
{
    bool continued = false;
    for (QString line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const bool wasContinued = continued;
        continued = line.endsWith('\\');
        if (wasContinued)
            continue;
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(';') || t.startsWith('#'))
            continue;
        if (t.startsWith('[')) {
            if (!t.endsWith(']'))
                return true;
            continue;
        }
        const int eq = t.indexOf('=');
        if (eq <= 0 || t.left(eq).trimmed().isEmpty())
            return true;
    }
    return false;
}

// Why the file at path cannot serve as the store; empty when it can (or is absent).
QString unusableReason(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (info.isDir())
        return QStringLiteral("an ihrer Stelle steht ein Ordner");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("sie lässt sich nicht lesen");
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("sie lässt sich nicht lesen");
    if (bytes.contains('\0'))
        return QStringLiteral("sie enthält ein NUL-Zeichen");
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return QStringLiteral("sie ist kein gültiger UTF-8-Text");
    if (hasIniSyntaxError(text))
        return QStringLiteral("ihr Aufbau ist fehlerhaft");
    QSettings probe(path, QSettings::IniFormat);
    if (probe.status() == QSettings::FormatError)
        return QStringLiteral("ihr Aufbau ist fehlerhaft");
    if (probe.status() == QSettings::AccessError)
        return QStringLiteral("sie lässt sich nicht lesen");
    return {};
}

// Moves an unusable store to Glimra.ini.bad (or .bad.N when that is taken).
bool setAside(const QString& path)
{
    QString target = path + ".bad";
    for (int n = 1; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = path + ".bad." + QString::number(n);
    return QDir().rename(path, target);
}

bool parseInteger(const QVariant& value, qint32* out)
{
    if (value.typeId() == QMetaType::QStringList)
        return false;
    bool ok = false;
    const qlonglong n = value.toString().trimmed().toLongLong(&ok, 10);
    if (!ok || n < INT32_MIN || n > INT32_MAX)
        return false;
    *out = static_cast<qint32>(n);
    return true;
}

QString matchName(const QStringList& names, const QString& wanted)
{
    for (const QString& n : names)
        if (n.compare(wanted, Qt::CaseInsensitive) == 0)
            return n;
    return {};
}

}  // namespace

Settings::Settings()
{
    const QString path = filePath();
    readable_ = unusableReason(path).isEmpty();
    if (readable_)
        store_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

Settings::~Settings()
{
    sync();
}

QString Settings::filePath()
{
    return storeFolder() + "/" + kFileName;
}

QString Settings::problem()
{
    const QString path = filePath();
    const QString reason = unusableReason(path);
    if (reason.isEmpty())
        return {};
    return QStringLiteral("Die Einstellungsdatei %1 ist unbrauchbar (%2). Es gelten die "
                          "Standardeinstellungen; die Datei bleibt als %3 erhalten.")
        .arg(path, reason, QFileInfo(path).fileName() + ".bad");
}

QSettings* Settings::writable()
{
    if (!store_) {
        const QString path = filePath();
        if (!unusableReason(path).isEmpty() && !setAside(path))
            return nullptr;   // never write over a file we could not set aside
        QDir().mkpath(QFileInfo(path).absolutePath());
        store_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
        readable_ = true;
    }
    return store_.get();
}

bool Settings::sync()
{
    if (!store_)
        return true;
    store_->sync();
    return store_->status() == QSettings::NoError;
}

QString Settings::actualGroup(const QString& section) const
{
    if (!store_)
        return {};
    const QStringList parts = QString(section).replace('\\', '/').split('/', Qt::SkipEmptyParts);
    QString resolved;
    for (const QString& part : parts) {
        store_->beginGroup(resolved);
        const QString found = matchName(store_->childGroups(), part);
        store_->endGroup();
        if (found.isEmpty())
            return {};
        resolved = resolved.isEmpty() ? found : resolved + "/" + found;
    }
    return resolved;
}

QString Settings::actualKey(const QString& section, const QString& key) const
{
    const QString group = actualGroup(section);
    if (group.isEmpty())
        return {};
    store_->beginGroup(group);
    const QString found = matchName(store_->childKeys(), key);
    store_->endGroup();
    return found.isEmpty() ? QString() : group + "/" + found;
}

QVariant Settings::rawValue(const QString& section, const QString& key) const
{
    const QString k = actualKey(section, key);
    return k.isEmpty() ? QVariant() : store_->value(k);
}

void Settings::setRaw(const QString& section, const QString& key, const QVariant& value)
{
    QSettings* s = writable();
    if (!s)
        return;
    QString k = actualKey(section, key);
    if (k.isEmpty()) {
        QString group = actualGroup(section);
        if (group.isEmpty())
            group = QString(section).replace('\\', '/');
        k = group + "/" + key;
    }
    s->setValue(k, value);
}

bool Settings::readBool(const QString& section, const QString& key, bool def) const
{
    const QVariant v = rawValue(section, key);
    if (!v.isValid())
        return def;
    const QString text = v.toString().trimmed();
    if (text.compare("true", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare("false", Qt::CaseInsensitive) == 0)
        return false;
    qint32 n = 0;
    return parseInteger(v, &n) ? n != 0 : def;
}

qint32 Settings::readInteger(const QString& section, const QString& key, qint32 def) const
{
    qint32 n = 0;
    return parseInteger(rawValue(section, key), &n) ? n : def;
}

QString Settings::readString(const QString& section, const QString& key, const QString& def) const
{
    const QVariant v = rawValue(section, key);
    if (!v.isValid())
        return def;
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(", ");
    return v.toString();
}

void Settings::writeBool(const QString& section, const QString& key, bool value)
{
    setRaw(section, key, value ? 1 : 0);
}

void Settings::writeInteger(const QString& section, const QString& key, qint32 value)
{
    setRaw(section, key, value);
}

void Settings::writeString(const QString& section, const QString& key, const QString& value)
{
    setRaw(section, key, value);
}

bool Settings::sectionExists(const QString& section) const
{
    return !actualGroup(section).isEmpty();
}

bool Settings::valueExists(const QString& section, const QString& key) const
{
    return !actualKey(section, key).isEmpty();
}

QStringList Settings::readSection(const QString& section) const
{
    const QString group = actualGroup(section);
    if (group.isEmpty())
        return {};
    store_->beginGroup(group);
    const QStringList keys = store_->childKeys();
    store_->endGroup();
    return keys;
}

void Settings::deleteKey(const QString& section, const QString& key)
{
    const QString k = actualKey(section, key);
    if (!k.isEmpty() && writable())
        store_->remove(k);
}

void Settings::eraseSection(const QString& section)
{
    const QString group = actualGroup(section);
    if (!group.isEmpty() && writable())
        store_->remove(group);
}

void Settings::clear()
{
    if (QSettings* s = writable())
        s->clear();
}
