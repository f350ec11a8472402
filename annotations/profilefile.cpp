#include "profilefile.h"

#include "platform/ownfilewriter.h"

#include <QFile>
#include <QStringDecoder>

ProfileFile::ProfileFile(QString path) : path_(std::move(path))
{
    QFile file(path_);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes) {
        readable_ = false;
        return;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError() || bytes.contains('\0')) {
        readable_ = false;
        return;
    }
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            sections_.append({line.mid(1, line.size() - 2).trimmed(), {}});
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || sections_.isEmpty())
            continue;
        sections_.last().values.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
}

const ProfileFile::Section* ProfileFile::section(const QString& name) const
{
    for (const Section& s : sections_)
        if (s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

bool ProfileFile::contains(const QString& sectionName, const QString& key) const
{
    if (const Section* s = section(sectionName))
        for (const auto& [k, v] : s->values)
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

QString ProfileFile::value(const QString& sectionName, const QString& key) const
{
    if (const Section* s = section(sectionName))
        for (const auto& [k, v] : s->values)
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                return v;
    return {};
}

void ProfileFile::setValue(const QString& sectionName, const QString& key, const QString& value)
{
    // one line per value: line breaks become blanks
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    Section* s = const_cast<Section*>(section(sectionName));
    if (!s) {
        sections_.append({sectionName, {}});
        s = &sections_.last();
    }
    for (auto& [k, v] : s->values) {
        if (k.compare(key, Qt::CaseInsensitive) == 0) {
            v = flat;
            return;
        }
    }
    s->values.append({key, flat});
}

bool ProfileFile::save() const
{
    if (!readable_ || path_.isEmpty())
        return false;
    QString text;
    for (const Section& s : sections_) {
        text += QLatin1Char('[') + s.name + QStringLiteral("]\r\n");
        for (const auto& [k, v] : s.values)
            text += k + QLatin1Char('=') + v + QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
    }
    OwnFileWriter writer(path_);
    return writer.open() && writer.write(text.toUtf8()) && writer.commit();
}
