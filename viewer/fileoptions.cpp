#include "fileoptions.h"

#include "imagecontrol/mmopendialog.h"

void applyFileDialogOptions(const FileDialogOptions& o, TMMOpenDialog& d)
{
    d.JPEGQualiy = o.JPEGQualiy;
    d.JPEGSmooth = o.JPEGSmooth;
    d.PNGInterLaced = o.PNGInterLaced;
    d.TIFFAppended = o.TIFFAppended;
    d.TIFFCompres = o.TIFFCompres;
    d.TIFFARI = o.TIFFARI;
    d.TIFFFirfPageValue = o.TIFFInsertPage;
    d.EPSSaveLevel = o.EPSSaveLevel;
    d.EPSSavePreview = o.EPSSavePreview;
    d.EPSSaveCompression = o.EPSSaveCompression;
    d.EPSSaveBorder = o.EPSSaveBorder;
    d.Annoeinbetten = o.Annoeinbetten;
    d.Annosave = o.Annosave;
}

FileDialogOptions fileDialogOptionsOf(const TMMOpenDialog& d)
{
    FileDialogOptions o;
    o.JPEGQualiy = d.JPEGQualiy;
    o.JPEGSmooth = d.JPEGSmooth;
    o.PNGInterLaced = d.PNGInterLaced;
    o.TIFFAppended = d.TIFFAppended;
    o.TIFFCompres = d.TIFFCompres;
    o.TIFFARI = d.TIFFARI;
    o.TIFFInsertPage = d.TIFFFirfPageValue;
    o.EPSSaveLevel = d.EPSSaveLevel;
    o.EPSSavePreview = d.EPSSavePreview;
    o.EPSSaveCompression = d.EPSSaveCompression;
    o.EPSSaveBorder = d.EPSSaveBorder;
    o.Annoeinbetten = d.Annoeinbetten;
    o.Annosave = d.Annosave;
    return o;
}
