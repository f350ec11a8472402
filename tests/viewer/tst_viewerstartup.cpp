// The viewer's start, settings and shutdown as a user meets them.
#include "viewer/glimraapplication.h"
#include "viewer/kvnpictureview.h"
#include "viewer/shelltree.h"
#include "viewer/startupsettings.h"
#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/mmsavedialog.h"
#include "imagecontrol/pmultiimage.h"

#include "platform/settings.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QProcess>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

namespace {

QString iniPath()
{
    return Settings::filePath();
}

void resetStore()
{
    QDir dir(QString::fromLocal8Bit(qgetenv("GLIMRA_CONFIG_DIR")));
    for (const QString& e : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(e);
}

void writeStartUp(const QMap<QString, QVariant>& values)
{
    Settings s;
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (it.value().typeId() == QMetaType::QString)
            s.writeString("StartUp", it.key(), it.value().toString());
        else
            s.writeInteger("StartUp", it.key(), it.value().toInt());
    }
}

QAction* findAction(QWidget* window, const QString& name)
{
    return window->findChild<QAction*>(name);
}

class Thrower : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("Die Hilfedatei hilfe.rtf fehlt.");
        return QObject::event(e);
    }
};

}  // namespace

class TestViewerStartup : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(!qgetenv("GLIMRA_CONFIG_DIR").isEmpty());
        resetStore();
    }

    void firstStartUsesDefaults()
    {
        {
            TKvnPictureView w;
            w.start();
            QCOMPARE(w.size(), QSize(800, 600));
            QCOMPARE(w.pos(), QPoint(0, 0));
            QCOMPARE(w.treeGridSplitter()->sizes().value(0), 172);
            QCOMPARE(w.leftRightSplitter()->sizes().value(0), 400);
            QCOMPARE(w.state().appearance.diax, 100);
            QCOMPARE(w.state().appearance.diay, 100);
            QCOMPARE(w.state().SortOrder, 0);
            QCOMPARE(w.state().SortDescending, 0);
            QVERIFY(findAction(&w, "actNachDateinamen")->isChecked());
            QVERIFY(findAction(&w, "actVorwaerts")->isChecked());
            QVERIFY(!w.state().ThumbnailsEnabled);
            QVERIFY(w.folderTree()->path().isEmpty());
            QVERIFY(w.state().CurrentFolder.isEmpty());
            QVERIFY(w.statusText(3).isEmpty());
            QCOMPARE(w.windowTitle(), QString("Korvane® Picture Viewer"));
            QVERIFY(QFile::exists(w.state().SamplePicturePath));
            w.close();
        }
        Settings s;
        QCOMPARE(s.readInteger("StartUp", "f_w", 0), 800);
        QCOMPARE(s.readInteger("StartUp", "sp_v", 0), 172);
        QCOMPARE(s.readInteger("StartUp", "sp_b", 0), 400);
        QCOMPARE(s.readInteger("StartUp", "ViewColor", 0), qint32(0x8000000F));
        QCOMPARE(s.readInteger("StartUp", "JPEGSaveQualiy", 0), 85);
        QCOMPARE(s.readBool("StartUp", "SaveDiaDB", true), false);
    }

    void thumbnailSizeRange_data()
    {
        QTest::addColumn<int>("diax");
        QTest::addColumn<int>("diay");
        QTest::addColumn<int>("edge");
        QTest::newRow("20") << 20 << 100 << 100;
        QTest::newRow("31") << 31 << 100 << 100;
        QTest::newRow("32") << 32 << 100 << 32;
        QTest::newRow("300") << 300 << 100 << 300;
        QTest::newRow("301") << 301 << 100 << 100;
        QTest::newRow("diay ignored") << 120 << 50 << 120;
        QTest::newRow("diay out of range") << 64 << 999 << 64;
    }

    void thumbnailSizeRange()
    {
        QFETCH(int, diax);
        QFETCH(int, diay);
        QFETCH(int, edge);
        writeStartUp({{"diax", diax}, {"diay", diay}});
        {
            TKvnPictureView w;
            w.start();
            QCOMPARE(w.state().appearance.diax, edge);
            QCOMPARE(w.state().appearance.diay, edge);
            w.close();
        }
        Settings s;
        QCOMPARE(s.readInteger("StartUp", "diay", 0), edge);   // written back with the height in use
    }

    void geometryBounds_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("w");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("x -20") << -20 << 5 << 700 << false;
        QTest::newRow("x -19") << -19 << 5 << 700 << true;
        QTest::newRow("y -20") << 7 << -20 << 700 << false;
        QTest::newRow("w 100") << 7 << 5 << 100 << false;
        QTest::newRow("w 101") << 7 << 5 << 101 << true;
        QTest::newRow("x at screen width") << 100000 << 5 << 700 << false;
    }

    void geometryBounds()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, w);
        QFETCH(bool, accepted);
        writeStartUp({{"f_x", x}, {"f_y", y}, {"f_w", w}, {"f_h", 480}, {"sp_v", 150}, {"sp_b", 250}});
        TKvnPictureView win;
        win.start();
        if (accepted) {
            // the offscreen platform may shift a window at a negative x by its frame
            QVERIFY2(qAbs(win.pos().x() - x) <= 2 && win.pos().y() == y, qPrintable(QString::number(win.pos().x())));
            QCOMPARE(win.height(), 480);
            if (w > 644)
                QCOMPARE(win.width(), w);
            QCOMPARE(win.leftRightSplitter()->sizes().value(0), 250);
            QCOMPARE(win.treeGridSplitter()->sizes().value(0), 150);
        } else {
            QCOMPARE(win.size(), QSize(892, 590));   // design size
            QVERIFY(win.leftRightSplitter()->sizes().value(0) != 250);
        }
    }

    void dialogOptionsTravelThroughTheStore()
    {
        {
            TKvnPictureView w;
            w.start();
            // first start: the stored defaults
            QCOMPARE(w.saveDialog()->PNGInterLaced, true);
            QCOMPARE(w.saveDialog()->TIFFFirfPageValue, 1);
            QCOMPARE(w.saveDialog()->EPSSavePreview, 1);
            w.saveDialog()->TIFFARI = 2;
            w.saveDialog()->TIFFFirfPageValue = 7;
            w.saveDialog()->EPSSaveBorder = 1;
            w.saveDialog()->Annoeinbetten = true;
            w.saveDialog()->JPEGQualiy = 40;
            w.SaveSettings();
        }
        {
            Settings s;
            QCOMPARE(s.readInteger("StartUp", "TIFFARI", -1), 2);
            QCOMPARE(s.readInteger("StartUp", "TIFFInsertPage", -1), 7);
            QCOMPARE(s.readInteger("StartUp", "JPEGSaveQualiy", -1), 40);
        }
        TKvnPictureView w;
        w.start();
        for (TMMOpenDialog* d : {static_cast<TMMOpenDialog*>(w.saveDialog()), w.openDialog()}) {
            QCOMPARE(d->TIFFARI, 2);
            QCOMPARE(d->TIFFFirfPageValue, 7);
            QCOMPARE(d->EPSSaveBorder, 1);
            QCOMPARE(d->Annoeinbetten, true);
            QCOMPARE(d->JPEGQualiy, 40);
        }
        QCOMPARE(w.pane()->JPegSaveQuality(), 40);
    }

    void saveFilterFollowsTheExtension()
    {
        TKvnPictureView w;
        w.SelectSaveFilter(".TIFF");
        QCOMPARE(w.saveDialog()->FilterIndex, 10);
        w.SelectSaveFilter(".jpg");
        QCOMPARE(w.saveDialog()->FilterIndex, 3);
        w.SelectSaveFilter(".xyz");   // unknown: unchanged
        QCOMPARE(w.saveDialog()->FilterIndex, 3);
        w.SelectSaveFilter(".Ico");
        QCOMPARE(w.saveDialog()->FilterIndex, 14);
    }

    void effectAndTiffOptions()
    {
        {
            Settings s;
            s.writeInteger("FXEffect", "FXMethod", 7);
            s.writeInteger("FXEffect", "Delay", 3);
            s.writeInteger("StartUp", "TIFFCompres", 9);
            s.writeInteger("StartUp", "JPEGSaveQualiy", 0);
        }
        {
            TKvnPictureView w;
            w.start();
            QCOMPARE(int(w.pane()->FXMethod), 0);
            QCOMPARE(w.pane()->FXDelay, 3);
            QCOMPARE(w.pane()->TifSaveCompress, sNONE);   // unchanged
            QCOMPARE(w.saveDialog()->TIFFCompres, 9);
            QCOMPARE(w.openDialog()->TIFFCompres, 9);
            QCOMPARE(w.pane()->JPegSaveQuality(), 25);   // 0 is stored as 25
            QCOMPARE(w.openDialog()->JPEGQualiy, 25);
            QCOMPARE(w.saveDialog()->JPEGQualiy, 0);
        }
        {
            Settings s;
            s.writeInteger("FXEffect", "FXMethod", 5);
            s.writeInteger("StartUp", "TIFFCompres", 4);
        }
        TKvnPictureView w;
        w.start();
        QCOMPARE(int(w.pane()->FXMethod), 5);
        QCOMPARE(w.pane()->TifSaveCompress, sLZW);
    }

    void sortItemsFollowTheStore()
    {
        writeStartUp({{"Arranging", 3}, {"Arranging_Direction", 1}});
        {
            TKvnPictureView w;
            w.start();
            QVERIFY(findAction(&w, "actNachDatum")->isChecked());
            QVERIFY(findAction(&w, "actRueckwaerts")->isChecked());
            findAction(&w, "actNachGroesse")->trigger();
            findAction(&w, "actVorwaerts")->trigger();
            QCOMPARE(w.state().SortOrder, 2);
            QCOMPARE(w.state().SortDescending, 0);
            w.close();
        }
        {
            Settings s;
            QCOMPARE(s.readInteger("StartUp", "Arranging", -1), 2);
            QCOMPARE(s.readInteger("StartUp", "Arranging_Direction", -1), 0);
        }
        writeStartUp({{"Arranging", 9}, {"Arranging_Direction", 4}});
        TKvnPictureView w;
        w.start();
        for (const char* name : {"actNachDateinamen", "actNachErweiterung", "actNachGroesse", "actNachDatum",
                                 "actNachBildgroesse", "actUnsortiert", "actVorwaerts", "actRueckwaerts"})
            QVERIFY2(!findAction(&w, name)->isChecked(), name);
    }

    void clearRegistrySwitchInCapitals()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a/KvnThumbalais.db");
        const QString b = dir.filePath("b/KvnThumbalais.db");
        for (const QString& f : {a, b}) {
            QDir().mkpath(QFileInfo(f).absolutePath());
            QFile file(f);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("db");
            file.close();
        }
        QFile::setPermissions(b, QFileDevice::ReadOwner);   // read-only: made archive-only first
        {
            Settings s;
            s.writeString("DBFiles", "0", a);
            s.writeString("DBFiles", "1", b);
            s.writeString("DBFiles", "2", dir.filePath("gone/KvnThumbalais.db"));
            s.writeInteger("StartUp", "f_w", 640);
            s.writeInteger("FXEffect", "FXMethod", 2);
        }
        QProcess glimra;
        glimra.start(QCoreApplication::applicationDirPath() + "/glimra", {"/CLEARREGISTRY", "ignored"});
        QVERIFY(glimra.waitForFinished(20000));
        QCOMPARE(glimra.exitStatus(), QProcess::NormalExit);
        QCOMPARE(glimra.exitCode(), 0);
        QVERIFY(!QFile::exists(a));
        QVERIFY(!QFile::exists(b));
        {
            Settings s;
            QVERIFY(!s.sectionExists("DBFiles"));
            QVERIFY(!s.sectionExists("StartUp"));
            QVERIFY(!s.sectionExists("FXEffect"));
        }
        TKvnPictureView w;   // like a first start
        w.start();
        QCOMPARE(w.size(), QSize(800, 600));
    }

    void databaseListIsPruned()
    {
        QTemporaryDir dir;
        const QString kept = dir.filePath("KvnThumbalais.db");
        QFile f(kept);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        {
            Settings s;
            s.writeString("DBFiles", "0", kept);
            s.writeString("DBFiles", "1", dir.filePath("missing/KvnThumbalais.db"));
            s.writeString("DBFiles", "2", " " + kept + "  ");   // names no file: paths are taken as they are
        }
        {
            TKvnPictureView w;
            w.start();
        }
        Settings s;
        QCOMPARE(s.readSection("DBFiles"), QStringList({"0"}));
        QVERIFY(QFile::exists(kept));
    }

    void unusableStoreStartsOnDefaults()
    {
        const QByteArray damaged("[StartUp]\nf_w=640\n\0\xff\xfe", 22);
        {
            QFile f(iniPath());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(damaged);
        }
        {
            TKvnPictureView w;
            w.start();
            QCOMPARE(w.size(), QSize(800, 600));
            QVERIFY(w.statusText(3).contains("Standardeinstellungen"));
            QVERIFY(w.statusText(3).contains("Glimra.ini.bad"));
            w.close();
        }
        QFile bad(iniPath() + ".bad");
        QVERIFY(bad.open(QIODevice::ReadOnly));
        QCOMPARE(bad.readAll(), damaged);
        Settings s;
        QCOMPARE(s.readInteger("StartUp", "f_w", 0), 800);
    }

    void closingWritesAndNextStartRestores()
    {
        {
            TKvnPictureView w;
            w.start();
            w.resize(700, 520);
            w.move(30, 40);
            QCoreApplication::processEvents();
            w.leftRightSplitter()->setSizes({300, 400});
            w.treeGridSplitter()->setSizes({150, 300});
            w.close();
        }
        TKvnPictureView w;
        w.start();
        QCOMPARE(w.size(), QSize(700, 520));
        QCOMPARE(w.pos(), QPoint(30, 40));
        QCOMPARE(w.leftRightSplitter()->sizes().value(0), 300);
        QCOMPARE(w.treeGridSplitter()->sizes().value(0), 150);
    }

    void lastFolderIsReopened()
    {
        QTemporaryDir dir;
        writeStartUp({{"BaseFolder", dir.path()}});
        {
            TKvnPictureView w;
            w.start();
            QCOMPARE(w.folderTree()->path(), dir.path());
            QCOMPARE(w.state().CurrentFolder, dir.path());
            QCOMPARE(w.folderHistory()->currentText(), dir.path());
        }
        writeStartUp({{"BaseFolder", dir.path()}, {"lastfolder", 0}});
        {
            TKvnPictureView w;
            w.start();
            QVERIFY(w.folderTree()->path().isEmpty());
        }
        writeStartUp({{"BaseFolder", dir.path() + "/vanished"}, {"lastfolder", 1}});
        TKvnPictureView w;
        w.start();
        QVERIFY(w.folderTree()->path().isEmpty());
    }

    void folderChoiceIsRefusedWhileBusy()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("sub");
        TKvnPictureView w;
        w.start();
        QVERIFY(w.folderTree()->setPath(dir.path()));
        w.state().ScanActive = true;
        QVERIFY(!w.folderTree()->setPath(dir.filePath("sub")));
        QCOMPARE(w.folderTree()->path(), dir.path());
        w.state().ScanActive = false;
        QVERIFY(w.folderTree()->setPath(dir.filePath("sub")));
        QCOMPARE(w.state().CurrentFolder, dir.filePath("sub"));
        QCOMPARE(w.folderHistory()->count(), 2);
    }

    void exceptionsGoToTheLastPanel()
    {
        TKvnPictureView w;
        auto* app = qobject_cast<GlimraApplication*>(QCoreApplication::instance());
        QVERIFY(app);
        app->exceptionSink = [&w](const QString& m) { w.showStatusMessage(m); };
        w.start();
        Thrower thrower;
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&thrower, &event);
        QCOMPARE(w.statusText(3), QString("Die Hilfedatei hilfe.rtf fehlt."));
        QVERIFY(w.isVisible());
        app->exceptionSink = nullptr;
    }

    void menusReadAsDesigned()
    {
        TKvnPictureView w;
        w.start();
        QStringList titles;
        for (QAction* a : w.menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, QStringList({"Datei", "Bearbeiten", "Abbrechen", "Symbole anordnen...",
                                      "Einstellungen", "Diashow...", "|", "|", "|", "Info"}));
        QVERIFY(!findAction(&w, "actAbbrechen")->isEnabled());
        QVERIFY(!findAction(&w, "actKopieren")->isEnabled());   // nothing selected
        QVERIFY(!findAction(&w, "actUmwandeln")->isEnabled());   // nothing selected
        QVERIFY(findAction(&w, "actDatenbankdateienLoeschen")->isEnabled());
        QStringList context;
        for (QAction* a : w.gridContextMenu()->actions())
            if (!a->isSeparator())
                context << a->text();
        QCOMPARE(context.size(), 14);
        QCOMPARE(context.first(), QString("Markieren"));
        QCOMPARE(context.last(), QString("Eigenschaften"));
        findAction(&w, "actProgrammBeenden")->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(QFile::exists(iniPath()));
    }

    // Only thumbnail databases go, whatever else the list names: it is a
    // settings value anyone can edit.
    void deletingDatabaseFiles()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("KvnThumbalais.db");
        const QString photo = dir.filePath("urlaub.jpg");
        const QString other = dir.filePath("other");
        QVERIFY(QDir(dir.path()).mkdir("other"));
        const QString linked = other + "/KvnThumbalais.db";
        for (const QString& file : {db, photo}) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep");
        }
        QVERIFY(QFile::link(photo, linked));   // a link of the name, to a photo
        TKvnPictureView w;
        w.start();
        {
            Settings s;
            s.writeString("DBFiles", "0", db);
            s.writeString("DBFiles", "1", photo);
            s.writeString("DBFiles", "2", linked);
            s.writeString("DBFiles", "3", db + " ");   // another name
            s.writeString("DBFiles", "4", "KvnThumbalais.db");   // relative: not a place
        }
        findAction(&w, "actDatenbankdateienLoeschen")->trigger();
        QVERIFY(!QFile::exists(db));
        QVERIFY(QFile::exists(photo));
        QVERIFY(QFileInfo(linked).isSymLink());
        Settings s;
        QVERIFY(!s.sectionExists("DBFiles"));
    }
};

int main(int argc, char** argv)
{
    GlimraApplication app(argc, argv);
    TestViewerStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_viewerstartup.moc"
