// The picture pane's loads and saves in the viewer's window: their progress
// in the window's bar, "Abbrechen" during them, and what else is asked
// meanwhile.
#include "viewerwindowtesting.h"

#include "viewer/glimraapplication.h"

#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/mmopendialog.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/messagebox.h"

#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

// A picture that decodes in many steps: noise does not compress.
void makeLargePicture(const QString& path, int side)
{
    QImage img(side, side, QImage::Format_RGB888);
    QRandomGenerator random(7);
    for (int y = 0; y < side; ++y) {
        uchar* line = img.scanLine(y);
        for (int x = 0; x < side * 3; ++x)
            line[x] = uchar(random.bounded(256));
    }
    QVERIFY(img.save(path));
}

// What the window showed while the pane's work ran, seen at every move of
// the bar; act runs once, at the first value of at least trigger.
struct BarWatch {
    QList<int> values;
    int largestMaximum = 0;
    bool cancelEnabled = false;
    QString operation;
    int trigger = -1;
    std::function<void()> act;
};

QProgressBar* barOf(TKvnPictureView& w)
{
    return w.findChild<QProgressBar*>("ProgressBar1");
}

QMetaObject::Connection watchBar(TKvnPictureView& w, BarWatch& watch)
{
    QAction* cancel = viewertesting::action(w, "actAbbrechen");
    QProgressBar* bar = barOf(w);
    return QObject::connect(bar, &QProgressBar::valueChanged, bar, [&w, &watch, bar, cancel](int value) {
        watch.values << value;
        watch.largestMaximum = std::max(watch.largestMaximum, bar->maximum());
        if (value > 0) {
            watch.cancelEnabled = cancel->isEnabled();
            watch.operation = w.statusText(1);
        }
        if (watch.trigger >= 0 && value >= watch.trigger && watch.act) {
            watch.trigger = -1;
            watch.act();
        }
    });
}

// A click on "Abbrechen" in the menu bar, put in the event queue: it is
// taken only when events run during the work.
void postCancelClick(TKvnPictureView& w)
{
    QMenuBar* menu = w.menuBar();
    const QPoint at = menu->actionGeometry(viewertesting::action(w, "actAbbrechen")).center();
    const QPointF global = menu->mapToGlobal(QPointF(at));
    QCoreApplication::postEvent(menu, new QMouseEvent(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton,
                                                      Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(menu, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(at), global,
                                                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

void runPostedEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

}  // namespace

class TestPaneWork : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        viewertesting::resetStore();
        warned_.clear();
        MessageBox::setScript([this](const MessageBox::Request& r) {
            warned_ << r.text;
            return answer_;
        });
    }

    void loadShowsProgressAndStopsOnCancel()
    {
        QTemporaryDir dir;
        const QString small = dir.filePath("small.png");
        const QString large = dir.filePath("large.png");
        viewertesting::makePicture(small, 40, 30);
        makeLargePicture(large, 1200);
        TKvnPictureView w;
        w.start();
        QProgressBar* bar = barOf(w);
        QAction* cancel = viewertesting::action(w, "actAbbrechen");

        // a whole load: its percentages move the bar, with "Abbrechen" and
        // the operation's text, and the bar is back at 0 afterwards
        BarWatch whole;
        QMetaObject::Connection c = watchBar(w, whole);
        w.ShowPicture(large, 0, w.pane());
        QObject::disconnect(c);
        QCOMPARE(w.pane()->Picture().width(), 1200);
        QVERIFY2(whole.values.size() > 10, qPrintable(QString::number(whole.values.size())));
        QCOMPARE(whole.largestMaximum, 100);
        QVERIFY(whole.cancelEnabled);
        QVERIFY2(whole.operation.contains("large.png"), qPrintable(whole.operation));
        QCOMPARE(bar->value(), 0);
        QVERIFY(!cancel->isEnabled());
        QVERIFY(warned_.isEmpty());

        // "Abbrechen" clicked during another load stops it: the shown
        // picture stays with its name, information and path, no warning
        w.ShowPicture(small, 0, w.pane());
        const QString information = w.statusText(3);
        QVERIFY(information.startsWith("PNG  40 x 30"));
        BarWatch stopped;
        stopped.trigger = 20;
        stopped.act = [&w] { postCancelClick(w); };
        c = watchBar(w, stopped);
        w.ShowPicture(large, 0, w.pane());
        QObject::disconnect(c);
        QVERIFY2(!stopped.values.isEmpty() && *std::max_element(stopped.values.begin(), stopped.values.end()) < 90,
                 "the load went on after the click");
        QCOMPARE(w.pane()->Picture().width(), 40);
        QCOMPARE(w.pane()->ImageName(), small);
        QCOMPARE(w.pane()->imageInfo.width, 40);
        QCOMPARE(w.statusText(3), information);
        QCOMPARE(w.statusText(2), small);
        QVERIFY2(warned_.isEmpty(), qPrintable(warned_.join('|')));
        QCOMPARE(bar->value(), 0);
        QVERIFY(!cancel->isEnabled());

        // Esc stops it too; other keys are not taken meanwhile
        bool dialogShown = false;
        BarWatch escaped;
        escaped.trigger = 20;
        escaped.act = [&w] {
            QCoreApplication::postEvent(w.pane(), new QKeyEvent(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier));
            QCoreApplication::postEvent(w.pane(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        };
        TMMOpenDialog::setScript([&](TMMOpenDialog&) {
            dialogShown = true;
            return false;
        });
        c = watchBar(w, escaped);
        w.ShowPicture(large, 0, w.pane());
        QObject::disconnect(c);
        TMMOpenDialog::setScript({});
        QCOMPARE(w.pane()->ImageName(), small);
        QVERIFY(!dialogShown);
        QVERIFY(!w.pane()->Working());
    }

    void stoppedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString large = dir.filePath("large.png");
        const QString target = dir.filePath("old.png");
        makeLargePicture(large, 1200);
        viewertesting::makePicture(target, 20, 10);
        const QByteArray before = viewertesting::contentsOf(target);
        TKvnPictureView w;
        w.start();
        w.ShowPicture(large, 0, w.pane());
        QCOMPARE(w.pane()->Picture().width(), 1200);

        TMMOpenDialog::setScript([&](TMMOpenDialog& d) {
            d.FileName = target;
            d.FilterIndex = 5;
            return true;
        });
        answer_ = QMessageBox::Yes;   // overwrite
        BarWatch save;
        save.trigger = 10;
        save.act = [&w] { postCancelClick(w); };
        QMetaObject::Connection c = watchBar(w, save);
        w.toolbar()->Click(ibSave);
        QObject::disconnect(c);
        TMMOpenDialog::setScript({});
        QVERIFY2(!save.values.isEmpty(), "the save reported no progress into the bar");
        QCOMPARE(viewertesting::contentsOf(target), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);   // no temporary file left
        // the overwrite question only: a stop is no failure to report
        QCOMPARE(warned_.size(), 1);
        QVERIFY(warned_[0].contains("Überschreiben?"));
        QCOMPARE(barOf(w)->value(), 0);
        QVERIFY(w.pane()->Modified() == false);
    }

    void askedAgainWhileLoading()
    {
        QTemporaryDir dir;
        const QString small = dir.filePath("small.png");
        const QString other = dir.filePath("other.png");
        const QString large = dir.filePath("large.png");
        viewertesting::makePicture(small, 40, 30);
        viewertesting::makePicture(other, 50, 20, Qt::red);
        makeLargePicture(large, 1200);
        TKvnPictureView w;
        w.start();
        w.ShowPicture(small, 0, w.pane());

        // other pictures asked for by the program during a load: the
        // picture of that load stays
        BarWatch second;
        second.trigger = 10;
        second.act = [&] {
            w.ShowPicture(large, 0, w.pane());
            w.ShowPicture(other, 0, w.pane());
        };
        QMetaObject::Connection c = watchBar(w, second);
        w.ShowPicture(large, 0, w.pane());
        QObject::disconnect(c);
        runPostedEvents();
        QCOMPARE(w.pane()->ImageName(), large);
        QCOMPARE(w.pane()->Picture().width(), 1200);
        QVERIFY2(w.statusText(3).startsWith("PNG  1200 x 1200"), qPrintable(w.statusText(3)));
        QVERIFY(warned_.isEmpty());
        w.ShowPicture(other, 0, w.pane());

        // a folder chosen during a load: the load stops, then the folder opens
        const QString folder = dir.filePath("sub");
        QVERIFY(QDir().mkpath(folder));
        viewertesting::makePicture(folder + "/a.png", 10, 10);
        BarWatch tree;
        tree.trigger = 10;
        bool changedAtOnce = true;
        tree.act = [&] {
            w.folderTree()->setPath(folder);
            changedAtOnce = w.folderTree()->path() == folder;
        };
        c = watchBar(w, tree);
        w.ShowPicture(large, 0, w.pane());
        QObject::disconnect(c);
        QVERIFY(!changedAtOnce);
        QCOMPARE(w.pane()->ImageName(), other);
        runPostedEvents();
        viewertesting::waitForScan(w, folder, 1);
        QCOMPARE(w.folderTree()->path(), folder);

        // closing during a load: the load stops, then the window closes
        BarWatch closing;
        closing.trigger = 10;
        closing.act = [&] { w.close(); };
        c = watchBar(w, closing);
        w.ShowPicture(large, 0, w.pane());
        QObject::disconnect(c);
        QVERIFY(w.isVisible());
        QCOMPARE(w.pane()->ImageName(), other);
        // (the close itself waits for the folder's database to be written)
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 20000);
    }

private:
    QStringList warned_;
    QMessageBox::StandardButton answer_ = QMessageBox::Ok;
};

int main(int argc, char** argv)
{
    GlimraApplication app(argc, argv);
    TestPaneWork test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panework.moc"
