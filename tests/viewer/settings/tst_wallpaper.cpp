// The wallpaper dialog: where the picture goes on the screen, what is
// written, and when the desktop's setter is (not) asked.
#include "viewer/settings/wallpaperfit.h"
#include "viewer/settings/whgrdlg.h"
#include "viewer/ueberschrdlg.h"

#include "platform/messagebox.h"
#include "platform/wallpaper.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage picture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(QColor(250, 10, 10));
    return img;
}

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QColor kTeal(0, 128, 128);

}  // namespace

class TestWallpaper : public QObject {
    Q_OBJECT

    QStringList setterCalls_;
    QString setterAnswer_;

    std::unique_ptr<TWHGRDlg> dialog(int answer, QStringList* asked = nullptr, bool* incomingSeen = nullptr)
    {
        TWHGRDlg::Overwrite o;
        o.ask = [answer, asked, incomingSeen](const QString& incoming, const QString& existing) {
            if (asked)
                *asked << incoming << existing;
            if (incomingSeen)
                *incomingSeen = QFile::exists(incoming);
            return answer;
        };
        o.renameTarget = [] { return TWHGRDlg::wallpaperFolder() + "umbenannt.bmp"; };
        auto d = std::make_unique<TWHGRDlg>(o);
        d->setScreenSize(QSize(1024, 768));
        return d;
    }

private slots:
    void init()
    {
        setterCalls_.clear();
        setterAnswer_.clear();
        wallpaper::setSetter([this](const QString& file) {
            setterCalls_ << file;
            return setterAnswer_;
        });
        QDir(TWHGRDlg::wallpaperFolder()).removeRecursively();
    }
    void cleanup()
    {
        wallpaper::setSetter({});
        MessageBox::setScript({});
    }

    void fitArithmetic()
    {
        QCOMPARE(fittedSize(QSize(1600, 1200), QSize(1024, 768)), QSize(1024, 768));
        QCOMPARE(fittedSize(QSize(1000, 200), QSize(1024, 768)), QSize(1024, 205));   // 204.8
        QCOMPARE(fittedSize(QSize(200, 1000), QSize(1024, 768)), QSize(154, 768));    // 153.6
        QCOMPARE(fittedSize(QSize(0, 10), QSize(1024, 768)), QSize());
        // the cut of fill keeps the screen's proportions, offsets rounded halves to even
        QCOMPARE(filledCut(QSize(1029, 768), QSize(1024, 768)), QRect(2, 0, 1024, 768));   // 2.5 -> 2
        QCOMPARE(filledCut(QSize(1031, 768), QSize(1024, 768)), QRect(4, 0, 1024, 768));   // 3.5 -> 4
        QCOMPARE(filledCut(QSize(1000, 1000), QSize(1024, 768)), QRect(0, 125, 1000, 750));
        QCOMPARE(wallpaperMode(true, true, true), WallpaperMode::Stretch);
        QCOMPARE(wallpaperMode(true, false, true), WallpaperMode::Fill);
        QCOMPARE(wallpaperMode(true, false, false), WallpaperMode::Fit);
        QCOMPARE(wallpaperMode(false, false, false), WallpaperMode::Unscaled);
    }

    void bitmapsAndPreview()
    {
        const QSize screen(1024, 768);
        QCOMPARE(wallpaperBitmap(picture(1600, 1200), screen, WallpaperMode::Fit).size(), QSize(1024, 768));
        QCOMPARE(wallpaperBitmap(picture(1000, 200), screen, WallpaperMode::Fit).size(), QSize(1024, 205));
        QCOMPARE(wallpaperBitmap(picture(1000, 200), screen, WallpaperMode::Fill).size(), screen);
        QCOMPARE(wallpaperBitmap(picture(300, 200), screen, WallpaperMode::Unscaled).size(), QSize(300, 200));
        QCOMPARE(wallpaperBitmap(picture(300, 200), screen, WallpaperMode::Fit).format(), QImage::Format_RGB888);

        const QImage fit = wallpaperPreview(picture(1000, 200), screen, WallpaperMode::Fit);
        QCOMPARE(fit.size(), screen);
        QCOMPARE(fit.pixelColor(0, 0), kTeal);
        QCOMPARE(fit.pixelColor(512, 384), QColor(250, 10, 10));
        QCOMPARE(fit.pixelColor(0, 280), kTeal);    // rows 281 .. 485 hold the picture
        QCOMPARE(fit.pixelColor(0, 281), QColor(250, 10, 10));
        QCOMPARE(fit.pixelColor(1023, 485), QColor(250, 10, 10));
        QCOMPARE(fit.pixelColor(0, 486), kTeal);
        const QImage none = wallpaperPreview(picture(100, 100), screen, WallpaperMode::Unscaled);
        QCOMPARE(none.pixelColor(461, 333), kTeal);
        QCOMPARE(none.pixelColor(462, 334), QColor(250, 10, 10));
        QCOMPARE(none.pixelColor(561, 433), QColor(250, 10, 10));
        QCOMPARE(none.pixelColor(562, 433), kTeal);
        const QImage stretch = wallpaperPreview(picture(10, 10), screen, WallpaperMode::Stretch);
        QCOMPARE(stretch.pixelColor(0, 0), QColor(250, 10, 10));
    }

    // A new name: the picture is written, then the desktop's setter runs.
    void okWritesAndSets()
    {
        auto d = dialog(TueberschrDlg::Cancel);
        d->setPicture(picture(1000, 200));
        d->setFileName("urlaub.jpg");
        d->findChild<QCheckBox*>("cbAnpassen")->click();
        QCOMPARE(d->mode(), WallpaperMode::Fit);
        const QString target = TWHGRDlg::wallpaperFolder() + "urlaub.bmp";
        d->show();
        QTest::mouseClick(d->findChild<QPushButton*>("btOK"), Qt::LeftButton);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(setterCalls_, QStringList{target});
        const QImage written(target, "BMP");
        QCOMPARE(written.size(), QSize(1024, 205));
        const QByteArray header = contentsOf(target).left(30);
        QCOMPARE(header.left(2), QByteArray("BM"));
        QCOMPARE(int(quint8(header[28])), 24);   // bits per pixel of the file
    }

    // Skip in the overwrite question: nothing written, the desktop untouched,
    // the dialog open, the temporary file gone.
    void skipLeavesDesktopUnchanged()
    {
        QDir().mkpath(TWHGRDlg::wallpaperFolder());
        const QString target = TWHGRDlg::wallpaperFolder() + "bild.bmp";
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("alt");
        }
        QStringList asked;
        bool incomingSeen = false;
        auto d = dialog(TueberschrDlg::Skip, &asked, &incomingSeen);
        d->setPicture(picture(40, 30));
        d->setFileName("bild");
        d->show();
        QTest::mouseClick(d->findChild<QPushButton*>("btOK"), Qt::LeftButton);
        QVERIFY(d->isVisible());
        QVERIFY(setterCalls_.isEmpty());
        QCOMPARE(contentsOf(target), QByteArray("alt"));
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1], target);
        QVERIFY(incomingSeen);
        QVERIFY(!QFile::exists(asked[0]));

        auto over = dialog(TueberschrDlg::Overwrite);
        over->setPicture(picture(40, 30));
        over->setFileName("bild");
        QCOMPARE(over->saveAndSet(), target);
        QCOMPARE(QImage(target, "BMP").size(), QSize(40, 30));

        auto renamed = dialog(TueberschrDlg::Rename);
        renamed->setPicture(picture(40, 30));
        renamed->setFileName("bild");
        QCOMPARE(renamed->saveAndSet(), TWHGRDlg::wallpaperFolder() + "umbenannt.bmp");
        QCOMPARE(setterCalls_.size(), 2);
    }

    void badNamesAreRefused()
    {
        for (const QString& name : {QString(), QString("."), QString(".."), QString("a/b"), QString("/etc/x")}) {
            auto d = dialog(TueberschrDlg::Overwrite);
            d->setPicture(picture(40, 30));
            d->setFileName(name);
            QVERIFY(d->saveAndSet().isEmpty());
            QVERIFY2(!d->note().isEmpty(), qPrintable(name));
        }
        QVERIFY(setterCalls_.isEmpty());
        QVERIFY(!QFileInfo::exists(TWHGRDlg::wallpaperFolder() + "b.bmp"));
        QVERIFY(TWHGRDlg::nameProblem("...").isEmpty());
    }

    // The setter's failure is shown under "Fehler"; the dialog stays open.
    void setterFailureIsShown()
    {
        setterAnswer_ = QStringLiteral("Für diese Arbeitsfläche geht es nicht.");
        QList<MessageBox::Request> shown;
        MessageBox::setScript([&](const MessageBox::Request& r) {
            shown << r;
            return QMessageBox::Ok;
        });
        auto d = dialog(TueberschrDlg::Overwrite);
        d->setPicture(picture(40, 30));
        d->setFileName("x");
        QVERIFY(d->saveAndSet().isEmpty());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].caption, QString("Fehler"));
        QCOMPARE(shown[0].icon, QMessageBox::Warning);
        QCOMPARE(shown[0].text, setterAnswer_);
    }

    // An unknown desktop is refused in German without starting anything.
    void unknownDesktopIsRefused()
    {
        const QString why = wallpaper::setOnDesktop("/tmp/x.bmp", "Zauberland", 100);
        QVERIFY(why.contains("Zauberland"));
        QVERIFY(why.contains("bisherige Hintergrundbild bleibt"));
        QVERIFY(!wallpaper::setOnDesktop("/tmp/x.bmp", QString(), 100).isEmpty());
    }
};

int main(int argc, char** argv)
{
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    TestWallpaper test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wallpaper.moc"
