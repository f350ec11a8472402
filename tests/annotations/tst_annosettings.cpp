// TAnnoSettings: the value rules of every attribute, the two stores (the
// settings store's "Annotation" group for connected lines and the ellipse's
// pen, the annotation settings file for the rest), the fixed texts, and the
// viewer's form reaching the annotation layer's menus.

#include "annotations/annosettings.h"
#include "annotations/annotationediting.h"
#include "annotations/profilefile.h"

#include "codec/binding/codecwrappers.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAnnoSettings : public QObject {
    Q_OBJECT

    QString profileText(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void cleanup()
    {
        QFile::remove(AnnotationSettingsFile());
        Settings s;
        s.eraseSection(QStringLiteral("Annotation"));
        s.sync();
    }

    void theFileLiesBesideTheSettingsStore()
    {
        QCOMPARE(AnnotationSettingsFile(), QFileInfo(Settings::filePath()).absolutePath() + "/il_anno.ini");
        QCOMPARE(TAnnoSettings().profileFile(), AnnotationSettingsFile());
    }

    void valuesKeepToTheirRules()
    {
        TAnnoSettings a;
        a.setPenWidth(TAnnoKind::PolyLine, 50);
        QCOMPARE(Settings().readInteger("Annotation/PolyLine", "PENWIDTH", -1), 1);
        Settings s;
        s.writeInteger("Annotation/PolyLine", "PENWIDTH", 0);
        s.sync();
        QCOMPARE(a.PenWidth(TAnnoKind::PolyLine), 1);
        a.setPenWidth(TAnnoKind::Pointer, 7);
        QCOMPARE(a.PenWidth(TAnnoKind::Pointer), 7);

        a.setHatchStyle(TAnnoKind::Rectangle, an_HS_SOLID);
        QCOMPARE(ProfileFile(a.profileFile()).value("Rectangle", "PATTERN"), QStringLiteral("100"));
        ProfileFile f(a.profileFile());
        f.setValue("Rectangle", "PATTERN", "9");
        QVERIFY(f.save());
        QCOMPARE(a.HatchStyle(TAnnoKind::Rectangle), an_HS_SOLID);
        a.setHatchStyle(TAnnoKind::Rectangle, an_HS_CROSS);
        QCOMPARE(a.HatchStyle(TAnnoKind::Rectangle), an_HS_CROSS);

        a.setBackGroundMode(TAnnoKind::Notes, an_TRANSPARENT);
        QCOMPARE(ProfileFile(a.profileFile()).value("Notes", "TRANSPARENT"), QStringLiteral("1"));
        a.setBackGroundMode(TAnnoKind::Notes, an_OPAQUE);
        QCOMPARE(ProfileFile(a.profileFile()).value("notes", "transparent"), QStringLiteral("2"));
        QCOMPARE(a.BackGroundMode(TAnnoKind::Notes), an_OPAQUE);

        a.setMenuName(TAnnoKind::Rectangle, QStringLiteral("Kasten"));
        QCOMPARE(a.MenuName(TAnnoKind::Rectangle), QStringLiteral("Rechteck"));
        a.setMenuText(QStringLiteral("New"), QStringLiteral("Neu"));
        QCOMPARE(a.MenuText(QStringLiteral("New")), QStringLiteral("Neues Objekt ..."));

        a.setFontHeight(TAnnoKind::Label, 300);
        QCOMPARE(a.FontHeight(TAnnoKind::Label), 1);
        a.setText(TAnnoKind::Notes, QString(600, QLatin1Char('x')));
        QCOMPARE(a.Text(TAnnoKind::Notes).size(), 511);
    }

    void defaultsWithoutAnyStore()
    {
        TAnnoSettings a;
        QCOMPARE(a.BackGroundColor(TAnnoKind::Notes), std::uint32_t(0x00FFFF));
        QCOMPARE(a.BackGroundColor(TAnnoKind::Label), std::uint32_t(0x8000FF));
        QCOMPARE(a.BackGroundColor(TAnnoKind::Hilite), std::uint32_t(0x0000FF));
        QCOMPARE(a.BackGroundMode(TAnnoKind::Label), an_OPAQUE);
        QCOMPARE(a.BackGroundMode(TAnnoKind::Ellipse), an_TRANSPARENT);
        QCOMPARE(a.HatchStyle(TAnnoKind::Ellipse), an_HS_SOLID);
        QVERIFY(a.MenuEnabled(TAnnoKind::Image));
        QCOMPARE(a.FontHeight(TAnnoKind::Notes), 16);
        QCOMPARE(a.Text(TAnnoKind::Label), QStringLiteral("Geben Sie den Text ein"));
        QCOMPARE(a.MenuName(TAnnoKind::Pointer), QStringLiteral("Pfeil"));
        QCOMPARE(a.MenuNameDelete(TAnnoKind::PolyLine), QStringLiteral("Entfernen"));
        QCOMPARE(a.MenuText(QStringLiteral("FontMenu")), QStringLiteral("Schfist..."));
        QCOMPARE(a.DialogText(QStringLiteral("ImageStamp")), QStringLiteral("Image Stamp File"));
        QVERIFY(!QFile::exists(a.profileFile()));   // reading writes nothing
    }

    void theStoresAreKeptApart()
    {
        TAnnoSettings a;
        a.setMenuNameDelete(TAnnoKind::PolyLine, QStringLiteral("Weg damit"));
        QCOMPARE(Settings().readString("Annotation/Menus", "DeletePolyline", QString()), QStringLiteral("Weg damit"));
        a.setForeGroundColor(TAnnoKind::Ellipse, 0x123456);   // a plain number in the store
        QCOMPARE(Settings().readInteger("Annotation/Ellipse", "FORECOLOR", 0), 0x123456);
        a.setPenWidth(TAnnoKind::Ellipse, 50);                 // without the rules
        QCOMPARE(a.PenWidth(TAnnoKind::Ellipse), 50);
        a.setBackGroundColor(TAnnoKind::Ellipse, 0x00FF00);   // the rest in the file
        QCOMPARE(ProfileFile(a.profileFile()).value("Ellipse", "BACKCOLOR"), QString::number(0x00FF00));
        QVERIFY(!profileText(a.profileFile()).contains("DeletePolyline"));
        a.setDialogText(QStringLiteral("ImageStamp"), QStringLiteral("Aus Datei"));
        QCOMPARE(ProfileFile(a.profileFile()).value("Dialogs", "ImageStampFile"), QStringLiteral("Aus Datei"));
        a.setMenuNameProperties(TAnnoKind::RubberStamp, QStringLiteral("Einstellungen"));
        QCOMPARE(ProfileFile(a.profileFile()).value("Dialogs", "RubberStampProperties"), QStringLiteral("Einstellungen"));
        QVERIFY(profileText(a.profileFile()).contains("\r\n"));
    }

    void aDamagedFileIsNeverWrittenOver()
    {
        const QString file = AnnotationSettingsFile();
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Menus]\nPointer=\xff\xfe broken\n");
        f.close();
        TAnnoSettings a;
        QCOMPARE(a.MenuName(TAnnoKind::Pointer), QStringLiteral("Pfeil"));
        a.setMenuName(TAnnoKind::Pointer, QStringLiteral("Zeiger"));
        QFile again(file);
        QVERIFY(again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), QByteArray("[Menus]\nPointer=\xff\xfe broken\n"));
    }

    void theViewersFormReachesTheLayersMenus()
    {
        TAnnoSettings a;
        a.ApplyViewerForm();
        QCOMPARE(a.PenWidth(TAnnoKind::Pointer), 5);
        QCOMPARE(a.MenuName(TAnnoKind::Label), QStringLiteral("Marke"));
        QVERIFY(!a.MenuEnabled(TAnnoKind::Polygon));
        QCOMPARE(a.BackGroundColor(TAnnoKind::Label), std::uint32_t(8388863));
        QCOMPARE(a.MenuText(QStringLiteral("ViewIconic")), QStringLiteral("Als Symbol"));
        QCOMPARE(a.DialogText(QStringLiteral("LineStyle")), QStringLiteral("Stil"));

        // a control made now registers the file with its layer
        QTemporaryDir dir;
        QImage white(100, 100, QImage::Format_RGB32);
        white.fill(Qt::white);
        QVERIFY(white.save(dir.filePath("w.png")));
        TPMultiImage image;
        image.resize(200, 200);
        image.setImageName(dir.filePath("w.png"));
        image.grab();
        image.setEditAnnotat(true);
        annotationediting::Install();
        QStringList texts;
        annotationediting::MenuScript = [&](const QList<annotationediting::MenuEntry>& entries) {
            for (const auto& e : entries)
                texts << e.text;
            return 0;
        };
        QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(50, 50));
        annotationediting::MenuScript = {};
        QVERIFY2(texts.contains("Zeiger") && texts.contains("Marke") && texts.contains("Bild"),
                 qPrintable(texts.join('|')));
    }
};

QTEST_MAIN(TestAnnoSettings)
#include "tst_annosettings.moc"
