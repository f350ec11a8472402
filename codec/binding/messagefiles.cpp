#include "messagefiles.h"

#include <QFile>

#include <array>
#include <optional>

namespace {

constexpr qint64 kCreditFileLimit = 65526;
constexpr qint64 kMessageFileLimit = 1 << 20;
const QString kInvalidMessage = QStringLiteral(" Invallid message format ! ");

std::optional<QByteArray> readHead(const QString& fileName, qint64 limit)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = f.read(limit);
    if (data.isNull() && f.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

std::optional<qint32> parseNumber(const QString& text)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return qint32(v);
}

void setNumber(int& field, const QString& text)
{
    if (auto v = parseNumber(text))
        field = *v;
}

void applyStyleFlags(MessageStyle& style, const QString& flags)
{
    auto on = [&flags](int i) { return i < flags.size() && flags.at(i) == QLatin1Char('1'); };
    style.bold = on(0);
    style.italic = on(1);
    style.underline = on(2);
    style.strikeOut = on(3);
}

QStringList splitLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& l : lines) {
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The text between tag and nextTag; none when it cannot be found.
std::optional<QString> tagValue(const QString& text, const QString& tag, const QString& nextTag)
{
    const int at = text.indexOf(tag);
    if (at <= 0)
        return std::nullopt;
    const int start = at + tag.size();
    const int end = text.indexOf(nextTag, start);
    if (end < 0)
        return std::nullopt;
    return text.mid(start, end - start);
}

// Numeric field of a scrolling message: default when missing or not a
// number, unchanged when empty.
void takeNumber(const std::optional<QString>& value, int& field, int fallback)
{
    if (!value) {
        field = fallback;
        return;
    }
    if (value->trimmed().isEmpty())
        return;
    const auto v = parseNumber(*value);
    field = v ? *v : fallback;
}

}  // namespace

bool ReadCreditMessageFile(const QString& fileName, MessageStyle& style, QStringList& lines)
{
    const auto data = readHead(fileName, kCreditFileLimit);
    if (!data)
        return false;
    const QStringList all = splitLines(QString::fromUtf8(*data));
    auto line = [&all](int i) -> std::optional<QString> {
        return i < all.size() ? std::optional<QString>(all.at(i)) : std::nullopt;
    };
    if (auto v = line(1))
        setNumber(style.fontColor, *v);
    if (auto v = line(2))
        setNumber(style.fontHeight, *v);
    if (auto v = line(3))
        style.fontName = *v;
    if (auto v = line(4))
        setNumber(style.fontSize, *v);
    if (auto v = line(5))
        applyStyleFlags(style, *v);
    if (auto v = line(6))
        setNumber(style.backColor, *v);
    if (auto v = line(7))
        setNumber(style.speed, *v);
    lines.clear();
    for (int i = 8; i < all.size(); ++i)
        lines.append(all.at(i));
    return true;
}

bool ReadScrollingMessageFile(const QString& fileName, MessageStyle& style, QString& message)
{
    const auto data = readHead(fileName, kMessageFileLimit + 1);
    if (!data || data->size() > kMessageFileLimit)
        return false;
    const QString text = QString::fromUtf8(*data);
    static const std::array<QString, 9> tags = {
        QStringLiteral("/fc|"), QStringLiteral("/fh|"), QStringLiteral("/fn|"),
        QStringLiteral("/fs|"), QStringLiteral("/ft|"), QStringLiteral("/bc|"),
        QStringLiteral("/sp|"), QStringLiteral("/sm|"), QStringLiteral("/eo|")};
    auto field = [&](int i) { return tagValue(text, tags[i], tags[i + 1]); };

    takeNumber(field(0), style.fontColor, 255);
    takeNumber(field(1), style.fontHeight, -13);
    if (const auto name = field(2); !name)
        style.fontName = QStringLiteral("SYSTEM");
    else if (!name->isEmpty())
        style.fontName = *name;
    if (const auto size = field(3); size && !size->trimmed().isEmpty())
        setNumber(style.fontSize, *size);
    if (const auto flags = field(4); flags && !flags->isEmpty())
        applyStyleFlags(style, *flags);
    takeNumber(field(5), style.backColor, 128);
    takeNumber(field(6), style.speed, 1);
    const auto msg = field(7);
    message = msg ? *msg : kInvalidMessage;
    return true;
}
