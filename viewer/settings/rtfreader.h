#pragma once
// A small reader for the rich text format of our help file: groups, bold,
// italic, underline, font sizes, colours, centred paragraphs, tabs, line
// breaks, code-page 1252 and Unicode characters; everything else is skipped.
// The input is treated as hostile: sizes, nesting and numbers are bounded,
// and a damaged file gives a German reason with what could be read.

#include <QByteArray>
#include <QString>

class QTextDocument;

class RtfReader {
public:
    static constexpr qint64 kMaxSize = 4 * 1024 * 1024;
    static constexpr int kMaxDepth = 100;

    struct Result {
        bool ok = false;
        QString error;   // German; empty when ok
    };

    // Fills the document (emptied first) with the text of the RTF data.
    static Result read(const QByteArray& rtf, QTextDocument& document);
    static Result readFile(const QString& path, QTextDocument& document);
};
