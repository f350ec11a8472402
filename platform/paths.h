#pragma once
// Path helpers: "/" is the separator; identity is byte-exact on cleaned
// absolute paths, since file names are case-sensitive here.

#include <QString>

namespace paths {

// The path with exactly one trailing "/" ("/" stays "/").
QString withTrailingSeparator(const QString& path);
// Cleaned absolute path, no symlink resolution.
QString normalized(const QString& path);
bool samePath(const QString& a, const QString& b);
bool sameFolder(const QString& a, const QString& b);
// The file name's extension with its dot (".jpg"), as written; empty if none.
QString extension(const QString& path);
// Lower-cased extension, for type tests.
QString lowerExtension(const QString& path);
QString fileName(const QString& path);
// The program folder with a trailing "/": the running program's folder, or
// for a program installed in bin/ the lib/korvane/ folder beside it.
QString programFolder();

}  // namespace paths
