#include "mmopendialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

TMMOpenDialog::Script& currentScript()
{
    static TMMOpenDialog::Script script;
    return script;
}

struct FilterEntry {
    const char* caption;
    const char* extension;
};

// The save and open dialogs' picture types, in filter-index order from 1.
constexpr FilterEntry kPictureTypes[] = {
    {"Windows Bitmap (*.bmp)", ".bmp"},      {"Compuserve GIF (*.gif)", ".gif"},
    {"JPEG (*.jpg)", ".jpg"},                {"PaintShop Pro PCX (*.pcx)", ".pcx"},
    {"Portable Network Graphics (*.png)", ".png"}, {"Tagged Image File (*.tif)", ".tif"},
    {"Targa (*.tga)", ".tga"},               {"Device Independent Bitmap (*.dib)", ".dib"},
    {"JPEG (*.jpeg)", ".jpeg"},              {"Tagged Image File (*.tiff)", ".tiff"},
    {"Encapsulated PostScript (*.eps)", ".eps"}, {"Windows Metafile (*.wmf)", ".wmf"},
    {"Enhanced Metafile (*.emf)", ".emf"},   {"Windows Icon (*.ico)", ".ico"},
};
constexpr int kPictureTypeCount = int(std::size(kPictureTypes));

}  // namespace

TMMOpenDialog::TMMOpenDialog(QWidget* parentWindow) : parentWindow_(parentWindow) {}

TMMOpenDialog::~TMMOpenDialog() = default;

void TMMOpenDialog::setScript(Script script)
{
    currentScript() = std::move(script);
}

QStringList TMMOpenDialog::pictureFilters()
{
    QStringList filters;
    QStringList all;
    for (const FilterEntry& e : kPictureTypes) {
        filters << QString::fromUtf8(e.caption);
        all << QStringLiteral("*") + QLatin1String(e.extension);
    }
    filters << QStringLiteral("Alle unterstützten Formate (%1)").arg(all.join(QLatin1Char(' ')));
    return filters;
}

QString TMMOpenDialog::extensionForFilterIndex(int index)
{
    if (index < 1 || index > kPictureTypeCount)
        return {};
    return QLatin1String(kPictureTypes[index - 1].extension);
}

SaveDialogOptions TMMOpenDialog::saveOptions() const
{
    SaveDialogOptions o;
    o.TIFFAppended = TIFFAppended;
    o.TIFFARI = TIFFARI;
    o.TIFFFirfPageValue = TIFFFirfPageValue;
    o.TiffPageCount = TiffPageCount;
    o.EPSSaveLevel = EPSSaveLevel;
    o.EPSSavePreview = EPSSavePreview;
    o.EPSSaveCompression = EPSSaveCompression;
    o.EPSSaveBorder = EPSSaveBorder;
    o.Annoeinbetten = Annoeinbetten;
    o.Annosave = Annosave;
    return o;
}

bool TMMOpenDialog::Execute()
{
    if (currentScript())
        return currentScript()(*this);
    QFileDialog dlg(parentWindow_, Title, InitialDir);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    const QStringList filters = Filters.isEmpty() ? pictureFilters() : Filters;
    dlg.setNameFilters(filters);
    if (FilterIndex >= 1 && FilterIndex <= filters.size())
        dlg.selectNameFilter(filters.at(FilterIndex - 1));
    if (mode == SaveMode) {
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
    } else {
        dlg.setFileMode(QFileDialog::ExistingFile);
    }
    if (!FileName.isEmpty())
        dlg.selectFile(FileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    FileName = dlg.selectedFiles().constFirst();
    FilterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
    DefaultExt = extensionForFilterIndex(FilterIndex);
    return true;
}
