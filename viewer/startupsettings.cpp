#include "startupsettings.h"

#include "platform/settings.h"

namespace {
const QString kStartUp = QStringLiteral("StartUp");
const QString kFX = QStringLiteral("FXEffect");
}  // namespace

StartupSettings StartupSettings::read(const Settings& s)
{
    StartupSettings r;
    const StartupSettings d;
    r.Delay = s.readInteger(kFX, "Delay", d.Delay);
    r.Thick = s.readInteger(kFX, "Thick", d.Thick);
    r.FXMethod = s.readInteger(kFX, "FXMethod", d.FXMethod);
    if (r.FXMethod < 1 || r.FXMethod > 5)
        r.FXMethod = 0;

    r.ViewColor = s.readInteger(kStartUp, "ViewColor", d.ViewColor);
    r.BaseFolder = s.readString(kStartUp, "BaseFolder", d.BaseFolder);
    ThumbnailAppearance& t = r.thumbs;
    t.diax = s.readInteger(kStartUp, "diax", d.thumbs.diax);
    t.diay = s.readInteger(kStartUp, "diay", d.thumbs.diay);
    t.diacolor = s.readInteger(kStartUp, "diacolor", d.thumbs.diacolor);
    t.diarahmen = s.readInteger(kStartUp, "diarahmen", d.thumbs.diarahmen);
    t.rahmenw = s.readInteger(kStartUp, "rahmenw", d.thumbs.rahmenw);
    t.diasel = s.readInteger(kStartUp, "diasel", d.thumbs.diasel);
    t.fillcolor = s.readInteger(kStartUp, "fillcolor", d.thumbs.fillcolor);
    r.StretchRatio = s.readBool(kStartUp, "StretchRatio", d.StretchRatio);
    r.Center = s.readBool(kStartUp, "Center", d.Center);
    r.AllowRubberBand = s.readBool(kStartUp, "AllowRubberBand", d.AllowRubberBand);
    r.EditAnnotat = s.readBool(kStartUp, "EditAnnotat", d.EditAnnotat);
    t.diarahmencolor = s.readInteger(kStartUp, "diarahmencolor", d.thumbs.diarahmencolor);
    t.diafillcolor = s.readInteger(kStartUp, "diafillcolor", d.thumbs.diafillcolor);
    r.lastfolder = s.readBool(kStartUp, "lastfolder", d.lastfolder);
    r.Copyfolder = s.readString(kStartUp, "Copyfolder", d.Copyfolder);
    r.Movefolder = s.readString(kStartUp, "Movefolder", d.Movefolder);
    r.f_w = s.readInteger(kStartUp, "f_w", d.f_w);
    r.f_h = s.readInteger(kStartUp, "f_h", d.f_h);
    r.f_x = s.readInteger(kStartUp, "f_x", d.f_x);
    r.f_y = s.readInteger(kStartUp, "f_y", d.f_y);
    r.sp_v = s.readInteger(kStartUp, "sp_v", d.sp_v);
    r.sp_b = s.readInteger(kStartUp, "sp_b", d.sp_b);
    r.sel_bild = s.readString(kStartUp, "sel_bild", d.sel_bild);

    FileDialogOptions& o = r.dialog;
    o.Annoeinbetten = s.readBool(kStartUp, "Annoimbedded", d.dialog.Annoeinbetten);
    o.Annosave = s.readBool(kStartUp, "SaveAnnotation", d.dialog.Annosave);
    o.TIFFARI = s.readInteger(kStartUp, "TIFFARI", d.dialog.TIFFARI);
    o.TIFFInsertPage = s.readInteger(kStartUp, "TIFFInsertPage", d.dialog.TIFFInsertPage);
    o.EPSSaveLevel = s.readInteger(kStartUp, "EPSSaveLevel", d.dialog.EPSSaveLevel);
    o.EPSSavePreview = s.readInteger(kStartUp, "EPSSavePreview", d.dialog.EPSSavePreview);
    o.EPSSaveCompression = s.readInteger(kStartUp, "EPSSaveCompression", d.dialog.EPSSaveCompression);
    o.EPSSaveBorder = s.readInteger(kStartUp, "EPSSaveBorder", d.dialog.EPSSaveBorder);
    o.JPEGSmooth = s.readInteger(kStartUp, "JPEGSaveSmooth", d.dialog.JPEGSmooth);
    o.JPEGQualiy = s.readInteger(kStartUp, "JPEGSaveQualiy", d.dialog.JPEGQualiy);
    o.PNGInterLaced = s.readBool(kStartUp, "PNGInterLaced", d.dialog.PNGInterLaced);
    o.TIFFAppended = s.readBool(kStartUp, "TIFFAppended", d.dialog.TIFFAppended);
    o.TIFFCompres = s.readInteger(kStartUp, "TIFFCompres", d.dialog.TIFFCompres);

    r.AutoLoadAnno = s.readBool(kStartUp, "AutoLoadAnno", d.AutoLoadAnno);
    r.Arranging = s.readInteger(kStartUp, "Arranging", d.Arranging);
    r.Arranging_Direction = s.readInteger(kStartUp, "Arranging_Direction", d.Arranging_Direction);
    r.SaveDiaDB = s.readBool(kStartUp, "SaveDiaDB", d.SaveDiaDB);
    t.ThumbFontColor = s.readInteger(kStartUp, "ThumbFontColor", d.thumbs.ThumbFontColor);

    t.applySizeRule();
    return r;
}

void StartupSettings::write(Settings& s) const
{
    s.writeInteger(kFX, "Delay", Delay);
    s.writeInteger(kFX, "Thick", Thick);
    s.writeInteger(kFX, "FXMethod", FXMethod);
    s.writeInteger(kStartUp, "ViewColor", ViewColor);
    s.writeString(kStartUp, "BaseFolder", BaseFolder);
    const ThumbnailAppearance& t = thumbs;
    s.writeInteger(kStartUp, "diax", t.diax);
    s.writeInteger(kStartUp, "diay", t.diay);
    s.writeInteger(kStartUp, "diacolor", t.diacolor);
    s.writeInteger(kStartUp, "diarahmen", t.diarahmen);
    s.writeInteger(kStartUp, "rahmenw", t.rahmenw);
    s.writeInteger(kStartUp, "diasel", t.diasel);
    s.writeInteger(kStartUp, "fillcolor", t.fillcolor);
    s.writeInteger(kStartUp, "diarahmencolor", t.diarahmencolor);
    s.writeInteger(kStartUp, "diafillcolor", t.diafillcolor);
    s.writeBool(kStartUp, "lastfolder", lastfolder);
    s.writeString(kStartUp, "Copyfolder", Copyfolder);
    s.writeString(kStartUp, "Movefolder", Movefolder);
    s.writeBool(kStartUp, "StretchRatio", StretchRatio);
    s.writeBool(kStartUp, "Center", Center);
    s.writeBool(kStartUp, "AllowRubberBand", AllowRubberBand);
    s.writeBool(kStartUp, "EditAnnotat", EditAnnotat);
    s.writeInteger(kStartUp, "f_w", f_w);
    s.writeInteger(kStartUp, "f_h", f_h);
    s.writeInteger(kStartUp, "f_x", f_x);
    s.writeInteger(kStartUp, "f_y", f_y);
    s.writeInteger(kStartUp, "sp_v", sp_v);
    s.writeInteger(kStartUp, "sp_b", sp_b);
    s.writeString(kStartUp, "sel_bild", sel_bild);
    const FileDialogOptions& o = dialog;
    s.writeBool(kStartUp, "Annoimbedded", o.Annoeinbetten);
    s.writeBool(kStartUp, "SaveAnnotation", o.Annosave);
    s.writeInteger(kStartUp, "JPEGSaveSmooth", o.JPEGSmooth);
    s.writeInteger(kStartUp, "JPEGSaveQualiy", o.JPEGQualiy);
    s.writeBool(kStartUp, "PNGInterLaced", o.PNGInterLaced);
    s.writeBool(kStartUp, "TIFFAppended", o.TIFFAppended);
    s.writeInteger(kStartUp, "TIFFCompres", o.TIFFCompres);
    s.writeInteger(kStartUp, "Arranging", Arranging);
    s.writeInteger(kStartUp, "Arranging_Direction", Arranging_Direction);
    s.writeInteger(kStartUp, "TIFFARI", o.TIFFARI);
    s.writeInteger(kStartUp, "TIFFInsertPage", o.TIFFInsertPage);
    s.writeInteger(kStartUp, "EPSSaveLevel", o.EPSSaveLevel);
    s.writeInteger(kStartUp, "EPSSavePreview", o.EPSSavePreview);
    s.writeInteger(kStartUp, "EPSSaveCompression", o.EPSSaveCompression);
    s.writeInteger(kStartUp, "EPSSaveBorder", o.EPSSaveBorder);
    s.writeBool(kStartUp, "AutoLoadAnno", AutoLoadAnno);
    s.writeInteger(kStartUp, "ThumbFontColor", t.ThumbFontColor);
    s.writeBool(kStartUp, "SaveDiaDB", SaveDiaDB);
}

bool StartupSettings::geometryAcceptable(const QSize& screen) const
{
    return f_w > 100 && f_h > 100 && f_x > -20 && f_x < screen.width() && f_y > -20
        && f_y < screen.height();
}
