#include "mmopendialog.h"

#include "mediapreview.h"
#include "pmultiimage.h"
#include "previewpanel.h"
#include "saveoptionspanel.h"
#include "tiffpageview.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/tbitmap.h"
#include "codec/icon/ticon.h"
#include "codec/metafile/metafileconvert.h"
#include "codec/metafile/tmetafile.h"
#include "platform/colors.h"
#include "platform/hourglass.h"
#include "thumbnails/ispicturefile.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <memory>

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

// The picture types of the dialogs, in filter-index order from 1.
constexpr FilterEntry kPictureTypes[] = {
    {"Windows Bitmap (*.bmp)", ".bmp"},
    {"Compuserve GIF (*.gif)", ".gif"},
    {"JPEG (*.jpg)", ".jpg"},
    {"PaintShop Pro PCX (*.pcx)", ".pcx"},
    {"Portable Network Graphics (*.png)", ".png"},
    {"Tagged Image File (*.tif)", ".tif"},
    {"Targa (*.tga)", ".tga"},
    {"Device Independent Bitmap (*.dib)", ".dib"},
    {"JPEG (*.jpeg)", ".jpeg"},
    {"Tagged Image File (*.tiff)", ".tiff"},
    {"Encapsulated PostScript (*.eps)", ".eps"},
    {"Windows Metafile (*.wmf)", ".wmf"},
    {"Enhanced Metafile (*.emf)", ".emf"},
    {"Windows Icon (*.ico)", ".ico"},
};
constexpr int kPictureTypeCount = int(std::size(kPictureTypes));
constexpr int kAllFormatsIndex = kPictureTypeCount + 1;

struct MediaEntry {
    const char* extension;  // upper case, as MediaPreview lists it
    const char* caption;
};

constexpr MediaEntry kMediaTypes[] = {
    {"WAV", "Wave Sound (*.wav)"},
    {"AVI", "Video for Windows (*.avi)"},
    {"MOV", "Apple Quicktime Video (*.mov)"},
};

QString allFormatsEntry(const QStringList& patterns)
{
    return QStringLiteral("Alle unterstützten Formate (%1)").arg(patterns.join(QLatin1Char(' ')));
}

QStringList picturePatterns()
{
    QStringList patterns;
    for (const FilterEntry& e : kPictureTypes)
        patterns << QStringLiteral("*") + QLatin1String(e.extension);
    return patterns;
}

// The extension of a filter's first pattern: ".txt" for "Text (*.txt *.TXT)";
// empty when that pattern names no single extension ("Alle Dateien (*)").
QString extensionOfFilter(const QString& filter)
{
    const int open = int(filter.lastIndexOf(QLatin1Char('(')));
    const int close = int(filter.lastIndexOf(QLatin1Char(')')));
    if (open < 0 || close < open)
        return {};
    const QString first = filter.mid(open + 1, close - open - 1).section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    if (!first.startsWith(QLatin1String("*.")))
        return {};
    const QString ext = first.mid(1);
    if (ext.size() < 2 || ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?')))
        return {};
    return ext;
}

// The name with its extension replaced by (or, without one, given) ext.
QString withExtension(const QString& name, const QString& ext)
{
    const int dot = int(name.lastIndexOf(QLatin1Char('.')));
    return (dot > 0 ? name.left(dot) : name) + ext;
}

// a * b / c rounded to the nearest whole number, halves to even.
int scaledHalfEven(qint64 a, qint64 b, qint64 c)
{
    if (c <= 0)
        return 0;
    const qint64 n = a * b;
    qint64 q = n / c;
    const qint64 twice = 2 * (n % c);
    if (twice > c || (twice == c && (q % 2) != 0))
        ++q;
    return int(q);
}

// The size a picture of `picture` takes shrunk into `view`, aspect kept.
QSize shrunkInto(QSize picture, QSize view)
{
    const qint64 pw = picture.width();
    const qint64 ph = picture.height();
    const qint64 vw = std::max(1, view.width());
    const qint64 vh = std::max(1, view.height());
    if (pw * vh >= ph * vw)
        return {int(vw), std::max(1, scaledHalfEven(vw, ph, pw))};
    return {std::max(1, scaledHalfEven(vh, pw, ph)), int(vh)};
}

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
    for (const FilterEntry& e : kPictureTypes)
        filters << QString::fromUtf8(e.caption);
    filters << allFormatsEntry(picturePatterns());
    return filters;
}

QStringList TMMOpenDialog::openFilters()
{
    const QStringList playable = MediaPreview::PlayableExtensions();
    QStringList patterns = picturePatterns();
    QStringList media;
    for (const MediaEntry& m : kMediaTypes) {
        if (!playable.contains(QLatin1String(m.extension)))
            continue;
        patterns << QStringLiteral("*.") + QString::fromLatin1(m.extension).toLower();
        media << QString::fromUtf8(m.caption);
    }
    QStringList filters = pictureFilters();
    filters.last() = allFormatsEntry(patterns);
    return filters + media;
}

QString TMMOpenDialog::extensionForFilterIndex(int index)
{
    if (index < 1 || index > kPictureTypeCount)
        return {};
    return QLatin1String(kPictureTypes[index - 1].extension);
}

int TMMOpenDialog::filterIndexOfExtension(const QString& suffix)
{
    const QString dotted = QLatin1Char('.') + suffix.toLower();
    for (int i = 0; i < kPictureTypeCount; ++i)
        if (dotted == QLatin1String(kPictureTypes[i].extension))
            return i + 1;
    return 0;
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
    return run(false);
}

// ---- running -------------------------------------------------------------------

QStringList TMMOpenDialog::filterList(bool saveDialog) const
{
    if (!Filters.isEmpty())
        return Filters;
    return !saveDialog && mode == OpenMode ? openFilters() : pictureFilters();
}

bool TMMOpenDialog::run(bool saveDialog)
{
    if (fileDialog_)
        return false;  // already running
    buildDialog(saveDialog);
    const std::unique_ptr<QFileDialog> owner(fileDialog_);
    struct Forget {
        TMMOpenDialog* self;
        ~Forget()
        {
            self->fileDialog_ = nullptr;
            self->preview_ = nullptr;
            self->options_ = nullptr;
        }
    } forget{this};
    connectDialog();
    showDialog();
    bool confirmed = false;
    if (currentScript()) {
        confirmed = currentScript()(*this);
    } else {
        confirmed = fileDialog_->exec() == QDialog::Accepted && !fileDialog_->selectedFiles().isEmpty();
        if (confirmed)
            FileName = fileDialog_->selectedFiles().constFirst();
    }
    closeDialog();
    return confirmed;
}

void TMMOpenDialog::buildDialog(bool saveDialog)
{
    fileDialog_ = new QFileDialog(parentWindow_, Title, InitialDir);
    fileDialog_->setOption(QFileDialog::DontUseNativeDialog);
    fileDialog_->setAcceptMode(saveDialog ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fileDialog_->setFileMode(saveDialog ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // the caller asks about overwriting, in its own words
    fileDialog_->setOption(QFileDialog::DontConfirmOverwrite, saveDialog);
    shownFilters_ = filterList(saveDialog);
    fileDialog_->setNameFilters(shownFilters_);
    if (FilterIndex >= 1 && FilterIndex <= shownFilters_.size())
        fileDialog_->selectNameFilter(shownFilters_.at(FilterIndex - 1));
    typeChangeName_.clear();
    if (!FileName.isEmpty()) {
        fileDialog_->selectFile(FileName);
        typeChangeName_ = QFileInfo(FileName).fileName();
    }

    preview_ = new PreviewPanel(fileDialog_);
    options_ = new SaveOptionsPanel(*this, preview_);
    preview_->setOptionsPanel(options_);
    if (auto* grid = qobject_cast<QGridLayout*>(fileDialog_->layout()))
        grid->addWidget(preview_, 0, grid->columnCount(), grid->rowCount(), 1);
    else if (fileDialog_->layout())
        fileDialog_->layout()->addWidget(preview_);
    fitDetailColumns();
    // room for the file list beside the preview column
    const QSize size = fileDialog_->sizeHint();
    fileDialog_->resize(std::max(size.width(), 900), std::max(size.height(), 480));
}

// The detail list's size, type and date columns take the width of their
// texts; the name column gets the rest.
void TMMOpenDialog::fitDetailColumns()
{
    auto* list = fileDialog_->findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!list)
        return;
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

void TMMOpenDialog::connectDialog()
{
    connect(fileDialog_, &QFileDialog::currentChanged, this, &TMMOpenDialog::SelectionChanged);
    connect(fileDialog_, &QFileDialog::filterSelected, this, &TMMOpenDialog::fileTypeChosen);
    // a preview still loading when the user closes the dialog stops
    connect(fileDialog_, &QDialog::finished, this, [this] { cancel_ = true; });
    // The dialog may put the chosen type's extension into the name box before
    // it reports the new type: remember the name the user typed or chose.
    if (auto* box = fileDialog_->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        connect(box, &QLineEdit::textEdited, this, [this](const QString& text) { typeChangeName_ = text; });
    connect(fileDialog_, &QFileDialog::currentChanged, this, [this](const QString& path) {
        if (!QFileInfo(path).isDir())
            typeChangeName_ = QFileInfo(path).fileName();
    });

    PreviewPanel* p = preview_;
    TiffPageView* pages = p->PageView();
    connect(p->FirstButton(), &QToolButton::clicked, pages, &TiffPageView::FirstPage);
    connect(p->PriorButton(), &QToolButton::clicked, pages, &TiffPageView::PriorPage);
    connect(p->NextButton(), &QToolButton::clicked, pages, &TiffPageView::NextPage);
    connect(p->LastButton(), &QToolButton::clicked, pages, &TiffPageView::LastPage);
    pages->OnPageShown = [this](int page, int count) { pageShown(page, count); };
    pages->OnProgress = [this](int percent) { return viewerProgress(percent); };

    TPMultiImage* picture = p->PictureView();
    picture->OnProgress = [this](QObject*, qint16 percent, const QString&, bool& cancel) {
        cancel = viewerProgress(percent);
    };
    // a picture that fails to load leaves the preview empty
    picture->OnIlibError = [picture](QObject*, qint16, const QString&, const char*) {
        picture->setPicture(TBitmap());
    };

    MediaPreview* media = p->MediaView();
    connect(p->PlayButton(), &QToolButton::clicked, media, &MediaPreview::Play);
    connect(p->PauseButton(), &QToolButton::clicked, media, &MediaPreview::Pause);
    connect(p->StopButton(), &QToolButton::clicked, media, &MediaPreview::Stop);
}

void TMMOpenDialog::showDialog()
{
    PreviewPanel* p = preview_;
    p->PreviewButton()->setToolTip(PreviewBtnHint);
    p->PreviewButton()->setChecked(DoPreview);
    connect(p->PreviewButton(), &QToolButton::toggled, this, &TMMOpenDialog::PreviewButtonToggled);
    p->FirstButton()->setToolTip(TiffFirstHint);
    p->PriorButton()->setToolTip(TiffPrior);
    p->NextButton()->setToolTip(TiffNextHint);
    p->LastButton()->setToolTip(TiffLast);
    clearPreview();
    options_->LoadProperties();
    applyFilter();
    p->setOptionsShown(mode == SaveMode);
}

void TMMOpenDialog::closeDialog()
{
    cancel_ = true;
    if (preview_)
        preview_->MediaView()->Stop();
    QToolTip::hideText();
}

// ---- file type -------------------------------------------------------------------

QString TMMOpenDialog::NameBoxText() const
{
    const auto* box = fileDialog_ ? fileDialog_->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
    return box ? box->text() : QString();
}

void TMMOpenDialog::setNameBoxText(const QString& text)
{
    typeChangeName_ = text;
    if (auto* box = fileDialog_ ? fileDialog_->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr)
        box->setText(text);
}

void TMMOpenDialog::applyFilter()
{
    // a caller's own filter list gives its own extensions
    if (Filters.isEmpty())
        DefaultExt = extensionForFilterIndex(FilterIndex);
    else
        DefaultExt = FilterIndex >= 1 && FilterIndex <= Filters.size() ? extensionOfFilter(Filters.at(FilterIndex - 1))
                                                                       : QString();
    if (fileDialog_)
        fileDialog_->setDefaultSuffix(DefaultExt.mid(1));
    if (options_)
        options_->ShowTypeOf(FilterIndex);
}

void TMMOpenDialog::fileTypeChosen(const QString& filter)
{
    const int index = int(shownFilters_.indexOf(filter));
    if (index >= 0)
        TypeChanged(index + 1);
}

// The chosen type wins over an extension typed before: the name takes the
// type's extension, and a folder typed with it stays.
void TMMOpenDialog::TypeChanged(int filterIndex)
{
    const QString name = typeChangeName_.isEmpty() ? NameBoxText() : typeChangeName_;
    FilterIndex = filterIndex;
    applyFilter();
    const int slash = int(name.lastIndexOf(QLatin1Char('/')));
    const QString folder = name.left(slash + 1);
    QString file = name.mid(slash + 1);
    if (FilterIndex != kAllFormatsIndex && !DefaultExt.isEmpty() && !file.isEmpty())
        file = withExtension(file, DefaultExt);
    setNameBoxText(folder + file);
}

// ---- preview ---------------------------------------------------------------------

void TMMOpenDialog::SelectionChanged(const QString& path)
{
    currentPath_ = path;
    applyFilter();
    if (!preview_ || !preview_->PreviewButton()->isChecked())
        return;
    preview(path);
}

void TMMOpenDialog::PreviewButtonToggled(bool pressed)
{
    if (!preview_)
        return;
    if (pressed) {
        QString path = currentPath_;
        if (path.isEmpty() && !fileDialog_->selectedFiles().isEmpty())
            path = fileDialog_->selectedFiles().constFirst();
        preview(path);
        return;
    }
    if (previewBusy_)
        cancel_ = true;
    clearPreview();
}

void TMMOpenDialog::preview(const QString& path)
{
    if (previewBusy_) {
        // a load is running further down the stack: stop it, then show this file
        cancel_ = true;
        pendingPreview_ = path;
        previewPending_ = true;
        return;
    }
    previewBusy_ = true;
    QString next = path;
    for (;;) {
        previewPending_ = false;
        cancel_ = false;
        previewPicture(next);
        loading_ = false;
        if (!previewPending_ || !preview_)
            break;
        next = pendingPreview_;
    }
    previewBusy_ = false;
    // released while the load ran
    if (preview_ && !preview_->PreviewButton()->isChecked())
        clearPreview();
}

void TMMOpenDialog::previewPicture(const QString& path)
{
    if (OnMMFileName && !OnMMFileName(this, path)) {
        clearPreview();
        return;
    }
    const bool media = MediaPreview::IsMediaFile(path);
    if (!media && !IsPictureFile(path)) {
        clearPreview();
        return;
    }
    {
        HourglassCursor busy;
        const QString ext = QFileInfo(path).suffix().toUpper();
        try {
            if (media)
                previewOther(path);
            else if (ext == QLatin1String("EMF") || ext == QLatin1String("WMF"))
                previewMetafile(path);
            else if (ext == QLatin1String("ICO"))
                previewIcon(path);
            else if (ext == QLatin1String("TIF") || ext == QLatin1String("TIFF"))
                previewTiff(path);
            else
                previewOther(path);
        } catch (...) {
            clearPreview();
        }
    }
    fitPictureView();
}

void TMMOpenDialog::fitPictureView()
{
    TPMultiImage* picture = preview_->PictureView();
    picture->setAutoSize(false);
    picture->setCenter(true);
    picture->setStretchRatio(true);
    picture->setStretch(false);
}

void TMMOpenDialog::clearPreview()
{
    PreviewPanel* p = preview_;
    p->PageView()->Clear();
    p->setPageStripShown(false);
    p->setPlayerShown(false);
    p->MediaView()->Clear();
    p->showViewer(PreviewPanel::PictureViewer);
    p->PictureView()->setImageName(QString());
}

void TMMOpenDialog::previewMetafile(const QString& path)
{
    clearPreview();
    fitPictureView();
    TPMultiImage* picture = preview_->PictureView();
    TMetafile metafile;
    if (!metafile.LoadFromFile(path))
        return;
    const QSize view = picture->size();
    TBitmap bitmap;
    if (metafile.Width() > view.width() || metafile.Height() > view.height()) {
        // drawn straight at the shrunk size rather than shrinking a full-size rendering
        const QSize size = shrunkInto(metafile.Size(), view);
        QImage canvas(size, QImage::Format_RGB888);
        canvas.fill(Qt::white);
        {
            QPainter p(&canvas);
            metafile.Draw(p, QRectF(QPointF(0, 0), QSizeF(size)));
        }
        bitmap = TBitmap(canvas, pf24bit);
    } else if (MetafileToBitmap(&bitmap, &metafile, false)) {
        bitmap.setPixelFormat(pf24bit);
    }
    picture->setImageName(path);
    picture->setPicture(bitmap);
}

void TMMOpenDialog::previewIcon(const QString& path)
{
    clearPreview();
    TPMultiImage* picture = preview_->PictureView();
    TIcon icon;
    if (!icon.LoadFromFile(path) || icon.Picture().isNull())
        return;
    QImage canvas(icon.Picture().size(), QImage::Format_RGB888);
    canvas.fill(colors::toQColor(picture->Color()));
    QPainter(&canvas).drawImage(0, 0, icon.Picture());
    picture->setImageName(path);
    picture->setPicture(TBitmap(canvas, pf24bit));
}

void TMMOpenDialog::previewTiff(const QString& path)
{
    TiffPageInfo first;
    if (!ReadTiffPageInfo(path, 0, first) || first.pages < 1) {
        TiffSelectedPage = 0;
        clearPreview();
        return;
    }
    const int page = std::clamp(int(TiffSelectedPage), 0, first.pages - 1);
    TiffSelectedPage = qint16(page);
    PreviewPanel* p = preview_;
    p->setPageStripShown(true);
    p->setPlayerShown(false);
    p->MediaView()->Clear();
    cancel_ = false;
    p->showViewer(PreviewPanel::PageViewer);
    p->PictureView()->setImageName(QString());
    TiffPageInfo shown;
    TiffPageCount = ReadTiffPageInfo(path, page, shown) ? shown.pages : first.pages;
    p->PageView()->LoadPage(path, page, TiffPageCount);
}

void TMMOpenDialog::previewOther(const QString& path)
{
    PreviewPanel* p = preview_;
    p->setPageStripShown(false);
    p->PageView()->Clear();
    cancel_ = false;
    if (MediaPreview::IsMediaFile(path)) {
        p->PictureView()->setImageName(QString());
        p->showViewer(PreviewPanel::MediaViewer);
        p->setPlayerShown(p->MediaView()->Open(path));
        return;
    }
    p->MediaView()->Clear();
    p->setPlayerShown(false);
    p->showViewer(PreviewPanel::PictureViewer);
    p->PictureView()->setImageName(path);
}

void TMMOpenDialog::pageShown(int page, int count)
{
    PreviewPanel* p = preview_;
    if (!p)
        return;
    const bool several = count >= 2;
    p->FirstButton()->setEnabled(several && page > 0);
    p->PriorButton()->setEnabled(several && page > 0);
    p->NextButton()->setEnabled(several && page + 1 < count);
    p->LastButton()->setEnabled(several && page + 1 < count);
    p->PageLabel()->setText(QStringLiteral("P %1 of %2").arg(page + 1).arg(count));
    TiffSelectedPage = qint16(page);
}

bool TMMOpenDialog::viewerProgress(int percent)
{
    if (!cancel_) {
        QCoreApplication::processEvents();
        if (preview_ && preview_->ProgressBar()->value() != percent)
            preview_->ProgressBar()->setValue(std::clamp(percent, 0, 100));
        loading_ = percent > 0 && percent <= 97;
    }
    return cancel_;
}
