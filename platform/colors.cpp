#include "colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace colors {

bool isSystemColour(qint32 stored)
{
    return (quint32(stored) & 0x80000000u) != 0;
}

namespace {

QColor systemColour(int index)
{
    const QPalette pal = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                             ? QGuiApplication::palette()
                             : QPalette();
    switch (index) {
    case 0: return pal.color(QPalette::Base).darker(110);      // scroll bar
    case 1: return pal.color(QPalette::Dark);                  // desktop background
    case 2: case 3: return pal.color(QPalette::Highlight);     // caption bars
    case 4: return pal.color(QPalette::Window);                // menu
    case 5: return pal.color(QPalette::Base);                  // window
    case 6: return pal.color(QPalette::Shadow);                // window frame
    case 7: case 8: return pal.color(QPalette::Text);          // menu and window text
    case 9: return pal.color(QPalette::HighlightedText);       // caption text
    case 12: return pal.color(QPalette::Window);               // application workspace
    case 13: return pal.color(QPalette::Highlight);
    case 14: return pal.color(QPalette::HighlightedText);
    case 15: return pal.color(QPalette::Button);               // button face
    case 16: return pal.color(QPalette::Dark);                 // button shadow
    case 17: return pal.color(QPalette::PlaceholderText);      // grey text
    case 18: return pal.color(QPalette::ButtonText);
    case 20: return pal.color(QPalette::Light);                // button highlight
    case 21: return pal.color(QPalette::Shadow);
    case 22: return pal.color(QPalette::Midlight);
    case 23: return pal.color(QPalette::ToolTipText);
    case 24: return pal.color(QPalette::ToolTipBase);
    default: return pal.color(QPalette::Window);
    }
}

}  // namespace

QColor toQColor(qint32 stored)
{
    const quint32 v = quint32(stored);
    if (isSystemColour(stored))
        return systemColour(int(v & 0xFF));
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint32 fromQColor(const QColor& c)
{
    return qint32(quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16));
}

}  // namespace colors
