// The settings store as the programs see it: types, defaults, names without
// regard to case, batches without caching, and unusable store files.
#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString iniPath() const { return dir_.path() + "/Glimra.ini"; }
    QByteArray iniBytes() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeIni(const QByteArray& bytes)
    {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        qputenv("GLIMRA_CONFIG_DIR", dir_.path().toLocal8Bit());
        QDir d(dir_.path());
        for (const QString& e : d.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            QFileInfo fi(d.filePath(e));
            if (fi.isDir())
                QDir(fi.filePath()).removeRecursively();
            else
                QFile::remove(fi.filePath());
        }
    }

    void storeLocation()
    {
        QCOMPARE(Settings::filePath(), iniPath());
        qunsetenv("GLIMRA_CONFIG_DIR");
        qputenv("XDG_CONFIG_HOME", "/some/where");
        QCOMPARE(Settings::filePath(), QString("/some/where/Korvane/Glimra.ini"));
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(Settings::filePath(), QDir::homePath() + "/.config/Korvane/Glimra.ini");
    }

    void missingValuesGiveDefaults()
    {
        Settings s;
        QCOMPARE(s.readInteger("StartUp", "diax", 100), 100);
        QCOMPARE(s.readBool("StartUp", "lastfolder", true), true);
        QCOMPARE(s.readString("StartUp", "BaseFolder", "x"), QString("x"));
        QVERIFY(!s.sectionExists("StartUp"));
        QVERIFY(!QFileInfo::exists(iniPath()));   // reading creates nothing
    }

    void valuesRoundTripBetweenBatches()
    {
        {
            Settings s;
            s.writeInteger("StartUp", "ViewColor", qint32(0x8000000F));
            s.writeInteger("StartUp", "diax", 120);
            s.writeBool("StartUp", "lastfolder", false);
            s.writeString("StartUp", "BaseFolder", "/tmp/a, b");
            s.writeString("DBFiles", "0", "  /tmp/x/KvnThumbalais.db ");
            s.writeString("StartUp", "sel_bild", "@odd=name;x");
        }
        const QByteArray text = iniBytes();
        QVERIFY(text.contains("ViewColor=-2147483633"));
        QVERIFY(text.contains("lastfolder=0"));
        Settings s;
        QCOMPARE(s.readInteger("StartUp", "ViewColor", 0), qint32(0x8000000F));
        QCOMPARE(s.readInteger("StartUp", "diax", 0), 120);
        QCOMPARE(s.readBool("StartUp", "lastfolder", true), false);
        QCOMPARE(s.readString("StartUp", "BaseFolder", ""), QString("/tmp/a, b"));
        QCOMPARE(s.readString("DBFiles", "0", ""), QString("  /tmp/x/KvnThumbalais.db "));
        QCOMPARE(s.readString("StartUp", "sel_bild", ""), QString("@odd=name;x"));
    }

    void integersStoredAsText()
    {
        writeIni("[StartUp]\ndiax=\"42\"\ndiay= 77 \nrahmenw=abc\nf_w=99999999999\nf_h=-12\n"
                 "lastfolder=true\nCenter=0\nlist=a, b\n");
        Settings s;
        QCOMPARE(s.readInteger("StartUp", "diax", 0), 42);
        QCOMPARE(s.readInteger("StartUp", "diay", 0), 77);
        QCOMPARE(s.readInteger("StartUp", "rahmenw", 3), 3);     // not a number
        QCOMPARE(s.readInteger("StartUp", "f_w", 800), 800);     // beyond 32 bits
        QCOMPARE(s.readInteger("StartUp", "f_h", 0), -12);
        QCOMPARE(s.readBool("StartUp", "lastfolder", false), true);
        QCOMPARE(s.readBool("StartUp", "Center", true), false);
        QCOMPARE(s.readString("StartUp", "list", ""), QString("a, b"));
        QCOMPARE(s.readInteger("StartUp", "list", 5), 5);
    }

    void namesIgnoreCase()
    {
        {
            Settings s;
            s.writeInteger("StartUp", "diax", 50);
            s.writeString("FilterSettings/Blur", "Amount", "3");
            s.writeString("Control Panel\\Desktop", "WallpaperStyle", "2");
        }
        {
            Settings s;
            QCOMPARE(s.readInteger("STARTUP", "DiaX", 0), 50);
            QCOMPARE(s.readInteger("filtersettings/BLUR", "amount", 0), 3);
            QCOMPARE(s.readString("control panel/desktop", "wallpaperstyle", ""), QString("2"));
            s.writeInteger("startup", "DIAX", 60);   // updates the stored key
        }
        const QByteArray text = iniBytes();
        QCOMPARE(text.count("diax="), 1);
        QVERIFY(!text.contains("DIAX"));
        Settings s;
        QCOMPARE(s.readInteger("StartUp", "diax", 0), 60);
        QVERIFY(s.sectionExists("filtersettings"));
    }

    void nothingIsCachedBetweenBatches()
    {
        {
            Settings writer;
            writer.writeInteger("StartUp", "diax", 77);
        }
        {
            Settings reader;   // opened before another program changes the file
            QCOMPARE(reader.readInteger("StartUp", "diax", 0), 77);
            writeIni(iniBytes().replace("diax=77", "diax=88"));
            Settings fresh;
            QCOMPARE(fresh.readInteger("StartUp", "diax", 0), 88);
        }
        QVERIFY(iniBytes().contains("diax=88"));   // the reading batch wrote nothing back
    }

    void sectionsAndKeysAreManaged()
    {
        {
            Settings s;
            s.writeString("DBFiles", "0", "a");
            s.writeString("DBFiles", "1", "b");
            s.writeInteger("StartUp", "diax", 1);
        }
        {
            Settings s;
            QCOMPARE(s.readSection("dbfiles"), QStringList({"0", "1"}));
            s.deleteKey("DBFiles", "0");
        }
        {
            Settings s;
            QCOMPARE(s.readSection("DBFiles"), QStringList({"1"}));
            QVERIFY(s.valueExists("DBFILES", "1"));
            s.eraseSection("DBFiles");
        }
        {
            Settings s;
            QVERIFY(!s.sectionExists("DBFiles"));
            QVERIFY(s.sectionExists("StartUp"));
            s.clear();
        }
        Settings s;
        QVERIFY(!s.sectionExists("StartUp"));
    }

    void unusableStoreIsKept_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("folder");
        QTest::newRow("nul byte") << QByteArray("[StartUp]\ndiax=50\n\0\n", 20) << false;
        QTest::newRow("not utf-8") << QByteArray("[StartUp]\nBaseFolder=/tmp/\xe4\xfc\n") << false;
        QTest::newRow("format error") << QByteArray("[StartUp\ndiax=50\n") << false;
        QTest::newRow("folder") << QByteArray() << true;
    }

    void unusableStoreIsKept()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, folder);
        if (folder) {
            QVERIFY(QDir().mkpath(iniPath()));
            QFile marker(iniPath() + "/inside.txt");
            QVERIFY(marker.open(QIODevice::WriteOnly));
            marker.write("mine");
        } else {
            writeIni(bytes);
        }
        QVERIFY(Settings::problem().contains("Standardeinstellungen"));
        {
            Settings s;   // a reading batch leaves everything as it was
            QCOMPARE(s.readInteger("StartUp", "diax", 100), 100);
        }
        if (!folder)
            QCOMPARE(iniBytes(), bytes);
        {
            Settings s;
            s.writeInteger("StartUp", "diax", 64);
        }
        const QString bad = iniPath() + ".bad";
        if (folder) {
            QVERIFY(QFileInfo::exists(bad + "/inside.txt"));
        } else {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), bytes);
        }
        QVERIFY(Settings::problem().isEmpty());
        Settings s;
        QCOMPARE(s.readInteger("StartUp", "diax", 0), 64);
    }

    void earlierBadFileIsNotOverwritten()
    {
        QFile old(iniPath() + ".bad");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("first");
        old.close();
        writeIni(QByteArray("second\0", 7));
        {
            Settings s;
            s.writeInteger("StartUp", "diax", 64);
        }
        QFile first(iniPath() + ".bad");
        QVERIFY(first.open(QIODevice::ReadOnly));
        QCOMPARE(first.readAll(), QByteArray("first"));
        QFile second(iniPath() + ".bad.1");
        QVERIFY(second.open(QIODevice::ReadOnly));
        QCOMPARE(second.readAll(), QByteArray("second\0", 7));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
