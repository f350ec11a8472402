#include "wallpaper.h"

#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace wallpaper {
namespace {

QString setOnThisDesktop(const QString& file)
{
    return setOnDesktop(file, QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")));
}

Setter& current()
{
    static Setter s = setOnThisDesktop;
    return s;
}

// Runs a program and waits at most the time limit; empty on success.
QString run(const QString& program, const QStringList& args, int timeoutMs, QByteArray* out = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(timeoutMs))
        return "Das Programm \"" + program + "\" konnte nicht gestartet werden.";
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        return "Das Programm \"" + program + "\" hat nicht rechtzeitig geantwortet.";
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        const QString why = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return "Das Programm \"" + program + "\" meldet einen Fehler" + (why.isEmpty() ? "." : ": " + why);
    }
    if (out)
        *out = p.readAllStandardOutput();
    return {};
}

QString setGnome(const QString& file, int timeoutMs)
{
    const QString uri = QUrl::fromLocalFile(file).toString();
    const QString schema = QStringLiteral("org.gnome.desktop.background");
    QString error = run("gsettings", {"set", schema, "picture-options", "centered"}, timeoutMs);
    if (error.isEmpty())
        error = run("gsettings", {"set", schema, "picture-uri", uri}, timeoutMs);
    if (error.isEmpty())
        run("gsettings", {"set", schema, "picture-uri-dark", uri}, timeoutMs);   // older GNOME lacks it
    return error;
}

QString setXfce(const QString& file, int timeoutMs)
{
    QByteArray listing;
    QString error = run("xfconf-query", {"-c", "xfce4-desktop", "-l"}, timeoutMs, &listing);
    if (!error.isEmpty())
        return error;
    int done = 0;
    for (const QByteArray& line : listing.split('\n')) {
        const QString property = QString::fromUtf8(line.trimmed());
        if (!property.endsWith("/last-image"))
            continue;
        error = run("xfconf-query", {"-c", "xfce4-desktop", "-p", property, "-s", file}, timeoutMs);
        if (!error.isEmpty())
            return error;
        ++done;
    }
    return done > 0 ? QString() : QStringLiteral("Die Arbeitsfläche von Xfce nennt keinen Bildschirm.");
}

}  // namespace

QString set(const QString& file)
{
    return current()(file);
}

void setSetter(Setter setter)
{
    current() = setter ? std::move(setter) : Setter(setOnThisDesktop);
}

QString setOnDesktop(const QString& file, const QString& desktop, int timeoutMs)
{
    const QStringList names = desktop.toUpper().split(':', Qt::SkipEmptyParts);
    if (names.contains("GNOME") || names.contains("UNITY") || names.contains("BUDGIE"))
        return setGnome(file, timeoutMs);
    if (names.contains("KDE"))
        return run("plasma-apply-wallpaperimage", {file}, timeoutMs);
    if (names.contains("XFCE"))
        return setXfce(file, timeoutMs);
    return "Für diese Arbeitsfläche (" + (desktop.isEmpty() ? QStringLiteral("unbekannt") : desktop)
        + ") kann kein Hintergrundbild gesetzt werden. Das bisherige Hintergrundbild bleibt.";
}

}  // namespace wallpaper
