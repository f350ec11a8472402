#include "ueberschrdlg.h"
#include "ui_ueberschrdlg.h"

#include "codec/binding/codecwrappers.h"
#include "codec/binding/display.h"
#include "codec/binding/tbitmap.h"
#include "codec/icon/ticon.h"
#include "codec/metafile/tmetafile.h"
#include "platform/messagebox.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace {

// A metafile drawn at most as large as the preview; null when unreadable.
QImage metafileImage(const QString& file, QSize preview)
{
    TMetafile metafile;
    if (!metafile.LoadFromFile(file) || metafile.Size().isEmpty())
        return {};
    QSize size = metafile.Size();
    if (size.width() > preview.width() || size.height() > preview.height())
        size = size.scaled(preview, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    QImage canvas(size, QImage::Format_RGB888);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    metafile.Draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return canvas;
}

// The shown entry of an icon over white; null when unreadable.
QImage iconImage(const QString& file)
{
    TIcon icon;
    if (!icon.LoadFromFile(file) || icon.Picture().isNull())
        return {};
    QImage canvas(icon.Picture().size(), QImage::Format_RGB888);
    canvas.fill(Qt::white);
    QPainter(&canvas).drawImage(0, 0, icon.Picture());
    return canvas;
}

// The picture of a file for the preview, through the codec; null when unreadable.
QImage previewImage(const QString& file, QSize preview)
{
    TBitmap bitmap;
    const QString ext = paths::lowerExtension(file);
    if (ext == ".wmf" || ext == ".emf")
        return metafileImage(file, preview);
    if (ext == ".ico")
        return iconImage(file);
    bool ok = false;
    if (ext == ".jpg" || ext == ".jpeg")
        ok = ReadJpgFileBitmap(file, 24, true, bitmap);
    else if (ext == ".png")
        ok = ReadPngFileBitmap(file, 24, true, bitmap);
    else if (ext == ".gif")
        ok = ReadGifFileBitmap(file, 24, true, bitmap);
    else if (ext == ".bmp" || ext == ".dib")
        ok = ReadBmpFileBitmap(file, 24, true, bitmap);
    else if (ext == ".pcx")
        ok = ReadPcxFileBitmap(file, 24, true, bitmap);
    else if (ext == ".tga")
        ok = ReadTgaFileBitmap(file, 24, true, bitmap);
    else if (ext == ".tif" || ext == ".tiff")
        ok = ReadTiffFileBitmap(file, 24, true, 0, bitmap);
    else if (ext == ".eps")
        ok = ReadEpsFileBitmap(file, 24, true, bitmap);
    return ok ? bitmap.image() : QImage();
}

// Metafiles and icons, which the codec does not describe, as the picture
// pane shows them; false for other files and unreadable ones.
bool describeDrawnFile(const QString& file, PictureFileInfo& info)
{
    const QString ext = paths::lowerExtension(file);
    if (ext == ".wmf" || ext == ".emf") {
        TMetafile metafile;
        if (!metafile.LoadFromFile(file))
            return false;
        info.width = metafile.Width();
        info.height = metafile.Height();
        info.bits = DeviceDepth();
    } else if (ext == ".ico") {
        TIcon icon;
        if (!icon.LoadFromFile(file) || !icon.Shown())
            return false;
        info.width = icon.Width();
        info.height = icon.Height();
        info.bits = icon.Shown()->imageBits;
        info.colors = icon.Shown()->imageColors;
    } else {
        return false;
    }
    info.type = info.compression = ext.mid(1).toUpper();
    info.planes = 1;
    return true;
}

}  // namespace

TueberschrDlg::TueberschrDlg(const QString& existing, const QString& incoming, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TueberschrDlg>()), existing_(existing), incoming_(incoming)
{
    ui->setupUi(this);
    ui->AltName->setText(existing);
    ui->NeuName->setText(incoming);
    ui->Meldung->setText("Die Datei \"" + existing + "\" bereits vorhanden. Wie möchten Sie vorgehen?");
    showPreview(ui->AltBild, existing);
    showPreview(ui->NeuBild, incoming);
    ui->AltInfo->setText(pictureInfo(existing));
    ui->NeuInfo->setText(pictureInfo(incoming));
    ui->NeuerName->setText(paths::fileName(proposedName(existing)));
    connect(ui->NeuerName, &QLineEdit::textChanged, this, &TueberschrDlg::checkNewName);
    connect(ui->Ueberschreiben, &QPushButton::clicked, this, [this] { done(Overwrite); });
    connect(ui->Ueberspringen, &QPushButton::clicked, this, [this] { done(Skip); });
    connect(ui->Umbenennen, &QPushButton::clicked, this, [this] { done(Rename); });
    connect(ui->Abbrechen, &QPushButton::clicked, this, [this] { done(Cancel); });
    checkNewName();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = geometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

TueberschrDlg::~TueberschrDlg() = default;

void TueberschrDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        done(Cancel);
        return;
    }
    // Enter in the name field stands for "Umbenennen", even while the
    // button is off, so that a refused name is explained
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && focusWidget() == ui->NeuerName) {
        done(Rename);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TueberschrDlg::showPreview(QLabel* label, const QString& file)
{
    const QImage image = previewImage(file, label->minimumSize());
    if (image.isNull()) {
        label->clear();
        return;
    }
    label->setPixmap(QPixmap::fromImage(
        image.scaled(label->minimumSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

QString TueberschrDlg::proposedName(const QString& existing)
{
    const QString name = paths::fileName(existing);
    const int dot = name.lastIndexOf('.');
    const QString base = dot < 0 ? name : name.left(dot);
    const QString ext = dot < 0 ? QString() : name.mid(dot);
    const QString folder = paths::withTrailingSeparator(QFileInfo(existing).absolutePath());
    QString candidate;
    for (int k = 1;; ++k) {
        candidate = folder + base + "_" + QString::number(k) + ext;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

bool TueberschrDlg::isUsableName(const QString& name, const QString& folder)
{
    return nameProblem(name, folder).isEmpty();
}

QString TueberschrDlg::nameProblem(const QString& name, const QString& folder)
{
    if (name.isEmpty())
        return QStringLiteral("Bitte geben Sie einen neuen Dateinamen ein.");
    if (name == "." || name == ".." || name.contains('/'))
        return "\"" + name + "\" ist kein Dateiname: Der neue Name darf keinen Ordner nennen.";
    for (QChar c : QStringLiteral("\\:*?\"<>|"))
        if (name.contains(c))
            return QStringLiteral("Ein Dateiname darf keines der Zeichen \\ : * ? \" < > | enthalten.");
    if (QFileInfo::exists(paths::withTrailingSeparator(folder) + name))
        return "Die Datei \"" + name + "\" ist bereits vorhanden.";
    return {};
}

void TueberschrDlg::done(int result)
{
    if (result == Rename) {
        const QString problem = nameProblem(ui->NeuerName->text(), QFileInfo(existing_).absolutePath());
        if (!problem.isEmpty()) {
            MessageBox::warning(this, QStringLiteral("Umbenennen"), problem);
            ui->NeuerName->setFocus();
            return;
        }
    }
    QDialog::done(result);
}

QString TueberschrDlg::pictureInfo(const QString& file)
{
    PictureFileInfo info;
    const bool known = describeDrawnFile(file, info) || ReadFileInfo(file, info);
    int width = info.width, height = info.height;
    if (paths::lowerExtension(file).startsWith(".tif")) {
        TiffPageInfo page;
        if (ReadTiffPageInfo(file, 0, page)) {
            width = page.width;
            height = page.height;
            info.bits = page.bits;
            info.compression = page.compression;
        }
    }
    if (!known && width == 0)
        return QString();
    QString text = QString::number(width) + " x " + QString::number(height);
    if (info.colors > 0)
        text += "  " + QString::number(info.colors) + " Farbe(n)";
    text += "  " + QString::number(info.bits) + " Bit per Pixel  " + QString::number(info.planes)
        + " Ebene(n)  Komprimierung: " + info.compression + "  Größe: " + QString::number(QFileInfo(file).size())
        + " Byte";
    return text;
}

QString TueberschrDlg::renameTarget() const
{
    const QString name = ui->NeuerName->text();
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/'))
        return {};   // never a path outside the folder
    return paths::withTrailingSeparator(QFileInfo(existing_).absolutePath()) + ui->NeuerName->text();
}

QString TueberschrDlg::newNameText() const
{
    return ui->NeuerName->text();
}

void TueberschrDlg::setNewNameText(const QString& name)
{
    ui->NeuerName->setText(name);
}

bool TueberschrDlg::renameEnabled() const
{
    return ui->Umbenennen->isEnabled();
}

QString TueberschrDlg::infoText(bool existingSide) const
{
    return existingSide ? ui->AltInfo->text() : ui->NeuInfo->text();
}

QPixmap TueberschrDlg::previewPixmap(bool existingSide) const
{
    return (existingSide ? ui->AltBild : ui->NeuBild)->pixmap();
}

void TueberschrDlg::checkNewName()
{
    ui->Umbenennen->setEnabled(isUsableName(ui->NeuerName->text(), QFileInfo(existing_).absolutePath()));
}
