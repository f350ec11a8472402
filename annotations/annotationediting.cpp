#include "annotationediting.h"

#include "annopropertiesdlg.h"

#include "codec/binding/annotationcalls.h"
#include "imagecontrol/ilmultiimagetoolbar.h"
#include "imagecontrol/pmultiimage.h"

#include <QMenu>
#include <QWidget>

namespace annotationediting {

std::function<int(const QList<MenuEntry>& entries)> MenuScript;
std::function<bool(TAnnoPropertiesDlg& dialog)> DialogScript;

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

}  // namespace

void Install()
{
    annotationcalls::SetEditing(showMenu, editProperties);
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
