#include "annopropertiesdlg.h"

#include "annolabels.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QIcon>
#include <QPixmap>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// Kinds as the annotation file numbers them.
enum { kPolyLine, kEllipse, kRectangle, kPolygon, kPointer, kNotes, kLabel, kLine, kHilite, kRubberStamp, kFreehand };

bool hasPen(int kind)
{
    return kind != kHilite && kind != kRubberStamp && kind != kNotes && kind != kLabel;
}

bool hasFill(int kind)
{
    return kind == kEllipse || kind == kRectangle || kind == kPolygon || kind == kLabel;
}

bool hasFont(int kind)
{
    return kind == kNotes || kind == kLabel;
}

QColor colourOf(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

uint32_t bgrOf(const QColor& c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

void copyUtf8(char* to, std::size_t size, const QString& text)
{
    QByteArray bytes = text.toUtf8();
    qsizetype n = std::min<qsizetype>(qsizetype(size) - 1, bytes.size());
    while (n > 0 && n < bytes.size() && (uchar(bytes[n]) & 0xC0) == 0x80)
        --n;   // no half character at the cut
    std::memcpy(to, bytes.constData(), std::size_t(n));
    to[n] = 0;
}

}  // namespace

QMap<QString, QString> TAnnoPropertiesDlg::labelsOf(const QString& lines)
{
    return annolabels::parse(lines);
}

QString TAnnoPropertiesDlg::label(const char* key, const char* fallback) const
{
    return annolabels::text(labels_, key, fallback);
}

TAnnoPropertiesDlg::TAnnoPropertiesDlg(const AnnoProperties& p, const QString& title,
                                       const QMap<QString, QString>& labels, QWidget* parent)
    : QDialog(parent), labels_(labels), base_(p)
{
    setWindowTitle(title);
    colors_[0] = colourOf(p.foreColor);
    colors_[1] = colourOf(p.backColor);
    colors_[2] = colourOf(p.fontColor);
    colors_[3] = colourOf(p.fontBackColor);
    auto* layout = new QVBoxLayout(this);
    if (hasPen(p.kind)) {
        auto* box = new QGroupBox(label("LineDiag", "Linie"), this);
        auto* form = new QFormLayout(box);
        penWidth_ = new QSpinBox(box);
        penWidth_->setRange(1, 20);
        penWidth_->setValue(p.penWidth);
        form->addRow(label("LineWidth", "Breite"), penWidth_);
        penStyle_ = new QComboBox(box);
        penStyle_->addItems({QStringLiteral("Durchgezogen"), QStringLiteral("Gestrichelt"), QStringLiteral("Gepunktet"),
                             QStringLiteral("Strich-Punkt"), QStringLiteral("Strich-Punkt-Punkt"),
                             QStringLiteral("Unsichtbar")});
        penStyle_->setCurrentIndex(std::clamp(p.penStyle, 0, 5));
        form->addRow(label("LineStyle", "Stil"), penStyle_);
        form->addRow(colourButton(0, QStringLiteral("Vordergrundfarbe...")));
        layout->addWidget(box);
    }
    if (hasFill(p.kind) || p.kind == kHilite) {
        auto* box = new QGroupBox(label("Fill", "Füllen..."), this);
        auto* form = new QFormLayout(box);
        if (p.kind != kHilite) {
            fillMode_ = new QComboBox(box);
            fillMode_->addItems({QStringLiteral("Transparent"), QStringLiteral("Deckend")});
            fillMode_->setCurrentIndex(p.opaque ? 1 : 0);
            form->addRow(label("Mode", "Modus"), fillMode_);
            pattern_ = new QComboBox(box);
            pattern_->addItems({QStringLiteral("Waagerecht"), QStringLiteral("Senkrecht"),
                                QStringLiteral("Diagonal nach rechts"), QStringLiteral("Diagonal nach links"),
                                QStringLiteral("Kreuz"), QStringLiteral("Diagonales Kreuz"), QStringLiteral("Voll")});
            pattern_->setCurrentIndex(std::clamp(p.hatch, 0, 6));
            form->addRow(label("Patterns", "Muster"), pattern_);
        }
        form->addRow(colourButton(1, QStringLiteral("Hintergrundfarbe...")));
        layout->addWidget(box);
    }
    if (hasFont(p.kind)) {
        auto* box = new QGroupBox(label("Font", "Schrift..."), this);
        auto* form = new QFormLayout(box);
        fontName_ = new QFontComboBox(box);
        fontName_->setCurrentFont(QFont(QString::fromUtf8(p.fontName)));
        form->addRow(fontName_);
        fontHeight_ = new QSpinBox(box);
        fontHeight_->setRange(1, 210);
        fontHeight_->setValue(p.fontHeight);
        form->addRow(QStringLiteral("Höhe"), fontHeight_);
        form->addRow(colourButton(1, QStringLiteral("Hintergrundfarbe...")));
        form->addRow(colourButton(2, QStringLiteral("Farbe...")));
        form->addRow(colourButton(3, QStringLiteral("Schrift Hintergrundfarbe...")));
        layout->addWidget(box);
    }
    if (hasFont(p.kind) || p.kind == kRubberStamp) {
        auto* box = new QGroupBox(label("Text", "Text"), this);
        auto* boxLayout = new QVBoxLayout(box);
        text_ = new QPlainTextEdit(QString::fromUtf8(p.text), box);
        boxLayout->addWidget(text_);
        if (p.kind == kRubberStamp)
            boxLayout->addWidget(colourButton(0, QStringLiteral("Farbe...")));
        layout->addWidget(box);
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(label("OK", "OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(label("Cancel", "Abbrechen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QPushButton* TAnnoPropertiesDlg::colourButton(int which, const QString& caption)
{
    auto* button = new QPushButton(caption, this);
    colourButtons_[which] = button;
    setColor(which, colors_[which]);
    connect(button, &QPushButton::clicked, this, [this, which] { chooseColour(which); });
    return button;
}

void TAnnoPropertiesDlg::setColor(int which, QColor colour)
{
    colors_[which] = colour;
    if (QPushButton* b = colourButtons_[which]) {
        QPixmap swatch(16, 16);
        swatch.fill(colour);
        b->setIcon(QIcon(swatch));
    }
}

void TAnnoPropertiesDlg::chooseColour(int which)
{
    const QColor chosen = QColorDialog::getColor(colors_[which], this);
    if (chosen.isValid())
        setColor(which, chosen);
}

void TAnnoPropertiesDlg::store(AnnoProperties& p) const
{
    p = base_;
    if (penWidth_)
        p.penWidth = penWidth_->value();
    if (penStyle_)
        p.penStyle = penStyle_->currentIndex();
    if (fillMode_)
        p.opaque = fillMode_->currentIndex() == 1 ? 1 : 0;
    if (pattern_)
        p.hatch = pattern_->currentIndex();
    if (fontName_)
        copyUtf8(p.fontName, sizeof p.fontName, fontName_->currentFont().family());
    if (fontHeight_)
        p.fontHeight = fontHeight_->value();
    if (text_)
        copyUtf8(p.text, sizeof p.text, text_->toPlainText());
    p.foreColor = bgrOf(colors_[0]);
    p.backColor = bgrOf(colors_[1]);
    p.fontColor = bgrOf(colors_[2]);
    p.fontBackColor = bgrOf(colors_[3]);
}
