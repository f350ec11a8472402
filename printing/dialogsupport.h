#pragma once
// What both print dialogs do alike: stand in the middle of the screen and
// show the printer's orientation on their two format buttons.

class QAbstractButton;
class QPrinter;
class QWidget;

void CentreOnScreen(QWidget& window);
// Ticks portrait or landscape as the printer stands; nothing without one.
void ShowOrientation(const QPrinter* printer, QAbstractButton& portrait, QAbstractButton& landscape);
