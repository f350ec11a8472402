// The effects dialog as a user drives it: the rubber band, the parameter
// fields, preview, apply, stop and the palette page.

#include "../dibfixtures.h"
#include "tst_effectdialog.h"

#include "codec/binding/dibconvert.h"
#include "dibcore/dibcore.h"
#include "effects/dialog/effectform.h"
#include "effects/dialog/ilpimage.h"
#include "effects/dialog/ilrubberband.h"
#include "effects/dialog/palettefile.h"
#include "effects/dialog/palettepage.h"
#include "effects/effectcalls.h"
#include "platform/messagebox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace fixtures;

namespace {

struct Change {
    int left, top, right, bottom;
};

// A dialog shown on a picture, with its preview made.
struct OpenForm {
    explicit OpenForm(GlobalHandle master)
    {
        MessageBox::setScript([](const MessageBox::Request&) { return QMessageBox::No; });
        form.MasterDib = master;
        form.resize(814, 524);
        form.show();
        form.WaitForWork();
    }
    ~OpenForm() { MessageBox::setScript(nullptr); }
    TEffectForm form;
};

}  // namespace

void TestEffectDialog::rubberBandDragging()
{
    QWidget control;
    control.resize(200, 150);
    TILRubberBand band;
    std::vector<Change> changes;
    band.OnBandChange = [&](TILRubberBand&, Qt::MouseButton, int b, int r, int t, int l, Qt::KeyboardModifiers) {
        changes.push_back({l, t, r, b});
    };
    band.SetControl(&control);
    band.SetBounds(40, 30, 100, 80);   // 40, 30 .. 140, 110
    QCOMPARE(changes.size(), size_t(1));

    // 4 pixels outside does nothing; 3 pixels outside grabs the edge
    band.MouseDown(Qt::LeftButton, 36, 70);
    QVERIFY(!band.Dragging());
    band.MouseDown(Qt::LeftButton, 37, 70);
    QVERIFY(band.Dragging());
    QCOMPARE(band.HitTest(37, 70), int(TILRubberBand::Left));
    band.MouseMove(Qt::NoModifier, 60, 70);
    QCOMPARE(band.BandLeft(), 60);
    // past the right edge: stays at the last valid place
    band.MouseMove(Qt::NoModifier, 150, 70);
    QCOMPARE(band.BandLeft(), 60);
    band.MouseUp(Qt::LeftButton, Qt::NoModifier, 70, 72);
    // the release point is reported and the band stays in order
    QCOMPARE(band.BandLeft(), 70);
    QCOMPARE(changes.back().left, 70);
    QVERIFY(band.BandLeft() < band.BandRight());

    // dragging the inside moves without resizing
    band.MouseDown(Qt::LeftButton, 100, 70);
    band.MouseMove(Qt::NoModifier, 90, 60);
    band.MouseUp(Qt::LeftButton, Qt::NoModifier, 90, 60);
    QCOMPARE(band.BandLeft(), 60);
    QCOMPARE(band.BandRight(), 130);
    QCOMPARE(band.BandTop(), 20);
    QCOMPARE(band.BandBottom(), 100);
    QCOMPARE(changes.back().right, 130);

    // bottom-right corner
    QCOMPARE(band.HitTest(131, 101), int(TILRubberBand::BottomRight));
    band.MouseDown(Qt::LeftButton, 131, 101);
    band.MouseUp(Qt::LeftButton, Qt::NoModifier, 128, 98);
    QCOMPARE(changes.back().right, 128);
    QCOMPARE(changes.back().bottom, 98);
}

void TestEffectDialog::parameterFields()
{
    OpenForm f(patterned(80, 60));
    TEffectForm& form = f.form;
    // "-" becomes "-1", then the slider's minimum
    QLineEdit* blur = form.Field(QStringLiteral("Verwischen"), QStringLiteral("Value"));
    blur->setText(QString());
    QTest::keyClick(blur, Qt::Key_Minus);
    QCOMPARE(blur->text(), QStringLiteral("1"));
    QCOMPARE(form.Slider(QStringLiteral("Verwischen"), QStringLiteral("Value"))->value(), 1);
    blur->setText(QString());
    QTest::keyClicks(blur, QStringLiteral("500"));
    QCOMPARE(blur->text(), QStringLiteral("100"));
    QTest::keyClick(blur, Qt::Key_A);   // dropped
    QCOMPARE(blur->text(), QStringLiteral("100"));
    // decimal pair: the slider holds tenths
    QSlider* amplitude = form.Slider(QStringLiteral("Welle"), QStringLiteral("Amplitude"));
    amplitude->setValue(51);
    amplitude->setValue(50);
    QCOMPARE(form.Field(QStringLiteral("Welle"), QStringLiteral("Amplitude"))->text(), QStringLiteral("5.00"));
    // one colour chosen on "Farbton und Sättigung": hue 0..120 at 60
    QVERIFY(form.SetActivePage(QStringLiteral("Farbton und Sättigung")));
    form.Radio(QStringLiteral("Farbton und Sättigung"), QStringLiteral("Colour"), 1)->setChecked(true);
    QCOMPARE(form.Slider(QStringLiteral("Farbton und Sättigung"), QStringLiteral("Hue"))->maximum(), 120);
    QCOMPARE(form.Slider(QStringLiteral("Farbton und Sättigung"), QStringLiteral("Hue"))->value(), 60);
    form.WaitForWork();
    // colour count of a 24-bit picture
    QVERIFY(form.SetActivePage(QStringLiteral("Farbenart")));
    QCOMPARE(form.ColourCountText(), QStringLiteral("Das gegenwärtige gestellte Bild hat 24 Bit Farben"));
    QVERIFY(!form.Check(QStringLiteral("Farbenart"), QStringLiteral("TrueColour"))->isEnabled());
}

// Two previews in a row show only the second effect, made from the
// unchanged preview picture; undo gives the snapshot back.
void TestEffectDialog::previewsDoNotAccumulate()
{
    OpenForm f(patterned(160, 120));
    TEffectForm& form = f.form;
    QVERIFY(form.PreviewPicture());
    QVERIFY(form.SetActivePage(QStringLiteral("Verwischen")));
    form.SelectAll();
    form.Slider(QStringLiteral("Verwischen"), QStringLiteral("Value"))->setValue(3);
    form.WaitForWork();
    form.Slider(QStringLiteral("Verwischen"), QStringLiteral("Value"))->setValue(6);
    form.WaitForWork();
    Owned once(Blur(form.Snapshot(), 0, 0, 0, 0, 6));
    QVERIFY(sameBytes(form.PreviewPicture(), once.get()));
    QVERIFY(form.Button(QStringLiteral("sbUndo"))->isEnabled());
    QVERIFY(TEffectForm::Changed());
    form.Undo();
    QVERIFY(sameBytes(form.PreviewPicture(), form.Snapshot()));
    QVERIFY(!TEffectForm::Changed());
}

// Apply works on the full picture; Stop during an apply leaves it as it was.
void TestEffectDialog::applyAndStop()
{
    Owned original(patterned(300, 200));
    OpenForm f(dibcore::copyBlock(original.get()));
    TEffectForm& form = f.form;
    QVERIFY(form.SetActivePage(QStringLiteral("Invertieren")));
    form.Apply();
    QVERIFY(!form.Button(QStringLiteral("sbPreview"))->isEnabled());   // controls wait for the apply
    QVERIFY(form.Button(QStringLiteral("sbStop"))->isEnabled());
    form.StopEffect();
    form.WaitForWork();
    QVERIFY(sameBytes(form.MasterDib, original.get()));
    QVERIFY(!form.Button(QStringLiteral("sbStop"))->isEnabled());
    QVERIFY(form.Button(QStringLiteral("sbPreview"))->isEnabled());

    form.Apply();
    form.WaitForWork();
    Owned inverted(dibcore::copyBlock(original.get()));
    QVERIFY(ILInvert(inverted.ref()));
    QVERIFY(sameBytes(form.MasterDib, inverted.get()));
    QVERIFY(!form.Button(QStringLiteral("sbUndo"))->isEnabled());
    form.Apply();   // twice: back to the start
    form.WaitForWork();
    QVERIFY(sameBytes(form.MasterDib, original.get()));
}

// The band follows the selection at any preview size; dragging it writes
// master pixels into the four fields.
void TestEffectDialog::selectionAtAnyZoom()
{
    OpenForm f(patterned(1000, 500));
    TEffectForm& form = f.form;
    QVERIFY(form.SetActivePage(QStringLiteral("Strudel")));
    for (const QSize size : {QSize(814, 524), QSize(1200, 800), QSize(500, 400)}) {
        form.resize(size);
        QCoreApplication::processEvents();
        form.SetSelection(100, 50, 600, 300);
        const int w = form.PreviewControl()->width(), h = form.PreviewControl()->height();
        TILRubberBand* band = form.Band();
        QCOMPARE(band->BandLeft(), qRound(100.0 * w / 1000));
        QCOMPARE(band->BandBottom(), qRound(300.0 * h / 500));
        // drag the right edge to the control's middle
        const int y = (band->BandTop() + band->BandBottom()) / 2;
        QTest::mousePress(form.PreviewControl(), Qt::LeftButton, {}, QPoint(band->BandRight(), y));
        QTest::mouseMove(form.PreviewControl(), QPoint(w / 2, y));
        QTest::mouseRelease(form.PreviewControl(), Qt::LeftButton, {}, QPoint(w / 2, y));
        QCOMPARE(form.Selection().right(), qRound((w / 2) * 1000.0 / w));
        QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("edCropRight"))->text(),
                 QString::number(form.Selection().right()));
        QCOMPARE(form.Selection().left(), 100);
    }
}

// The palette page saves the master's colour table in the file layout.
void TestEffectDialog::palettePageWritesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.ILP"));
    dibcore::Palette colours;
    for (int i = 0; i < 256; ++i)
        colours.push_back(dibcore::rgb(i, (i * 3) & 0xff, 255 - i));
    OpenForm f(makeIndexedDib(64, 64, 8, colours, [](int x, int y) { return (x + y * 64) % 256; }));
    TEffectForm& form = f.form;
    TEffectForm::ChoosePaletteFile = [&](QWidget*, bool) { return path; };
    QVERIFY(form.SetActivePage(QStringLiteral("Farbpalette")));
    PalettePage* page = form.Palette();
    QVERIFY(page->EditorEnabled());
    // entry 5 changed through the sliders reaches the master
    page->SelectIndex(5);
    page->RedSlider()->setValue(77);
    QCOMPARE(palette(form.MasterDib)[5], dibcore::rgb(77, 15, 250));
    page->RunOperation(PalettePage::SavePalette);
    colours[5] = dibcore::rgb(77, 15, 250);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 1047);
    QCOMPARE(bytes.left(20), QByteArray("\x13korvane 30 palettes"));
    QCOMPARE(bytes.at(20), '\0');
    QCOMPARE(quint8(bytes.at(21)) | (quint8(bytes.at(22)) << 8), 256);
    for (int i = 0; i < 256; ++i) {
        QCOMPARE(quint8(bytes.at(23 + 4 * i)), colours[size_t(i)].red);
        QCOMPARE(quint8(bytes.at(24 + 4 * i)), colours[size_t(i)].green);
        QCOMPARE(quint8(bytes.at(25 + 4 * i)), colours[size_t(i)].blue);
        QCOMPARE(bytes.at(26 + 4 * i), '\0');
    }
    // grey: the master is remapped on a worker
    page->RunOperation(PalettePage::MakeGrey);
    form.WaitForWork();
    QVERIFY(palette(form.MasterDib)[1] == dibcore::rgb(152, 152, 152));   // greys in text order
    for (int x = 0; x < 64; x += 7) {
        const QRgb c = pixel(form.MasterDib, x, 3);
        QVERIFY(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
    }
    TEffectForm::ChoosePaletteFile = nullptr;

    // a 24-bit master: no editor
    OpenForm deep(patterned(40, 30));
    QVERIFY(deep.form.SetActivePage(QStringLiteral("Farbpalette")));
    QVERIFY(!deep.form.Palette()->EditorEnabled());
}

// Closing after a preview and answering Yes applies that preview once, at
// full size, and ends with OK.
void TestEffectDialog::closingAppliesThePreviewOnce()
{
    Owned original(patterned(240, 160));
    OpenForm f(dibcore::copyBlock(original.get()));
    TEffectForm& form = f.form;
    int questions = 0;
    MessageBox::setScript([&](const MessageBox::Request& r) {
        ++questions;
        return r.text == QStringLiteral("Sie haben das Bild verändert. Änderungen speichern?") ? QMessageBox::Yes
                                                                                               : QMessageBox::No;
    });
    QVERIFY(form.SetActivePage(QStringLiteral("Verwischen")));
    form.SelectAll();
    form.Slider(QStringLiteral("Verwischen"), QStringLiteral("Value"))->setValue(4);
    form.WaitForWork();
    form.close();
    form.WaitForWork();
    QCOMPARE(questions, 1);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    Owned once(Blur(original.get(), 0, 0, 240, 160, 4));
    QVERIFY(sameBytes(form.MasterDib, once.get()));
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(TestEffectDialog)
