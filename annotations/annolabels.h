#pragma once
// The dialog texts the annotation layer passes to the program's dialogs:
// "key=text" lines, keys compared without case.

#include <QMap>
#include <QString>

namespace annolabels {

QMap<QString, QString> parse(const QString& lines);
// The text of key, fallback when the lines lack it.
QString text(const QMap<QString, QString>& labels, const char* key, const char* fallback);

}  // namespace annolabels
