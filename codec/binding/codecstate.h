#pragma once
// Process-wide state of the codec binding: the text naming the picture
// operation under way, the last error, the shared palette and the scanning
// busy flag. Guarded, since the folder scan decodes on its own thread.

#include <QList>
#include <QString>
#include <QtGui/qrgb.h>

QString OperationText();
void SetOperationText(const QString& text);

qint16 LastErrorCode();
QString LastErrorText();
void SetLastError(qint16 code, const QString& text);
void SetLastErrorText(const QString& text);

// The palette handed to the file decoders and preferred by the bitmap
// conversions; empty when none is set.
QList<QRgb> SharedPalette();
void SetSharedPalette(const QList<QRgb>& palette);

// The flag word passed to the codec module (always 0).
constexpr int kCodecFlags = 0;

// Scanning: true when the flag was free and is now taken.
bool TryBeginScan();
void EndScan();
bool ScanBusy();
