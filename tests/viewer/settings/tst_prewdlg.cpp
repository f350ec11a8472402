// "Einstellungen": what counts as a size change, what cancel keeps, the
// transition fields, and the main window's rescan at the new size.
#include "viewer/glimraapplication.h"
#include "viewer/kvnpictureview.h"
#include "viewer/settings/colourbox.h"
#include "viewer/settings/prewdlg.h"
#include "viewer/shelltree.h"
#include "viewer/viewerstate.h"

#include "imagecontrol/pmultiimage.h"
#include "platform/settings.h"
#include "thumbnails/piclibthumbnails.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void makePicture(const QString& path, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(QColor(200, 60, 20));
    QVERIFY(img.save(path));
}

template <typename T>
T* child(const QWidget& parent, const char* name)
{
    T* c = parent.findChild<T*>(name);
    if (!c)
        qFatal("no control %s", name);
    return c;
}

void settle(TKvnPictureView& w)
{
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    while (w.state().ScanThread || w.state().ScanActive || w.thumbnails()->Busy);
}

}  // namespace

class TestPrewDlg : public QObject {
    Q_OBJECT

    QTemporaryDir sampleDir_;
    ViewerState state_;
    std::unique_ptr<TPMultiImage> pane_;
    std::unique_ptr<TPicLibThumbnails> grid_;
    bool lastFolder_ = true;

    TprewDlg::Target target() { return {&state_, pane_.get(), grid_.get(), &lastFolder_}; }

private slots:
    void initTestCase()
    {
        state_.SamplePicturePath = sampleDir_.filePath("beispiel.jpg");
        makePicture(state_.SamplePicturePath, 120, 80);
    }

    void init()
    {
        Settings().clear();
        state_.appearance = ThumbnailAppearance();
        state_.SettingsResult = 0;
        state_.ThumbnailsEnabled = false;
        pane_ = std::make_unique<TPMultiImage>();
        pane_->TransitionPause = [](int) { return true; };
        grid_ = std::make_unique<TPicLibThumbnails>();
        lastFolder_ = true;
    }

    void cleanup() { TprewDlg::setRunner({}); }

    // Moving the bar away and back is still a size change; a bar set by the
    // program is none; the preview follows the bar.
    void sizeBarMovedAndBackCountsAsChange()
    {
        TprewDlg dialog(target());
        dialog.show();
        auto* bar = child<QSlider>(dialog, "tbGroesse");
        QCOMPARE(bar->value(), 100);
        QVERIFY(!dialog.rebuildRequested());
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(dialog.previewGrid()->ThumbnailWidth(), 101);
        QCOMPARE(child<QGroupBox>(dialog, "gbGroesse")->title(), QString(" Miniatürgröße 101 x 101"));
        QTest::keyClick(bar, Qt::Key_Left);
        QCOMPARE(bar->value(), 100);
        QVERIFY(dialog.rebuildRequested());
        QTest::mouseClick(child<QPushButton>(dialog, "btOK"), Qt::LeftButton);
        QCOMPARE(state_.SettingsResult, 2);
        QCOMPARE(state_.appearance.diax, 100);

        TprewDlg again(target());
        again.show();
        child<QSlider>(again, "tbGroesse")->setValue(150);   // not the user's doing
        QVERIFY(!again.rebuildRequested());
        QCOMPARE(again.previewGrid()->ThumbnailWidth(), 150);
        again.acceptChanges();
        QCOMPARE(state_.SettingsResult, 1);
        QCOMPARE(state_.appearance.diax, 150);
        QCOMPARE(state_.appearance.diay, 150);
    }

    // The preview grid shows the sample twice, the first marked and selected.
    void previewGridShowsTwoSamples()
    {
        state_.appearance.diasel = 0x00FF00;
        TprewDlg dialog(target());
        dialog.show();
        TPicLibThumbnails* g = dialog.previewGrid();
        QCOMPARE(g->itemCount(), 2);
        QVERIFY(g->GetChecked(0));
        QVERIFY(!g->GetChecked(1));
        QCOMPARE(g->CurrentSelected, 0);
        QCOMPARE(g->ColorChecked, QColor(0, 255, 0));
        child<QSpinBox>(dialog, "seRahmenstaerke")->setValue(7);
        QCOMPARE(g->FrameWidth, 7);
        QCOMPARE(g->itemCount(), 2);
    }

    // Cancel leaves the shared values, the pane and the stored keys.
    void cancelLeavesEveryValue()
    {
        {
            Settings s;
            s.writeBool("StartUp", "SaveDiaDB", false);
            s.writeInteger("StartUp", "open_steep", 7);
        }
        pane_->FXDelay = 30;
        pane_->FXMethod = FXVertical;
        pane_->setColor(0x123456);
        const ThumbnailAppearance before = state_.appearance;
        TprewDlg::setRunner([](TprewDlg& d) {
            d.show();
            QTest::keyClick(child<QSlider>(d, "tbGroesse"), Qt::Key_PageUp);
            child<QCheckBox>(d, "cbOpenAnimate")->setChecked(true);
            child<QCheckBox>(d, "cbSaveDiaDB")->setChecked(true);
            child<QCheckBox>(d, "cbLastFolder")->setChecked(false);
            child<QSpinBox>(d, "seRahmenstaerke")->setValue(9);
            child<ColourBox>(d, "cbViewColor")->setValue(0xFF);
            child<QSlider>(d, "tbFXDelay")->setValue(80);
            child<QSlider>(d, "tbOpenStep")->setValue(20);
            QTest::mouseClick(child<QPushButton>(d, "btAbbrechen"), Qt::LeftButton);
            return d.result();
        });
        TprewDlg dialog(target());
        QCOMPARE(TprewDlg::run(dialog), int(QDialog::Rejected));
        QCOMPARE(state_.SettingsResult, 0);
        QCOMPARE(state_.appearance.diax, before.diax);
        QCOMPARE(state_.appearance.rahmenw, before.rahmenw);
        QVERIFY(lastFolder_);
        QVERIFY(!state_.ThumbnailsEnabled);
        QCOMPARE(pane_->FXDelay, 30);
        QCOMPARE(int(pane_->FXMethod), int(FXVertical));
        QCOMPARE(pane_->Color(), 0x123456);
        Settings s;
        QVERIFY(!s.readBool("StartUp", "open_animate", false));
        QVERIFY(!s.valueExists("StartUp", "open_animate"));
        QVERIFY(!s.readBool("StartUp", "SaveDiaDB", true));
        QCOMPARE(s.readInteger("StartUp", "open_steep", 0), 7);
    }

    // OK writes the editor's keys and the databases switch at once, and sets
    // the pane's transition from the radios.
    void acceptWritesKeysAndPane()
    {
        pane_->FXMethod = FXDiagonalSquares;
        TprewDlg dialog(target());
        dialog.show();
        QVERIFY(child<QRadioButton>(dialog, "rbQuadrat")->isChecked());
        QVERIFY(!child<QCheckBox>(dialog, "cbOpenAnimate")->isChecked());   // default off
        QCOMPARE(child<QSlider>(dialog, "tbOpenStep")->value(), 5);
        QCOMPARE(child<QSlider>(dialog, "tbOpenDelay")->value(), 10);
        child<QRadioButton>(dialog, "rbRechteck")->setChecked(true);
        child<QCheckBox>(dialog, "cbSaveDiaDB")->setChecked(true);
        child<QCheckBox>(dialog, "cbLastFolder")->setChecked(false);
        child<QSlider>(dialog, "tbOpenDelay")->setValue(40);
        dialog.acceptChanges();
        QCOMPARE(int(pane_->FXMethod), int(FXRectangles));
        QVERIFY(state_.ThumbnailsEnabled);
        QVERIFY(!lastFolder_);
        Settings s;
        QVERIFY(s.valueExists("StartUp", "open_animate"));
        QVERIFY(!s.readBool("StartUp", "open_animate", true));
        QCOMPARE(s.readInteger("StartUp", "open_delay", 0), 40);
        QVERIFY(s.readBool("StartUp", "SaveDiaDB", false));
    }

    // Typed numbers move the bars within their range: 0 gives 1, text gives 1.
    void transitionFieldsClampToTheBar()
    {
        TprewDlg dialog(target());
        dialog.show();
        auto* field = child<QLineEdit>(dialog, "edFXDelay");
        auto* bar = child<QSlider>(dialog, "tbFXDelay");
        field->clear();
        QTest::keyClicks(field, "0");
        QCOMPARE(bar->value(), 1);
        field->clear();
        QTest::keyClicks(field, "500");
        QCOMPARE(bar->value(), 100);
        auto* thick = child<QLineEdit>(dialog, "edFXThick");
        thick->clear();
        QTest::keyClicks(thick, "x");
        QCOMPARE(child<QSlider>(dialog, "tbFXThick")->value(), 1);
        child<QSlider>(dialog, "tbFXThick")->setValue(12);
        QCOMPARE(thick->text(), QString("12"));
    }

    // Damaged stored values of the editor's animation give the defaults.
    void damagedStoredValuesGiveDefaults()
    {
        {
            Settings s;
            s.writeString("StartUp", "open_steep", "viel");
            s.writeInteger("StartUp", "open_delay", 5000);
        }
        TprewDlg dialog(target());
        dialog.show();
        QCOMPARE(child<QSlider>(dialog, "tbOpenStep")->value(), 5);
        QCOMPARE(child<QSlider>(dialog, "tbOpenDelay")->value(), 10);
    }

    // "Vorschau" plays the chosen transition and shows the picture again.
    void previewPlaysTransition()
    {
        TprewDlg dialog(target());
        dialog.show();
        QVERIFY(!dialog.previewPicture()->Picture().empty());
        child<QRadioButton>(dialog, "rbHorizontal")->setChecked(true);
        dialog.runPreview();
        QCOMPARE(int(dialog.previewPicture()->FXMethod), int(FXHorizontal));
        QCOMPARE(dialog.previewPicture()->Picture().width(), 120);
    }

    // Accepted with a new size: the databases go, and the rescan makes every
    // miniature anew at the new size.
    void newSizeRebuildsTheMiniatures()
    {
        Settings().writeInteger("StartUp", "SaveDiaDB", 1);
        QTemporaryDir dir;
        for (int i = 0; i < 3; ++i)
            makePicture(dir.filePath(QString("p%1.bmp").arg(i)), 200, 150);
        TKvnPictureView w;
        w.start();
        w.show();
        QVERIFY(w.folderTree()->setPath(dir.path()));
        QTRY_VERIFY_WITH_TIMEOUT(w.state().LastScannedFolder == dir.path() && w.thumbnails()->itemCount() == 3
                                     && !w.state().ScanThread,
                                 60000);
        settle(w);
        QCOMPARE(w.thumbnails()->item(0).Bitmap.width(), 100);
        // a database written before, listed in the store
        w.close();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 60000);
        const QString database = dir.filePath("KvnThumbalais.db");
        QVERIFY(QFile::exists(database));

        TKvnPictureView v;
        v.start();
        v.show();
        QVERIFY(v.folderTree()->path() == dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(v.state().LastScannedFolder == dir.path() && v.thumbnails()->itemCount() == 3
                                     && !v.state().ScanThread,
                                 60000);
        settle(v);
        QVERIFY(v.findChild<QAction*>("actEinstellungen")->isEnabled());
        TprewDlg::setRunner([](TprewDlg& d) {
            d.show();
            auto* bar = child<QSlider>(d, "tbGroesse");
            for (int i = 0; i < 40; ++i)
                QTest::keyClick(bar, Qt::Key_Left);
            QTest::mouseClick(child<QPushButton>(d, "btOK"), Qt::LeftButton);
            return d.result();
        });
        v.Einstellungen();
        QVERIFY(!QFile::exists(database));
        QTRY_VERIFY_WITH_TIMEOUT(v.thumbnails()->itemCount() == 3 && !v.state().ScanThread, 60000);
        settle(v);
        QCOMPARE(v.thumbnails()->ThumbnailWidth(), 60);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(v.thumbnails()->item(i).Bitmap.width(), 60);
            QCOMPARE(v.thumbnails()->item(i).Bitmap.height(), 60);
        }
        QCOMPARE(Settings().readInteger("StartUp", "diax", 0), 60);
    }
};

int main(int argc, char** argv)
{
    GlimraApplication app(argc, argv);
    TestPrewDlg test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_prewdlg.moc"
