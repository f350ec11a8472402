#pragma once
// "DiaShow Eigenschaften": the slide show options, a preview of the chosen
// transition on the sample picture, and the slide list with its files.

#include "diashowoptions.h"

#include <QDialog>
#include <QTimer>
#include <memory>

namespace Ui {
class TDiaPropDlg;
}
class QComboBox;
class QLineEdit;
class QMenu;
class QSlider;
class SlideEntryList;
class TPMultiImage;

class TDiaPropDlg : public QDialog {
    Q_OBJECT
public:
    // samplePicture: what the preview shows when no entry is chosen.
    explicit TDiaPropDlg(const QString& samplePicture, QWidget* parent = nullptr);
    ~TDiaPropDlg() override;

    // Appends a supported picture not listed yet (paths compared exactly);
    // with select, also selects it. False when nothing was added.
    bool AddEntry(const QString& path, bool select);
    // The options as the controls show them.
    DiaShowOptions chosenOptions() const;
    // Where "Bild hinzufügen" starts while the list is empty (the viewer's
    // shown folder); afterwards it starts in the last entry's folder.
    QString PictureFolder;

    // ---- commands
    void openListFile();       // "Liste öffnen"
    void saveListFile();       // "Liste speichern"
    void addPictures();        // "Bild hinzufügen"
    void removeEntry();        // "Bild entfernen"
    void runPreview();         // "Vorschau"
    void chooseListFile(int index);
    // Adds a list file to the combo box (once) and selects it.
    void addListFile(const QString& path);

    SlideEntryList* entries() const;
    QComboBox* listFiles() const;
    QMenu* entryMenu() const { return menu_; }
    TPMultiImage* preview() const;
    TPMultiImage* banner() const;
    QString noteText() const;
    QString previewFile() const { return previewFile_; }

private:
    void readOptions();
    void writeOptions();
    void fillMonitors();
    void startBanner();
    void loadEntries(const QString& listFile, bool* anyLine);
    void entrySelected();
    void showInPreview(const QString& file);
    void updateMenu();
    void say(const QString& text);

    std::unique_ptr<Ui::TDiaPropDlg> ui;
    QString sample_;
    QString previewFile_;
    QMenu* menu_ = nullptr;
    QAction* addAction_ = nullptr;
    QAction* removeAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QTimer bannerTimer_;
};
