#include "whgrdlg.h"
#include "ui_whgrdlg.h"

#include "viewer/ueberschrdlg.h"

#include "platform/messagebox.h"
#include "platform/ownfilewriter.h"
#include "platform/settings.h"
#include "platform/wallpaper.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QByteArray bmpData(const QImage& bitmap)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    return bitmap.save(&buffer, "BMP") ? data : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    OwnFileWriter writer(path);
    return !data.isEmpty() && writer.open() && writer.write(data) && writer.commit();
}

// The name with its extension replaced by ".bmp".
QString bmpName(const QString& name)
{
    const int dot = name.lastIndexOf('.');
    return (dot > 0 ? name.left(dot) : name) + ".bmp";
}

}  // namespace

TWHGRDlg::TWHGRDlg(Overwrite overwrite, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TWHGRDlg>()), overwrite_(std::move(overwrite))
{
    ui->setupUi(this);
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        screen_ = s->size();
    for (QCheckBox* box : {ui->cbAnpassen, ui->cbVerzerrung, ui->cbVollbild})
        connect(box, &QCheckBox::clicked, this, &TWHGRDlg::rebuildPreview);
    connect(ui->btOK, &QPushButton::clicked, this, [this] {
        if (!saveAndSet().isEmpty())
            accept();
    });
    connect(ui->btAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
}

TWHGRDlg::~TWHGRDlg() = default;

void TWHGRDlg::setPicture(const QImage& picture)
{
    picture_ = picture;
    rebuildPreview();
}

void TWHGRDlg::setFileName(const QString& name)
{
    ui->edDateiname->setText(name);
}

void TWHGRDlg::setScreenSize(QSize size)
{
    screen_ = size;
    rebuildPreview();
}

QString TWHGRDlg::wallpaperFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Korvane/Glimra/";
}

QString TWHGRDlg::nameProblem(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("Bitte geben Sie einen Dateinamen ein.");
    if (name.contains('/') || name.contains(QChar(0)))
        return "Der Dateiname \"" + name + "\" darf keinen Schrägstrich \"/\" enthalten.";
    if (name == "." || name == "..")
        return "\"" + name + "\" ist kein zulässiger Dateiname.";
    return {};
}

WallpaperMode TWHGRDlg::mode() const
{
    return wallpaperMode(ui->cbAnpassen->isChecked(), ui->cbVerzerrung->isChecked(), ui->cbVollbild->isChecked());
}

QString TWHGRDlg::note() const
{
    return ui->lbHinweis->text();
}

void TWHGRDlg::say(const QString& text)
{
    ui->lbHinweis->setText(text);
}

void TWHGRDlg::rebuildPreview()
{
    preview_ = wallpaperPreview(picture_, screen_, mode());
    showPreview();
}

void TWHGRDlg::showPreview()
{
    if (preview_.isNull()) {
        ui->lbVorschau->clear();
        return;
    }
    const QSize room = ui->lbVorschau->contentsRect().size();
    ui->lbVorschau->setPixmap(QPixmap::fromImage(
        preview_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void TWHGRDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    showPreview();
}

// Writes the bitmap to the target, asking first when a file is there; the
// file written, empty when none.
QString TWHGRDlg::saveWallpaper(const QImage& bitmap, const QString& target)
{
    const QByteArray data = bmpData(bitmap);
    if (!QFileInfo::exists(target) && !QFileInfo(target).isSymLink())
        return writeFile(target, data) ? target : QString();
    QTemporaryDir temporary;
    const QString incoming = temporary.filePath(QFileInfo(target).fileName());
    if (!temporary.isValid() || !writeFile(incoming, data))
        return {};
    const int answer = overwrite_.ask ? overwrite_.ask(incoming, target) : int(TueberschrDlg::Cancel);
    if (answer == TueberschrDlg::Overwrite) {
        QFile(target).setPermissions(QFile(target).permissions() | QFileDevice::WriteOwner);
        return writeFile(target, data) ? target : QString();
    }
    if (answer == TueberschrDlg::Rename && overwrite_.renameTarget) {
        const QString renamed = overwrite_.renameTarget();
        return !renamed.isEmpty() && writeFile(renamed, data) ? renamed : QString();
    }
    return {};
}

QString TWHGRDlg::saveAndSet()
{
    const QString name = ui->edDateiname->text();
    if (const QString problem = nameProblem(name); !problem.isEmpty()) {
        say(problem);
        return {};
    }
    say(QString());
    const QImage bitmap = wallpaperBitmap(picture_, screen_, mode());
    if (bitmap.isNull()) {
        say(QStringLiteral("Es ist kein Bild zum Einsetzen da."));
        return {};
    }
    const QString folder = wallpaperFolder();
    QDir().mkpath(folder);
    const QString saved = saveWallpaper(bitmap, folder + bmpName(name));
    if (saved.isEmpty())
        return {};
    {
        Settings store;
        if (store.sectionExists(QStringLiteral("Control Panel/Desktop"))) {
            store.writeString(QStringLiteral("Control Panel/Desktop"), QStringLiteral("WallpaperStyle"),
                              QStringLiteral("0"));
            store.sync();
        }
    }
    const QString error = wallpaper::set(saved);
    if (!error.isEmpty()) {
        MessageBox::warning(this, QStringLiteral("Fehler"), error);
        return {};
    }
    return saved;
}
