#pragma once
// The save options that the open and save dialogs carry, as the settings
// store keeps them.

#include <QtGlobal>

class TMMOpenDialog;

struct FileDialogOptions {
    qint32 JPEGQualiy = 85;
    qint32 JPEGSmooth = 5;
    bool PNGInterLaced = true;
    bool TIFFAppended = false;
    qint32 TIFFCompres = 0;
    qint32 TIFFARI = 0;
    qint32 TIFFInsertPage = 1;   // the page number for insert and replace
    qint32 EPSSaveLevel = 0;
    qint32 EPSSavePreview = 1;
    qint32 EPSSaveCompression = 1;
    qint32 EPSSaveBorder = 0;
    bool Annoeinbetten = false;
    bool Annosave = true;
};

// Puts the stored options into a dialog, and reads them back from one.
void applyFileDialogOptions(const FileDialogOptions& options, TMMOpenDialog& dialog);
FileDialogOptions fileDialogOptionsOf(const TMMOpenDialog& dialog);
