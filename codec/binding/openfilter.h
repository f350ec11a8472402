#pragma once
// The filter text of the picture open dialog.

#include <QString>
#include <QStringList>

// mediaTypes: those of "WAV", "MID", "RMI", "AVI", "MOV" the platform can
// play; others are ignored. Empty leaves the media entries out.
QString OpenDialogFilter(const QStringList& mediaTypes = {});
