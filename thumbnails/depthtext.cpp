#include "depthtext.h"

#include "th.h"

#include <cmath>

namespace {

// 3 significant digits, no decimals, fixed notation.
QString countText(double n)
{
    return QString::number(n, 'f', 0);
}

QString codeText(int code, const QString& countWithUnit)
{
    switch (code) {
    case 1: return QStringLiteral("Mono");
    case 2: return QStringLiteral("16");
    case 3: return QStringLiteral("256");
    case 4: return QStringLiteral("15Bit");
    case 5: return QStringLiteral("16Bit");
    case 6: return QStringLiteral("24Bit");
    case 7: return QStringLiteral("32Bit");
    default: return countWithUnit;
    }
}

}  // namespace

QString DepthText(const Th& item)
{
    double n = item.Colors != 0 ? double(item.Colors) : std::pow(2.0, item.Bits) * item.Planes;
    const double count = n;
    int divisions = 0;
    while (n > 1024) {
        n /= 1024;
        ++divisions;
    }
    const QString unit = divisions == 1 ? QStringLiteral("K") : divisions == 2 ? QStringLiteral("M") : QString();
    QString text = countText(n) + " " + unit;
    if (count == 0 || item.PixelCode == 1 || count > 1024)
        text = codeText(item.PixelCode, text);
    if (count == 0 && item.Bits != 0)
        text = countText(item.Bits) + " " + unit + "Bit";
    return text;
}
