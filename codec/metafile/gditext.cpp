#include "gditext.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

namespace gditext {

namespace {

// Glyphs larger than this are drawn at this size.
constexpr double kLargestPixelSize = 16384;

const char* codecName(int charSet)
{
    switch (charSet) {
    case 77: return "macintosh";
    case 128: return "Shift_JIS";
    case 129: return "windows-949";
    case 134: return "GBK";
    case 136: return "Big5";
    case 161: return "windows-1253";
    case 162: return "windows-1254";
    case 163: return "windows-1258";
    case 177: return "windows-1255";
    case 178: return "windows-1256";
    case 186: return "windows-1257";
    case 204: return "windows-1251";
    case 222: return "windows-874";
    case 238: return "windows-1250";
    case 255: return "IBM437";
    default: return "windows-1252";
    }
}

// The Symbol font's Greek letters and common signs by code.
char16_t symbolChar(unsigned code)
{
    static const char16_t upper[] = u"\u0391\u0392\u03A7\u0394\u0395\u03A6\u0393\u0397\u0399\u03D1\u039A\u039B\u039C"
                                    u"\u039D\u039F\u03A0\u0398\u03A1\u03A3\u03A4\u03A5\u03C2\u03A9\u039E\u03A8\u0396";
    static const char16_t lower[] = u"\u03B1\u03B2\u03C7\u03B4\u03B5\u03C6\u03B3\u03B7\u03B9\u03D5\u03BA\u03BB\u03BC"
                                    u"\u03BD\u03BF\u03C0\u03B8\u03C1\u03C3\u03C4\u03C5\u03D6\u03C9\u03BE\u03C8\u03B6";
    if (code >= 0x41 && code <= 0x5A)
        return upper[code - 0x41];
    if (code >= 0x61 && code <= 0x7A)
        return lower[code - 0x61];
    static const QHash<unsigned, char16_t> signs = {
        {0x22, u'\u2200'}, {0x24, u'\u2203'}, {0x27, u'\u220B'}, {0x2A, u'\u2217'}, {0x2D, u'\u2212'},
        {0x40, u'\u2245'}, {0x5C, u'\u2234'}, {0x5E, u'\u22A5'}, {0xA0, u'\u20AC'}, {0xA2, u'\u2032'},
        {0xA3, u'\u2264'}, {0xA5, u'\u221E'}, {0xAC, u'\u2190'}, {0xAD, u'\u2191'}, {0xAE, u'\u2192'},
        {0xAF, u'\u2193'}, {0xB0, u'\u00B0'}, {0xB1, u'\u00B1'}, {0xB2, u'\u2033'}, {0xB3, u'\u2265'},
        {0xB4, u'\u00D7'}, {0xB6, u'\u2202'}, {0xB7, u'\u2022'}, {0xB8, u'\u00F7'}, {0xB9, u'\u2260'},
        {0xBB, u'\u2248'}, {0xC4, u'\u2297'}, {0xC5, u'\u2295'}, {0xC6, u'\u2205'}, {0xD5, u'\u220F'},
        {0xD6, u'\u221A'}, {0xD7, u'\u22C5'}, {0xD8, u'\u00AC'}, {0xE0, u'\u25CA'}, {0xE5, u'\u2211'},
        {0xF2, u'\u222B'},
    };
    return signs.value(code, char16_t(code));
}

// Wingdings' bullets and marks by code.
char16_t wingdingsChar(unsigned code)
{
    static const QHash<unsigned, char16_t> marks = {
        {0x6C, u'\u25CF'}, {0x6E, u'\u25A0'}, {0x6F, u'\u25A1'}, {0x71, u'\u2751'}, {0x75, u'\u25C6'},
        {0x76, u'\u2756'}, {0x9F, u'\u2022'}, {0xA7, u'\u25AA'}, {0xA8, u'\u25FB'}, {0xD8, u'\u27A2'},
        {0xE0, u'\u2794'}, {0xE8, u'\u2794'}, {0xF0, u'\u21E8'}, {0xFB, u'\u2718'}, {0xFC, u'\u2714'},
        {0xFE, u'\u2611'},
    };
    return marks.value(code, char16_t(code));
}

enum class SymbolFont { None, Symbol, Wingdings, Other };

SymbolFont symbolFontOf(int charSet, const QString& faceName)
{
    if (faceName.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
        return SymbolFont::Symbol;
    if (faceName.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive))
        return SymbolFont::Wingdings;
    return charSet == SYMBOL_CHARSET ? SymbolFont::Other : SymbolFont::None;
}

char16_t symbolFontChar(SymbolFont kind, unsigned code)
{
    switch (kind) {
    case SymbolFont::Symbol: return symbolChar(code);
    case SymbolFont::Wingdings: return wingdingsChar(code);
    default: return char16_t(code);
    }
}

}  // namespace

QString decode(const QByteArray& bytes, int charSet, const QString& faceName)
{
    const SymbolFont kind = symbolFontOf(charSet, faceName);
    if (kind != SymbolFont::None) {
        QString text;
        text.reserve(bytes.size());
        for (char c : bytes)
            text.append(QChar(symbolFontChar(kind, uchar(c))));
        return text;
    }
    QStringDecoder decoder(codecName(charSet));
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QString mapSymbols(const QString& text, int charSet, const QString& faceName)
{
    const SymbolFont kind = symbolFontOf(charSet, faceName);
    if (kind == SymbolFont::None)
        return text;
    QString out = text;
    for (QChar& c : out) {
        // symbol fonts' codes also arrive moved into the private-use page
        unsigned code = c.unicode();
        if (code >= 0xF020 && code <= 0xF0FF)
            code -= 0xF000;
        if (code <= 0xFF)
            c = QChar(symbolFontChar(kind, code));
    }
    return out;
}

QFont qtFont(const gdi::Font& font, double emOrCell, bool cellHeight, double stretch)
{
    QFont q;
    if (!font.faceName.isEmpty())
        q.setFamily(font.faceName);
    switch (font.pitchAndFamily & 0xF0) {
    case 0x10: q.setStyleHint(QFont::Serif); break;
    case 0x20: q.setStyleHint(QFont::SansSerif); break;
    case 0x30: q.setStyleHint(QFont::Monospace); break;
    case 0x40: q.setStyleHint(QFont::Cursive); break;
    case 0x50: q.setStyleHint(QFont::Decorative); break;
    default: break;
    }
    if ((font.pitchAndFamily & 3) == 1)
        q.setFixedPitch(true);
    q.setWeight(QFont::Weight(font.weight <= 0 ? 400 : std::clamp(font.weight, 100, 900)));
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    q.setStrikeOut(font.strikeOut);
    double em = emOrCell;
    if (cellHeight) {
        QFont probe = q;
        probe.setPixelSize(100);
        const QFontMetricsF m(probe);
        const double cell = m.ascent() + m.descent();
        if (cell > 0)
            em = emOrCell * 100 / cell;
    }
    q.setPixelSize(std::max(1, int(std::lround(std::min(em, kLargestPixelSize)))));
    const int percent = int(std::lround(stretch));
    if (std::isfinite(stretch) && percent != 100)
        q.setStretch(std::clamp(percent, 1, 4000));
    return q;
}

double averageCharWidth(const QFont& font)
{
    return QFontMetricsF(font).averageCharWidth();
}

namespace {

double runWidth(const QString& text, const QList<double>& dx, const QFontMetricsF& metrics)
{
    if (dx.size() != text.size())
        return metrics.horizontalAdvance(text);
    double w = 0;
    for (double d : dx)
        w += d;
    return w;
}

void drawSpaced(QPainter& painter, QPointF start, const QString& text, const QList<double>& dx)
{
    double x = start.x();
    for (qsizetype i = 0; i < text.size(); ++i) {
        // a surrogate pair is one character with the advance of both units
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        painter.drawText(QPointF(x, start.y()), text.mid(i, n));
        for (qsizetype k = 0; k < n; ++k)
            x += dx.at(i + k);
        i += n - 1;
    }
}

}  // namespace

double draw(QPainter& painter, QPointF origin, const QString& text, const QList<double>& dx, const QFont& font,
            const Style& style)
{
    const QFontMetricsF metrics(font);
    const double width = runWidth(text, dx, metrics);
    double x = 0;
    switch (style.align & TA_HORIZONTAL_MASK) {
    case TA_CENTER: x = -width / 2; break;
    case TA_RIGHT: x = -width; break;
    default: break;
    }
    double baseline = metrics.ascent();
    switch (style.align & TA_VERTICAL_MASK) {
    case TA_BASELINE: baseline = 0; break;
    case TA_BOTTOM: baseline = -metrics.descent(); break;
    default: break;
    }
    painter.save();
    painter.translate(origin);
    painter.rotate(-style.angle);
    if (style.opaque)
        painter.fillRect(QRectF(x, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()),
                         style.background);
    painter.setFont(font);
    painter.setPen(style.color);
    painter.setBrush(Qt::NoBrush);
    if (dx.size() == text.size())
        drawSpaced(painter, QPointF(x, baseline), text, dx);
    else
        painter.drawText(QPointF(x, baseline), text);
    painter.restore();
    return width;
}

}  // namespace gditext
