#include "slidelistfile.h"

#include "platform/fileops.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <cstdio>

const QString SlideListFile::kHeader = QStringLiteral("Korvane SlaidShow List");

QString SlideListContents::note() const
{
    QString text;
    if (skippedLines > 0)
        text = QString::number(skippedLines) + QStringLiteral(" Zeile(n) der Liste nicht lesbar und übersprungen.");
    if (truncated) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QStringLiteral("Die Liste ist zu lang: nur die ersten ") + QString::number(entries.size())
            + QStringLiteral(" Einträge geladen.");
    }
    return text;
}

namespace {

// One line as text: false for a NUL byte or bytes that are not UTF-8.
bool decodeLine(QByteArray line, QString& text)
{
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.contains('\0'))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    text = utf8.decode(line);
    return !utf8.hasError();
}

}  // namespace

SlideListContents SlideListFile::read(const QString& path)
{
    SlideListContents out;
    const QFileInfo info(path);
    if (!info.isFile())
        return out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QByteArray bytes = file.read(kMaxBytes);
    const bool more = !file.atEnd();
    qsizetype from = 0;
    bool first = true;
    while (from < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', from);
        const bool cut = end < 0;   // the last line, or one cut off by the limit
        if (cut)
            end = bytes.size();
        const QByteArray line = bytes.mid(from, end - from);
        from = end + 1;
        if (first) {
            QString header;
            out.headerOk = decodeLine(line, header) && header == kHeader;
            if (!out.headerOk)
                return out;
            first = false;
            continue;
        }
        if (cut && more) {
            out.truncated = true;
            break;
        }
        if (out.entries.size() >= kMaxEntries) {
            out.truncated = true;
            break;
        }
        QString text;
        if (line.size() > kMaxLineBytes || !decodeLine(line, text)) {
            ++out.skippedLines;
            continue;
        }
        if (!text.isEmpty())
            out.entries << text;
    }
    if (more)
        out.truncated = true;
    return out;
}

bool SlideListFile::write(const QString& path, const QStringList& entries)
{
    const QFileInfo target(path);
    if (target.fileName().isEmpty() || target.isDir())
        return false;
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        return false;
    QByteArray text = kHeader.toUtf8() + "\r\n";
    for (const QString& entry : entries)
        text += entry.toUtf8() + "\r\n";
    if (fileops::injectedFault(fileops::Op::Write, path) || temp.write(text) != text.size() || !temp.flush())
        return false;
    // the list keeps the permissions of the file it replaces
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (target.exists() && !target.isSymLink())
        permissions = QFile(path).permissions() | QFile::WriteOwner;
    temp.setPermissions(permissions);
    temp.close();
    if (fileops::injectedFault(fileops::Op::Rename, path))
        return false;
    // rename() replaces a symbolic link itself rather than the file it names
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    temp.setAutoRemove(false);
    return true;
}
