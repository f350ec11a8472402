#include "colourbox.h"

#include "platform/colors.h"

#include <QColorDialog>
#include <QPainter>

namespace {

struct NamedColour {
    const char* name;
    quint32 stored;
};

constexpr NamedColour kNamedColours[] = {
    {"Schwarz", 0x000000}, {"Kastanienbraun", 0x000080}, {"Grün", 0x008000}, {"Olivgrün", 0x008080},
    {"Marineblau", 0x800000}, {"Violett", 0x800080}, {"Blaugrün", 0x808000}, {"Grau", 0x808080},
    {"Silber", 0xC0C0C0}, {"Rot", 0x0000FF}, {"Hellgrün", 0x00FF00}, {"Gelb", 0x00FFFF},
    {"Blau", 0xFF0000}, {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"Weiß", 0xFFFFFF},
    {"Geldgrün", 0xC0DCC0}, {"Himmelblau", 0xF0CAA6}, {"Creme", 0xF0FBFF}, {"Mittelgrau", 0xA4A0A0},
    {"Desktop", 0x80000001}, {"Aktive Titelleiste", 0x80000002}, {"Menü", 0x80000004},
    {"Fenster", 0x80000005}, {"Fensterrahmen", 0x80000006}, {"Menütext", 0x80000007},
    {"Fenstertext", 0x80000008}, {"Markierung", 0x8000000D}, {"Schaltfläche", 0x8000000F},
    {"Schaltflächenschatten", 0x80000010}, {"Schaltflächentext", 0x80000012},
};

constexpr int kCustomRole = Qt::UserRole + 1;

bool dialogPicker(QWidget* owner, qint32& colour)
{
    const QColor picked = QColorDialog::getColor(colors::toQColor(colour), owner, QStringLiteral("Farbe"));
    if (!picked.isValid())
        return false;
    colour = colors::fromQColor(picked);
    return true;
}

ColourBox::Picker& picker()
{
    static ColourBox::Picker p = dialogPicker;
    return p;
}

QIcon swatch(qint32 stored)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(colors::toQColor(stored));
    QPainter(&pixmap).drawRect(0, 0, 15, 11);
    return QIcon(pixmap);
}

}  // namespace

ColourBox::ColourBox(QWidget* parent) : QComboBox(parent)
{
    fill();
    connect(this, &QComboBox::activated, this, &ColourBox::chosen);
}

void ColourBox::setPicker(Picker p)
{
    picker() = p ? std::move(p) : Picker(dialogPicker);
}

void ColourBox::fill()
{
    clear();
    for (const NamedColour& c : kNamedColours)
        addItem(swatch(qint32(c.stored)), QString::fromUtf8(c.name), qint32(c.stored));
    addItem(QStringLiteral("Benutzerdefiniert..."));
    setItemData(count() - 1, true, kCustomRole);
}

qint32 ColourBox::value() const
{
    const QVariant data = currentData();
    return data.isValid() ? data.toInt() : 0;
}

void ColourBox::setValue(qint32 stored)
{
    int index = findData(stored);
    if (index < 0) {
        insertItem(count() - 1, swatch(stored), colors::toQColor(stored).name().toUpper(), stored);
        index = count() - 2;
    }
    setCurrentIndex(index);
    previous_ = stored;
}

void ColourBox::chosen(int index)
{
    qint32 colour = value();
    if (itemData(index, kCustomRole).toBool()) {
        colour = previous_;
        if (!picker()(this, colour)) {
            setValue(previous_);
            return;
        }
        setValue(colour);
    }
    previous_ = colour;
    emit colourChosen(colour);
}
