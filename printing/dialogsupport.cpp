#include "dialogsupport.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget& window)
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = window.frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        window.move(r.topLeft());
    }
}

void ShowOrientation(const QPrinter* printer, QAbstractButton& portrait, QAbstractButton& landscape)
{
    if (!printer)
        return;
    const bool across = printer->pageLayout().orientation() == QPageLayout::Landscape;
    portrait.setChecked(!across);
    landscape.setChecked(across);
}
