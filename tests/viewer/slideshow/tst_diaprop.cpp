// "DiaShow Eigenschaften": options with their ranges, the entry list and
// the list files.
#include "slidepictures.h"

#include "viewer/slideshow/diapropdlg.h"
#include "viewer/slideshow/slideentrylist.h"
#include "viewer/slideshow/slidelistfile.h"
#include "viewer/slideshow/slideopendialog.h"

#include "viewer/settings/colourbox.h"

#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

template <typename T>
T* child(const QObject& dialog, const char* name)
{
    T* found = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

}  // namespace

class TestDiaProp : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        clearSlideShowOptions();
        TMMOpenDialog::setScript({});
    }

    void editFieldsClampAndOkWritesClamped()
    {
        {
            Settings store;
            store.writeInteger("DiaShow", "Thick", 99);   // out of range
            store.writeInteger("DiaShow", "Steep", 0);
            store.writeBool("DiaShow", "FXD", true);
            store.writeBool("DiaShow", "FXN", false);
            store.sync();
        }
        TDiaPropDlg dialog{QString()};
        auto* delay = child<QLineEdit>(dialog, "edVerzoegerung");
        auto* bar = child<QSlider>(dialog, "tbVerzoegerung");
        QCOMPARE(bar->value(), 5);
        QCOMPARE(child<QSlider>(dialog, "tbGroesse")->value(), 20);
        QCOMPARE(child<QLineEdit>(dialog, "edGroesse")->text(), QString("20"));
        QCOMPARE(child<QSlider>(dialog, "tbBildWechseln")->value(), 1);
        QVERIFY(child<QRadioButton>(dialog, "rbDiagonal")->isChecked());
        QVERIFY(child<QRadioButton>(dialog, "rbAlle")->isChecked());

        delay->clear();
        QTest::keyClicks(delay, "250");
        QCOMPARE(bar->value(), 100);
        delay->selectAll();
        QTest::keyClicks(delay, "x");
        QCOMPARE(bar->value(), 1);
        delay->selectAll();
        QTest::keyClicks(delay, "42");
        QCOMPARE(bar->value(), 42);

        auto* colour = child<ColourBox>(dialog, "cbHintergrund");
        QCOMPARE(colour->value(), qint32(0x80000001));   // "Desktop"
        colour->setValue(0x0000FF);
        child<QCheckBox>(dialog, "cbManuell")->setChecked(true);
        child<QRadioButton>(dialog, "rbListe")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(dialog, "btOK"), Qt::LeftButton);
        Settings store;
        QCOMPARE(store.readInteger("DiaShow", "Delay", 0), 42);
        QCOMPARE(store.readInteger("DiaShow", "Background", 0), 0x0000FF);
        QCOMPARE(store.readInteger("DiaShow", "Thick", 0), 20);
        QCOMPARE(store.readInteger("DiaShow", "Steep", 0), 1);
        QCOMPARE(store.readBool("DiaShow", "Manuell", false), true);
        QCOMPARE(store.readBool("DiaShow", "WList", false), true);
        QCOMPARE(store.readBool("DiaShow", "WAll", true), false);
        QCOMPARE(store.readBool("DiaShow", "FXD", false), true);
        QCOMPARE(store.readString("DiaShow", "Listname", "x"), QString());
    }

    void cancelLeavesTheStore()
    {
        TDiaPropDlg dialog{QString()};
        child<QCheckBox>(dialog, "cbRichtung")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(dialog, "btAbbrechen"), Qt::LeftButton);
        Settings store;
        QVERIFY(!store.valueExists("DiaShow", "Direction"));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void entriesAreUniqueByExactPathAndMove()
    {
        QTemporaryDir dir;
        const QStringList files = writePictures(dir.path(), 3);
        const QString upper = dir.filePath("SLIDE0.png");
        QVERIFY(writePicture(upper, Qt::red));
        QVERIFY(QFile(dir.filePath("notiz.txt")).open(QIODevice::WriteOnly));
        TDiaPropDlg dialog(files[2]);
        QVERIFY(dialog.AddEntry(files[0], false));
        QVERIFY(!dialog.AddEntry(files[0], true));
        QVERIFY(dialog.AddEntry(upper, false));   // another file here
        QVERIFY(!dialog.AddEntry(dir.filePath("notiz.txt"), false));
        QVERIFY(dialog.AddEntry(files[1], true));
        QCOMPARE(dialog.entries()->paths(), QStringList({files[0], upper, files[1]}));
        QCOMPARE(dialog.previewFile(), files[1]);
        QCOMPARE(dialog.entries()->topLevelItem(1)->text(0), QString("SLIDE0.png"));
        QCOMPARE(dialog.entries()->topLevelItem(1)->text(1), dir.path() + "/");

        dialog.entries()->moveEntry(2, 0);
        QCOMPARE(dialog.entries()->paths(), QStringList({files[1], files[0], upper}));

        // files dropped from the desktop
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(files[2]), QUrl::fromLocalFile(files[0])});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog.entries()->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog.entries()->viewport(), &drop);
        QCOMPARE(dialog.entries()->paths(), QStringList({files[1], files[0], upper, files[2]}));

        // nothing selected: the sample picture
        dialog.entries()->clearSelection();
        QCOMPARE(dialog.previewFile(), files[2]);
    }

    void listFilesSaveOpenAndChoose()
    {
        QTemporaryDir dir;
        const QStringList files = writePictures(dir.path(), 3);
        TDiaPropDlg dialog{QString()};
        for (const QString& f : files)
            dialog.AddEntry(f, false);

        // no list chosen: the save dialog asks; ".txt" is added
        QString title;
        TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
            title = d.Title;
            d.FileName = dir.filePath("meine liste");
            d.FilterIndex = 1;
            return true;
        });
        dialog.saveListFile();
        QCOMPARE(title, QString("Liste speichern"));
        const QString saved = dir.filePath("meine liste.txt");
        QCOMPARE(bytesOf(saved), "Korvane SlaidShow List\r\n" + files.join("\r\n").toUtf8() + "\r\n");
        QCOMPARE(dialog.listFiles()->count(), 0);

        // opened, it fills the entry list and the combo box
        TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
            d.FileName = saved;
            return true;
        });
        TDiaPropDlg other{QString()};
        other.openListFile();
        QCOMPARE(other.entries()->paths(), files);
        QCOMPARE(other.listFiles()->currentData().toString(), saved);

        // the chosen list is overwritten without a question
        TMMOpenDialog::setScript([](TMMOpenDialog&) {
            qFatal("no dialog expected");
            return false;
        });
        other.entries()->moveEntry(0, 2);
        other.saveListFile();
        const QStringList moved = {files[1], files[2], files[0]};
        QCOMPARE(SlideListFile::read(saved).entries, moved);

        // a list naming a missing picture and a bad header
        QFile list(dir.filePath("kaputt.txt"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("Korvane SlaidShow List\r\n" + files[0].toUtf8() + "\r\n/nicht/da.png\r\n");
        list.close();
        other.addListFile(list.fileName());
        other.chooseListFile(other.listFiles()->currentIndex());
        QCOMPARE(other.entries()->paths(), QStringList({files[0]}));
        QVERIFY(other.noteText().startsWith("1 Eintrag"));
        TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
            d.FileName = dir.filePath("leer.txt");
            return true;
        });
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("Korvane SlaidShow List \r\n" + files[0].toUtf8() + "\r\n");
        list.close();
        QVERIFY(QFile::copy(list.fileName(), dir.filePath("leer.txt")));
        other.openListFile();
        QVERIFY(other.entries()->paths().isEmpty());
        QCOMPARE(other.listFiles()->findData(dir.filePath("leer.txt")), -1);

        // OK stores the chosen list
        other.chooseListFile(other.listFiles()->findData(saved));
        other.listFiles()->setCurrentIndex(other.listFiles()->findData(saved));
        QTest::mouseClick(child<QPushButton>(other, "btOK"), Qt::LeftButton);
        QCOMPARE(Settings().readString("DiaShow", "Listname", QString()), saved);
        TDiaPropDlg reopened{QString()};
        QCOMPARE(reopened.entries()->paths(), moved);
    }

    void addingPicturesAndThePreview()
    {
        QTemporaryDir dir;
        const QStringList files = writePictures(dir.path(), 3);
        TDiaPropDlg dialog(files[0]);
        QTemporaryDir shown;
        dialog.PictureFolder = shown.path();
        int filterIndex = 0;
        QString startedIn;
        TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
            filterIndex = d.FilterIndex;
            startedIn = d.InitialDir;
            static_cast<SlideOpenDialog&>(d).Files = {files[1], files[2]};
            return true;
        });
        dialog.addPictures();
        QCOMPARE(filterIndex, 15);
        QCOMPARE(startedIn, shown.path());   // the list is empty: the shown folder
        QCOMPARE(dialog.entries()->paths(), QStringList({files[1], files[2]}));
        QCOMPARE(dialog.previewFile(), files[2]);
        dialog.addPictures();   // then where the last picture came from
        QCOMPARE(startedIn, QFileInfo(files[2]).absolutePath());
        QCOMPARE(dialog.entries()->paths(), QStringList({files[1], files[2]}));

        // "Vorschau" with "Keine" does nothing; with a transition it reveals the picture
        TPMultiImage* preview = dialog.preview();
        preview->TransitionPause = [](int) { return true; };
        const QImage before = preview->Picture().image();
        QVERIFY(!before.isNull());
        dialog.runPreview();
        QCOMPARE(preview->FXMethod, FXNone);
        QCOMPARE(preview->Picture().image(), before);
        child<QRadioButton>(dialog, "rbQuadrat")->setChecked(true);
        dialog.runPreview();
        QCOMPARE(preview->FXMethod, FXDiagonalSquares);
        QCOMPARE(preview->Picture().image().size(), before.size());
        QCOMPARE(preview->Picture().image().pixelColor(before.width() / 2, before.height() / 2), colourOf(2));

        // the hint runs in the banner
        QVERIFY(dialog.banner()->messageMode() == MessageBanner::Mode::Message);
        QCOMPARE(dialog.banner()->MessageText.left(26), QString::fromUtf8("Korvane® Bildbetrachter. D"));
    }
};

QTEST_MAIN(TestDiaProp)
#include "tst_diaprop.moc"
