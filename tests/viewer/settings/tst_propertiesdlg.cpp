// The properties dialog: file facts, permission boxes and the page lines
// that only TIFF pictures have.
#include "viewer/settings/propertiesdlg.h"

#include "thumbnails/th.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPropertiesDlg : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString makeFile(const QString& name, int bytes, QFileDevice::Permissions permissions)
    {
        const QString path = dir_.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        f.write(QByteArray(bytes, 'x'));
        f.close();
        f.setPermissions(permissions);
        return path;
    }

private slots:
    void nonTiffShowsNoPageLines()
    {
        const QString path = makeFile("foto.jpg", 1234, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        Th item;
        item.Width = 640;
        item.Height = 480;
        item.Bits = 24;
        item.Planes = 1;
        item.Compression = "JPEG";
        item.PageCount = 3;   // even a wrong count does not show
        TPropertiesDlg d(path, item);
        d.show();
        QCOMPARE(d.windowTitle(), QString("Eigenschaften von \"foto.jpg\""));
        QVERIFY(!d.pageLinesShown());
        QCOMPARE(d.fact("lbBildtyp"), QString("JPG"));
        QCOMPARE(d.fact("lbBildgroesse"), QString("640 x 480"));
        QCOMPARE(d.fact("lbBitPerPixel"), QString("24"));
        QCOMPARE(d.fact("lbKompression"), QString("JPEG"));
        QCOMPARE(d.fact("lbGroesse"), QString("1234 Byte"));
        QCOMPARE(d.fact("lbDosName"), path);
        QCOMPARE(d.fact("lbAttribute"), QString("RW-R-----"));
        QVERIFY(!d.fact("lbGeaendert").isEmpty());
        QVERIFY(!d.fact("lbErstellt").isEmpty());   // a time, or "—" where none is kept
        QVERIFY(d.findChild<QCheckBox*>("cbLesenBesitzer")->isChecked());
        QVERIFY(d.findChild<QCheckBox*>("cbSchreibenBesitzer")->isChecked());
        QVERIFY(d.findChild<QCheckBox*>("cbLesenGruppe")->isChecked());
        QVERIFY(!d.findChild<QCheckBox*>("cbSchreibenGruppe")->isChecked());
        QVERIFY(!d.findChild<QCheckBox*>("cbLesenAndere")->isChecked());
        QVERIFY(!d.findChild<QCheckBox*>("cbReadOnly")->isChecked());
        QVERIFY(!d.findChild<QCheckBox*>("cbHidden")->isChecked());
        QVERIFY(!d.findChild<QCheckBox*>("cbDirectory")->isChecked());
    }

    void tiffShowsPageLines()
    {
        for (const char* name : {"scan.tif", ".versteckt.TIFF"}) {
            const QString path = makeFile(name, 10, QFile::ReadOwner | QFile::ReadOther);
            Th item;
            item.PageIndex = 1;
            item.PageCount = 4;
            TPropertiesDlg d(path, item);
            d.show();
            QVERIFY(d.pageLinesShown());
            QCOMPARE(d.fact("lbSeite"), QString("2"));
            QCOMPARE(d.fact("lbBildseiten"), QString("4"));
            QCOMPARE(d.fact("lbAttribute"), QString("R-----R--"));
            QVERIFY(d.findChild<QCheckBox*>("cbReadOnly")->isChecked());
            QCOMPARE(d.findChild<QCheckBox*>("cbHidden")->isChecked(), QByteArray(name).startsWith('.'));
        }
    }

    // A file gone before the dialog opens shows dashes, not stale facts.
    void missingFile()
    {
        Th item;
        TPropertiesDlg d(dir_.filePath("weg.png"), item);
        QCOMPARE(d.fact("lbErstellt"), QString("—"));
        QCOMPARE(d.fact("lbAttribute"), QString("—"));
        QCOMPARE(d.fact("lbGroesse"), QString("0 Byte"));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestPropertiesDlg test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_propertiesdlg.moc"
