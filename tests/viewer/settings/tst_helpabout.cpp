// The RTF reader on our help file and on damaged input, the help window
// and the about box.
#include "viewer/settings/aboutbox3.h"
#include "viewer/settings/hlpdlg.h"
#include "viewer/settings/rtfreader.h"

#include "platform/urlopener.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

namespace {

const QString kHelpFile = QStringLiteral(KV_SOURCE_DIR "/resources/hilfe.rtf");

QByteArray helpData()
{
    QFile f(kHelpFile);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

RtfReader::Result readRtf(const QByteArray& data, QString* text = nullptr)
{
    QTextDocument doc;
    const RtfReader::Result r = RtfReader::read(data, doc);
    if (text)
        *text = doc.toPlainText();
    return r;
}

QTextCharFormat formatAt(const QTextDocument& doc, const QString& word)
{
    QTextCursor c = doc.find(word);
    return c.isNull() ? QTextCharFormat() : c.charFormat();
}

}  // namespace

class TestHelpAbout : public QObject {
    Q_OBJECT

private slots:
    void readsOurHelpFile()
    {
        const QByteArray data = helpData();
        QVERIFY(data.size() > 1000);
        QTextDocument doc;
        const RtfReader::Result r = RtfReader::read(data, doc);
        QVERIFY2(r.ok, qPrintable(r.error));
        const QString text = doc.toPlainText();
        for (const char* phrase : {"Einstellungen", "Miniatürgröße", "Datenbankdateien löschen", "Als Hintergrund einsetzen",
                                   "Symbole anordnen...", "Diashow...", "Hilfe", "F5", "Alt+D", "info@example.invalid"})
            QVERIFY2(text.contains(QString::fromUtf8(phrase)), phrase);
        QVERIFY(text.contains(QChar(0x2013)));   // from a Unicode control word
        QVERIFY(!text.contains("Arial"));         // the font table is no text
        QVERIFY(!text.contains("\\"));
        QVERIFY(formatAt(doc, "Menü Datei").fontWeight() == QFont::Bold);
        QCOMPARE(formatAt(doc, "Menü Datei").foreground().color(), QColor(0, 0, 128));
        QVERIFY(formatAt(doc, "zeigt die Bilder").fontWeight() != QFont::Bold);
        QCOMPARE(doc.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }

    void smallConstructs()
    {
        QString text;
        QVERIFY(readRtf("{\\rtf1 a\\'e4\\'80 \\u8364?x\\uc0\\u8364 y\\{\\}\\\\}", &text).ok);
        QCOMPARE(text, QString::fromUtf8("aä€ €x€y{}\\"));   // the blank ends the control word
        QVERIFY(readRtf("{\\rtf1{\\*\\unbekannt geheim}{\\fonttbl{\\f0 Arial;}}sichtbar}", &text).ok);
        QCOMPARE(text, QString("sichtbar"));
        QVERIFY(readRtf("{\\rtf1 a\\par b\\line c\\tab d}", &text).ok);
        QCOMPARE(text, QString("a\nb\nc\td"));   // the line break reads as one in plain text
        QVERIFY(readRtf("{\\rtf1 \\u-4064?\\u55357?\\u99999999999999999999?}", &text).ok);
        QCOMPARE(text.size(), 3);
        QCOMPARE(text[1], QChar(QChar::ReplacementCharacter));
        QVERIFY(readRtf("{\\rtf1 \\fs999999999999999999999 gross\\cf-5 x}", &text).ok);
    }

    void hostileInput_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << QByteArray() << "keine RTF-Datei";
        QTest::newRow("text") << QByteArray("Hallo") << "keine RTF-Datei";
        QTest::newRow("truncated group") << QByteArray("{\\rtf1 {\\b fett") << "unvollständig";
        QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'e") << "unvollständig";
        QTest::newRow("lone backslash") << QByteArray("{\\rtf1 a\\") << "unvollständig";
        QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zz}") << "ungültiges Zeichen";
        QTest::newRow("too deep") << (QByteArray("{\\rtf1 ") + QByteArray(100000, '{')) << "zu tief";
        QTest::newRow("too many closes") << QByteArray("{\\rtf1 a}}}") << "hinter ihrem Ende";
        QTest::newRow("long word") << (QByteArray("{\\rtf1 \\") + QByteArray(5000, 'a') + "}") << "zu langes Steuerwort";
        QTest::newRow("too big") << (QByteArray("{\\rtf1 ") + QByteArray(RtfReader::kMaxSize, 'a') + "}") << "zu groß";
    }

    void hostileInput()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, reason);
        QString text;
        const RtfReader::Result r = readRtf(data, &text);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(reason), qPrintable(r.error));
    }

    // Every cut of the help file is read without harm and is never taken
    // for a whole file; what was read before the cut is kept.
    void truncatedHelpFile()
    {
        const QByteArray data = helpData();
        QString whole;
        QVERIFY(readRtf(data, &whole).ok);
        const qsizetype end = data.lastIndexOf('}');
        for (qsizetype cut = 0; cut < end; cut += 37) {
            QString text;
            const RtfReader::Result r = readRtf(data.left(cut), &text);
            QVERIFY2(!r.ok, qPrintable(QString::number(cut)));
            QVERIFY(whole.startsWith(text.left(20)));
        }
    }

    // Random damage never crashes, hangs or reads past the data.
    void mutatedHelpFile()
    {
        const QByteArray data = helpData();
        QRandomGenerator random(1);
        for (int round = 0; round < 300; ++round) {
            QByteArray bad = data;
            for (int n = 0; n < 8; ++n)
                bad[random.bounded(int(bad.size()))] = char("{}\\'u0-9 \0x"[random.bounded(12)]);
            readRtf(bad);
        }
    }

    void helpWindow()
    {
        THlpDlg help(kHelpFile);
        QVERIFY2(help.loadError().isEmpty(), qPrintable(help.loadError()));
        QCOMPARE(help.windowTitle(), QString("Hilfe zum Programm"));
        QVERIFY(help.view()->isReadOnly());
        QCOMPARE(help.view()->lineWrapMode(), QTextEdit::NoWrap);
        QVERIFY(help.windowFlags() & Qt::WindowStaysOnTopHint);
        help.show();
        QVERIFY(help.view()->verticalScrollBar()->maximum() > 200);
        QVERIFY(help.view()->verticalScrollBar()->value() < 20);   // opens at the top
        QTextCursor mail = help.view()->document()->find("mailto:info@example.invalid");
        QVERIFY(!mail.isNull());
        QCOMPARE(mail.charFormat().anchorHref(), QString("mailto:info@example.invalid"));
    }

    void missingOrDamagedHelpFile()
    {
        QTemporaryDir dir;
        THlpDlg missing(dir.filePath("hilfe.rtf"));
        QVERIFY(missing.loadError().contains("kann nicht gelesen werden"));
        QVERIFY(missing.view()->document()->isEmpty());
        QFile bad(dir.filePath("kaputt.rtf"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(helpData().left(2000));
        bad.close();
        THlpDlg damaged(bad.fileName());
        QVERIFY(damaged.loadError().contains("unvollständig"));
        QVERIFY(damaged.view()->toPlainText().contains("Glimra"));
    }

    void aboutBox()
    {
        QList<QUrl> opened;
        urlopener::setOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        TAboutBox3 about;
        about.show();
        QCOMPARE(about.windowTitle(), QString("Über das Programm"));
        QCOMPARE(about.findChild<QLabel*>("lbTitel")->text(), QString("Bildbetrachter"));
        QVERIFY(!TAboutBox3::productVersion().isEmpty());
        QCOMPARE(about.findChild<QLabel*>("lbVersion")->text(), "Version: " + TAboutBox3::productVersion());
        QVERIFY(about.findChild<QLabel*>("lbBuild")->text().startsWith("Build: " + TAboutBox3::productVersion()));
        QVERIFY(!about.findChild<QLabel*>("imBetrachter")->pixmap().isNull());
        for (const char* line : {"lbMail", "lbWeb", "lbNews"})
            QTest::mouseClick(about.findChild<QLabel*>(line), Qt::LeftButton);
        QCOMPARE(opened.size(), 3);
        for (const QUrl& url : opened)
            QVERIFY2(url.host().endsWith("example.invalid") || url.path().endsWith("@example.invalid"),
                     qPrintable(url.toString()));
        const QString before = about.scrolledText();
        about.scrollStep();
        QVERIFY(about.scrolledText() != before);
        QCOMPARE(about.scrolledText().size(), before.size());
        urlopener::setOpener({});
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestHelpAbout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_helpabout.moc"
