#pragma once
// Stored colours: 0x00BBGGRR for plain colours; the top bit set names a
// system colour by its index (0x8000000F button face, 0x80000001 desktop).

#include <QColor>
#include <QtGlobal>

namespace colors {

constexpr qint32 kButtonFace = qint32(0x8000000F);
constexpr qint32 kDesktop = qint32(0x80000001);

QColor toQColor(qint32 stored);
// Plain colour as 0x00BBGGRR.
qint32 fromQColor(const QColor& colour);
bool isSystemColour(qint32 stored);

}  // namespace colors
