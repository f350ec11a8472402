#include "annotationediting.h"

#include "annolabels.h"
#include "annopicturefile.h"
#include "annopropertiesdlg.h"
#include "annostampdlg.h"

#include "codec/binding/annotationcalls.h"
#include "codec/binding/codecwrappers.h"
#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/pmultiimage.h"
#include "platform/filepicker.h"
#include "platform/messagebox.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <QMenu>
#include <QWidget>

namespace annotationediting {

std::function<int(const QList<MenuEntry>& entries)> MenuScript;
std::function<bool(TAnnoPropertiesDlg& dialog)> DialogScript;
std::function<bool(TAnnoStampDlg& dialog)> StampScript;

namespace {

QList<MenuEntry> entriesOf(const AnnoMenuItem* items, int count)
{
    QList<MenuEntry> entries;
    for (int i = 0; items && i < count; ++i) {
        MenuEntry e;
        e.command = items[i].command;
        e.text = QString::fromUtf8(items[i].text ? items[i].text : "");
        e.enabled = !(items[i].flags & annoMenuDisabled);
        e.checked = items[i].flags & annoMenuChecked;
        e.separator = items[i].flags & annoMenuSeparator;
        e.heading = items[i].flags & annoMenuHeading;
        entries << e;
    }
    return entries;
}

int showMenu(void* owner, int x, int y, const AnnoMenuItem* items, int count)
{
    const QList<MenuEntry> entries = entriesOf(items, count);
    if (MenuScript)
        return MenuScript(entries);
    auto* widget = static_cast<QWidget*>(owner);
    QMenu menu(widget);
    for (const MenuEntry& e : entries) {
        if (e.separator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(e.text);
        action->setEnabled(e.enabled);
        action->setCheckable(e.checked);
        action->setChecked(e.checked);
        action->setData(e.command);
        if (e.heading) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
        }
    }
    const QPoint at = widget ? widget->mapToGlobal(QPoint(x, y)) : QPoint(x, y);
    const QAction* chosen = menu.exec(at);
    return chosen ? chosen->data().toInt() : 0;
}

int editProperties(void* owner, const char* title, const char* labels, AnnoProperties* properties)
{
    if (!properties)
        return 0;
    TAnnoPropertiesDlg dialog(*properties, QString::fromUtf8(title ? title : ""),
                              TAnnoPropertiesDlg::labelsOf(QString::fromUtf8(labels ? labels : "")),
                              static_cast<QWidget*>(owner));
    const bool accepted = DialogScript ? DialogScript(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted)
        return 0;
    dialog.store(*properties);
    return 1;
}

// The picture of file for the layer; a warning when it cannot be read.
bool readPicture(QWidget* owner, const QString& file, AnnoPicture& picture)
{
    if (annopicturefile::toAnnoPicture(annopicturefile::read(file), picture))
        return true;
    MessageBox::warning(owner, QStringLiteral("Nicht unterstütztes Bildformat"),
                        "Die Datei \"" + paths::fileName(file) + "\" ist keine unterstützte Bilddatei.");
    return false;
}

int chooseStamp(void* owner, const char* labels, AnnoStamp* stamp)
{
    if (!stamp)
        return 0;
    auto* widget = static_cast<QWidget*>(owner);
    const QString profile = AnnotationSettingsFile();
    TAnnoStampDlg dialog(annostamps::load(profile), annolabels::parse(QString::fromUtf8(labels ? labels : "")),
                         widget);
    const bool accepted = StampScript ? StampScript(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted || dialog.current() < 0)
        return 0;
    annostamps::save(profile, dialog.stamps());
    const AnnoStampDef chosen = dialog.stamps()[dialog.current()];
    if (chosen.isPicture())
        return readPicture(widget, chosen.file, stamp->picture) ? 1 : 0;
    const QByteArray text = chosen.text.toUtf8().left(qsizetype(sizeof stamp->text) - 1);
    QByteArray whole = text;
    while (!whole.isEmpty() && QString::fromUtf8(whole).toUtf8() != whole)
        whole.chop(1);   // no half character at the cut
    std::memcpy(stamp->text, whole.constData(), std::size_t(whole.size()));
    stamp->text[whole.size()] = 0;
    return 1;
}

int choosePicture(void* owner, const char* labels, AnnoPicture* picture)
{
    if (!picture)
        return 0;
    auto* widget = static_cast<QWidget*>(owner);
    QString title = annolabels::text(annolabels::parse(QString::fromUtf8(labels ? labels : "")), "LoadFromFile",
                                     "Aus Datei");
    title.remove(QStringLiteral("..."));
    // the shown picture's folder first
    const auto* control = qobject_cast<const TPMultiImage*>(widget);
    const QString start = control && !control->ImageName().isEmpty() ? QFileInfo(control->ImageName()).path() : QString();
    const QString file = FilePicker::chooseOpen(widget, title, start, annopicturefile::filter());
    return !file.isEmpty() && readPicture(widget, file, *picture) ? 1 : 0;
}

}  // namespace

void Install()
{
    annotationcalls::SetEditing(showMenu, editProperties);
    annotationcalls::SetChoosers(chooseStamp, choosePicture);
}

void Attach(TILMultiImageToolBar& toolbar)
{
    Install();
    toolbar.LoadAnnotations = [](TPMultiImage& image, const QString& file, int page) {
        image.LoadAnnotations(page, file);
        return true;
    };
}

}  // namespace annotationediting
