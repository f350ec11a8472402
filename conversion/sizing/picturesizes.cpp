#include "picturesizes.h"

#include <cmath>

namespace picturesizes {

namespace {

struct PaperFormat {
    const char* name;
    double width;   // inches when inches, else millimetres
    double height;
    bool inches;
};

constexpr PaperFormat kFormats[] = {
    {"Foto 3 x 5 Zoll", 3, 5, true},
    {"Foto 5 x 3 Zoll (quer)", 5, 3, true},
    {"Foto 4 x 6 Zoll", 4, 6, true},
    {"Foto 6 x 4 Zoll (quer)", 6, 4, true},
    {"Visitenkarte 9.1 x 5.5 cm. (quer)", 91, 55, false},
    {"Visitenkarte 5.5 x 9.1 cm.", 55, 91, false},
    {"Karte 14.8 x 10.5 cm. (quer)", 148, 105, false},
    {"Karte 10.5 x 14.8 cm.", 105, 148, false},
    {"Karte 15 x 10 Cm. (quer)", 150, 100, false},
    {"Karte 10 x 15 Cm.", 100, 150, false},
    {"Karte 4.1 x 7 Zoll", 4.1, 7, true},
    {"Karte 7 x 4.1 Zoll (quer)", 7, 4.1, true},
    {"Brief 8.5 x 11 Zoll", 8.5, 11, true},
    {"Brief 11 x 8.5 Zoll (quer)", 11, 8.5, true},
    {"Umschlag DL 110 x 220 mm.", 110, 220, false},
    {"Umschlag DL 220 x 110 mm. (quer)", 220, 110, false},
    {"Dokument 8.5 x 14 Zoll", 8.5, 14, true},
    {"Dokument 14 x 8.5 Zoll (quer)", 14, 8.5, true},
    {"A6 112 x 148 mm.", 112, 148, false},
    {"A6 148 x 112 mm. (quer)", 148, 112, false},
    {"A5 148 x 215 mm.", 148, 215, false},
    {"A5 215 x 148 mm. (quer)", 215, 148, false},
    {"A4 210 x 297 mm.", 210, 297, false},
    {"A4 297 x 210 mm. (quer)", 297, 210, false},
    {"A3 297 x 420 mm.", 297, 420, false},
    {"A3 420 x 297 mm. (quer)", 420, 297, false},
};

constexpr const char* kScreenSizes[] = {
    "32 x 32",     "64 x 64",     "160 x 120",   "176 x 144",   "320 x 200",   "320 x 240",   "320 x 400",
    "352 x 288",   "512 x 384",   "640 x 400",   "640 x 480",   "720 x 480",   "720 x 576",   "768 x 576",
    "800 x 600",   "848 x 480",   "856 x 480",   "864 x 480",   "960 x 2400",  "1024 x 512",  "1024 x 768",
    "1024 x 1536", "1072 x 600",  "1152 x 864",  "1280 x 720",  "1280 x 768",  "1280 x 800",  "1280 x 960",
    "1280 x 1024", "1360 x 766",  "1360 x 768",  "1376 x 768",  "1600 x 1024", "1600 x 1200", "1600 x 1280",
    "1792 x 1344", "1800 x 1440", "1856 x 1392", "1920 x 1034", "1920 x 1080", "1920 x 1200", "1920 x 1440",
    "2048 x 1536",
};

static_assert(std::size(kScreenSizes) == kFirstPaperEntry);

int rounded(double value)
{
    return int(std::lround(value));
}

int numberOr(const QString& text, int fallback)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : fallback;
}

// "W x H Pixel": W before the "x", H from there to the next blank.
QSize screenSize(const QString& entry, QSize picture)
{
    const qsizetype x = entry.indexOf(QLatin1Char('x'));
    if (x < 0)
        return picture;
    const QString rest = entry.mid(x + 1).trimmed();
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    return {numberOr(entry.left(x), picture.width()), numberOr(blank < 0 ? rest : rest.left(blank), picture.height())};
}

int formatSide(double length, bool inches, const PrinterMeasures& printer)
{
    return inches ? rounded(length * printer.dpiX) : rounded(length * printer.dpmX);
}

QString orientationName(QPageLayout::Orientation orientation)
{
    switch (orientation) {
    case QPageLayout::Portrait: return QStringLiteral("Hochformat");
    case QPageLayout::Landscape: return QStringLiteral("Querformat");
    }
    return QStringLiteral("Unbekannt");
}

}  // namespace

const QStringList& StandardSizeNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const char* size : kScreenSizes)
            list << QString::fromLatin1(size) + QStringLiteral(" Pixel");
        for (const PaperFormat& f : kFormats)
            list << QString::fromLatin1(f.name);
        return list;
    }();
    return names;
}

QSize StandardSize(int index, QSize picture, const PrinterMeasures& printer)
{
    if (index < 0 || index >= StandardSizeNames().size())
        return picture;
    if (index < kFirstPaperEntry)
        return screenSize(StandardSizeNames().at(index), picture);
    const PaperFormat& f = kFormats[index - kFirstPaperEntry];
    return {formatSide(f.width, f.inches, printer), formatSide(f.height, f.inches, printer)};
}

QSize KeptRatio(QSize size, QSize picture)
{
    if (picture.width() < 1 || picture.height() < 1 || size.width() < 1 || size.height() < 1)
        return size;
    const qint64 w = picture.width();
    const qint64 h = picture.height();
    if (qint64(size.width()) * h > w * size.height())
        size.setWidth(std::max(1, rounded(double(size.height()) * w / h)));
    else
        size.setHeight(std::max(1, rounded(double(size.width()) * h / w)));
    return size;
}

QSize WithinLimit(QSize size, QSize picture)
{
    return size.width() > kMaxSide || size.height() > kMaxSide ? picture : size;
}

int FollowingHeight(int width, QSize picture)
{
    return picture.width() < 1 ? width : std::max(1, rounded(double(picture.height()) * width / picture.width()));
}

int FollowingWidth(int height, QSize picture)
{
    return picture.height() < 1 ? height : std::max(1, rounded(double(picture.width()) * height / picture.height()));
}

QStringList PageLines(const PrinterMeasures& p)
{
    QStringList lines{QString(), QString()};
    if (p.dpmX != 0 && p.dpmY != 0) {
        const QString across = QString::number(rounded(double(p.pageWidth) / p.dpmX));
        const QString down = QString::number(rounded(double(p.pageHeight) / p.dpmY));
        const QString w = QString::number(p.pageWidth);
        const QString h = QString::number(p.pageHeight);
        const bool landscape = p.orientation == QPageLayout::Landscape;
        lines[0] = (landscape ? down + " x " + across : across + " x " + down) + " mm   " + orientationName(p.orientation);
        lines[1] = (landscape ? w + " x " + h : h + " x " + w) + " Pixel";
    }
    lines << QStringLiteral("H. Auflösung: %1 DPI    %2 DPM").arg(p.dpiX).arg(p.dpmX)
          << QStringLiteral("V. Auflösung: %1 DPI    %2 DPM").arg(p.dpiY).arg(p.dpmY);
    return lines;
}

}  // namespace picturesizes
