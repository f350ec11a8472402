#include "annolabels.h"

#include <QStringList>

namespace annolabels {

QMap<QString, QString> parse(const QString& lines)
{
    QMap<QString, QString> labels;
    for (const QString& line : lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const int eq = int(line.indexOf(QLatin1Char('=')));
        if (eq > 0)
            labels.insert(line.left(eq).toLower(), line.mid(eq + 1));
    }
    return labels;
}

QString text(const QMap<QString, QString>& labels, const char* key, const char* fallback)
{
    return labels.value(QString::fromLatin1(key).toLower(), QString::fromUtf8(fallback));
}

}  // namespace annolabels
