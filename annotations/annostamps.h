#pragma once
// The rubber stamps the user defined, kept in section "Stamps" of the
// annotation settings file: "Count", then "Name<i>", "Text<i>" and, for a
// picture stamp, "File<i>" (i from 1). Without the section the list holds
// a few text stamps of its own.

#include <QList>
#include <QString>

struct AnnoStampDef {
    QString name;
    QString text;   // a text stamp's text
    QString file;   // a picture stamp's picture file
    bool isPicture() const { return !file.isEmpty(); }
    bool operator==(const AnnoStampDef&) const = default;
};

namespace annostamps {

constexpr int kMaxStamps = 200;

QList<AnnoStampDef> load(const QString& profile);
// False when the file cannot be written (or could not be read before).
bool save(const QString& profile, const QList<AnnoStampDef>& stamps);

}  // namespace annostamps
