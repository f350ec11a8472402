#include "rtfreader.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <vector>

namespace {

// Code page 1252 at 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

QChar fromCp1252(unsigned char c)
{
    return c >= 0x80 && c < 0xA0 ? QChar(kCp1252High[c - 0x80]) : QChar(c);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int colour = 0;
    bool centred = false;
    bool skip = false;          // a destination whose text is not shown
    bool colourTable = false;
    int unicodeSkip = 1;
};

class Parser {
public:
    Parser(const QByteArray& data, QTextDocument& document) : data_(data), cursor_(&document) {}

    RtfReader::Result run();

private:
    bool atEnd() const { return pos_ >= data_.size(); }
    void controlWord();
    void controlSymbol(char c);
    void applyWord(const QByteArray& word, bool hasParam, int param);
    void text(QChar c);
    void flush();
    void paragraph();
    void skipAfterUnicode();
    bool fail(const QString& why)
    {
        if (error_.isEmpty())
            error_ = why;
        return false;
    }

    const QByteArray& data_;
    qsizetype pos_ = 0;
    QTextCursor cursor_;
    std::vector<GroupState> stack_;
    GroupState state_;
    QString pending_;
    std::vector<QColor> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool firstBlock_ = true;
    QString error_;
    bool stop_ = false;
};

RtfReader::Result Parser::run()
{
    if (!data_.startsWith("{\\rtf"))
        return {false, QStringLiteral("Die Hilfedatei ist keine RTF-Datei.")};
    int depth = 0;
    bool closed = false;
    while (!atEnd() && !stop_) {
        const char c = data_[pos_];
        if (closed) {
            if (!QChar(uchar(c)).isSpace() && c != '\0')
                fail(QStringLiteral("Die Hilfedatei enthält Daten hinter ihrem Ende."));
            break;
        }
        if (c == '{') {
            ++pos_;
            if (depth >= RtfReader::kMaxDepth) {
                fail(QStringLiteral("Die Hilfedatei ist zu tief verschachtelt."));
                break;
            }
            flush();
            stack_.push_back(state_);
            ++depth;
        } else if (c == '}') {
            ++pos_;
            flush();
            if (stack_.empty()) {
                fail(QStringLiteral("Die Hilfedatei ist beschädigt."));
                break;
            }
            state_ = stack_.back();
            stack_.pop_back();
            closed = --depth == 0;
        } else if (c == '\\') {
            ++pos_;
            controlWord();
        } else if (c == '\r' || c == '\n') {
            ++pos_;
        } else {
            ++pos_;
            text(fromCp1252(uchar(c)));
        }
    }
    flush();
    if (error_.isEmpty() && !closed)
        fail(QStringLiteral("Die Hilfedatei ist unvollständig."));
    return {error_.isEmpty(), error_};
}

void Parser::controlWord()
{
    if (atEnd()) {
        fail(QStringLiteral("Die Hilfedatei ist unvollständig."));
        stop_ = true;
        return;
    }
    const char first = data_[pos_];
    if (!((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z'))) {
        ++pos_;
        controlSymbol(first);
        return;
    }
    QByteArray word;
    while (!atEnd() && ((data_[pos_] >= 'a' && data_[pos_] <= 'z') || (data_[pos_] >= 'A' && data_[pos_] <= 'Z'))) {
        if (word.size() >= 32) {
            fail(QStringLiteral("Die Hilfedatei enthält ein zu langes Steuerwort."));
            stop_ = true;
            return;
        }
        word += data_[pos_++];
    }
    bool negative = false;
    if (!atEnd() && data_[pos_] == '-') {
        negative = true;
        ++pos_;
    }
    bool hasParam = false;
    qint64 value = 0;
    int digits = 0;
    while (!atEnd() && data_[pos_] >= '0' && data_[pos_] <= '9') {
        hasParam = true;
        if (++digits <= 10)
            value = value * 10 + (data_[pos_] - '0');
        ++pos_;
    }
    value = std::min<qint64>(value, 1000000000);
    if (!atEnd() && data_[pos_] == ' ')
        ++pos_;   // the delimiter belongs to the control word
    applyWord(word, hasParam, int(negative ? -value : value));
}

void Parser::controlSymbol(char c)
{
    switch (c) {
    case '\\': case '{': case '}':
        text(QChar(c));
        break;
    case '~':
        text(QChar(0x00A0));
        break;
    case '_':
        text(QChar(0x2011));
        break;
    case '*':
        state_.skip = true;
        break;
    case '\'': {
        if (pos_ + 2 > data_.size()) {
            fail(QStringLiteral("Die Hilfedatei ist unvollständig."));
            stop_ = true;
            return;
        }
        const int hi = hexDigit(data_[pos_]), lo = hexDigit(data_[pos_ + 1]);
        pos_ += 2;
        if (hi < 0 || lo < 0) {
            fail(QStringLiteral("Die Hilfedatei enthält ein ungültiges Zeichen."));
            return;
        }
        text(fromCp1252(uchar(hi * 16 + lo)));
        break;
    }
    case '\r': case '\n':
        paragraph();
        break;
    default:
        break;   // optional hyphen and unknown symbols show nothing
    }
}

void Parser::applyWord(const QByteArray& w, bool hasParam, int param)
{
    const bool on = !hasParam || param != 0;
    if (w == "par") {
        paragraph();
    } else if (w == "line") {
        text(QChar(QChar::LineSeparator));
    } else if (w == "tab") {
        text(QChar('\t'));
    } else if (w == "b" || w == "i" || w == "ul" || w == "ulnone" || w == "plain" || w == "fs" || w == "cf") {
        flush();
        if (w == "b")
            state_.bold = on;
        else if (w == "i")
            state_.italic = on;
        else if (w == "ul")
            state_.underline = on;
        else if (w == "ulnone")
            state_.underline = false;
        else if (w == "fs")
            state_.halfPoints = hasParam ? std::clamp(param, 8, 144) : 24;
        else if (w == "cf")
            state_.colour = std::max(0, param);
        else {
            state_.bold = state_.italic = state_.underline = false;
            state_.halfPoints = 24;
            state_.colour = 0;
        }
    } else if (w == "pard") {
        state_.centred = false;
    } else if (w == "qc") {
        state_.centred = true;
    } else if (w == "ql") {
        state_.centred = false;
    } else if (w == "uc") {
        state_.unicodeSkip = std::clamp(param, 0, 4);
    } else if (w == "u") {
        const int code = param < 0 ? param + 65536 : param;
        const bool usable = code > 0 && code <= 0xFFFF && (code < 0xD800 || code >= 0xE000);
        text(usable ? QChar(char16_t(code)) : QChar(QChar::ReplacementCharacter));
        skipAfterUnicode();
    } else if (w == "colortbl") {
        state_.colourTable = true;
        state_.skip = true;
    } else if (w == "red" || w == "green" || w == "blue") {
        (w == "red" ? red_ : w == "green" ? green_ : blue_) = std::clamp(param, 0, 255);
    } else if (w == "fonttbl" || w == "stylesheet" || w == "info" || w == "pict" || w == "header" || w == "footer"
               || w == "object" || w == "field" || w == "fldinst") {
        state_.skip = true;
    } else if (w == "emdash") {
        text(QChar(0x2014));
    } else if (w == "endash") {
        text(QChar(0x2013));
    } else if (w == "bullet") {
        text(QChar(0x2022));
    } else if (w == "lquote" || w == "rquote") {
        text(QChar(w == "lquote" ? 0x2018 : 0x2019));
    } else if (w == "ldblquote" || w == "rdblquote") {
        text(QChar(w == "ldblquote" ? 0x201C : 0x201D));
    }
}

// Skips the fall-back characters that follow a Unicode character.
void Parser::skipAfterUnicode()
{
    for (int left = state_.unicodeSkip; left > 0 && !atEnd(); --left) {
        if (data_[pos_] == '\\' && pos_ + 1 < data_.size() && data_[pos_ + 1] == '\'')
            pos_ = std::min(pos_ + 4, data_.size());
        else if (data_[pos_] == '{' || data_[pos_] == '}' || data_[pos_] == '\\')
            break;
        else
            ++pos_;
    }
}

void Parser::text(QChar c)
{
    if (state_.colourTable) {
        if (c == ';') {
            if (colours_.size() < 1000)
                colours_.emplace_back(red_, green_, blue_);
            red_ = green_ = blue_ = 0;
        }
        return;
    }
    if (state_.skip)
        return;
    pending_ += c;
}

void Parser::flush()
{
    if (pending_.isEmpty())
        return;
    QTextCharFormat f;
    f.setFontWeight(state_.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(state_.italic);
    f.setFontUnderline(state_.underline);
    f.setFontPointSize(state_.halfPoints / 2.0);
    // colour 0 is the automatic colour
    if (state_.colour > 0 && size_t(state_.colour) < colours_.size())
        f.setForeground(colours_[size_t(state_.colour)]);
    if (firstBlock_) {
        QTextBlockFormat b;
        b.setAlignment(state_.centred ? Qt::AlignHCenter : Qt::AlignLeft);
        cursor_.setBlockFormat(b);
        firstBlock_ = false;
    }
    cursor_.insertText(pending_, f);
    pending_.clear();
}

void Parser::paragraph()
{
    if (state_.skip)
        return;
    flush();
    if (firstBlock_) {
        QTextBlockFormat b;
        b.setAlignment(state_.centred ? Qt::AlignHCenter : Qt::AlignLeft);
        cursor_.setBlockFormat(b);
    }
    QTextBlockFormat b;
    b.setAlignment(Qt::AlignLeft);
    cursor_.insertBlock(b);
    firstBlock_ = true;
}

}  // namespace

RtfReader::Result RtfReader::read(const QByteArray& rtf, QTextDocument& document)
{
    document.clear();
    if (rtf.size() > kMaxSize)
        return {false, QStringLiteral("Die Hilfedatei ist zu groß.")};
    Parser parser(rtf, document);
    return parser.run();
}

RtfReader::Result RtfReader::readFile(const QString& path, QTextDocument& document)
{
    document.clear();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {false, "Die Hilfedatei \"" + path + "\" kann nicht gelesen werden."};
    if (file.size() > kMaxSize)
        return {false, QStringLiteral("Die Hilfedatei ist zu groß.")};
    return read(file.read(kMaxSize + 1), document);
}
