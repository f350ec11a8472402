// Mouse editing of annotations on a picture control: objects are made from
// the "new object" menu and the mouse, selected, moved, changed in their
// property dialog, brought to the front and deleted, their nodes edited,
// every change undone and redone; pictures and stamps come from their
// choosers; the menus carry the texts of the annotation settings file.

#include "annotations/annopropertiesdlg.h"
#include "annotations/annostampdlg.h"
#include "annotations/annostampeditdlg.h"
#include "annotations/annotationediting.h"

#include "codec/engine/annotationformat.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/filepicker.h"
#include "platform/messagebox.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using annotation::Kind;

namespace {

int commandOf(const QList<annotationediting::MenuEntry>& entries, const QString& text)
{
    for (const auto& e : entries)
        if (e.text == text && e.enabled && !e.separator)
            return e.command;
    return 0;
}

QStringList textsOf(const QList<annotationediting::MenuEntry>& entries)
{
    QStringList texts;
    for (const auto& e : entries)
        if (!e.separator)
            texts << e.text;
    return texts;
}

std::optional<annotationformat::Pages> readAnt(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray b = f.readAll();
    return annotationformat::parse(reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size()));
}

}  // namespace

class TestAnnotationEditing : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<TPMultiImage> image_;
    QList<annotationediting::MenuEntry> lastMenu_;
    QString answer_;
    QString pickedFrom_;

    // A right click at p; the menu is answered with the entry named answer.
    void rightClick(QPoint p, const QString& answer)
    {
        answer_ = answer;
        QTest::mousePress(image_.get(), Qt::RightButton, {}, p);
        QTest::mouseRelease(image_.get(), Qt::RightButton, {}, p);
    }
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(image_.get(), Qt::LeftButton, {}, from);
        QTest::mouseMove(image_.get(), (from + to) / 2);
        QTest::mouseMove(image_.get(), to);
        QTest::mouseRelease(image_.get(), Qt::LeftButton, {}, to);
    }
    void make(const QString& kind, QPoint from, QPoint to)
    {
        rightClick(QPoint(290, 290), kind);
        drag(from, to);
    }
    annotationformat::Pages saved()
    {
        const QString file = dir_.filePath(QStringLiteral("saved.ant"));
        QFile::remove(file);
        image_->SaveAnnotations(0, file);
        std::optional<annotationformat::Pages> pages = readAnt(file);
        return pages ? *pages : annotationformat::Pages();
    }

private slots:
    void init()
    {
        annotationediting::Install();
        annotationediting::MenuScript = [this](const QList<annotationediting::MenuEntry>& entries) {
            lastMenu_ = entries;
            return commandOf(entries, answer_);
        };
        QImage white(250, 250, QImage::Format_RGB32);
        white.fill(Qt::white);
        QVERIFY(white.save(dir_.filePath(QStringLiteral("w.png"))));
        image_ = std::make_unique<TPMultiImage>();
        image_->resize(300, 300);
        image_->setImageName(dir_.filePath(QStringLiteral("w.png")));
        image_->grab();   // the layer learns the view from a paint
        image_->setEditAnnotat(true);
    }
    void cleanup()
    {
        image_.reset();
        annotationediting::MenuScript = {};
        annotationediting::DialogScript = {};
        annotationediting::StampScript = {};
        TAnnoStampDlg::EditScript = {};
        FilePicker::setScript({});
        MessageBox::setScript({});
    }

    QString pictureFile(const QString& name, QSize size, QColor colour)
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colour);
        const QString path = dir_.filePath(name);
        return picture.save(path) ? path : QString();
    }
    // The file picker answers with file; the warnings shown are counted.
    void pickFile(const QString& file, int* warnings = nullptr)
    {
        FilePicker::setScript([this, file](const QString&, const QString& start, const QString&) {
            pickedFrom_ = start;
            return file;
        });
        MessageBox::setScript([warnings](const MessageBox::Request& r) {
            if (warnings && r.icon == QMessageBox::Warning)
                ++*warnings;
            return QMessageBox::Ok;
        });
    }

    void objectsAreMadeWithTheMouse()
    {
        rightClick(QPoint(290, 290), QString());
        QCOMPARE(textsOf(lastMenu_).first(), QStringLiteral("Neues Objekt ..."));
        QVERIFY(textsOf(lastMenu_).contains(QStringLiteral("Rechteck")));
        QVERIFY(textsOf(lastMenu_).contains(QStringLiteral("Transparentes Rechteck")));

        make(QStringLiteral("Rechteck"), QPoint(10, 10), QPoint(60, 40));
        make(QStringLiteral("Freihändig"), QPoint(100, 100), QPoint(130, 120));
        // connected lines: a node per click, the right button ends them
        rightClick(QPoint(290, 290), QStringLiteral("Verbundene Linien"));
        for (QPoint p : {QPoint(150, 10), QPoint(200, 20), QPoint(180, 60)}) {
            QTest::mouseClick(image_.get(), Qt::LeftButton, {}, p);
            QTest::mouseMove(image_.get(), p + QPoint(5, 5));
        }
        rightClick(QPoint(180, 60), QString());
        // a note clicked without dragging gets a size of its own and the default text
        rightClick(QPoint(290, 290), QStringLiteral("Notiz"));
        QTest::mouseClick(image_.get(), Qt::LeftButton, {}, QPoint(20, 150));
        QCOMPARE(image_->AnnotationCount(), 4);
        QVERIFY(image_->AnnotationsChanged());

        const std::vector<annotation::Object> objects = saved().at(0);
        QCOMPARE(objects[0].kind, Kind::Rectangle);
        QCOMPARE(objects[0].points, (std::vector<annotation::Point>{{10, 10}, {60, 40}}));
        QCOMPARE(objects[1].kind, Kind::Freehand);
        QVERIFY(objects[1].points.size() >= 3);
        QCOMPARE(objects[2].kind, Kind::PolyLine);
        QCOMPARE(objects[2].points.size(), std::size_t(3));
        QCOMPARE(objects[3].kind, Kind::Notes);
        QCOMPARE(objects[3].text, std::string("Geben Sie den Text ein"));
        QVERIFY(objects[3].points[1].x - objects[3].points[0].x > 50);

        // the shown picture carries the new objects
        const QImage shot = image_->grab().toImage();
        QVERIFY(QColor(shot.pixel(35, 10)) != QColor(Qt::white));
    }

    void objectsAreMovedChangedAndDeleted()
    {
        make(QStringLiteral("Ellipse"), QPoint(20, 20), QPoint(80, 60));
        make(QStringLiteral("Notiz"), QPoint(100, 100), QPoint(200, 160));
        drag(QPoint(50, 40), QPoint(60, 50));   // the ellipse moves by (10, 10)
        QCOMPARE(saved().at(0)[0].points, (std::vector<annotation::Point>{{30, 30}, {90, 70}}));

        // the selected ellipse's corner handle
        drag(QPoint(90, 70), QPoint(120, 90));
        QCOMPARE(saved().at(0)[0].points[1], (annotation::Point{120, 90}));

        // the note's menu and property dialog
        annotationediting::DialogScript = [](TAnnoPropertiesDlg& dialog) {
            dialog.text()->setPlainText(QStringLiteral("Größe prüfen"));
            dialog.fontHeight()->setValue(20);
            return true;
        };
        rightClick(QPoint(150, 130), QStringLiteral("Eigenschaften"));
        QCOMPARE(textsOf(lastMenu_).first(), QStringLiteral("Notiz"));
        QVERIFY(textsOf(lastMenu_).contains(QStringLiteral("Ansicht als Icon")));
        annotation::Object note = saved().at(0)[1];
        QCOMPARE(note.text, std::string("Größe prüfen"));
        QCOMPARE(note.fontHeight, 20);

        // a cancelled dialog changes nothing
        annotationediting::DialogScript = [](TAnnoPropertiesDlg& dialog) {
            dialog.text()->setPlainText(QStringLiteral("verworfen"));
            return false;
        };
        rightClick(QPoint(150, 130), QStringLiteral("Eigenschaften"));
        QCOMPARE(saved().at(0)[1].text, std::string("Größe prüfen"));

        rightClick(QPoint(150, 130), QStringLiteral("Nach hinten"));
        QCOMPARE(saved().at(0)[0].kind, Kind::Notes);
        rightClick(QPoint(150, 130), QStringLiteral("Entfernen"));
        QCOMPARE(image_->AnnotationCount(), 1);
        QCOMPARE(saved().at(0)[0].kind, Kind::Ellipse);
    }

    void theDeleteKeyRemovesTheSelectedObjectOnly()
    {
        make(QStringLiteral("Rechteck"), QPoint(10, 10), QPoint(60, 40));
        make(QStringLiteral("Ellipse"), QPoint(100, 100), QPoint(160, 140));
        QTest::mouseClick(image_.get(), Qt::LeftButton, {}, QPoint(35, 10));   // selects the rectangle
        QTest::keyClick(image_.get(), Qt::Key_Delete);
        QCOMPARE(image_->AnnotationCount(), 1);
        QCOMPARE(saved().at(0)[0].kind, Kind::Ellipse);
        // nothing selected: Entf removes nothing
        QTest::mouseClick(image_.get(), Qt::LeftButton, {}, QPoint(250, 20));
        QTest::keyClick(image_.get(), Qt::Key_Delete);
        QCOMPARE(image_->AnnotationCount(), 1);
        // outside editing mode the key is not the layer's
        QTest::mouseClick(image_.get(), Qt::LeftButton, {}, QPoint(130, 100));
        image_->setEditAnnotat(false);
        QTest::keyClick(image_.get(), Qt::Key_Delete);
        QCOMPARE(image_->AnnotationCount(), 1);
    }

    void aFrameOrCtrlASelectsSeveralObjectsThatMoveAndGoTogether()
    {
        using Points = std::vector<annotation::Point>;
        make(QStringLiteral("Rechteck"), QPoint(10, 10), QPoint(40, 40));
        make(QStringLiteral("Ellipse"), QPoint(60, 10), QPoint(90, 40));
        make(QStringLiteral("Linie"), QPoint(150, 150), QPoint(200, 200));
        // a frame around the first two, dragged on free space
        drag(QPoint(5, 5), QPoint(100, 50));
        drag(QPoint(25, 10), QPoint(35, 30));   // one of them dragged: both move
        std::vector<annotation::Object> objects = saved().at(0);
        QCOMPARE(objects[0].points, (Points{{20, 30}, {50, 60}}));
        QCOMPARE(objects[1].points, (Points{{70, 30}, {100, 60}}));
        QCOMPARE(objects[2].points, (Points{{150, 150}, {200, 200}}));
        QTest::keyClick(image_.get(), Qt::Key_Delete);
        QCOMPARE(image_->AnnotationCount(), 1);
        QCOMPARE(saved().at(0)[0].kind, Kind::Line);
        QVERIFY(image_->UndoAnnotations());   // both come back in their places
        objects = saved().at(0);
        QCOMPARE(objects.size(), std::size_t(3));
        QCOMPARE(objects[1].points, (Points{{70, 30}, {100, 60}}));

        // a frame around one object selects just that one, with its handles
        drag(QPoint(140, 140), QPoint(210, 210));
        drag(QPoint(200, 200), QPoint(220, 230));
        QCOMPARE(saved().at(0)[2].points, (Points{{150, 150}, {220, 230}}));

        // Ctrl+A takes them all; a click elsewhere ends the group
        QTest::keyClick(image_.get(), Qt::Key_A, Qt::ControlModifier);
        QTest::mouseClick(image_.get(), Qt::LeftButton, {}, QPoint(280, 20));
        QTest::keyClick(image_.get(), Qt::Key_Delete);
        QCOMPARE(image_->AnnotationCount(), 3);
        QTest::keyClick(image_.get(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(image_.get(), Qt::Key_Delete);
        QCOMPARE(image_->AnnotationCount(), 0);
    }

    void undoAndRedoWalkThroughEveryChange()
    {
        using Points = std::vector<annotation::Point>;
        make(QStringLiteral("Rechteck"), QPoint(10, 10), QPoint(60, 40));
        drag(QPoint(35, 10), QPoint(45, 20));                 // moved by (10, 10)
        drag(QPoint(70, 50), QPoint(90, 60));                 // its corner
        annotationediting::DialogScript = [](TAnnoPropertiesDlg& dialog) {
            dialog.penWidth()->setValue(7);
            return true;
        };
        rightClick(QPoint(45, 20), QStringLiteral("Eigenschaften"));
        QCOMPARE(saved().at(0)[0].penWidth, 7);
        rightClick(QPoint(45, 20), QStringLiteral("Entfernen"));
        QCOMPARE(image_->AnnotationCount(), 0);

        const auto undo = [this] { QTest::keyClick(image_.get(), Qt::Key_Z, Qt::ControlModifier); };
        const auto redo = [this] {
            QTest::keyClick(image_.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        };
        undo();
        QCOMPARE(image_->AnnotationCount(), 1);
        QCOMPARE(saved().at(0)[0].penWidth, 7);
        undo();
        QCOMPARE(saved().at(0)[0].penWidth, 1);
        QCOMPARE(saved().at(0)[0].points, (Points{{20, 20}, {90, 60}}));
        undo();
        QCOMPARE(saved().at(0)[0].points, (Points{{20, 20}, {70, 50}}));
        undo();
        QCOMPARE(saved().at(0)[0].points, (Points{{10, 10}, {60, 40}}));
        undo();
        QCOMPARE(image_->AnnotationCount(), 0);
        QVERIFY(!image_->UndoAnnotations());   // nothing before the first change
        redo();
        redo();
        QCOMPARE(saved().at(0)[0].points, (Points{{20, 20}, {70, 50}}));
        // a new change drops what was undone
        rightClick(QPoint(45, 20), QStringLiteral("Nach hinten"));
        make(QStringLiteral("Linie"), QPoint(150, 150), QPoint(200, 200));
        QVERIFY(!image_->RedoAnnotations());
        undo();
        QCOMPARE(image_->AnnotationCount(), 1);

        // another picture starts afresh
        QImage other(100, 100, QImage::Format_RGB32);
        other.fill(Qt::gray);
        QVERIFY(other.save(dir_.filePath(QStringLiteral("g.png"))));
        image_->setImageName(dir_.filePath(QStringLiteral("g.png")));
        QCOMPARE(image_->AnnotationCount(), 0);
        QVERIFY(!image_->UndoAnnotations());
    }

    void undoInTheMiddleOfAShapeTakesItBackWhole()
    {
        rightClick(QPoint(290, 290), QStringLiteral("Polygon"));
        for (QPoint p : {QPoint(10, 10), QPoint(60, 10), QPoint(30, 50), QPoint(10, 40)})
            QTest::mouseClick(image_.get(), Qt::LeftButton, {}, p);
        QVERIFY(image_->UndoAnnotations());
        QCOMPARE(image_->AnnotationCount(), 0);
        QVERIFY(image_->RedoAnnotations());
        QCOMPARE(saved().at(0)[0].points.size(), std::size_t(4));
    }

    void theShapesNodesAreEditedThroughItsMenu()
    {
        using Points = std::vector<annotation::Point>;
        rightClick(QPoint(290, 290), QStringLiteral("Verbundene Linien"));
        for (QPoint p : {QPoint(20, 20), QPoint(100, 20), QPoint(100, 100)})
            QTest::mouseClick(image_.get(), Qt::LeftButton, {}, p);
        rightClick(QPoint(100, 100), QString());
        QCOMPARE(saved().at(0)[0].points, (Points{{20, 20}, {100, 20}, {100, 100}}));

        // selected, its handles are the bounds' corners: one scales the shape
        QTest::mouseClick(image_.get(), Qt::LeftButton, {}, QPoint(60, 20));
        drag(QPoint(100, 100), QPoint(180, 180));
        QCOMPARE(saved().at(0)[0].points, (Points{{20, 20}, {180, 20}, {180, 180}}));

        // the node entries appear once the shape is edited
        rightClick(QPoint(100, 20), QStringLiteral("Form bearbeiten"));
        QVERIFY(!textsOf(lastMenu_).contains(QStringLiteral("Neuer Knoten")));
        rightClick(QPoint(100, 20), QStringLiteral("Neuer Knoten"));
        QVERIFY(textsOf(lastMenu_).contains(QStringLiteral("Knoten entfernen")));
        QCOMPARE(saved().at(0)[0].points, (Points{{20, 20}, {100, 20}, {180, 20}, {180, 180}}));
        // now each node has a handle of its own
        drag(QPoint(100, 20), QPoint(100, 60));
        QCOMPARE(saved().at(0)[0].points, (Points{{20, 20}, {100, 60}, {180, 20}, {180, 180}}));
        // a node is removed, not added, where a node is clicked
        rightClick(QPoint(180, 20), QStringLiteral("Neuer Knoten"));
        QCOMPARE(saved().at(0)[0].points.size(), std::size_t(4));
        rightClick(QPoint(180, 20), QStringLiteral("Knoten entfernen"));
        rightClick(QPoint(20, 20), QStringLiteral("Knoten entfernen"));
        QCOMPARE(saved().at(0)[0].points, (Points{{100, 60}, {180, 180}}));
        // two nodes are the fewest
        rightClick(QPoint(100, 60), QStringLiteral("Knoten entfernen"));
        QCOMPARE(saved().at(0)[0].points.size(), std::size_t(2));
        const auto entry = std::find_if(lastMenu_.cbegin(), lastMenu_.cend(), [](const auto& e) {
            return e.text == QStringLiteral("Knoten entfernen");
        });
        QVERIFY(entry != lastMenu_.cend() && !entry->enabled);

        QVERIFY(image_->UndoAnnotations());
        QCOMPARE(saved().at(0)[0].points, (Points{{20, 20}, {100, 60}, {180, 180}}));
        // boxes have no node entries
        make(QStringLiteral("Rechteck"), QPoint(200, 200), QPoint(240, 240));
        rightClick(QPoint(220, 200), QString());
        QVERIFY(!textsOf(lastMenu_).contains(QStringLiteral("Form bearbeiten")));
    }

    void pictureObjectsShowTheChosenPicture()
    {
        pickFile(pictureFile(QStringLiteral("red.png"), QSize(40, 20), Qt::red));
        rightClick(QPoint(290, 290), QStringLiteral("Image"));
        QCOMPARE(pickedFrom_, dir_.path());   // the shown picture's folder
        QTest::mouseClick(image_.get(), Qt::LeftButton, {}, QPoint(30, 30));   // placed at its own size
        annotation::Object o = saved().at(0)[0];
        QCOMPARE(o.kind, Kind::Image);
        QCOMPARE(o.points, (std::vector<annotation::Point>{{30, 30}, {70, 50}}));
        QCOMPARE(o.imageWidth, 40);
        QCOMPARE(o.imageHeight, 20);
        QCOMPARE(o.imagePixels.data()[2], std::uint8_t(255));   // B, G, R, A: red
        QCOMPARE(image_->grab().toImage().pixelColor(50, 40), QColor(Qt::red));

        // "Bild..." puts another picture in; undo brings the first back
        pickFile(pictureFile(QStringLiteral("blue.png"), QSize(8, 8), Qt::blue));
        rightClick(QPoint(50, 40), QStringLiteral("Bild..."));
        QCOMPARE(image_->grab().toImage().pixelColor(50, 40), QColor(Qt::blue));
        QVERIFY(image_->UndoAnnotations());
        QCOMPARE(saved().at(0)[0].imageWidth, 40);

        // a large picture is made smaller, and dragged open it fills the box
        pickFile(pictureFile(QStringLiteral("wide.png"), QSize(3000, 100), Qt::green));
        make(QStringLiteral("Image"), QPoint(100, 100), QPoint(200, 150));
        o = saved().at(0)[1];
        QCOMPARE(QSize(o.imageWidth, o.imageHeight), QSize(2048, 68));
        QCOMPARE(o.points, (std::vector<annotation::Point>{{100, 100}, {200, 150}}));
    }

    void unreadableOrNoPictureMakesNoObject()
    {
        int warnings = 0;
        QFile bad(dir_.filePath(QStringLiteral("bad.png")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray("\x89PNG\r\n\x1a\n").append(200, '\xff'));
        bad.close();
        pickFile(bad.fileName(), &warnings);
        rightClick(QPoint(290, 290), QStringLiteral("Image"));
        QCOMPARE(warnings, 1);
        QTest::mouseClick(image_.get(), Qt::LeftButton, {}, QPoint(30, 30));
        pickFile(QString(), &warnings);   // cancelled
        rightClick(QPoint(290, 290), QStringLiteral("Image"));
        QTest::mouseClick(image_.get(), Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(image_->AnnotationCount(), 0);
        QCOMPARE(warnings, 1);
    }

    void stampsAreChosenMadeAndKept()
    {
        rightClick(QPoint(290, 290), QStringLiteral("Stempel"));
        QTest::mouseClick(image_.get(), Qt::LeftButton, {}, QPoint(20, 20));
        // a stamp of the list
        QStringList listed;
        annotationediting::StampScript = [&listed](TAnnoStampDlg& dialog) {
            for (int i = 0; i < dialog.list()->count(); ++i)
                listed << dialog.list()->item(i)->text();
            dialog.setCurrent(1);
            return true;
        };
        rightClick(QPoint(60, 60), QStringLiteral("Stempel ändern..."));
        QCOMPARE(listed, (QStringList{QStringLiteral("Genehmigt"), QStringLiteral("Entwurf"),
                                      QStringLiteral("Vertraulich")}));
        QCOMPARE(saved().at(0)[0].text, std::string("ENTWURF"));

        // a new text stamp with the date
        TAnnoStampDlg::EditScript = [](TAnnoStampEditDlg& dialog) {
            dialog.name()->setText(QStringLiteral("Eingang"));
            dialog.text()->setText(QStringLiteral("Eingang "));
            dialog.date()->click();
            return true;
        };
        annotationediting::StampScript = [](TAnnoStampDlg& dialog) {
            dialog.createText()->click();
            return true;
        };
        rightClick(QPoint(60, 60), QStringLiteral("Stempel ändern..."));
        const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
        QCOMPARE(QString::fromStdString(saved().at(0)[0].text), "Eingang " + today);

        // a picture stamp; the list is kept for the next time
        int warnings = 0;
        pickFile(pictureFile(QStringLiteral("stamp.png"), QSize(30, 10), Qt::darkGreen), &warnings);
        TAnnoStampDlg::EditScript = [](TAnnoStampEditDlg& dialog) {
            dialog.name()->setText(QStringLiteral("Logo"));
            dialog.browse()->click();
            return true;
        };
        annotationediting::StampScript = [&listed](TAnnoStampDlg& dialog) {
            listed.clear();
            for (int i = 0; i < dialog.list()->count(); ++i)
                listed << dialog.list()->item(i)->text();
            dialog.createImage()->click();
            return true;
        };
        rightClick(QPoint(60, 60), QStringLiteral("Stempel ändern..."));
        QCOMPARE(listed.last(), QStringLiteral("Eingang"));
        const annotation::Object stamp = saved().at(0)[0];
        QCOMPARE(QSize(stamp.imageWidth, stamp.imageHeight), QSize(30, 10));
        // the box keeps its width, its height follows the picture
        QCOMPARE(stamp.points, (std::vector<annotation::Point>{{20, 20}, {180, 73}}));
        QVERIFY(stamp.text.empty());
        QCOMPARE(image_->grab().toImage().pixelColor(60, 60), QColor(Qt::darkGreen));
        QCOMPARE(warnings, 0);

        // a picture file that cannot be read keeps the stamp dialog open
        pickFile(dir_.filePath(QStringLiteral("missing.png")), &warnings);
        bool added = true;
        annotationediting::StampScript = [&added](TAnnoStampDlg& dialog) {
            const qsizetype before = dialog.stamps().size();
            dialog.createImage()->click();
            added = dialog.stamps().size() > before;
            return false;
        };
        rightClick(QPoint(60, 60), QStringLiteral("Stempel ändern..."));
        QVERIFY(!added);
        QCOMPARE(warnings, 1);
        QCOMPARE(saved().at(0)[0].imageWidth, 30);
    }

    void leavingEditingEndsAnUnfinishedShape()
    {
        rightClick(QPoint(290, 290), QStringLiteral("Polygon"));
        for (QPoint p : {QPoint(10, 10), QPoint(60, 10), QPoint(30, 50)})
            QTest::mouseClick(image_.get(), Qt::LeftButton, {}, p);
        image_->setEditAnnotat(false);
        QCOMPARE(image_->AnnotationCount(), 1);
        QCOMPARE(saved().at(0)[0].points.size(), std::size_t(3));
        // outside editing mode the mouse does not reach the layer
        drag(QPoint(20, 20), QPoint(90, 90));
        QCOMPARE(saved().at(0)[0].points.front(), (annotation::Point{10, 10}));
    }
};

QTEST_MAIN(TestAnnotationEditing)
#include "tst_annotationediting.moc"
