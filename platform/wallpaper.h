#pragma once
// Setting the desktop's wallpaper through the desktop's own setter (GNOME,
// KDE Plasma, Xfce), chosen at run time and run with a time limit. Tests
// replace the setter so the desktop is never touched.

#include <QString>
#include <functional>

namespace wallpaper {

// Empty when the wallpaper was set; otherwise why not, in German.
using Setter = std::function<QString(const QString& file)>;

QString set(const QString& file);
// An empty setter puts the desktop's own back.
void setSetter(Setter setter);

// The desktop's setter, for the desktop named as in $XDG_CURRENT_DESKTOP.
QString setOnDesktop(const QString& file, const QString& desktop, int timeoutMs = 10000);

}  // namespace wallpaper
