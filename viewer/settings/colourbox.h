#pragma once
// A colour box: standard, extended and system colours by their German names
// and a last entry "Benutzerdefiniert..." that asks for any colour. Values
// are stored colours (0x00BBGGRR, system colours with the top bit set).

#include <QComboBox>
#include <functional>

class ColourBox : public QComboBox {
    Q_OBJECT
public:
    explicit ColourBox(QWidget* parent = nullptr);

    qint32 value() const;
    // Selects the colour, adding an entry for one that has no name.
    void setValue(qint32 stored);

    // Asks the user for a custom colour; returns false when cancelled.
    // Replaced by tests, which never sit in the modal colour dialog.
    using Picker = std::function<bool(QWidget* owner, qint32& colour)>;
    static void setPicker(Picker picker);

signals:
    // The user chose a colour (also a custom one).
    void colourChosen(qint32 stored);

private:
    void fill();
    void chosen(int index);

    qint32 previous_ = 0;   // the colour before the custom entry was picked
};
