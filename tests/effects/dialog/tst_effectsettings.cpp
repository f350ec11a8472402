// The effects dialog keeps its state under "FilterSettings": factory
// defaults written once, the user's values saved when the dialog goes and
// read when it shows again, missing and -99999 values left alone, and
// nothing but "SaveEffects" written when saving on exit is switched off.
#include "../dibfixtures.h"

#include "effects/dialog/effectform.h"
#include "platform/colors.h"
#include "platform/messagebox.h"
#include "platform/settings.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSplitter>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace fixtures;

namespace {

const QString kBlur = QStringLiteral("Verwischen");
const QString kWave = QStringLiteral("Welle");
const QString kHue = QStringLiteral("Farbton und Sättigung");

// A dialog shown on a picture.
std::unique_ptr<TEffectForm> openForm(int width = 120, int height = 90)
{
    auto form = std::make_unique<TEffectForm>();
    form->MasterDib = patterned(width, height);
    form->resize(814, 524);
    form->show();
    form->WaitForWork();
    return form;
}

QAction* saveOnExit(TEffectForm& form)
{
    for (QAction* a : form.findChildren<QAction*>())
        if (a->text() == QStringLiteral("Einstellungen beim Beenden speichern"))
            return a;
    return nullptr;
}

QByteArray settingsFile()
{
    QFile f(Settings::filePath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestEffectSettings : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Settings().clear();
        MessageBox::setScript([](const MessageBox::Request&) { return QMessageBox::No; });
    }

    void cleanup() { MessageBox::setScript(nullptr); }

    void valuesSurviveTheDialog()
    {
        QString blurName, waveName, checkName, radioName;
        {
            auto form = openForm();
            QLineEdit* blur = form->Field(kBlur, QStringLiteral("Value"));
            blurName = blur->objectName();
            const QString factory = blur->text();
            // the factory defaults are in place once the dialog has shown
            QCOMPARE(Settings().readString("FilterSettings/DEF_FL_EDIT", blurName, "fehlt"), factory);
            form->Slider(kBlur, QStringLiteral("Value"))->setValue(37);
            QSlider* amplitude = form->Slider(kWave, QStringLiteral("Amplitude"));
            amplitude->setValue(73);
            waveName = form->Field(kWave, QStringLiteral("Amplitude"))->objectName();
            QCheckBox* check = form->Check(QStringLiteral("Ränder"), QStringLiteral("OwnColour"));
            QVERIFY(check);
            checkName = check->objectName();
            check->setChecked(!check->isChecked());
            QRadioButton* colour = form->Radio(kHue, QStringLiteral("Colour"), 1);
            radioName = colour->objectName();
            colour->setChecked(true);
            form->SetBackground(QColor(10, 20, 30));
            form->SetSelection(5, 6, 70, 80);
            QVERIFY(form->SetActivePage(kWave));
            form->WaitForWork();
            form->resize(900, 600);
            form->hide();
        }   // saved as it goes
        const Settings s;
        QCOMPARE(s.readString("FilterSettings/FL_EDIT", blurName, ""), QStringLiteral("37"));
        QCOMPARE(s.readString("FilterSettings/FL_EDIT", waveName, ""), QStringLiteral("7.30"));
        QCOMPARE(s.readInteger("FilterSettings/FL_RADIO", radioName, -1), 1);
        QCOMPARE(s.readInteger("FilterSettings/FL_COLOR", "BackGroundColor", 0),
                 colors::fromQColor(QColor(10, 20, 30)));
        QCOMPARE(s.readInteger("FilterSettings/FL_RUBBERBAND", "CropX", 0), 5);
        QCOMPARE(s.readInteger("FilterSettings/FL_RUBBERBAND", "CropHeight", 0), 80);
        QCOMPARE(s.readInteger("FilterSettings/FL_POS", "WIDTH", 0), 900);
        QVERIFY(s.readBool("StartUp", "SaveEffects", false));
        const qint32 checked = s.readInteger("FilterSettings/FL_CHECK", checkName, -1);
        QVERIFY(checked == 0 || checked == 1);
        // the factory defaults were written once and are not overwritten
        QVERIFY(s.readString("FilterSettings/DEF_FL_EDIT", blurName, "") != QStringLiteral("37"));

        auto again = openForm();
        QCOMPARE(again->Field(kBlur, QStringLiteral("Value"))->text(), QStringLiteral("37"));
        QCOMPARE(again->Slider(kBlur, QStringLiteral("Value"))->value(), 37);
        QCOMPARE(again->Slider(kWave, QStringLiteral("Amplitude"))->value(), 73);
        QCOMPARE(again->findChild<QCheckBox*>(checkName)->isChecked(), checked == 1);
        QVERIFY(again->Radio(kHue, QStringLiteral("Colour"), 1)->isChecked());
        QCOMPARE(again->Background(), QColor(10, 20, 30));
        QCOMPARE(again->Selection(), QRect(QPoint(5, 6), QPoint(70, 80)));
        QCOMPARE(again->ActiveCaption(), kWave);
        QCOMPARE(again->width(), 900);

        // "Alles auf Voreinstellungen zurücksetzen" brings the factory values back
        again->ResetToDefaults();
        QCOMPARE(again->Field(kBlur, QStringLiteral("Value"))->text(),
                 Settings().readString("FilterSettings/DEF_FL_EDIT", blurName, "fehlt"));
        again->WaitForWork();
    }

    void missingAndUnsetValuesLeaveTheDialogAlone()
    {
        QString blurName, waveName;
        QString blurStart, waveStart;
        QRect selection;
        {
            auto form = openForm();
            blurName = form->Field(kBlur, QStringLiteral("Value"))->objectName();
            waveName = form->Field(kWave, QStringLiteral("Amplitude"))->objectName();
            blurStart = form->Field(kBlur, QStringLiteral("Value"))->text();
            waveStart = form->Field(kWave, QStringLiteral("Amplitude"))->text();
            selection = form->Selection();
            saveOnExit(*form)->setChecked(false);
        }
        {
            Settings s;
            s.writeString("FilterSettings/FL_EDIT", blurName, "x");   // "x": left as it is
            s.writeInteger("FilterSettings/FL_RUBBERBAND", "CropX", -99999);   // counts as missing
            s.writeInteger("FilterSettings/FL_RUBBERBAND", "CropY", 1);
            s.writeInteger("FilterSettings/FL_RUBBERBAND", "CropWidth", 20);
            s.writeInteger("FilterSettings/FL_RUBBERBAND", "CropHeight", 20);
            s.writeInteger("FilterSettings/ActivePage", "Page", 4000);   // no such page
            s.sync();
        }
        auto form = openForm();
        QCOMPARE(form->Field(kBlur, QStringLiteral("Value"))->text(), blurStart);
        QCOMPARE(form->Field(kWave, QStringLiteral("Amplitude"))->text(), waveStart);
        QCOMPARE(form->Selection(), selection);
        QCOMPARE(form->findChild<QTabWidget*>()->currentIndex(), 0);
        QVERIFY(!saveOnExit(*form)->isChecked());   // the menu check came back too
    }

    void switchedOffSavesOnlyTheSwitch()
    {
        {
            auto form = openForm();
            form->hide();
        }
        QAction* check = nullptr;
        {
            auto form = openForm();
            check = saveOnExit(*form);
            QVERIFY(check);
            QVERIFY(check->isChecked());
            check->setChecked(false);
            form->Slider(kBlur, QStringLiteral("Value"))->setValue(55);
            form->WaitForWork();
            const QByteArray before = settingsFile();
            form.reset();
            Settings after;
            QVERIFY(!after.readBool("StartUp", "SaveEffects", true));
            after.writeBool("StartUp", "SaveEffects", true);
            after.sync();
            QCOMPARE(settingsFile(), before);   // nothing else changed
        }
    }
};

QTEST_MAIN(TestEffectSettings)
#include "tst_effectsettings.moc"
