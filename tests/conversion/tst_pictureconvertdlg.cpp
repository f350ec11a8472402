// The conversion dialog driven like a user: OK only with a folder and a
// format, the slider fields, a run through the overwrite hook, the
// "Convert" settings.

#include "conversion/pictureconvertdlg.h"
#include "ui_pictureconvertdlg.h"

#include "platform/settings.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class PictureConvertDlgTest : public QObject {
    Q_OBJECT

private slots:
    void okNeedsFolderAndFormat()
    {
        TPictureConvertDlg dlg({});
        Ui::TPictureConvertDlg* ui = dlg.form();
        ui->DestFolder->setText("/tmp");
        QVERIFY(!ui->OkButton->isEnabled());
        ui->FormatList->setCurrentItem(ui->FormatList->topLevelItem(2));
        QCOMPARE(dlg.targetExtension(), QString("jpg"));
        QVERIFY(ui->OkButton->isEnabled());
        QVERIFY(!ui->JPEGQuality->isHidden());
        QVERIFY(ui->TIFFCompres->isHidden());
        ui->DestFolder->clear();
        QVERIFY(!ui->OkButton->isEnabled());
        QCOMPARE(ui->FormatList->topLevelItemCount(), 10);
    }

    void sliderFields()
    {
        TPictureConvertDlg dlg({});
        Ui::TPictureConvertDlg* ui = dlg.form();
        QCOMPARE(ui->JPEGQualityEdit->text(), QString("85"));
        ui->JPEGQuality->setValue(40);
        QCOMPARE(ui->JPEGQualityEdit->text(), QString("40"));
        ui->JPEGQualityEdit->setText("101");
        emit ui->JPEGQualityEdit->editingFinished();
        QCOMPARE(ui->JPEGQualityEdit->text(), QString("40"));
        ui->JPEGQualityEdit->setText("70");
        emit ui->JPEGQualityEdit->editingFinished();
        QCOMPARE(ui->JPEGQuality->value(), 70);
    }

    // a.png and a.gif to JPG: one question for the second, the first's
    // picture in a.jpg; the dialog closes and keeps its options.
    void runThroughTheDialog()
    {
        QTemporaryDir dir;
        QImage image(50, 20, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        QVERIFY(image.save(dir.filePath("a.png")));
        QVERIFY(QFile::copy(KV_BINDING_DATA "/rose16.gif", dir.filePath("a.gif")));
        QStringList asked, added;
        TPictureConvertDlg::Host host;
        host.askOverwrite = [&](const QString& s, const QString& t, QString&) {
            asked << QFileInfo(s).fileName() + "->" + QFileInfo(t).fileName();
            return 7;
        };
        host.confirmCreateFolder = [](const QString&) { return true; };
        host.shownFolder = [&] { return dir.filePath("out"); };
        host.addFile = [&](const QString& f) { added << QFileInfo(f).fileName(); };
        TPictureConvertDlg dlg(host);
        Ui::TPictureConvertDlg* ui = dlg.form();
        dlg.setSources({dir.filePath("a.png"), dir.filePath("a.gif")}, {});
        ui->FormatList->setCurrentItem(ui->FormatList->topLevelItem(2));
        ui->DestFolder->setText(dir.filePath("out"));
        ui->JPEGQuality->setValue(33);
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        QTest::mouseClick(ui->OkButton, Qt::LeftButton);
        QCOMPARE(ui->CloseButton->text(), QString("Abbrechen"));
        QVERIFY(accepted.wait(60000));
        QCOMPARE(asked, QStringList{"a.gif->a.jpg"});
        QCOMPARE(added, QStringList{"a.jpg"});
        QCOMPARE(QImage(dir.filePath("out/a.jpg")).size(), QSize(50, 20));
        QVERIFY(dlg.changed());
        QCOMPARE(Settings().readInteger("Convert", "JPEGSaveQualiy", 0), 33);
    }

    // Into the shown folder with "Original  entfernen/ersetzen": a picture
    // re-encoded in place and one overwritten keep their one grid item (the
    // scan at the end refreshes it); only the new file is added.
    void replacedFilesAreNotAddedTwice()
    {
        QTemporaryDir dir;
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::blue);
        for (const char* name : {"a.jpg", "b.png", "c.png", "c.jpg"})
            QVERIFY(image.save(dir.filePath(name)));
        const QByteArray oldA = bytesOf(dir.filePath("a.jpg"));
        QStringList asked, added;
        int scans = 0;
        TPictureConvertDlg::Host host;
        host.askOverwrite = [&](const QString& s, const QString& t, QString&) {
            asked << QFileInfo(s).fileName() + "->" + QFileInfo(t).fileName();
            return 1;
        };
        host.shownFolder = [&] { return dir.path(); };
        host.addFile = [&](const QString& f) { added << QFileInfo(f).fileName(); };
        host.startFolderScan = [&] { ++scans; };
        TPictureConvertDlg dlg(host);
        Ui::TPictureConvertDlg* ui = dlg.form();
        dlg.setSources({dir.filePath("a.jpg"), dir.filePath("b.png"), dir.filePath("c.png")}, {});
        ui->FormatList->setCurrentItem(ui->FormatList->topLevelItem(2));
        ui->DestFolder->setText(dir.path());
        ui->ReplaceRemoving->setChecked(true);
        ui->JPEGQuality->setValue(20);
        QSignalSpy accepted(&dlg, &QDialog::accepted);
        QTest::mouseClick(ui->OkButton, Qt::LeftButton);
        QVERIFY(accepted.wait(60000));
        QCOMPARE(asked, QStringList{"c.png->c.jpg"});
        QCOMPARE(added, QStringList{"b.jpg"});
        QCOMPARE(scans, 1);
        QVERIFY(bytesOf(dir.filePath("a.jpg")) != oldA);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
    }

    // "Abbrechen" during a run: no new file starts, the dialog stays open.
    void cancelKeepsTheDialogOpen()
    {
        QTemporaryDir dir;
        QStringList files;
        const int inFlight = std::max(1, QThread::idealThreadCount());
        for (int i = 0; i < inFlight + 4; ++i) {
            QImage image(30, 30, QImage::Format_RGB32);
            image.fill(Qt::gray);
            files << dir.filePath(QString("c%1.png").arg(i));
            QVERIFY(image.save(files.last()));
        }
        TPictureConvertDlg::Host host;
        host.confirmCreateFolder = [](const QString&) { return true; };
        TPictureConvertDlg dlg(host);
        Ui::TPictureConvertDlg* ui = dlg.form();
        dlg.setSources(files, {});
        ui->FormatList->setCurrentItem(ui->FormatList->topLevelItem(0));
        ui->DestFolder->setText(dir.filePath("out"));
        dlg.show();
        QTest::mouseClick(ui->OkButton, Qt::LeftButton);
        QVERIFY(dlg.currentRun());
        QTest::mouseClick(ui->CloseButton, Qt::LeftButton);
        QCOMPARE(ui->CloseButton->text(), QString("Schliessen"));
        QTRY_VERIFY(!dlg.running());
        QVERIFY(dlg.isVisible());
        const int written = int(QDir(dir.filePath("out")).entryList(QDir::Files).size());
        QVERIFY2(written <= inFlight, qPrintable(QString::number(written)));
        QVERIFY(ui->OkButton->isEnabled());
    }
};

QTEST_MAIN(PictureConvertDlgTest)
#include "tst_pictureconvertdlg.moc"
