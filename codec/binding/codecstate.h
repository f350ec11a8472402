#pragma once
// State of the codec binding: the text naming the picture operation under
// way and the last error, each thread its own (the thumbnail workers decode
// beside the picture pane); the shared palette and the scanning busy flag,
// process-wide and guarded.

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
