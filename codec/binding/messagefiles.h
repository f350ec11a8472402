#pragma once
// Readers of the two text formats the picture control shows as moving text:
// scrolling messages (".SCM") and credits (".CMS").

#include <QString>
#include <QStringList>

// Font, colours and speed of a message; colours are stored colours
// (0x00BBGGRR). The readers change only what the file sets.
struct MessageStyle {
    qint32 fontColor = 0;
    int fontHeight = 0;
    QString fontName;
    int fontSize = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    qint32 backColor = 0;
    int speed = 0;
};

// Credits: line 0 is skipped; lines 1 to 7 hold font colour, font height,
// font name, font size, style ("1"/"0" for bold, italic, underline,
// strike-out), background colour and speed; the following lines are the
// credits, which replace the contents of lines. At most the first
// 65 526 bytes are read. A value that is missing or not a number leaves its
// field as it was. False when the file cannot be read.
bool ReadCreditMessageFile(const QString& fileName, MessageStyle& style, QStringList& lines);

// Scrolling message: the fields "/fc|", "/fh|", "/fn|", "/fs|", "/ft|",
// "/bc|", "/sp|", "/sm|" ended by "/eo|", each value running up to the next
// tag. A field that cannot be found (its tag missing, first in the file, or
// not followed by the next tag) or whose number does not parse takes its
// default; an empty value leaves the field as it was. False when the file
// cannot be read or is larger than 1 MiB.
bool ReadScrollingMessageFile(const QString& fileName, MessageStyle& style, QString& message);
