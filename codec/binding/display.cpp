#include "display.h"

#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWindow>

int DeviceDepthClass(int bitsPerPixel)
{
    if (bitsPerPixel <= 4)
        return 4;
    if (bitsPerPixel < 16)
        return 8;
    return 24;
}

int DeviceDepth()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 24;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? DeviceDepthClass(screen->depth()) : 24;
}

void* ActiveWindowHandle()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return nullptr;
    QWindow* w = QGuiApplication::focusWindow();
    return w ? reinterpret_cast<void*>(w->winId()) : nullptr;
}

QList<QRgb> ScreenPalette()
{
    // Qt draws on true-colour surfaces only; no screen here has a palette.
    return {};
}

QList<QRgb> PaletteFromColorTable(const QList<QRgb>& table, const QList<QRgb>& screenPalette)
{
    if (table.size() == 16 && screenPalette.size() > 15)
        return screenPalette.mid(0, 8) + screenPalette.mid(screenPalette.size() - 8);
    return table;
}

TStretchMode StretchModeFor(int first, TBlitMode mode)
{
    if (first >= 2)
        return smColorOnColor;
    switch (mode) {
    case sDark: return smBlackOnWhite;
    case sLightest: return smWhiteOnBlack;
    case sLight:
    default: return smColorOnColor;
    }
}
