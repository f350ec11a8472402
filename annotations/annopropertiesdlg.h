#pragma once
// The property dialog of one annotation object: line width and style,
// foreground and background colour, fill mode and pattern, font, font
// colours and text, each shown only for the kinds that have it. Captions
// come from the annotation settings file's dialog texts.

#include "codec/engine/crde2001.h"

#include <QColor>
#include <QDialog>
#include <QMap>

class QComboBox;
class QFontComboBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

class TAnnoPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    TAnnoPropertiesDlg(const AnnoProperties& properties, const QString& title, const QMap<QString, QString>& labels,
                       QWidget* parent = nullptr);

    // "key=value" lines (keys lower case) as a map.
    static QMap<QString, QString> labelsOf(const QString& lines);
    // The dialog's values into properties (fields it does not show keep
    // their values).
    void store(AnnoProperties& properties) const;

    QSpinBox* penWidth() const { return penWidth_; }
    QComboBox* penStyle() const { return penStyle_; }
    QComboBox* fillMode() const { return fillMode_; }
    QComboBox* pattern() const { return pattern_; }
    QPlainTextEdit* text() const { return text_; }
    QSpinBox* fontHeight() const { return fontHeight_; }
    void setColor(int which, QColor colour);   // 0 fore, 1 back, 2 font, 3 font background
    QColor color(int which) const { return colors_[which]; }

private:
    QString label(const char* key, const char* fallback) const;
    QPushButton* colourButton(int which, const QString& caption);
    void chooseColour(int which);

    QMap<QString, QString> labels_;
    AnnoProperties base_;
    QSpinBox* penWidth_ = nullptr;
    QComboBox* penStyle_ = nullptr;
    QComboBox* fillMode_ = nullptr;
    QComboBox* pattern_ = nullptr;
    QFontComboBox* fontName_ = nullptr;
    QSpinBox* fontHeight_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QColor colors_[4];
    QPushButton* colourButtons_[4] = {};
};
